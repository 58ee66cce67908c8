#pragma once

#include "disc.h"

#include <string>
#include <vector>

// Writes "cddb.rslt" at path: section "Results" with "Count", then per description i a
// section "Description" + i with "Album", "Artist" and "TTITLE" + (track number - 1) for every
// track of the disc. Each value is one line of UTF-8. The file appears whole or not at all;
// false when it cannot be written.
bool WriteResults(const std::string &path, const TDiscToc &toc,
                  const std::vector<TDescription> &descriptions);

// Text from a disc or a server as UTF-8: text that is not UTF-8 is taken as Latin-1, which is
// what older CDDB entries hold.
std::string Utf8Text(const std::string &text);
