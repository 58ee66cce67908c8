#include "app/create_pages.h"
#include "base/ini_file.h"
#include "base/locations.h"
#include "catalog/catalog.h"
#include "pages/frame_window.h"
#include "pages/skin.h"
#include "start_world.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// "section/key" in lower case, as the ini access matches them.
QString Name(const QString &section, const QString &key)
{
    return (section + QLatin1Char('/') + key).toLower();
}

QString SamplePath(const QString &fileName)
{
    return QStringLiteral(QUAVERMILL_TEST_SOURCE_DIR "/../../resources/samples/") + fileName;
}

// The keys of a sample file with their values. A key commented out (";Key=value", as the skin
// sample lists its keys) counts as listed.
QMap<QString, QString> SampleKeys(const QString &fileName)
{
    QFile file(SamplePath(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression section(QStringLiteral("^\\[(\\w+)\\]$"));
    static const QRegularExpression entry(QStringLiteral("^;?(\\w+)=(.*)$"));
    QMap<QString, QString> keys;
    QString current;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString text = line.trimmed();
        const QRegularExpressionMatch header = section.match(text);
        const QRegularExpressionMatch key = entry.match(text);
        if (header.hasMatch())
            current = header.captured(1);
        else if (key.hasMatch() && !current.isEmpty())
            keys.insert(Name(current, key.captured(1)), key.captured(2).trimmed());
    }
    return keys;
}

} // namespace

// The sample "Quavermill.ini" and "ui.ini" list every key that the pages read, with the
// default they read it with: whatever page or key is added, a translator or skin maker finds
// it there. The keys are heard while every page is created as at start-up and shows a message.
class TestSampleFiles : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TServices m_services;
    TCatalog m_catalog;
    TFrameWindow *m_frame = nullptr;
    QList<TSkinKeyRead> m_reads;

    // Every key read from one file that its sample leaves out or gives another default. A
    // text must read back, through the program's ini access, as its default; a colour name
    // may differ in case; a picture has no default to show (the sample gives an example path).
    QStringList Mismatches(const QString &fileName) const
    {
        const QMap<QString, QString> sample = SampleKeys(fileName);
        if (sample.isEmpty())
            return {fileName + QStringLiteral(" cannot be read")};
        const bool texts = fileName == QLatin1String(TextFileName);
        const TIniFile ini(SamplePath(fileName));
        QStringList wrong;
        for (const TSkinKeyRead &read : m_reads) {
            if (read.file != fileName)
                continue;
            const QString name = Name(read.section, read.key);
            const QString value =
                texts ? ini.ReadString(read.section, read.key, QString()) : sample.value(name);
            if (!sample.contains(name))
                wrong << QStringLiteral("[%1] %2 missing").arg(read.section, read.key);
            else if ((texts && value != read.defaultValue)
                     || (!texts && value.compare(read.defaultValue, Qt::CaseInsensitive) != 0
                         && !read.defaultValue.isEmpty()))
                wrong << QStringLiteral("[%1] %2=%3, the program's default is \"%4\"")
                             .arg(read.section, read.key, value, read.defaultValue);
        }
        wrong.removeDuplicates();
        return wrong;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_services = PrepareStartWorld(m_dir.path());
        // Both files exist, empty, so that the pages read every key and get their defaults.
        for (const QString &path : {m_services.ProgramFolder + QLatin1String(TextFileName),
                                    DataFile(QLatin1String(SkinFileName))})
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        m_services.SkinKeyRecorder = [this](const TSkinKeyRead &read) { m_reads << read; };
        m_frame = new TFrameWindow(m_services);
        CreatePages(m_frame, m_catalog);
        for (TFormBase *page : m_frame->findChildren<TFormBase *>()) {
            if (page->Messages())
                page->Messages()->Show(QStringLiteral("1"), QStringLiteral("2"));
        }
        m_services.SkinKeyRecorder = nullptr;
        QVERIFY(!m_reads.isEmpty());
    }

    void cleanupTestCase() { delete m_frame; }

    void textSampleListsEveryTextWithItsDefault()
    {
        const QStringList wrong = Mismatches(QLatin1String(TextFileName));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }

    void skinSampleListsEveryPictureAndColour()
    {
        const QStringList wrong = Mismatches(QLatin1String(SkinFileName));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }

    // A key the samples list under a page that reads none such would mislead a translator.
    void samplesListNoKeyThatPagesIgnore_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("texts") << QString::fromLatin1(TextFileName);
        QTest::newRow("skin") << QString::fromLatin1(SkinFileName);
    }

    void samplesListNoKeyThatPagesIgnore()
    {
        QFETCH(QString, fileName);
        QSet<QString> sections;
        for (TFormBase *page : m_frame->findChildren<TFormBase *>())
            sections.insert(page->Section().toLower());
        QSet<QString> read;
        for (const TSkinKeyRead &entry : m_reads) {
            if (entry.file == fileName)
                read.insert(Name(entry.section, entry.key));
        }
        QStringList unread;
        const QMap<QString, QString> sample = SampleKeys(fileName);
        QVERIFY(!sample.isEmpty());
        for (auto it = sample.cbegin(); it != sample.cend(); ++it) {
            // Sections of pages still to come are left to their pages.
            if (sections.contains(it.key().section(QLatin1Char('/'), 0, 0))
                && !read.contains(it.key()))
                unread << it.key();
        }
        QVERIFY2(unread.isEmpty(), qPrintable(unread.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestSampleFiles)
#include "tst_sample_files.moc"
