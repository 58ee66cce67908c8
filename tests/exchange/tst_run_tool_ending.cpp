// The end of the application is final for the process, so these cases run in their own
// test program, in order.
#include "base/application.h"
#include "exchange/run_tool.h"
#include "fake_tool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

class TestRunToolEnding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void endingDuringRunStopsTheTool();
    void nothingStartsOnceEnding();

private:
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestRunToolEnding::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestRunToolEnding::endingDuringRunStopsTheTool()
{
    // A stubborn tool: it notes SIGTERM and goes on. RunTool must still return within about
    // five seconds, with failure, and not leave the tool running.
    const QString tool = file(QStringLiteral("tool"));
    QVERIFY(
        WriteFakeTool(tool,
                      QStringLiteral("trap 'echo term >> \"%1\"' TERM\necho $$ > \"%2\"\n"
                                     "while :; do sleep 0.05; done")
                          .arg(file(QStringLiteral("terminated")), file(QStringLiteral("pid")))));
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [this] {
        if (QFileInfo::exists(file(QStringLiteral("pid"))) && !ApplicationEnding())
            EndApplication();
    });
    timer.start(10);
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(RunTool(tool, QDir::tempPath() + QLatin1Char('/')), E_FAIL);
    QVERIFY(ApplicationEnding());
    QCOMPARE(ReadWholeFile(file(QStringLiteral("terminated"))), QByteArray("term\n"));
    QVERIFY2(elapsed.elapsed() < 8000, qPrintable(QString::number(elapsed.elapsed())));
    const pid_t pid = ReadWholeFile(file(QStringLiteral("pid"))).trimmed().toInt();
    QVERIFY(pid > 0);
    QVERIFY(::kill(pid, 0) != 0);
}

void TestRunToolEnding::nothingStartsOnceEnding()
{
    const QString tool = file(QStringLiteral("tool2"));
    QVERIFY(WriteFakeTool(tool, QStringLiteral("touch \"%1\"").arg(file(QStringLiteral("ran")))));
    QCOMPARE(RunTool(tool, QDir::tempPath() + QLatin1Char('/')), E_FAIL);
    QVERIFY(!QFileInfo::exists(file(QStringLiteral("ran"))));
}

QTEST_GUILESS_MAIN(TestRunToolEnding)
#include "tst_run_tool_ending.moc"
