// A private working directory (also TMPDIR) for file tests, and the reading of the end record
// that a fatal end leaves in debug mode.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/error_state.h"
#include "platform/system.h"
#include "runtime/runtime_state.h"

namespace kvn::testing_support {

inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ScratchDirectoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_directory_ = std::filesystem::current_path();
        previous_tmpdir_ = platform::environment_value("TMPDIR");
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        directory_ = std::filesystem::temp_directory_path() /
                     (std::string("kvn-") + test->test_suite_name() + "-" + test->name());
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        std::filesystem::current_path(directory_);
        platform::environment_set("TMPDIR", directory_.c_str());
    }

    void TearDown() override {
        std::filesystem::current_path(previous_directory_);
        platform::environment_set("TMPDIR", previous_tmpdir_.c_str());
        std::filesystem::remove_all(directory_);
        project_settings.debug_mode = 0;
    }

    // Prepares a death test: debug mode on and no end record left from before.
    void expect_end_record() {
        set_end_handler(end_runtime);
        project_settings.debug_mode = 1;
        std::filesystem::remove(directory_ / "ErrorLog.txt");
    }

    // The error code of the end record a child left ("-End On Line", then the code); -1 when
    // there is none.
    int32_t ended_with_code() const {
        const std::string log = read_file(directory_ / "ErrorLog.txt");
        const std::string marker = "-End On Line\r\n";
        const size_t found = log.find(marker);
        if (found == std::string::npos) return -1;
        return std::atoi(log.c_str() + found + marker.size());
    }

    std::filesystem::path directory_;

  private:
    std::filesystem::path previous_directory_;
    std::string previous_tmpdir_;
};

}  // namespace kvn::testing_support
