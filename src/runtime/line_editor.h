// The editing rules of the blocking line input, apart from drawing and the frame loop: one
// call per frame with what the keyboard typed in that frame.
#pragma once

#include <cstdint>

#include "kvn/value.h"

namespace kvn {

// Frames without a typed character after which the cursor changes (it changes on the 21st).
constexpr int32_t kCursorBlinkFrames = 20;

// The blink state of one line input. Typing never resets it.
struct LineEditor {
    int32_t blink_counter = 0;
    bool cursor_visible = false;
};

// Applies one frame's character (0 = none, 10 = Enter, 8 = Backspace, anything else appended)
// to the text; true when Enter ended the input.
bool line_edit_step(LineEditor& editor, StringValue& text, int32_t character);

// The text as it is drawn: followed by "_" while the cursor is visible.
StringValue line_edit_display(const LineEditor& editor, const StringValue& text);

}  // namespace kvn
