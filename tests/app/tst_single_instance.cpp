#include "app/create_pages.h"
#include "app/invisible_form.h"
#include "catalog/catalog.h"
#include "pages/frame_window.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// Starts the real program twice, as a user would, in a world of its own.
class TestSingleInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    void Prepare(QProcess &process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), m_dir.path());
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

    static void Stop(QProcess &process)
    {
        process.kill();
        process.waitForFinished();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The socket lives in the temporary folder, away from a user's running instance.
        qputenv("TMPDIR", m_dir.path().toUtf8());
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
        TFrameWindow frame;
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
};

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
