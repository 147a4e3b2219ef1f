// Answers of platform_info that are pure functions, for the runtime and its tests.
#pragma once

#include <cstdint>

namespace kvn {

// Two-letter language code of a Windows language identifier; "us" for any identifier not listed.
const char* locale_code_for_language_id(uint16_t id);

}  // namespace kvn
