// The runtime's texts are Windows-1252; the desktop, the terminal and SDL speak UTF-8.
#pragma once

#include <string>

namespace kvn::platform {

// Windows-1252 text as UTF-8.
std::string ansi_to_utf8(const char* text);
// UTF-8 text as Windows-1252; characters without a code there and malformed bytes are left out.
std::string utf8_to_ansi(const char* text);

}  // namespace kvn::platform
