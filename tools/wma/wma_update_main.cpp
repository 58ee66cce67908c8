// The TagLib half of the tag tool, started by "wma" in its place: writes the four texts of
// "wma.prm" into the tags of "FileToWork" for "UPDATEWMATAGS", and reads them for
// "READWMATAGS", when the file is one that the reader or writer of "wma" leaves to TagLib. Exit code
// 0 on success, 255 on any failure with one line on standard error.

#include "common/tool_common.h"
#include "common/tool_protocol.h"
#include "common/track_tags.h"

namespace {

const char ToolName[] = "wma";

int UpdateTags(const std::string &path, const TTrackTags &tags)
{
    std::string error;
    bool written = false;
    {
        // TagLib may rewrite the whole file to make room for the tags.
        const TStopsHeld held;
        written = WriteTrackTags(path, tags, error);
    }
    if (!written)
        return Fail(ToolName, path + ": " + error);
    return 0;
}

int ReadTags(const std::string &folder, const std::string &path)
{
    TTrackTags tags;
    std::string error;
    if (!ReadTrackTagsWithTagLib(path, tags, error))
        return Fail(ToolName, path + ": " + error);
    return SaveTagResults(ToolName, folder, tags);
}

int Work(const std::string &folder, const TExchangeFile &parameters)
{
    const std::string operation =
        parameters.Get(ToolProtocol::ParametersSection, ToolProtocol::OperationKey);
    const std::string path =
        parameters.Get(ToolProtocol::ParametersSection, ToolProtocol::FileToWorkKey);
    if (operation == ToolProtocol::UpdateTagsOperation)
        return UpdateTags(path, TagParameters(parameters));
    if (operation == ToolProtocol::ReadTagsOperation)
        return ReadTags(folder, path);
    return Fail(ToolName, "wma.prm asks for no tag operation");
}

} // namespace

int main()
{
    return RunWithParameters(ToolName, "wma.prm", Work);
}
