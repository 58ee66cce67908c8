#pragma once

#include <string>

// Whether path can stand for an audio CD that libcdio may open: a block device, or a CUE sheet
// whose disc libcdio reads as the sheet describes it. The program and the tools ask this before
// libcdio sees a path, and refuse anything else:
// - anything but a plain file as the sheet or as its BIN file: opening a named pipe would wait
//   for ever;
// - more than 99 tracks, or track numbers that do not rise from line to line: libcdio numbers
//   the tracks by the order of their lines, and version 2.1 writes past its table after 99;
// - a track without a start, or one that starts outside the BIN file's data or not after the
//   track before it: reading it would give another track's audio;
// - a CD-TEXT file, which libcdio would open without asking what it is.
// libcdio reads the disc's data from the file named as the sheet with "bin" for the last three
// letters of "cue" ("disc.cue": "disc.bin"), whatever the sheet's FILE line names.
bool IsDiscSource(const std::string &path);
