// Presses shorter than a reading: a key or button that went down and up again between two
// readings of the device state is known from its down event, and reads as down for one
// reading window (a frame of the keyboard, a fresh read of the mouse).
#pragma once

#include <cstdint>

namespace kvn {

// What the latch knows of one control (scan code, mouse button).
struct PressCount {
    // Presses the readings showed whose down events have not arrived yet (events are
    // delivered after the state shows them), at most kMaxPresses.
    uint8_t read_ahead = 0;
    // Down events of presses no reading has shown, at most kMaxPresses.
    uint8_t unseen = 0;
    // The last reading showed the control down.
    bool down = false;
    // A short press reads as down in the current window.
    bool shown = false;
};

struct PressLatch {
    PressCount controls[256];
};

// A down event of the control (not a key repeat).
void latch_press(PressLatch& latch, uint8_t control);
// Takes a reading of the live state of the first `count` controls (bit 7 set = down) and sets
// bit 7 of every control whose short press is shown. A new window drops the presses shown so
// far and shows those no reading saw down; within a window the shown presses stay shown.
void apply_press_latch(PressLatch& latch, uint8_t* state, int count, bool new_window);

// Presses a key test has not seen yet. Key tests read the state at different moments of a
// frame (each one a reading), so a press that begins after a key's test in one frame and ends
// before its test in the next is seen by other readings only; the mark keeps it for the key's
// own test. A mark lives through the window its press began in and the next one, so a test
// long after a press does not see it.
struct UntestedPresses {
    uint8_t windows_left[256] = {};
};

// Marks each of the first `count` controls that `after` shows down (bit 7) and `before` did
// not; a new window first ages the marks.
void mark_new_presses(UntestedPresses& presses, const uint8_t* before, const uint8_t* after,
                      int count, bool new_window);
// A key test of the control: true when `state` shows it down or its mark is still alive; the
// test takes the mark.
bool test_press(UntestedPresses& presses, const uint8_t* state, uint8_t control);

}  // namespace kvn
