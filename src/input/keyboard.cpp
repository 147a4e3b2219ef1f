// The keyboard as 256 key-state bytes, read once per frame and on demand, typed characters,
// and the input events the platform hands over.
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

void receive_input_event(const platform::InputEvent& event) {
    if (!active_input) return;
    // Keys, buttons and joysticks are read as state; only the wheel is summed for the mouse,
    // and a joystick plugged in or out changes which joysticks there are.
    using Kind = platform::InputEvent::Kind;
    if (event.kind == Kind::kMouseWheel) {
        active_input->wheel_steps += event.wheel;
    } else if ((event.kind == Kind::kJoystickAdded || event.kind == Kind::kJoystickRemoved) &&
               active_input->device_layer && !active_input->joysticks_off) {
        update_joysticks(*active_input);
    }
}

void keyboard_poll(InputState& state) {
    // Keys pressed while another window is active do not belong to the game.
    if (!platform::window_has_input_focus(input_window(state))) return;
    if (state.keyboard_device) {
        // The device is read as state: its key messages never reach the window procedure.
        if (platform::keyboard_events_pending()) platform::take_keyboard_events();
        platform::keyboard_read(state.keyboard_state);
    } else {
        uint8_t scan_state[256];
        platform::keyboard_read(scan_state);
        virtual_key_state(scan_state, state.keyboard_state);
    }
}

bool scan_code_down(const InputState& state, int32_t scan_code) {
    return (state.keyboard_state[state.key_map[static_cast<uint8_t>(scan_code)]] & 0x80) != 0;
}

uint8_t inkey_char(InputState& state) {
    keyboard_poll(state);
    if (!state.layout_fetched) {
        platform::keyboard_layout_characters(state.layout.plain, state.layout.shifted);
        state.layout_fetched = true;
    }
    const uint8_t character = typed_character(state.keyboard_state, state.key_map, state.layout);
    return suppress_repeat(character, &state.last_typed);
}

int32_t key_down(int32_t scan_code) {
    if (!active_input) return 0;
    keyboard_poll(*active_input);
    return scan_code_down(*active_input, scan_code) ? 1 : 0;
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
