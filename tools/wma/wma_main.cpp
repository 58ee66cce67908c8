// The tag tool: reads "wma.prm" of the exchange folder and reads or writes the tags of one MP3
// or WMA file. Exit code 0 on success, 255 on any failure with one line on standard error.
//
// Reading is what the scan runs once per file, so this program is linked statically, without
// TagLib, and starts about as fast as a program that does nothing. Writing, rarer, hands the
// process over to "wma-update" beside it, which uses TagLib.

#include "common/tool_common.h"
#include "tag_file.h"

#include <unistd.h>

namespace {

const char ToolName[] = "wma";
const char Parameters[] = "Parameters";

int ReadTags(const std::string &folder, const std::string &path)
{
    TTrackTags tags;
    std::string error;
    if (!ReadTrackTags(path, tags, error))
        return Fail(ToolName, path + ": " + error);
    TExchangeFile results;
    results.Set("Results", "Name", tags.Name);
    results.Set("Results", "Album", tags.Album);
    results.Set("Results", "Composer", tags.Composer);
    results.Set("Results", "Artist", tags.Artist);
    if (!results.Save(folder + "wma.rslt"))
        return Fail(ToolName, "cannot write wma.rslt: " + SystemError());
    return 0;
}

// The same process goes on as the writer, so whoever waits for this tool gets its exit code.
int UpdateTags()
{
    const std::string writer = OwnFolder() + "wma-update";
    char *const arguments[] = {const_cast<char *>(writer.c_str()), nullptr};
    execv(writer.c_str(), arguments);
    return Fail(ToolName, "cannot start " + writer + ": " + SystemError());
}

int Work(const std::string &folder, const TExchangeFile &parameters)
{
    const std::string operation = parameters.Get(Parameters, "Operation");
    const std::string path = parameters.Get(Parameters, "FileToWork");
    if (path.empty())
        return Fail(ToolName, "no file to work on");
    if (operation == "READWMATAGS")
        return ReadTags(folder, path);
    if (operation == "UPDATEWMATAGS")
        return UpdateTags();
    return Fail(ToolName, "unknown operation \"" + operation + "\"");
}

} // namespace

int main()
{
    return RunWithParameters(ToolName, "wma.prm", Work);
}
