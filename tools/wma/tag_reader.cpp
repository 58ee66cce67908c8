#include "track_tags.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Every length below comes from the file and is checked against what was really read, so a
// damaged or hostile file can only make the reading fail, never reach past a buffer.

namespace {

using Bytes = std::string;

// The parts of a file that the tag formats point at, read on demand.
class TFile {
public:
    explicit TFile(const std::string &path) : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        struct stat info = {};
        if (m_fd >= 0 && fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode))
            m_size = uint64_t(info.st_size);
        else
            m_size = 0, m_usable = false;
    }
    ~TFile()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    TFile(const TFile &) = delete;
    TFile &operator=(const TFile &) = delete;

    bool usable() const { return m_usable; }
    uint64_t size() const { return m_size; }
    // Exactly count bytes at offset, or false.
    bool Read(uint64_t offset, uint64_t count, Bytes &out) const
    {
        if (offset > m_size || count > m_size - offset)
            return false;
        out.resize(count);
        uint64_t done = 0;
        while (done < count) {
            const ssize_t got = pread(m_fd, out.data() + done, count - done, off_t(offset + done));
            if (got <= 0)
                return false;
            done += uint64_t(got);
        }
        return true;
    }

private:
    int m_fd;
    uint64_t m_size = 0;
    bool m_usable = true;
};

uint8_t At(const Bytes &data, size_t index)
{
    return uint8_t(data[index]);
}

uint32_t BigEndian(const Bytes &data, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | At(data, at + size_t(i));
    return value;
}

uint64_t LittleEndian(const Bytes &data, size_t at, int count)
{
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | At(data, at + size_t(i));
    return value;
}

// Seven bits per byte; false when a byte has its top bit set.
bool SyncSafe(const Bytes &data, size_t at, uint32_t &value)
{
    value = 0;
    for (size_t i = 0; i < 4; ++i) {
        if (At(data, at + i) & 0x80)
            return false;
        value = (value << 7) | At(data, at + i);
    }
    return true;
}

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string FromLatin1(const Bytes &data)
{
    std::string out;
    for (const char c : data)
        AppendUtf8(out, uint8_t(c));
    return out;
}

