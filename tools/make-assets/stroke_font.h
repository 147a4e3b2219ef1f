// The project's chamfered stroke font, used for the bitmap font and the HUD labels. Glyphs are
// polylines in glyph units: 5 wide, capitals from y 0 down to the baseline at y 9, lower case
// from y 3.5, descenders to y 10.8.
#pragma once

#include <cairo.h>

#include <string>

namespace assets {

constexpr double kGlyphUnitsWide = 5.0;
constexpr double kGlyphCapHeight = 9.0;

// Appends the strokes of character c (codes 33..126; others have none) to the current path,
// with the glyph's top-left at (x, top) and unit pixels per glyph unit.
void append_glyph(cairo_t* cr, char c, double x, double top, double unit);
// Appends a whole text, advance pixels per character.
void append_text(cairo_t* cr, const std::string& text, double x, double top, double unit,
                 double advance);
// True when the character has strokes.
bool has_glyph(char c);

}  // namespace assets
