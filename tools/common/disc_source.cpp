#include "common/disc_source.h"

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int MaxTracks = 99;
constexpr int64_t SectorBytes = 2352;
// A sheet of 99 tracks with all their CD-TEXT is a few kilobytes.
constexpr off_t MaxSheetBytes = 1 << 20;
// libcdio reads a sheet in pieces of at most 4095 bytes, each taken for a line of its own: a
// longer line could hide a TRACK from this check that libcdio would see.
constexpr size_t MaxLineBytes = 4000;

// The whole file, opened without blocking; false for anything but a small plain file.
bool ReadSheet(const std::string &path, std::string &text)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info = {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= MaxSheetBytes;
    if (ok) {
        text.resize(size_t(info.st_size));
        size_t done = 0;
        ssize_t got = 0;
        while (done < text.size() && (got = read(fd, text.data() + done, text.size() - done)) > 0)
            done += size_t(got);
        ok = done == text.size();
    }
    close(fd);
    return ok;
}

// The words of a line, split where libcdio splits them.
std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t at = 0;
    while ((at = line.find_first_not_of(" \t\r", at)) != std::string_view::npos) {
        const size_t end = std::min(line.find_first_of(" \t\r", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// A number of one to limitDigits digits, or -1.
int64_t Number(std::string_view text, size_t limitDigits)
{
    if (text.empty() || text.size() > limitDigits)
        return -1;
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "mm:ss:ff" as sectors from the start of the data, or -1.
int64_t Sectors(std::string_view msf)
{
    const size_t first = msf.find(':'), second = msf.find(':', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos)
        return -1;
    const int64_t minutes = Number(msf.substr(0, first), 3);
    const int64_t seconds = Number(msf.substr(first + 1, second - first - 1), 2);
    const int64_t frames = Number(msf.substr(second + 1), 2);
    if (minutes < 0 || seconds < 0 || seconds >= 60 || frames < 0 || frames >= 75)
        return -1;
    return (minutes * 60 + seconds) * 75 + frames;
}

// Whether the sheet's tracks are what libcdio can hold and all lie in the data's sectors.
bool TracksFit(const std::string &sheet, int64_t dataSectors)
{
    if (sheet.find('\0') != std::string::npos)
        return false;
    int count = 0;
    int64_t number = 0;    // of the last track
    int64_t start = -1;    // of the last track, -1 until its INDEX 01
    int64_t previous = -1; // start of the track before it
    for (size_t at = 0; at < sheet.size();) {
        const size_t end = std::min(sheet.find('\n', at), sheet.size());
        const std::string_view line(sheet.data() + at, end - at);
        at = end + 1;
        if (line.size() > MaxLineBytes)
            return false;
        const std::vector<std::string_view> words = Words(line);
        if (words.empty())
            continue;
        if (words[0] == "CDTEXTFILE")
            return false;
        if (words[0] == "TRACK") {
            const int64_t next = words.size() > 1 ? Number(words[1], 2) : -1;
            if (++count > MaxTracks || next <= number || (count > 1 && start < 0))
                return false;
            number = next;
            previous = start;
            start = -1;
        } else if (words[0] == "INDEX" && count > 0) {
            const int64_t index = words.size() > 2 ? Number(words[1], 2) : -1;
            if (index < 0)
                return false;
            // libcdio takes a track's start from its first INDEX 01.
            if (index == 1 && start < 0) {
                start = Sectors(words[2]);
                if (start <= previous || start >= dataSectors)
                    return false;
            }
        }
    }
    return count > 0 && start >= 0;
}

} // namespace

bool IsDiscSource(const std::string &path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0)
        return false;
    if (S_ISBLK(info.st_mode))
        return true;
    const std::string_view suffix =
        path.size() > 3 ? std::string_view(path).substr(path.size() - 3) : std::string_view();
    if (suffix != "cue" && suffix != "CUE")
        return false;
    std::string data = path;
    data.replace(data.size() - 3, 3, suffix == "cue" ? "bin" : "BIN");
    std::string sheet;
    return ReadSheet(path, sheet) && stat(data.c_str(), &info) == 0 && S_ISREG(info.st_mode)
        && TracksFit(sheet, int64_t(info.st_size) / SectorBytes);
}
