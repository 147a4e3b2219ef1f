// show_screen, the heartbeat of the runtime, and the screen-mode commands.
#include <cstdio>

#include "platform/system.h"
#include "platform/window.h"
#include "runtime/media.h"
#include "runtime/runtime_state.h"

namespace kvn {

namespace {

constexpr int32_t kScanEscape = 1;
constexpr int32_t kScanEscapeAlias = 129;
constexpr int32_t kScanLeftAlt = 56;
constexpr int32_t kScanF4 = 62;
constexpr uint32_t kPauseSleepMs = 100;

// Ends the program from the frame loop: the keyboard end counts as success.
[[noreturn]] void end_from_keyboard() {
    set_error(0);
    end_program();
}

// Looks the message hook up once per process.
void look_up_message_hook() {
    if (runtime.message_hook_state != -1) return;
    runtime.message_hook = find_sub("KVN_WIN32_MSG");
    runtime.message_hook_state = runtime.message_hook ? 1 : 0;
}

// Brings the window to the front after a debugger breakpoint.
void reactivate_window() {
    std::puts("activate");
    platform::window_show(main_window());
    platform::window_raise(main_window());
    std::puts("ok");
    std::fflush(stdout);
    runtime.reactivate_request = false;
}

}  // namespace

void pump_window_messages() {
    look_up_message_hook();
    runtime.renderer->display().pump_messages(runtime.message_hook);
}

void show_screen() {
    if (!runtime.renderer || !runtime.input_state) return;
    if (runtime.reactivate_request) reactivate_window();

    runtime.previous_frame_time_ms = runtime.frame_time_ms;
    runtime.frame_time_ms = clock_ms();

    while (runtime.paused && !runtime.reactivate_request) {
        music_restart_step();
        pump_window_messages();
        platform::sleep_ms(kPauseSleepMs);
    }

    InputState& input = *runtime.input_state;
    input_frame_poll(input);

    if (runtime.escape_ends_program &&
        (scan_code_down(input, kScanEscapeAlias) || scan_code_down(input, kScanEscape))) {
        end_from_keyboard();
    }
    if (scan_code_down(input, kScanLeftAlt) && scan_code_down(input, kScanF4)) {
        end_from_keyboard();
    }

    music_restart_step();
    pump_window_messages();
    runtime.renderer->present(runtime.message_hook);
    runtime.renderer->start_next_frame();
}

void set_screen(int32_t width, int32_t height, int32_t fullscreen) {
    project_settings.fullscreen_flag = fullscreen;
    if (!runtime.renderer) return;
    runtime.renderer->set_mode(width, height, 0, fullscreen != 0);
    if (runtime.input_state) reapply_pointer_mode(*runtime.input_state);
    for (int frame = 0; frame < 5; ++frame) show_screen();
}

double elapsed_ms() {
    return clock_ms() - runtime.start_offset_ms;
}

double frame_time() {
    double difference = runtime.frame_time_ms - runtime.previous_frame_time_ms;
    return difference > 0.0 ? difference : 1.0;
}

void limit_fps(double frames_per_second) {
    if (runtime.renderer) {
        runtime.renderer->display().set_frame_period_ms(
            frame_period_for(to_integer(frames_per_second)));
    }
}

void auto_pause(int32_t flag) {
    runtime.auto_pause = flag != 0;
}

void allow_escape(double flag) {
    runtime.escape_ends_program = flag != 0.0;
}

void reset_view() {
    if (runtime.renderer) runtime.renderer->set_viewport(0, 0, 0, 0);
}

}  // namespace kvn
