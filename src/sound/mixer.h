// The software mixer: playing voices of PCM data summed into the device's signed 16-bit
// stereo. Plain functions over plain data; the audio callback and the tests call them alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvn {

// The rate, channels and sample size of the device's output.
constexpr uint32_t kDeviceRate = 22050;
constexpr uint32_t kDeviceChannels = 2;

// A sound holds at most this many frames (play positions are 32.32 fixed point); the
// reader keeps no more.
constexpr uint64_t kLongestSoundFrames = uint64_t{1} << 31;

// The layout of PCM samples: interleaved frames, 8-bit unsigned or 16-bit signed
// little-endian, one or two channels.
struct PcmFormat {
    uint16_t channels = 0;
    uint16_t bits_per_sample = 0;
    uint32_t sample_rate = 0;

    uint32_t block_align() const { return uint32_t{channels} * bits_per_sample / 8; }
};

// The sample data of a loaded sound: whole frames only, never changed once loaded, shared
// by every voice that plays it.
struct SoundData {
    PcmFormat format;
    std::vector<uint8_t> bytes;

    uint64_t frame_count() const { return bytes.size() / format.block_align(); }
};

// A voice as the mixer plays it.
struct MixVoice {
    const SoundData* data = nullptr;
    // Play cursor in frames of the source, 32.32 fixed point.
    uint64_t position = 0;
    float gain_left = 1.0f;
    float gain_right = 1.0f;
    // Set by the mixer when the voice has played its last frame.
    bool finished = false;
};

// Amplitude factor of a level in hundredths of a decibel, 10^(level / 2000); -10000 and
// below is silence.
float decibel_gain(int32_t hundredths);

// The channel gains of a voice at this volume and pan (hundredths of a decibel); pan > 0
// attenuates the left channel, pan < 0 the right.
void voice_gains(int32_t volume, int32_t pan, float* left, float* right);

// Writes frames of interleaved signed 16-bit stereo at device_rate: the sum of the voices,
// saturated. Each voice plays from its position on, resampled with linear interpolation
// (the data counts as followed by silence), and its position advances; voices that reached
// their end are marked finished and add nothing more.
void mix_voices(MixVoice* voices, size_t count, uint32_t device_rate, int16_t* out, size_t frames);

}  // namespace kvn
