// Start-up and shutdown of every runtime service, in their fixed orders.
#include <string>

#include "files/file_channels.h"
#include "gfx/fonts.h"
#include "kvn/gfx.h"
#include "runtime/error_log.h"
#include "runtime/runtime_state.h"
#include "sound/sound_device.h"

namespace kvn {

namespace {

// The program file's full path with forward slashes only.
StringValue program_file_path() {
    return StringValue(platform::native_path(platform::executable_path().c_str()).c_str());
}

// Makes every frame-clock reading "now", so start-up work is not counted as frame time.
void restart_frame_clock() {
    runtime.frame_time_ms = runtime.previous_frame_time_ms = runtime.start_offset_ms = clock_ms();
}

}  // namespace

int32_t runtime_init(void* instance, int32_t show_code, const StringValue& title) {
    delete_error_log();
    runtime.auto_pause = true;
    clock_init();
    append_error_log("Init GFX");

    runtime.renderer = std::make_unique<VoruRERarudeve>();
    VoruRERarudeve& renderer = *runtime.renderer;
    if (!renderer.create(instance, project_settings.screen_width, project_settings.screen_height, 0,
                         project_settings.frames_per_second, project_settings.multisample_count)) {
        return 0;
    }

    runtime.main_window = renderer.window;
    platform::window_set_title(runtime.main_window, title.c_str());
    runtime.window_title = title;
    // The clock was first read when the renderer was made: the seed is how long that took.
    random_seed(to_integer(clock_ms()));

    runtime.input_state = std::make_unique<InputState>();
    sound_create();

    if (project_settings.fullscreen_flag != 0) {
        renderer.set_fullscreen();
    } else {
        renderer.set_windowed();
    }
    // A full-screen switch re-creates the window: every user takes the current one.
    runtime.main_window = renderer.window;
    runtime.input_state->window = renderer.window;
    sound_init(runtime.main_window);
    sound_set_window(renderer.window);

    runtime.current_font = 0;

    const StringValue program_path = program_file_path();
    runtime.media_archives[0] = std::make_unique<MediaArchive>();
    runtime.media_archives[1] = std::make_unique<MediaArchive>();
    set_media_archives(program_path, program_path);

    enter_program_directory();

    clear_screen(0);
    restart_frame_clock();
    renderer.present(nullptr);
    renderer.set_viewport(0, 0, 0, 0);
    install_default_fonts();

    runtime.paused = false;
    restart_frame_clock();

    if (show_code == 0) renderer.hide_window();

    append_error_log("Init Finalized");
    return 0;
}

void runtime_shutdown() {
    if (!runtime.quit_hook_done) {
        runtime.quit_hook_done = true;
        call_by_name("KVN_ON_QUIT");
    }
    if (!runtime.renderer) return;

    append_error_log("Shut down KVN");
    enter_program_directory();
    close_all_file_channels();
    runtime.input_state.reset();
    sound_release_bank();
    sound_release_device();
    runtime.renderer.reset();
    runtime.media_archives[1].reset();
    runtime.media_archives[0].reset();
    // The renderer destroyed the window with itself; only the copy of its handle is left.
    runtime.main_window = nullptr;
    append_error_log("kvn is shut down");
}

StringValue command_line() {
    return runtime.command_line_text;
}

}  // namespace kvn
