#include "base/errors.h"
#include "base/ini_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

class TestIniFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString Path() const { return m_dir.filePath(QStringLiteral("test.ini")); }
    void Write(const QByteArray &text)
    {
        QFile file(Path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray Read() const
    {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void reading()
    {
        Write(
            "[Main]\nCaption =  Menu principal  \nEmpty=\nPath=C:\\Music\\n\n[other]\nKey=Björk\n");
        const TIniFile ini(Path());
        QCOMPARE(
            ini.ReadString(QStringLiteral("main"), QStringLiteral("CAPTION"), QStringLiteral("d")),
            QStringLiteral("Menu principal"));
        QCOMPARE(
            ini.ReadString(QStringLiteral("Main"), QStringLiteral("Empty"), QStringLiteral("d")),
            QString());
        QVERIFY(ini.HasKey(QStringLiteral("Main"), QStringLiteral("Empty")));
        QCOMPARE(
            ini.ReadString(QStringLiteral("Main"), QStringLiteral("Missing"), QStringLiteral("d")),
            QStringLiteral("d"));
        QCOMPARE(ini.ReadString(QStringLiteral("Main"), QStringLiteral("Path"), QString()),
                 QStringLiteral("C:\\Music\\n"));
        QCOMPARE(ini.ReadString(QStringLiteral("Other"), QStringLiteral("key"), QString()),
                 QStringLiteral("Björk"));
    }

    void missingFileReadsEmpty()
    {
        const TIniFile ini(m_dir.filePath(QStringLiteral("none.ini")));
        QCOMPARE(ini.ReadString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("d")),
                 QStringLiteral("d"));
    }

    void writeKeyKeepsOtherKeys()
    {
        Write("[Parameters]\nOperation=OLD\nKeep=1\n[Results]\nName=x\n");
        TIniFile::WriteKey(Path(), QStringLiteral("parameters"), QStringLiteral("operation"),
                           QStringLiteral("NEW"));
        TIniFile::WriteKey(Path(), QStringLiteral("Parameters"), QStringLiteral("Added"),
                           QStringLiteral("Jóga"));
        const TIniFile ini(Path());
        QCOMPARE(ini.ReadString(QStringLiteral("Parameters"), QStringLiteral("Operation"), {}),
                 QStringLiteral("NEW"));
        QCOMPARE(ini.ReadString(QStringLiteral("Parameters"), QStringLiteral("Keep"), {}),
                 QStringLiteral("1"));
        QCOMPARE(ini.ReadString(QStringLiteral("Parameters"), QStringLiteral("Added"), {}),
                 QStringLiteral("Jóga"));
        QCOMPARE(ini.ReadString(QStringLiteral("Results"), QStringLiteral("Name"), {}),
                 QStringLiteral("x"));
        // Other programs read these files: plain "key=value" lines, no byte order mark.
        const QByteArray text = Read();
        QVERIFY(!text.startsWith("\xEF\xBB\xBF"));
        QVERIFY(text.contains("Keep=1"));
    }

    // Only a regular file is read; anything else raises at once, with what it is. A named
    // pipe must not wait for a writer, nor a device feed the reader.
    void unreadableFileRaises_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder") << QStringLiteral("folder.ini") << QStringLiteral("is a folder");
        QTest::newRow("a named pipe")
            << QStringLiteral("pipe.ini") << QStringLiteral("is a named pipe, not a file");
        QTest::newRow("a link to a device")
            << QStringLiteral("device.ini") << QStringLiteral("is a device, not a file");
    }

    void unreadableFileRaises()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("folder.ini"))));
        const QByteArray pipe = QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.ini")));
        QVERIFY(mkfifo(pipe.constData(), 0600) == 0 || errno == EEXIST);
        QFile::link(QStringLiteral("/dev/null"), m_dir.filePath(QStringLiteral("device.ini")));
        try {
            TIniFile ini(m_dir.filePath(name));
            QFAIL("no error raised");
        } catch (const EQuavermill &error) {
            QVERIFY2(error.message().endsWith(QStringLiteral(": ") + reason),
                     qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_ini_file.moc"
