#include "tag_file.h"

#include <cstring>

// WMA files: an ASF header object whose children carry the title and author, and attributes
// such as the album and composer.

namespace {

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
    std::string *field = name == "WM/AlbumTitle" ? &tags.Album
        : name == "WM/Composer"                  ? &tags.Composer
                                                 : nullptr;
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
        TakeAttribute(FromUtf16(body.substr(at, nameSize), false), type,
                      body.substr(at + nameSize, valueSize), tags);
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

} // namespace

// A header this reader cannot walk whole is left to TagLib, which may still find the tags.
TTagRead ReadAsfTags(const TFile &file, TTrackTags &tags)
{
    Bytes header;
    if (!file.Read(0, 30, header))
        return TTagRead::Undecided;
    const uint64_t headerSize = LittleEndian(header, 16, 8);
    if (headerSize < 30 || headerSize > file.size() || headerSize > (256u << 20)
        || !file.Read(0, headerSize, header))
        return TTagRead::Undecided;
    bool intact = true;
    const auto visit = [&](size_t at, const Bytes &body) {
        if (IsGuid(header, at, ContentDescriptionGuid))
            ReadContentDescription(body, tags);
        else if (IsGuid(header, at, ExtendedContentGuid))
            ReadExtendedContent(body, tags);
        else if (IsGuid(header, at, HeaderExtensionGuid) && body.size() >= 22)
            intact = WalkObjects(body, 22,
                                 [&](size_t inner, const Bytes &innerBody) {
                                     if (IsGuid(body, inner, MetadataGuid)
                                         || IsGuid(body, inner, MetadataLibraryGuid))
                                         ReadMetadata(innerBody, tags);
                                 })
                && intact;
    };
    return WalkObjects(header, 30, visit) && intact ? TTagRead::Complete : TTagRead::Undecided;
}
