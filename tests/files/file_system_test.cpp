// File-system commands: copy safety, existence tests, directories, wildcards and listings.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "files/media_reader.h"
#include "kvn/files.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

using testing_support::read_file;
using testing_support::write_file;

using FileSystemTest = testing_support::ScratchDirectoryTest;

TEST_F(FileSystemTest, CopyDeleteAndExistence) {
    write_file(directory_ / "source.txt", "payload");
    EXPECT_EQ(copy_file("source.txt", "copy.txt"), 1);
    EXPECT_EQ(read_file(directory_ / "copy.txt"), "payload");

    // Onto itself, under another spelling or through a link: refused, the file untouched.
    EXPECT_EQ(copy_file("source.txt", "source.txt"), 0);
    EXPECT_EQ(copy_file("source.txt", ".\\source.txt."), 0);
    std::filesystem::create_symlink(directory_ / "source.txt", directory_ / "link.txt");
    EXPECT_EQ(copy_file("link.txt", "source.txt"), 0);
    EXPECT_EQ(read_file(directory_ / "source.txt"), "payload");

    // A failed copy leaves no destination behind.
    write_file(directory_ / "stale.txt", "stale");
    EXPECT_EQ(copy_file("absent.txt", "stale.txt"), 0);
    EXPECT_FALSE(std::filesystem::exists(directory_ / "stale.txt"));

    const uint32_t image = memory_image_add({'m', 'e', 'm'});
    EXPECT_EQ(copy_file(memory_image_name(image), "from_memory.txt"), 1);
    EXPECT_EQ(read_file(directory_ / "from_memory.txt"), "mem");
    EXPECT_EQ(file_exists(memory_image_name(image)), 1);
    memory_image_remove(image);
    EXPECT_EQ(file_exists(memory_image_name(image)), 0);

    EXPECT_EQ(file_exists("copy.txt"), 1);
    EXPECT_EQ(file_exists(".\\copy.txt"), 1);
    EXPECT_EQ(delete_file("copy.txt"), 1);
    EXPECT_EQ(file_exists("copy.txt"), 0);
    EXPECT_EQ(delete_file("copy.txt"), 0);
}

TEST_F(FileSystemTest, DirectoriesAreNeverDeletedOrReplaced) {
    write_file(directory_ / "file.txt", "payload");
    const struct {
        const char* command;
        int32_t (*run)();
        int32_t error;  // -1: the command leaves the code alone
    } cases[] = {
        {"delete_file", [] { return delete_file("dir"); }, -1},
        {"copy_file", [] { return copy_file("file.txt", "dir"); }, -1},
        {"open_file write", [] { return open_file(0, "dir", 0); }, kErrorNoSuchFile},
        {"open_file append", [] { return open_file(0, "dir\\", -1); }, kErrorNoSuchFile},
    };
    for (const auto& c : cases) {
        std::filesystem::create_directory(directory_ / "dir");
        set_error(-5);
        EXPECT_EQ(c.run(), 0) << c.command;
        EXPECT_EQ(get_error_code(), c.error == -1 ? -5 : c.error) << c.command;
        EXPECT_TRUE(std::filesystem::is_directory(directory_ / "dir")) << c.command;
    }
    EXPECT_EQ(delete_file("file.txt"), 1);
    EXPECT_FALSE(std::filesystem::exists(directory_ / "file.txt"));
}

