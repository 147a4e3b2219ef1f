// Joysticks through the platform's virtual joysticks, attached before input start-up: names, index
// guards, axes, buttons, points of view, the simple state, the waits' dead zone, switching
// joysticks off, unplugging, and plugging in and out while input runs.
#include <gtest/gtest.h>

#include <string>

#include "input/input_state.h"
#include "kvn/input.h"
#include "platform/events.h"
#include "platform/input_devices.h"
#include "support/platform_test_support.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

using namespace testing_support;

// Hat positions as direction bits.
enum Hat : uint8_t {
    kCentred = 0,
    kUp = 1,
    kRight = 2,
    kDown = 4,
    kLeft = 8,
    kRightUp = kRight | kUp,
    kRightDown = kRight | kDown,
    kLeftDown = kLeft | kDown,
    kLeftUp = kLeft | kUp,
};

int pump_passes = 0;

bool count_pass() {
    ++pump_passes;
    return true;
}

class JoystickTest : public testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        ASSERT_TRUE(joystick_service_start());
        first_ = attach("Pad One", 6, 4, 1);
        second_ = attach("Pad Two", 2, 2, 0);
        ASSERT_GE(first_, 0);
        ASSERT_GE(second_, 0);
        input_init(state_, nullptr, false);
        state_.wait_hooks.pump_messages = count_pass;
        attach_input(&state_);
        ASSERT_EQ(joystick_count(), 2);
    }
    void TearDown() override {
        attach_input(nullptr);
        input_shutdown(state_);
        while (platform::joysticks_attached() > 0 && virtual_joystick_detach(0)) {
        }
        joystick_service_stop();
        ScratchDirectoryTest::TearDown();
    }

    static int attach(const char* name, int axes, int buttons, int hats) {
        return virtual_joystick_attach(name, axes, buttons, hats);
    }

    // Sets a control of the first joystick (the value arrives at its next update).
    void set_axis(int axis, int16_t value) {
        ASSERT_TRUE(virtual_joystick_set_axis(first_, axis, value)) << axis;
    }
    void set_button(int button, bool pressed) {
        ASSERT_TRUE(virtual_joystick_set_button(first_, button, pressed)) << button;
    }
    void set_hat(uint8_t position) {
        ASSERT_TRUE(virtual_joystick_set_hat(first_, 0, position)) << int{position};
    }

    // Pump passes one wait_any_input_step took.
    int wait_passes() {
        pump_passes = 0;
        wait_any_input_step();
        return pump_passes;
    }

    // Takes every waiting event out of the queue, as the frame loop's message pump does.
    static void pump() {
        platform::Message message;
        while (platform::remove_message(nullptr, &message)) {
        }
    }

    InputState state_;
    int first_ = -1;
    int second_ = -1;
};

TEST_F(JoystickTest, NamesAndIndexGuards) {
    EXPECT_STREQ(joystick_name(0).c_str(), "Pad One, Pad One");
    EXPECT_STREQ(joystick_name(1).c_str(), "Pad Two, Pad Two");
    set_button(0, true);
    set_axis(0, 32767);
    EXPECT_EQ(joystick_button(0, 0), 0x80);
    for (int32_t index : {-1, 2, 10, INT32_MIN}) {
        EXPECT_STREQ(joystick_name(index).c_str(), "") << index;
        EXPECT_EQ(joystick_x(index), 0.0) << index;
        EXPECT_EQ(joystick_rotation_z(index), 0.0) << index;
        EXPECT_EQ(joystick_button(index, 0), 0) << index;
        EXPECT_EQ(joystick_pov_x(index), 0) << index;
        EXPECT_EQ(joystick_pov_y(index), 0) << index;
        joystick_force(index, 100, 1, 1);
    }
    for (int32_t button : {-1, 32, 1000}) EXPECT_EQ(joystick_button(0, button), 0) << button;
}

TEST_F(JoystickTest, AxesButtonsAndTheSimpleState) {
    const int16_t values[6] = {-32768, 32767, 16384, -16384, 1000, 0};
    for (int axis = 0; axis < 6; ++axis) set_axis(axis, values[axis]);
    set_button(1, true);
    const double read[6] = {joystick_x(0),          joystick_y(0),          joystick_z(0),
                            joystick_rotation_x(0), joystick_rotation_y(0), joystick_rotation_z(0)};
    for (int axis = 0; axis < 6; ++axis) {
        EXPECT_DOUBLE_EQ(read[axis], axis_value(values[axis])) << axis;
    }
    EXPECT_EQ(read[0], -1.0);
    EXPECT_EQ(read[1], 1.0);
    EXPECT_EQ(joystick_button(0, 0), 0);
    EXPECT_NE(joystick_button(0, 1), 0);
    EXPECT_EQ(joystick_y(1), 0.0);

    int32_t x = 9, y = 9, button1 = 9, button2 = 9;
    joystick_state_simple(x, y, button1, button2);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, 1);
    EXPECT_EQ(button1, 0);
    EXPECT_NE(button2, 0);
}

