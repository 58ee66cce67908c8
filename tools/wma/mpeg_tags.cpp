#include "tag_file.h"

#include <algorithm>

// MP3 files: an ID3v2 tag at the start, MPEG audio frames, perhaps an ID3v1 tag at the end.

namespace {

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

// Fills the fields that are still empty from the text frames of an ID3v2 tag body; false when
// a frame for one of them is compressed, which TagLib unpacks and this reader does not, or runs
// past the end of the tag, of which TagLib still reads a part.
bool ReadId3v2Frames(const Bytes &body, int version, bool tagUnsynchronised, TTrackTags &tags)
{
    const TId3Frames ids = version == 2 ? TId3Frames{"TT2", "TAL", "TP1", "TCM"}
                                        : TId3Frames{"TIT2", "TALB", "TPE1", "TCOM"};
    const size_t idSize = version == 2 ? 3 : 4;
    const size_t headerSize = version == 2 ? 6 : 10;
    size_t at = 0;
    while (at + headerSize <= body.size()) {
        const Bytes id = body.substr(at, idSize);
        if (!std::all_of(id.begin(), id.end(),
                         [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
            break; // padding or damage: no frame follows
        uint32_t size = 0;
        if (version == 2)
            size = BigEndian(body, at + 3, 3);
        else if (version == 3 || !SyncSafe(body, at + 4, size))
            size = BigEndian(body, at + 4, 4);
        std::string *field = id == ids.title ? &tags.Name
            : id == ids.album                ? &tags.Album
            : id == ids.artist               ? &tags.Artist
            : id == ids.composer             ? &tags.Composer
                                             : nullptr;
        const bool wanted = field && field->empty();
        if (size > body.size() - at - headerSize)
            return !wanted;
        const uint8_t format = version == 2 ? 0 : At(body, at + 9);
        Bytes data = body.substr(at + headerSize, size);
        at += headerSize + size;
        if (!wanted)
            continue;
        // Encrypted frames stay unread, as TagLib leaves them.
        const bool compressed = version == 3 ? format & 0x80 : version == 4 && (format & 0x08);
        const bool encrypted = version == 3 ? format & 0x40 : version == 4 && (format & 0x04);
        if (compressed && !encrypted)
            return false;
        if (encrypted)
            continue;
        if (version == 3) {
            if ((format & 0x20) && !data.empty())
                data.erase(0, 1); // group id
        } else if (version == 4) {
            data.erase(
                0,
                std::min(data.size(), size_t((format & 0x40) ? 1 : 0) + ((format & 0x01) ? 4 : 0)));
            if ((format & 0x02) || tagUnsynchronised)
                data = Resynchronised(data);
        }
        *field = TextFrame(data);
    }
    return true;
}

struct TId3v2 {
    bool present = false; // the file starts with an ID3v2 tag
    bool complete = true; // and this reader understood all of it that matters
    uint64_t audioStart = 0;
};

// Reads an ID3v2 tag at the start of the file.
TId3v2 ReadId3v2(const TFile &file, TTrackTags &tags)
{
    TId3v2 tag;
    Bytes header;
    if (!file.Read(0, 10, header) || header.compare(0, 3, "ID3") != 0)
        return tag;
    tag.present = true;
    uint32_t size = 0;
    const int version = At(header, 3);
    const uint8_t flags = At(header, 5);
    // Other versions, and version 2.2 with its whole tag compressed, are TagLib's to read.
    tag.complete = version >= 2 && version <= 4 && At(header, 4) != 0xFF
        && SyncSafe(header, 6, size) && !(version == 2 && (flags & 0x40));
    if (!tag.complete)
        return tag;
    tag.audioStart = 10 + uint64_t(size) + ((version == 4 && (flags & 0x10)) ? 10 : 0);
    // A tag cut short by the end of the file keeps the frames that fit.
    Bytes body;
    if (!file.Read(10, std::min<uint64_t>(size, file.size() - std::min<uint64_t>(file.size(), 10)),
                   body))
        return tag;
    const bool unsynchronised = flags & 0x80;
    if (unsynchronised && version < 4)
        body = Resynchronised(body);
    if ((flags & 0x40) && version >= 3 && body.size() >= 4) { // extended header
        uint32_t extended = 0;
        if (version == 3)
            extended = BigEndian(body, 0, 4) + 4;
        else if (!SyncSafe(body, 0, extended))
            extended = UINT32_MAX;
        tag.complete = extended <= body.size();
        if (!tag.complete)
            return tag;
        body.erase(0, extended);
    }
    tag.complete = ReadId3v2Frames(body, version, unsynchronised, tags);
    return tag;
}

// Reads an ID3v1 tag at the end of the file into the fields still empty; true when an APE tag
// ends the file or lies before the ID3v1 tag: TagLib reads that one before ID3v1.
bool ReadFileEnd(const TFile &file, TTrackTags &tags)
{
    Bytes end;
    if (!file.Read(file.size() - std::min<uint64_t>(file.size(), 160),
                   std::min<uint64_t>(file.size(), 160), end))
        return false;
    size_t apeEnd = end.size();
    if (end.size() >= 128 && end.compare(end.size() - 128, 3, "TAG") == 0) {
        apeEnd -= 128;
        const auto field = [&end](size_t at) {
            const Bytes raw = end.substr(end.size() - 128 + at, 30);
            return Trimmed(FromLatin1(raw.substr(0, raw.find('\0'))));
        };
        if (tags.Name.empty())
            tags.Name = field(3);
        if (tags.Artist.empty())
            tags.Artist = field(33);
        if (tags.Album.empty())
            tags.Album = field(63);
    }
    return apeEnd >= 32 && end.compare(apeEnd - 32, 8, "APETAGEX") == 0;
}

// The length of the MPEG audio frame whose header starts data, or 0 when it is no header.
uint32_t MpegFrameLength(const Bytes &data, size_t at)
{
    const uint8_t b1 = At(data, at + 1), b2 = At(data, at + 2);
    if (At(data, at) != 0xFF || (b1 & 0xE0) != 0xE0)
        return 0;
    const int version = (b1 >> 3) & 3;     // 0: 2.5, 2: 2, 3: 1
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

struct TAudioScan {
    bool audio = false;     // two audio frames in a row were found
    bool tagSeen = false;   // an ID3v2 tag header lies before them
    bool wholeFile = false; // the scan reached the end of the file
};

// Looks for two MPEG audio frames that follow each other, from start on: a lone frame header is
// easily found by chance in any file. Only the first 16 MiB are searched. With lookForTag, an
// ID3v2 tag header before them ends the search.
TAudioScan ScanForAudio(const TFile &file, uint64_t start, bool lookForTag)
{
    const uint64_t chunk = 65536, limit = 16 << 20;
    TAudioScan scan;
    Bytes data, next;
    uint64_t base = start;
    for (; base < file.size() && base - start < limit; base += chunk) {
        if (!file.Read(base, std::min<uint64_t>(chunk + 3, file.size() - base), data))
            return scan;
        for (size_t at = 0; at + 3 < data.size() && at < chunk; ++at) {
            if (lookForTag && data.compare(at, 3, "ID3") == 0) {
                scan.tagSeen = true;
                return scan;
            }
            const uint32_t length = MpegFrameLength(data, at);
            if (length >= 4 && file.Read(base + at + length, 4, next) && MpegFrameLength(next, 0)
                && (At(next, 1) & 0xFE) == (At(data, at + 1) & 0xFE)
                && (At(next, 2) & 0x0C) == (At(data, at + 2) & 0x0C)) {
                scan.audio = true;
                return scan;
            }
        }
    }
    scan.wholeFile = base >= file.size();
    return scan;
}

} // namespace

// A file with texts in an ID3v2 tag at its start is taken as TagLib takes it, whether or not
// audio follows: a tag-only or cut file still has its tags. Any other file must show audio
// frames to be an MP3 file; TagLib decides about the rest, also when it finds an ID3v2 tag
// behind something else where this reader looks only at the start.
TTagRead ReadMpegTags(const TFile &file, TTrackTags &tags)
{
    const TId3v2 id3v2 = ReadId3v2(file, tags);
    if (!id3v2.complete || ReadFileEnd(file, tags))
        return TTagRead::Undecided;
    if (id3v2.present && !tags.empty())
        return TTagRead::Complete;
    const TAudioScan scan = ScanForAudio(file, id3v2.audioStart, !id3v2.present);
    if (scan.tagSeen)
        return TTagRead::Undecided;
    if (scan.audio || (scan.wholeFile && !tags.empty()))
        return TTagRead::Complete;
    return TTagRead::Undecided;
}

bool AudioFollows(const TFile &file, uint64_t start)
{
    return ScanForAudio(file, start, false).audio;
}
