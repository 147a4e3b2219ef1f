// The blocking waits: for any input, for a typed character, for a mouse click. While they wait
// the window's messages are pumped and the Escape rule applies.
#include "input/input_state.h"
#include "kvn/base.h"
#include "kvn/input.h"
#include "platform/system.h"

namespace kvn {

namespace {

constexpr int kPasses = 15;
constexpr uint32_t kPassSleepMs = 5;
constexpr int32_t kScanEscape = 1;
constexpr int32_t kScanEscapeAlias = 129;

// The runtime's steps between polls: music restart, then the message pump (a failing pump
// ends the program).
void pump_step(InputState& state) {
    const InputWaitHooks& hooks = state.wait_hooks;
    if (hooks.music_restart_step) hooks.music_restart_step();
    if (hooks.pump_messages && !hooks.pump_messages()) end_program();
}

void yield_processor() {
    platform::sleep_ms(0);
}

// The keys are tested in the state the pass polled: one device read per pass.
bool any_key_down(const InputState& state) {
    for (int32_t code = 0; code < 255; ++code) {
        if (scan_code_down(state, code)) return true;
    }
    return false;
}

bool any_joystick_input(InputState& state) {
    if (state.joysticks_off) return false;
    platform::JoystickReading reading;
    for (int32_t index = state.joystick_count - 1; index >= 0; --index) {
        joystick_read(state, index, reading);
        if (joystick_shows_input(reading)) return true;
    }
    return false;
}

// Watches every device for up to kPasses passes; true when a reading of the mouse showed a
// button down (a click shorter than a pass included, which the next fresh read drops again).
bool wait_for_input(InputState& state) {
    MouseRecord record;
    mouse_read(state, record);
    const int32_t x = state.mouse_x, y = state.mouse_y;
    const bool left = record.left != 0, right = record.right != 0;

    bool button_down = false;
    for (int pass = 0; pass < kPasses; ++pass) {
        pump_step(state);
        input_frame_poll(state);
        if (state.wait_hooks.escape_ends_program && state.wait_hooks.escape_ends_program() &&
            (scan_code_down(state, kScanEscapeAlias) || scan_code_down(state, kScanEscape))) {
            end_program();
        }
        if (any_key_down(state)) break;
        mouse_read(state, record);
        button_down = button_down || record.left || record.right || record.middle;
        if (state.mouse_x != x || state.mouse_y != y || (record.left != 0) != left ||
            (record.right != 0) != right) {
            break;
        }
        if (any_joystick_input(state)) break;
        platform::sleep_ms(kPassSleepMs);
    }
    return button_down;
}

}  // namespace

void wait_any_input_step() {
    if (active_input) wait_for_input(*active_input);
}

void wait_key() {
    if (!active_input) return;
    while (any_key()) yield_processor();
    while (!any_key()) {
        pump_step(*active_input);
        wait_any_input_step();
    }
    while (any_key()) yield_processor();
}

void wait_mouse_button() {
    if (!active_input) return;
    while (mouse_any_button()) yield_processor();
    // A click within one pass is seen by that pass only, so the pass reports it.
    bool clicked = false;
    while (!clicked && !mouse_any_button()) clicked = wait_for_input(*active_input);
    while (mouse_any_button()) yield_processor();
}

}  // namespace kvn
