// The input object: keyboard state in scan codes, the mouse wheel, the window input belongs to.
#pragma once

#include <cstdint>

#include "platform/events.h"
#include "platform/window.h"

namespace kvn {

// The window input belongs to, asked for at each use (the renderer owns it and re-creates it
// for full screen); null when there is none.
using InputWindowSource = platform::Window* (*)();

struct InputState {
    // Tracked mouse position in client pixels.
    int32_t mouse_x = 100;
    int32_t mouse_y = 100;
    // One byte per scan code; bit 7 set = down.
    uint8_t keyboard_state[256] = {};
    // 1 while the system cursor is shown.
    uint8_t pointer_visible = 0;
    // Set after each presented frame; the first mouse read after it queries the device.
    uint8_t fresh_read = 1;
    // Wheel steps summed from the wheel events, for the mouse read (positive away from the
    // user).
    int32_t wheel_steps = 0;
    // Where the window input belongs to comes from; the runtime sets it.
    InputWindowSource window_source = nullptr;
};

// The input object every input command uses: the runtime's, handed over at start-up; null
// before start-up and after shutdown.
extern InputState* active_input;

// Makes the state the active input object and routes the platform's input events to it;
// null detaches input.
void attach_input(InputState* state);
// Takes one input event into the active input object.
void receive_input_event(const platform::InputEvent& event);
// Refreshes the keyboard state, only while the input window is the active one.
void keyboard_poll(InputState& state);
// True when bit 7 of the scan code's state byte is set (code taken modulo 256).
bool scan_code_down(const InputState& state, int32_t scan_code);

}  // namespace kvn
