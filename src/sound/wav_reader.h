// Reading RIFF/WAVE PCM sounds from files and "mem://" images.
#pragma once

#include "sound/mixer.h"

namespace kvn {

// Reads the WAV into sound; false when it cannot be read or is not PCM the mixer plays
// (1 or 2 channels of 8 or 16 bits, block alignment channels x bits / 8, 100..100,000 Hz).
// A data chunk longer than the input gives the whole frames that are there.
bool read_wav(const char* name, SoundData* sound);

}  // namespace kvn
