// The WAV to WMA converter: reads "wav2wma.prm" of the exchange folder, encodes the WAV file
// "FileToWork" into a WMA file of the same name beside it and writes the four texts into its
// tags. The WMA appears only when complete: the work goes into a temporary file that is
// renamed at the end and removed on failure or on SIGTERM. Exit code 0 on success, 255 on any
// failure with one line on standard error.

#include "common/temporary_file.h"
#include "common/tool_common.h"
#include "common/tool_protocol.h"
#include "common/track_tags.h"
#include "wav_encoder.h"

#include <csignal>
#include <cstdio>

namespace {

const char ToolName[] = "wav2wma";

volatile std::sig_atomic_t g_stopRequested = 0;

void OnStopSignal(int)
{
    g_stopRequested = 1;
}

void CatchStopSignals()
{
    // No SA_RESTART: a read blocked on a slow source returns at once and sees the request.
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

// The WAV file's name with ".wma" in place of its extension.
std::string WmaPathFor(const std::string &wavPath)
{
    const size_t slash = wavPath.rfind('/');
    const size_t dot = wavPath.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? wavPath.substr(0, dot) : wavPath) + ".wma";
}

int Convert(const std::string &, const TExchangeFile &parameters)
{
    if (parameters.Get(ToolProtocol::ParametersSection, ToolProtocol::OperationKey)
        != ToolProtocol::ConvertOperation)
        return Fail(ToolName, "wav2wma.prm asks for no conversion");
    const std::string wavPath =
        parameters.Get(ToolProtocol::ParametersSection, ToolProtocol::FileToWorkKey);
    if (wavPath.empty())
        return Fail(ToolName, "no file to work on");
    const TTrackTags tags = TagParameters(parameters);

    const std::string wmaPath = WmaPathFor(wavPath);
    if (wmaPath == wavPath)
        return Fail(ToolName, wavPath + ": the file already is a WMA file");
    // Checked before anything is written: a named pipe or a folder is no WAV file.
    const TPlainFile wav(wavPath);
    if (!wav.isOpen())
        return Fail(ToolName, wavPath + ": cannot read the WAV file: " + wav.error());
    TTemporaryFile temporary(wmaPath);
    if (temporary.path().empty())
        return Fail(ToolName, "cannot create a file beside " + wavPath + ": " + SystemError());

    std::string error;
    if (!EncodeWavToWma(wav, temporary.path(), g_stopRequested, error)
        || !WriteTrackTags(temporary.path(), tags, error))
        return Fail(ToolName, wavPath + ": " + error);
    // A stop that arrives while the tags are written still leaves no WMA behind.
    if (g_stopRequested)
        return Fail(ToolName, wavPath + ": stopped");
    if (!temporary.RenameTo(wmaPath))
        return Fail(ToolName, "cannot write " + wmaPath + ": " + SystemError());
    return 0;
}

} // namespace

int main()
{
    CatchStopSignals();
    return RunWithParameters(ToolName, "wav2wma.prm", Convert);
}
