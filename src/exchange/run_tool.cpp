#include "exchange/run_tool.h"

#include "base/application.h"
#include "base/locations.h"
#include "platform/child_process.h"

#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>

#include <poll.h>

namespace {

// Our own wake-ups end the loop with this code; any other return means that something
// outside asked every event loop to stop (the application quitting).
constexpr int ToolEvent = 1;
constexpr int TerminateWaitMs = 5000;
// How long a tool is waited for before the event loop runs. Most tools are done in less
// (a tag read takes about half a millisecond), and an event loop entered for each of them would
// repaint the window once per tool, which costs more than the tool itself; the scans that start
// one tool per file let events run on their own, every few milliseconds.
constexpr int QuickToolMs = 5;

} // namespace

qint32 RunTool(const QString &path, const QString &exchangeFolder)
{
    if (ApplicationEnding())
        return E_FAIL;

    TChildProcess tool(
        path, QByteArray(ExchangeFolderVariable) + '=' + QFile::encodeName(exchangeFolder));
    if (!tool.Started())
        return E_FAIL;

    pollfd end{tool.EndHandle(), POLLIN, 0};
    ::poll(&end, 1, QuickToolMs);
    std::optional<int> code = tool.Ended();
    if (!code) {
        QEventLoop loop;
        QSocketNotifier ended(qintptr(tool.EndHandle()), QSocketNotifier::Read);
        const auto wake = [&loop] { loop.exit(ToolEvent); };
        QObject::connect(&ended, &QSocketNotifier::activated, &loop, wake);
        QObject::connect(ApplicationEndingNotifier(), &TApplicationEndingNotifier::Ending, &loop,
                         wake);
        while (!(code = tool.Ended())) {
            // A tool that ignores the request to stop is killed rather than left working on
            // files the program is about to give up on.
            if (ApplicationEnding() || loop.exec() != ToolEvent) {
                tool.Stop(TerminateWaitMs);
                return E_FAIL;
            }
        }
    }
    return *code < 0 ? E_FAIL : static_cast<qint8>(*code);
}
