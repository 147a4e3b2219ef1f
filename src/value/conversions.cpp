// Numbers taken as integers.
#include <cmath>
#include <cstdint>
#include <limits>

#include "kvn/value.h"

namespace kvn {

int32_t to_integer(double number) {
    // A plain cast is undefined outside the int32 range; keep the processor's answer.
    if (!(number > -2147483649.0 && number < 2147483648.0)) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(number);
}

}  // namespace kvn
