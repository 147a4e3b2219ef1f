// What every image fuzz target checks after a decode: the result's shape, and the texture
// preparation (copy, edge fill, normal map, mipmap chain) running over whatever was decoded.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "image/image_decoders.h"
#include "image/texture_prep.h"

namespace kvn::fuzzing {

// Largest side the targets accept: big enough for every shape, small enough to stay fast.
constexpr int32_t kFuzzMaxSide = 1024;
// Larger images take no other path through the texture preparation, only longer.
constexpr int64_t kLargestPreparedImage = 256 * 256;

inline void require(bool condition) {
    if (!condition) std::abort();
}

// A failed decode leaves an empty image; a successful one fills exactly width x height x 4
// bytes within the side limit, and its texture preparation stays inside its buffers.
inline void check_decoded(bool decoded, const DecodedImage& image) {
    if (!decoded) {
        require(image.width == 0 && image.height == 0);
        return;
    }
    require(image.width >= 1 && image.width <= kFuzzMaxSide);
    require(image.height >= 1 && image.height <= kFuzzMaxSide);
    require(image.pixels.size() == static_cast<size_t>(image.width) * image.height * 4);
    if (int64_t{image.width} * image.height > kLargestPreparedImage) return;

    static TextureImage texture;
    const int32_t x = image.width / 3, y = image.height / 3;
    require(prepare_texture(image, x, y, 0, 0, kFuzzMaxSide, false, &texture));
    require(texture.width >= image.width - x && texture.height >= image.height - y);
    require(make_normal_map(&texture));
    int32_t levels = 0;
    build_mipmap_chain(&texture,
                       [&](int32_t level, int32_t width, int32_t height, const uint8_t* texels) {
                           require(level == levels++ && width == height && texels != nullptr);
                       });
    require(texture.width == 1 && texture.height == 1);
}

}  // namespace kvn::fuzzing
