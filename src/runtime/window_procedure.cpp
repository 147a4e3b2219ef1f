// The runtime's window procedure: closing, the activation pause, screen-saver suppression.
#include "platform/events.h"
#include "platform/window.h"
#include "runtime/runtime_state.h"

namespace kvn {

namespace {

constexpr uintptr_t kCommandClose = 0xF060;
constexpr uintptr_t kCommandScreenSaver = 0xF140;
constexpr uintptr_t kCommandMonitorPower = 0xF170;

bool pause_applies() {
    return project_settings.debug_mode == 0 && runtime.auto_pause;
}

}  // namespace

intptr_t window_procedure(void* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    platform::Window* target = static_cast<platform::Window*>(window);
    switch (message) {
        case platform::kMessageClose:
            end_program();
        case platform::kMessageSystemCommand: {
            const uintptr_t command = wparam & ~static_cast<uintptr_t>(0xF);
            if (command == kCommandClose) end_program();
            if (command == kCommandScreenSaver || command == kCommandMonitorPower) return 0;
            break;
        }
        case platform::kMessageEraseBackground:
            return 1;
        case platform::kMessageActivate: {
            const uintptr_t state = wparam & 0xFFFF;
            if (!pause_applies()) return 0;
            if (state == 0) {
                platform::window_set_title(target, (runtime.window_title + " <pause>").c_str());
                runtime.paused = true;
            } else if (state == 1 || state == 2) {
                platform::window_set_title(target, runtime.window_title.c_str());
                runtime.paused = false;
            }
            return 0;
        }
        default:
            break;
    }
    return platform::default_window_procedure(target, message, wparam, lparam);
}

}  // namespace kvn
