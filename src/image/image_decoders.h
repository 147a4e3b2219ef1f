// Image decoders: plain functions over bytes and pixel buffers, with no GL and no runtime
// state, so they are tested and fuzzed directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvn {

// A decoded image: RGBA bytes, rows top to bottom. The buffer is re-used by later decodes
// when its capacity suffices; width and height are 0 after a failed decode.
struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

// Colour key value that keys nothing.
constexpr int32_t kNoColourKey = -1;

// Each decoder refuses widths or heights below 1 or above max_side before allocating, fails
// cleanly (false, image emptied) on any malformed input, and never reads outside data.

// BMP (12- or 40-byte information header; 1, 4, 8, 24 or 32 bits per pixel). Pixels whose
// R + 256 G + 65536 B equals key become (0, 0, 0, 0).
bool decode_bmp(const uint8_t* data, size_t size, int32_t key, int32_t max_side,
                DecodedImage* image);
// PNG through libpng; grey, RGB and RGBA results, RGB keyed. name is used in the two messages
// printed for an unsupported depth or colour type.
bool decode_png(const uint8_t* data, size_t size, const char* name, int32_t key,
                int32_t max_side, DecodedImage* image);
// JPEG through libjpeg (1, 3 or 4 components; never keyed).
bool decode_jpeg(const uint8_t* data, size_t size, int32_t max_side, DecodedImage* image);

}  // namespace kvn
