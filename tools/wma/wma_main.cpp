// The tag tool: reads "wma.prm" of the exchange folder and reads or writes the tags of one MP3
// or WMA file. Exit code 0 on success, 255 on any failure with one line on standard error.
//
// Reading is what the scan runs once per file, and writing what the copy runs once per track,
// so this program is linked statically, without TagLib, and starts about as fast as a program
// that does nothing. Its own reader knows the common files, and its own writer the tags that a
// copy into storage leaves; for any other file the process becomes "wma-update" beside it, the
// half of the tool that uses TagLib.

#include "common/tool_common.h"
#include "common/tool_protocol.h"
#include "tag_file.h"

#include <unistd.h>

namespace {

const char ToolName[] = "wma";

// The same process goes on as the TagLib half beside this program, which reads "wma.prm"
// again; whoever waits for this tool gets that half's exit code.
int HandOver()
{
    const std::string taglibHalf = OwnFolder() + "wma-update";
    char *const arguments[] = {const_cast<char *>(taglibHalf.c_str()), nullptr};
    execv(taglibHalf.c_str(), arguments);
    return Fail(ToolName, "cannot start " + taglibHalf + ": " + SystemError());
}

// Anything but a plain file fails at once: it must never reach a reader that could block.
int ReadTags(const std::string &folder, const std::string &path)
{
    TTrackTags tags;
    std::string error;
    switch (ReadTrackTags(path, tags, error)) {
    case TTagRead::Complete: return SaveTagResults(ToolName, folder, tags);
    case TTagRead::Undecided: return HandOver();
    case TTagRead::Unusable: break;
    }
    return Fail(ToolName, path + ": cannot open the file: " + error);
}

int UpdateTags(const std::string &path, const TTrackTags &tags)
{
    std::string error;
    switch (WriteTrackTagsInPlace(path, tags, error)) {
    case TTagWrite::Written: return 0;
    case TTagWrite::Undecided: return HandOver();
    case TTagWrite::Failed: break;
    }
    return Fail(ToolName, path + ": " + error);
}

int Work(const std::string &folder, const TExchangeFile &parameters)
{
    const std::string operation =
        parameters.Get(ToolProtocol::ParametersSection, ToolProtocol::OperationKey);
    const std::string path =
        parameters.Get(ToolProtocol::ParametersSection, ToolProtocol::FileToWorkKey);
    if (path.empty())
        return Fail(ToolName, "no file to work on");
    if (operation == ToolProtocol::ReadTagsOperation)
        return ReadTags(folder, path);
    if (operation == ToolProtocol::UpdateTagsOperation)
        return UpdateTags(path, TagParameters(parameters));
    return Fail(ToolName, "unknown operation \"" + operation + "\"");
}

} // namespace

int main()
{
    return RunWithParameters(ToolName, "wma.prm", Work);
}
