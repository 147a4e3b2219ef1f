// Deliberately failing: an index out of bounds reaches the runtime's fatal end, which exits
// with code 0 in the middle of the test. Kept out of the suite; unintended_exit.sh runs it and
// passes only when the test runner fails it.
#include <gtest/gtest.h>

#include "kvn/value_array.h"

namespace kvn {
namespace {

TEST(UnintendedExit, OutOfBoundsIndexEndsTheProcess) {
    ValueArray<double> numbers;
    dim_array(numbers, 3);
    array_element(numbers, 4) = 1.0;
    EXPECT_EQ(array_element(numbers, 0), 0.0);
}

}  // namespace
}  // namespace kvn
