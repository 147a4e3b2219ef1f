// The event pump on a real window: input events reach the input sink in the runtime's terms,
// and the window procedure only sees null messages for them.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "input/input_state.h"
#include "platform/events.h"
#include "platform/window.h"
#include "support/platform_test_support.h"

namespace kvn {
namespace {

using Kind = platform::InputEvent::Kind;
using namespace testing_support;

// Key positions as USB HID usage ids.
constexpr int kUsageA = 4, kUsageZ = 29, kUsageRight = 79, kUsageKeypadEnter = 88;
constexpr uint8_t kHatUp = 1, kHatRight = 2;

std::vector<platform::InputEvent> received;

void record(const platform::InputEvent& event) {
    received.push_back(event);
}

class EventPumpTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(platform::video_init());
        window_ = platform::window_create("events", 0, 0, 64, 64, platform::PixelFormat{});
        ASSERT_NE(window_, nullptr);
        discard_waiting_events();
        received.clear();
        platform::set_input_event_sink(record);
    }
    void TearDown() override {
        platform::set_input_event_sink(nullptr);
        platform::window_destroy(window_);
    }

    // Pushes a key event on the window.
    std::function<bool()> key(bool down, int usage, bool repeat) const {
        platform::Window* window = window_;
        return [=] { return push_key_event(window, down, usage, repeat); };
    }

    // Pumps every waiting message; the ids the window procedure would have been given.
    std::vector<uint32_t> pump() {
        std::vector<uint32_t> ids;
        platform::Message message{};
        while (platform::remove_message(window_, &message)) ids.push_back(message.id);
        return ids;
    }

    platform::Window* window_ = nullptr;
};

TEST_F(EventPumpTest, InputEventsReachTheSinkInTheRuntimesTerms) {
    platform::Window* window = window_;
    const struct {
        std::function<bool()> push;
        Kind kind;
        int scan_code;
        bool repeat;
        const char* text;
        int wheel, device, index, value;
    } cases[] = {
        {key(true, kUsageA, false), Kind::kKeyDown, 30, false, "", 0, 0, 0, 0},
        {key(true, kUsageA, true), Kind::kKeyDown, 30, true, "", 0, 0, 0, 0},
        {key(false, kUsageRight, false), Kind::kKeyUp, 205, false, "", 0, 0, 0, 0},
        {key(true, kUsageKeypadEnter, false), Kind::kKeyDown, 156, false, "", 0, 0, 0, 0},
        {[=] {
             return push_text_event(window,
                                    "\xC3\xA9\xE2\x82\xAC\xE4\xB8\x80"
                                    "a");  // e acute, euro, CJK, a
         },
         Kind::kText, 0, false,
         "\xE9\x80"
         "a",
         0, 0, 0, 0},
        {[=] { return push_wheel_event(window, 2, true); }, Kind::kMouseWheel, 0, false, "", -2,
         0, 0, 0},
        {[] { return push_joystick_hat_event(3, 1, kHatRight | kHatUp); }, Kind::kJoystickHat, 0,
         false, "", 0, 3, 1, 4500},
        {[] { return push_joystick_axis_event(3, 4, -32768); }, Kind::kJoystickAxis, 0, false, "",
         0, 3, 4, -32768},
    };
    for (const auto& c : cases) ASSERT_TRUE(c.push());
    EXPECT_EQ(pump(), std::vector<uint32_t>(std::size(cases), platform::kMessageNull));
    ASSERT_EQ(received.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const platform::InputEvent& got = received[i];
        EXPECT_EQ(got.kind, c.kind) << i;
        EXPECT_EQ(got.scan_code, c.scan_code) << i;
        EXPECT_EQ(got.repeat, c.repeat) << i;
        EXPECT_STREQ(got.text, c.text) << i;
        EXPECT_EQ(got.wheel, c.wheel) << i;
        EXPECT_EQ(got.device, c.device) << i;
        EXPECT_EQ(got.index, c.index) << i;
        EXPECT_EQ(got.value, c.value) << i;
    }
}

TEST_F(EventPumpTest, TakingKeyboardEventsHandsThemOverAndLeavesTheRest) {
    ASSERT_TRUE(push_key_event(window_, true, kUsageZ, false));
    platform::post_quit();
    ASSERT_TRUE(push_key_event(window_, false, kUsageZ, false));

    ASSERT_TRUE(platform::keyboard_events_pending());
    platform::take_keyboard_events();
    EXPECT_FALSE(platform::keyboard_events_pending());
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].kind, Kind::kKeyDown);
    EXPECT_EQ(received[1].kind, Kind::kKeyUp);
    EXPECT_EQ(received[1].scan_code, 44);
    EXPECT_EQ(pump(), std::vector<uint32_t>{platform::kMessageClose});
}

TEST_F(EventPumpTest, AttachedInputSumsTheWheel) {
    InputState state;
    attach_input(&state);
    for (int steps : {1, 1, -3, 2}) ASSERT_TRUE(push_wheel_event(window_, steps, false));
    pump();
    attach_input(nullptr);
    EXPECT_EQ(state.wheel_steps, 1);
}

}  // namespace
}  // namespace kvn
