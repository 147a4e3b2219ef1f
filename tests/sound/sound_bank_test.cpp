// The sound bank without a device: loading, voice choice and channel handles, levels, stops,
// hostile handles, and the hand-over to a concurrently mixing callback.
#include "sound/sound_bank.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "support/address_space.h"
#include "wav_bytes.h"

namespace kvn {
namespace {

using namespace testing_support;

constexpr size_t kFrames = 1000;

// A constant 20000 of kFrames frames at the device rate.
const MemoryImage& constant_wav() {
    static const MemoryImage image(
        wav(1, kDeviceRate, 16, samples16(std::vector<int16_t>(kFrames, 20000))));
    return image;
}

class SoundBankTest : public ::testing::Test {
  protected:
    void load(int32_t slot, int32_t voices) {
        ASSERT_TRUE(bank_.load(constant_wav().name().c_str(), slot, voices));
    }

    // Mixes frames of output through the bank, as the audio callback does.
    std::vector<int16_t> mix(size_t frames) {
        std::vector<int16_t> out(frames * 2);
        bank_.mix(out.data(), frames, kDeviceRate);
        return out;
    }

    // The handles of plays of the slot in a row.
    std::vector<int32_t> play_times(int32_t slot, int times) {
        std::vector<int32_t> handles;
        for (int i = 0; i < times; ++i) handles.push_back(bank_.play(slot, 0, 1));
        return handles;
    }

