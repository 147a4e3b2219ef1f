// The arithmetic of sprite drawing: animation frames, zoom rectangles, turned corners and
// rectangle edges. Plain functions, no GL.
#pragma once

#include <cstdint>

namespace kvn {

// Sizes of a slot that the drawing arithmetic uses.
struct SpriteGeometry {
    int32_t img_w = 0;
    int32_t img_h = 0;
    int32_t tex_w = 0;
    int32_t tex_h = 0;
    int32_t frame_w = 0;
    int32_t frame_h = 0;
};

// Column and row of an animation frame in the image's grid of frames.
struct FrameCell {
    int64_t column = 0;
    int64_t row = 0;
};

// A texture rectangle; texture row 0 holds the image's bottom row, so v_top > v_bottom.
struct TextureRect {
    float u_left = 0;
    float u_right = 0;
    float v_bottom = 0;
    float v_top = 0;
};

// A screen point.
struct ScreenPoint {
    float x = 0;
    float y = 0;
};

// A whole-pixel rectangle.
struct PixelRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

// Frames lie left to right, then top to bottom, img_w / frame_w to a row. When no whole frame
// fits across, the drawing commands keep every frame in row 0. frame_w must be positive.
FrameCell frame_cell_for_drawing(int32_t img_w, int32_t frame_w, int32_t frame);
// The collision test's rule: when no whole frame fits across, one frame per row.
FrameCell frame_cell_for_collision(int32_t img_w, int32_t frame_w, int32_t frame);

// Texture rectangle of a frame, moved inwards by inset texels on every side.
TextureRect frame_texture_rect(const SpriteGeometry& sprite, FrameCell cell, double inset);

// The rectangle of an image of w0 x h0 at (x, y) scaled by sx, sy about its centre; each value
// truncated towards zero.
PixelRect zoom_rect(int32_t x, int32_t y, int32_t w0, int32_t h0, double sx, double sy);

// Corners of a half-size hw x hh box about (cx, cy) turned by angle degrees counter-clockwise
// on the screen: top-left, bottom-left, bottom-right, top-right.
void turned_corners(double cx, double cy, double hw, double hh, double angle_degrees,
                    ScreenPoint corners[4]);

// Left and right (exclusive) edges of a rectangle side: a negative size covers the pixels
// ending at start.
void rect_span(int32_t start, int32_t size, int64_t* first, int64_t* end);

}  // namespace kvn
