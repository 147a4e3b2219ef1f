// The process-wide error state and the hook through which end_program ends the runtime.
#pragma once

#include <cstdint>

namespace kvn {

struct ErrorState {
    int32_t error_code = 0;
    int32_t error_line = 0;
    int32_t current_line = 0;
    int32_t current_module = 0;
};

// The error state of the process.
extern ErrorState error_state;

// What end_program runs before the process exits (the runtime's debug record and shutdown);
// null runs nothing.
using EndHandler = void (*)();
// Sets the end handler; the runtime sets it once at start.
void set_end_handler(EndHandler handler);

}  // namespace kvn
