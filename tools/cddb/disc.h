#pragma once

#include <map>
#include <string>
#include <vector>

// The table of contents of an audio CD, in sectors (75 a second) from the start of the disc.
struct TDiscToc {
    int First = 1;           // number of the first track
    std::vector<int> Starts; // where each track starts, first track first
    std::vector<bool> Audio; // whether each track is an audio track
    int LeadOut = 0;         // where the last track ends

    int Last() const { return First + int(Starts.size()) - 1; }
};

// One description of the disc that a source offers: album, artist and the track titles by
// track number. Texts are UTF-8.
struct TDescription {
    std::string Album;
    std::string Artist;
    std::map<int, std::string> Titles;

    bool operator==(const TDescription &) const = default;
};

struct TDisc {
    TDiscToc Toc;
    std::vector<TDescription> CdText; // one per language block of the disc's CD-TEXT
};

// Reads the disc in source (what libcdio opens: a device such as /dev/sr0, or a CUE sheet),
// with its CD-TEXT when withCdText is set. False with the reason in error when there is no
// disc or it holds no audio track.
bool ReadDisc(const std::string &source, bool withCdText, TDisc &disc, std::string &error);
