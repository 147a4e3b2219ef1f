// The blocking line input: its own frame loop over a frozen copy of the picture, presented
// through show_screen so pausing and the end keys work as in any game frame.
#include "kvn/gfx.h"
#include "kvn/input.h"
#include "kvn/runtime.h"
#include "runtime/line_editor.h"
#include "runtime/runtime_state.h"

namespace kvn {

namespace {
// The background image that holds the frozen picture while the input runs.
constexpr int32_t kFrozenPictureBackground = 3;
}  // namespace

void line_input(StringValue& text, int32_t x, int32_t y) {
    // Without a window no key could ever end the input.
    if (!runtime.renderer || !runtime.renderer->display().window() || !runtime.input_state) return;
    VoruRERarudeve& renderer = *runtime.renderer;
    renderer.copy_picture_to_background(kFrozenPictureBackground);
    draw_background(kFrozenPictureBackground);
    print_text(text, x, y);
    show_screen();

    LineEditor editor;
    for (;;) {
        if (line_edit_step(editor, text, inkey_char())) {
            // The renderer may have been re-created by a mode switch during the input.
            if (runtime.renderer) runtime.renderer->free_background(kFrozenPictureBackground);
            return;
        }
        draw_background(kFrozenPictureBackground);
        print_text(line_edit_display(editor, text), x, y);
        show_screen();
    }
}

void line_input_int(int32_t& value, int32_t x, int32_t y) {
    StringValue text;
    line_input(text, x, y);
    value = text_to_int(text.c_str());
}

void line_input_number(double& value, int32_t x, int32_t y) {
    StringValue text;
    line_input(text, x, y);
    value = text_to_number(text.c_str());
}

}  // namespace kvn
