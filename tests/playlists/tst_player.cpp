#include "base/errors.h"
#include "catalog/catalog_file.h"
#include "catalog/catalog_record.h"
#include "pages/services.h"
#include "platform/file_opener_linux.h"
#include "playlists/playlist_player.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The player launch with a fake desktop opener ("xdg-open") and a fake player first on PATH;
// both write what they were given into a log.
class TestPlayer : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    TServices m_services;
    const std::function<int(const QString &)> m_play = [this](const QString &path) {
        return m_services.PlayFile(path);
    };
    QString bin;
    QString log;

    void WriteProgram(const QString &name, int exitCode)
    {
        QFile script(bin + QLatin1Char('/') + name);
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(QStringLiteral("#!/bin/sh\necho \"%1 $*\" >> '%2'\nexit %3\n")
                         .arg(name, log)
                         .arg(exitCode)
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }

    QStringList LogLines() const
    {
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString Track(const QString &name)
    {
        const QString path = dir.path() + QStringLiteral("/tracks/") + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

    static QString Record(const QString &file)
    {
        return BuildRecord(QStringLiteral("DAT"), QString(), QString(), QString(),
                           QStringLiteral("0"), file, QString(), QStringLiteral("0"));
    }

    void SetPlayerSettings(bool useWmp)
    {
        m_services.Settings.UseWMP = useWmp;
        m_services.Settings.Player = QStringLiteral("fakeplayer");
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The system's opener, which starts the fake programs this test puts on the PATH.
        m_services.Opener = std::make_shared<TLinuxFileOpener>();
        bin = dir.path() + QStringLiteral("/bin");
        log = dir.path() + QStringLiteral("/log");
        QDir().mkpath(bin);
        // Only the fakes can be found.
        qputenv("PATH", QFile::encodeName(bin));
    }

    void init()
    {
        QFile::remove(log);
        QFile::remove(bin + QStringLiteral("/xdg-open"));
        QFile::remove(bin + QStringLiteral("/fakeplayer"));
    }

    // -1: program absent; else its exit code.
    void playFileOrder_data()
    {
        QTest::addColumn<bool>("useWmp");
        QTest::addColumn<int>("opener");
        QTest::addColumn<int>("player");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<int>("result");
        const QStringList both{QStringLiteral("xdg-open"), QStringLiteral("fakeplayer")};
        QTest::newRow("associated program")
            << false << 0 << 0 << QStringList{QStringLiteral("xdg-open")} << 1;
        QTest::newRow("no association: player") << false << 3 << 0 << both << 1;
        QTest::newRow("no opener: player")
            << false << -1 << 0 << QStringList{QStringLiteral("fakeplayer")} << 1;
        QTest::newRow("UseWMP: player only")
            << true << 0 << 0 << QStringList{QStringLiteral("fakeplayer")} << 1;
        QTest::newRow("nothing works")
            << false << 4 << -1 << QStringList{QStringLiteral("xdg-open")} << -1;
        QTest::newRow("UseWMP without player") << true << 0 << -1 << QStringList{} << -1;
    }

    void playFileOrder()
    {
        QFETCH(bool, useWmp);
        QFETCH(int, opener);
        QFETCH(int, player);
        QFETCH(QStringList, started);
        QFETCH(int, result);
        if (opener >= 0)
            WriteProgram(QStringLiteral("xdg-open"), opener);
        if (player >= 0)
            WriteProgram(QStringLiteral("fakeplayer"), player);
        SetPlayerSettings(useWmp);
        const QString path = dir.path() + QStringLiteral("/my song.mp3");
        QCOMPARE(m_services.PlayFile(path), result);
        QStringList expected;
        for (const QString &program : started)
            expected << program + QLatin1Char(' ') + path;
        // The player is started detached and may write its line a moment later.
        QTRY_COMPARE(LogLines(), expected);
    }

    void playlistToM3u()
    {
        WriteProgram(QStringLiteral("xdg-open"), 0);
        SetPlayerSettings(false);
        const QString c = Track(QStringLiteral("C.mp3"));
        const QString a = Track(QStringLiteral("a.mp3"));
        const QString b = Track(QStringLiteral("B.mp3"));
        const QString playlist = dir.path() + QStringLiteral("/mix.list");
        const QString m3u = dir.path() + QStringLiteral("/mix.m3u");
        // Named twice, a missing track, a header and a folder are left out.
        WriteLinesAtomically(playlist,
                             {Record(c), Record(a), HeaderRecord(), Record(b), Record(a),
                              Record(dir.path() + QStringLiteral("/none.mp3")),
                              Record(dir.path() + QStringLiteral("/tracks"))});
        // A read-only M3U of an earlier run is replaced.
        {
            QFile old(m3u);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old\r\n");
        }
        QFile::setPermissions(m3u, QFileDevice::ReadOwner);
        QCOMPARE(PlayPlaylist(playlist, m3u, m_play), 1);
        QFile written(m3u);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(
            written.readAll(),
            (a + QStringLiteral("\r\n") + b + QStringLiteral("\r\n") + c + QStringLiteral("\r\n"))
                .toUtf8());
        QTRY_COMPARE(LogLines(), QStringList{QStringLiteral("xdg-open ") + m3u});
    }

    // Paths are compared without regard to case: a path named twice, or in another case,
    // gives one line.
    void samePathTwiceGivesOneLine()
    {
        WriteProgram(QStringLiteral("xdg-open"), 0);
        SetPlayerSettings(false);
        const QString track = Track(QStringLiteral("Song.mp3"));
        const QString upper = Track(QStringLiteral("SONG.MP3"));
        const QString playlist = dir.path() + QStringLiteral("/twice.list");
        const QString m3u = dir.path() + QStringLiteral("/twice.m3u");
        WriteLinesAtomically(playlist, {Record(track), Record(upper), Record(track)});
        QCOMPARE(PlayPlaylist(playlist, m3u, m_play), 1);
        QFile written(m3u);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().count("\r\n"), 1);
    }

    void noTrackExistsWritesNothing()
    {
        WriteProgram(QStringLiteral("xdg-open"), 0);
        SetPlayerSettings(false);
        const QString playlist = dir.path() + QStringLiteral("/empty.list");
        const QString m3u = dir.path() + QStringLiteral("/empty.m3u");
        WriteLinesAtomically(playlist, {Record(dir.path() + QStringLiteral("/none.mp3"))});
        QCOMPARE(PlayPlaylist(playlist, m3u, m_play), 0);
        QVERIFY(!QFile::exists(m3u));
        QVERIFY(LogLines().isEmpty());
        QVERIFY_THROWS_EXCEPTION(
            EQuavermill, PlayPlaylist(dir.path() + QStringLiteral("/absent.list"), m3u, m_play));
    }

    void noPlayerStillWritesTheM3u()
    {
        SetPlayerSettings(true);
        const QString playlist = dir.path() + QStringLiteral("/solo.list");
        const QString m3u = dir.path() + QStringLiteral("/solo.m3u");
        WriteLinesAtomically(playlist, {Record(Track(QStringLiteral("solo.mp3")))});
        QCOMPARE(PlayPlaylist(playlist, m3u, m_play), -1);
        QVERIFY(QFile::exists(m3u));
    }
};

QTEST_GUILESS_MAIN(TestPlayer)
#include "tst_player.moc"
