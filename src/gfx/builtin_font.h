// The built-in 8 x 8 font, drawn from 5 x 6 glyph masks so text works without a font file.
#pragma once

#include <cstdint>

#include "image/image_decoders.h"

namespace kvn {

constexpr int32_t kBuiltinFontWidth = 128;
constexpr int32_t kBuiltinFontHeight = 64;

// Glyph mask of a code 32..127: bit (gy * 5 + gx) is the glyph pixel in column gx (0..4) and
// row gy (0..5), top-left first. Other codes have no glyph (0).
uint32_t builtin_glyph_mask(int32_t code);

// Fills image with the 128 x 64 RGBA font image: 16 x 8 cells of 8 x 8 pixels, glyph pixels
// white, their left, right, upper and lower neighbours dark grey, the rest transparent.
void make_builtin_font_image(DecodedImage* image);

}  // namespace kvn
