// The sound subsystem's state and the start-up and shutdown steps the runtime calls: the
// device, the bank, and the audio output between them.
#pragma once

#include <cstdint>
#include <memory>

#include "sound/sound_bank.h"

namespace kvn {

namespace platform {
struct AudioOutput;
}  // namespace platform

// The audio output the bank plays through.
struct SoundDevice {
    // Null when no output device opened: nothing loads, nothing plays.
    platform::AudioOutput* output = nullptr;
    // The bank the callback mixes; changed only while the callback is held off.
    SoundBank* source = nullptr;
};

// The device and the bank of 4096 slots (empty when made); the runtime owns it.
struct SoundState {
    SoundDevice device;
    // Null once released at shutdown.
    std::unique_ptr<SoundBank> bank = std::make_unique<SoundBank>();
};

// The sound state every sound command uses; set only through attach_sound, null before
// start-up and after shutdown.
extern SoundState* active_sound;

// Makes the state the one the sound commands use; null detaches it.
void attach_sound(SoundState* state);

// Opens the audio output (22050 Hz, 16-bit stereo) and starts mixing the bank; 1 on success,
// 0 when no device opens (the program then runs silently).
int32_t sound_init(SoundState& state);
// Releases every slot, last slot first, and frees the bank.
void sound_release_bank(SoundState& state);
// Closes the audio output.
void sound_release_device(SoundState& state);

}  // namespace kvn
