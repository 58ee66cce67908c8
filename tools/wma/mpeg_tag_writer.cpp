#include "tag_file.h"

#include <algorithm>
#include <iterator>

// Writing the texts of an MP3 file without TagLib. A copy into storage leaves room in the copy's
// ID3v2.3 tag, so the new tag takes the old one's place and nothing else of the file is written.

namespace {

constexpr size_t HeaderSize = 10; // of the tag, and of each of its frames
constexpr uint64_t Id3v1Size = 128;
constexpr size_t Id3v1FieldSize = 30;

const char *const TextFrameIds[] = {"TIT2", "TALB", "TPE1", "TCOM"};

void AppendBigEndian(Bytes &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((value >> shift) & 0xFF);
}

void AppendUtf16(Bytes &out, char32_t c)
{
    const auto unit = [&out](char32_t u) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    };
    if (c < 0x10000) {
        unit(c);
    } else {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

bool IsLatin1(const std::u32string &text)
{
    return std::all_of(text.begin(), text.end(), [](char32_t c) { return c <= 0xFF; });
}

// A text frame as TagLib writes it in version 2.3: Latin-1 when every character fits, else
// UTF-16 with a byte order mark (the version knows no UTF-8). An empty text has no frame.
Bytes TextFrame(const char *id, const std::string &text)
{
    if (text.empty())
        return {};
    const std::u32string characters = CodePoints(text);
    const bool latin1 = IsLatin1(characters);
    Bytes body = latin1 ? Bytes(1, '\0') : Bytes("\x01\xFF\xFE");
    for (const char32_t c : characters) {
        if (latin1)
            body += char(c);
        else
            AppendUtf16(body, c);
    }
    Bytes frame(id);
    AppendBigEndian(frame, uint32_t(body.size()));
    return frame + Bytes(2, '\0') + body;
}

// The frames of a version 2.3 tag body other than the four texts'; false unless the body is
// whole frames up to its padding. The padding starts where a frame's name would start with a
// zero byte or no frame header fits, as TagLib reads it, and is written as zeros again.
bool OtherFrames(const Bytes &body, Bytes &kept)
{
    size_t at = 0;
    while (at + HeaderSize <= body.size() && body[at] != '\0') {
        const Bytes id = body.substr(at, 4);
        if (!std::all_of(id.begin(), id.end(),
                         [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
            return false;
        const uint32_t size = BigEndian(body, at + 4, 4);
        if (size > body.size() - at - HeaderSize)
            return false;
        if (std::find(std::begin(TextFrameIds), std::end(TextFrameIds), id)
            == std::end(TextFrameIds))
            kept += body.substr(at, HeaderSize + size);
        at += HeaderSize + size;
    }
    return true;
}

// An ID3v1 field as TagLib writes it: Latin-1 cut to 30 bytes, and empty for other text.
Bytes Id3v1Field(const std::string &text)
{
    const std::u32string characters = CodePoints(text);
    Bytes field;
    if (IsLatin1(characters))
        std::copy(characters.begin(), characters.end(), std::back_inserter(field));
    field.resize(Id3v1FieldSize, '\0');
    return field;
}

} // namespace

TTagWrite WriteMpegTags(const TFile &file, const TTrackTags &tags, std::string &error)
{
    Bytes header, body, tag;
    uint32_t size = 0;
    // Version 2.3 without unsynchronisation, an extended header or other flags.
    if (!file.Read(0, HeaderSize, header) || header.compare(0, 6, Bytes("ID3\x03\x00\x00", 6)) != 0
        || !SyncSafe(header, 6, size) || !file.Read(HeaderSize, size, body)
        || !OtherFrames(body, tag) || !AudioFollows(file, HeaderSize + uint64_t(size)))
        return TTagWrite::Undecided;
    tag += TextFrame("TIT2", tags.Name) + TextFrame("TALB", tags.Album)
        + TextFrame("TPE1", tags.Artist) + TextFrame("TCOM", tags.Composer);
    if (tag.size() > size)
        return TTagWrite::Undecided;
    tag.resize(size, '\0');

    Bytes end;
    const uint64_t id3v1 = file.size() - Id3v1Size;
    const bool hasId3v1 = file.size() >= HeaderSize + size + Id3v1Size
        && file.Read(id3v1, Id3v1Size, end) && end.compare(0, 3, "TAG") == 0;
    // A stop asked meanwhile waits until both tags are whole.
    const TStopsHeld held;
    if (!file.Write(0, header + tag)
        || (hasId3v1
            && !file.Write(id3v1 + 3,
                           Id3v1Field(tags.Name) + Id3v1Field(tags.Artist)
                               + Id3v1Field(tags.Album)))) {
        error = "cannot write the tags: " + SystemError();
        return TTagWrite::Failed;
    }
    return TTagWrite::Written;
}
