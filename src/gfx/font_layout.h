// Bitmap-font arithmetic: the glyph grid of a font image and the vertices of a text.
// Plain functions, no GL.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvn {

// The glyph grid of a font image: 16 columns; 16 rows (256 codes) when the image is higher
// than wide, else 8 rows (128 codes).
struct FontGrid {
    int32_t rows = 0;
    int32_t codes = 0;
    int32_t glyph_w = 0;
    int32_t glyph_h = 0;
};

FontGrid font_grid(int32_t img_w, int32_t img_h);

// One text vertex as GL reads it: position with z, texture coordinates (20 bytes).
struct TextVertex {
    float x;
    float y;
    float z;
    float u;
    float v;
};
static_assert(sizeof(TextVertex) == 20, "GL reads text vertices 20 bytes apart");

// Writes 4 vertices per byte of the text into out, one triangle strip: glyphs side by side
// from (ceil(x), ceil(y)), byte b showing the glyph of b modulo the grid's codes. u_max and
// v_max are the image's extent in the texture.
void layout_text(const uint8_t* text, size_t length, double x, double y, const FontGrid& grid,
                 float u_max, float v_max, TextVertex* out);

}  // namespace kvn
