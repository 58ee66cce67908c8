#pragma once

#include "platform/volumes.h"

#include <QString>

#include <functional>

// Told the whole seconds extracted so far of the track at the given run position; returns true
// to stop the extraction.
using TExtractProgress = std::function<bool(int seconds, int position)>;

// Extracts the audio CD track whose track file is source ("/dev/sr0/Track05.cda") into the WAV
// file target, which must be the target folder + the track file's name with ".wav" in place of
// its extension (the ripping library forms that name itself). progress hears about every
// second of audio, on this thread, with position as the track's place in the copy run. 0 when
// the file is complete; else no file is left and the result tells why, as an errno value:
// ENOENT when the name holds no track number of the disc, ENOMEDIUM when the disc is gone, EIO
// when a sector cannot be read, ECANCELED when progress asked to stop, or the error of writing
// the file.
// The disc is looked for among volumes.
int ExtractCdTrack(const TVolumeList &volumes, const QString &source, const QString &target,
                   int position, const TExtractProgress &progress);
