// Frame cells and rectangles and turned corners (zoom rectangles and negative rectangle sizes
// are checked on screen by the GL tests).
#include "gfx/sprite_geometry.h"

#include <gtest/gtest.h>

namespace kvn {
namespace {

TEST(SpriteGeometryTest, FrameCellsOfBothRules) {
    struct Case {
        int32_t img_w, frame_w, frame;
        int64_t column, row;                      // drawing
        int64_t collision_column, collision_row;  // collision
    } cases[] = {
        {256, 64, 0, 0, 0, 0, 0},
        {256, 64, 5, 1, 1, 1, 1},
        {256, 64, 3, 3, 0, 3, 0},
        {100, 30, 7, 1, 2, 1, 2},     // 3 whole frames a row
        {50, 64, 4, 4, 0, 0, 4},      // no whole frame across
        {256, 64, -1, -1, 0, -1, 0},  // before the first frame
        {256, 1, INT32_MAX, INT32_MAX % 256, INT32_MAX / 256, INT32_MAX % 256, INT32_MAX / 256},
    };
    for (const Case& c : cases) {
        const FrameCell d = frame_cell_for_drawing(c.img_w, c.frame_w, c.frame);
        const FrameCell k = frame_cell_for_collision(c.img_w, c.frame_w, c.frame);
        EXPECT_EQ(d.column, c.column) << c.frame;
        EXPECT_EQ(d.row, c.row) << c.frame;
        EXPECT_EQ(k.column, c.collision_column) << c.frame;
        EXPECT_EQ(k.row, c.collision_row) << c.frame;
    }
}

TEST(SpriteGeometryTest, FrameTextureRectanglesCountFromTheBottomRow) {
    // A 96 x 40 image of 32 x 20 frames in a 128 x 64 texture.
    const SpriteGeometry sprite{96, 40, 128, 64, 32, 20};
    struct Case {
        FrameCell cell;
        double inset;
        TextureRect expected;
    } cases[] = {
        {{0, 0}, 0.0, {0.0f, 32 / 128.0f, 20 / 64.0f, 40 / 64.0f}},
        {{2, 1}, 0.0, {64 / 128.0f, 96 / 128.0f, 0.0f, 20 / 64.0f}},
        {{1, 0}, 0.5, {32.5f / 128, 63.5f / 128, 20.5f / 64, 39.5f / 64}},
    };
    for (const Case& c : cases) {
        const TextureRect r = frame_texture_rect(sprite, c.cell, c.inset);
        EXPECT_FLOAT_EQ(r.u_left, c.expected.u_left);
        EXPECT_FLOAT_EQ(r.u_right, c.expected.u_right);
        EXPECT_FLOAT_EQ(r.v_bottom, c.expected.v_bottom);
        EXPECT_FLOAT_EQ(r.v_top, c.expected.v_top);
    }
}

TEST(SpriteGeometryTest, PositiveAnglesTurnCounterClockwiseOnTheScreen) {
    ScreenPoint p[4];
    turned_corners(100, 50, 10, 5, 0, p);
    const float upright[4][2] = {{90, 45}, {90, 55}, {110, 55}, {110, 45}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(p[i].x, upright[i][0]);
        EXPECT_FLOAT_EQ(p[i].y, upright[i][1]);
    }
    // A quarter turn: the top-left corner goes to the bottom-left (y grows downwards).
    turned_corners(100, 50, 10, 5, 90, p);
    const float turned[4][2] = {{95, 60}, {105, 60}, {105, 40}, {95, 40}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(p[i].x, turned[i][0], 1e-4);
        EXPECT_NEAR(p[i].y, turned[i][1], 1e-4);
    }
}

}  // namespace
}  // namespace kvn
