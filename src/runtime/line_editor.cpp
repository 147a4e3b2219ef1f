#include "runtime/line_editor.h"

namespace kvn {

namespace {
constexpr int32_t kLineFeed = 10;
constexpr int32_t kBackspace = 8;
}  // namespace

bool line_edit_step(LineEditor& editor, StringValue& text, int32_t character) {
    if (character == 0) {
        if (++editor.blink_counter > kCursorBlinkFrames) {
            editor.blink_counter = 0;
            editor.cursor_visible = !editor.cursor_visible;
        }
        return false;
    }
    if (character == kLineFeed) return true;
    if (character == kBackspace) {
        if (!text.empty()) text.set_length(static_cast<int64_t>(text.length()) - 1);
        return false;
    }
    const char typed[2] = {static_cast<char>(character), '\0'};
    text += typed;
    return false;
}

StringValue line_edit_display(const LineEditor& editor, const StringValue& text) {
    return editor.cursor_visible ? text + "_" : text;
}

}  // namespace kvn
