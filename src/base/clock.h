// The state of the runtime's millisecond clock.
#pragma once

namespace kvn {

// Clock source, chosen once by clock_init.
struct ClockState {
    bool uses_counter = false;
    double counter_frequency = 0.0;
    double clock_base_ms = 0.0;
};

// The clock of the process.
extern ClockState clock_state;

}  // namespace kvn
