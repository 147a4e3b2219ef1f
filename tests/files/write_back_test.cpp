// The stores written back when the process ends (line file, configuration store): a file
// opened by a relative name is written where it was found, whatever the working directory is
// at the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kvn/files.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

using testing_support::read_file;
using testing_support::write_file;

using WriteBackAtExit = testing_support::ScratchDirectoryTest;

TEST_F(WriteBackAtExit, GoesToTheFileOpenedInTheDirectoryOfThatTime) {
    const struct {
        const char* name;
        const char* old_text;
        void (*change)();
        const char* new_text;
    } cases[] = {
        {"lines.txt", "keep\r\n", [] { line_file_put("lines.txt", 1, "added"); },
         "keep\r\nadded\r\n"},
        {"c.ini", "[run]\ncount=1\n",
         [] {
             config_open("c.ini");
             config_put("run", "count", "2");
         },
         "[run]\r\ncount=2\r\n"},
    };
    std::filesystem::create_directory(directory_ / "work");
    for (const auto& c : cases) {
        write_file(directory_ / "work" / c.name, c.old_text);
        EXPECT_EXIT(
            {
                set_current_directory("work");
                c.change();
                // The runtime's shutdown makes the program's directory current again.
                set_current_directory("..");
                end_program();
            },
            testing::ExitedWithCode(0), "");
        EXPECT_EQ(read_file(directory_ / "work" / c.name), c.new_text) << c.name;
        EXPECT_FALSE(std::filesystem::exists(directory_ / c.name)) << c.name;
    }
}

}  // namespace
}  // namespace kvn
