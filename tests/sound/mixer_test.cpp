// The mixer on generated PCM: sample reproduction, gains, pan, saturation, resampled pitch
// and length, and mixing in pieces.
#include "sound/mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace kvn {
namespace {

constexpr double kPi = 3.14159265358979323846;

SoundData sound(uint16_t channels, uint16_t bits, uint32_t rate, std::vector<uint8_t> bytes) {
    SoundData data;
    data.format = {channels, bits, rate};
    data.bytes = std::move(bytes);
    return data;
}

// Signed 16-bit samples as a mono or interleaved stereo sound.
SoundData sound16(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (const int16_t sample : samples) {
        bytes.push_back(static_cast<uint8_t>(sample & 0xFF));
        bytes.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
    }
    return sound(channels, 16, rate, bytes);
}

// A sine of the frequency, one sample per frame.
std::vector<int16_t> sine(double frequency, uint32_t rate, size_t frames, double amplitude) {
    std::vector<int16_t> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        samples[i] =
            static_cast<int16_t>(std::lround(amplitude * std::sin(2 * kPi * frequency * i / rate)));
    }
    return samples;
}

// Mixes the voices into frames of stereo output in one call.
std::vector<int16_t> mix(std::vector<MixVoice>& voices, size_t frames) {
    std::vector<int16_t> out(frames * 2, 12345);
    mix_voices(voices.data(), voices.size(), kDeviceRate, out.data(), frames);
    return out;
}

MixVoice voice_of(const SoundData& data, float left = 1.0f, float right = 1.0f) {
    MixVoice voice;
    voice.data = &data;
    voice.gain_left = left;
    voice.gain_right = right;
    return voice;
}

TEST(MixerTest, FullVolumeReproducesEverySampleFormat) {
    // Stereo sources carry the wave on the left and its negation on the right; 8-bit samples
    // are unsigned, 128 being silence.
    const std::vector<int16_t> wave = sine(1000, kDeviceRate, 300, 30000);
    std::vector<int16_t> stereo16;
    std::vector<uint8_t> mono8, stereo8;
    for (const int16_t sample : wave) {
        stereo16.insert(stereo16.end(), {sample, static_cast<int16_t>(-sample)});
        mono8.push_back(static_cast<uint8_t>(128 + sample / 256));
        stereo8.insert(stereo8.end(), {mono8.back(), static_cast<uint8_t>(128 - sample / 256)});
    }
    const SoundData cases[] = {sound16(1, kDeviceRate, wave), sound16(2, kDeviceRate, stereo16),
                               sound(1, 8, kDeviceRate, mono8), sound(2, 8, kDeviceRate, stereo8)};
    for (const SoundData& data : cases) {
        const bool stereo = data.format.channels == 2, eight_bit = data.format.bits_per_sample == 8;
        SCOPED_TRACE(testing::Message() << (stereo ? "stereo " : "mono ") << (eight_bit ? 8 : 16));
        std::vector<MixVoice> voices{voice_of(data)};
        const std::vector<int16_t> out = mix(voices, wave.size() + 10);
        for (size_t i = 0; i < wave.size(); ++i) {
            const int left = eight_bit ? wave[i] / 256 * 256 : wave[i];
            ASSERT_EQ(out[2 * i], left) << "frame " << i;
            ASSERT_EQ(out[2 * i + 1], stereo ? -left : left) << "frame " << i;
        }
        for (size_t i = wave.size() * 2; i < out.size(); ++i) EXPECT_EQ(out[i], 0);
        EXPECT_TRUE(voices[0].finished);
    }
}

TEST(MixerTest, VolumeAndPanScaleTheChannels) {
    struct Case {
        int32_t volume, pan;
        double left, right;
    };
    const Case cases[] = {
        {-600, 0, 0.501, 0.501},                          // -6 dB halves the amplitude
        {0, 10000, 0.0, 1.0},                             // fully right: the left is silent
        {0, -10000, 1.0, 0.0},      {0, 2000, 0.1, 1.0},  // -20 dB on the left
        {-2000, -4000, 0.1, 0.001}, {-10000, 0, 0.0, 0.0},
    };
    const std::vector<int16_t> wave = sine(500, kDeviceRate, 200, 32000);
    const SoundData data = sound16(1, kDeviceRate, wave);
    for (const Case& each : cases) {
        SCOPED_TRACE(testing::Message() << "volume " << each.volume << ", pan " << each.pan);
        MixVoice voice = voice_of(data);
        voice_gains(each.volume, each.pan, &voice.gain_left, &voice.gain_right);
        std::vector<MixVoice> voices{voice};
        const std::vector<int16_t> out = mix(voices, wave.size());
        for (size_t i = 0; i < wave.size(); ++i) {
            ASSERT_NEAR(out[2 * i], wave[i] * each.left, 1.0 + std::abs(wave[i]) * 0.002) << i;
            ASSERT_NEAR(out[2 * i + 1], wave[i] * each.right, 1.0 + std::abs(wave[i]) * 0.002) << i;
        }
    }
}

