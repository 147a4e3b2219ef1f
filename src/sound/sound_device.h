// The sound subsystem's process-wide state and the start-up and shutdown steps the runtime
// calls: the device, the bank, and the audio output between them.
#pragma once

#include <cstdint>

#include "sound/sound_bank.h"

namespace kvn {

namespace platform {
struct AudioOutput;
struct Window;
}  // namespace platform

// The audio output the bank plays through.
struct SoundDevice {
    // Null when no output device opened: nothing loads, nothing plays.
    platform::AudioOutput* output = nullptr;
    // The window the device was last given.
    platform::Window* window = nullptr;
    // The bank the callback mixes; changed only while the callback is held off.
    SoundBank* source = nullptr;
};

// Creates the device (not yet open) and the bank of 4096 empty slots.
void sound_create();
// Opens the audio output (22050 Hz, 16-bit stereo) for the window and starts mixing the bank;
// 1 on success, 0 when no device opens (the program then runs silently).
int32_t sound_init(platform::Window* window);
// Gives the device a new window (after the window was re-created).
void sound_set_window(platform::Window* window);
// Releases every slot, last slot first, and frees the bank.
void sound_release_bank();
// Closes the audio output and frees the device.
void sound_release_device();

// The process-wide device and bank; null before start-up and after shutdown.
SoundDevice* sound_device();
SoundBank* sound_bank();

}  // namespace kvn
