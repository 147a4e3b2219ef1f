// The configuration store: reading rules, changes, write-back and hostile bytes.
#include "files/config_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/media_reader.h"
#include "kvn/files.h"
#include "kvn/runtime.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class ConfigStoreTest : public testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        forget_store();
    }

    void TearDown() override {
        forget_store();
        fs::permissions(directory_, fs::perms::owner_all, fs::perm_options::add);
        ScratchDirectoryTest::TearDown();
    }

    // Empties the store without writing anything back.
    static void forget_store() {
        config_store().modified = false;
        config_open("");
    }

    std::string path(const std::string& name) const { return (directory_ / name).string(); }

    static void write(const std::string& file, const std::string& bytes) {
        testing_support::write_file(file, bytes);
    }

    static std::string read(const std::string& file) { return testing_support::read_file(file); }

    // Opens a file holding the bytes.
    void open_with(const std::string& bytes) {
        write(path("store.ini"), bytes);
        config_open(path("store.ini").c_str());
    }

    static std::string get(const char* section, const char* key) {
        return config_get(section, key, "<default>").c_str();
    }
};

TEST_F(ConfigStoreTest, ReadsSectionsAndEntriesByTheLineRules) {
    open_with("[a]\nx=1\n[a]\ny=2\n");
    ASSERT_EQ(config_store().sections.size(), 2u);
    EXPECT_EQ(get("a", "x"), "1");
    EXPECT_EQ(get("a", "y"), "<default>");

    open_with(
        "top=first\n"
        "; note=comment\n"
        "  \t[ video ]\n"
        "width  =  640\n"
        "height 480\n"
        "depth=\n"
        "depth2 =   \t\n"
        "title =\tA = B  \t\r\n"
        "[]\n"
        "still=video\n"
        "[empty]\n"
        "[last]\n"
        "\t z=26\n");
    const auto& sections = config_store().sections;
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(sections[0].name, "");
    EXPECT_EQ(sections[1].name, "video");
    EXPECT_EQ(sections[2].name, "video");
    EXPECT_EQ(sections[3].name, "last");
    EXPECT_EQ(get("", "top"), "first");
    EXPECT_EQ(get("", "note"), "<default>");
    EXPECT_EQ(get("video", "width"), "640");
    EXPECT_EQ(get("video", "height"), "<default>");
    EXPECT_EQ(get("video", "height 480"), "<default>");
    EXPECT_EQ(get("video", "depth"), "<default>");
    EXPECT_EQ(get("video", "depth2"), "<default>");
    EXPECT_EQ(get("video", "title"), "A = B  ");
    EXPECT_EQ(get("video", "still"), "<default>");
    EXPECT_EQ(sections[2].entries[0].value, "video");
    EXPECT_EQ(get("empty", "z"), "<default>");
    EXPECT_EQ(get("last", "z"), "26");
    EXPECT_FALSE(config_store().modified);
}

TEST_F(ConfigStoreTest, MatchesNamesIgnoringCaseFirstMatchWins) {
    open_with("[Video]\nWIDTH=640\nwidth=800\n[VIDEO]\nheight=480\n");
    EXPECT_EQ(get("video", "width"), "640");
    EXPECT_EQ(get("vIdEo", "Width"), "640");
    EXPECT_EQ(get("video", "height"), "<default>");
    EXPECT_EQ(get("vide", "width"), "<default>");
    EXPECT_EQ(get("video", "widths"), "<default>");
}

