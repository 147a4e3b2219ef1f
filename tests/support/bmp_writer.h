// Writes 24-bit BMP files (40-byte header, rows bottom-up) byte by byte for tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace kvn::testing_support {

inline void put_le(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// pixel(x, y) gives the RGB integer (red + 256 green + 65536 blue) of image pixel (x, y),
// y downwards.
template <typename Pixel>
void write_bmp(const std::filesystem::path& path, int32_t width, int32_t height, Pixel pixel) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::string bytes = "BM";
    put_le(bytes, 54 + stride * height, 4);
    put_le(bytes, 0, 4);
    put_le(bytes, 54, 4);
    put_le(bytes, 40, 4);
    put_le(bytes, static_cast<uint32_t>(width), 4);
    put_le(bytes, static_cast<uint32_t>(height), 4);
    put_le(bytes, 1, 2);
    put_le(bytes, 24, 2);
    put_le(bytes, 0, 4);
    put_le(bytes, stride * height, 4);
    put_le(bytes, 2835, 4);
    put_le(bytes, 2835, 4);
    put_le(bytes, 0, 4);
    put_le(bytes, 0, 4);
    for (int32_t row = height - 1; row >= 0; --row) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t rgb = static_cast<uint32_t>(pixel(x, row));
            bytes += static_cast<char>((rgb >> 16) & 0xFF);
            bytes += static_cast<char>((rgb >> 8) & 0xFF);
            bytes += static_cast<char>(rgb & 0xFF);
        }
        bytes.append(stride - width * 3, '\0');
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace kvn::testing_support
