// Input: the keyboard as DirectInput-style scan codes 0..255.
#pragma once

#include <cstdint>

namespace kvn {

// Polls the keyboard; 1 if the key with this scan code (taken modulo 256) is down, else 0.
int32_t key_down(int32_t scan_code);

}  // namespace kvn
