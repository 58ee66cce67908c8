#pragma once

#include <QString>

#include <functional>

// Told the whole seconds extracted so far of the track at the given run position; returns true
// to stop the extraction.
using TExtractProgress = std::function<bool(int seconds, int position)>;

// Extracts the audio CD track whose track file is source ("/dev/sr0/Track05.cda") into the WAV
// file target, which must be the target folder + the track file's name with ".wav" in place of
// its extension (the ripping library forms that name itself). progress hears about every
// second of audio, on this thread, with position as the track's place in the copy run. False
// when the name holds no track number, the disc is gone, a sector cannot be read or progress
// asked to stop; no file is left then.
bool ExtractCdTrack(const QString &source, const QString &target, int position,
                    const TExtractProgress &progress);
