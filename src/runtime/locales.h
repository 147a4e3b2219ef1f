// The user-interface language as the runtime reports it; pure functions over tables.
#pragma once

#include <cstdint>

namespace kvn {

// The Windows language identifier of a POSIX locale name ("de_DE.UTF-8" -> 0x0407), 0 when
// unknown.
uint16_t language_id_from_locale(const char* locale);
// Two-letter language code of a Windows language identifier; "us" for any identifier not listed.
const char* locale_code_for_language_id(uint16_t id);

}  // namespace kvn