TEST_F(FileSystemTest, SuccessClearsTheErrorCode) {
    write_file(directory_ / "there.txt", "line\r\n");
    std::filesystem::create_directory(directory_ / "sub");
    StringValue text;
    const struct {
        const char* command;
        std::function<void()> fail, succeed;
    } cases[] = {
        {"open_file", [] { open_file(0, "missing.txt", 1); }, [] { open_file(0, "there.txt", 1); }},
        {"write_text", [] { write_text(1, "closed"); },
         [] {
             open_file(1, "out.txt", 0);
             write_text(1, "open");
         }},
        {"line_file_get", [&] { line_file_get("there.txt", 300, text); },
         [&] { line_file_get("there.txt", 0, text); }},
        {"line_file_put", [] { line_file_put("there.txt", 256, "no"); },
         [] { line_file_put("there.txt", 1, "yes"); }},
        {"set_current_directory", [] { set_current_directory("missing"); },
         [] { set_current_directory("sub"); }},
    };
    for (const auto& c : cases) {
        c.fail();
        EXPECT_NE(get_error_code(), 0) << c.command << " failing";
        c.succeed();
        EXPECT_EQ(get_error_code(), 0) << c.command << " succeeding";
    }
    close_file(0);
    close_file(1);
    EXPECT_EQ(line_file_get("", 0, text), kErrorNoSuchFile);  // writes there.txt back now
    EXPECT_EQ(read_file(directory_ / "there.txt"), "line\r\nyes\r\n");
}

TEST_F(FileSystemTest, DirectoriesAndPaths) {
    EXPECT_EQ(create_directory("saves"), 1);
    EXPECT_EQ(create_directory("saves"), 0);
    EXPECT_EQ(directory_exists("saves"), 1);
    EXPECT_EQ(directory_exists("nothing"), 0);
    EXPECT_EQ(file_exists("saves"), 0);

    const StringValue start = get_current_directory();
    EXPECT_EQ(std::string(start.c_str()), directory_.string() + "/");
    EXPECT_EQ(set_current_directory("saves"), 1);
    EXPECT_EQ(std::string(get_current_directory().c_str()), directory_.string() + "/saves/");
    set_error(0);
    EXPECT_EQ(set_current_directory("nowhere"), 0);
    EXPECT_EQ(get_error_code(), 3);
    EXPECT_EQ(set_current_directory(".."), 1);

    StringValue path = "a\\b\\c.txt";
    path_to_slashes(path);
    EXPECT_EQ(path, "a/b/c.txt");
}

TEST(WildcardMatchTest, Rules) {
    EXPECT_EQ(wildcard_match("*.png", "Ship.PNG"), 1);
    EXPECT_EQ(wildcard_match("a?c", "a.c"), 0);
    EXPECT_EQ(wildcard_match("*.*", "noextension"), 1);
    EXPECT_EQ(wildcard_match("*.*x", "noextension"), 0);
    EXPECT_EQ(wildcard_match("***", ""), 1);
    EXPECT_EQ(wildcard_match("a**b", "aXXb"), 1);
    EXPECT_EQ(wildcard_match("*ab", "aab"), 1);           // retry after a false start
    EXPECT_EQ(wildcard_match("*a*b*c", "xaxbxxbyc"), 1);  // several backtracks
    EXPECT_EQ(wildcard_match("*a*b*c", "xaxbxxby"), 0);
    EXPECT_EQ(wildcard_match("*?", ""), 0);
    EXPECT_EQ(wildcard_match("a_b", "A_B"), 1);
    EXPECT_EQ(wildcard_match("a[b", "a{b"), 0);  // only letters ignore case
}

TEST_F(FileSystemTest, ListFilesPutsSortedDirectoriesBeforeMatchingFiles) {
    for (const char* name : {"b.png", "A.PNG", "c.txt", "_x.png", "a.png.bak"}) {
        write_file(directory_ / name, "");
    }
    std::filesystem::create_directory(directory_ / "Zeta");
    std::filesystem::create_directory(directory_ / "alpha.png");

    ValueArray<StringValue> names;
    const int32_t result = list_files("*.png", names);
    EXPECT_EQ(result, 3 + 65536 * 4);
    std::vector<std::string> listed;
    for (int32_t i = 0; i < names.size0; ++i) listed.emplace_back(array_element(names, i).c_str());
    EXPECT_EQ(listed, (std::vector<std::string>{".", "..", "alpha.png", "Zeta", "_x.png", "A.PNG",
                                                "b.png"}));

    EXPECT_EQ(list_files("*.none", names), 65536 * 4);
    EXPECT_EQ(names.size0, 4);
}

}  // namespace
}  // namespace kvn
