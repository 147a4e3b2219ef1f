// Start-up and shutdown of the input devices, and the pointer mode.
#include "input/input_state.h"
#include "kvn/base.h"
#include "platform/system.h"

namespace kvn {

namespace {

// The keyboard is read through the virtual-key table instead of scan codes when asked to.
bool fallback_forced() {
    return platform::environment_value("KVN_INPUT_FALLBACK") == "1";
}

// The mouse's cooperative level, relative reading and the system pointer for the mode. Hidden,
// the mouse is read relatively, with or without a mouse device.
void switch_pointer(InputState& state, bool shown) {
    if (state.mouse_device) state.mouse_cooperative_flags = shown ? kMouseShared : kMouseExclusive;
    platform::mouse_set_relative_mode(!shown);
    platform::pointer_show(shown);
}

}  // namespace

uint32_t input_init(InputState& state, platform::Window* window, bool hide_pointer) {
    uint32_t result = kInputReady;
    state.device_layer = platform::joysticks_init();
    if (!state.device_layer) {
        append_error_log("No DX_Input");
        result = kInputNoDeviceLayer;
    }

    if (platform::mouse_over(window)) {
        platform::MouseReading reading;
        platform::mouse_read(&reading);
        state.mouse_x = reading.x;
        state.mouse_y = reading.y;
    }

    if (state.device_layer) {
        state.keyboard_device = window != nullptr && !fallback_forced();
        if (!state.keyboard_device) {
            append_error_log("No DX_KB");
            result = kInputNoKeyboard;
        }
    }
    build_key_map(state.keyboard_device, state.key_map);

    if (hide_pointer) {
        state.mouse_device = state.device_layer && platform::mouse_set_relative_mode(true);
        if (state.mouse_device) {
            state.mouse_cooperative_flags = kMouseExclusive;
        } else {
            append_error_log("No DX_Mouse");
            result = kInputNoMouse;
        }
    } else {
        // The tracked position is the pointer's own, so the pointer is not moved.
        platform::pointer_show(true);
        state.pointer_visible = 1;
    }

    if (state.device_layer) update_joysticks(state);
    return result;
}

void input_shutdown(InputState& state) {
    platform::mouse_set_relative_mode(false);
    if (!state.pointer_visible) {
        platform::mouse_warp(input_window(state), state.mouse_x, state.mouse_y);
    }
    platform::pointer_show(true);
    state.mouse_device = false;
    state.keyboard_device = false;
    for (int32_t index = 0; index < state.joystick_count; ++index) {
        platform::joystick_close(state.joysticks[index]);
        state.joysticks[index] = nullptr;
        state.joystick_slots[index] = JoystickSlot{};
    }
    state.joystick_count = 0;
    if (state.device_layer) platform::joysticks_quit();
    state.device_layer = false;
}

void set_pointer_mode(InputState& state, bool shown) {
    switch_pointer(state, shown);
    if (shown && !state.pointer_visible) {
        platform::mouse_warp(input_window(state), state.mouse_x, state.mouse_y);
    }
    state.pointer_visible = shown ? 1 : 0;
}

void reapply_pointer_mode(InputState& state) {
    switch_pointer(state, state.pointer_visible != 0);
}

}  // namespace kvn
