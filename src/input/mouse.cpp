// The mouse: per-frame movement (from the pointer while it is shown, from relative motion while
// it is hidden), the wheel, three buttons, and the tracked position.
#include <algorithm>

#include "input/input_state.h"
#include "kvn/base.h"
#include "kvn/input.h"

namespace kvn {

namespace {

int16_t to_int16(int32_t value) {
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

int32_t sign(int32_t value) {
    return (value > 0) - (value < 0);
}

// Reads the mouse and clamps the tracked position to the screen; false without input.
bool read_clamped(MouseRecord& record) {
    if (!active_input) return false;
    InputState& state = *active_input;
    mouse_read(state, record);
    int width = 0, height = 0;
    if (platform::Window* window = input_window(state))
        platform::window_size(window, &width, &height);
    state.mouse_x = clamp_to_size(state.mouse_x, width);
    state.mouse_y = clamp_to_size(state.mouse_y, height);
    return true;
}

}  // namespace

void take_mouse_reading(InputState& state, const platform::MouseReading& reading,
                        MouseRecord& record) {
    const bool fresh = state.fresh_read != 0;
    if (fresh) {
        state.fresh_read = 0;
        int32_t dx = 0, dy = 0;
        if (state.pointer_visible) {
            dx = reading.x - state.mouse_x;
            dy = reading.y - state.mouse_y;
            state.mouse_x = reading.x;
            state.mouse_y = reading.y;
        } else {
            dx = reading.relative_dx;
            dy = reading.relative_dy;
            state.mouse_x += dx;
            state.mouse_y += dy;
        }
        // Only a mouse device reports the wheel.
        state.cached_wheel = static_cast<int16_t>(state.mouse_device ? sign(state.wheel_steps) : 0);
        state.wheel_steps = 0;
        state.cached_dx = to_int16(dx);
        state.cached_dy = to_int16(dy);
    }
    record.dx = state.cached_dx;
    record.dy = state.cached_dy;
    record.wheel = state.cached_wheel;
    // Clicks between two fresh reads read as held from the next fresh read to the one after.
    uint8_t buttons[3] = {uint8_t(reading.left ? 0x80 : 0), uint8_t(reading.right ? 0x80 : 0),
                          uint8_t(reading.middle ? 0x80 : 0)};
    apply_press_latch(state.button_taps, buttons, 3, fresh);
    record.left = buttons[0] ? 1 : 0;
    record.right = buttons[1] ? 1 : 0;
    record.middle = buttons[2] ? 1 : 0;
}

int32_t mouse_read(InputState& state, MouseRecord& record) {
    platform::MouseReading reading;
    platform::mouse_read(&reading);
    take_mouse_reading(state, reading, record);
    return 1;
}

int32_t mouse_axis(double axis) {
    MouseRecord record;
    if (!active_input || !mouse_read(*active_input, record)) return 0;
    switch (to_integer(axis)) {
        case 0:
            return record.dx;
        case 1:
            return record.dy;
        case 2:
            return record.wheel;
        case 3:
            return record.left != 0;
        case 4:
            return record.right != 0;
        case 5:
            return record.middle != 0;
        default:
            return 0;
    }
}

void mouse_state_int(int32_t& x, int32_t& y, int32_t& left, int32_t& right) {
    MouseRecord record;
    if (!read_clamped(record)) {
        x = y = left = right = 0;
        return;
    }
    x = active_input->mouse_x;
    y = active_input->mouse_y;
    left = record.left != 0;
    right = record.right != 0;
}

void mouse_state(double& x, double& y, double& left, double& right) {
    int32_t x_int = 0, y_int = 0, left_int = 0, right_int = 0;
    mouse_state_int(x_int, y_int, left_int, right_int);
    x = x_int;
    y = y_int;
    left = left_int;
    right = right_int;
}

int32_t mouse_any_button() {
    if (!active_input) return 0;
    active_input->fresh_read = 1;
    MouseRecord record;
    mouse_read(*active_input, record);
    return record.left || record.right || record.middle;
}

void set_mouse_position(int32_t x, int32_t y) {
    if (!active_input) return;
    active_input->mouse_x = x;
    active_input->mouse_y = y;
}

void show_system_pointer(double flag) {
    // NaN counts as non-zero.
    if (active_input) set_pointer_mode(*active_input, !(flag == 0.0));
}

}  // namespace kvn
