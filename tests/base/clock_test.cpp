// The runtime's millisecond clock and sleeping.
#include "base/clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

#include "kvn/base.h"

namespace kvn {
namespace {

using std::chrono::steady_clock;

double milliseconds_since(steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(steady_clock::now() - start).count();
}

// Puts the clock back to "never read" for one test and restores the process's clock after.
class ClockTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = clock_state;
        clock_state = ClockState{};
    }
    void TearDown() override { clock_state = saved_; }

  private:
    ClockState saved_;
};

TEST_F(ClockTest, CounterClockStartsAtZeroAndIncreases) {
    clock_init();
    ASSERT_TRUE(clock_state.uses_counter);
    EXPECT_GT(clock_state.counter_frequency, 0.0);
    EXPECT_EQ(clock_ms(), 0.0);
    EXPECT_GT(clock_state.clock_base_ms, 0.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    double later = clock_ms();
    EXPECT_GE(later, 4.5);
    EXPECT_LT(later, 1000.0);
    EXPECT_GE(clock_ms(), later);
}

TEST_F(ClockTest, TickClockStartsAtZeroAndCountsWholeMilliseconds) {
    EXPECT_FALSE(clock_state.uses_counter);
    EXPECT_EQ(clock_ms(), 0.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    double later = clock_ms();
    EXPECT_GE(later, 19.0);
    EXPECT_LT(later, 1000.0);
    EXPECT_EQ(later, static_cast<double>(static_cast<int64_t>(later)));
}

TEST(Sleep, TruncatesTheDuration) {
    steady_clock::time_point start = steady_clock::now();
    sleep(2.9);
    EXPECT_GE(milliseconds_since(start), 2.0);

    // Fractions below one, zero and negative values only yield: even the fastest of several
    // tries would take a millisecond if any of them were rounded up to a real sleep.
    for (double milliseconds : {0.9, 0.0, -5.0}) {
        double fastest = 1000.0;
        for (int attempt = 0; attempt < 5; ++attempt) {
            start = steady_clock::now();
            sleep(milliseconds);
            fastest = std::min(fastest, milliseconds_since(start));
        }
        EXPECT_LT(fastest, 0.9) << "sleep(" << milliseconds << ")";
    }
}

}  // namespace
}  // namespace kvn
