// The WAV reader walks the chunk list with 64-bit positions and trusts no size: a chunk that
// would pass the end of the input ends the walk, and only bytes really read are kept.
#include "sound/wav_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "files/media_reader.h"

namespace kvn {

namespace {

constexpr uint32_t kFormatChunkSize = 16;
constexpr uint16_t kPcmFormatTag = 1;
constexpr uint32_t kLowestRate = 100;
constexpr uint32_t kHighestRate = 100000;

uint16_t little16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint32_t little32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

bool read_exactly(MediaReader& reader, void* destination, size_t count) {
    return reader.read(destination, count) == count;
}

// Skips chunks until one with this identifier; its size goes to size. False at the end of the
// input or when a chunk's size passes it.
bool find_chunk(MediaReader& reader, const char* id, uint32_t* size) {
    uint8_t header[8];
    while (read_exactly(reader, header, sizeof header)) {
        *size = little32(header + 4);
        if (std::memcmp(header, id, 4) == 0) return true;
        // Chunks are skipped by their size alone, without a pad byte for odd sizes.
        if (!reader.seek(reader.position() + *size)) return false;
    }
    return false;
}

bool playable(const PcmFormat& format) {
    return (format.channels == 1 || format.channels == 2) &&
           (format.bits_per_sample == 8 || format.bits_per_sample == 16) &&
           format.sample_rate >= kLowestRate && format.sample_rate <= kHighestRate;
}

}  // namespace

bool read_wav(const char* name, SoundData* sound) {
    MediaReader reader;
    if (!reader.open(name)) return false;

    uint8_t riff[12];
    if (!read_exactly(reader, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return false;
    }

    uint32_t format_size = 0;
    uint8_t fields[kFormatChunkSize];
    if (!find_chunk(reader, "fmt ", &format_size) || format_size < kFormatChunkSize ||
        !read_exactly(reader, fields, sizeof fields) ||
        !reader.seek(reader.position() + (format_size - kFormatChunkSize))) {
        return false;
    }
    PcmFormat format;
    const uint16_t format_tag = little16(fields);
    format.channels = little16(fields + 2);
    format.sample_rate = little32(fields + 4);
    const uint16_t block_align = little16(fields + 12);
    format.bits_per_sample = little16(fields + 14);
    if (format_tag != kPcmFormatTag || !playable(format) || block_align != format.block_align()) {
        return false;
    }

    uint32_t data_size = 0;
    if (!find_chunk(reader, "data", &data_size)) return false;
    // Only the whole frames the input really holds.
    const uint64_t available = std::min<uint64_t>(data_size, reader.size() - reader.position());
    const uint64_t frames = std::min(available / block_align, kLongestSoundFrames);
    if (frames == 0) return false;
    // A sound too large to hold fails its load like a malformed one.
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(frames * block_align));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const size_t read = reader.read(bytes.data(), bytes.size());
    bytes.resize(read - read % block_align);
    if (bytes.empty()) return false;

    sound->format = format;
    sound->bytes = std::move(bytes);
    return true;
}

}  // namespace kvn
