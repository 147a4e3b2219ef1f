// WAV files built byte by byte for the sound tests, and live memory images holding them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/media_reader.h"

namespace kvn::testing_support {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes* bytes, uint32_t value) {
    for (int i = 0; i < 2; ++i) bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline void put32(Bytes* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A chunk: identifier, the declared size, then the body as given (no pad byte).
inline Bytes chunk(const char* id, const Bytes& body, uint32_t declared_size) {
    Bytes bytes(id, id + 4);
    put32(&bytes, declared_size);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

inline Bytes chunk(const char* id, const Bytes& body) {
    return chunk(id, body, static_cast<uint32_t>(body.size()));
}

// The 16 fields of a "fmt " chunk's body; block alignment 0 means channels x bits / 8.
inline Bytes format_fields(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1,
                           uint16_t block_align = 0) {
    if (block_align == 0) block_align = static_cast<uint16_t>(channels * bits / 8);
    Bytes bytes;
    put16(&bytes, tag);
    put16(&bytes, channels);
    put32(&bytes, rate);
    put32(&bytes, rate * block_align);
    put16(&bytes, block_align);
    put16(&bytes, bits);
    return bytes;
}

// "RIFF", the size, "WAVE", then the chunks.
inline Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& each : chunks) body.insert(body.end(), each.begin(), each.end());
    return chunk("RIFF", body);
}

// A plain WAV of these samples.
inline Bytes wav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples) {
    return riff({chunk("fmt ", format_fields(channels, rate, bits)), chunk("data", samples)});
}

// Signed 16-bit samples as little-endian bytes.
inline Bytes samples16(const std::vector<int16_t>& samples) {
    Bytes bytes;
    for (const int16_t sample : samples) put16(&bytes, static_cast<uint16_t>(sample));
    return bytes;
}

// The bytes as a live "mem://" image for as long as this object lives.
class MemoryImage {
  public:
    explicit MemoryImage(Bytes bytes) : handle_(memory_image_add(std::move(bytes))) {}
    MemoryImage(const MemoryImage&) = delete;
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() { memory_image_remove(handle_); }

    std::string name() const { return memory_image_name(handle_).c_str(); }

  private:
    uint32_t handle_;
};

}  // namespace kvn::testing_support
