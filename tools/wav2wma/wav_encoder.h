#pragma once

#include "common/tool_common.h"

#include <csignal>
#include <string>

// Encodes the PCM WAV file wav into a WMA (wmav2 in ASF) file at wmaPath, which must
// exist and is overwritten: 44.1 kHz unless the WAV uses 22.05, 32, 44.1 or 48 kHz, mono for
// a mono WAV, stereo otherwise. Stops between packets once stop is set. False with a reason in
// error when the WAV cannot be read, holds no audio, or the WMA cannot be written.
bool EncodeWavToWma(const TPlainFile &wav, const std::string &wmaPath,
                    const volatile std::sig_atomic_t &stop, std::string &error);
