// Keyboard, typed characters, the mouse and the blocking waits through real X events sent with
// xdotool to the runtime's window, on both keyboard paths.
#include "kvn/input.h"

#include "kvn/gfx.h"
#include "kvn/runtime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image/image_writers.h"
#include "input/input_state.h"
#include "platform/input_devices.h"
#include "platform/system.h"
#include "platform/window.h"
#include "runtime/runtime_state.h"
#include "support/platform_test_support.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

int pump_passes = 0;
// What a wait's pump does first at a pass (1 = the first), for presses made within a wait.
// A wait that misses such a press fails the test (its pump fails, which ends the program)
// instead of hanging it.
std::function<void(int)> at_pump_pass;
constexpr int kGiveUpPasses = 200;

bool count_and_pump() {
    ++pump_passes;
    if (at_pump_pass) at_pump_pass(pump_passes);
    pump_window_messages();
    return !at_pump_pass || pump_passes < kGiveUpPasses;
}

// Presses shorter than a poll: both events arrive between two readings, which find the key
// (A, usage 4) or the button up.
void push_key_tap() {
    testing_support::push_key_event(main_window(), true, 4, false);
    testing_support::push_key_event(main_window(), false, 4, false);
}
void push_click(int button) {
    testing_support::push_mouse_button_event(main_window(), true, button);
    testing_support::push_mouse_button_event(main_window(), false, button);
}
void push_left_click() {
    push_click(1);
}

void xdo(const std::string& arguments) {
    ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
}

// Runs the xdotool steps in the background while the test waits. Presses last 0.1 s: the
// devices are read as state, so a press and release within one read is not seen.
void xdo_later(const std::string& script) {
    ASSERT_EQ(std::system(("(" + script + ") >/dev/null 2>&1 &").c_str()), 0);
}

// Polls until the condition holds (each check reads the devices, which pumps); false after 3 s.
template <typename Condition>
bool eventually(Condition condition) {
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (condition()) return true;
        platform::sleep_ms(5);
    }
    return false;
}

// The runtime started as a program starts it (320 x 200, windowed), its window focused.
class InputTest : public testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        platform::environment_set("KVN_INPUT_FALLBACK", fallback() ? "1" : "0");
        project_settings.screen_width = 320;
        project_settings.screen_height = 200;
        project_settings.frames_per_second = 60;
        runtime_init(nullptr, 1, "Input");
        ASSERT_NE(main_window(), nullptr);
        input_ = runtime.input_state.get();
        pump_passes = 0;
        at_pump_pass = nullptr;
        input_->wait_hooks.pump_messages = count_and_pump;
        platform::window_raise(main_window());
        ASSERT_TRUE(eventually([] {
            pump_window_messages();
            return platform::window_has_input_focus(main_window());
        }));
        ASSERT_TRUE(platform::window_position(main_window(), &window_x_, &window_y_));
    }
    void TearDown() override {
        at_pump_pass = nullptr;
        std::system("xdotool keyup a b 2 shift KP_Divide Return Escape mouseup 1 >/dev/null 2>&1");
        allow_escape(1);
        runtime_shutdown();
        runtime.quit_hook_done = false;
        platform::environment_set("KVN_INPUT_FALLBACK", "");
        ScratchDirectoryTest::TearDown();
    }

    bool fallback() const { return fallback_; }

    // Moves the pointer to client position (x, y) and waits until the platform sees it there.
    void move_pointer(int x, int y) {
        xdo("mousemove " + std::to_string(window_x_ + x) + " " + std::to_string(window_y_ + y));
        ASSERT_TRUE(eventually([&] {
            platform::MouseReading reading;
            platform::mouse_read(&reading);
            return reading.x == x && reading.y == y;
        }));
    }

    void hold(const std::string& key, int scan_code) {
        xdo("keydown " + key);
        ASSERT_TRUE(eventually([&] { return key_down(scan_code) == 1; })) << key;
    }
    void release(const std::string& key, int scan_code) {
        xdo("keyup " + key);
        ASSERT_TRUE(eventually([&] { return key_down(scan_code) == 0; })) << key;
    }

    int wait_passes() {
        pump_passes = 0;
        wait_any_input_step();
        return pump_passes;
    }

    // The keyboard's virtual-key fall-back forced.
    bool fallback_ = false;
    InputState* input_ = nullptr;
    int window_x_ = 0;
    int window_y_ = 0;
};

