#include "app/create_pages.h"
#include "app/invisible_form.h"
#include "base/errors.h"
#include "catalog/catalog.h"
#include "pages/frame_window.h"
#include "test_services.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

// Starts the real program twice, as a user would, in a world of its own.
class TestSingleInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TServices m_services = TestServices(m_dir.path());

    void Prepare(QProcess &process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), m_dir.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.path());
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(QUAVERMILL_BIN_DIR "/quavermill"));
    }

    static bool Listening()
    {
        QLocalSocket socket;
        socket.connectToServer(TFormInvisible::ServerName());
        return socket.waitForConnected(200);
    }

    void StartFirst(QProcess &first)
    {
        Prepare(first);
        first.start();
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(Listening(), 10000);
    }

    // The user "nobody", for the stranger.
    static constexpr uid_t Nobody = 65534;

    static sockaddr_un Address(const QByteArray &path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        return address;
    }

    static void Stop(QProcess &process)
    {
        process.kill();
        process.waitForFinished();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The socket lives in a private folder of the test, away from a user's running
        // instance.
        qputenv("TMPDIR", m_dir.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toUtf8());
        QVERIFY(TFormInvisible::ServerName().startsWith(m_dir.path() + QLatin1Char('/')));
    }

    void secondStartHandsOverAndEnds()
    {
        QProcess first;
        StartFirst(first);

        QProcess second;
        Prepare(second);
        QElapsedTimer clock;
        clock.start();
        second.start();
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY2(clock.elapsed() >= 1000, "the second start looks twice, a second apart");
        QCOMPARE(first.state(), QProcess::Running);
        Stop(first);
    }

    // The running instance's side of the hand-over, in this process.
    void handOverRestoresAMinimisedInstance()
    {
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
        TCatalog catalog;
        TFrameWindow frame(m_services);
        CreatePages(&frame, catalog);
        QTRY_VERIFY(frame.isVisible());
        frame.MinimizeApplication();
        QTRY_VERIFY(ApplicationMinimized());
        QVERIFY(TFormInvisible::ForwardToRunningInstance());
        QTRY_VERIFY(!ApplicationMinimized());
        QVERIFY(!frame.isMinimized());
    }

    void socketOfCrashedInstanceDoesNotBlock()
    {
        QProcess crashed;
        StartFirst(crashed);
        ::kill(pid_t(crashed.processId()), SIGKILL);
        crashed.waitForFinished();
        QVERIFY(!Listening());

        QProcess next;
        StartFirst(next);
        QCOMPARE(next.state(), QProcess::Running);
        Stop(next);
    }

    // Something of the user's own where the socket belongs is named, not removed.
    void somethingInTheWayIsNamed()
    {
        const QString name = TFormInvisible::ServerName();
        QFile::remove(name);
        QVERIFY(QDir().mkpath(name));
        TCatalog catalog;
        TFrameWindow frame(m_services);
        try {
            CreatePages(&frame, catalog);
            QFAIL("the start went on");
        } catch (const EQuavermill &error) {
            QVERIFY2(error.message().contains(QStringLiteral("is in the way")),
                     qPrintable(error.message()));
        }
        QVERIFY(QDir().rmdir(name));
    }

    // Without a private $XDG_RUNTIME_DIR the socket goes to a folder of the program's own in
    // the temporary folder; one that another user could have made or entered is refused.
    void runtimeFolderIsPrivate_data()
    {
        QTest::addColumn<QString>("runtime"); // $XDG_RUNTIME_DIR
        QTest::addColumn<QString>("found");   // what is at <temporary>/quavermill-<uid>
        QTest::addColumn<QString>("refusal"); // empty: the folder is used
        const auto row = [](const char *name, const char *runtime, const char *found,
                            const char *refusal) {
            QTest::newRow(name) << QString::fromLatin1(runtime) << QString::fromLatin1(found)
                                << QString::fromLatin1(refusal);
        };
        row("private runtime folder", "own", "", "");
        row("runtime folder open to others", "open", "", "");
        row("made anew", "", "", "");
        row("a file", "", "file", "it is not a folder");
        row("open to others", "", "open", "other users can reach it");
        row("a link", "", "link", "it is a link");
        row("another user's", "", "theirs", "it belongs to another user");
    }

    void runtimeFolderIsPrivate()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, found);
        QFETCH(QString, refusal);
        if (found == QLatin1String("theirs") && geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        QTemporaryDir temporary;
        const QString own = temporary.filePath(QStringLiteral("own"));
        const QString open = temporary.filePath(QStringLiteral("open"));
        QVERIFY(QDir().mkpath(own) && QDir().mkpath(open));
        QVERIFY(::chmod(QFile::encodeName(own).constData(), 0700) == 0);
        QVERIFY(::chmod(QFile::encodeName(open).constData(), 0755) == 0);
        const QString ours = temporary.filePath(QStringLiteral("quavermill-%1").arg(geteuid()));
        const QByteArray path = QFile::encodeName(ours);
        if (found == QLatin1String("file"))
            QFile(ours).open(QIODevice::WriteOnly);
        else if (found == QLatin1String("link"))
            QVERIFY(QFile::link(own, ours));
        else if (!found.isEmpty()) {
            const mode_t mode = found == QLatin1String("open") ? 0777 : 0700;
            QVERIFY(::mkdir(path.constData(), mode) == 0 && ::chmod(path.constData(), mode) == 0);
            if (found == QLatin1String("theirs"))
                QVERIFY(::chown(path.constData(), Nobody, Nobody) == 0);
        }
        const QByteArray oldTemporary = qgetenv("TMPDIR");
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        qputenv("XDG_RUNTIME_DIR",
                runtime.isEmpty() ? QByteArray() : QFile::encodeName(temporary.filePath(runtime)));
        QString folder;
        QString error;
        try {
            folder = QFileInfo(TFormInvisible::ServerName()).path();
        } catch (const EQuavermill &e) {
            error = e.message();
        }
        qputenv("TMPDIR", oldTemporary);
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        if (!refusal.isEmpty()) {
            QVERIFY2(error.contains(refusal), qPrintable(error));
            return;
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(folder, runtime == QLatin1String("own") ? own : ours);
        struct stat info;
        QVERIFY(::lstat(QFile::encodeName(folder).constData(), &info) == 0);
        QVERIFY(S_ISDIR(info.st_mode));
        QCOMPARE(info.st_mode & 0777, 0700u);
    }

    // Both sides of the hand-over check who is at the other end: a start never hands over to
    // another user's socket, and a running instance drops another user's connection unread.
    void strangersAreNotTrusted()
    {
        if (geteuid() != 0)
            QSKIP("only root can act as another user");
        const QString name = TFormInvisible::ServerName();
        const QByteArray path = QFile::encodeName(name);
        QFile::remove(name);
        const pid_t stranger = fork();
        if (stranger == 0) {
            // Binds as root where the instance would listen, then listens as nobody, for as
            // long as the test may need it.
            alarm(30);
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un address = Address(path);
            if (bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0
                || setresuid(Nobody, Nobody, Nobody) != 0 || listen(fd, 4) != 0)
                _exit(1);
            pause();
            _exit(0);
        }
        QTRY_VERIFY(QFileInfo::exists(name));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!TFormInvisible::ForwardToRunningInstance());
        QVERIFY2(clock.elapsed() < 1000, "nobody of ours answered: no second look");
        ::kill(stranger, SIGKILL);
        waitpid(stranger, nullptr, 0);
        QFile::remove(name);

        TCatalog catalog;
        TFrameWindow frame(m_services);
        CreatePages(&frame, catalog);
        QTRY_VERIFY(frame.isVisible());
        // The folder and the socket are opened for the stranger's sake alone.
        QVERIFY(::chmod(QFile::encodeName(m_dir.path()).constData(), 0711) == 0);
        QVERIFY(::chmod(path.constData(), 0777) == 0);
        int told[2];
        QVERIFY(pipe2(told, O_NONBLOCK) == 0);
        const pid_t client = fork();
        if (client == 0) {
            // Asks as nobody, then tells whether the instance hung up; the alarm ends it if
            // the instance keeps listening.
            alarm(5);
            signal(SIGPIPE, SIG_IGN);
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un address = Address(path);
            if (setresuid(Nobody, Nobody, Nobody) != 0
                || ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address))
                    != 0)
                _exit(1);
            char byte;
            if (write(fd, "MsgShowQuavermill\n", 18) == 18 && read(fd, &byte, 1) > 0)
                _exit(1);
            (void)!write(told[1], "h", 1);
            _exit(0);
        }
        char answer = 0;
        const auto hungUp = [&] { return answer || (read(told[0], &answer, 1) == 1); };
        QTRY_VERIFY_WITH_TIMEOUT(hungUp(), 10000);
        ::close(told[0]);
        ::close(told[1]);
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0700);
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
