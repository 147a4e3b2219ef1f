// The player's steering and firing.
#include <vector>

#include "game_state.h"

namespace velkadorn_test {
namespace {

using kvn::array_bounds;
using kvn::array_element;

TEST_F(GameTest, SteeringAddsVelocityOnlyUnderItsLimitsAndAwayFromTheEdges) {
    struct Case {
        double direction, vx, vy, x;
        double expected_vx, expected_vy;
    };
    const Case cases[] = {
        {0, 1.375, -2.25, 300, 0, 0},
        {1, 0, -2, 300, 0, -2.25},         // at -Max_Speed one more step is allowed
        {1, 0, -2.25, 300, 0, -2.25},
        {2, 0, 2, 300, 0, 2.25},
        {2, 0, 2.25, 300, 0, 2.25},
        {3, 1, 0, 300, 1.375, 0},
        {3, 1.375, 0, 300, 1.375, 0},
        {3, 0, 0, 951.9, 0.375, 0},
        {3, 0, 0, 952, 0, 0},              // 72 pixels from the right edge
        {4, -1, 0, 300, -1.375, 0},
        {4, -1.375, 0, 300, -1.375, 0},
        {4, 0, 0, 64, 0, 0},               // the start position: Left does nothing
        {4, 0, 0, 64.5, -0.375, 0},
        {7, 0.5, 0.5, 300, 0.5, 0.5},
    };
    for (const Case& c : cases) {
        Velocity_X = c.vx;
        Velocity_Y = c.vy;
        Player_X = c.x;
        Steer_Player(c.direction);
        EXPECT_EQ(Velocity_X, c.expected_vx) << c.direction << " at " << c.vx << ", " << c.x;
        EXPECT_EQ(Velocity_Y, c.expected_vy) << c.direction << " at " << c.vy;
    }
}

TEST_F(GameTest, VolleysSplitTheShipHeightIntoEqualLinesAndAlwaysFireOneShot) {
    struct Case {
        double volley_size;
        std::vector<double> offsets;  // shot y - Player_Y
    };
    const Case cases[] = {
        {2, {13, 34}},
        {0, {56}},
        {1, {24}},
        {3, {8, 24, 40}},
    };
    for (const Case& c : cases) {
        Player_Shots.release_storage();
        Next_Player_Fire = 0;
        set_elapsed_ms(1000);
        Volley_Size = c.volley_size;
        Player_X = 64;
        Player_Y = 300.5;
        Player_Fire();
        ASSERT_EQ(array_bounds(Player_Shots, 0), static_cast<int32_t>(c.offsets.size()));
        for (size_t i = 0; i < c.offsets.size(); ++i) {
            const Shot& shot = array_element(Player_Shots, static_cast<int32_t>(i));
            EXPECT_EQ(shot.x, 128);
            EXPECT_EQ(shot.y, 300.5 + c.offsets[i]) << c.volley_size << " shot " << i;
            EXPECT_EQ(shot.damage, Shot_Damage);
            EXPECT_EQ(shot.speed, 12);
            EXPECT_EQ(shot.sprite, 100);
            EXPECT_EQ(shot.width, 32);
            EXPECT_EQ(shot.height, 16);
        }
    }
}

TEST_F(GameTest, VolleysComeAtMostEveryFireDelay) {
    set_elapsed_ms(1000);
    Player_Fire();
    ASSERT_EQ(array_bounds(Player_Shots, 0), 2);
    EXPECT_GE(Next_Player_Fire, 1200);
    EXPECT_LT(Next_Player_Fire, 1300);
    Player_Fire();
    EXPECT_EQ(array_bounds(Player_Shots, 0), 2);
    set_elapsed_ms(Next_Player_Fire + 10);
    Player_Fire();
    EXPECT_EQ(array_bounds(Player_Shots, 0), 4);
}

}  // namespace
}  // namespace velkadorn_test
