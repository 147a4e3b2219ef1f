// Start-up and shutdown of every runtime service, in their fixed orders.
#include <string>

#include "base/error_log.h"
#include "files/file_channels.h"
#include "kvn/files.h"
#include "gfx/fonts.h"
#include "kvn/gfx.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/recording.h"
#include "platform/system.h"
#include "platform/window.h"
#include "runtime/media.h"
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

intptr_t dispatch_to_window_procedure(platform::Window* window, uint32_t id, uintptr_t wparam,
                                      intptr_t lparam) {
    return window_procedure(window, id, wparam, lparam);
}

}  // namespace

int32_t runtime_init(void* instance, int32_t show_code, const StringValue& title) {
    delete_error_log();
    runtime.auto_pause = true;
    clock_init();
    append_error_log("Init GFX");

    platform::set_window_procedure(dispatch_to_window_procedure);
    runtime.renderer = std::make_unique<VoruRERarudeve>();
    attach_renderer(runtime.renderer.get());
    VoruRERarudeve& renderer = *runtime.renderer;
    if (!renderer.create(instance, project_settings.screen_width, project_settings.screen_height, 0,
                         project_settings.frames_per_second, project_settings.multisample_count)) {
        return 0;
    }

    platform::window_set_title(renderer.display().window(), title.c_str());
    runtime.window_title = title;
    // The clock was first read when the renderer was made: the seed is how long that took.
    const int32_t seed = to_integer(clock_ms());
    random_seed(seed);
    platform::recording_note_seed(seed);

    runtime.input_state = std::make_unique<InputState>();
    InputState& input = *runtime.input_state;
    input.window_source = main_window;
    input.wait_hooks.pump_messages = [] {
        pump_window_messages();
        return true;
    };
    input.wait_hooks.escape_ends_program = [] { return runtime.escape_ends_program; };
    input.wait_hooks.music_restart_step = music_restart_step;
    runtime.sound = std::make_unique<SoundState>();
    attach_sound(runtime.sound.get());

    if (project_settings.fullscreen_flag != 0) {
        renderer.set_fullscreen();
    } else {
        renderer.set_windowed();
    }
    input_init(input, main_window(), project_settings.hide_pointer != 0);
    attach_input(&input);
    sound_init(*runtime.sound);

    renderer.select_font(0);

    const StringValue program_path = program_file_path();
    clear_media_archives();
    set_media_archives(program_path, program_path);

    enter_program_directory();

    clear_screen(0);
    restart_frame_clock();
    renderer.present(nullptr);
    renderer.set_viewport(0, 0, 0, 0);
    install_default_fonts();

    runtime.paused = false;
    restart_frame_clock();

    if (show_code == 0) renderer.display().hide();
    set_pointer_mode(input, project_settings.hide_pointer == 0);

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
    stop_music();
    enter_program_directory();
    close_all_file_channels();
    if (runtime.input_state) input_shutdown(*runtime.input_state);
    attach_input(nullptr);
    runtime.input_state.reset();
    if (runtime.sound) {
        sound_release_bank(*runtime.sound);
        sound_release_device(*runtime.sound);
    }
    attach_sound(nullptr);
    runtime.sound.reset();
    // The renderer destroys the window with itself.
    attach_renderer(nullptr);
    runtime.renderer.reset();
    clear_media_archives();
    append_error_log("kvn is shut down");
}

StringValue command_line() {
    return runtime.command_line_text;
}

}  // namespace kvn
