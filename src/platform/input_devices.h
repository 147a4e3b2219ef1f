// The input devices as state in the runtime's terms: the keyboard as DirectInput scan codes.
#pragma once

#include <cstdint>

namespace kvn::platform {

// Pumps events and writes the keyboard as 256 scan-code bytes (bit 7 set = down).
void keyboard_read(uint8_t state[256]);

}  // namespace kvn::platform
