// Joystick values in the commands' terms, and the force effect.
#include "input/device_values.h"

#include <algorithm>
#include <cmath>

namespace kvn {

namespace {

constexpr uint32_t kPovCentred = 0xFFFFFFFF;
constexpr double kAxisScale = 32767.0;
constexpr double kSimpleAxisScale = 30000.0;
constexpr double kWaitDeadZone = 0.1;
constexpr double kForceMagnitude = 10000.0;
// Longest effect: its duration in microseconds still fits in 32 signed bits.
constexpr int32_t kLongestForceMs = 2147483;

double limit_unit(double value) {
    if (std::isnan(value)) return 0.0;
    return std::clamp(value, -1.0, 1.0);
}

}  // namespace

double axis_value(int32_t raw) {
    return limit_unit(raw / kAxisScale);
}

int32_t simple_axis(int32_t raw) {
    return static_cast<int32_t>(raw / kSimpleAxisScale);
}

int32_t pov_x(uint32_t pov) {
    switch (pov) {
        case 4500:
        case 9000:
        case 13500:
            return 1;
        case 22500:
        case 27000:
        case 31500:
            return -1;
        default:
            return 0;
    }
}

int32_t pov_y(uint32_t pov) {
    switch (pov) {
        case 0:
        case 4500:
        case 31500:
            return -1;
        case 13500:
        case 18000:
        case 22500:
            return 1;
        default:
            return 0;
    }
}

int32_t clamp_to_size(int32_t value, int32_t size) {
    return std::clamp(value, 0, std::max(size - 1, 0));
}

platform::ForceEffect force_effect(int32_t duration_ms, double x, double y) {
    x = limit_unit(x);
    y = limit_unit(y);
    platform::ForceEffect effect;
    effect.direction_x = static_cast<int32_t>(x * kAxisScale);
    effect.direction_y = static_cast<int32_t>(y * kAxisScale);
    effect.magnitude = static_cast<int32_t>((x * x + y * y) * kForceMagnitude * 0.5);
    effect.duration_us = static_cast<uint32_t>(std::clamp(duration_ms, 0, kLongestForceMs)) * 1000u;
    return effect;
}

void clear_joystick_reading(platform::JoystickReading& reading) {
    reading = platform::JoystickReading{};
    for (uint32_t& pov : reading.pov) pov = kPovCentred;
}

bool joystick_shows_input(const platform::JoystickReading& reading) {
    for (uint8_t button : reading.buttons) {
        if (button) return true;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(axis_value(reading.axes[axis])) > kWaitDeadZone) return true;
    }
    return pov_x(reading.pov[0]) != 0 || pov_y(reading.pov[0]) != 0;
}

}  // namespace kvn
