// Writes 16-bit PCM WAV files of a square-wave tone for tests and benchmarks.
#pragma once

#include <cstdint>
#include <string>

namespace kvn::testing_support {

// The bytes of a WAV file with that many milliseconds of a quiet square wave.
inline std::string tone_wav(int milliseconds, uint32_t rate = 22050, uint16_t channels = 1) {
    const uint32_t frames = rate * static_cast<uint32_t>(milliseconds) / 1000;
    const uint32_t align = 2u * channels;
    std::string bytes;
    const auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    bytes += "RIFF";
    put(36 + frames * align, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(rate, 4);
    put(rate * align, 4);
    put(align, 2);
    put(16, 2);
    bytes += "data";
    put(frames * align, 4);
    for (uint32_t i = 0; i < frames * channels; ++i) put((i / 50) % 2 ? 0x0400 : 0xFC00, 2);
    return bytes;
}

}  // namespace kvn::testing_support
