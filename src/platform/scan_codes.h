// SDL scancodes in the runtime's terms: DirectInput scan codes.
#pragma once

#include <SDL_scancode.h>

#include <cstdint>

namespace kvn::platform {

// The DirectInput scan code of the key (0 = no such key).
uint8_t direct_input_scan_code(SDL_Scancode scancode);

}  // namespace kvn::platform
