#include "exchange/run_tool.h"

#include "base/application.h"
#include "base/locations.h"
#include "platform/child_process.h"

#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>

namespace {

// Our own wake-ups end the loop with this code; any other return means that something
// outside asked every event loop to stop (the application quitting).
constexpr int ToolEvent = 1;
constexpr int TerminateWaitMs = 5000;

} // namespace

qint32 RunTool(const QString &path, const QString &exchangeFolder)
{
    if (ApplicationEnding())
        return E_FAIL;

    TChildProcess tool(
        path, QByteArray(ExchangeFolderVariable) + '=' + QFile::encodeName(exchangeFolder));
    if (!tool.Started())
        return E_FAIL;

    QEventLoop loop;
    QSocketNotifier ended(qintptr(tool.EndHandle()), QSocketNotifier::Read);
    const auto wake = [&loop] { loop.exit(ToolEvent); };
    QObject::connect(&ended, &QSocketNotifier::activated, &loop, wake);
    QObject::connect(ApplicationEndingNotifier(), &TApplicationEndingNotifier::Ending, &loop, wake);

    std::optional<int> code;
    while (!(code = tool.Ended())) {
        // A tool that ignores the request to stop is killed rather than left working on files
        // the program is about to give up on.
        if (ApplicationEnding() || loop.exec() != ToolEvent) {
            tool.Stop(TerminateWaitMs);
            return E_FAIL;
        }
    }
    return *code < 0 ? E_FAIL : static_cast<qint8>(*code);
}
