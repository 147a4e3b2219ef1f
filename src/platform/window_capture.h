// Reading the picture a window shows on the screen (what was last presented), through the
// window system rather than GL.
#pragma once

#include <cstdint>
#include <vector>

namespace kvn::platform {

struct Window;

// Reads the top-left width x height pixels of the window's client area as shown on the screen:
// rows top to bottom, blue, green, red, alpha 255. Parts of the window off the screen read
// black. False (nothing read) when the window system offers no such read or it fails.
bool window_read_shown_pixels(Window* window, int width, int height, std::vector<uint8_t>* bgra);

}  // namespace kvn::platform
