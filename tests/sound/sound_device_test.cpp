// The sound commands through a real audio output: the output routed into a file records what
// the device plays, where the tone is found at its level and pan. Without a device every
// command fails quietly.
#include "sound/sound_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "kvn/sound.h"
#include "support/platform_test_support.h"
#include "support/scratch_directory.h"
#include "wav_bytes.h"

namespace kvn {
namespace {

using namespace testing_support;

class SoundDeviceTest : public ScratchDirectoryTest {
  protected:
    void TearDown() override {
        sound_release_bank(state_);
        sound_release_device(state_);
        attach_sound(nullptr);
        restore_audio_output();
        ScratchDirectoryTest::TearDown();
    }

    static void write_wav(const char* name, const Bytes& bytes) {
        write_file(name, std::string(bytes.begin(), bytes.end()));
    }

    // Made for each test and attached by it, as start-up attaches the runtime's.
    SoundState state_;
};

// Waits until the channel stopped playing; false after the time limit.
bool wait_until_silent(int32_t channel, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (sound_playing(channel)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST_F(SoundDeviceTest, APlayedToneReachesTheOutputAtItsLevelAndPan) {
    route_audio_output_to_file((directory_ / "capture.raw").string());
    // A quarter second of 441 Hz.
    std::vector<int16_t> tone(kDeviceRate / 4);
    for (size_t i = 0; i < tone.size(); ++i) {
        tone[i] =
            static_cast<int16_t>(std::lround(30000 * std::sin(2 * M_PI * 441 * i / kDeviceRate)));
    }
    write_wav("tone.wav", wav(1, kDeviceRate, 16, samples16(tone)));

    attach_sound(&state_);
    ASSERT_EQ(sound_init(state_), 1);
    ASSERT_EQ(load_sound("tone.wav", 3, 1), 1);
    EXPECT_EQ(find_free_sound_slot(), 0);
    // Volume 0.9 is -10 dB; pan -0.2 takes a further 20 dB off the right.
    const int32_t channel = play_sound(3, -0.2, 0.9);
    ASSERT_EQ(channel, 3 * 256);
    EXPECT_EQ(sound_playing(channel), 1);
    ASSERT_TRUE(wait_until_silent(channel, std::chrono::seconds(5)));
    // Closing the device flushes the capture.
    sound_release_bank(state_);
    sound_release_device(state_);

    const std::string capture = read_file(directory_ / "capture.raw");
    std::vector<int16_t> out(capture.size() / 2);
    std::memcpy(out.data(), capture.data(), out.size() * 2);
    size_t start = 0;
    while (start < out.size() && out[start] == 0 && out[start + 1] == 0) start += 2;
    // The tone's first sample is 0: the signal shows from its second frame on.
    ASSERT_GE(start, 2u);
    start -= 2;
    ASSERT_LE(start + tone.size() * 2, out.size()) << "the tone was cut short";
    const double left_gain = std::pow(10.0, -0.5), right_gain = std::pow(10.0, -1.5);
    for (size_t i = 0; i < tone.size(); ++i) {
        ASSERT_NEAR(out[start + 2 * i], tone[i] * left_gain, 1.0 + std::abs(tone[i]) * 0.001) << i;
        ASSERT_NEAR(out[start + 2 * i + 1], tone[i] * right_gain, 1.0 + std::abs(tone[i]) * 0.001)
            << i;
    }
    for (size_t i = start + tone.size() * 2; i < out.size(); ++i) ASSERT_EQ(out[i], 0) << i;
}

TEST_F(SoundDeviceTest, WithoutADeviceNothingLoadsOrPlays) {
    route_audio_output_nowhere();
    write_wav("tone.wav", wav(1, kDeviceRate, 16, samples16({1, 2, 3, 4})));
    attach_sound(&state_);
    EXPECT_EQ(sound_init(state_), 0);
    EXPECT_EQ(load_sound("tone.wav", 3, 1), 0);
    EXPECT_EQ(play_sound(3, 0, 1), -1);
    EXPECT_EQ(sound_playing(3 * 256), 0);
    EXPECT_EQ(find_free_sound_slot(), 0);
    stop_sound(3 * 256);
    stop_all_sounds();
}

TEST_F(SoundDeviceTest, CommandsBeforeStartUpAndAfterShutdownDoNothing) {
    write_wav("tone.wav", wav(1, kDeviceRate, 16, samples16({1, 2, 3, 4})));
    EXPECT_EQ(load_sound("tone.wav", 0, 1), 0);
    EXPECT_EQ(play_sound(0, 0, 1), -1);
    EXPECT_EQ(sound_playing(0), 0);
    EXPECT_EQ(find_free_sound_slot(), -1);
    stop_sound(0);
    stop_all_sounds();
}

}  // namespace
}  // namespace kvn
