// Short presses: the down events matched against the presses the readings of the state show.
#include "input/press_latch.h"

namespace kvn {

namespace {

// Counts saturate: a lost event costs at most this many presses.
constexpr uint8_t kMaxPresses = 3;

}  // namespace

void latch_press(PressLatch& latch, uint8_t control) {
    PressCount& press = latch.controls[control];
    if (press.read_ahead > 0) {
        --press.read_ahead;
    } else if (press.unseen < kMaxPresses) {
        ++press.unseen;
    }
}

void apply_press_latch(PressLatch& latch, uint8_t* state, int count, bool new_window) {
    for (int control = 0; control < count && control < 256; ++control) {
        PressCount& press = latch.controls[control];
        const bool down = (state[control] & 0x80) != 0;
        if (down && !press.down) {
            // A press the reading shows: its event came already, or is still to come.
            if (press.unseen > 0) {
                --press.unseen;
            } else if (press.read_ahead < kMaxPresses) {
                ++press.read_ahead;
            }
        }
        press.down = down;
        if (new_window) {
            press.shown = press.unseen > 0;
            press.unseen = 0;
        }
        if (press.shown) state[control] |= 0x80;
    }
}

void mark_new_presses(UntestedPresses& presses, const uint8_t* before, const uint8_t* after,
                      int count, bool new_window) {
    for (int control = 0; control < count && control < 256; ++control) {
        uint8_t& mark = presses.windows_left[control];
        if (new_window && mark > 0) --mark;
        if ((after[control] & 0x80) && !(before[control] & 0x80)) mark = 2;
    }
}

bool test_press(UntestedPresses& presses, const uint8_t* state, uint8_t control) {
    const bool marked = presses.windows_left[control] > 0;
    presses.windows_left[control] = 0;
    return marked || (state[control] & 0x80) != 0;
}

}  // namespace kvn
