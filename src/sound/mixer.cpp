// The mixer: each voice is added into a float accumulator a chunk at a time, then the sum is
// rounded and saturated into the output once.
#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace kvn {

namespace {

constexpr size_t kChunkFrames = 256;
constexpr int kFractionBits = 32;
constexpr float kFractionScale = 1.0f / 4294967296.0f;

// Sample number index of the data, scaled to the signed 16-bit range.
template <int Bits>
float sample_at(const uint8_t* bytes, uint64_t index);

template <>
inline float sample_at<8>(const uint8_t* bytes, uint64_t index) {
    return (static_cast<float>(bytes[index]) - 128.0f) * 256.0f;
}

template <>
inline float sample_at<16>(const uint8_t* bytes, uint64_t index) {
    const uint8_t* sample = bytes + 2 * index;
    return static_cast<float>(
        static_cast<int16_t>(static_cast<uint16_t>(sample[0] | (sample[1] << 8))));
}

// Adds up to count frames of the voice into the accumulator; stops early at the voice's end.
// SameRate: the source has the device's rate, so every position falls on a frame.
template <int Channels, int Bits, bool SameRate>
void add_voice(MixVoice& voice, uint64_t step, float* accumulator, size_t count) {
    const uint8_t* bytes = voice.data->bytes.data();
    const uint64_t frames = voice.data->frame_count();
    const uint64_t end = frames << kFractionBits;
    const float gain_left = voice.gain_left;
    const float gain_right = voice.gain_right;
    uint64_t position = voice.position;
    size_t produced = 0;

    // Frames whose interpolation partner (the next source frame) lies inside the data.
    const uint64_t inner_end = SameRate ? end : (frames - 1) << kFractionBits;
    if (position < inner_end) {
        const uint64_t inner = (inner_end - position + step - 1) / step;
        const size_t run = inner < count ? static_cast<size_t>(inner) : count;
        for (; produced < run; ++produced) {
            const uint64_t first = (position >> kFractionBits) * Channels;
            float left = sample_at<Bits>(bytes, first);
            float right = Channels == 2 ? sample_at<Bits>(bytes, first + 1) : left;
            if (!SameRate) {
                const float fraction =
                    static_cast<float>(static_cast<uint32_t>(position)) * kFractionScale;
                const float next_left = sample_at<Bits>(bytes, first + Channels);
                const float next_right =
                    Channels == 2 ? sample_at<Bits>(bytes, first + Channels + 1) : next_left;
                left += (next_left - left) * fraction;
                right += (next_right - right) * fraction;
            }
            accumulator[2 * produced] += left * gain_left;
            accumulator[2 * produced + 1] += right * gain_right;
            position += step;
        }
    }
    // The last source frame fades towards the silence that follows the data.
    for (; produced < count && position < end; ++produced) {
        const uint64_t first = (position >> kFractionBits) * Channels;
        const float keep =
            1.0f - static_cast<float>(static_cast<uint32_t>(position)) * kFractionScale;
        const float left = sample_at<Bits>(bytes, first) * keep;
        const float right = Channels == 2 ? sample_at<Bits>(bytes, first + 1) * keep : left;
        accumulator[2 * produced] += left * gain_left;
        accumulator[2 * produced + 1] += right * gain_right;
        position += step;
    }
    voice.position = position;
    if (position >= end) voice.finished = true;
}

using AddVoice = void (*)(MixVoice&, uint64_t, float*, size_t);

template <int Channels, int Bits>
AddVoice add_voice_for(bool same_rate) {
    return same_rate ? add_voice<Channels, Bits, true> : add_voice<Channels, Bits, false>;
}

// The loop for the voice's format, or null for a format the mixer cannot play.
AddVoice add_voice_for(const PcmFormat& format, bool same_rate) {
    if (format.channels == 1 && format.bits_per_sample == 8) return add_voice_for<1, 8>(same_rate);
    if (format.channels == 1 && format.bits_per_sample == 16)
        return add_voice_for<1, 16>(same_rate);
    if (format.channels == 2 && format.bits_per_sample == 8) return add_voice_for<2, 8>(same_rate);
    if (format.channels == 2 && format.bits_per_sample == 16)
        return add_voice_for<2, 16>(same_rate);
    return nullptr;
}

// Rounds to the nearest integer (halves up) within the signed 16-bit range.
void saturate(const float* accumulator, int16_t* out, size_t samples) {
    for (size_t i = 0; i < samples; ++i) {
        const float value = std::min(std::max(accumulator[i], -32768.0f), 32767.0f);
        out[i] = static_cast<int16_t>(static_cast<int32_t>(value + 32768.5f) - 32768);
    }
}

}  // namespace

float decibel_gain(int32_t hundredths) {
    if (hundredths <= -10000) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

void voice_gains(int32_t volume, int32_t pan, float* left, float* right) {
    const float gain = decibel_gain(volume);
    *left = pan > 0 ? gain * decibel_gain(-pan) : gain;
    *right = pan < 0 ? gain * decibel_gain(pan) : gain;
}

void mix_voices(MixVoice* voices, size_t count, uint32_t device_rate, int16_t* out, size_t frames) {
    float accumulator[kChunkFrames * kDeviceChannels];
    for (size_t done = 0; done < frames; done += kChunkFrames) {
        const size_t chunk = std::min(kChunkFrames, frames - done);
        std::fill(accumulator, accumulator + chunk * kDeviceChannels, 0.0f);
        for (size_t i = 0; i < count; ++i) {
            MixVoice& voice = voices[i];
            if (voice.finished) continue;
            const uint64_t step =
                device_rate == 0 || !voice.data
                    ? 0
                    : (uint64_t{voice.data->format.sample_rate} << kFractionBits) / device_rate;
            const AddVoice add =
                voice.data ? add_voice_for(voice.data->format, step == uint64_t{1} << kFractionBits)
                           : nullptr;
            // Voices without data, without a frame or that could not advance end at once.
            if (!add || step == 0 || voice.data->frame_count() == 0) {
                voice.finished = true;
                continue;
            }
            add(voice, step, accumulator, chunk);
        }
        saturate(accumulator, out + done * kDeviceChannels, chunk * kDeviceChannels);
    }
}

}  // namespace kvn
