// The simulation step of one frame.
#include <kvn/kvn.h>

#include "globals.h"

using namespace kvn;

namespace {

constexpr int32_t kKeyEscape = 1;

}  // namespace

double Process_Master() {
    if (key_down(kKeyEscape)) Running = 0;
    return 0;
}
