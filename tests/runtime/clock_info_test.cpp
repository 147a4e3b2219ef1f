#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include "runtime/runtime_state.h"

namespace kvn {
namespace {

namespace fs = std::filesystem;
using std::chrono::steady_clock;

double milliseconds_since(steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(steady_clock::now() - start).count();
}

bool matches(const StringValue& text, const char* pattern) {
    return std::regex_match(text.c_str(), std::regex(pattern));
}

TEST(ElapsedTime, CountsFromTheStartOffset) {
    clock_init();
    clock_ms();
    double saved_offset = runtime.start_offset_ms;
    runtime.start_offset_ms = clock_ms();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    EXPECT_GE(elapsed_ms(), 2.5);
    EXPECT_LT(elapsed_ms(), 1000.0);
    runtime.start_offset_ms = saved_offset;
}

TEST(FrameTime, DifferenceOfTheLastTwoFramesOrOne) {
    double saved_latest = runtime.frame_time_ms;
    double saved_previous = runtime.previous_frame_time_ms;
    runtime.frame_time_ms = runtime.previous_frame_time_ms = 250.0;
    EXPECT_EQ(frame_time(), 1.0);
    runtime.frame_time_ms = 266.5;
    EXPECT_EQ(frame_time(), 16.5);
    runtime.frame_time_ms = 200.0;
    EXPECT_EQ(frame_time(), 1.0);
    runtime.frame_time_ms = saved_latest;
    runtime.previous_frame_time_ms = saved_previous;
}

TEST(RunCommand, WaitsForTheExitCodeOnlyWhenAsked) {
    StringValue command = "exit 7";
    double exit_code = -1;
    EXPECT_EQ(run_command(command, 1, 1, exit_code), 1.0);
    EXPECT_EQ(exit_code, 7.0);
    EXPECT_GE(command.capacity(), 1025u);
    EXPECT_EQ(command.compare("exit 7"), 0);
    EXPECT_EQ(command.length(), 6u);

    command = "sleep 1";
    exit_code = -1;
    steady_clock::time_point start = steady_clock::now();
    EXPECT_EQ(run_command(command, 0, 0, exit_code), 1.0);
    EXPECT_LT(milliseconds_since(start), 500.0);
    EXPECT_EQ(exit_code, 0.0);
}

TEST(RunCommand, ChildNotWaitedForIsStillCollected) {
    fs::path pid_file = fs::temp_directory_path() / "kvn_clock_info_test_child.pid";
    fs::remove(pid_file);
    StringValue command = ("echo $$ > '" + pid_file.string() + "'").c_str();
    double exit_code = 0;
    ASSERT_EQ(run_command(command, 0, 0, exit_code), 1.0);

    // The child's /proc entry lasts while it is a zombie; the next start collects it.
    std::string pid;
    bool ended = false;
    for (int attempt = 0; attempt < 200 && !ended; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (pid.empty()) std::ifstream(pid_file) >> pid;
        std::string stat;
        if (!pid.empty()) std::getline(std::ifstream("/proc/" + pid + "/stat"), stat);
        ended = stat.find(") Z ") != std::string::npos || (!pid.empty() && stat.empty());
    }
    ASSERT_TRUE(ended) << "child " << pid;
    StringValue next = "true";
    ASSERT_EQ(run_command(next, 1, 0, exit_code), 1.0);
    const bool collected = !fs::exists("/proc/" + pid);
    EXPECT_TRUE(collected) << "child " << pid;
    fs::remove(pid_file);
}

TEST(PlatformInfo, AnswersEveryKey) {
    EXPECT_EQ(platform_info("").compare("WIN32"), 0);
    EXPECT_EQ(platform_info("DEVICE").compare("DESKTOP"), 0);
    EXPECT_EQ(platform_info("device").compare("DESKTOP"), 0);
    EXPECT_TRUE(matches(platform_info("TIME"), R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"));
    EXPECT_TRUE(matches(platform_info("time"), R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"));

    StringValue id = platform_info("ID");
    EXPECT_TRUE(matches(id, "[0-9A-F]{8}")) << id.c_str();
    EXPECT_EQ(platform_info("id").compare(id.c_str()), 0);

    StringValue host_id = platform_info("HOSTID");
    EXPECT_TRUE(matches(host_id, "[0-9a-f]{8}")) << host_id.c_str();
    EXPECT_EQ(platform_info("HostId").compare(host_id.c_str()), 0);

    StringValue compiled = platform_info("COMPILED");
    EXPECT_TRUE(matches(compiled, R"([A-Z][a-z]{2} [ 123]\d \d{4}-\d\d:\d\d:\d\d)"))
        << compiled.c_str();

    StringValue battery = platform_info("BATTERY");
    ASSERT_TRUE(matches(battery, R"(\d+)")) << battery.c_str();
    int percent = std::atoi(battery.c_str());
    EXPECT_TRUE(percent <= 100 || percent == 255) << percent;

    EXPECT_EQ(platform_info("NO_SUCH_KEY").compare("NO_DATA"), 0);
    EXPECT_EQ(platform_info("GLEXT").compare("NO_DATA"), 0);
    EXPECT_EQ(platform_info("TIME ").compare("NO_DATA"), 0);
}

TEST(PlatformInfo, LocaleAndDocumentsFollowTheEnvironment) {
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG", "HOME", "XDG_CONFIG_HOME"};
    std::string saved[5];
    bool was_set[5];
    for (int i = 0; i < 5; ++i) {
        const char* value = std::getenv(names[i]);
        was_set[i] = value != nullptr;
        saved[i] = value ? value : "";
        unsetenv(names[i]);
    }

    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(platform_info("LOCALE").compare("de"), 0);
    setenv("LANG", "en_GB.UTF-8", 1);
    EXPECT_EQ(platform_info("locale").compare("us"), 0);
    setenv("LANG", "C", 1);
    EXPECT_EQ(platform_info("LOCALE").compare("us"), 0);

    std::string pattern = (fs::temp_directory_path() / "kvn_clock_info_home_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    fs::path home = pattern;
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(platform_info("DOCUMENTS").compare("NO_DATA"), 0);
    fs::create_directories(home / "Documents");
    EXPECT_EQ(platform_info("documents").compare((home / "Documents").c_str()), 0);
    fs::remove_all(home);

    for (int i = 0; i < 5; ++i) {
        if (was_set[i]) {
            setenv(names[i], saved[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}

}  // namespace
}  // namespace kvn
