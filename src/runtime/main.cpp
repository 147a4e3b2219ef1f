// The C++ process entry: hands over to the runtime with the default show code.
#include "kvn/runtime.h"

namespace {

// Normal show state, as when the start-up information names none.
constexpr int32_t kDefaultShowCode = 10;

}  // namespace

int main() {
    kvn::program_entry(nullptr, kDefaultShowCode);
}
