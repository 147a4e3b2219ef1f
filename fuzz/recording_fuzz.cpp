// Recording files on arbitrary bytes: the decoder either refuses the file at an offset inside
// it or hands out its steps, each reading of a kind that exists and of a size it allows, and
// as many frame ends as it counted (walked up to a bound, as repeat runs can be long). An
// input whose first byte is odd is taken as the records themselves and deflated behind a
// header first, so the mutations reach the record parser and not only the inflater.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "replay/recording_format.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

constexpr uint64_t kLongestWalk = 200000;

std::vector<uint8_t> file_of_records(const uint8_t* records, size_t size) {
    std::vector<uint8_t> file = kvn::replay::encode_header(kvn::replay::Header());
    z_stream stream{};
    require(deflateInit2(&stream, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK);
    std::vector<uint8_t> out(deflateBound(&stream, size) + 16);
    stream.next_in = const_cast<Bytef*>(records);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    require(deflate(&stream, Z_FINISH) == Z_STREAM_END);
    file.insert(file.end(), out.data(), out.data() + stream.total_out);
    deflateEnd(&stream);
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvn::replay;
    std::vector<uint8_t> file = size > 0 && (data[0] & 1) ? file_of_records(data + 1, size - 1)
                                                           : std::vector<uint8_t>(data, data + size);
    const size_t file_size = file.size();
    Decoder decoder;
    size_t damaged_at = ~size_t{0};
    if (!decoder.open(std::move(file), &damaged_at)) {
        require(damaged_at <= file_size);
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
