// Error state, error texts, call-by-name and the end paths of the window procedure.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/error_state.h"
#include "platform/events.h"
#include "platform/system.h"
#include "runtime/runtime_state.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

int draw_fps_calls = 0;
double Draw_FPS() {
    ++draw_fps_calls;
    return 0;
}
double Process_Player() {
    return 0;
}

const SubTableEntry test_sub_table[] = {
    {Process_Player, "Process_Player"},
    {Draw_FPS, "Draw_FPS"},
    {nullptr, "never reached"},
};

class ErrorStateTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = runtime.sub_table;
        runtime.sub_table = test_sub_table;
        error_state.error_code = error_state.error_line = error_state.current_line = 0;
    }
    void TearDown() override { runtime.sub_table = saved_; }

  private:
    const SubTableEntry* saved_ = nullptr;
};

TEST_F(ErrorStateTest, ErrorTextHasFourDigitsAndTheCodesOwnText) {
    const struct {
        double code;
        const char* text;
    } cases[] = {
        {0, "0000 success"},        {3, "0003 no such file"},       {7, "0007 out of memory"},
        {8, "0008 unknown error"},  {9, "0009 out of bounds"},      {20, "0020 out of data"},
        {21, "0021 unknown error"}, {12345, "12345 unknown error"}, {-3.9, "-0003 unknown error"}};
    for (const auto& c : cases) {
        set_error(c.code);
        EXPECT_STREQ(error_text().c_str(), c.text) << c.code;
    }
}

TEST_F(ErrorStateTest, SetErrorTruncatesAndRecordsTheCurrentLine) {
    set_source_position(4, 120);
    set_error(9.99);
    EXPECT_EQ(get_error_code(), 9);
    EXPECT_EQ(get_error_line(), 120);
    EXPECT_EQ(error_state.current_module, 4);
    set_error(-2.5);
    EXPECT_EQ(get_error_code(), -2);
    // Codes beyond 32 bits do not wrap into small, plausible codes.
    set_error(1e12);
    EXPECT_EQ(get_error_code(), INT32_MIN);
}

TEST_F(ErrorStateTest, FindSubMatchesWholeNamesCaseSensitively) {
    EXPECT_EQ(find_sub("Draw_FPS"), &Draw_FPS);
    EXPECT_EQ(find_sub("Process_Player"), &Process_Player);
    EXPECT_EQ(find_sub("draw_fps"), nullptr);
    EXPECT_EQ(find_sub("Draw_FP"), nullptr);
    EXPECT_EQ(find_sub("Draw_FPSX"), nullptr);
    EXPECT_EQ(find_sub(""), nullptr);
    runtime.sub_table = nullptr;
    EXPECT_EQ(find_sub("Draw_FPS"), nullptr);
}

TEST_F(ErrorStateTest, CallByNameCallsFoundSubsOnly) {
    draw_fps_calls = 0;
    EXPECT_EQ(call_by_name("Draw_FPS"), 1);
    EXPECT_EQ(draw_fps_calls, 1);
    EXPECT_EQ(call_by_name("draw_fps"), 0);
    EXPECT_EQ(call_by_name("KVN_ON_QUIT"), 0);
    EXPECT_EQ(draw_fps_calls, 1);
}

TEST_F(ErrorStateTest, DebuggerChannelIsSilentWithoutADebugger) {
    ASSERT_FALSE(platform::debugger_attached());
    testing::internal::CaptureStderr();
    debug_output("hello");
    debug_break(255);
    call_by_name("No_Such_Sub");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(runtime.reactivate_request);
}

using EndTest = testing_support::ScratchDirectoryTest;

TEST_F(EndTest, EndStatementClearsTheCodeAndFailedAssertionsEndWith21) {
    const struct {
        void (*statement)();
        int32_t code;
    } cases[] = {
        {[] {
             set_error(9);
             end_statement();
         },
         0},
        {[] { assert_value(0); }, 21},
    };
    for (const auto& c : cases) {
        expect_end_record();
        EXPECT_EXIT(c.statement(), testing::ExitedWithCode(0), "");
        EXPECT_EQ(ended_with_code(), c.code);
    }
    // Non-zero values pass: the test would fail here if they ended the process.
    set_error(0);
    assert_value(1);
    assert_value(-1);
    EXPECT_EQ(get_error_code(), 0);
}

TEST(ConsoleTest, WritesWithoutNewlineAndReadsLinesWithoutTheirEnds) {
    testing::internal::CaptureStdout();
    console_write("no newline");
    console_write("; still the same line");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "no newline; still the same line");

    char input_path[] = "/tmp/kvn_console_XXXXXX";
    const int input = mkstemp(input_path);
    ASSERT_GE(input, 0);
    const std::string long_line(5000, 'x');
    const std::string lines = "first line\r\nsecond\n" + long_line + "\n";
    ASSERT_EQ(write(input, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    close(input);
    std::FILE* saved = stdin;
    stdin = std::fopen(input_path, "r");
    ASSERT_NE(stdin, nullptr);
    EXPECT_STREQ(console_read_line().c_str(), "first line");
    EXPECT_STREQ(console_read_line().c_str(), "second");
    // At most 4095 characters per read; the rest of a longer line comes with the next.
    EXPECT_EQ(console_read_line().length(), 4095u);
    EXPECT_EQ(console_read_line().length(), 5000u - 4095u);
    EXPECT_TRUE(console_read_line().empty());
    std::fclose(stdin);
    stdin = saved;
    std::remove(input_path);
}

TEST(WindowProcedureTest, AnswersForEachMessage) {
    runtime.auto_pause = true;
    runtime.paused = false;
    runtime.window_title = "Game";
    EXPECT_EQ(window_procedure(nullptr, platform::kMessageEraseBackground, 0, 0), 1);
    EXPECT_EQ(window_procedure(nullptr, platform::kMessageSystemCommand, 0xF140, 0), 0);
    EXPECT_EQ(window_procedure(nullptr, platform::kMessageSystemCommand, 0xF172, 0), 0);
    EXPECT_EXIT(window_procedure(nullptr, platform::kMessageClose, 0, 0),
                testing::ExitedWithCode(0), "");
    EXPECT_EXIT(window_procedure(nullptr, platform::kMessageSystemCommand, 0xF063, 0),
                testing::ExitedWithCode(0), "");
}

TEST(WindowProcedureTest, ActivationPausesOnlyWithAutoPauseInReleaseMode) {
    runtime.auto_pause = true;
    project_settings.debug_mode = 0;
    runtime.paused = false;
    window_procedure(nullptr, platform::kMessageActivate, 0, 0);
    EXPECT_TRUE(runtime.paused);
    window_procedure(nullptr, platform::kMessageActivate, 3, 0);  // not an activation state
    EXPECT_TRUE(runtime.paused);
    window_procedure(nullptr, platform::kMessageActivate, 0x10002, 0);  // high word ignored
    EXPECT_FALSE(runtime.paused);

    runtime.auto_pause = false;
    window_procedure(nullptr, platform::kMessageActivate, 0, 0);
    EXPECT_FALSE(runtime.paused);

    runtime.auto_pause = true;
    project_settings.debug_mode = 1;
    window_procedure(nullptr, platform::kMessageActivate, 0, 0);
    EXPECT_FALSE(runtime.paused);
    project_settings.debug_mode = 0;
}

}  // namespace
}  // namespace kvn
