// Audio output: one SDL audio device whose callback asks the runtime's mixer for samples.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvn::platform {

// An open audio output device.
struct AudioOutput;

// Fills frames of interleaved signed 16-bit stereo; called on the audio thread.
using AudioMixer = void (*)(void* context, int16_t* out, size_t frames);

// Opens the default output at this rate, signed 16-bit stereo, asking the mixer for
// frames_per_callback frames at a time, and starts it; null (and the reason on standard
// error) when no device opens.
AudioOutput* audio_open(int rate, int frames_per_callback, AudioMixer mixer, void* context);
// Holds the callback off until audio_unlock, so the caller can change what the mixer reads.
void audio_lock(AudioOutput* output);
void audio_unlock(AudioOutput* output);
// Stops and closes the device; the mixer is not called any more.
void audio_close(AudioOutput* output);

}  // namespace kvn::platform
