#pragma once

#include <string>

// The four descriptive texts of a track, UTF-8.
struct TTrackTags {
    std::string Name;
    std::string Album;
    std::string Composer;
    std::string Artist;

    bool empty() const
    {
        return Name.empty() && Album.empty() && Composer.empty() && Artist.empty();
    }
};

// The header object GUID that opens every ASF (WMA) file.
inline constexpr unsigned char AsfHeaderGuid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

// With TagLib, for a plain file only; false with a reason in error.

// Writes the four texts into the tags of an MP3 or WMA file (an empty text removes the tag). An
// MP3 gets an ID3v2 tag, and an ID3v1 tag it already has is updated too.
bool WriteTrackTags(const std::string &path, const TTrackTags &tags, std::string &error);

// Reads the four texts of an MP3 or WMA file as TagLib finds them; an MP3 file must hold audio
// frames or one of the texts.
bool ReadTrackTagsWithTagLib(const std::string &path, TTrackTags &tags, std::string &error);