    SoundBank bank_;
};

TEST_F(SoundBankTest, VoicesAreChosenInTurnAndTheOldestIsCut) {
    load(5, 3);
    mix(10);
    const std::vector<int32_t> first = play_times(5, 1);
    mix(100);
    const std::vector<int32_t> handles = play_times(5, 3);
    EXPECT_EQ(first, std::vector<int32_t>{5 * 256});
    EXPECT_EQ(handles, (std::vector<int32_t>{5 * 256 + 1, 5 * 256 + 2, 5 * 256}));
    // The first instance was cut and voice 0 started again: it plays as long as the others.
    mix(kFrames - 50);
    for (const int32_t voice : {0, 1, 2}) EXPECT_EQ(bank_.playing(5 * 256 + voice), 1) << voice;
    mix(60);
    for (const int32_t voice : {0, 1, 2}) EXPECT_EQ(bank_.playing(5 * 256 + voice), 0) << voice;
}

TEST_F(SoundBankTest, VoiceCountsAreClampedToOneToFour) {
    struct Case {
        int32_t asked;
        std::vector<int32_t> handles;
    };
    const Case cases[] = {{9, {0, 1, 2, 3, 0}},
                          {4, {0, 1, 2, 3, 0}},
                          {2, {0, 1, 0, 1, 0}},
                          {0, {0, -1, -1, -1, -1}},
                          {-7, {0, -1, -1, -1, -1}}};
    for (const Case& each : cases) {
        SCOPED_TRACE(each.asked);
        bank_.stop_all();
        load(0, each.asked);
        EXPECT_EQ(play_times(0, 5), each.handles);
    }
}

TEST_F(SoundBankTest, AOneVoiceSlotKeepsPlayingAndPlaysAgainAfterItsEnd) {
    load(20, 1);
    EXPECT_EQ(bank_.play(20, 0, 1), 20 * 256);
    mix(kFrames / 2);
    EXPECT_EQ(bank_.play(20, 0, 1), -1);
    EXPECT_EQ(bank_.playing(20 * 256), 1);
    // The running sound went on: it ends after its remaining half.
    mix(kFrames / 2);
    EXPECT_EQ(bank_.playing(20 * 256), 0);
    // The game asks with the slot number: handle 20 is voice 20 of slot 0.
    EXPECT_EQ(bank_.playing(20), 0);
    EXPECT_EQ(bank_.play(20, 0, 1), 20 * 256);
    const std::vector<int16_t> out = mix(kFrames + 5);
    EXPECT_EQ(out[0], 20000);
    EXPECT_EQ(out[2 * (kFrames - 1)], 20000);
    EXPECT_EQ(out[2 * kFrames], 0);
}

TEST_F(SoundBankTest, PanAndVolumeFollowThePlayRules) {
    struct Case {
        double pan, volume;
        int16_t left, right;
    };
    const Case cases[] = {
        {0, 1, 20000, 20000},
        {5, 1, 0, 20000},
        {-1, 2, 20000, 0},
        {0, 0.5, 63, 63},
        {0, 0, 0, 0},
        {0, -3, 0, 0},
        {0.3, 1, 632, 20000},
        {0, 0.995, 17825, 17825},
        {NAN, NAN, 0, 0},
        {NAN, 1, 20000, 20000},
        {-1e300, 1e300, 20000, 0},
    };
    load(1, 1);
    for (const Case& each : cases) {
        SCOPED_TRACE(testing::Message() << "pan " << each.pan << ", volume " << each.volume);
        bank_.stop_all();
        ASSERT_EQ(bank_.play(1, each.pan, each.volume), 256);
        const std::vector<int16_t> out = mix(1);
        EXPECT_EQ(out[0], each.left);
        EXPECT_EQ(out[1], each.right);
    }
}

TEST_F(SoundBankTest, SlotNumbersOutsideTheBankAreRefusedOrTheLastSlot) {
    EXPECT_FALSE(bank_.load(constant_wav().name().c_str(), -1, 1));
    EXPECT_EQ(bank_.play(-1, 0, 1), -1);
    EXPECT_EQ(bank_.play(7, 0, 1), -1);  // empty
    ASSERT_TRUE(bank_.load(constant_wav().name().c_str(), 5000, 2));
    EXPECT_EQ(bank_.play(4095, 0, 1), 4095 * 256);
    EXPECT_EQ(bank_.play(123456, 0, 1), 4095 * 256 + 1);
}

TEST_F(SoundBankTest, HostileHandlesNeitherReadNorStopOtherSlots) {
    load(4095, 2);
    load(0, 1);
    play_times(4095, 2);
    bank_.play(0, 0, 1);
    for (const int32_t handle : {-1, -256, 4096 * 256, 4096 * 256 + 1, INT32_MAX, INT32_MIN}) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(bank_.playing(handle), 0);
        bank_.stop(handle);
        EXPECT_EQ(bank_.playing(4095 * 256), 1);
        EXPECT_EQ(bank_.playing(4095 * 256 + 1), 1);
        EXPECT_EQ(bank_.playing(0), 1);
    }
    // A voice index beyond the slot's voices stops all of them, and only them.
    EXPECT_EQ(bank_.playing(4095 * 256 + 200), 0);
    bank_.stop(4095 * 256 + 200);
    EXPECT_EQ(bank_.playing(4095 * 256), 0);
    EXPECT_EQ(bank_.playing(4095 * 256 + 1), 0);
    EXPECT_EQ(bank_.playing(0), 1);
    bank_.stop(0);
    EXPECT_EQ(bank_.playing(0), 0);
    for (const int16_t sample : mix(10)) EXPECT_EQ(sample, 0);
}

TEST_F(SoundBankTest, FailedLoadsLeaveTheSlotEmptyAndFreeSlotsAreFound) {
    EXPECT_EQ(bank_.find_free_slot(), 0);
    load(0, 1);
    load(1, 1);
    EXPECT_EQ(bank_.find_free_slot(), 2);
    bank_.play(1, 0, 1);
    EXPECT_FALSE(bank_.load("missing.wav", 1, 1));
    EXPECT_EQ(bank_.playing(256), 0);
    EXPECT_EQ(bank_.play(1, 0, 1), -1);
    EXPECT_EQ(bank_.find_free_slot(), 1);
    for (int32_t slot = 0; slot < kSoundSlotCount; ++slot) load(slot, 1);
    EXPECT_EQ(bank_.find_free_slot(), -1);
    bank_.release(4000);
    EXPECT_EQ(bank_.find_free_slot(), 4000);
}

TEST_F(SoundBankTest, ASoundTooLargeForTheAddressSpaceFailsItsLoadAndTheProgramGoesOn) {
    if (kAddressSanitizer) GTEST_SKIP() << "no address-space limit under ASan";
    // 512 MiB of samples in a sparse file: the load cannot hold them.
    const Bytes header = riff({chunk("fmt ", format_fields(2, kDeviceRate, 16)),
                               chunk("data", {}, 512u << 20)});
    const std::filesystem::path path =
        std::filesystem::path(testing::TempDir()) / "kvn-sound-too-large.wav";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(header.data()),
               static_cast<std::streamsize>(header.size()));
    std::filesystem::resize_file(path, header.size() + (512u << 20));
    load(1, 1);
    {
        AddressSpaceLimit limit;
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(bank_.load(path.c_str(), 1, 1));
    }
    std::filesystem::remove(path);
    EXPECT_EQ(bank_.play(1, 0, 1), -1);
    EXPECT_EQ(bank_.find_free_slot(), 0);
    load(0, 1);
    EXPECT_EQ(bank_.find_free_slot(), 1);
}

TEST_F(SoundBankTest, PlayingAndReloadingWhileTheCallbackMixes) {
    std::atomic<bool> done{false};
    std::atomic<int> mixes{0};
    std::thread callback([&] {
        std::vector<int16_t> out(512 * 2);
        while (!done) {
            bank_.mix(out.data(), 512, kDeviceRate);
            ++mixes;
        }
    });
    // Until the callback has mixed often enough to meet the game thread's changes.
    for (int round = 0; round < 2000 || mixes < 500; ++round) {
        const int32_t slot = round % 3;
        if (round % 7 == 0) load(slot, 1 + round % 4);
        const int32_t handle = bank_.play(slot, 0, 1);
        bank_.playing(handle);
        if (round % 5 == 0) bank_.stop(handle);
        if (round % 11 == 0) bank_.release(slot);
        if (round % 13 == 0) bank_.stop_all();
    }
    done = true;
    callback.join();
    bank_.stop_all();
    for (const int32_t slot : {0, 1, 2}) EXPECT_EQ(bank_.playing(slot * 256), 0);
}

}  // namespace
}  // namespace kvn