// UTF-16 up to its first NUL; unpaired surrogates become U+FFFD.
std::string FromUtf16(const Bytes &data, bool bigEndian)
{
    std::string out;
    const auto unit = [&](size_t i) -> char32_t {
        return bigEndian ? char32_t(At(data, i) << 8 | At(data, i + 1)) : char32_t(At(data, i + 1) << 8 | At(data, i));
    };
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        char32_t c = unit(i);
        if (c == 0)
            break;
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < data.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Keeps only well-formed UTF-8, so that nothing else reaches the results file.
std::string ValidUtf8(const Bytes &data)
{
    std::string out;
    size_t i = 0;
    while (i < data.size()) {
        const uint8_t lead = At(data, i);
        size_t extra = 0;
        char32_t c = lead, least = 0;
        if ((lead & 0xE0) == 0xC0)
            extra = 1, c = lead & 0x1F, least = 0x80;
        else if ((lead & 0xF0) == 0xE0)
            extra = 2, c = lead & 0x0F, least = 0x800;
        else if ((lead & 0xF8) == 0xF0)
            extra = 3, c = lead & 0x07, least = 0x10000;
        bool valid = lead < 0x80 || extra > 0;
        valid = valid && i + extra < data.size();
        for (size_t k = 1; valid && k <= extra; ++k) {
            valid = (At(data, i + k) & 0xC0) == 0x80;
            c = (c << 6) | (At(data, i + k) & 0x3F);
        }
        valid = valid && c >= least && c <= 0x10FFFF && (c < 0xD800 || c >= 0xE000);
        AppendUtf8(out, valid ? c : char32_t(0xFFFD));
        i += valid ? extra + 1 : 1;
    }
    return out;
}

std::string Trimmed(std::string text)
{
    const auto notSpace = [](unsigned char c) { return c > ' '; };
    text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
    return text;
}

// ---- ID3v2 ----

Bytes Resynchronised(const Bytes &data)
{
    Bytes out;
    out.reserve(data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        out += data[i];
        if (At(data, i) == 0xFF && i + 1 < data.size() && At(data, i + 1) == 0)
            ++i;
    }
    return out;
}

// The values of a text frame, joined by spaces as TagLib joins them.
std::string TextFrame(const Bytes &frame)
{
    if (frame.empty())
        return {};
    const uint8_t encoding = At(frame, 0);
    const bool wide = encoding == 1 || encoding == 2;
    std::string joined;
    bool bigEndian = encoding == 2;
    size_t start = 1;
    while (start < frame.size()) {
        size_t end = start;
        if (wide) {
            while (end + 1 < frame.size() && (frame[end] != 0 || frame[end + 1] != 0))
                end += 2;
        } else {
            while (end < frame.size() && frame[end] != 0)
                ++end;
        }
        Bytes piece = frame.substr(start, std::min(end, frame.size()) - start);
        std::string text;
        if (wide) {
            if (encoding == 1 && piece.size() >= 2 && At(piece, 0) + At(piece, 1) == 0xFF + 0xFE
                && (At(piece, 0) == 0xFF || At(piece, 0) == 0xFE)) {
                bigEndian = At(piece, 0) == 0xFE;
                piece.erase(0, 2);
            }
            text = FromUtf16(piece, bigEndian);
        } else {
            text = encoding == 3 ? ValidUtf8(piece) : FromLatin1(piece);
        }
        if (!text.empty())
            joined += (joined.empty() ? "" : " ") + text;
        start = end + (wide ? 2 : 1);
    }
    return joined;
}

struct TId3Frames {
    const char *title, *album, *artist, *composer;
};

// Fills the fields that are still empty from the text frames of an ID3v2 tag body.
void ReadId3v2Frames(const Bytes &body, int version, bool tagUnsynchronised, TTrackTags &tags)
{
    const TId3Frames ids = version == 2 ? TId3Frames{"TT2", "TAL", "TP1", "TCM"}
                                        : TId3Frames{"TIT2", "TALB", "TPE1", "TCOM"};
    const size_t idSize = version == 2 ? 3 : 4;
    const size_t headerSize = version == 2 ? 6 : 10;
    size_t at = 0;
    while (at + headerSize <= body.size()) {
        const Bytes id = body.substr(at, idSize);
        if (!std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
            break; // padding or damage: no frame follows
        uint32_t size = 0;
        if (version == 2)
            size = BigEndian(body, at + 3, 3);
        else if (version == 3 || !SyncSafe(body, at + 4, size))
            size = BigEndian(body, at + 4, 4);
        if (size > body.size() - at - headerSize)
            break;
        const uint8_t format = version == 2 ? 0 : At(body, at + 9);
        Bytes data = body.substr(at + headerSize, size);
        at += headerSize + size;

        if (version == 3) {
            if (format & 0xC0) // compressed or encrypted
                continue;
            if ((format & 0x20) && !data.empty())
                data.erase(0, 1); // group id
        } else if (version == 4) {
            if (format & 0x0C) // compressed or encrypted
                continue;
            data.erase(0, std::min(data.size(), size_t((format & 0x40) ? 1 : 0) + ((format & 0x01) ? 4 : 0)));
            if ((format & 0x02) || tagUnsynchronised)
                data = Resynchronised(data);
        }
        std::string *field = id == ids.title ? &tags.Name
            : id == ids.album                ? &tags.Album
            : id == ids.artist               ? &tags.Artist
            : id == ids.composer             ? &tags.Composer
                                             : nullptr;
        if (field && field->empty())
            *field = TextFrame(data);
    }
}

// Reads an ID3v2 tag at the start of the file; audioStart is where the audio may begin.
void ReadId3v2(const TFile &file, TTrackTags &tags, uint64_t &audioStart)
{
    audioStart = 0;
    Bytes header;
    uint32_t size = 0;
    if (!file.Read(0, 10, header) || header.compare(0, 3, "ID3") != 0 || At(header, 3) < 2 || At(header, 3) > 4
        || At(header, 4) == 0xFF || !SyncSafe(header, 6, size))
        return;
    const int version = At(header, 3);
    const uint8_t flags = At(header, 5);
    audioStart = 10 + uint64_t(size) + ((version == 4 && (flags & 0x10)) ? 10 : 0);
    Bytes body;
    if (!file.Read(10, std::min<uint64_t>(size, file.size() - std::min<uint64_t>(file.size(), 10)), body))
        return;
    const bool unsynchronised = flags & 0x80;
    if (unsynchronised && version < 4)
        body = Resynchronised(body);
    if ((flags & 0x40) && version >= 3 && body.size() >= 4) { // extended header
        uint32_t extended = 0;
        if (version == 3)
            extended = BigEndian(body, 0, 4) + 4;
        else if (!SyncSafe(body, 0, extended))
            return;
        if (extended > body.size())
            return;
        body.erase(0, extended);
    }
    ReadId3v2Frames(body, version, unsynchronised, tags);
}

void ReadId3v1(const TFile &file, TTrackTags &tags)
{
    Bytes tag;
    if (file.size() < 128 || !file.Read(file.size() - 128, 128, tag) || tag.compare(0, 3, "TAG") != 0)
        return;
    const auto field = [&tag](size_t at) {
        const Bytes raw = tag.substr(at, 30);
        return Trimmed(FromLatin1(raw.substr(0, raw.find('\0'))));
    };
    if (tags.Name.empty())
        tags.Name = field(3);
    if (tags.Artist.empty())
        tags.Artist = field(33);
    if (tags.Album.empty())
        tags.Album = field(63);
}

// The length of the MPEG audio frame whose header starts data, or 0 when it is no header.
uint32_t MpegFrameLength(const Bytes &data, size_t at)
{
    const uint8_t b1 = At(data, at + 1), b2 = At(data, at + 2);
    if (At(data, at) != 0xFF || (b1 & 0xE0) != 0xE0)
        return 0;
    const int version = (b1 >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const int layer = 4 - ((b1 >> 1) & 3); // 1, 2, 3; 4 is reserved
    const int bitrateIndex = b2 >> 4, rateIndex = (b2 >> 2) & 3;
    if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return 0;
    static const int bitrates[2][3][15] = {
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static const int rates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int rate = rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const int bitrate = bitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex] * 1000;
    const int padding = (b2 >> 1) & 1;
    if (layer == 1)
        return uint32_t((12 * bitrate / rate + padding) * 4);
    return uint32_t((layer == 3 && !mpeg1 ? 72 : 144) * bitrate / rate + padding);
}

// True when two MPEG audio frames follow each other somewhere after start: a lone frame
// header is easily found by chance in any file.
bool HasAudioFrames(const TFile &file, uint64_t start)
{
    const uint64_t chunk = 65536, limit = 16 << 20;
    Bytes data, next;
    for (uint64_t base = start; base < file.size() && base - start < limit; base += chunk) {
        if (!file.Read(base, std::min<uint64_t>(chunk + 3, file.size() - base), data))
            return false;
        for (size_t at = 0; at + 3 < data.size() && at < chunk; ++at) {
            const uint32_t length = MpegFrameLength(data, at);
            if (length >= 4 && file.Read(base + at + length, 4, next) && MpegFrameLength(next, 0)
                && (At(next, 1) & 0xFE) == (At(data, at + 1) & 0xFE) && (At(next, 2) & 0x0C) == (At(data, at + 2) & 0x0C))
                return true;
        }
    }
    return false;
}

bool ReadMpeg(const TFile &file, TTrackTags &tags, std::string &error)
{
    uint64_t audioStart = 0;
    ReadId3v2(file, tags, audioStart);
    if (!HasAudioFrames(file, audioStart)) {
        error = "not an MP3 or WMA file";
        return false;
    }
    ReadId3v1(file, tags);
    return true;
}

// ---- ASF ----

const unsigned char ContentDescriptionGuid[16] = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                  0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const unsigned char ExtendedContentGuid[16] = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                               0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
const unsigned char HeaderExtensionGuid[16] = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                               0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const unsigned char MetadataGuid[16] = {0xEA, 0xCB, 0xF8, 0xC5, 0xAF, 0x5B, 0x77, 0x48,
                                        0x84, 0x67, 0xAA, 0x8C, 0x44, 0xFA, 0x4C, 0xCA};
const unsigned char MetadataLibraryGuid[16] = {0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49,
                                               0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54};

bool IsGuid(const Bytes &data, size_t at, const unsigned char (&guid)[16])
{
    return std::memcmp(data.data() + at, guid, 16) == 0;
}

// An attribute named WM/AlbumTitle or WM/Composer, if its value is text.
void TakeAttribute(const std::string &name, uint32_t type, const Bytes &value, TTrackTags &tags)
{
    std::string *field = name == "WM/AlbumTitle" ? &tags.Album : name == "WM/Composer" ? &tags.Composer : nullptr;
    if (field && field->empty() && type == 0)
        *field = FromUtf16(value, false);
}

void ReadContentDescription(const Bytes &body, TTrackTags &tags)
{
    if (body.size() < 10)
        return;
    const uint64_t titleSize = LittleEndian(body, 0, 2), authorSize = LittleEndian(body, 2, 2);
    if (titleSize + authorSize > body.size() - 10)
        return;
    tags.Name = FromUtf16(body.substr(10, titleSize), false);
    tags.Artist = FromUtf16(body.substr(10 + titleSize, authorSize), false);
}

void ReadExtendedContent(const Bytes &body, TTrackTags &tags)
{
    if (body.size() < 2)
        return;
    const uint64_t count = LittleEndian(body, 0, 2);
    size_t at = 2;
    for (uint64_t i = 0; i < count; ++i) {
        if (body.size() - at < 2)
            return;
        const uint64_t nameSize = LittleEndian(body, at, 2);
        if (body.size() - at - 2 < nameSize + 4)
            return;
        const std::string name = FromUtf16(body.substr(at + 2, nameSize), false);
        at += 2 + nameSize;
        const uint32_t type = uint32_t(LittleEndian(body, at, 2));
        const uint64_t valueSize = LittleEndian(body, at + 2, 2);
        if (body.size() - at - 4 < valueSize)
            return;
        TakeAttribute(name, type, body.substr(at + 4, valueSize), tags);
        at += 4 + valueSize;
    }
}

// The Metadata and Metadata Library objects share one record layout.
void ReadMetadata(const Bytes &body, TTrackTags &tags)
{
    if (body.size() < 2)
        return;
    const uint64_t count = LittleEndian(body, 0, 2);
    size_t at = 2;
    for (uint64_t i = 0; i < count; ++i) {
        if (body.size() - at < 12)
            return;
        const uint64_t nameSize = LittleEndian(body, at + 4, 2);
        const uint32_t type = uint32_t(LittleEndian(body, at + 6, 2));
        const uint64_t valueSize = LittleEndian(body, at + 8, 4);
        at += 12;
        if (body.size() - at < nameSize || body.size() - at - nameSize < valueSize)
            return;
        TakeAttribute(FromUtf16(body.substr(at, nameSize), false), type, body.substr(at + nameSize, valueSize), tags);
        at += nameSize + valueSize;
    }
}

// Walks objects (GUID, 64-bit size, body) from at to the end of data; false when one is damaged.
template <typename Visit>
bool WalkObjects(const Bytes &data, size_t at, Visit visit)
{
    while (at < data.size()) {
        if (data.size() - at < 24)
            return false;
        const uint64_t size = LittleEndian(data, at + 16, 8);
        if (size < 24 || size > data.size() - at)
            return false;
        visit(at, data.substr(at + 24, size - 24));
        at += size;
    }
    return true;
}

bool ReadAsf(const TFile &file, TTrackTags &tags, std::string &error)
{
    error = "damaged WMA file";
    Bytes header;
    if (!file.Read(0, 30, header))
        return false;
    const uint64_t headerSize = LittleEndian(header, 16, 8);
    if (headerSize < 30 || headerSize > file.size() || headerSize > (256u << 20) || !file.Read(0, headerSize, header))
        return false;
    bool intact = true;
    const auto visit = [&](size_t at, const Bytes &body) {
        if (IsGuid(header, at, ContentDescriptionGuid))
            ReadContentDescription(body, tags);
        else if (IsGuid(header, at, ExtendedContentGuid))
            ReadExtendedContent(body, tags);
        else if (IsGuid(header, at, HeaderExtensionGuid) && body.size() >= 22)
            intact = WalkObjects(body, 22, [&](size_t inner, const Bytes &innerBody) {
                if (IsGuid(body, inner, MetadataGuid) || IsGuid(body, inner, MetadataLibraryGuid))
                    ReadMetadata(innerBody, tags);
            }) && intact;
    };
    return WalkObjects(header, 30, visit) && intact;
}

} // namespace

bool ReadTrackTags(const std::string &path, TTrackTags &tags, std::string &error)
{
    const TFile file(path);
    if (!file.usable()) {
        error = "cannot open the file";
        return false;
    }
    Bytes head;
    if (file.Read(0, 16, head) && std::memcmp(head.data(), AsfHeaderGuid, 16) == 0)
        return ReadAsf(file, tags, error);
    return ReadMpeg(file, tags, error);
}
