#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/process.h"

namespace kvn::platform {
namespace {

namespace fs = std::filesystem;

// Sets (or with nullopt unsets) an environment variable for one test, restoring it afterwards.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_value_ = old;
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (old_value_) {
            setenv(name_, old_value_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_value_;
};

// A fresh empty directory, removed with everything in it at the end of the test.
class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "kvn_system_test_XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        EXPECT_NE(made, nullptr) << "cannot make a scratch directory";
        if (made) path_ = made;
    }
    ~ScratchDirectory() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

int run_shell(const char* command) {
    ProcessId process = 0;
    if (!process_start(command, &process)) return -1000;
    return process_wait(process);
}

TEST(SystemPaths, TempDirectoryAlwaysEndsInSlash) {
    {
        ScopedEnvironment tmpdir("TMPDIR", std::nullopt);
        EXPECT_EQ(temp_directory(), "/tmp/");
    }
    {
        ScopedEnvironment tmpdir("TMPDIR", "/var/tmp");
        EXPECT_EQ(temp_directory(), "/var/tmp/");
    }
    {
        ScopedEnvironment tmpdir("TMPDIR", "/scratch/");
        EXPECT_EQ(temp_directory(), "/scratch/");
    }
}

TEST(SystemPaths, NativePathTurnsBackslashesAndDropsTrailingDots) {
    EXPECT_EQ(native_path("vd.gfx."), "vd.gfx");
    EXPECT_EQ(native_path("data\\gfx\\ship.png"), "data/gfx/ship.png");
    EXPECT_EQ(native_path("dir\\vd.gfx."), "dir/vd.gfx");
    EXPECT_EQ(native_path("name.."), "name");
    EXPECT_EQ(native_path("."), ".");
    EXPECT_EQ(native_path(".."), "..");
    EXPECT_EQ(native_path("dir/."), "dir/.");
    EXPECT_EQ(native_path("..\\up"), "../up");
    EXPECT_EQ(native_path("dir./file"), "dir./file");
    EXPECT_EQ(native_path("dir/"), "dir/");
    EXPECT_EQ(native_path(""), "");
    EXPECT_EQ(native_path(nullptr), "");
}

TEST(SystemPaths, WorkingDirectoryChangesAndReadsBack) {
    ScratchDirectory scratch;
    std::string before = working_directory();
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(set_working_directory(scratch.path().c_str()));
    EXPECT_EQ(fs::path(working_directory()), fs::canonical(scratch.path()));
    EXPECT_FALSE(set_working_directory((scratch.path() / "missing").c_str()));
    ASSERT_TRUE(set_working_directory(before.c_str()));
    EXPECT_EQ(working_directory(), before);
}

TEST(SystemProcess, ProgramPathAndCommandLineNameThisProgram) {
    std::string program = executable_path();
    EXPECT_EQ(program.front(), '/');
    EXPECT_EQ(fs::path(program).filename(), "kvn_unit_tests");
    std::string line = command_line();
    EXPECT_NE(line.find("kvn_unit_tests"), std::string::npos) << line;
}

TEST(SystemProcess, StartAndWaitReportExitCodesAndSignals) {
    EXPECT_EQ(run_shell("exit 0"), 0);
    EXPECT_EQ(run_shell("exit 3"), 3);
    EXPECT_EQ(run_shell("kill -9 $$"), 128 + 9);
    EXPECT_EQ(run_shell("kill -15 $$"), 128 + 15);
    EXPECT_EQ(run_shell("no_such_program_kvn_test 2>/dev/null"), 127);
    EXPECT_EQ(process_wait(-99999), -1);
    ProcessId process = 0;
    EXPECT_FALSE(process_start(nullptr, &process));
}

TEST(SystemProcess, ChildGetsEnvironmentAndDirectoryButNoExtraDescriptors) {
    ScopedEnvironment value("KVN_SYSTEM_TEST_VALUE", "a b");
    EXPECT_EQ(run_shell("[ \"$KVN_SYSTEM_TEST_VALUE\" = 'a b' ]"), 0);

    ScratchDirectory scratch;
    std::string before = working_directory();
    ASSERT_TRUE(set_working_directory(scratch.path().c_str()));
    EXPECT_EQ(run_shell("touch made_by_child"), 0);
    ASSERT_TRUE(set_working_directory(before.c_str()));
    EXPECT_TRUE(fs::exists(scratch.path() / "made_by_child"));

    // A descriptor the parent opened without close-on-exec must not reach the child.
    std::FILE* file = std::fopen((scratch.path() / "open_file").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::string probe = "[ ! -e /proc/self/fd/" + std::to_string(fileno(file)) + " ]";
    EXPECT_EQ(run_shell(probe.c_str()), 0);
    std::fclose(file);
}

TEST(SystemLocale, UiLocaleTakesFirstNonEmptyVariable) {
    ScopedEnvironment all("LC_ALL", "");
    ScopedEnvironment messages("LC_MESSAGES", "fr_FR.UTF-8");
    ScopedEnvironment lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(ui_locale(), "fr_FR.UTF-8");
    {
        ScopedEnvironment all_set("LC_ALL", "ja_JP.UTF-8");
        EXPECT_EQ(ui_locale(), "ja_JP.UTF-8");
    }
    {
        ScopedEnvironment no_messages("LC_MESSAGES", std::nullopt);
        EXPECT_EQ(ui_locale(), "de_DE.UTF-8");
        ScopedEnvironment no_lang("LANG", std::nullopt);
        EXPECT_EQ(ui_locale(), "");
    }
}

TEST(SystemMachine, IdentityIsStableAndNoDebuggerIsAttached) {
    EXPECT_FALSE(debugger_attached());
    EXPECT_EQ(machine_serial(7), machine_serial(7));
    EXPECT_EQ(machine_serial(7), machine_serial(8)) << "this machine has an id to read";
    int battery = battery_percent();
    EXPECT_TRUE((battery >= 0 && battery <= 100) || battery == 255) << battery;
    LocalTime now = local_time();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.hour < 24 && now.minute < 60 && now.second <= 60);
}

TEST(SystemMachine, DocumentsFolderFromUserDirsThenDocuments) {
    ScratchDirectory home;
    ScopedEnvironment home_variable("HOME", home.path().string());
    ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(documents_folder(), "");

    fs::create_directories(home.path() / "Documents");
    EXPECT_EQ(documents_folder(), (home.path() / "Documents").string());

    fs::create_directories(home.path() / ".config");
    fs::create_directories(home.path() / "Papers");
    std::ofstream(home.path() / ".config/user-dirs.dirs")
        << "# written by the test\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        << "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
    EXPECT_EQ(documents_folder(), (home.path() / "Papers").string());

    // A listed folder that does not exist falls back to ~/Documents.
    fs::remove(home.path() / "Papers");
    EXPECT_EQ(documents_folder(), (home.path() / "Documents").string());
}

TEST(SystemDialogs, DisabledDialogsWriteToStandardErrorAndCancel) {
    ScopedEnvironment no_dialogs("KVN_NO_DIALOGS", "1");
    EXPECT_TRUE(dialogs_disabled());
    testing::internal::CaptureStderr();
    message_box_warning("Caption", "Warning text");
    debug_string("first\nsecond");
    debug_string("ends in a line feed\r\n");
    message_box_warning("K\xfc", "unterst\xfctzt");
    beep();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Caption: Warning text\nfirst second\nends in a line feed\n"
              "K\xc3\xbc: unterst\xc3\xbctzt\n\a");
    EXPECT_EQ(file_dialog(true, {{"Pictures", "*.png;*.bmp"}}, "/tmp"), "");

