// The frame period and the deadline schedule of the present.
#include <gtest/gtest.h>

#include "gfx/display.h"

namespace kvn {
namespace {

TEST(FrameScheduleTest, PeriodFromFrameRate) {
    EXPECT_DOUBLE_EQ(frame_period_for(60), 1000.0 / 60.0);
    EXPECT_NEAR(frame_period_for(30), 33.33, 0.01);
    EXPECT_DOUBLE_EQ(frame_period_for(0), 2.0);
    EXPECT_DOUBLE_EQ(frame_period_for(-5), 2.0);
}

TEST(FrameScheduleTest, DeadlineAdvancesOnePeriodAndCatchesUp) {
    // On time: one period on.
    EXPECT_DOUBLE_EQ(advance_frame_deadline(100, 10, 99), 110);
    // Late by less than a period: the next frame catches up.
    EXPECT_DOUBLE_EQ(advance_frame_deadline(100, 10, 105), 110);
    // More than one period late: one period is skipped.
    EXPECT_DOUBLE_EQ(advance_frame_deadline(100, 10, 115), 120);
    // Three periods late: the schedule restarts from now.
    EXPECT_DOUBLE_EQ(advance_frame_deadline(100, 10, 130), 140);
    // No period: the deadline stays.
    EXPECT_DOUBLE_EQ(advance_frame_deadline(100, 0, 500), 100);
}

}  // namespace
}  // namespace kvn
