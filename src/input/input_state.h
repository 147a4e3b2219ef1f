// The input object: keyboard state in scan codes, the window input belongs to.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace kvn {

struct InputState {
    // Tracked mouse position in client pixels.
    int32_t mouse_x = 100;
    int32_t mouse_y = 100;
    // The window input belongs to.
    platform::Window* window = nullptr;
    // One byte per scan code; bit 7 set = down.
    uint8_t keyboard_state[256] = {};
    // 1 while the system cursor is shown.
    uint8_t pointer_visible = 0;
    // Set after each presented frame; the first mouse read after it queries the device.
    uint8_t fresh_read = 1;
};

// Refreshes the keyboard state, only while the input window is the active one.
void keyboard_poll(InputState& state);
// True when bit 7 of the scan code's state byte is set (code taken modulo 256).
bool scan_code_down(const InputState& state, int32_t scan_code);

}  // namespace kvn
