// The main of every GoogleTest binary: a test passes only when the run reaches its end, so a
// test whose code ends the process (the runtime's fatal end exits with code 0) fails.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/exit_guard.h"

namespace {

// "Suite.Test" of the running test, or a note that none runs.
const char* current_test_name() {
    static std::string name;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    name = test ? std::string(test->test_suite_name()) + "." + test->name()
                : std::string("the test run (outside any test)");
    return name.c_str();
}

}  // namespace

int main(int argc, char** argv) {
    // A death test's statement runs in a child started with this internal flag; it ends the
    // process on purpose.
    bool death_test_child = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--gtest_internal_run_death_test", 31) == 0) {
            death_test_child = true;
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (!death_test_child) kvn::testing_support::arm_exit_guard(current_test_name);
    const int result = RUN_ALL_TESTS();
    kvn::testing_support::disarm_exit_guard();
    return result;
}
