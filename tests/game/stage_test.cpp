// Stage scrolling, section switching and the starfield.
#include <vector>

#include "game_state.h"

namespace velkadorn_test {
namespace {

using kvn::array_bounds;
using kvn::array_element;
using kvn::random_int;

class StageTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        Last_Section = 8;
        Level_X = 256;
    }
};

TEST_F(StageTest, ScrollDeltaFollowsThePlayersHorizontalVelocity) {
    struct Case {
        double velocity, delta;
    };
    const Case cases[] = {
        {0, -2},            // at rest: two pixels left, through the second branch
        {1.375, -3.375},    // thrusting right speeds it up
        {-0.375, 0.8125},   // moving left drifts the stage back to the right
        {-1.375, 0.3125},
    };
    for (const Case& c : cases) {
        Level_X = 256;
        Velocity_X = c.velocity;
        Process_Level();
        EXPECT_EQ(Scroll_Delta, c.delta) << c.velocity;
        EXPECT_EQ(Level_X, 256 + c.delta) << c.velocity;
    }
}

TEST_F(StageTest, SectionsSwitchWhenTheNextLeftEdgePassesTheScreenEdge) {
    // At rest the stage moves two pixels per frame; the first switch comes once Level_X < -1024.
    double previous = Level_X;
    while (Current_Section == 0) {
        previous = Level_X;
        Process_Level();
    }
    EXPECT_EQ(previous, -1024);
    EXPECT_EQ(Level_X, -1026);
    EXPECT_EQ(Next_Section, 2);

    // Drifting back right, section 1's left edge passes x 0 again and the indices step back.
    Velocity_X = -1.375;
    while (Current_Section == 1) Process_Level();
    EXPECT_EQ(Current_Section, 0);
    EXPECT_EQ(Next_Section, 1);
    EXPECT_GT(1024 + Level_X, 0);

    // Left of section 0 the indices stay.
    for (int frame = 0; frame < 2000; ++frame) Process_Level();
    EXPECT_EQ(Current_Section, 0);
    EXPECT_EQ(Next_Section, 1);

    // Once section 8 is current the indices never change again, even scrolling back.
    Velocity_X = 0;
    for (int frame = 0; frame < 6000 && Current_Section < 8; ++frame) Process_Level();
    EXPECT_EQ(Current_Section, 8);
    EXPECT_EQ(Next_Section, 9);
    Velocity_X = -1.375;
    for (int frame = 0; frame < 20000; ++frame) Process_Level();
    EXPECT_EQ(Current_Section, 8);
    EXPECT_GT(8 * 1024 + Level_X, 0);
}

TEST_F(StageTest, InitStarsMakesStarCountPlusOneStarsDrawingXThenYThenZ) {
    struct Case {
        double star_count;
        int32_t stars;
    };
    for (const Case& c : {Case{15, 16}, Case{0, 1}, Case{-1, 0}}) {
        Stars.release_storage();
        Star_Count = c.star_count;
        kvn::random_seed(99);
        std::vector<Star> expected;
        for (int32_t i = 0; i < c.stars; ++i) {
            const double x = random_int(1024) + 20;
            const double y = random_int(580) + 10;
            const double z = random_int(150) + 50;
            expected.push_back({x, y, z});
        }
        kvn::random_seed(99);
        Init_Stars();
        ASSERT_EQ(array_bounds(Stars, 0), c.stars);
        for (int32_t i = 0; i < c.stars; ++i) {
            const Star& star = array_element(Stars, i);
            EXPECT_EQ(star.x, expected[i].x);
            EXPECT_EQ(star.y, expected[i].y);
            EXPECT_EQ(star.z, expected[i].z);
        }
    }
}

TEST_F(StageTest, StarfieldAddsAStarOneFrameInThreeAndMovesStarsByDepthAndVelocity) {
    Velocity_X = 0.375;
    array_push(Stars, Star{500, 100, 50});
    array_push(Stars, Star{9, 200, 200});   // 9 - (10 + 0.375) < 0: removed
    array_push(Stars, Star{300, 300, 123});
    std::vector<Star> expected = {{500, 100, 50}, {300, 300, 123}};
    for (Star& star : expected) star.x = star.x - (star.z / 400 * 20 + Velocity_X);

    kvn::random_seed(4);
    bool appended = false;
    Star added{};
    if (random_int(2) == 1) {
        appended = true;
        added.x = random_int(100) + 1024;
        added.y = random_int(600);
        added.z = random_int(150) + 50;
        added.x = added.x - (added.z / 400 * 20 + Velocity_X);
    }
    kvn::random_seed(4);
    Process_Starfield();
    if (appended) expected.push_back(added);
    ASSERT_EQ(array_bounds(Stars, 0), static_cast<int32_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const Star& star = array_element(Stars, static_cast<int32_t>(i));
        EXPECT_EQ(star.x, expected[i].x) << i;
        EXPECT_EQ(star.y, expected[i].y) << i;
        EXPECT_EQ(star.z, expected[i].z) << i;
    }

    // Over many frames about one in three adds a star; flying right, no star is removed.
    Velocity_X = -1000;
    Stars.release_storage();
    int added_stars = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        const int32_t before = array_bounds(Stars, 0);
        Process_Starfield();
        if (array_bounds(Stars, 0) > before) ++added_stars;
    }
    EXPECT_NEAR(added_stars, 1000, 150);

    Star_Count = 0;
    Stars.release_storage();
    for (int frame = 0; frame < 50; ++frame) Process_Starfield();
    EXPECT_EQ(array_bounds(Stars, 0), 0);
}

}  // namespace
}  // namespace velkadorn_test
