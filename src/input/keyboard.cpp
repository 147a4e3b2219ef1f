// The keyboard as 256 scan-code bytes, read once per frame and on demand.
#include "input/input_state.h"
#include "kvn/input.h"
#include "runtime/runtime_state.h"

namespace kvn {

void keyboard_poll(InputState& state) {
    // Keys pressed while another window is active do not belong to the game.
    if (!platform::window_has_input_focus(state.window)) return;
    if (platform::keyboard_messages_pending()) platform::keyboard_flush_messages();
    platform::keyboard_read(state.keyboard_state);
}

bool scan_code_down(const InputState& state, int32_t scan_code) {
    return (state.keyboard_state[static_cast<uint8_t>(scan_code)] & 0x80) != 0;
}

int32_t key_down(int32_t scan_code) {
    if (!runtime.input_state) return 0;
    keyboard_poll(*runtime.input_state);
    return scan_code_down(*runtime.input_state, scan_code) ? 1 : 0;
}

}  // namespace kvn
