// The picture of a frame: clipped and tinted quads, the ship and enemy tints, the flame cycle,
// the HUD bars, numbers and rank strip, and the frame-rate statistics.
#include <vector>

#include "game_gl.h"

namespace velkadorn_test {
namespace {

using kvn::array_push;

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 255;
constexpr int32_t kBlue = 16711680;

int32_t red_of(int32_t rgb) { return rgb & 0xFF; }
int32_t green_of(int32_t rgb) { return (rgb >> 8) & 0xFF; }

class DrawingTest : public GameGlTest {
  protected:
    void SetUp() override {
        GameGlTest::SetUp();
        kvn::clear_screen(0);
        kvn::set_smooth_filter(0);
    }
};

TEST_F(DrawingTest, SpriteQuadsAreClippedToTheScreenKeepingTheirPixelScale) {
    // Red counts the column, green the row.
    load_picture(300, 64, 8, [](int32_t x, int32_t y) { return x * 4 + 256 * (y * 20) + 65536 * 100; });
    Draw_Sprite_Quad(300, -10, -3, 64, 8, 0);
    for (int32_t column : {0, 1, 26, 53}) {
        EXPECT_EQ(red_of(screen_pixel(column, 0)), (column + 10) * 4) << column;
    }
    EXPECT_EQ(screen_pixel(54, 0), 0);
    EXPECT_EQ(green_of(screen_pixel(5, 0)), 3 * 20);
    EXPECT_EQ(green_of(screen_pixel(5, 4)), 7 * 20);
    EXPECT_EQ(screen_pixel(5, 5), 0);

    kvn::set_smooth_filter(0);
    Draw_Sprite_Quad(300, 1000, 596, 64, 8, 0);
    EXPECT_EQ(red_of(screen_pixel(1000, 596)), 0);
    EXPECT_EQ(red_of(screen_pixel(1023, 596)), 23 * 4);
    EXPECT_EQ(green_of(screen_pixel(1023, 599)), 3 * 20);
    EXPECT_FLOAT_EQ(kvn::runtime.renderer->alpha(), 1.0f);
}

TEST_F(DrawingTest, ModesTintTheQuad) {
    load_block(301, 8, 8);
    struct Case {
        double mode;
        int32_t left, right;
    };
    const Case cases[] = {
        {0, kWhite, kWhite},
        {4, kRed, kRed},
        {5, kBlue, kBlue},
        {9, kWhite, kWhite},
    };
    for (const Case& c : cases) {
        kvn::clear_screen(0);
        kvn::set_smooth_filter(0);
        Draw_Sprite_Quad(301, 100, 100, 8, 8, c.mode);
        EXPECT_EQ(screen_pixel(100, 104), c.left) << c.mode;
        EXPECT_EQ(screen_pixel(107, 104), c.right) << c.mode;
    }
    // Mode 3 fades from the sprite's colours on the left to black on the right.
    kvn::clear_screen(0);
    Draw_Sprite_Quad(301, 100, 100, 8, 8, 3);
    EXPECT_GT(red_of(screen_pixel(100, 104)), 200);
    EXPECT_LT(red_of(screen_pixel(107, 104)), 40);
}

TEST_F(DrawingTest, ShipAndEnemiesFlashByWhatHitThem) {
    load_block(50, 64, 64);
    load_block(200, 64, 64);
    Player_Sprite = 50;
    Player_X = 300;
    Player_Y = 300;
    struct Case {
        double hit_flag, shield;
        int32_t colour;
    };
    const Case cases[] = {
        {0, 100, kWhite}, {1, 100, kBlue}, {2, 100, kRed}, {1, 0, kRed}, {1, -1, kRed},
    };
    for (const Case& c : cases) {
        Hit_Flag = c.hit_flag;
        Shield = c.shield;
        Draw_Screen();
        EXPECT_EQ(screen_pixel(330, 330), c.colour) << c.hit_flag << "/" << c.shield;
    }

    Spawn_Enemy(1, 600, 100);
    Spawn_Enemy(1, 1023, 200);
    kvn::array_element(Enemies, 0).hit_flash = 1;
    Draw_Screen();
    EXPECT_EQ(screen_pixel(610, 150), kRed);
    EXPECT_EQ(screen_pixel(1023, 250), kWhite);  // one column still on the screen
}

TEST_F(DrawingTest, StarsAreOneBatchOfSeparateTrianglesJoinedPerStarAndTintedByDepth) {
    load_block(90, 4, 4);
    const Star stars[] = {{100, 100, 100}, {200.5, 50, 200}, {300, 300, 50}};
    for (const Star& star : stars) array_push(Stars, star);
    Draw_Stars();
    const kvn::PolyBatch& batch = kvn::runtime.renderer->poly_batch();
    EXPECT_EQ(batch.mode(), 1);
    // Four corners per star; each join after the first star doubles two vertices.
    EXPECT_EQ(batch.count(), 3u * 4 + 2 * 2);
    EXPECT_TRUE(batch.coloured());
    // Red and green from the depth, blue 55 brighter; as separate triangles the first three
    // corners of each star make its upper right half.
    EXPECT_EQ(screen_pixel(101, 100), 100 + 100 * 256 + 155 * 65536);
    EXPECT_EQ(screen_pixel(301, 300), 50 + 50 * 256 + 105 * 65536);
    EXPECT_EQ(screen_pixel(102, 100), 0);
}

TEST_F(DrawingTest, BurnerFlameCyclesEveryElevenFramesThroughThreeFrames) {
    const int32_t flame_colours[] = {0xC0, 0xC000, 0xC00000, 0xC0C0C0};
    for (int32_t i = 0; i < 4; ++i) load_block(60 + i, 32, 32, flame_colours[i]);
    Player_X = 300;
    Player_Y = 300;
    std::vector<int32_t> frames;
    for (int frame = 0; frame < 22; ++frame) {
        Draw_Screen();
        // Additive over the clear colour (1, 1, 1).
        const int32_t seen = screen_pixel(280, 330) - 65793;
        int32_t slot = -1;
        for (int32_t i = 0; i < 4; ++i) {
            if (seen == flame_colours[i]) slot = 60 + i;
        }
        frames.push_back(slot);
    }
    std::vector<int32_t> cycle;
    for (int32_t slot : {60, 60, 60, 60, 61, 61, 61, 62, 62, 62, 62}) cycle.push_back(slot);
    std::vector<int32_t> expected = cycle;
    expected.insert(expected.end(), cycle.begin(), cycle.end());
    EXPECT_EQ(frames, expected);
}

TEST_F(DrawingTest, HudBarsScaleToTwoHundredPixels) {
    load_block(6, 200, 8);
    struct Case {
        double shield;
        int32_t first_white, end_white;  // [first, end) of white columns on the bar's row
    };
    const Case cases[] = {
        {100, 70, 270},
        {50, 70, 170},
        {0, 0, 0},
        {-25, 0, 0},  // passed on as -50: leftwards from x 70, off the picture's texels
    };
    for (const Case& c : cases) {
        kvn::clear_screen(0);
        kvn::set_smooth_filter(0);
        Shield = c.shield;
        Draw_OverlayHub();
        const int32_t row = 600 - 56 + 4;
        for (int32_t x : {c.first_white - 1, c.first_white, c.end_white - 1, c.end_white}) {
            if (x < 0 || c.first_white == c.end_white) continue;
            const bool inside = x >= c.first_white && x < c.end_white;
            EXPECT_EQ(screen_pixel(x, row) == kWhite, inside) << c.shield << " at " << x;
        }
        if (c.first_white == c.end_white) {
            EXPECT_NE(screen_pixel(70, row), kWhite);
        }
    }
}

TEST_F(DrawingTest, HudNumbersEndAtTheirColumnsAndTheRankStripShowsAGapForAMissingSlice) {
    // A font whose every glyph is a solid 8 x 8 block.
    write_bmp("blocks.bmp", 128, 64, [](int32_t x, int32_t) { return x % 8 == 7 ? kKeyColour : kWhite; });
    kvn::load_font("blocks.bmp", 999);
    for (int32_t i = 0; i < 24; ++i) {
        if (i != 10) load_block(800 + i, 10, 20, 0x00FF00);
    }
    Score = 1234;
    Stage_Counter = 1;
    Draw_OverlayHub();
    const int32_t text_row = 600 - 27 + 3;
    EXPECT_NE(screen_pixel(605, text_row), kWhite);
    EXPECT_EQ(screen_pixel(606, text_row), kWhite);  // 674 - 4 x 17
    EXPECT_NE(screen_pixel(388, text_row), kWhite);
    EXPECT_EQ(screen_pixel(389, text_row), kWhite);  // 406 - 17

    const int32_t strip_row = 600 - 26 + 10;
    for (int32_t i = 0; i < 24; ++i) {
        EXPECT_EQ(screen_pixel(774 + i * 10 + 5, strip_row), i == 10 ? 0 : 0x00FF00) << i;
    }
    EXPECT_EQ(screen_pixel(1014, strip_row), 0);
}

TEST_F(DrawingTest, FrameRateIsShownOnlyOnceMoreThanASecondHasPassed) {
    set_frame_time(16);
    double average = 0, time = 0, shown = 0;
    int first_shown = 0;
    for (int frame = 1; frame <= 70; ++frame) {
        Draw_FPS();
        average = (1000 / 16.0 + average) * 0.5;
        time = time + 16;
        if (time > 1000) {
            shown = average;
            time = 0;
            if (first_shown == 0) first_shown = frame;
        }
        ASSERT_EQ(Fps_Average, average);
        ASSERT_EQ(Fps_Shown, shown);
        ASSERT_EQ(Fps_Time, time);
        if (frame == 1) {
            EXPECT_EQ(Fps_Average, 31.25);
            EXPECT_STREQ(Fps_Line().c_str(), "FPS: 0/60");
        }
    }
    EXPECT_EQ(first_shown, 63);
    EXPECT_STREQ(Fps_Line().c_str(), "FPS: 62/60");
}

}  // namespace
}  // namespace velkadorn_test
