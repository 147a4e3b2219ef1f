// The CPU side of the texture upload: power-of-two texels, edge-colour fill, normal maps and
// the hand-built mipmap chain. Plain functions over pixel buffers, no GL.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image_decoders.h"

namespace kvn {

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
