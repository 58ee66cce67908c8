#pragma once

#include "common/track_tags.h"

#include <csignal>
#include <cstdint>
#include <memory>
#include <string>

// What the tools share: where their exchange files lie, how they read and write them, and how
// they fail. Plain C++ without Qt, so that a tool starts as fast as a small program can.

// The folder of the running program, ending in "/".
std::string OwnFolder();

// The folder of the exchange files, ending in "/": the absolute folder the program names in
// the environment variable QUAVERMILL_EXCHANGE_DIR, else the tool's own folder.
std::string ExchangeFolder();

// The most bytes of an ini file the tools read, as the program's ExchangeFileLimit: far more
// than any parameter file or settings file holds. A larger one was put there to hold the tool
// up and counts as no file at all.
inline constexpr uint64_t IniFileLimit = 4 << 20;

// The settings file name in $XDG_CONFIG_HOME/Quavermill/ (default ~/.config/Quavermill/) when it
// is a plain file there no larger than IniFileLimit, else beside the tool: as the program finds
// its own settings, so that the user of an installed program can change them.
std::string ConfigFile(const char *name);

// Whether a symbolic link in a file's place leads to the file it names: the user's settings may
// be links, the exchange files never are (one in their place was planted there).
enum class TLinks { Follow, NoFollow };

// A plain file opened without blocking, so that a named pipe or a device given in its place
// cannot hold the tool until some writer appears; anything but a plain file is refused.
class TPlainFile {
public:
    explicit TPlainFile(const std::string &path, bool writable = false,
                        TLinks links = TLinks::Follow);
    ~TPlainFile();
    TPlainFile(const TPlainFile &) = delete;
    TPlainFile &operator=(const TPlainFile &) = delete;

    // False for a missing or unreadable file and for anything but a plain file; error says why.
    bool isOpen() const { return m_fd >= 0; }
    const std::string &error() const { return m_error; }
    int descriptor() const { return m_fd; }
    uint64_t size() const { return m_size; }
    // Hands the descriptor to a new owner, who closes it.
    int Release();

private:
    int m_fd = -1;
    uint64_t m_size = 0;
    std::string m_error;
};

// One exchange file in ini form ("key=value", section and key names without regard to case,
// values trimmed, UTF-8), the same format the program's ini class reads and writes.
class TExchangeFile {
public:
    TExchangeFile();
    ~TExchangeFile();
    TExchangeFile(const TExchangeFile &) = delete;
    TExchangeFile &operator=(const TExchangeFile &) = delete;

    // False when the file is missing, cannot be read, is no plain file, is larger than
    // IniFileLimit, or is a link and links say NoFollow.
    bool Load(const std::string &path, TLinks links = TLinks::NoFollow);
    // The value of the key, or the empty text when it is missing.
    std::string Get(const char *section, const char *key) const;
    // Line breaks in the value become spaces: a value must stay on its own line.
    void Set(const char *section, const char *key, const std::string &value);
    // Writes the file at path whole, through a temporary file beside it; false on failure, and
    // then whatever stood at path is left as it was.
    bool Save(const std::string &path) const;

private:
    struct Data;
    std::unique_ptr<Data> d;
};

// Loads the parameter file fileName of the exchange folder and runs work with that folder and
// the file; returns work's exit code. A file that cannot be read, or an exception that escapes
// work, ends the tool with Fail.
int RunWithParameters(const char *tool, const char *fileName,
                      int (*work)(const std::string &folder, const TExchangeFile &parameters));

// The texts "Name", "Album", "Composer" and "Artist" of section "Parameters".
TTrackTags TagParameters(const TExchangeFile &parameters);

// Writes the four texts into section "Results" of "wma.rslt" in folder; returns the tool's
// exit code.
int SaveTagResults(const char *tool, const std::string &folder, const TTrackTags &tags);

// Holds SIGTERM, SIGINT and SIGHUP back while it lives, so that a stop asked while a file is
// being changed ends the tool only once the file is whole again.
class TStopsHeld {
public:
    TStopsHeld();
    ~TStopsHeld();
    TStopsHeld(const TStopsHeld &) = delete;
    TStopsHeld &operator=(const TStopsHeld &) = delete;

private:
    sigset_t m_before;
};

// Prints "tool: why" as one line on standard error; the tool then ends with exit code 255.
int Fail(const char *tool, const std::string &why);

// The system's text for the last error (errno).
std::string SystemError();
