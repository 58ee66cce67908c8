#pragma once

#include "common/tool_common.h"
#include "common/track_tags.h"

#include <cstdint>
#include <string>

// What the tag readers share: reading parts of a file, numbers and texts in its bytes. Every
// length the readers take from a file is checked against what was really read, so a damaged
// or hostile file can only make the reading fail, never reach past a buffer.

using Bytes = std::string;

// The parts of a file that the tag formats point at, read on demand.
class TFile {
public:
    explicit TFile(const std::string &path, bool writable = false) : m_file(path, writable) {}

    // False for a missing or unreadable file and for anything but a plain file.
    bool usable() const { return m_file.isOpen(); }
    const std::string &error() const { return m_file.error(); }
    uint64_t size() const { return m_file.size(); }
    // Exactly count bytes at offset, or false.
    bool Read(uint64_t offset, uint64_t count, Bytes &out) const;
    // All of data at offset, or false.
    bool Write(uint64_t offset, const Bytes &data) const;

private:
    TPlainFile m_file;
};

inline uint8_t At(const Bytes &data, size_t index)
{
    return uint8_t(data[index]);
}

uint32_t BigEndian(const Bytes &data, size_t at, int count);
// The four bytes at at, seven bits each (an ID3v2 size); false when one has its top bit set.
bool SyncSafe(const Bytes &data, size_t at, uint32_t &value);
uint64_t LittleEndian(const Bytes &data, size_t at, int count);
void AppendUtf8(std::string &out, char32_t c);
// The characters of UTF-8 text; what is not well-formed becomes U+FFFD.
std::u32string CodePoints(const Bytes &data);
std::string FromLatin1(const Bytes &data);
// UTF-16 up to its first NUL; unpaired surrogates become U+FFFD.
std::string FromUtf16(const Bytes &data, bool bigEndian);
// Keeps only well-formed UTF-8, so that nothing else reaches the results file.
std::string ValidUtf8(const Bytes &data);
// Without the spaces and control characters at either end.
std::string Trimmed(std::string text);

// What a reader made of a file.
enum class TTagRead {
    Complete,  // the tags hold everything TagLib would find in the file
    Undecided, // the file holds something the reader does not know: TagLib must decide
    Unusable,  // no plain file, or it cannot be read
};

// Reads the tags of an MP3 file (ID3v2, falling back to ID3v1 field by field) or a WMA (ASF)
// file; the kind is told by the file's content, not its name. Plain C++ without TagLib, so that
// the tag tool starts as fast as a small program can: the scan runs it once per file. It knows
// the common files; what it does not know, or does not know to be audio, it leaves undecided.
// error says why a file is unusable.
TTagRead ReadTrackTags(const std::string &path, TTrackTags &tags, std::string &error);

// The readers of the two kinds of file.
TTagRead ReadMpegTags(const TFile &file, TTrackTags &tags);
TTagRead ReadAsfTags(const TFile &file, TTrackTags &tags);
// Whether two MPEG audio frames in a row follow start (within the first 16 MiB after it).
bool AudioFollows(const TFile &file, uint64_t start);

// What a writer made of a file.
enum class TTagWrite {
    Written,   // the texts are in the file's tags
    Undecided, // the file is left as it was: TagLib must write it
    Failed,    // the file could not be written; error says why
};

// Writes the four texts into the tags of an MP3 file without TagLib, in the case that a copy
// into storage makes common: an ID3v2.3 tag with room for them at the start, rewritten in that
// room, and an ID3v1 tag at the end, when there is one. The texts are written as TagLib writes
// them. Every other file, or one whose new tag would not fit, is left undecided and unchanged.
TTagWrite WriteTrackTagsInPlace(const std::string &path, const TTrackTags &tags,
                                std::string &error);
TTagWrite WriteMpegTags(const TFile &file, const TTrackTags &tags, std::string &error);
