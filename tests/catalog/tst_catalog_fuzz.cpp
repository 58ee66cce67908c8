#include "catalog/catalog_file.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Whatever bytes the catalog file holds, loading must neither crash, nor lose the list's
// order, nor drop any text but line breaks and NUL bytes, and a loaded list must come back
// unchanged after a save.
class TestCatalogFuzz : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    void CheckLoad(const QByteArray &content)
    {
        const QString path = m_dir.filePath(u"fuzz.dat"_s);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(content), content.size());
        }
        CheckNothingLost(content, ReadLinesUtf8(path));
        auto catalog = OpenCatalog(path);
        for (int i = 1; i < catalog->Count(); ++i)
            QVERIFY(CompareStrings(catalog->Line(i - 1), catalog->Line(i)) < 0);
        for (int i = 0; i < catalog->Count(); ++i)
            ParseRecord(catalog->Line(i)).IsTrack();
        const QStringList lines = catalog->Lines();
        SaveCatalog(*catalog, path);
        QCOMPARE(OpenCatalog(path)->Lines(), lines);
    }

    // Every stretch of the content between line breaks and NUL bytes comes back as one line,
    // as it was written or, when it was no UTF-8, read as Latin-1.
    static void CheckNothingLost(const QByteArray &content, const std::vector<QByteArray> &lines)
    {
        QByteArray text = content.startsWith("\xEF\xBB\xBF") ? content.mid(3) : content;
        text.replace('\r', '\n').replace('\0', '\n');
        QList<QByteArray> stretches = text.split('\n');
        stretches.removeAll(QByteArray());
        QList<QByteArray> read(lines.begin(), lines.end());
        read.removeAll(QByteArray());
        QCOMPARE(read.size(), stretches.size());
        for (qsizetype i = 0; i < read.size(); ++i)
            QVERIFY(read[i] == stretches[i]
                    || QString::fromUtf8(read[i]).toLatin1() == stretches[i]);
    }

private Q_SLOTS:
    void randomFiles()
    {
        QRandomGenerator random(20240611);
        // Bytes that matter to the reader come often, so that short files hit every rule.
        static const char specialBytes[] = "\r\n\0_ \xC3\xA9\xF0\x9F\x98\x80\xEF\xBB\xBF\xFF";
        const QByteArray special(specialBytes, sizeof specialBytes - 1);
        for (int round = 0; round < 300; ++round) {
            QByteArray content(qsizetype(random.bounded(round < 250 ? 4000 : 200000)),
                               Qt::Uninitialized);
            for (char &c : content) {
                const quint32 r = random.generate();
                c = (r & 3) == 0 ? special[(r >> 2) % special.size()] : char(r >> 8);
            }
            CheckLoad(content);
        }
    }

    void hugeAndBinary_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("one line of 20 MB") << QByteArray(20 << 20, 'x');
        QTest::newRow("a million breaks") << QByteArray(1 << 20, '\r');
        QByteArray all;
        for (int i = 0; i < 256 * 64; ++i)
            all.append(char(i % 256 == 0 ? 1 : i));
        QTest::newRow("every byte value") << all;
        QTest::newRow("long records") << (QByteArray(2000, '_') + "\r\n" + QByteArray(684, 'a')
                                          + "\n" + QByteArray(686, 'b'));
        QTest::newRow("broken UTF-8 at field places") << QByteArray(300, '\xE2')
                + QByteArray(400, '\xF0') + "\r\n" + QByteArray(1000, '\x80');
    }

    void hugeAndBinary()
    {
        QFETCH(QByteArray, content);
        CheckLoad(content);
    }

    void anyValuesBuildAFullLine()
    {
        QRandomGenerator random(99);
        for (int round = 0; round < 2000; ++round) {
            TCatalogRecord record;
            for (int field = 0; field < RecordFieldCount; ++field) {
                QString value(qsizetype(random.bounded(300)), Qt::Uninitialized);
                for (QChar &c : value)
                    c = QChar(char16_t(random.bounded(0x10000)));
                record.Field(field) = value;
            }
            const QString line = BuildRecord(record);
            QCOMPARE(line.size(), RecordLength);
            QVERIFY(!line.contains(u'\r') && !line.contains(u'\n') && !line.contains(QChar(0)));
            ParseRecord(line);
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalogFuzz)
#include "tst_catalog_fuzz.moc"
