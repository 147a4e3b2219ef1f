// Pure core of the mouse and joystick commands: axis scaling, point-of-view directions, the
// force effect, clamping, and what counts as input for the waits.
#pragma once

#include <cstdint>

#include "platform/input_devices.h"

namespace kvn {

// An axis reading divided by 32767 and limited to -1..1.
double axis_value(int32_t raw);
// An axis reading divided by 30000 and truncated toward zero (-1, 0, 1 within range).
int32_t simple_axis(int32_t raw);
// +1 for point of view 4500, 9000, 13500; -1 for 22500, 27000, 31500; else 0.
int32_t pov_x(uint32_t pov);
// -1 for point of view 0, 4500, 31500; +1 for 13500, 18000, 22500; else 0.
int32_t pov_y(uint32_t pov);
// The value limited to 0..size - 1 (0 for an empty size).
int32_t clamp_to_size(int32_t value, int32_t size);
// The constant-force effect for a duration in milliseconds and a direction (x, y), each
// limited to -1..1; the duration is limited so that it fits in microseconds.
platform::ForceEffect force_effect(int32_t duration_ms, double x, double y);
// A reading of a joystick that is not there: axes and buttons 0, points of view centred.
void clear_joystick_reading(platform::JoystickReading& reading);
// True when the joystick shows input for the waits: a button down, X, Y or Z beyond 0.1, or
// the first point of view pointing somewhere.
bool joystick_shows_input(const platform::JoystickReading& reading);

}  // namespace kvn