TEST_F(JoystickTest, HatDirections) {
    const struct {
        uint8_t hat;
        int32_t x, y;
    } cases[] = {{kCentred, 0, 0},  {kUp, 0, -1},       {kRightUp, 1, -1},
                 {kRight, 1, 0},    {kRightDown, 1, 1}, {kDown, 0, 1},
                 {kLeftDown, -1, 1}, {kLeft, -1, 0},    {kLeftUp, -1, -1}};
    for (const auto& c : cases) {
        set_hat(c.hat);
        EXPECT_EQ(joystick_pov_x(0), c.x) << int{c.hat};
        EXPECT_EQ(joystick_pov_y(0), c.y) << int{c.hat};
    }
    // The second joystick has no hat: centred.
    EXPECT_EQ(joystick_pov_y(1), 0);
}

TEST_F(JoystickTest, WaitEndsOnAnAxisBeyondTheDeadZoneOnly) {
    set_axis(0, static_cast<int16_t>(0.05 * 32767));
    EXPECT_EQ(wait_passes(), 15);
    set_axis(0, static_cast<int16_t>(0.2 * 32767));
    EXPECT_EQ(wait_passes(), 1);
    set_axis(0, 0);
    set_hat(kLeft);
    EXPECT_EQ(wait_passes(), 1);
}

TEST_F(JoystickTest, DisabledJoysticksReadAsNothingForTheRestOfTheRun) {
    set_axis(0, 32767);
    set_hat(kUp);
    EXPECT_EQ(joystick_x(0), 1.0);
    disable_joysticks();
    EXPECT_EQ(joystick_count(), 0);
    EXPECT_EQ(joystick_x(0), 0.0);
    EXPECT_EQ(joystick_pov_y(0), 0);
    EXPECT_STREQ(joystick_name(0).c_str(), "");
    EXPECT_EQ(wait_passes(), 15);
}

TEST_F(JoystickTest, AnUnpluggedJoystickReadsAsZeros) {
    set_axis(1, 32767);
    set_hat(kDown);
    set_button(2, true);
    EXPECT_EQ(joystick_y(0), 1.0);
    ASSERT_TRUE(virtual_joystick_detach(first_));
    EXPECT_EQ(joystick_y(0), 0.0);
    EXPECT_EQ(joystick_button(0, 2), 0);
    EXPECT_EQ(joystick_pov_y(0), 0);
    joystick_force(0, 100, 1, 0);
    EXPECT_EQ(wait_passes(), 15);
}

TEST_F(JoystickTest, JoysticksPluggedInAndOutWhileInputRuns) {
    // The device index of each virtual joystick, by name, as attached now.
    const auto device_of = [](const std::string& name) {
        for (int device = 0; device < platform::joysticks_attached(); ++device) {
            if (platform::joystick_device(device).name == name) return device;
        }
        return -1;
    };
    const struct {
        const char* step;
        const char* attach;  // a joystick plugged in, or null
        const char* detach;  // a joystick unplugged, or null
        int32_t count;
        const char* names[4];
        // The joystick whose X axis is then pushed fully right, and which index reads it.
        const char* pushed;
        int32_t pushed_index;
    } steps[] = {
        {"the start-up events change nothing", nullptr, nullptr, 2,
         {"Pad One, Pad One", "Pad Two, Pad Two", "", ""}, "Pad Two", 1},
        {"plugged in later", "Pad Three", nullptr, 3,
         {"Pad One, Pad One", "Pad Two, Pad Two", "Pad Three, Pad Three", ""}, "Pad Three", 2},
        {"unplugged keeps its index", nullptr, "Pad One", 3,
         {"Pad One, Pad One", "Pad Two, Pad Two", "Pad Three, Pad Three", ""}, "Pad Two", 1},
        {"another device takes a new index", "Stick", nullptr, 4,
         {"Pad One, Pad One", "Pad Two, Pad Two", "Pad Three, Pad Three", "Stick, Stick"},
         "Stick", 3},
        {"the same device takes its index back", "Pad One", nullptr, 4,
         {"Pad One, Pad One", "Pad Two, Pad Two", "Pad Three, Pad Three", "Stick, Stick"},
         "Pad One", 0},
    };
    for (const auto& s : steps) {
        if (s.attach) {
            ASSERT_GE(attach(s.attach, 6, 4, 1), 0) << s.step;
        }
        if (s.detach) {
            ASSERT_TRUE(virtual_joystick_detach(device_of(s.detach))) << s.step;
        }
        pump();
        EXPECT_EQ(joystick_count(), s.count) << s.step;
        for (int32_t index = 0; index < 4; ++index) {
            EXPECT_STREQ(joystick_name(index).c_str(), s.names[index]) << s.step << " " << index;
        }
        ASSERT_TRUE(virtual_joystick_set_axis(device_of(s.pushed), 0, 32767)) << s.step;
        for (int32_t index = 0; index < 4; ++index) {
            EXPECT_EQ(joystick_x(index), index == s.pushed_index ? 1.0 : 0.0)
                << s.step << " " << index;
        }
        ASSERT_TRUE(virtual_joystick_set_axis(device_of(s.pushed), 0, 0)) << s.step;
    }
}

}  // namespace
}  // namespace kvn
