// Deliberately failing fuzz target: an input beginning with 'E' reaches the runtime's fatal
// end, which exits with code 0. Kept out of the suite; unintended_exit.sh replays a corpus
// with such an input and passes only when the replay fails.
#include <cstddef>
#include <cstdint>

#include "kvn/base.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0 && data[0] == 'E') {
        kvn::set_error(kvn::kErrorOutOfBounds);
        kvn::end_program();
    }
    return 0;
}
