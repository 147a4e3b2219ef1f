// Recording decoder on arbitrary bytes: no overrun; a file it opens hands out exactly the
// frames it counted, every reading a kind with a value no longer than the longest.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "replay/recording_format.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Enough steps for every seed and a long repeat run, few enough to keep each input fast.
constexpr uint64_t kStepLimit = 200000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvn::replay;
    Decoder decoder;
    size_t damaged_at = 0;
    if (!decoder.open(std::vector<uint8_t>(data, data + size), &damaged_at)) {
        require(damaged_at <= size);
        return 0;
    }
    Entry entry;
    uint64_t steps = 0;
    uint64_t frames = 0;
    while (steps < kStepLimit && decoder.next(&entry)) {
        ++steps;
        if (entry.frame_end) {
            ++frames;
            continue;
        }
        require(is_kind(static_cast<uint8_t>(entry.kind)));
        require(entry.size <= kLongestValue);
        require(!is_counter(entry.kind) || entry.size == 8);
        if (entry.size > 0) {
            // The value's ends are read, so the sanitizer sees a pointer past its storage.
            require(entry.data != nullptr);
            volatile uint8_t ends = entry.data[0] ^ entry.data[entry.size - 1];
            (void)ends;
        }
    }
    if (steps < kStepLimit) require(frames == decoder.frame_count());
    return 0;
}
