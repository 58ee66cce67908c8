#include "base/errors.h"
#include "base/locations.h"
#include "base/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString ProgramDir() const { return m_dir.path() + QStringLiteral("/bin/"); }
    TSettings Load() const { return LoadSettings(ProgramDir()); }
    void WriteSettings(const QByteArray &text)
    {
        QFile file(ProgramDir() + QLatin1String(SettingsFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(ProgramDir());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
    }

    void defaultsWithoutFile()
    {
        const TSettings s = Load();
        QCOMPARE(s.UseWMP, false);
        QCOMPARE(s.UseFreeDB, true);
        QCOMPARE(s.ConvertToWMA, true);
        QCOMPARE(s.Overwrite, true);
        QCOMPARE(s.WinMsgTestMode, false);
        QCOMPARE(s.StorageDir, m_dir.path() + QStringLiteral("/data/Quavermill/Library"));
        QCOMPARE(s.Player, QStringLiteral("vlc"));
    }

    void flags_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QList<bool>>("expected"); // UseWMP UseFreeDB ConvertToWMA Overwrite Test
        QTest::newRow("word") << QByteArray("yes") << QList<bool>{false, true, true, true, false};
        QTest::newRow("zero") << QByteArray("0") << QList<bool>{false, false, false, false, false};
        QTest::newRow("seven") << QByteArray("7") << QList<bool>{true, true, true, true, true};
        QTest::newRow("negative") << QByteArray("-1") << QList<bool>{true, true, true, true, true};
        QTest::newRow("spaces") << QByteArray("  0  ")
                                << QList<bool>{false, false, false, false, false};
        QTest::newRow("huge") << QByteArray("99999999999999999999999")
                              << QList<bool>{true, true, true, true, true};
        QTest::newRow("empty") << QByteArray("") << QList<bool>{false, true, true, true, false};
        QTest::newRow("hex") << QByteArray("0x1") << QList<bool>{false, true, true, true, false};
    }

    void flags()
    {
        QFETCH(QByteArray, value);
        QFETCH(QList<bool>, expected);
        // Keys and section are matched without regard to case.
        WriteSettings("[settings]\nusewmp=" + value + "\nUseFreeDB=" + value + "\nConvertToWMA="
                      + value + "\nOVERWRITE=" + value + "\nWinMsgTestMode=" + value + "\n");
        const TSettings s = Load();
        QCOMPARE(
            (QList<bool>{s.UseWMP, s.UseFreeDB, s.ConvertToWMA, s.Overwrite, s.WinMsgTestMode}),
            expected);
    }

    void storageDir_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("kept");
        QTest::newRow("existing") << QStringLiteral("music") << true;
        QTest::newRow("missing") << QStringLiteral("nowhere") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("a file") << QStringLiteral("file") << false;
    }

    void storageDir()
    {
        QFETCH(QString, value);
        QFETCH(bool, kept);
        QDir().mkpath(m_dir.path() + QStringLiteral("/music"));
        QFile(m_dir.path() + QStringLiteral("/file")).open(QIODevice::WriteOnly);
        const QString path = value.isEmpty() ? QString() : m_dir.path() + QLatin1Char('/') + value;
        WriteSettings("[Settings]\nStorageDir=" + path.toUtf8() + "\n");
        QCOMPARE(Load().StorageDir, kept ? path : DefaultStorageFolder());
    }

    void player()
    {
        WriteSettings("[Settings]\nPlayer=mpv\n");
        QCOMPARE(Load().Player, QStringLiteral("mpv"));
    }

    void usersOwnCopyIsReadInstead()
    {
        WriteSettings("[Settings]\nPlayer=mpv\nUseWMP=1\n");
        const QString own = m_dir.path() + QStringLiteral("/config/Quavermill/");
        QVERIFY(QDir().mkpath(own));
        QFile file(own + QLatin1String(SettingsFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\nPlayer=totem\n");
        file.close();
        // The whole file is the user's: the program folder's keys do not mix in.
        const TSettings s = Load();
        QCOMPARE(s.Player, QStringLiteral("totem"));
        QCOMPARE(s.UseWMP, false);
    }

    void dataFolderComesBack()
    {
        const QString folder = DataFolder();
        QVERIFY(QDir(folder).exists());
        QVERIFY(QDir(folder).removeRecursively());
        QCOMPARE(DataFile(QLatin1String(CatalogFileName)),
                 folder + QStringLiteral("/mp3_library.dat"));
        QVERIFY(QDir(folder).exists());
    }

    void dataFolderCannotBeCreated()
    {
        // A file where the folder should be.
        QFile(m_dir.path() + QStringLiteral("/blocked")).open(QIODevice::WriteOnly);
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/blocked")).toUtf8());
        QVERIFY_THROWS_EXCEPTION(ESystemError, DataFolder());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
