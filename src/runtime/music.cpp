// Background music: one player at a time, looped by the frame loop and the waits.
#include <algorithm>

#include "input/input_state.h"
#include "runtime/media.h"
#include "runtime/runtime_state.h"

namespace kvn {

namespace {

// Shorter music is restarted no more often than this.
constexpr int64_t kShortestLoopMs = 500;

double loop_length_ms(platform::MediaPlayer& music) {
    const int64_t length = music.length_ms();
    return static_cast<double>(length < kShortestLoopMs ? kShortestLoopMs : length);
}

// Opens the music with the pointer hidden and then restores the pointer as it was (the
// player's start may take the mouse away from the game).
std::unique_ptr<platform::MediaPlayer> open_music(const StringValue& file) {
    InputState* input = runtime.input_state.get();
    const bool pointer_shown = input && input->pointer_visible != 0;
    if (input) set_pointer_mode(*input, false);
    auto music = platform::MediaPlayer::open(file.c_str(), platform::MediaKind::kMusic);
    if (input) set_pointer_mode(*input, pointer_shown);
    return music;
}

}  // namespace

void music_restart_step() {
    if (runtime.music_restart_ms <= 0.0 || clock_ms() < runtime.music_restart_ms) return;
    if (!runtime.music_window) return;
    platform::MediaPlayer& music = *runtime.music_window;
    runtime.music_restart_ms = clock_ms() + loop_length_ms(music);
    music.play();
    music.seek_ms(-1);
    music.play();
}

int32_t stop_music() {
    runtime.music_volume = -1.0;
    runtime.music_restart_ms = 0.0;
    if (runtime.music_window) runtime.music_window->stop();
    runtime.music_window.reset();
    return 0;
}

void play_music(const StringValue& name, int32_t loop) {
    stop_music();
    // Before start-up and after shutdown there is no music.
    if (!main_window() ||
        !resolve_media_file(runtime.files.media_archives[1], name, runtime.music_file, false)) {
        return;
    }

    // A file the player cannot open means no music at all: nothing to restart later.
    runtime.music_window = open_music(runtime.music_file);
    if (!runtime.music_window) return;
    platform::MediaPlayer& music = *runtime.music_window;
    const double length = loop_length_ms(music);
    runtime.music_restart_ms = loop != 0 ? clock_ms() + length : 0.0;
    music.seek_ms(-1);
    music.play();

    if (runtime.music_volume != 1.0) {
        runtime.music_volume = 1.0;
        music.set_volume(1000);
    }
    runtime.paused = false;
    // With the pointer hidden, showing it once and hiding it again puts the system pointer
    // back at the game's mouse position.
    if (InputState* input = runtime.input_state.get(); input && input->pointer_visible == 0) {
        set_pointer_mode(*input, true);
        set_pointer_mode(*input, false);
    }
}

void restart_music() {
    if (!runtime.music_window) return;
    runtime.music_window->seek_ms(-1);
    runtime.music_window->play();
}

void set_music_volume(double volume) {
    if (volume == runtime.music_volume) return;
    runtime.music_volume = volume;
    if (!runtime.music_window) return;
    // The player takes 0..1000 thousandths only; NaN counts as silence.
    const double thousandths = volume * 1000.0;
    runtime.music_window->set_volume(
        thousandths >= 0.0 ? static_cast<int32_t>(std::min(thousandths, 1000.0)) : 0);
}

int32_t music_playing() {
    if (!runtime.music_window) return 0;
    if (runtime.music_restart_ms > 0.0) return 1;
    platform::MediaPlayer& music = *runtime.music_window;
    return music.position_ms() < music.end_ms() ? 1 : 0;
}

}  // namespace kvn
