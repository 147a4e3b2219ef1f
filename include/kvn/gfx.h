// 2D graphics: viewport, screen size and the drawing state of the renderer.
#pragma once

#include <cstdint>

namespace kvn {

// Sets the 2D viewport (top-left origin); w or h of 0 or less means the whole screen.
void set_viewport(int32_t x, int32_t y, int32_t w, int32_t h);
// The stored viewport rectangle as numbers.
void get_viewport(double& x, double& y, double& w, double& h);
// The stored viewport rectangle as integers.
void get_viewport_int(int32_t& x, int32_t& y, int32_t& w, int32_t& h);
// The screen (client) size in pixels as numbers.
void get_screen_size(double& width, double& height);
// The screen (client) size in pixels as integers.
void get_screen_size_int(int32_t& width, int32_t& height);
// Sets the clear colour (RGB integer red + 256 green + 65536 blue) and clears the picture.
void clear_screen(int32_t colour);
// Linear (non-zero) or nearest texture filtering for later drawing.
void set_smooth_filter(int32_t flag);
// Colour key of later sprite and font loads (RGB integer).
void set_transparency(int32_t colour);

}  // namespace kvn
