#include "common/tool_common.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <sys/stat.h>
#include <unistd.h>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

std::string OwnFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || size_t(length) >= path.size())
        return "./";
    path.resize(size_t(length));
    return path.substr(0, path.rfind('/') + 1);
}

std::string ExchangeFolder()
{
    const char *folder = std::getenv("QUAVERMILL_EXCHANGE_DIR");
    if (!folder || folder[0] != '/')
        return OwnFolder();
    std::string path = folder;
    return path.back() == '/' ? path : path + '/';
}

std::string ConfigFile(const char *name)
{
    std::string folder;
    const char *config = std::getenv("XDG_CONFIG_HOME");
    const char *home = std::getenv("HOME");
    if (config && config[0] == '/')
        folder = config;
    else if (home && home[0] != '\0')
        folder = std::string(home) + "/.config";
    const std::string own = folder + "/Quavermill/" + name;
    struct stat info = {};
    return !folder.empty() && stat(own.c_str(), &info) == 0 ? own : OwnFolder() + name;
}

struct TExchangeFile::Data {
    Data() { ini.SetSpaces(false); }
    CSimpleIniA ini{false, false, false};
};

TExchangeFile::TExchangeFile() : d(std::make_unique<Data>()) {}

TExchangeFile::~TExchangeFile() = default;

bool TExchangeFile::Load(const std::string &path)
{
    // Only a plain file: reading a named pipe would wait for a writer for ever.
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
        && d->ini.LoadFile(path.c_str()) >= 0;
}

std::string TExchangeFile::Get(const char *section, const char *key) const
{
    const char *value = d->ini.GetValue(section, key);
    if (!value)
        return {};
    std::string text = value;
    const auto notSpace = [](unsigned char c) { return c != ' ' && c != '\t'; };
    text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
    return text;
}

void TExchangeFile::Set(const char *section, const char *key, const std::string &value)
{
    std::string text = value;
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    d->ini.SetValue(section, key, text.c_str());
}

bool TExchangeFile::Save(const std::string &path) const
{
    std::string text;
    if (d->ini.Save(text, false) < 0)
        return false;
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

int RunWithParameters(const char *tool, const char *fileName,
                      int (*work)(const std::string &folder, const TExchangeFile &parameters))
{
    try {
        const std::string folder = ExchangeFolder();
        TExchangeFile parameters;
        if (!parameters.Load(folder + fileName))
            return Fail(tool, "cannot read " + folder + fileName);
        return work(folder, parameters);
    } catch (const std::exception &e) {
        return Fail(tool, e.what());
    }
}

TTrackTags TagParameters(const TExchangeFile &parameters)
{
    TTrackTags tags;
    tags.Name = parameters.Get("Parameters", "Name");
    tags.Album = parameters.Get("Parameters", "Album");
    tags.Composer = parameters.Get("Parameters", "Composer");
    tags.Artist = parameters.Get("Parameters", "Artist");
    return tags;
}

int Fail(const char *tool, const std::string &why)
{
    std::fprintf(stderr, "%s: %s\n", tool, why.c_str());
    return 255;
}

std::string SystemError()
{
    return std::strerror(errno);
}
