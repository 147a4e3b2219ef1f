// The arithmetic of sprite drawing.
#include "gfx/sprite_geometry.h"

#include <cmath>

#include "kvn/value.h"

namespace kvn {

namespace {

// Degrees to radians with the constant the turned draws have always used.
constexpr double kRadiansPerDegree = 0.017453292;

}  // namespace

FrameCell frame_cell_for_drawing(int32_t img_w, int32_t frame_w, int32_t frame) {
    const int64_t per_row = static_cast<int64_t>(img_w) / frame_w;
    if (per_row == 0) return {frame, 0};
    return {frame % per_row, frame / per_row};
}

FrameCell frame_cell_for_collision(int32_t img_w, int32_t frame_w, int32_t frame) {
    int64_t per_row = static_cast<int64_t>(img_w) / frame_w;
    if (per_row == 0) per_row = 1;
    return {frame % per_row, frame / per_row};
}

TextureRect frame_texture_rect(const SpriteGeometry& sprite, FrameCell cell, double inset) {
    const double left = static_cast<double>(sprite.frame_w) * static_cast<double>(cell.column);
    const double bottom = static_cast<double>(sprite.img_h) -
                          static_cast<double>(sprite.frame_h) * static_cast<double>(cell.row + 1);
    TextureRect rect;
    rect.u_left = static_cast<float>((left + inset) / sprite.tex_w);
    rect.u_right = static_cast<float>((left + sprite.frame_w - inset) / sprite.tex_w);
    rect.v_bottom = static_cast<float>((bottom + inset) / sprite.tex_h);
    rect.v_top = static_cast<float>((bottom + sprite.frame_h - inset) / sprite.tex_h);
    return rect;
}

PixelRect zoom_rect(int32_t x, int32_t y, int32_t w0, int32_t h0, double sx, double sy) {
    const double width = sx * w0;
    const double height = sy * h0;
    return {to_integer(x - (width - w0) / 2), to_integer(y - (height - h0) / 2), to_integer(width),
            to_integer(height)};
}

void turned_corners(double cx, double cy, double hw, double hh, double angle_degrees,
                    ScreenPoint corners[4]) {
    const double theta = angle_degrees * kRadiansPerDegree;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    const double offsets[4][2] = {{-hw, -hh}, {-hw, hh}, {hw, hh}, {hw, -hh}};
    for (int i = 0; i < 4; ++i) {
        const double dx = offsets[i][0];
        const double dy = offsets[i][1];
        corners[i].x = static_cast<float>(cx + c * dx + s * dy);
        corners[i].y = static_cast<float>(cy + c * dy - s * dx);
    }
}

void rect_span(int32_t start, int32_t size, int64_t* first, int64_t* end) {
    if (size < 0) {
        *first = static_cast<int64_t>(start) + size + 1;
        *end = static_cast<int64_t>(start) + 1;
    } else {
        *first = start;
        *end = static_cast<int64_t>(start) + size;
    }
}

}  // namespace kvn
