// Texture objects as every part of the renderer makes them.
#pragma once

#include <cstdint>

namespace kvn {

// Generates a texture name and binds it (behind the GL state cache's back) with repeat
// wrapping and the given magnification and minification filters.
uint32_t new_texture(int32_t magnification, int32_t minification);

// The largest texture side the driver takes.
int32_t largest_texture_side();

}  // namespace kvn
