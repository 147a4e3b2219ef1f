// The keyboard as 256 scan-code bytes, read once per frame and on demand, and the input
// events the platform hands over.
#include "input/input_state.h"
#include "kvn/input.h"
#include "platform/input_devices.h"

namespace kvn {

InputState* active_input = nullptr;

void attach_input(InputState* state) {
    active_input = state;
    platform::set_input_event_sink(state ? receive_input_event : nullptr);
}

void receive_input_event(const platform::InputEvent& event) {
    if (!active_input) return;
    // Keys are read as state and joysticks are not opened yet; the wheel is summed for the
    // mouse read.
    if (event.kind == platform::InputEvent::Kind::kMouseWheel) {
        active_input->wheel_steps += event.wheel;
    }
}

void keyboard_poll(InputState& state) {
    // Keys pressed while another window is active do not belong to the game.
    platform::Window* window = state.window_source ? state.window_source() : nullptr;
    if (!platform::window_has_input_focus(window)) return;
    if (platform::keyboard_events_pending()) platform::take_keyboard_events();
    platform::keyboard_read(state.keyboard_state);
}

bool scan_code_down(const InputState& state, int32_t scan_code) {
    return (state.keyboard_state[static_cast<uint8_t>(scan_code)] & 0x80) != 0;
}

int32_t key_down(int32_t scan_code) {
    if (!active_input) return 0;
    keyboard_poll(*active_input);
    return scan_code_down(*active_input, scan_code) ? 1 : 0;
}

}  // namespace kvn
