// Enemy properties, arrival, volleys, and enemies destroyed or escaping without any shot in play.
#include <vector>

#include "game_state.h"

namespace velkadorn_test {
namespace {

using kvn::array_bounds;
using kvn::array_element;

TEST_F(GameTest, EnemyStatsByTypeAndIndex) {
    const double stats[3][11] = {
        {200, 1, 1500, -3, 101, 1, -4, 4, 64, 64, 50},
        {201, 2, 1000, -3, 102, 1, -6, 8, 64, 64, 75},
        {202, 1, 1200, -3, 101, 2, -4, 16, 80, 80, 100},
    };
    for (int type = 1; type <= 3; ++type) {
        for (int index = 0; index <= 10; ++index) {
            EXPECT_EQ(Enemy_Stat(type, index), stats[type - 1][index]) << type << "/" << index;
        }
        EXPECT_EQ(Enemy_Stat(type, 11), 0);
        EXPECT_EQ(Enemy_Stat(type, -1), 0);
    }
    for (double type : {0.0, 4.0, -1.0, 1.5}) {
        for (int index = 0; index <= 10; ++index) EXPECT_EQ(Enemy_Stat(type, index), 0) << type;
    }
}

TEST_F(GameTest, SpawnedEnemyTakesItsTypesPropertiesAndFiresInItsFirstFrame) {
    Spawn_Enemy(3, 1024, 77);
    const Enemy& enemy = array_element(Enemies, 0);
    const double expected[] = {1024, 77, 0, 1200, 16, 1, -3, 0, 202, 0,
                               2,    100, 0, -4,  101, 0, 80, 80, 0};
    static_assert(sizeof(Enemy) == sizeof(expected), "every field is a number");
    const double* fields = &enemy.x;
    for (size_t i = 0; i < sizeof(expected) / sizeof(double); ++i) {
        EXPECT_EQ(fields[i], expected[i]) << "field " << i;
    }
}

TEST_F(GameTest, EnemyVolleysStartOneWidthLeftOnEqualDivisionsOfTheHeight) {
    struct Case {
        double type, x, y;
        std::vector<double> shot_y;
    };
    const Case cases[] = {
        {3, 500, 100, {122, 149}},
        {1, 500, 200, {228}},
        {2, 600.5, 50.5, {78.5}},
    };
    set_elapsed_ms(5000);
    for (const Case& c : cases) {
        Enemy_Shots.release_storage();
        const double width = Enemy_Stat(c.type, 8);
        const double interval = Enemy_Stat(c.type, 2);
        const double next = Enemy_Fire(c.x, c.y, interval, 0, Enemy_Stat(c.type, 5),
                                       Enemy_Stat(c.type, 6), Enemy_Stat(c.type, 4),
                                       Enemy_Stat(c.type, 1), width, Enemy_Stat(c.type, 9));
        EXPECT_GE(next, 5000 + interval);
        EXPECT_LT(next, 5100 + interval);
        EXPECT_EQ(Volley_Counter, static_cast<double>(c.shot_y.size()));
        ASSERT_EQ(array_bounds(Enemy_Shots, 0), static_cast<int32_t>(c.shot_y.size()));
        for (size_t i = 0; i < c.shot_y.size(); ++i) {
            const Shot& shot = array_element(Enemy_Shots, static_cast<int32_t>(i));
            EXPECT_EQ(shot.x, c.x - width);
            EXPECT_EQ(shot.y, c.shot_y[i]) << c.type << " shot " << i;
            EXPECT_EQ(shot.damage, Enemy_Stat(c.type, 1));
            EXPECT_EQ(shot.speed, Enemy_Stat(c.type, 6));
            EXPECT_EQ(shot.sprite, Enemy_Stat(c.type, 4));
            EXPECT_EQ(shot.width, 32);
            EXPECT_EQ(shot.height, 8);
        }
    }
    // Not due yet: nothing fired, next_fire unchanged, the counter still reset.
    Enemy_Shots.release_storage();
    EXPECT_EQ(Enemy_Fire(500, 100, 1200, 9000, 2, -4, 101, 1, 80, 80), 9000);
    EXPECT_EQ(Volley_Counter, 0);
    EXPECT_EQ(array_bounds(Enemy_Shots, 0), 0);
}

TEST_F(GameTest, DestroyedEnemiesScoreAndAreReplacedByTypeOneAtTheRightEdge) {
    set_elapsed_ms(1000);
    Scroll_Delta = -2;
    for (double type : {1, 2, 3}) Spawn_Enemy(type, 400, 100);
    for (int32_t i = 0; i < 3; ++i) array_element(Enemies, i).hit_points = 0;
    kvn::random_seed(21);
    std::vector<double> replacement_y;
    for (double height : {64, 64, 80}) replacement_y.push_back(kvn::random_int(600 - height));
    kvn::random_seed(21);
    Process_Enemy();

    EXPECT_EQ(Score, 225);
    ASSERT_EQ(array_bounds(Explosions, 0), 3);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(array_element(Explosions, i).x, 400 - 2 - 3);
        EXPECT_EQ(array_element(Explosions, i).life, 1);
    }
    ASSERT_EQ(array_bounds(Enemies, 0), 3);
    for (int32_t i = 0; i < 3; ++i) {
        const Enemy& enemy = array_element(Enemies, i);
        // Appended in this frame and processed by the same loop: moved and fired once.
        EXPECT_EQ(enemy.sprite, 200);
        EXPECT_EQ(enemy.x, 1024 - 2 - 3);
        EXPECT_EQ(enemy.y, replacement_y[i]);
        EXPECT_GT(enemy.next_fire, 1000);
    }
    EXPECT_EQ(array_bounds(Enemy_Shots, 0), 3);
}

TEST_F(GameTest, TypeZeroEnemyIsDestroyedAtOnceForNoScore) {
    Scroll_Delta = -2;
    Spawn_Enemy(0, Screen_Width, 0);
    Process_Enemy();
    EXPECT_EQ(Score, 0);
    ASSERT_EQ(array_bounds(Explosions, 0), 1);
    EXPECT_EQ(array_element(Explosions, 0).x, 1024 - 2);
    ASSERT_EQ(array_bounds(Enemies, 0), 1);
    EXPECT_EQ(array_element(Enemies, 0).sprite, 200);
}

// More enemies than one growth step of a record array, so that the very first replacement
// moves the array's storage while the loop is inside it; destroyed and escaped enemies must
// still be read right after their replacement has been appended.
TEST_F(GameTest, ManyEnemiesEscapingOrDestroyedInOneFrameAreEachReplacedOnce) {
    const int32_t count = 127;
    for (int32_t i = 0; i < count; ++i) {
        Spawn_Enemy(1 + i % 3, i % 2 == 1 ? -200 : 300, 10);  // odd ones have left the screen
        if (i % 2 == 0) array_element(Enemies, i).hit_points = 0;
    }
    double expected_score = 0;
    for (int32_t i = 0; i < count; i += 2) expected_score += Enemy_Stat(1 + i % 3, 10);
    Process_Enemy();
    EXPECT_EQ(Score, expected_score);
    // Escaped enemies may be replaced by type 0, which explodes at once for no score.
    EXPECT_GE(array_bounds(Explosions, 0), count / 2 + 1);
    ASSERT_EQ(array_bounds(Enemies, 0), count);
    for (int32_t i = 0; i < count; ++i) {
        const Enemy& enemy = array_element(Enemies, i);
        EXPECT_EQ(enemy.x, 1024 - 3) << i;
        EXPECT_GE(enemy.sprite, 200);
        EXPECT_LE(enemy.y, 600);
    }
}

TEST_F(GameTest, FrameRateLineShowsTheWholeRateTheTargetAndTheFrameSkipNote) {
    struct Case {
        double shown, target, frameskip;
        const char* line;
    };
    const Case cases[] = {
        {0, 60, 0, "FPS: 0/60"},
        {59.7, 60, 0, "FPS: 59/60"},
        {59.7, 60, 1, "FPS: 59/60(Frame skip ON)"},
        {120.2, 30.5, 2, "FPS: 120/30.5"},
    };
    for (const Case& c : cases) {
        Fps_Shown = c.shown;
        Target_FPS = c.target;
        Frameskip_On = c.frameskip;
        EXPECT_STREQ(Fps_Line().c_str(), c.line);
    }
}

}  // namespace
}  // namespace velkadorn_test
