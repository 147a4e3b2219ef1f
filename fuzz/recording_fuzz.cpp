// Recording files on arbitrary bytes: the decoder either refuses the file at an offset inside
// it or hands out its steps, each reading of a kind that exists and of a size it allows, and
// as many frame ends as it counted (walked up to a bound, as repeat runs can be long).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "replay/recording_format.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

constexpr uint64_t kLongestWalk = 200000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvn::replay;
    Decoder decoder;
    size_t damaged_at = ~size_t{0};
    if (!decoder.open(std::vector<uint8_t>(data, data + size), &damaged_at)) {
        require(damaged_at <= size);
        kvn::replay::Entry entry;
        require(!decoder.next(&entry));
        return 0;
    }
    Entry entry;
    uint64_t steps = 0, frames = 0;
    while (steps < kLongestWalk && decoder.next(&entry)) {
        ++steps;
        if (entry.frame_end) {
            ++frames;
            continue;
        }
        require(is_kind(static_cast<uint8_t>(entry.kind)));
        require(entry.size <= kLongestValue);
        require(!is_counter(entry.kind) || entry.size == 8);
        // Every byte of a value is readable.
        volatile uint8_t sum = 0;
        for (size_t i = 0; i < entry.size; ++i) sum = static_cast<uint8_t>(sum + entry.data[i]);
    }
    if (steps < kLongestWalk) require(frames == decoder.frame_count());
    return 0;
}