TEST_F(ConfigStoreTest, HostileBytesAreReadWithoutOverrun) {
    // Only the first 1024 bytes of a line count; the rest never becomes a line of its own.
    const std::string long_value(1100, 'v');
    open_with("[a]\nlong=" + long_value + "hidden=1\n" + std::string(2000, ' ') + "late=1\nok=1");
    EXPECT_EQ(get("a", "long"), long_value.substr(0, 1024 - 5));
    EXPECT_EQ(get("a", "hidden"), "<default>");
    EXPECT_EQ(get("a", "late"), "<default>");
    EXPECT_EQ(get("a", "ok"), "1");

    // A NUL ends the line's content; CR LF ends; a last line without newline counts.
    open_with("[n]\r\nk=ab\0cd\r\nnul\0=x\r\nlast=yes"s);
    EXPECT_EQ(get("n", "k"), "ab");
    EXPECT_EQ(get("n", "nul"), "<default>");
    EXPECT_EQ(get("n", "last"), "yes");

    // A byte-order mark is part of the first line: the header turns into an ignored line.
    open_with("\xEF\xBB\xBF[bom]\nk=v\n");
    EXPECT_EQ(get("bom", "k"), "<default>");
    EXPECT_EQ(get("", "k"), "v");
    open_with("\xEF\xBB\xBFkey=v\n");
    EXPECT_EQ(get("\xEF\xBB\xBFkey", ""), "<default>");
    EXPECT_EQ(get("", "\xEF\xBB\xBFkey"), "v");

    // Trailing controls and bytes >= 0x80 are trimmed; a value made only of them is ignored.
    open_with("[t]\nhigh=caf\xC3\xA9\nonly=\x80\x01\xFF\nspace=x  \n");
    EXPECT_EQ(get("t", "high"), "caf");
    EXPECT_EQ(get("t", "only"), "<default>");
    EXPECT_EQ(get("t", "space"), "x  ");

    open_with("");
    EXPECT_TRUE(config_store().sections.empty());
}

TEST_F(ConfigStoreTest, PutCreatesReplacesAndDeletesEntries) {
    open_with("[a]\nk1=1\nk2=2\nk3=3\n");
    config_put("A", "K2", "two");
    EXPECT_TRUE(config_store().modified);
    EXPECT_EQ(get("a", "k2"), "two");

    // Deleting moves the last entry into the place of the deleted one.
    config_put("a", "k1", "");
    const auto& entries = config_store().sections[0].entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, "k3");
    EXPECT_EQ(entries[1].key, "k2");

    // A missing key with an empty value is appended; a reload of the written file drops it.
    config_put("a", "blank", "");
    config_put("new", "n", "1");
    EXPECT_EQ(config_store().sections[0].entries.size(), 3u);
    EXPECT_EQ(get("new", "n"), "1");
    config_open(path("store.ini").c_str());
    EXPECT_EQ(read(path("store.ini")), "[a]\r\nk3=3\r\nk2=two\r\nblank=\r\n[new]\r\nn=1\r\n");
    EXPECT_EQ(config_store().sections[0].entries.size(), 2u);
    EXPECT_EQ(get("a", "blank"), "<default>");
    EXPECT_FALSE(config_store().modified);

    // With no file open changes stay in memory.
    config_open("");
    config_put("mem", "k", "v");
    EXPECT_EQ(get("mem", "k"), "v");
    config_open("");
    EXPECT_EQ(get("mem", "k"), "<default>");
}

TEST_F(ConfigStoreTest, DeletedSectionReachesTheFileOnlyWithAKeyChange) {
    const std::string text = "[a]\r\nx=1\r\n[b]\r\ny=2\r\n[c]\r\nz=3\r\n";
    open_with(text);
    config_put("A", "", "");
    EXPECT_FALSE(config_store().modified);
    EXPECT_EQ(get("a", "x"), "<default>");
    EXPECT_EQ(config_store().sections[0].name, "c");
    config_put("missing", "", "");
    config_open("");
    EXPECT_EQ(read(path("store.ini")), text);

    config_open(path("store.ini").c_str());
    config_put("a", "", "");
    config_put("b", "y", "22");
    config_open("");
    EXPECT_EQ(read(path("store.ini")), "[c]\r\nz=3\r\n[b]\r\ny=22\r\n");
}

