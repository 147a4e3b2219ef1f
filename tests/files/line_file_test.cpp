// Line files: reading by line number, storing, and the write-back on selection and at exit.
#include <gtest/gtest.h>

#include <string>

#include "files/media_reader.h"
#include "kvn/files.h"
#include "kvn/runtime.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

using testing_support::read_file;
using testing_support::write_file;

class LineFileTest : public testing_support::ScratchDirectoryTest {
  protected:
    void TearDown() override {
        // Selecting a file that nobody writes flushes whatever a test left modified.
        StringValue ignored;
        line_file_get("", 0, ignored);
        ScratchDirectoryTest::TearDown();
    }
};

TEST_F(LineFileTest, GetsLinesAndReportsMissingData) {
    write_file(directory_ / "two.txt", "first\r\nsecond \x01\xA0\n");
    StringValue text;
    EXPECT_EQ(line_file_get("two.txt", 0, text), 0);
    EXPECT_EQ(text, "first");
    EXPECT_EQ(line_file_get("two.txt", 1, text), 0);
    EXPECT_EQ(text, "second ");  // trailing controls and high bytes removed
    EXPECT_EQ(line_file_get("two.txt", 3, text), 0);
    EXPECT_EQ(text, "NO_DATA");
    set_error(0);
    EXPECT_EQ(line_file_get("two.txt", 300, text), 7);
    EXPECT_EQ(text, "NO_DATA");
    EXPECT_EQ(get_error_code(), 7);
    EXPECT_EQ(line_file_get("two.txt", -1, text), 7);

    EXPECT_EQ(line_file_get("missing.txt", 0, text), 3);
    EXPECT_EQ(text, "NO_FILE");
    EXPECT_EQ(line_file_get("missing.txt", 1, text), 3);  // still missing on the next call
    EXPECT_EQ(text, "NO_FILE");

    write_file(directory_ / "numbers.txt", "2.5\n-17\n");
    double number = 0;
    int32_t integer = 0;
    EXPECT_EQ(line_file_get("numbers.txt", 0, number), 0);
    EXPECT_EQ(line_file_get("numbers.txt", 1, integer), 0);
    EXPECT_EQ(number, 2.5);
    EXPECT_EQ(integer, -17);

    const std::string long_line(1500, 'y');
    write_file(directory_ / "long.txt", long_line + "\nafter");
    EXPECT_EQ(line_file_get("long.txt", 0, text), 0);
    EXPECT_EQ(std::string(text.c_str()), std::string(1024, 'y'));
    EXPECT_EQ(line_file_get("long.txt", 1, text), 0);
    EXPECT_EQ(text, "after");
}

TEST_F(LineFileTest, PutWritesBackWhenAnotherFileIsSelected) {
    write_file(directory_ / "scores.txt", "100\r\n200\r\n300\r\n");
    write_file(directory_ / "other.txt", "x");
    EXPECT_EQ(line_file_put("scores.txt", 1, "250"), 0);
    EXPECT_EQ(line_file_put("scores.txt", 4, 1.5), 0);
    EXPECT_EQ(read_file(directory_ / "scores.txt"), "100\r\n200\r\n300\r\n");  // still cached
    StringValue text;
    EXPECT_EQ(line_file_get("other.txt", 0, text), 0);
    // Lines that were only read are kept; the gap up to the highest line is empty.
    EXPECT_EQ(read_file(directory_ / "scores.txt"), "100\r\n250\r\n300\r\n\r\n1.5\r\n");

    EXPECT_EQ(line_file_put("new.txt", 0, int32_t{-3}), 0);  // a missing file is created
    EXPECT_EQ(line_file_get("new.txt", 0, text), 0);
    EXPECT_EQ(text, "-3");
    EXPECT_EQ(line_file_put("new.txt", 256, "no"), 7);
    EXPECT_EQ(line_file_get("scores.txt", 1, text), 0);
    EXPECT_EQ(text, "250");
    EXPECT_EQ(read_file(directory_ / "new.txt"), "-3\r\n");

    const std::string too_long(2000, 'z');
    EXPECT_EQ(line_file_put("new.txt", 0, too_long.c_str()), 0);
    EXPECT_EQ(line_file_get("new.txt", 0, text), 0);
    EXPECT_EQ(text.length(), 1023u);
}

TEST_F(LineFileTest, MemoryImageIsReadButNeverWritten) {
    const uint32_t image = memory_image_add({'a', '\n', 'b'});
    const StringValue name = memory_image_name(image);
    StringValue text;
    EXPECT_EQ(line_file_get(name, 1, text), 0);
    EXPECT_EQ(text, "b");
    EXPECT_EQ(line_file_put(name, 0, "changed"), 0);
    EXPECT_EQ(line_file_get("", 0, text), 3);
    EXPECT_TRUE(std::filesystem::is_empty(directory_));
    memory_image_remove(image);
}

}  // namespace
}  // namespace kvn