TEST(MixerTest, VoicesSumAndSaturateWithoutWrapping) {
    struct Case {
        int16_t first, second;
        int16_t expected;
    };
    const Case cases[] = {
        {20000, 20000, 32767}, {-20000, -20000, -32768}, {10000, -3000, 7000}, {32767, 1, 32767}};
    for (const Case& each : cases) {
        const SoundData first = sound16(1, kDeviceRate, std::vector<int16_t>(50, each.first));
        const SoundData second = sound16(1, kDeviceRate, std::vector<int16_t>(50, each.second));
        std::vector<MixVoice> voices{voice_of(first), voice_of(second)};
        const std::vector<int16_t> out = mix(voices, 50);
        for (const int16_t sample : out) ASSERT_EQ(sample, each.expected);
    }
}

// Rising zero crossings per second of the left channel.
double frequency_of(const std::vector<int16_t>& out, size_t frames) {
    int crossings = 0;
    for (size_t i = 1; i < frames; ++i) {
        if (out[2 * (i - 1)] < 0 && out[2 * i] >= 0) ++crossings;
    }
    return crossings * static_cast<double>(kDeviceRate) / frames;
}

TEST(MixerTest, OtherRatesKeepTheirPitchAndLength) {
    for (const uint32_t rate : {11025u, 44100u, 8000u, 48000u}) {
        SCOPED_TRACE(rate);
        // One second of 441 Hz.
        const SoundData data = sound16(1, rate, sine(441, rate, rate, 20000));
        std::vector<MixVoice> voices{voice_of(data)};
        const std::vector<int16_t> out = mix(voices, kDeviceRate + 100);
        size_t length = 0;
        for (size_t i = 0; i < out.size() / 2; ++i) {
            if (out[2 * i] != 0) length = i + 1;
        }
        EXPECT_NEAR(static_cast<double>(length), kDeviceRate, 2.0);
        EXPECT_NEAR(frequency_of(out, kDeviceRate), 441.0, 2.0);
        EXPECT_TRUE(voices[0].finished);
    }
}

TEST(MixerTest, ResampledVoicesStartOnTheirFirstSampleAndFadeAtTheirEnd) {
    // A constant at half the device rate: every source frame gives two output frames, the
    // very last one halfway between the data and the silence after it.
    const SoundData data = sound16(1, kDeviceRate / 2, std::vector<int16_t>(10, 20000));
    std::vector<MixVoice> voices{voice_of(data)};
    const std::vector<int16_t> out = mix(voices, 24);
    for (size_t i = 0; i < 24; ++i) {
        const int16_t expected = i < 19 ? 20000 : i == 19 ? 10000 : 0;
        EXPECT_EQ(out[2 * i], expected) << i;
    }
}

TEST(MixerTest, EightBitSilenceIsSilence) {
    for (const uint16_t channels : {1, 2}) {
        const SoundData data = sound(channels, 8, 11025, std::vector<uint8_t>(500 * channels, 128));
        std::vector<MixVoice> voices{voice_of(data)};
        for (const int16_t sample : mix(voices, 1200)) ASSERT_EQ(sample, 0);
    }
}

TEST(MixerTest, MixingInPiecesEqualsMixingAtOnce) {
    const SoundData slow = sound16(2, 16000, sine(300, 16000, 8000, 9000));
    const SoundData fast = sound16(1, 44100, sine(700, 44100, 3000, 9000));
    std::vector<MixVoice> whole_voices{voice_of(slow, 0.5f, 1.0f), voice_of(fast)};
    const std::vector<int16_t> whole = mix(whole_voices, 3000);

    std::vector<MixVoice> voices{voice_of(slow, 0.5f, 1.0f), voice_of(fast)};
    std::vector<int16_t> pieces(3000 * 2);
    size_t done = 0;
    for (const size_t piece : {1, 511, 512, 700, 1276}) {
        mix_voices(voices.data(), voices.size(), kDeviceRate, pieces.data() + 2 * done, piece);
        done += piece;
    }
    EXPECT_EQ(pieces, whole);
    EXPECT_TRUE(voices[1].finished);
    EXPECT_FALSE(voices[0].finished);
    EXPECT_EQ(voices[0].position, whole_voices[0].position);
}

}  // namespace
}  // namespace kvn
