#pragma once

// The ripping library: extracts one track of an audio CD into a WAV file.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Extracts track number track (1 for the first) of the disc in drive into the file
// targetFolder + "TrackNN.wav" (NN: the track number in two digits), a 44.1 kHz 16-bit stereo
// PCM WAV file. drive is what libcdio opens as a disc: a device such as "/dev/sr0", or a CUE
// sheet. The sectors are read with full error correction; a sector that stays unreadable after
// a bounded number of retries fails the extraction rather than leaving a gap in the file.
//
// progress, when not null, is called on the caller's thread about once per second of audio
// with the whole seconds extracted so far and user, and also while a damaged disc is being
// retried, so that the caller's window stays alive; a result of 1 stops the extraction.
//
// Returns non-zero when the file is complete. Returns 0, leaving no file (an older file of the
// same name stays as it was), with errno telling why: ENOMEDIUM when there is no disc, ENOENT
// when the track is not an audio track of it, EIO when a sector cannot be read, the system's
// error when the file cannot be written, ECANCELED when progress asked to stop.
int32_t ExtractTrackTo(const char *drive, int32_t track, const char *targetFolder,
                       int32_t (*progress)(int32_t seconds, int32_t user), int32_t user);

#ifdef __cplusplus
}
#endif
