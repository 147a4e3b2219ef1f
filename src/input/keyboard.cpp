// The keyboard as 256 key-state bytes, read once per frame and on demand, typed characters,
// and the input events the platform hands over.
#include <cstring>

#include "input/input_state.h"
#include "kvn/input.h"

namespace kvn {

InputState* active_input = nullptr;

void attach_input(InputState* state) {
    active_input = state;
    platform::set_input_event_sink(state ? receive_input_event : nullptr);
}

platform::Window* input_window(const InputState& state) {
    return state.window_source ? state.window_source() : nullptr;
}

namespace {

// The layout, asked of the platform once.
const KeyLayout& keyboard_layout(InputState& state) {
    if (!state.layout_fetched) {
        platform::keyboard_layout_characters(state.layout.plain, state.layout.shifted);
        layout_virtual_keys(state.layout, state.layout_keys);
        state.layout_fetched = true;
    }
    return state.layout;
}

void read_keyboard(InputState& state, bool new_frame) {
    // Keys pressed while another window is active do not belong to the game.
    if (!platform::window_has_input_focus(input_window(state))) return;
    uint8_t before[256];
    std::memcpy(before, state.keyboard_state, sizeof before);
    if (state.keyboard_device) {
        // The device is read as state: its key messages never reach the window procedure;
        // they are taken here, for the taps among them.
        if (platform::keyboard_events_pending()) platform::take_keyboard_events();
        platform::keyboard_read(state.keyboard_state);
        apply_press_latch(state.key_taps, state.keyboard_state, 256, new_frame);
    } else {
        uint8_t scan_state[256];
        platform::keyboard_read(scan_state);
        apply_press_latch(state.key_taps, scan_state, 256, new_frame);
        keyboard_layout(state);
        virtual_key_state(scan_state, state.layout_keys, state.keyboard_state);
    }
    mark_new_presses(state.untested_keys, before, state.keyboard_state, 256, new_frame);
}

// Mouse buttons as the events number them: 0 left, 1 right, 2 middle.
constexpr int32_t kMouseButtons = 3;

}  // namespace

void receive_input_event(const platform::InputEvent& event) {
    if (!active_input) return;
    using Kind = platform::InputEvent::Kind;
    InputState& state = *active_input;
    // Keys and buttons are read as state; their down events keep the presses shorter than a
    // reading. The wheel is summed for the mouse, and a joystick plugged in or out changes
    // which joysticks there are.
    switch (event.kind) {
        case Kind::kKeyDown:
            if (!event.repeat && event.scan_code != 0) latch_press(state.key_taps, event.scan_code);
            break;
        case Kind::kMouseButtonDown:
            if (event.index >= 0 && event.index < kMouseButtons) {
                latch_press(state.button_taps, static_cast<uint8_t>(event.index));
            }
            break;
        case Kind::kMouseWheel:
            state.wheel_steps += event.wheel;
            break;
        case Kind::kJoystickAdded:
        case Kind::kJoystickRemoved:
            if (state.device_layer && !state.joysticks_off) update_joysticks(state);
            break;
        default:
            break;
    }
}

void keyboard_poll(InputState& state) {
    read_keyboard(state, false);
}

void input_frame_poll(InputState& state) {
    read_keyboard(state, true);
    state.fresh_read = 1;
}

bool scan_code_down(const InputState& state, int32_t scan_code) {
    return (state.keyboard_state[state.key_map[static_cast<uint8_t>(scan_code)]] & 0x80) != 0;
}

uint8_t inkey_char(InputState& state) {
    keyboard_poll(state);
    const uint8_t character =
        typed_character(state.keyboard_state, state.key_map, keyboard_layout(state));
    return suppress_repeat(character, &state.last_typed);
}

int32_t key_down(int32_t scan_code) {
    if (!active_input) return 0;
    InputState& state = *active_input;
    keyboard_poll(state);
    const uint8_t key = state.key_map[static_cast<uint8_t>(scan_code)];
    return test_press(state.untested_keys, state.keyboard_state, key) ? 1 : 0;
}

int32_t inkey_char() {
    return active_input ? inkey_char(*active_input) : 0;
}

StringValue inkey_text() {
    const char text[2] = {static_cast<char>(inkey_char()), '\0'};
    return StringValue(text);
}

int32_t any_key() {
    return inkey_char() != 0 ? 1 : 0;
}

}  // namespace kvn
