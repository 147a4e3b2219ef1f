// Input: the keyboard as DirectInput-style scan codes 0..255, typed characters, the mouse,
// up to ten joysticks, and the blocking waits for input.
#pragma once

#include <cstdint>

#include "kvn/value.h"

namespace kvn {

// ---- Keyboard and typed characters ----

// Polls the keyboard; 1 if the key with this scan code (taken modulo 256) is down, else 0.
int32_t key_down(int32_t scan_code);
// One typed character (a held key gives it once), or 0.
int32_t inkey_char();
// inkey_char as a one-character text, or the empty text.
StringValue inkey_text();
// 1 if inkey_char gives a character (which is consumed), else 0.
int32_t any_key();

// ---- Mouse ----

// 0 dx, 1 dy, 2 wheel (-1, 0, 1), 3 left, 4 right, 5 middle button (0/1); anything else 0.
// Movement is per frame: reads within one frame agree.
int32_t mouse_axis(double axis);
// Reads the mouse; the tracked position clamped to the screen and the two buttons (0/1).
void mouse_state(double& x, double& y, double& left, double& right);
// mouse_state with integer outputs.
void mouse_state_int(int32_t& x, int32_t& y, int32_t& left, int32_t& right);
// Reads the mouse afresh; 1 if any of the three buttons is down.
int32_t mouse_any_button();
// Sets the tracked mouse position (client pixels).
void set_mouse_position(int32_t x, int32_t y);
// Non-zero shows the system pointer, zero hides it and takes the mouse relatively.
void show_system_pointer(double flag);

// ---- Joysticks ----

// Number of joysticks found at start-up (at most 10).
int32_t joystick_count();
// The joystick's name, or the empty text for an index outside 0..count - 1.
StringValue joystick_name(int32_t index);
// The X axis, -1..1.
double joystick_x(int32_t index);
// The Y axis, -1..1.
double joystick_y(int32_t index);
// The Z axis, -1..1.
double joystick_z(int32_t index);
// The rotation about X, -1..1.
double joystick_rotation_x(int32_t index);
// The rotation about Y, -1..1.
double joystick_rotation_y(int32_t index);
// The rotation about Z, -1..1.
double joystick_rotation_z(int32_t index);
// The button byte (non-zero when pressed) of button 0..31; 0 for any other button.
int32_t joystick_button(int32_t index, int32_t button);
// Horizontal direction of the first point of view: -1 left, +1 right, 0 neither.
int32_t joystick_pov_x(int32_t index);
// Vertical direction of the first point of view: -1 up, +1 down, 0 neither.
int32_t joystick_pov_y(int32_t index);
// First joystick: X and Y as -1, 0, 1 (divided by 30000, truncated) and the first two buttons.
void joystick_state_simple(int32_t& x, int32_t& y, int32_t& button1, int32_t& button2);
// Plays a constant force of direction (x, y), each -1..1, for the duration in milliseconds.
void joystick_force(int32_t index, int32_t duration_ms, double x, double y);
// Switches every joystick command off for the rest of the run (they give 0).
void disable_joysticks();

// ---- Waits ----

// Returns as soon as any input is seen, or after about 75 ms without input.
void wait_any_input_step();
// Waits for a newly typed character, then drains the typed characters.
void wait_key();
// Waits for a mouse button to be pressed and released (an earlier press ends first).
void wait_mouse_button();

}  // namespace kvn
