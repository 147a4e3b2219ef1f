// Bitmap-font arithmetic.
#include "gfx/font_layout.h"

#include <cmath>

namespace kvn {

FontGrid font_grid(int32_t img_w, int32_t img_h) {
    FontGrid grid;
    grid.rows = img_w < img_h ? 16 : 8;
    grid.codes = 16 * grid.rows;
    grid.glyph_w = img_w >> 4;
    grid.glyph_h = grid.rows == 16 ? img_h >> 4 : img_h >> 3;
    return grid;
}

void layout_text(const uint8_t* text, size_t length, double x, double y, const FontGrid& grid,
                 float u_max, float v_max, TextVertex* out) {
    const float u_step = u_max / 16.0f;
    const float v_step = v_max / static_cast<float>(grid.rows);
    const float top = static_cast<float>(std::ceil(y));
    const float bottom = top + static_cast<float>(grid.glyph_h);
    double left = std::ceil(x);
    for (size_t i = 0; i < length; ++i) {
        const int32_t code = text[i] % grid.codes;
        const float u_left = static_cast<float>(code % 16) * u_step;
        const float u_right = u_left + u_step;
        const float v_bottom = static_cast<float>(grid.rows - 1 - code / 16) * v_step;
        const float v_top = v_bottom + v_step;
        const float x0 = static_cast<float>(left);
        const float x1 = static_cast<float>(left + grid.glyph_w);
        TextVertex* quad = out + 4 * i;
        quad[0] = {x0, bottom, 0.0f, u_left, v_bottom};
        quad[1] = {x0, top, 0.0f, u_left, v_top};
        quad[2] = {x1, bottom, 0.0f, u_right, v_bottom};
        quad[3] = {x1, top, 0.0f, u_right, v_top};
        left += grid.glyph_w;
    }
}

}  // namespace kvn
