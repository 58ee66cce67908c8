#include "exchange/run_tool.h"

#include "base/application.h"
#include "base/locations.h"
#include "platform/process_priority.h"

#include <QEventLoop>
#include <QProcess>

namespace {

// Our own wake-ups end the loop with this code; any other return means that something
// outside asked every event loop to stop (the application quitting).
constexpr int ToolEvent = 1;
constexpr int TerminateWaitMs = 5000;

// Asks the tool to stop and waits for it a bounded time; a tool that ignores the request is
// killed rather than left working on files the program is about to give up on.
void StopTool(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(TerminateWaitMs)) {
        process.kill();
        process.waitForFinished(TerminateWaitMs);
    }
}

} // namespace

qint32 RunTool(const QString &path)
{
    if (ApplicationEnding())
        return E_FAIL;

    QProcess process;
    process.setProgram(path);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(ExchangeFolderVariable), ExchangeFolder());
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Runs in the child between fork and exec, where only async-signal-safe calls belong.
    process.setChildProcessModifier([] { SetLowestPriority(); });

    QEventLoop loop;
    const auto wake = [&loop] { loop.exit(ToolEvent); };
    QObject::connect(&process, &QProcess::finished, &loop, wake);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, wake);
    QObject::connect(ApplicationEndingNotifier(), &TApplicationEndingNotifier::Ending, &loop, wake);

    process.start();
    while (process.state() != QProcess::NotRunning) {
        if (ApplicationEnding() || loop.exec() != ToolEvent) {
            StopTool(process);
            return E_FAIL;
        }
    }
    if (process.error() == QProcess::FailedToStart || process.exitStatus() != QProcess::NormalExit)
        return E_FAIL;
    return static_cast<qint8>(process.exitCode() & 0xff);
}
