// Short presses: down events matched against the readings of the live state.
#include "input/press_latch.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Runs a script of one key's readings, 'u' (up) or 'd' (down), in capitals when they start a
// new window, and its key tests 't'. Returns what each test gave, '0' or '1'.
std::string run_tests(const std::string& script) {
    UntestedPresses presses;
    uint8_t state[8] = {};
    std::string results;
    for (const char step : script) {
        if (step == 't') {
            results += test_press(presses, state, 7) ? '1' : '0';
            continue;
        }
        uint8_t before[8];
        std::copy(state, state + 8, before);
        state[7] = (step == 'd' || step == 'D') ? 0x80 : 0;
        mark_new_presses(presses, before, state, 8, step == 'U' || step == 'D');
    }
    return results;
}

TEST(UntestedPressesTest, APressOtherReadingsSawReachesTheKeysOwnTest) {
    const struct {
        const char* script;
        const char* results;
    } cases[] = {
        // Down after the key's test in one window, up before its test in the next.
        {"UtdDutUt", "010"},
        // Seen once, by the first test after it.
        {"UtduttUt", "0100"},
        // A held key reads as its state, and up as soon as it is up.
        {"UtdtDtutUt", "01100"},
        // Two windows after its window the mark is gone: a test long after sees nothing.
        {"UduUUt", "0"},
        {"UduUt", "1"},
        // A press the test saw is not seen again after its release.
        {"UdtuUt", "10"},
    };
    for (const auto& c : cases) EXPECT_EQ(run_tests(c.script), c.results) << c.script;
}

}  // namespace
}  // namespace kvn
