#pragma once

#include <string>

// The four descriptive texts of a track, UTF-8.
struct TTrackTags {
    std::string Name;
    std::string Album;
    std::string Composer;
    std::string Artist;
};

// Reads the tags of an MP3 file (ID3v2, falling back to ID3v1 field by field) or a WMA (ASF)
// file; the kind is told by the file's content, not its name. False with a reason in error
// when the file cannot be read or is neither kind.
bool ReadTrackTags(const std::string &path, TTrackTags &tags, std::string &error);

// Writes the four texts into the tags of an MP3 or WMA file (an empty text removes the tag).
// An MP3 gets an ID3v2 tag, and an ID3v1 tag it already has is updated too.
bool WriteTrackTags(const std::string &path, const TTrackTags &tags, std::string &error);
