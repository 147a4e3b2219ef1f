// Key positions and hat positions in the runtime's terms: DirectInput scan codes and
// point-of-view angles. Shared by the keyboard state and the key events inside the platform
// layer.
#pragma once

#include <cstdint>

namespace kvn::platform {

// A key position as a USB HID keyboard usage id (4 = A, 79 = right arrow, ...).
using KeyUsage = int;

// The DirectInput scan code of the key (0 = no such key).
uint8_t direct_input_scan_code(KeyUsage usage);
// The key position of a DirectInput scan code (0 = no such key).
KeyUsage key_usage(uint8_t scan_code);

// A hat position as direction bits; up and right (or down and left) together are diagonals.
enum HatBits : uint8_t { kHatUp = 1, kHatRight = 2, kHatDown = 4, kHatLeft = 8 };
// Hundredths of a degree clockwise from up for a hat position; -1 when centred.
int32_t hat_direction(uint8_t hat_bits);

}  // namespace kvn::platform
