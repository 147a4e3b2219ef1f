// A private working directory (also TMPDIR) for file tests, and the reading of the end record
// that a fatal end leaves in debug mode.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/error_state.h"
#include "platform/system.h"
#include "runtime/runtime_state.h"
#include "support/working_directory.h"

namespace kvn::testing_support {

class ScratchDirectoryTest : public WorkingDirectoryTest {
  protected:
    void SetUp() override {
        previous_tmpdir_ = platform::environment_value("TMPDIR");
        WorkingDirectoryTest::SetUp();
        platform::environment_set("TMPDIR", directory_.c_str());
    }

    void TearDown() override {
        platform::environment_set("TMPDIR", previous_tmpdir_.c_str());
        WorkingDirectoryTest::TearDown();
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

  private:
    std::string previous_tmpdir_;
};

}  // namespace kvn::testing_support
