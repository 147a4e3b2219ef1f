// Font grids, text vertices and the built-in font image.
#include "gfx/font_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/builtin_font.h"

namespace kvn {
namespace {

TEST(FontLayoutTest, GridFollowsTheImageShape) {
    struct Case {
        int32_t w, h, rows, codes, glyph_w, glyph_h;
    } cases[] = {
        {256, 128, 8, 128, 16, 16}, {128, 256, 16, 256, 8, 16}, {256, 256, 8, 128, 16, 32},
        {128, 64, 8, 128, 8, 8},    {0, 0, 8, 128, 0, 0},  // an empty font has zero-sized glyphs
    };
    for (const Case& c : cases) {
        const FontGrid grid = font_grid(c.w, c.h);
        EXPECT_EQ(grid.rows, c.rows) << c.w << "x" << c.h;
        EXPECT_EQ(grid.codes, c.codes) << c.w << "x" << c.h;
        EXPECT_EQ(grid.glyph_w, c.glyph_w) << c.w << "x" << c.h;
        EXPECT_EQ(grid.glyph_h, c.glyph_h) << c.w << "x" << c.h;
    }
}

TEST(FontLayoutTest, GlyphsSideBySideFromTheRoundedUpStart) {
    const std::string text =
        "A\xC8"
        "BCD";  // 0xC8 = 200 shows glyph 72 in 128 codes
    std::vector<TextVertex> v(4 * text.size());
    const FontGrid grid = font_grid(128, 64);
    layout_text(reinterpret_cast<const uint8_t*>(text.data()), text.size(), 10.2, -3.7, grid, 1.0f,
                0.5f, v.data());
    // Bottom-left, top-left, bottom-right, top-right per glyph.
    EXPECT_FLOAT_EQ(v[0].x, 11);
    EXPECT_FLOAT_EQ(v[0].y, -3 + 8);
    EXPECT_FLOAT_EQ(v[1].y, -3);
    EXPECT_FLOAT_EQ(v[3].x, 19);
    EXPECT_FLOAT_EQ(v[4 * 4 + 3].x, 11 + 40);  // five glyphs advance 40 pixels
    for (const TextVertex& vertex : v) EXPECT_EQ(vertex.z, 0.0f);
    // 'A' = 65: column 1, row 4 of 8; rows count from the texture's bottom.
    EXPECT_FLOAT_EQ(v[0].u, 1.0f / 16);
    EXPECT_FLOAT_EQ(v[2].u, 2.0f / 16);
    EXPECT_FLOAT_EQ(v[0].v, 3 * (0.5f / 8));
    EXPECT_FLOAT_EQ(v[1].v, 4 * (0.5f / 8));
    // 200 -> 72: column 8, row 4.
    EXPECT_FLOAT_EQ(v[4].u, 8.0f / 16);
    EXPECT_FLOAT_EQ(v[4].v, 3 * (0.5f / 8));
    // Consecutive glyphs share their edge.
    EXPECT_EQ(v[2].x, v[4].x);
    EXPECT_EQ(v[3].x, v[5].x);

    // In a 256-code font, 200 is its own glyph: column 8, row 12 of 16.
    const uint8_t code = 200;
    layout_text(&code, 1, 0, 0, font_grid(128, 256), 1.0f, 1.0f, v.data());
    EXPECT_FLOAT_EQ(v[0].u, 8.0f / 16);
    EXPECT_FLOAT_EQ(v[0].v, 3.0f / 16);
}

// The cell pixel (cx, cy) of a code in the built-in image: 0 transparent, else the grey value.
int shade(const DecodedImage& image, int code, int cx, int cy) {
    const size_t offset = (size_t((code / 16) * 8 + cy) * image.width + (code % 16) * 8 + cx) * 4;
    const uint8_t* p = &image.pixels[offset];
    if (p[3] == 0) return 0;
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[0], p[2]);
    return p[0];
}

TEST(FontLayoutTest, BuiltInFontDrawsGlyphsWithAnOutline) {
    DecodedImage image;
    make_builtin_font_image(&image);
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 64);

    // 'A' as it must look: '#' glyph, '+' outline, '.' transparent.
    const char* expected_a[8] = {
        "..+++..", ".+###+.", ".+#+#+.", ".+###+.", ".+#+#+.", ".+#+#+.", "..+.+..", ".......",
    };
    for (int cy = 0; cy < 8; ++cy) {
        std::string row;
        for (int cx = 0; cx < 8; ++cx) {
            const int s = shade(image, 'A', cx, cy);
            row += s == 255 ? '#' : s == 8 ? '+' : s == 0 ? '.' : '?';
        }
        EXPECT_EQ(row, std::string(expected_a[cy]) + ".") << "row " << cy;
    }

    // Every code: glyph pixels exactly where the mask says, column 7 always transparent,
    // codes below 32 blank.
    for (int code = 0; code < 128; ++code) {
        const uint32_t mask = builtin_glyph_mask(code);
        if (code < 32) {
            EXPECT_EQ(mask, 0u);
        }
        for (int cy = 0; cy < 8; ++cy) {
            EXPECT_EQ(shade(image, code, 7, cy), 0) << code;
            for (int cx = 0; cx < 7; ++cx) {
                const bool in_glyph = cx >= 1 && cx <= 5 && cy >= 1 && cy <= 6 &&
                                      ((mask >> ((cy - 1) * 5 + cx - 1)) & 1);
                EXPECT_EQ(shade(image, code, cx, cy) == 255, in_glyph) << code;
            }
        }
    }
}

}  // namespace
}  // namespace kvn
