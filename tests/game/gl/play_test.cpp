// The player, enemies and master update with real sprites, so collisions are pixel-exact.
#include <vector>

#include "game_gl.h"

namespace velkadorn_test {
namespace {

using kvn::array_bounds;
using kvn::array_element;
using kvn::array_push;

constexpr int32_t kShipSlot = 50;
constexpr int32_t kSolidSlot = 920;

class PlayTest : public GameGlTest {
  protected:
    void SetUp() override {
        GameGlTest::SetUp();
        Player_Sprite = kShipSlot;
        load_block(kShipSlot, 16, 16);
        load_block(100, 32, 16);  // player shot
        load_block(101, 32, 8);   // enemy shot
        load_block(200, 64, 64);  // enemy type 1
    }
};

TEST_F(PlayTest, VelocityMovesTheShipThenFrictionTakesItAwayAndTheEdgesOnlyStopIt) {
    struct Case {
        double x, velocity;
        std::vector<double> positions;  // after each frame
        double final_velocity;
    };
    const Case cases[] = {
        // 0.375 -> 0.275 -> 0.175, then zeroed after moving 0.175: 0.825 in all.
        {300, 0.375, {300.375, 300.65, 300.825, 300.825}, 0},
        // Exactly 0.2 is not zeroed: it moves 0.2, then 0.1, then stops.
        {300, 0.2, {300.2, 300.3, 300.3}, 0},
        {300, -0.375, {299.625, 299.35, 299.175, 299.175}, 0},
        // Past the right edge moving right: the velocity stops, the position stays past it.
        {960, 1.5, {961.5, 961.5}, 0},
        {-1, -1.5, {-2.5, -2.5}, 0},
    };
    for (const Case& c : cases) {
        Player_X = c.x;
        Velocity_X = c.velocity;
        Player_Y = 300;
        double expected_x = c.x, v = c.velocity;
        for (size_t frame = 0; frame < c.positions.size(); ++frame) {
            Process_Player();
            // The same double arithmetic, frame by frame.
            if (v != 0) expected_x = expected_x + v;
            if (-0.2 < v && v < 0.2) v = 0;
            v = v > 0 ? v - 0.1 : v < 0 ? v + 0.1 : 0;
            if ((expected_x > 1024 - 64 && v > 0) || (expected_x < 0 && v < 0)) v = 0;
            EXPECT_EQ(Player_X, expected_x) << c.velocity << " frame " << frame;
            EXPECT_NEAR(Player_X, c.positions[frame], 1e-9) << c.velocity << " frame " << frame;
        }
        EXPECT_EQ(Velocity_X, c.final_velocity) << c.velocity;
        EXPECT_EQ(Velocity_Y, 0);
    }
}

TEST_F(PlayTest, EachWallProbeCostsOneArmorAndTheLaterProbesVelocityWins) {
    // Section 0's solid layer at the screen's top-left: walls in rows 0..9 and 28..39.
    load_picture(kSolidSlot, 64, 40, [](int32_t, int32_t y) {
        return y < 10 || y >= 28 ? 0xFFFFFF : kKeyColour;
    });
    Level_X = 0;
    Player_X = 10;
    Player_Y = 12;  // probes 4 pixels up and down reach both walls, left and right reach none
    Process_Player();
    EXPECT_EQ(Armor, 98);
    EXPECT_EQ(Hit_Flag, 2);
    EXPECT_EQ(Velocity_Y, -Max_Speed);
    EXPECT_EQ(Velocity_X, 0);
    EXPECT_EQ(Shield, 100);
    EXPECT_EQ(Level_Hit(0), 1);
    EXPECT_EQ(Level_Hit(1), 1);
    EXPECT_EQ(Level_Hit(2), 0);
    EXPECT_EQ(Level_Hit(3), 0);

    // The next section's layer is probed too: slot 921 starts 1024 pixels after section 0.
    Level_X = -1024 + 58;
    Player_X = 40;
    Player_Y = 200;
    EXPECT_EQ(Level_Hit(3), 0);
    load_block(kSolidSlot + 1, 64, 600);
    EXPECT_EQ(Level_Hit(3), 1);  // 44 + 16 reaches past the section's left edge at 58
    EXPECT_EQ(Level_Hit(2), 0);
}

TEST_F(PlayTest, ArmorBelowZeroEndsTheLoopOnlyAfterTheFrame) {
    load_block(kSolidSlot, 64, 10);
    Level_X = 0;
    Player_X = 10;
    Player_Y = 12;  // only the probe above touches
    Armor = 0.5;
    Process_Player();
    EXPECT_EQ(Armor, -0.5);
    EXPECT_EQ(Running, 1);
    Player_Y = 300;
    Process_Player();
    EXPECT_EQ(Running, 0);

    Armor = 0;
    Running = 1;
    Process_Player();
    EXPECT_EQ(Running, 1);  // exactly 0 plays on
}

TEST_F(PlayTest, PlayerShotsLeaveTheScreenBeforeWallsAreTestedAndSparkOnWalls) {
    load_block(kSolidSlot, 64, 64);
    Player_X = 200;
    Player_Y = 300;
    Scroll_Delta = -2;
    struct Case {
        double wall_x, shot_x;
        bool stays, sparks;
    };
    const Case cases[] = {
        {1020, 1016, false, false},  // 1026 is past the edge: gone without touching the wall
        {500, 480, false, true},     // 490 reaches the wall at 500
        {500, 400, true, false},
    };
    for (const Case& c : cases) {
        Player_Shots.release_storage();
        Sparks.release_storage();
        Level_X = c.wall_x;
        array_push(Player_Shots, Shot{c.shot_x, 20, 0, 1, 12, 100, 32, 16});
        Process_Player();
        EXPECT_EQ(array_bounds(Player_Shots, 0), c.stays ? 1 : 0) << c.shot_x;
        ASSERT_EQ(array_bounds(Sparks, 0), c.sparks ? 1 : 0) << c.shot_x;
        if (c.sparks) {
            EXPECT_EQ(array_element(Sparks, 0).x, c.shot_x + 10);
            EXPECT_EQ(array_element(Sparks, 0).y, 12);
        }
    }
}

TEST_F(PlayTest, EnemyShotsHitThePlayerBeforeLeavingTheScreenAndDamageOneBar) {
    Player_X = -20;  // never clamped: partly off the left edge
    Player_Y = 100;
    struct Case {
        double shield, damage;
        double expected_shield, expected_armor;
    };
    const Case cases[] = {
        {100, 1, 99, 100},
        {0.5, 2, -1.5, 100},  // the whole damage goes to the shield, which goes negative
        {-1.5, 2, -1.5, 98},  // then armor takes the hits
        {0, 1, 0, 99},
    };
    for (const Case& c : cases) {
        Enemy_Shots.release_storage();
        Sparks.release_storage();
        Shield = c.shield;
        Armor = 100;
        Hit_Flag = 0;
        // Moves to x -9: off the screen, yet it touches the ship first.
        array_push(Enemy_Shots, Shot{-5, 104, 0, c.damage, -4, 101, 32, 8});
        Process_Enemy();
        EXPECT_EQ(Shield, c.expected_shield) << c.shield;
        EXPECT_EQ(Armor, c.expected_armor) << c.shield;
        EXPECT_EQ(Hit_Flag, 1);
        EXPECT_EQ(array_bounds(Enemy_Shots, 0), 0);
        ASSERT_EQ(array_bounds(Sparks, 0), 1);
        EXPECT_EQ(array_element(Sparks, 0).x, -9);
        EXPECT_EQ(array_element(Sparks, 0).y, 96);
    }
    // Without the ship in the way the same shot simply leaves.
    Player_Y = 300;
    array_push(Enemy_Shots, Shot{-5, 104, 0, 1, -4, 101, 32, 8});
    Process_Enemy();
    EXPECT_EQ(array_bounds(Enemy_Shots, 0), 0);
    EXPECT_EQ(array_bounds(Sparks, 0), 1);
}

TEST_F(PlayTest, EachPlayerShotCostsOneHitPointAndHitsOnlyTheFirstEnemy) {
    Player_Y = 500;
    set_elapsed_ms(1000);
    Spawn_Enemy(1, 600, 100);
    Spawn_Enemy(1, 600, 100);  // the same place: a shot touching both hits only the first
    for (double x : {590.0, 610.0, 900.0}) {
        array_push(Player_Shots, Shot{x, 110, 0, 5, 12, 100, 32, 16});
    }
    Process_Enemy();
    EXPECT_EQ(array_element(Enemies, 0).hit_points, 2);  // damage 5 still costs one point
    EXPECT_EQ(array_element(Enemies, 0).hit_flash, 1);
    EXPECT_EQ(array_element(Enemies, 1).hit_points, 4);
    EXPECT_EQ(array_element(Enemies, 1).hit_flash, 0);
    EXPECT_EQ(array_bounds(Player_Shots, 0), 1);
    EXPECT_EQ(array_bounds(Sparks, 0), 2);
    EXPECT_EQ(Score, 0);

    // Two more shots destroy the first enemy: only now does the score grow.
    for (int i = 0; i < 2; ++i) array_push(Player_Shots, Shot{590, 110, 0, 1, 12, 100, 32, 16});
    Process_Enemy();
    EXPECT_EQ(Score, 50);
    EXPECT_EQ(array_bounds(Explosions, 0), 1);
    EXPECT_EQ(array_bounds(Enemies, 0), 2);
}

TEST_F(PlayTest, EscapeEndsTheGameBeforeAnythingMoves) {
    Last_Section = 8;
    Level_X = 256;
    Player_X = 300;
    for (int32_t key : {kEscape, kRight, kTab, kZ}) hold(key);
    array_push(Stars, Star{500, 100, 100});
    Process_Master();
    EXPECT_EQ(Running, 0);
    EXPECT_EQ(Velocity_X, 0);
    EXPECT_EQ(Level_X, 256);
    EXPECT_EQ(array_element(Stars, 0).x, 500);
    EXPECT_EQ(array_bounds(Enemies, 0) + array_bounds(Player_Shots, 0), 0);
}

TEST_F(PlayTest, ArrowsSteerEachUnderItsOwnConditionRightBeforeLeft) {
    Player_X = 300;
    Player_Y = 300;
    Velocity_X = 1.2;  // too fast for Right, Left still applies
    hold(kRight);
    hold(kLeft);
    hold(kUp);
    Process_Master();
    const double vx = 1.2 - 0.375;
    EXPECT_EQ(Player_X, 300 + vx);
    EXPECT_EQ(Velocity_X, vx - 0.1);
    EXPECT_EQ(Player_Y, 300 - 0.25);
    EXPECT_EQ(Velocity_Y, -0.25 + 0.1);
}

TEST_F(PlayTest, TabCallsAnEnemyFromTheRightAtMostEveryTwoSeconds) {
    hold(kTab);
    set_elapsed_ms(1000);
    kvn::random_seed(31);
    const double y = kvn::random_int(600 - 128);  // the height first, then the type
    const double type = kvn::random_int(2) + 1;
    kvn::random_seed(31);
    Process_Master();
    ASSERT_EQ(array_bounds(Enemies, 0), 1);
    const Enemy& enemy = array_element(Enemies, 0);
    EXPECT_EQ(enemy.y, y);
    EXPECT_EQ(enemy.sprite, 199 + type);
    EXPECT_EQ(enemy.x, 1024 - 3);  // called in at the right edge and moved in the same frame
    EXPECT_GE(Next_Enemy_Time, 3000);
    EXPECT_LT(Next_Enemy_Time, 3100);

    Process_Master();
    EXPECT_EQ(array_bounds(Enemies, 0), 1);
    set_elapsed_ms(Next_Enemy_Time);
    Process_Master();
    EXPECT_EQ(array_bounds(Enemies, 0), 1);  // not yet: elapsed_ms must exceed it
    set_elapsed_ms(Next_Enemy_Time + 5);
    Process_Master();
    EXPECT_EQ(array_bounds(Enemies, 0), 2);
}

TEST_F(PlayTest, SwitchesCountAsOnOnlyAtExactlyOne) {
    array_push(Stars, Star{500, 100, 100});
    for (double value : {2.0, 0.5, -1.0}) {
        Stars_On = value;
        Process_Master();
        EXPECT_EQ(array_element(Stars, 0).x, 500) << value;
    }
    Stars_On = 1;
    kvn::random_seed(3);
    Process_Master();
    EXPECT_EQ(array_element(Stars, 0).x, 495);

    Game_State = 1;
    Player_X = 300;
    Velocity_X = 1;
    Process_Master();
    EXPECT_EQ(Player_X, 300);
}

TEST_F(PlayTest, ExplosionsAndSparksDriftWithTheStageAndFadeByFixedSteps) {
    Scroll_Delta = -2;  // no stage: the delta stays as set
    Player_Y = 500;
    Add_Explosion(500, 100, 1);
    Add_Spark(300, 100);
    std::vector<int32_t> explosion_frames, spark_frames;
    std::vector<double> explosion_x;
    for (int frame = 0; frame < 20; ++frame) {
        Process_Master();
        if (array_bounds(Explosions, 0) > 0) {
            explosion_frames.push_back(70 + kvn::to_integer(array_element(Explosions, 0).life * 8));
            explosion_x.push_back(array_element(Explosions, 0).x);
        }
        if (array_bounds(Sparks, 0) > 0) {
            spark_frames.push_back(80 + kvn::to_integer(array_element(Sparks, 0).life * 4));
        }
    }
    EXPECT_EQ(spark_frames, (std::vector<int32_t>{83, 82, 81}));
    ASSERT_EQ(explosion_frames.size(), 13u);
    EXPECT_EQ(explosion_frames.front(), 77);
    EXPECT_EQ(explosion_frames.back(), 70);
    EXPECT_EQ(explosion_x.front(), 498);
    EXPECT_EQ(explosion_x.back(), 500 - 2 * 13);
}

}  // namespace
}  // namespace velkadorn_test
