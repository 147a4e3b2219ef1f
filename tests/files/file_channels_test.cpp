// File channels: typed round trips, lines from files and memory images, fatal ends.
#include <gtest/gtest.h>

#include <string>

#include "files/files_state.h"
#include "files/media_reader.h"
#include "kvn/files.h"
#include "kvn/runtime.h"
#include "support/address_space.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

using testing_support::read_file;
using testing_support::write_file;

class FileChannelTest : public testing_support::ScratchDirectoryTest {
  protected:
    void TearDown() override {
        for (int32_t channel = 0; channel < 8; ++channel) close_file(channel);
        ScratchDirectoryTest::TearDown();
    }

    // Every line of the channel until its end.
    static std::vector<std::string> all_lines(int32_t channel) {
        std::vector<std::string> lines;
        StringValue line;
        while (!end_of_file(channel)) {
            read_line(channel, line);
            lines.emplace_back(line.c_str());
        }
        return lines;
    }
};

struct TypedCase {
    void (*write)(int32_t, double);
    void (*read)(int32_t, double&);
    double value;
};

TEST_F(FileChannelTest, TypedValuesRoundTripLittleEndian) {
    const TypedCase cases[] = {
        {write_int8, read_int8, -2},       {write_uint8, read_uint8, 200},
        {write_int16, read_int16, -12345}, {write_uint16, read_uint16, 65000},
        {write_int32, read_int32, -2e9},   {write_uint32, read_uint32, 3e9},
        {write_float, read_float, 1.5},    {write_double, read_double, -0.1},
    };
    ASSERT_EQ(open_file(0, "typed.bin", 0), 1);
    for (const TypedCase& typed : cases) typed.write(0, typed.value);
    write_text(0, "end");
    EXPECT_EQ(file_position(0), 29);
    close_file(0);

    const std::string bytes = read_file(directory_ / "typed.bin");
    ASSERT_EQ(bytes.size(), 29u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFE\xC8\xC7\xCF", 4));
    EXPECT_EQ(bytes.substr(10, 4), std::string("\x00\x5E\xD0\xB2", 4));  // 3000000000

    ASSERT_EQ(open_file(1, "typed.bin", 1), 1);
    for (const TypedCase& typed : cases) {
        double value = 0;
        typed.read(1, value);
        EXPECT_EQ(value, typed.value);
    }
    StringValue text;
    read_text_bytes(1, text, 3);
    EXPECT_EQ(text, "end");
    EXPECT_EQ(end_of_file(1), 1);
    read_text_bytes(1, text, 0);
    EXPECT_TRUE(text.empty());
}

TEST_F(FileChannelTest, OpenModesAndChannelBookkeeping) {
    EXPECT_EQ(free_file_channel(), 0);
    set_error(0);
    EXPECT_EQ(open_file(0, "missing.txt", 1), 0);
    EXPECT_EQ(get_error_code(), 3);
    EXPECT_EQ(free_file_channel(), 0);

    write_file(directory_ / "log.txt", "old contents");
    ASSERT_EQ(open_file(0, "log.txt", 0), 1);  // write anew: the old bytes are gone
    write_line(0, "first");
    EXPECT_EQ(free_file_channel(), 1);
    ASSERT_EQ(open_file(1, "log.txt", -1), 1);  // append goes after what is there
    EXPECT_EQ(file_position(1), 7);
    write_line(1, 2.5);
    write_line(1, int32_t{-7});
    close_file(0);
    close_file(1);
    EXPECT_EQ(read_file(directory_ / "log.txt"), "first\r\n2.5\r\n-7\r\n");

    ASSERT_EQ(open_file(2, "fresh.txt", -1), 1);  // append creates a missing file
    close_file(2);
    EXPECT_TRUE(std::filesystem::exists(directory_ / "fresh.txt"));

    set_error(0);
    EXPECT_EQ(open_file(3, "mem://       1.       4", 0), 0);
    EXPECT_EQ(get_error_code(), 3);
}

TEST_F(FileChannelTest, WriteModeReadsBackWhatItWrote) {
    ASSERT_EQ(open_file(0, "rw.bin", 0), 1);
    write_int32(0, 123456);
    write_line(0, "line");
    seek_file(0, 0, 0);
    double number = 0;
    read_int32(0, number);
    EXPECT_EQ(number, 123456);
    StringValue text;
    read_line(0, text);
    EXPECT_EQ(text, "line");
    EXPECT_EQ(end_of_file(0), 1);
    // Writing after a read goes where the read stopped.
    seek_file(0, 4, 0);
    write_text(0, "LI");
    seek_file(0, -6, -1);
    read_text_bytes(0, text, 6);
    EXPECT_EQ(text, "LIne\r\n");
}

TEST_F(FileChannelTest, AppendStartsAtTheEndOnceAndSeeksMoveLaterWrites) {
    write_file(directory_ / "records.bin", "0000data");
    ASSERT_EQ(open_file(0, "records.bin", -1), 1);
    EXPECT_EQ(file_position(0), 8);
    write_text(0, "more");
    seek_file(0, 0, 0);  // patch the header
    write_text(0, "0002");
    seek_file(0, 0, -1);
    write_text(0, "end");
    close_file(0);
    EXPECT_EQ(read_file(directory_ / "records.bin"), "0002datamoreend");
}

TEST_F(FileChannelTest, SeekAndPosition) {
    write_file(directory_ / "data.bin", "0123456789");
    ASSERT_EQ(open_file(0, "data.bin", 1), 1);
    StringValue text;
    seek_file(0, 4, 0);
    read_text_bytes(0, text, 2);
    EXPECT_EQ(text, "45");
    seek_file(0, 1, 1);
    EXPECT_EQ(file_position(0), 7);
    seek_file(0, -2, -1);
    read_text_bytes(0, text, 2);
    EXPECT_EQ(text, "89");
    EXPECT_EQ(end_of_file(0), 1);
    seek_file(0, -50, 1);  // kept inside the data
    EXPECT_EQ(file_position(0), 0);
}

TEST_F(FileChannelTest, LinesFromFileAndMemoryImage) {
    const std::string long_line(1500, 'x');
    const std::string content = "ab\r\ncd\n\nlone\rcr\r\n" + long_line + "\r\nlast";
    const std::vector<std::string> expected = {
        "ab", "cd", "", "lone\rcr", std::string(1024, 'x'), std::string(476, 'x'), "last"};
    write_file(directory_ / "lines.txt", content);
    const uint32_t image = memory_image_add(std::vector<uint8_t>(content.begin(), content.end()));

    ASSERT_EQ(open_file(0, "lines.txt", 1), 1);
    EXPECT_EQ(all_lines(0), expected);
    ASSERT_EQ(open_file(1, memory_image_name(image), 1), 1);
    EXPECT_EQ(all_lines(1), expected);

    write_file(directory_ / "numbers.txt", "2.75\r\n-42\r\n");
    ASSERT_EQ(open_file(2, "numbers.txt", 1), 1);
    double number = 0;
    int32_t integer = 0;
    read_line(2, number);
    read_line(2, integer);
    EXPECT_EQ(number, 2.75);
    EXPECT_EQ(integer, -42);
    memory_image_remove(image);
}

TEST_F(FileChannelTest, MemoryImageIsReadOnlyAndSurvivesItsRemoval) {
    const uint32_t image = memory_image_add({'a', 'b', '\n', 'c'});
    ASSERT_EQ(open_file(0, memory_image_name(image), 1), 1);
    memory_image_remove(image);  // the channel keeps its own copy
    set_error(0);
    write_text(0, "zz");
    EXPECT_EQ(get_error_code(), 3);
    EXPECT_EQ(all_lines(0), (std::vector<std::string>{"ab", "c"}));
}

TEST_F(FileChannelTest, FatalEnds) {
    write_file(directory_ / "crlf.txt", "ab\r\ncd");
    expect_end_record();
    EXPECT_EXIT(
        {
            StringValue line;
            open_file(0, "crlf.txt", 1);
            read_line(0, line);
            read_line(0, line);
            if (line == "cd") read_line(0, line);
            std::_Exit(1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 3);

    expect_end_record();
    EXPECT_EXIT(open_file(8, "crlf.txt", 1), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 7);
    expect_end_record();
    EXPECT_EXIT(open_file(-1, "crlf.txt", 1), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 7);

    expect_end_record();
    EXPECT_EXIT(
        {
            double value = 0;
            read_int32(5, value);  // closed channel
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 3);

    expect_end_record();
    EXPECT_EXIT(
        {
            double value = 0;
            open_file(0, "crlf.txt", 1);
            seek_file(0, -2, -1);
            read_int32(0, value);  // only two bytes left
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 3);

    expect_end_record();
    EXPECT_EXIT(
        {
            StringValue text;
            write_file(directory_ / "out.txt", "bytes");
            open_file(0, "out.txt", -1);
            seek_file(0, 0, 0);
            read_text_bytes(0, text, 1);  // a channel open for appending is not readable
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 3);

    // A program without the runtime that attached no files state of its own.
    expect_end_record();
    EXPECT_EXIT(
        {
            attach_files(nullptr);
            free_file_channel();
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 3);
}

TEST_F(FileChannelTest, AMemoryImageTooLargeToCopyEndsWithOutOfMemory) {
    if (testing_support::kAddressSanitizer) GTEST_SKIP() << "no address-space limit under ASan";
    expect_end_record();
    EXPECT_EXIT(
        {
            // The channel reads a private copy of the image, which the limit leaves no room for.
            const uint32_t image = memory_image_add(std::vector<uint8_t>(64u << 20, 'x'));
            testing_support::AddressSpaceLimit limit;
            if (!limit.active()) std::_Exit(99);
            open_file(0, memory_image_name(image), 1);
            std::_Exit(98);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 7);
}

}  // namespace
}  // namespace kvn