// GetParam() = the keyboard fall-back forced.
class KeyboardPathTest : public InputTest, public testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        fallback_ = GetParam();
        InputTest::SetUp();
    }
};

TEST_P(KeyboardPathTest, StartUpChoosesTheKeyboardPath) {
    const std::string log = testing_support::read_file(directory_ / "ErrorLog.txt");
    EXPECT_EQ(log.find("No DX_KB\r\n") != std::string::npos, fallback()) << log;
    EXPECT_EQ(input_->keyboard_device, !fallback());
    EXPECT_EQ(input_->pointer_visible, 1);
    EXPECT_EQ(input_->window_source(), main_window());
}

TEST_P(KeyboardPathTest, HeldKeysShiftAndTheSpecialKeys) {
    hold("a", 30);
    EXPECT_EQ(inkey_char(), 'a');
    EXPECT_EQ(inkey_char(), 0) << "a held key gives its character once";
    release("a", 30);
    EXPECT_EQ(inkey_char(), 0);

    hold("shift", 42);
    EXPECT_EQ(any_key(), 0) << "shift alone";
    hold("a", 30);
    EXPECT_EQ(inkey_char(), 'A');
    // A lower scan code decides first; the layout's shifted symbol.
    hold("2", 3);
    EXPECT_EQ(inkey_char(), '@');
    release("2", 3);
    release("a", 30);
    release("shift", 42);
    EXPECT_EQ(inkey_text().length(), 0u);

    // The numeric pad's symbols type whatever Num Lock says.
    hold("KP_Divide", 181);
    EXPECT_EQ(inkey_char(), '/');
    release("KP_Divide", 181);

    hold("Return", 28);
    // The fall-back table maps scan codes 0 and 28 to the same virtual key.
    EXPECT_EQ(key_down(0), fallback() ? 1 : 0);
    EXPECT_STREQ(inkey_text().c_str(), "\n");
    release("Return", 28);
}

TEST_F(InputTest, MouseMovementIsPerFrameAndPositionsClampToTheScreen) {
    move_pointer(10, 10);
    input_->fresh_read = 1;
    mouse_axis(0);
    move_pointer(60, 70);
    input_->fresh_read = 1;
    EXPECT_EQ(mouse_axis(0), 50);
    EXPECT_EQ(mouse_axis(1), 60);
    move_pointer(80, 70);
    EXPECT_EQ(mouse_axis(0), 50) << "two reads in one frame agree";
    input_->fresh_read = 1;
    EXPECT_EQ(mouse_axis(0), 20) << "the next frame is fresh";
    EXPECT_EQ(mouse_axis(2), 0);
    EXPECT_EQ(mouse_axis(6), 0);

    xdo("mousedown 1");
    EXPECT_TRUE(eventually([] { return mouse_axis(3) == 1; }));
    EXPECT_EQ(mouse_any_button(), 1);
    EXPECT_EQ(mouse_axis(4), 0);
    xdo("mouseup 1");
    EXPECT_TRUE(eventually([] { return mouse_any_button() == 0; }));

    // Within a frame the tracked position is kept, and clamped to the 320 x 200 screen.
    const struct {
        int32_t x, y, clamped_x, clamped_y;
    } cases[] = {{-5, 900, 0, 199}, {400, -3, 319, 0}, {12, 34, 12, 34}};
    for (const auto& c : cases) {
        input_->fresh_read = 0;
        set_mouse_position(c.x, c.y);
        int32_t x = -1, y = -1, left = -1, right = -1;
        mouse_state_int(x, y, left, right);
        EXPECT_EQ(x, c.clamped_x);
        EXPECT_EQ(y, c.clamped_y);
        EXPECT_EQ(left, 0);
        EXPECT_EQ(right, 0);
        set_mouse_position(c.x, c.y);
        double xd = -1, yd = -1, leftd = -1, rightd = -1;
        mouse_state(xd, yd, leftd, rightd);
        EXPECT_EQ(xd, c.clamped_x);
        EXPECT_EQ(yd, c.clamped_y);
    }
}