    ScopedEnvironment dialogs_on("KVN_NO_DIALOGS", "0");
    EXPECT_FALSE(dialogs_disabled());
}

TEST(SystemDialogs, FileDialogRunsZenityWithFiltersAndReadsTheChoice) {
    ScratchDirectory scratch;
    fs::path fake = scratch.path() / "zenity";
    fs::path arguments = scratch.path() / "arguments";
    // Stands in for the dialog program: records its arguments, answers like a chosen file,
    // or cancels when the directory asks for it.
    std::ofstream(fake) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '"
                        << arguments.string() << "'\n"
                        << "case \"$*\" in *cancel*) exit 1;; esac\necho '/chosen/ship one.png'\n";
    fs::permissions(fake, fs::perms::owner_all);
    ScopedEnvironment path("PATH", scratch.path().string() + ":" + std::getenv("PATH"));
    ScopedEnvironment dialogs_on("KVN_NO_DIALOGS", std::nullopt);

    std::vector<FileFilter> filters = {{"Pictures", "*.png;*.bmp"}, {"All files", "*.*"}};
    EXPECT_EQ(file_dialog(false, filters, "/home/player"), "/chosen/ship one.png");
    std::ifstream recorded(arguments);
    std::string recorded_text((std::istreambuf_iterator<char>(recorded)),
                              std::istreambuf_iterator<char>());
    EXPECT_EQ(recorded_text,
              "--file-selection\n--save\n--filename=/home/player/\n"
              "--file-filter=Pictures | *.png *.bmp\n--file-filter=All files | *.*\n");

    EXPECT_EQ(file_dialog(true, {}, "/cancel/"), "");
}

}  // namespace
}  // namespace kvn::platform
