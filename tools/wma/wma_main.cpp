// The tag tool: reads "wma.prm" beside itself and reads or writes the tags of one MP3 or WMA
// file. Exit code 0 on success, 255 on any failure with one line on standard error.

#include "tool_common.h"
#include "track_tags.h"

#include <cstdio>
#include <exception>

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

int UpdateTags(const TExchangeFile &parameters, const std::string &path)
{
    TTrackTags tags;
    tags.Name = parameters.Get(Parameters, "Name");
    tags.Album = parameters.Get(Parameters, "Album");
    tags.Composer = parameters.Get(Parameters, "Composer");
    tags.Artist = parameters.Get(Parameters, "Artist");
    std::string error;
    if (!WriteTrackTags(path, tags, error))
        return Fail(ToolName, path + ": " + error);
    return 0;
}

int Run()
{
    const std::string folder = OwnFolder();
    TExchangeFile parameters;
    if (!parameters.Load(folder + "wma.prm"))
        return Fail(ToolName, "cannot read " + folder + "wma.prm");
    const std::string operation = parameters.Get(Parameters, "Operation");
    const std::string path = parameters.Get(Parameters, "FileToWork");
    if (path.empty())
        return Fail(ToolName, "no file to work on");
    if (operation == "READWMATAGS")
        return ReadTags(folder, path);
    if (operation == "UPDATEWMATAGS")
        return UpdateTags(parameters, path);
    return Fail(ToolName, "unknown operation \"" + operation + "\"");
}

} // namespace

int main()
{
    try {
        return Run();
    } catch (const std::exception &e) {
        return Fail(ToolName, e.what());
    }
}
