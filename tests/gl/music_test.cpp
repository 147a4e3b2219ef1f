// Background music from WAV files written here: looping with its 500 ms floor, real-time
// playback without a sound card, the volume, files that do not play, the second archive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "kvn/files.h"
#include "kvn/input.h"
#include "kvn/runtime.h"
#include "runtime/runtime_state.h"
#include "support/scratch_directory.h"
#include "support/wav_writer.h"

namespace kvn {
namespace {

using testing_support::read_file;
using testing_support::tone_wav;
using testing_support::write_file;

class MusicTest : public testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        project_settings.screen_width = 320;
        project_settings.screen_height = 200;
        project_settings.frames_per_second = 60;
        runtime_init(nullptr, 1, "Music");
        ASSERT_NE(main_window(), nullptr);
    }
    void TearDown() override {
        runtime_shutdown();
        runtime.quit_hook_done = false;
        ScratchDirectoryTest::TearDown();
    }

    // Writes a WAV of that length into the scratch folder; its absolute name.
    std::string write_wav(const std::string& name, int milliseconds) {
        const std::filesystem::path path = directory_ / name;
        write_file(path, tone_wav(milliseconds));
        return path.string();
    }

    // Frames until the time has passed, checking after each.
    template <typename Check>
    void frames_for(double milliseconds, Check check) {
        const double until = clock_ms() + milliseconds;
        while (clock_ms() < until) {
            show_screen();
            check();
        }
    }
};

TEST_F(MusicTest, LoopingMusicShorterThanTheFloorRestartsEvery500Ms) {
    const std::string tune = write_wav("short.wav", 200);
    // The frame loop and the input waits both restart the music.
    const struct {
        const char* name;
        void (*wait)();
    } waits[] = {{"show_screen", show_screen}, {"wait_any_input_step", wait_any_input_step}};
    for (const auto& wait : waits) {
        // Each restart falls due 500 ms after the clock of the call that started the music.
        double before = clock_ms();
        play_music(tune.c_str(), 1);
        double after = clock_ms();
        ASSERT_NE(runtime.music_window, nullptr);
        EXPECT_GE(runtime.music_restart_ms, before + 500.0) << wait.name;
        EXPECT_LE(runtime.music_restart_ms, after + 500.0) << wait.name;
        // Three restarts, each made by the first step that ran after it fell due; the time
        // limit only keeps a broken loop from running on.
        int restarts = 0;
        const double give_up = clock_ms() + 20000.0;
        while (restarts < 3 && clock_ms() < give_up) {
            const double due = runtime.music_restart_ms;
            before = clock_ms();
            wait.wait();
            after = clock_ms();
            ASSERT_EQ(music_playing(), 1) << wait.name << ": looping music counts as playing";
            if (runtime.music_restart_ms == due) {
                EXPECT_LT(before, due) << wait.name << ": a step after the due time did not restart";
                continue;
            }
            ++restarts;
            EXPECT_GE(after, due) << wait.name << ": restarted before it was due";
            EXPECT_GE(runtime.music_restart_ms, before + 500.0) << wait.name;
            EXPECT_LE(runtime.music_restart_ms, after + 500.0) << wait.name;
            EXPECT_LT(runtime.music_window->position_ms(), runtime.music_window->length_ms())
                << wait.name << ": not restarted from its start";
        }
        EXPECT_EQ(restarts, 3) << wait.name;
    }
}

// Also run without SDL_AUDIODRIVER: where there is no sound device the music still takes its
// time instead of ending at once.
TEST_F(MusicTest, MusicPlaysInRealTimeAndThenStops) {
    play_music(write_wav("tune.wav", 600).c_str(), 0);
    ASSERT_NE(runtime.music_window, nullptr);
    const double started = clock_ms();
    frames_for(300.0, [] { ASSERT_EQ(music_playing(), 1); });
    while (music_playing() == 1 && clock_ms() < started + 5000.0) show_screen();
    EXPECT_EQ(music_playing(), 0);
    EXPECT_GE(clock_ms() - started, 550.0);
    EXPECT_EQ(runtime.music_restart_ms, 0.0);

    restart_music();
    EXPECT_EQ(music_playing(), 1) << "restart_music plays it again";
}

TEST_F(MusicTest, VolumeIsSentOnlyWhenItDiffers) {
    play_music(write_wav("tune.wav", 300).c_str(), 1);
    ASSERT_NE(runtime.music_window, nullptr);
    platform::MediaPlayer& player = *runtime.music_window;
    EXPECT_EQ(player.volume(), 1000);
    // Each step: a volume the player is given behind the runtime's back (-1: none), the
    // volume asked for, and what the player then has.
    const struct {
        int32_t behind_the_back;
        double asked;
        int32_t expected;
    } steps[] = {
        {300, 1.0, 300},  // 1.0 was sent by play_music
        {-1, 0.5, 500},
        {300, 0.5, 300},
        {-1, 0.25, 250},
        {-1, 2.5, 1000},  // beyond the player's range
        {-1, -1.0, 0},
    };
    for (const auto& step : steps) {
        if (step.behind_the_back >= 0) player.set_volume(step.behind_the_back);
        set_music_volume(step.asked);
        EXPECT_EQ(player.volume(), step.expected) << step.asked;
    }
}

TEST_F(MusicTest, PlayingMusicLeavesThePointerModeAsItWas) {
    const std::string tune = write_wav("tune.wav", 300);
    for (const bool shown : {true, false, true}) {
        show_system_pointer(shown ? 1 : 0);
        play_music(tune.c_str(), 0);
        ASSERT_NE(runtime.music_window, nullptr);
        EXPECT_EQ(runtime.input_state->pointer_visible, shown ? 1 : 0);
    }
}

TEST_F(MusicTest, FilesThatDoNotPlayGiveNoMusic) {
    write_file(directory_ / "broken.wav", "this is not a sound");
    const std::string names[] = {(directory_ / "missing.wav").string(),
                                 (directory_ / "broken.wav").string()};
    for (const std::string& name : names) {
        play_music(write_wav("before.wav", 300).c_str(), 1);
        ASSERT_NE(runtime.music_window, nullptr);
        play_music(name.c_str(), 1);
        EXPECT_EQ(runtime.music_window, nullptr) << name;
        EXPECT_EQ(runtime.music_restart_ms, 0.0) << name;
        frames_for(600.0, [&] { ASSERT_EQ(music_playing(), 0) << name; });
        EXPECT_EQ(runtime.music_window, nullptr) << name;
    }
}

TEST_F(MusicTest, MusicFromTheSecondArchiveIsExtractedToATemporaryFile) {
    const std::string wav = write_wav("packed.wav", 400);
    const std::filesystem::path archive = directory_ / "media.arc";
    ASSERT_EQ(std::system((std::string(KVN_PACK_TOOL) + " create " + archive.string() + " " +
                           wav + " >/dev/null")
                              .c_str()),
              0);
    std::filesystem::remove(wav);
    set_media_archives("", archive.c_str());

    play_music("packed.wav", 0);
    ASSERT_NE(runtime.music_window, nullptr);
    const std::filesystem::path extracted = runtime.music_file.c_str();
    EXPECT_EQ(extracted.parent_path(), directory_);
    EXPECT_EQ(read_file(extracted), tone_wav(400));
    EXPECT_EQ(music_playing(), 1);

    runtime_shutdown();
    EXPECT_EQ(runtime.music_window, nullptr) << "shutdown stops the music";
}

}  // namespace
}  // namespace kvn
