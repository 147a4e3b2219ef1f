// The input object: keyboard state in scan codes, the tracked mouse, the joysticks, the window
// input belongs to; and the functions the runtime and the commands share.
#pragma once

#include <cstdint>

#include "input/device_values.h"
#include "input/joystick_slots.h"
#include "input/key_maps.h"
#include "input/press_latch.h"
#include "platform/events.h"
#include "platform/input_devices.h"
#include "platform/window.h"

namespace kvn {

// The window input belongs to, asked for at each use (the renderer owns it and re-creates it
// for full screen); null when there is none.
using InputWindowSource = platform::Window* (*)();

constexpr int kMaxJoysticks = 10;
constexpr int kJoystickNameSize = 522;

// input_init results.
constexpr uint32_t kInputReady = 1;
constexpr uint32_t kInputNoDeviceLayer = 0x8000000A;
constexpr uint32_t kInputNoKeyboard = 0x8000000B;
constexpr uint32_t kInputNoMouse = 0x8000000C;

// Mouse cooperative levels: exclusive (pointer hidden) or shared (pointer shown), both only
// while the window is in the foreground.
constexpr int32_t kMouseExclusive = 5;
constexpr int32_t kMouseShared = 6;

// What the blocking waits need of the runtime, set by the runtime at start-up.
struct InputWaitHooks {
    // Pumps the window's messages (with the program's message hook); false when the pump
    // failed, which ends the program.
    bool (*pump_messages)() = nullptr;
    // True while Escape ends the program.
    bool (*escape_ends_program)() = nullptr;
    // Restarts looping background music when it is due.
    void (*music_restart_step)() = nullptr;
};

struct InputState {
    // Tracked mouse position in client pixels.
    int32_t mouse_x = 100;
    int32_t mouse_y = 100;
    // The selected mouse; only one is supported.
    int32_t mouse_index = 0;
    // The device layer (keyboard state, relative mouse, joysticks) could be started.
    bool device_layer = false;
    // The keyboard is read as scan codes; false: the virtual-key fall-back.
    bool keyboard_device = false;
    // The mouse is taken as a device (relative motion and wheel); false: the system cursor.
    bool mouse_device = false;
    // Null while the joystick of that index is unplugged.
    platform::Joystick* joysticks[kMaxJoysticks] = {};
    char joystick_names[kMaxJoysticks][kJoystickNameSize] = {};
    // The device each index belongs to and its connection while plugged in.
    JoystickSlot joystick_slots[kMaxJoysticks];
    // Device path: one byte per scan code; fall-back: one byte per virtual key. Bit 7 = down.
    uint8_t keyboard_state[256] = {};
    InputWindowSource window_source = nullptr;
    // 1 while the system cursor is shown.
    uint8_t pointer_visible = 0;
    int32_t mouse_cooperative_flags = 0;
    // Indices handed out so far; grows as joysticks are plugged in, never shrinks.
    int32_t joystick_count = 0;
    // Set after each presented frame; the first mouse read after it queries the device.
    uint8_t fresh_read = 1;
    // The movement of the last fresh read.
    int16_t cached_dx = 0;
    int16_t cached_dy = 0;
    int16_t cached_wheel = 0;
    // Scan code -> index into keyboard_state (identity on the device path).
    uint8_t key_map[256] = {};

    // Wheel steps received since the last fresh mouse read (positive away from the user).
    int32_t wheel_steps = 0;
    // Set by disable_joysticks, never cleared.
    bool joysticks_off = false;
    // The character the previous inkey_char saw (folded to lower case), for repeat suppression.
    uint8_t last_typed = 0;
    // The layout's characters, fetched at the first typed-character read (the fall-back path:
    // the first keyboard poll) and kept.
    KeyLayout layout;
    bool layout_fetched = false;
    // Fall-back path: scan code -> virtual key for that layout.
    uint8_t layout_keys[256] = {};
    // Key presses (by scan code) and mouse buttons (0 left, 1 right, 2 middle) shorter than a
    // reading, from the platform's events.
    PressLatch key_taps;
    PressLatch button_taps;
    // Presses of keyboard_state's keys that key_down has not seen yet.
    UntestedPresses untested_keys;
    InputWaitHooks wait_hooks;
};

// The input object every input command uses: the runtime's, handed over at start-up; null
// before start-up and after shutdown.
extern InputState* active_input;

// Makes the state the active input object and routes the platform's input events to it;
// null detaches input.
void attach_input(InputState* state);
// The window input belongs to now; null when there is none.
platform::Window* input_window(const InputState& state);
// Takes one input event into the active input object.
void receive_input_event(const platform::InputEvent& event);

// Sets up keyboard, mouse and joysticks for the window; returns kInputReady or the code of
// the last missing device, logging each one missing.
uint32_t input_init(InputState& state, platform::Window* window, bool hide_pointer);
// Restores the system pointer and releases every device.
void input_shutdown(InputState& state);
// Shows (the arrow, the pointer moved to the tracked position when it was hidden) or hides the
// system pointer (relative mouse); remembers the choice.
void set_pointer_mode(InputState& state, bool shown);
// Applies the remembered pointer mode again for the current window, without moving the pointer.
void reapply_pointer_mode(InputState& state);

// Refreshes the keyboard state, only while the input window is the active one. Keys tapped
// (down and up) since the previous frame poll read as down until the next frame poll.
void keyboard_poll(InputState& state);
// The poll that starts an input frame (each presented frame, each pass of a wait): the taps
// seen before it are shown from now on, those shown so far no longer; the next mouse read is
// a fresh read.
void input_frame_poll(InputState& state);
// True when the key with this scan code (taken modulo 256) is down in the polled state.
bool scan_code_down(const InputState& state, int32_t scan_code);
// One typed character or 0 (polls first).
uint8_t inkey_char(InputState& state);

// The mouse record mouse_read fills.
struct MouseRecord {
    int16_t left = 0;
    int16_t right = 0;
    int16_t middle = 0;
    int16_t dx = 0;
    int16_t dy = 0;
    int16_t wheel = 0;
};
// Reads the mouse into the record (movement from the device only on a fresh read); 1 when a
// reading was made.
int32_t mouse_read(InputState& state, MouseRecord& record);
// The steps of mouse_read after the device was read: movement on a fresh read, the cache
// otherwise, the buttons (with the clicks since the previous fresh read, until the next one).
void take_mouse_reading(InputState& state, const platform::MouseReading& reading,
                        MouseRecord& record);

// Brings the joystick indices up to date with the joysticks attached now: an unplugged one
// keeps its index and is closed, a newly attached one is opened into its index.
void update_joysticks(InputState& state);
// Reads joystick index (valid, joysticks on) into the reading; an unplugged joystick reads as
// all zeros.
void joystick_read(InputState& state, int32_t index, platform::JoystickReading& reading);

}  // namespace kvn
