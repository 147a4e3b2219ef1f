// Image decoders and the CPU side of the texture upload: plain functions over bytes and pixel
// buffers, with no GL and no runtime state, so they are tested and fuzzed directly.
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

// Texels ready for a GL upload: RGBA, row 0 is the image's bottom row.
struct TextureImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> texels;
};

// The smallest power of two that is at least 16 and not below size.
int32_t texture_side_for(int32_t size);

// Copies the rectangle (x, y, w, h) of the image (w or h 0 = to the image's edge, both limited
// to max_side and cut at the image's edge) into a zeroed power-of-two texture, bottom row
// first; everything but fonts gets the edge-colour fill. False when the rectangle is empty,
// starts outside the image, or the texels cannot be allocated.
bool prepare_texture(const DecodedImage& image, int32_t x, int32_t y, int32_t w, int32_t h,
                     int32_t max_side, bool is_font, TextureImage* texture);

// Replaces red, green and blue of every texel by the normal of the blue channel's slope;
// false (texels unchanged) when its scratch buffer cannot be allocated.
bool make_normal_map(TextureImage* texture);

// Builds the mipmapped copy: squares the texels by halving the longer side, then calls
// upload_level for level 0 and every halved level down to 1 x 1. Works in place on texture.
template <typename UploadLevel>
void build_mipmap_chain(TextureImage* texture, UploadLevel upload_level);

// One halving step of the square mipmap chain (exposed for build_mipmap_chain and tests).
void halve_mipmap_level(TextureImage* texture);
// Squares the texture by averaging horizontal or vertical pairs of the longer side.
void square_for_mipmaps(TextureImage* texture);

template <typename UploadLevel>
void build_mipmap_chain(TextureImage* texture, UploadLevel upload_level) {
    square_for_mipmaps(texture);
    int32_t level = 0;
    upload_level(level, texture->width, texture->height, texture->texels.data());
    while (texture->width > 1) {
        halve_mipmap_level(texture);
        upload_level(++level, texture->width, texture->height, texture->texels.data());
    }
}

}  // namespace kvn
