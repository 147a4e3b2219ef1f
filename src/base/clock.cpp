// The runtime's millisecond clock and sleeping.
#include "base/clock.h"

#include <cmath>
#include <limits>

#include "kvn/base.h"
#include "platform/system.h"

namespace kvn {

ClockState clock_state;

namespace {

// Counter ticks as milliseconds. The whole seconds and the remainder are scaled apart, so
// ticks * 1000 is never formed and cannot overflow on a machine that has run for months.
double counter_to_ms(uint64_t ticks, uint64_t frequency) {
    uint64_t whole_ms = ticks / frequency * 1000;
    uint64_t remainder_ticks = ticks % frequency;
    return static_cast<double>(whole_ms) +
           static_cast<double>(remainder_ticks * 1000) / static_cast<double>(frequency);
}

}  // namespace

void clock_init() {
    ClockState& clock = clock_state;
    clock.uses_counter = false;
    uint64_t frequency = platform::performance_frequency();
    if (static_cast<int64_t>(frequency) > 0) {
        clock.uses_counter = true;
        clock.counter_frequency = static_cast<double>(frequency);
    }
}

double clock_ms() {
    ClockState& clock = clock_state;
    if (clock.uses_counter) {
        double raw = counter_to_ms(platform::performance_counter(),
                                   static_cast<uint64_t>(clock.counter_frequency));
        if (clock.clock_base_ms == 0.0) {
            clock.clock_base_ms = raw;
            return 0.0;
        }
        return raw - clock.clock_base_ms;
    }
    if (clock.clock_base_ms == 0.0) {
        // A base of 0 means "not read yet", so a first tick count of 0 (the tick source starts
        // at 0) is waited out; otherwise the second reading would restart the clock.
        uint32_t first_tick = platform::tick_count_ms();
        while (first_tick == 0) {
            platform::sleep_ms(1);
            first_tick = platform::tick_count_ms();
        }
        clock.clock_base_ms = first_tick;
    }
    // Unsigned difference, so the 49-day wrap of the tick count does not make time run back.
    uint32_t base = static_cast<uint32_t>(clock.clock_base_ms);
    return static_cast<double>(static_cast<uint32_t>(platform::tick_count_ms() - base));
}

void sleep(double milliseconds) {
    double whole = std::trunc(milliseconds);
    uint32_t duration = 0;
    if (whole >= std::numeric_limits<uint32_t>::max()) {
        duration = std::numeric_limits<uint32_t>::max();
    } else if (whole > 0.0) {
        duration = static_cast<uint32_t>(whole);
    }
    platform::sleep_ms(duration);
}

}  // namespace kvn