TEST_F(ConfigStoreTest, WritesBackOnNextOpenAndOnCloseOnlyWhenModified) {
    write(path("other.ini"), "[o]\nq=1\n");
    open_with("; kept comment\n[s]\nk = v\n");
    config_open(path("other.ini").c_str());
    EXPECT_EQ(read(path("store.ini")), "; kept comment\n[s]\nk = v\n");

    config_open(path("store.ini").c_str());
    config_put("s", "k", "w");
    config_open(path("other.ini").c_str());
    EXPECT_EQ(read(path("store.ini")), "[s]\r\nk=w\r\n");
    EXPECT_EQ(get("o", "q"), "1");

    config_put("o", "r", "2");
    config_open("");
    EXPECT_EQ(read(path("other.ini")), "[o]\r\nq=1\r\nr=2\r\n");
    EXPECT_EQ(get("o", "q"), "<default>");

    // A missing file opens empty and is created by the write-back; '\' counts as '/'.
    std::string backslashed = path("created.ini");
    backslashed[backslashed.rfind('/')] = '\\';
    config_open(backslashed.c_str());
    EXPECT_TRUE(config_store().sections.empty());
    config_put("", "top", "1");
    config_open("");
    EXPECT_EQ(read(path("created.ini")), "[]\r\ntop=1\r\n");
}

TEST_F(ConfigStoreTest, MemoryStoreIsReadAndChangedButNeverWritten) {
    const std::string text = "[m]\nK=v\n";
    const uint32_t handle = memory_image_add(std::vector<uint8_t>(text.begin(), text.end()));
    const StringValue name = memory_image_name(handle);
    const fs::path previous = fs::current_path();
    fs::current_path(directory_);
    config_open(name);
    EXPECT_EQ(config_store().file_name, name);
    EXPECT_EQ(get("M", "k"), "v");
    config_put("m", "k", "changed");
    EXPECT_EQ(get("m", "k"), "changed");
    config_open("");
    fs::current_path(previous);
    EXPECT_TRUE(fs::is_empty(directory_));
    MemoryImageView image;
    ASSERT_TRUE(memory_image_find(name.c_str(), &image));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data), image.size), text);
    memory_image_remove(handle);
}

TEST_F(ConfigStoreTest, FailedWriteKeepsTheOldContent) {
    // The name is a directory: nothing replaces it, no error is reported.
    fs::create_directories(path("folder.ini/inner"));
    config_open(path("folder.ini").c_str());
    config_put("a", "b", "c");
    config_open("");
    EXPECT_TRUE(fs::is_directory(path("folder.ini/inner")));
    EXPECT_EQ(get_error_code(), 0);

    // The temporary file beside cannot be made (its name is too long): the old file stays.
    const std::string longest(250, 'n');
    write(path(longest), "[old]\nk=1\n");
    config_open(path(longest).c_str());
    config_put("old", "k", "2");
    config_open("");
    EXPECT_EQ(read(path(longest)), "[old]\nk=1\n");

    // A directory that cannot be written to (only checkable without administrator rights).
    open_with("[old]\nk=1\n");
    config_put("old", "k", "2");
    fs::permissions(directory_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const bool privileged = static_cast<bool>(std::ofstream(path("probe")));
    config_open("");
    EXPECT_EQ(read(path("store.ini")), privileged ? "[old]\r\nk=2\r\n" : "[old]\nk=1\n");
}

TEST_F(ConfigStoreTest, WritesBackWhenTheProcessEnds) {
    write(path("exit.ini"), "[run]\ncount=2\n");
    EXPECT_EXIT(
        {
            config_open(path("exit.ini").c_str());
            config_put("run", "by", "command");
            end_with_command("true");
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(read(path("exit.ini")), "[run]\r\ncount=2\r\nby=command\r\n");

    // Unchanged at the end: the file is left as it was.
    write(path("exit.ini"), "[run]\n count = 3\n");
    EXPECT_EXIT(
        {
            config_open(path("exit.ini").c_str());
            end_program();
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(read(path("exit.ini")), "[run]\n count = 3\n");
}

}  // namespace
}  // namespace kvn
