// Whole-file reads and writes, and a private working directory per test; needs no runtime, so
// the image library's tests use it alone.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kvn::testing_support {

inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class WorkingDirectoryTest : public ::testing::Test {
  protected:
    // Makes and enters the directory; it is named after the test.
    void SetUp() override {
        previous_directory_ = std::filesystem::current_path();
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        directory_ = std::filesystem::temp_directory_path() /
                     (std::string("kvn-") + test->test_suite_name() + "-" + test->name());
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        std::filesystem::current_path(directory_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_directory_);
        std::filesystem::remove_all(directory_);
    }

    std::filesystem::path directory_;

  private:
    std::filesystem::path previous_directory_;
};

}  // namespace kvn::testing_support
