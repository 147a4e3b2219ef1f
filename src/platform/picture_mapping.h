// The scaled picture of the application window, shared inside the platform layer: the window
// service sets it, the mouse readings and warps go through it.
#pragma once

#include <cstdint>

struct SDL_Window;

namespace kvn::platform {

// Maps a pointer reading in window pixels to the scaled picture's pixels (position and
// relative motion); nothing while no window's picture is scaled. The runtime has one window.
void map_pointer_to_picture(int* x, int* y, int* dx, int* dy);
// Maps a picture point of the window to the window pixel that shows it; nothing while the
// window's picture is not scaled.
void map_picture_to_window(SDL_Window* window, int* x, int* y);

}  // namespace kvn::platform
