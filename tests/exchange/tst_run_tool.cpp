#include "base/locations.h"
#include "exchange/run_tool.h"
#include "fake_tool.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestRunTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void exitCode_data();
    void exitCode();
    void runsWithoutArgumentsAtIdlePriority();
    void toolIsToldTheExchangeFolder();
    void eventsRunMeanwhile();

private:
    QString tool() const { return m_dir->filePath(QStringLiteral("tool")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRunTool::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRunTool::exitCode_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<qint32>("result");

    QTest::newRow("0") << QStringLiteral("exit 0") << 0;
    QTest::newRow("7") << QStringLiteral("exit 7") << 7;
    QTest::newRow("127 is still success") << QStringLiteral("exit 127") << 127;
    QTest::newRow("255 reads as -1") << QStringLiteral("exit 255") << -1;
    QTest::newRow("128 reads as -128") << QStringLiteral("exit 128") << -128;
    QTest::newRow("killed by a signal") << QStringLiteral("kill -KILL $$") << E_FAIL;
    QTest::newRow("not a program") << QString() << E_FAIL;
}

void TestRunTool::exitCode()
{
    QFETCH(QString, body);
    QFETCH(qint32, result);
    if (!body.isEmpty())
        QVERIFY(WriteFakeTool(tool(), body));
    QCOMPARE(RunTool(tool(), m_dir->path() + QLatin1Char('/')), result);
}

void TestRunTool::runsWithoutArgumentsAtIdlePriority()
{
    // Field 19 of /proc/<pid>/stat is the nice value.
    QVERIFY(WriteFakeTool(tool(),
                          QStringLiteral("echo \"$# $(cut -d' ' -f19 /proc/$$/stat)\" > \"%1\"")
                              .arg(m_dir->filePath(QStringLiteral("out")))));
    QCOMPARE(RunTool(tool(), m_dir->path() + QLatin1Char('/')), 0);
    QCOMPARE(ReadWholeFile(m_dir->filePath(QStringLiteral("out"))), QByteArray("0 19\n"));
}

void TestRunTool::toolIsToldTheExchangeFolder()
{
    // What the program itself was started with is not what its tools must use.
    qputenv(ExchangeFolderVariable, "/somewhere/else/");
    QVERIFY(WriteFakeTool(
        tool(),
        QStringLiteral("echo \"$%1\" > \"%2\"")
            .arg(QLatin1String(ExchangeFolderVariable), m_dir->filePath(QStringLiteral("out")))));
    QCOMPARE(RunTool(tool(), m_dir->path() + QLatin1Char('/')), 0);
    QCOMPARE(ReadWholeFile(m_dir->filePath(QStringLiteral("out"))),
             QFile::encodeName(m_dir->path()) + "/\n");
}

void TestRunTool::eventsRunMeanwhile()
{
    QVERIFY(WriteFakeTool(tool(), QStringLiteral("sleep 0.5; exit 3")));
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
    timer.start(20);
    QCOMPARE(RunTool(tool(), m_dir->path() + QLatin1Char('/')), 3);
    QVERIFY(ticks > 2);
}

QTEST_GUILESS_MAIN(TestRunTool)
#include "tst_run_tool.moc"
