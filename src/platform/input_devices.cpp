// The input devices as state: the keyboard through SDL's key state.
#include "platform/input_devices.h"

#include <SDL.h>

#include <cstring>

#include "platform/scan_codes.h"

namespace kvn::platform {

void keyboard_read(uint8_t state[256]) {
    SDL_PumpEvents();
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    std::memset(state, 0, 256);
    for (int scancode = 0; scancode < count && scancode < SDL_NUM_SCANCODES; ++scancode) {
        const uint8_t code = direct_input_scan_code(static_cast<SDL_Scancode>(scancode));
        if (code != 0 && keys[scancode]) state[code] = 0x80;
    }
}

}  // namespace kvn::platform
