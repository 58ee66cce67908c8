// The writing half of the tag tool, started by "wma" in its place for "UPDATEWMATAGS": writes
// the four texts of "wma.prm" into the tags of "FileToWork" with TagLib. Exit code 0 on
// success, 255 on any failure with one line on standard error.

#include "common/tool_common.h"
#include "common/track_tags.h"

#include <csignal>

namespace {

const char ToolName[] = "wma";
const char Parameters[] = "Parameters";

int Work(const std::string &, const TExchangeFile &parameters)
{
    if (parameters.Get(Parameters, "Operation") != "UPDATEWMATAGS")
        return Fail(ToolName, "wma.prm asks for no tag update");
    const std::string path = parameters.Get(Parameters, "FileToWork");
    const TTrackTags tags = TagParameters(parameters);
    // TagLib may rewrite the whole file to make room for the tags: a stop request waits until
    // the file is whole again, then ends the process.
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    std::string error;
    const bool written = WriteTrackTags(path, tags, error);
    sigprocmask(SIG_UNBLOCK, &stops, nullptr);
    if (!written)
        return Fail(ToolName, path + ": " + error);
    return 0;
}

} // namespace

int main()
{
    return RunWithParameters(ToolName, "wma.prm", Work);
}
