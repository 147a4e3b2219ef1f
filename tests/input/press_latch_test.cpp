// Short presses: down events matched against the readings of the live state.
#include "input/press_latch.h"

#include <gtest/gtest.h>

#include <string>

namespace kvn {
namespace {

// Runs a script on one control: 'p' a down event; a reading of the live state 'u' (up) or 'd'
// (down), in capitals when it starts a new window. Returns what each reading gave, '0' or '1'.
std::string run(const std::string& script) {
    PressLatch latch;
    std::string readings;
    for (const char step : script) {
        if (step == 'p') {
            latch_press(latch, 7);
            continue;
        }
        uint8_t state[8] = {};
        state[7] = (step == 'd' || step == 'D') ? 0x80 : 0;
        apply_press_latch(latch, state, 8, step == 'U' || step == 'D');
        readings += (state[7] & 0x80) ? '1' : '0';
    }
    return readings;
}

TEST(PressLatchTest, APressNoReadingSawReadsAsDownForOneWindow) {
    const struct {
        const char* script;
        const char* readings;
    } cases[] = {
        // A tap between two windows: down for the next one only.
        {"UpUU", "010"},
        // Shown by every reading of that window, from its start on.
        {"UpUuuU", "01110"},
        {"UpuUU", "0010"},
        // Two taps in one window are one window down.
        {"UppUU", "010"},
        // A press the readings saw is not shown again, whether its event came before the
        // reading or after it (events are delivered after the state shows them).
        {"UpDDUU", "01100"},
        {"UDUpUU", "01000"},
        {"UdupuUU", "010000"},
        // A tap after a seen press whose event came late counts once.
        {"UDUppUU", "01010"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.script), c.readings) << c.script;
}

}  // namespace
}  // namespace kvn
