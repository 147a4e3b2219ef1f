#include "runtime/line_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvn {
namespace {

// One frame of typing: the character inkey_char gave, or 0 repeated `frames` times.
struct Frames {
    int32_t character;
    int count = 1;
};

struct EditRun {
    std::string text;
    bool ended = false;
    // The cursor as drawn after each frame that did not end the input, '_' shown, '.' not.
    std::string cursor;
};

EditRun run(const char* start, const std::vector<Frames>& frames) {
    StringValue text(start);
    LineEditor editor;
    EditRun result;
    for (const Frames& step : frames) {
        for (int i = 0; i < step.count && !result.ended; ++i) {
            result.ended = line_edit_step(editor, text, step.character);
            if (!result.ended) result.cursor += editor.cursor_visible ? '_' : '.';
        }
    }
    result.text = text.c_str();
    return result;
}

TEST(LineEditor, EditsTheTextFrameByFrame) {
    const struct {
        const char* start;
        std::vector<Frames> frames;
        const char* text;
        bool ended;
    } cases[] = {
        {"", {{'1'}, {'2'}, {'a'}, {10}}, "12a", true},
        {"", {{8}, {8}, {'7'}, {10}}, "7", true},             // Backspace on nothing
        {"abc", {{8}, {'x'}, {10}}, "abx", true},              // starts from the caller's text
        {"", {{'\t'}, {0x7f}, {0xe9}}, "\t\x7f\xe9", false},   // anything else is appended
        {"ab", {{10}, {'c'}}, "ab", true},                     // nothing after Enter
    };
    for (const auto& c : cases) {
        const EditRun result = run(c.start, c.frames);
        EXPECT_EQ(result.text, c.text) << c.start;
        EXPECT_EQ(result.ended, c.ended) << c.start;
    }
}

TEST(LineEditor, CursorChangesAfterMoreThanTwentyFramesWithoutTyping) {
    const std::string hidden20(20, '.'), shown21(21, '_');
    const struct {
        std::vector<Frames> frames;
        std::string cursor;
    } cases[] = {
        // Enter within 21 frames: the cursor never shows.
        {{{0, 20}, {10}}, hidden20},
        {{{0, 21}}, hidden20 + "_"},
        {{{0, 42}}, hidden20 + shown21 + "."},
        // Typing does not reset the counter: 10 + 10 quiet frames around a key still toggle.
        {{{0, 10}, {'a'}, {0, 11}}, std::string(10, '.') + "." + std::string(10, '.') + "_"},
    };
    for (const auto& c : cases) {
        const EditRun result = run("", c.frames);
        EXPECT_EQ(result.cursor, c.cursor);
    }
    LineEditor shown;
    shown.cursor_visible = true;
    EXPECT_STREQ(line_edit_display(shown, "ab").c_str(), "ab_");
    EXPECT_STREQ(line_edit_display(LineEditor(), "ab").c_str(), "ab");
}

}  // namespace
}  // namespace kvn
