#include "common/tool_common.h"

#include "common/temporary_file.h"
#include "common/tool_protocol.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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
    return !folder.empty() && stat(own.c_str(), &info) == 0 && S_ISREG(info.st_mode)
            && uint64_t(info.st_size) <= IniFileLimit
        ? own
        : OwnFolder() + name;
}

TPlainFile::TPlainFile(const std::string &path, bool writable, TLinks links)
    : m_fd(open(path.c_str(),
                (writable ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC
                    | (links == TLinks::NoFollow ? O_NOFOLLOW : 0)))
{
    struct stat info = {};
    if (m_fd < 0 || fstat(m_fd, &info) != 0) {
        m_error = SystemError();
    } else if (!S_ISREG(info.st_mode)) {
        m_error = "not a plain file";
    } else {
        m_size = uint64_t(info.st_size);
        return;
    }
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

TPlainFile::~TPlainFile()
{
    if (m_fd >= 0)
        close(m_fd);
}

int TPlainFile::Release()
{
    return std::exchange(m_fd, -1);
}

struct TExchangeFile::Data {
    Data() { ini.SetSpaces(false); }
    CSimpleIniA ini{false, false, false};
};

TExchangeFile::TExchangeFile() : d(std::make_unique<Data>()) {}

TExchangeFile::~TExchangeFile() = default;

bool TExchangeFile::Load(const std::string &path, TLinks links)
{
    const TPlainFile file(path, false, links);
    if (!file.isOpen() || file.size() > IniFileLimit)
        return false;
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(file.descriptor(), buffer, sizeof buffer)) > 0) {
        text.append(buffer, size_t(got));
        if (text.size() > IniFileLimit)
            return false; // it grew while being read
    }
    return got == 0 && d->ini.LoadData(text.data(), text.size()) >= 0;
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
    // Written beside the file and renamed over it: a reader never sees half of it, and a named
    // pipe in its place is replaced rather than written into.
    TTemporaryFile temporary(path);
    if (temporary.path().empty())
        return false;
    // Not cut with O_TRUNC: the file is new and empty, and ext4 flushes a file cut to nothing to
    // the disk when it is closed, which would cost more than the tool's whole run.
    const int file = open(temporary.path().c_str(), O_WRONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    size_t done = 0;
    ssize_t wrote = 0;
    while (done < text.size() && (wrote = write(file, text.data() + done, text.size() - done)) > 0)
        done += size_t(wrote);
    return close(file) == 0 && done == text.size() && temporary.RenameTo(path);
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
    using namespace ToolProtocol;
    tags.Name = parameters.Get(ParametersSection, NameKey);
    tags.Album = parameters.Get(ParametersSection, AlbumKey);
    tags.Composer = parameters.Get(ParametersSection, ComposerKey);
    tags.Artist = parameters.Get(ParametersSection, ArtistKey);
    return tags;
}

int SaveTagResults(const char *tool, const std::string &folder, const TTrackTags &tags)
{
    TExchangeFile results;
    using namespace ToolProtocol;
    results.Set(ResultsSection, NameKey, tags.Name);
    results.Set(ResultsSection, AlbumKey, tags.Album);
    results.Set(ResultsSection, ComposerKey, tags.Composer);
    results.Set(ResultsSection, ArtistKey, tags.Artist);
    if (!results.Save(folder + "wma.rslt"))
        return Fail(tool, "cannot write wma.rslt: " + SystemError());
    return 0;
}

TStopsHeld::TStopsHeld()
{
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, &m_before);
}

TStopsHeld::~TStopsHeld()
{
    sigprocmask(SIG_SETMASK, &m_before, nullptr);
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
