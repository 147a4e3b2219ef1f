// The built-in font image.
#include "gfx/builtin_font.h"

#include <algorithm>

namespace kvn {

namespace {

constexpr int32_t kFirstCode = 32;
constexpr int32_t kCellSide = 8;
constexpr int32_t kGlyphColumns = 5;
constexpr int32_t kGlyphRows = 6;

// Masks of codes 32..127.
constexpr uint32_t kGlyphMasks[96] = {
    0x0,       0x8021080,  0x2940,    0x15F57D40, 0x8E619C4, 0x14222140, 0xED114E0, 0x1080,
    0x8210880, 0x4421040,  0x9575480, 0x8471080,  0x4400000, 0x70000,    0x8000000, 0x4222100,
    0xE5294E,  0x4210C4,   0xE1390E,  0xE4390E,   0x84394A,  0xE4384E,   0xE5384E,  0x42210E,
    0xE5394E,  0xE4394E,   0x20080,   0x220080,   0x820888,  0x701C0,    0x222082,  0x40310E,
    0xE0B526,  0xA5394E,   0xE5194E,  0xE5094E,   0xE52946,  0xE1384E,   0x21384E,  0xE5284E,
    0xA5394A,  0xE2108E,   0xE5210C,  0xA5194A,   0xE10842,  0x15AD6BF,  0xA5294E,  0xE5294E,
    0x21394E,  0xF294A7,   0xA5194E,  0xE4384E,   0x42108E,  0xE5294A,   0x45294A,  0x1FAD6B5,
    0xA5114A,  0x42394A,   0xE1110E,  0x610846,   0x1041041, 0x621086,   0x144,     0xE00000,
    0x82,      0xE53000,   0xE53842,  0xE13800,   0xE53908,  0x8273800,  0x423888,  0x8873800,
    0xA51842,  0x421004,   0x4421004, 0xA32842,   0x421084,  0x15ABC00,  0xA51800,  0xE53800,
    0x4E51800, 0x10E53000, 0x253800,  0xE409C0,   0xC23884,  0xC52800,   0x452800,  0xEAD400,
    0xA22800,  0x1C872800, 0xE121C0,  0x821888,   0x421084,  0x223082,   0x2A800,   0x3F18C63F,
};

// True when cell pixel (cx, cy) is a pixel of the glyph; the glyph sits one pixel in from the
// cell's top-left corner.
bool glyph_pixel(uint32_t mask, int32_t cx, int32_t cy) {
    const int32_t gx = cx - 1;
    const int32_t gy = cy - 1;
    if (gx < 0 || gx >= kGlyphColumns || gy < 0 || gy >= kGlyphRows) return false;
    return (mask >> (gy * kGlyphColumns + gx)) & 1;
}

}  // namespace

uint32_t builtin_glyph_mask(int32_t code) {
    if (code < kFirstCode || code >= kFirstCode + 96) return 0;
    return kGlyphMasks[code - kFirstCode];
}

void make_builtin_font_image(DecodedImage* image) {
    image->width = kBuiltinFontWidth;
    image->height = kBuiltinFontHeight;
    image->pixels.assign(static_cast<size_t>(kBuiltinFontWidth) * kBuiltinFontHeight * 4, 0);
    for (int32_t code = kFirstCode; code < 128; ++code) {
        const uint32_t mask = builtin_glyph_mask(code);
        const int32_t left = (code % 16) * kCellSide;
        const int32_t top = (code / 16) * kCellSide;
        // Column 7 of every cell stays transparent, keeping glyphs apart.
        for (int32_t cy = 0; cy < kCellSide; ++cy) {
            for (int32_t cx = 0; cx < kCellSide - 1; ++cx) {
                uint8_t shade = 0;
                if (glyph_pixel(mask, cx, cy)) {
                    shade = 255;
                } else if (glyph_pixel(mask, cx - 1, cy) || glyph_pixel(mask, cx + 1, cy) ||
                           glyph_pixel(mask, cx, cy - 1) || glyph_pixel(mask, cx, cy + 1)) {
                    shade = 8;
                } else {
                    continue;
                }
                uint8_t* pixel =
                    &image->pixels[(static_cast<size_t>(top + cy) * kBuiltinFontWidth + left + cx) *
                                   4];
                std::fill(pixel, pixel + 3, shade);
                pixel[3] = 255;
            }
        }
    }
}

}  // namespace kvn