TEST_F(InputTest, HiddenPointerMovesTheTrackedPositionByRelativeMotion) {
    move_pointer(50, 50);
    show_system_pointer(0);
    EXPECT_EQ(input_->pointer_visible, 0);
    set_mouse_position(100, 100);
    input_->fresh_read = 1;
    mouse_axis(0);
    xdo("mousemove_relative -- 3 -2");
    int32_t dx = 0, dy = 0;
    eventually([&] {
        input_->fresh_read = 1;
        dx += mouse_axis(0);
        dy += mouse_axis(1);
        return dx != 0 && dy != 0;
    });
    EXPECT_EQ(dx, 3);
    EXPECT_EQ(dy, -2);
    EXPECT_EQ(input_->mouse_x, 103);
    EXPECT_EQ(input_->mouse_y, 98);

    // Shown again, the pointer appears at the tracked position.
    show_system_pointer(1);
    EXPECT_TRUE(eventually([] {
        platform::MouseReading reading;
        platform::mouse_read(&reading);
        return reading.x == 103 && reading.y == 98;
    }));
}

TEST_P(KeyboardPathTest, WaitKeyIgnoresACharacterTypedBeforeItAndEndsOnANewOne) {
    hold("a", 30);
    const std::filesystem::path marker = directory_ / "b-sent";
    xdo_later("sleep 0.3; xdotool keyup a; sleep 0.3; touch '" + marker.string() +
              "'; xdotool keydown b; sleep 0.1; xdotool keyup b");
    wait_key();
    EXPECT_TRUE(std::filesystem::exists(marker));
}

TEST_F(InputTest, WaitMouseButtonWaitsForTheHeldButtonThenANewClick) {
    move_pointer(40, 40);
    xdo("mousedown 1");
    ASSERT_TRUE(eventually([] { return mouse_any_button() == 1; }));
    const std::filesystem::path marker = directory_ / "click-sent";
    // A move alone does not end the wait for a button.
    xdo_later(
        "sleep 0.3; xdotool mouseup 1; sleep 0.2; xdotool mousemove_relative 7 5; "
        "sleep 0.3; touch '" +
        marker.string() + "'; xdotool mousedown 1; sleep 0.1; xdotool mouseup 1");
    wait_mouse_button();
    EXPECT_TRUE(std::filesystem::exists(marker));
}

TEST_F(InputTest, WaitAnyInputStepEndsOnAMoveOrAKeyAndEscapeObeysAllowEscape) {
    move_pointer(30, 30);
    input_->fresh_read = 1;
    mouse_axis(0);
    EXPECT_EQ(wait_passes(), 15) << "nothing happened";
    input_->fresh_read = 0;
    move_pointer(40, 35);
    EXPECT_EQ(wait_passes(), 1) << "a mouse move";

    allow_escape(0);
    hold("Escape", 1);
    EXPECT_EQ(wait_passes(), 1) << "Escape is a key; the program goes on";
    release("Escape", 1);
}

TEST_P(KeyboardPathTest, ATapBetweenTwoFramePollsReadsAsDownForTheNextFrame) {
    push_key_tap();
    // The fall-back path takes key events with the window's messages.
    pump_window_messages();
    show_screen();
    EXPECT_EQ(key_down(30), 1);
    EXPECT_EQ(key_down(30), 1) << "for the whole frame";
    EXPECT_EQ(inkey_char(), 'a');
    show_screen();
    EXPECT_EQ(key_down(30), 0);

    // A real press of 1 ms: down in exactly one frame.
    xdo("keydown a sleep 0.001 keyup a");
    int frames_down = 0;
    for (int frame = 0; frame < 30; ++frame) {
        show_screen();
        frames_down += key_down(30);
    }
    EXPECT_EQ(frames_down, 1);
}

