// The event pump on a real window: input events reach the input sink in the runtime's terms,
// and the window procedure only sees null messages for them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "input/input_state.h"
#include "platform/events.h"
#include "platform/window.h"

namespace kvn {
namespace {

using Kind = platform::InputEvent::Kind;

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
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        received.clear();
        platform::set_input_event_sink(record);
    }
    void TearDown() override {
        platform::set_input_event_sink(nullptr);
        platform::window_destroy(window_);
    }

    Uint32 window_id() const { return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window_)); }

    SDL_Event key(Uint32 type, SDL_Scancode scancode, Uint8 repeat) const {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = window_id();
        event.key.keysym.scancode = scancode;
        event.key.repeat = repeat;
        return event;
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
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = window_id();
    std::strcpy(text.text.text,
                "\xC3\xA9\xE2\x82\xAC\xE4\xB8\x80"
                "a");  // e acute, euro, CJK, a
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = window_id();
    wheel.wheel.y = 2;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    SDL_Event hat{};
    hat.type = SDL_JOYHATMOTION;
    hat.jhat.which = 3;
    hat.jhat.hat = 1;
    hat.jhat.value = SDL_HAT_RIGHTUP;
    SDL_Event axis{};
    axis.type = SDL_JOYAXISMOTION;
    axis.jaxis.which = 3;
    axis.jaxis.axis = 4;
    axis.jaxis.value = -32768;

    const struct {
        SDL_Event event;
        Kind kind;
        int scan_code;
        bool repeat;
        const char* text;
        int wheel, device, index, value;
    } cases[] = {
        {key(SDL_KEYDOWN, SDL_SCANCODE_A, 0), Kind::kKeyDown, 30, false, "", 0, 0, 0, 0},
        {key(SDL_KEYDOWN, SDL_SCANCODE_A, 1), Kind::kKeyDown, 30, true, "", 0, 0, 0, 0},
        {key(SDL_KEYUP, SDL_SCANCODE_RIGHT, 0), Kind::kKeyUp, 205, false, "", 0, 0, 0, 0},
        {key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, 0), Kind::kKeyDown, 156, false, "", 0, 0, 0, 0},
        {text, Kind::kText, 0, false,
         "\xE9\x80"
         "a",
         0, 0, 0, 0},
        {wheel, Kind::kMouseWheel, 0, false, "", -2, 0, 0, 0},
        {hat, Kind::kJoystickHat, 0, false, "", 0, 3, 1, 4500},
        {axis, Kind::kJoystickAxis, 0, false, "", 0, 3, 4, -32768},
    };
    for (const auto& c : cases) {
        SDL_Event event = c.event;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
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
    SDL_Event down = key(SDL_KEYDOWN, SDL_SCANCODE_Z, 0);
    SDL_Event up = key(SDL_KEYUP, SDL_SCANCODE_Z, 0);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    for (SDL_Event* event : {&down, &quit, &up}) SDL_PushEvent(event);

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
    for (int steps : {1, 1, -3, 2}) {
        SDL_Event wheel{};
        wheel.type = SDL_MOUSEWHEEL;
        wheel.wheel.windowID = window_id();
        wheel.wheel.y = steps;
        SDL_PushEvent(&wheel);
    }
    pump();
    attach_input(nullptr);
    EXPECT_EQ(state.wheel_steps, 1);
}

}  // namespace
}  // namespace kvn
