#pragma once

#include <string>

// The four descriptive texts of a track, UTF-8.
struct TTrackTags {
    std::string Name;
    std::string Album;
    std::string Composer;
    std::string Artist;
};

// The header object GUID that opens every ASF (WMA) file.
inline constexpr unsigned char AsfHeaderGuid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

// Reads the tags of an MP3 file (ID3v2, falling back to ID3v1 field by field) or a WMA (ASF)
// file; the kind is told by the file's content, not its name. False with a reason in error
// when the file cannot be read or is neither kind. Plain C++ without TagLib, so that the tag
// tool starts as fast as a small program can: the scan runs it once per file.
bool ReadTrackTags(const std::string &path, TTrackTags &tags, std::string &error);

// Writes the four texts into the tags of an MP3 or WMA file with TagLib (an empty text removes
// the tag). An MP3 gets an ID3v2 tag, and an ID3v1 tag it already has is updated too.
bool WriteTrackTags(const std::string &path, const TTrackTags &tags, std::string &error);