TEST_F(InputTest, AClickBetweenTwoFreshReadsReadsAsHeldUntilTheNextFreshRead) {
    move_pointer(40, 40);
    const struct {
        int button;
        double axis;
    } buttons[] = {{1, 3}, {3, 4}, {2, 5}};
    for (const auto& b : buttons) {
        push_click(b.button);
        pump_window_messages();
        input_->fresh_read = 1;
        EXPECT_EQ(mouse_axis(b.axis), 1) << "button " << b.button;
        EXPECT_EQ(mouse_axis(b.axis), 1) << "button " << b.button << " until the next fresh read";
        input_->fresh_read = 1;
        EXPECT_EQ(mouse_axis(b.axis), 0) << "button " << b.button;
    }

    // A real click of 1 ms: held in exactly one frame.
    xdo("mousedown 1 sleep 0.001 mouseup 1");
    int frames_held = 0;
    for (int frame = 0; frame < 30; ++frame) {
        show_screen();
        frames_held += mouse_axis(3);
    }
    EXPECT_EQ(frames_held, 1);
}

TEST_P(KeyboardPathTest, EachWaitSeesAPressShorterThanOnePass) {
    const struct {
        const char* wait;
        void (*press)();
        void (*run)();
    } cases[] = {
        {"wait_any_input_step", push_key_tap, wait_any_input_step},
        {"wait_key", push_key_tap, wait_key},
        {"wait_mouse_button", push_left_click, wait_mouse_button},
    };
    for (const auto& c : cases) {
        // The previous case's press is over.
        show_screen();
        pump_passes = 0;
        at_pump_pass = [&c](int pass) {
            if (pass == 3) c.press();
        };
        c.run();
        EXPECT_EQ(pump_passes, 3) << c.wait << " ends at the pass that took the press";
    }
}

// xdotool steps that type each key as a player does: held for a few frames.
std::string typed_keys(const std::vector<std::string>& keys) {
    std::string script = "sleep 0.3";
    for (const std::string& key : keys) {
        script += "; xdotool keydown " + key + "; sleep 0.08; xdotool keyup " + key + "; sleep 0.05";
    }
    return script;
}

TEST_F(InputTest, LineInputTypesOverTheFrozenPictureUntilEnter) {
    const int32_t red = 0x0000ff;
    draw_rect(0, 0, 60, 200, red);
    // Backspace on the empty text does nothing; digits then letters convert like text_to_int.
    xdo_later(typed_keys({"BackSpace", "1", "2", "a", "b", "Return"}));
    int32_t value = -1;
    line_input_int(value, 150, 80);
    EXPECT_EQ(value, text_to_int("12ab"));

    // The last frame shown holds the picture drawn before the call with the line over it.
    SavedPicture shown;
    ASSERT_TRUE(runtime.renderer->read_presented_picture(&shown));
    const auto pixel = [&](int x, int y) {
        const uint8_t* p = &shown.bgra[(size_t(y) * size_t(shown.width) + size_t(x)) * 4];
        return int32_t(p[2]) | int32_t(p[1]) << 8 | int32_t(p[0]) << 16;
    };
    const auto lit_in = [&](int x0, int y0, int x1, int y1) {
        int lit = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) lit += pixel(x, y) != 0;
        return lit;
    };
    EXPECT_EQ(pixel(30, 100), red);
    EXPECT_GT(lit_in(150, 80, 320, 112), 0) << "the typed line";
    EXPECT_EQ(lit_in(150, 140, 320, 200), 0) << "nothing else over the picture";
}

INSTANTIATE_TEST_SUITE_P(KeyboardPaths, KeyboardPathTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Fallback" : "Device";
                         });

}  // namespace
}  // namespace kvn
