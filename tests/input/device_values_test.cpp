// Joystick values, the force effect, what the waits count as joystick input, and the mouse's
// fresh-read logic.
#include "input/device_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "input/input_state.h"

namespace kvn {
namespace {

TEST(DeviceValuesTest, AxesScaleAndClamp) {
    const struct {
        int32_t raw;
        double value;
        int32_t simple;
    } cases[] = {{0, 0, 0},
                 {32767, 1, 1},
                 {-32768, -1, -1},
                 {40000, 1, 1},
                 {-40000, -1, -1},
                 {16384, 16384 / 32767.0, 0},
                 {29999, 29999 / 32767.0, 0},
                 {30000, 30000 / 32767.0, 1},
                 {-30000, -30000 / 32767.0, -1}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(axis_value(c.raw), c.value) << c.raw;
        EXPECT_EQ(simple_axis(c.raw), c.simple) << c.raw;
    }
}

TEST(DeviceValuesTest, PointOfViewDirections) {
    const struct {
        uint32_t pov;
        int32_t x, y;
    } cases[] = {{0, 0, -1},     {4500, 1, -1},  {9000, 1, 0},    {13500, 1, 1},      {18000, 0, 1},
                 {22500, -1, 1}, {27000, -1, 0}, {31500, -1, -1}, {0xFFFFFFFF, 0, 0}, {1000, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(pov_x(c.pov), c.x) << c.pov;
        EXPECT_EQ(pov_y(c.pov), c.y) << c.pov;
    }
}

TEST(DeviceValuesTest, ForceEffectClampsDirectionAndDuration) {
    const struct {
        int32_t duration_ms;
        double x, y;
        int32_t dir_x, dir_y, magnitude;
        uint32_t duration_us;
    } cases[] = {
        {500, 1, 0, 32767, 0, 5000, 500000},
        {100, 0.5, -0.5, 16383, -16383, 2500, 100000},
        {100, 3, -7, 32767, -32767, 10000, 100000},
        {100, NAN, 0.5, 0, 16383, 1250, 100000},
        {-5, 1, 1, 32767, 32767, 10000, 0},
        // Far beyond what fits in microseconds: limited, not wrapped.
        {INT_MAX, 1, 0, 32767, 0, 5000, 2147483000u},
    };
    for (const auto& c : cases) {
        const platform::ForceEffect effect = force_effect(c.duration_ms, c.x, c.y);
        EXPECT_EQ(effect.direction_x, c.dir_x) << (&c - cases);
        EXPECT_EQ(effect.direction_y, c.dir_y) << (&c - cases);
        EXPECT_EQ(effect.magnitude, c.magnitude) << (&c - cases);
        EXPECT_EQ(effect.duration_us, c.duration_us) << (&c - cases);
    }
}

TEST(DeviceValuesTest, WaitsCountButtonsAxesBeyondTheDeadZoneAndPointsOfView) {
    platform::JoystickReading resting;
    clear_joystick_reading(resting);
    EXPECT_FALSE(joystick_shows_input(resting));
    EXPECT_EQ(pov_y(resting.pov[0]), 0);

    const auto with = [&](auto change) {
        platform::JoystickReading reading = resting;
        change(reading);
        return joystick_shows_input(reading);
    };
    EXPECT_FALSE(with([](auto& r) { r.axes[0] = static_cast<int32_t>(0.05 * 32767); }));
    EXPECT_TRUE(with([](auto& r) { r.axes[0] = static_cast<int32_t>(0.2 * 32767); }));
    EXPECT_TRUE(with([](auto& r) { r.axes[1] = -8000; }));
    EXPECT_TRUE(with([](auto& r) { r.axes[2] = 8000; }));
    // Rotations, sliders and the other points of view do not count.
    EXPECT_FALSE(with([](auto& r) { r.axes[3] = 32767; }));
    EXPECT_FALSE(with([](auto& r) { r.sliders[0] = 32767; }));
    EXPECT_FALSE(with([](auto& r) { r.pov[1] = 9000; }));
    EXPECT_TRUE(with([](auto& r) { r.pov[0] = 0; }));
    EXPECT_TRUE(with([](auto& r) { r.buttons[31] = 0x80; }));
}

platform::MouseReading at(int32_t x, int32_t y, int32_t rdx = 0, int32_t rdy = 0) {
    platform::MouseReading reading;
    reading.x = x;
    reading.y = y;
    reading.relative_dx = rdx;
    reading.relative_dy = rdy;
    return reading;
}

TEST(MouseReadingTest, MovementIsTakenOncePerFrameFromPointerOrRelativeMotion) {
    InputState state;
    state.pointer_visible = 1;
    state.mouse_x = 100;
    state.mouse_y = 100;
    MouseRecord record;

    take_mouse_reading(state, at(130, 90, 7, 7), record);
    EXPECT_EQ(record.dx, 30);
    EXPECT_EQ(record.dy, -10);
    // The same frame: the cached movement, the tracked position unchanged.
    take_mouse_reading(state, at(150, 95), record);
    EXPECT_EQ(record.dx, 30);
    EXPECT_EQ(record.dy, -10);
    EXPECT_EQ(state.mouse_x, 130);
    state.fresh_read = 1;
    take_mouse_reading(state, at(150, 95), record);
    EXPECT_EQ(record.dx, 20);
    EXPECT_EQ(record.dy, 5);

    // Hidden: relative motion moves the tracked position, wherever the pointer is.
    state.pointer_visible = 0;
    state.fresh_read = 1;
    take_mouse_reading(state, at(0, 0, -4, 70000), record);
    EXPECT_EQ(record.dx, -4);
    EXPECT_EQ(record.dy, 32767);
    EXPECT_EQ(state.mouse_x, 146);
    EXPECT_EQ(state.mouse_y, 70095);
}

TEST(MouseReadingTest, WheelIsTheSignOfTheStepsAndOnlyFromAMouseDevice) {
    for (bool device : {false, true}) {
        InputState state;
        state.mouse_device = device;
        MouseRecord record;
        state.wheel_steps = -3;
        take_mouse_reading(state, at(0, 0), record);
        EXPECT_EQ(record.wheel, device ? -1 : 0);
        state.wheel_steps = 2;
        take_mouse_reading(state, at(0, 0), record);
        EXPECT_EQ(record.wheel, device ? -1 : 0) << "steps wait for the next fresh read";
        state.fresh_read = 1;
        take_mouse_reading(state, at(0, 0), record);
        EXPECT_EQ(record.wheel, device ? 1 : 0);
        EXPECT_EQ(state.wheel_steps, 0);
        state.fresh_read = 1;
        take_mouse_reading(state, at(0, 0), record);
        EXPECT_EQ(record.wheel, 0);
    }
}

}  // namespace
}  // namespace kvn
