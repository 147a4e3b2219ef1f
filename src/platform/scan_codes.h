// SDL scancodes and hat positions in the runtime's terms: DirectInput scan codes and
// point-of-view angles.
#pragma once

#include <SDL_joystick.h>
#include <SDL_scancode.h>

#include <cstdint>

namespace kvn::platform {

// The DirectInput scan code of the key (0 = no such key).
uint8_t direct_input_scan_code(SDL_Scancode scancode);
// The SDL scancode of a DirectInput scan code (SDL_SCANCODE_UNKNOWN = no such key).
SDL_Scancode sdl_scancode(uint8_t scan_code);
// Hundredths of a degree clockwise from up for an SDL hat position; -1 when centred.
int32_t hat_direction(Uint8 hat);

}  // namespace kvn::platform
