#pragma once

#include "platform/file_system.h"

// The room a stored MP3 copy gets in its ID3v2 tag: more than the tag tool needs to write the
// four texts of a description there (99 UTF-16 units each), so that it rewrites the tag in
// place instead of the whole file.
inline constexpr qint64 TagRoom = 1024;

// How a copy of the MP3 file open as source starts so that its tag has at least TagRoom bytes
// of padding: a version 2.3 or 2.4 tag at its start with less grows by TagRoom, and a file
// that starts with audio gets an empty version 2.3 tag of that size. Any other file, a tag
// with that room already, and one whose padding cannot grow (an extended header, a footer) is
// copied as it is.
TCopyHead RoomForTags(int source);
