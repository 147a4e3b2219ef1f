// The CPU side of the texture upload: power-of-two texels, edge-colour fill, normal maps and
// the hand-built mipmap chain.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "image/texture_prep.h"

namespace kvn {
namespace {

constexpr int32_t kSmallestTextureSide = 16;
constexpr int32_t kLargestTextureSide = 1 << 30;

size_t texel_offset(int32_t x, int32_t y, int32_t width) {
    return (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
}

// Adds a texel's colour to sums (red, green, blue, count) when it is visible; branch-free,
// as most windows mix visible and invisible texels unpredictably.
inline void add_if_visible(const uint8_t* texel, uint32_t sums[4]) {
    const uint32_t visible = texel[3] != 0;
    sums[0] += texel[0] * visible;
    sums[1] += texel[1] * visible;
    sums[2] += texel[2] * visible;
    sums[3] += visible;
}

// The mean colour of the visible neighbours in rows top..bottom and columns left..right.
inline void sum_window(const uint8_t* texels, int32_t width, int32_t left, int32_t right,
                       int32_t top, int32_t bottom, uint32_t sums[4]) {
    for (int32_t y = top; y <= bottom; ++y) {
        const uint8_t* texel = texels + texel_offset(left, y, width);
        for (int32_t x = left; x <= right; ++x, texel += 4) add_if_visible(texel, sums);
    }
}

// Every texel with alpha 0 in the first filled_width + 1 columns and filled_height + 1 rows
// (beyond them no texel has a visible neighbour) takes the mean colour of its visible
// neighbours off the outermost rows and columns. Only texels with alpha 0 are written and
// only texels with alpha other than 0 count, so filled texels never count.
void fill_edge_colours(TextureImage* texture, int32_t filled_width, int32_t filled_height) {
    const int32_t width = texture->width, height = texture->height;
    const size_t stride = static_cast<size_t>(width) * 4;
    uint8_t* texels = texture->texels.data();
    const int32_t last_row = std::min(filled_height, height - 1);
    const int32_t last_column = std::min(filled_width, width - 1);
    for (int32_t y = 0; y <= last_row; ++y) {
        const bool inner_row = y >= 2 && y <= height - 3;
        for (int32_t x = 0; x <= last_column; ++x) {
            uint8_t* texel = texels + texel_offset(x, y, width);
            if (texel[3] != 0) continue;
            uint32_t sums[4] = {0, 0, 0, 0};
            if (inner_row && x >= 2 && x <= width - 3) {
                // The whole 3 x 3 window lies off the outermost texels; the centre is
                // invisible and adds nothing.
                const uint8_t* above = texel - stride;
                const uint8_t* below = texel + stride;
                if ((above[-1] | above[3] | above[7] | texel[-1] | texel[7] | below[-1] | below[3] |
                     below[7]) != 0) {
                    sum_window(texels, width, x - 1, x + 1, y - 1, y + 1, sums);
                }
            } else {
                sum_window(texels, width, std::max(x - 1, 1), std::min(x + 1, width - 2),
                           std::max(y - 1, 1), std::min(y + 1, height - 2), sums);
            }
            const uint32_t count = sums[3];
            texel[0] = static_cast<uint8_t>(count ? sums[0] / count : 0);
            texel[1] = static_cast<uint8_t>(count ? sums[1] / count : 0);
            texel[2] = static_cast<uint8_t>(count ? sums[2] / count : 0);
        }
    }
}

uint8_t weighted(uint32_t sum, uint32_t weight) {
    return static_cast<uint8_t>(sum / weight);
}

}  // namespace

int32_t texture_side_for(int32_t size) {
    int32_t side = kSmallestTextureSide;
    while (side < size && side < kLargestTextureSide) side <<= 1;
    return side;
}

bool prepare_texture(const DecodedImage& image, int32_t x, int32_t y, int32_t w, int32_t h,
                     int32_t max_side, bool is_font, TextureImage* texture) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return false;
    if (image.pixels.size() <
        static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4) {
        return false;
    }
    const int32_t width = std::min({w == 0 ? image.width - x : w, image.width - x, max_side});
    const int32_t height = std::min({h == 0 ? image.height - y : h, image.height - y, max_side});
    if (width < 1 || height < 1) return false;

    const int32_t texture_width = texture_side_for(width);
    const int32_t texture_height = texture_side_for(height);
    try {
        texture->texels.assign(
            static_cast<size_t>(texture_width) * static_cast<size_t>(texture_height) * 4, 0);
    } catch (const std::bad_alloc&) {
        texture->width = texture->height = 0;
        return false;
    }
    texture->width = texture_width;
    texture->height = texture_height;
    // Texture row 0 is the rectangle's bottom row.
    const size_t row_bytes = static_cast<size_t>(width) * 4;
    for (int32_t row = 0; row < height; ++row) {
        std::memcpy(texture->texels.data() + texel_offset(0, row, texture_width),
                    image.pixels.data() + texel_offset(x, y + height - 1 - row, image.width),
                    row_bytes);
    }
    if (!is_font) fill_edge_colours(texture, width, height);
    return true;
}

bool make_normal_map(TextureImage* texture) {
    const int32_t width = texture->width, height = texture->height;
    if (width < 1 || height < 1) return true;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> blue;
    try {
        blue.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint8_t* texels = texture->texels.data();
    for (size_t i = 0; i < count; ++i) blue[i] = texels[i * 4 + 2];

    constexpr float kScale = 1.0f / 255.0f;
    for (int32_t y = 0; y < height; ++y) {
        // "Above" is the preceding row of the buffer; rows and columns wrap around.
        const uint8_t* above = blue.data() + static_cast<size_t>((y + height - 1) % height) * width;
        const uint8_t* middle = blue.data() + static_cast<size_t>(y) * width;
        const uint8_t* below = blue.data() + static_cast<size_t>((y + 1) % height) * width;
        for (int32_t x = 0; x < width; ++x) {
            const int32_t left = (x + width - 1) % width, right = (x + 1) % width;
            const int32_t dx = (above[right] + 2 * middle[right] + below[right]) -
                               (above[left] + 2 * middle[left] + below[left]);
            const int32_t dy = (above[left] + 2 * above[x] + above[right]) -
                               (below[left] + 2 * below[x] + below[right]);
            const float nx = -dx * kScale, ny = -dy * kScale;
            const float length = std::sqrt(nx * nx + ny * ny + 1.0f);
            uint8_t* texel = texels + texel_offset(x, y, width);
            texel[0] = static_cast<uint8_t>((nx / length + 1.0f) * 0.5f * 255.0f);
            texel[1] = static_cast<uint8_t>((ny / length + 1.0f) * 0.5f * 255.0f);
            texel[2] = static_cast<uint8_t>((1.0f / length + 1.0f) * 0.5f * 255.0f);
        }
    }
    return true;
}

void square_for_mipmaps(TextureImage* texture) {
    uint8_t* texels = texture->texels.data();
    while (texture->width > texture->height) {
        const int32_t width = texture->width, half = width / 2;
        for (int32_t y = 0; y < texture->height; ++y) {
            for (int32_t x = 0; x < half; ++x) {
                const uint8_t* pair = texels + texel_offset(2 * x, y, width);
                uint8_t* out = texels + texel_offset(x, y, half);
                for (int c = 0; c < 4; ++c) out[c] = weighted(pair[c] + pair[c + 4], 2);
            }
        }
        texture->width = half;
    }
    while (texture->height > texture->width) {
        const int32_t width = texture->width, half = texture->height / 2;
        const size_t row_bytes = static_cast<size_t>(width) * 4;
        for (int32_t y = 0; y < half; ++y) {
            const uint8_t* upper = texels + texel_offset(0, 2 * y, width);
            const uint8_t* lower = upper + row_bytes;
            uint8_t* out = texels + texel_offset(0, y, width);
            for (size_t i = 0; i < row_bytes; ++i) out[i] = weighted(upper[i] + lower[i], 2);
        }
        texture->height = half;
    }
    texture->texels.resize(static_cast<size_t>(texture->width) * texture->height * 4);
}

void halve_mipmap_level(TextureImage* texture) {
    const int32_t side = texture->width;
    if (side < 2) return;
    const int32_t half = side / 2;
    uint8_t* texels = texture->texels.data();
    // New texel (x, y) weighs texel (2x, 2y) of the level above with its right neighbour, the
    // texel two rows lower (clamped to the level) and that one's right neighbour. Written texels
    // always lie before every texel still to be read, so the level is halved in place. The
    // texels with all four samples are done first, without a test per channel.
    const size_t last = static_cast<size_t>(half - 1) * 4;
    for (int32_t y = 0; y < half; ++y) {
        const uint8_t* row = texels + texel_offset(0, 2 * y, side);
        const uint8_t* lower = texels + texel_offset(0, std::min(2 * y + 2, side - 1), side);
        uint8_t* out = texels + texel_offset(0, y, half);
        if (y < half - 1) {
            for (size_t i = 0; i < last; i += 4) {
                const uint8_t* centre = row + 2 * i;
                const uint8_t* below = lower + 2 * i;
                for (int c = 0; c < 4; ++c) {
                    out[i + c] = weighted(
                        4u * centre[c] + 2u * centre[c + 4] + 2u * below[c + 4] + below[c], 9);
                }
            }
            for (int c = 0; c < 4; ++c) {
                out[last + c] = weighted(2u * row[2 * last + c] + lower[2 * last + c], 3);
            }
        } else {
            for (size_t i = 0; i < last; i += 4) {
                for (int c = 0; c < 4; ++c) {
                    out[i + c] = weighted(2u * row[2 * i + c] + row[2 * i + 4 + c], 3);
                }
            }
            for (int c = 0; c < 4; ++c) out[last + c] = row[2 * last + c];
        }
    }
    texture->width = half;
    texture->height = half;
    texture->texels.resize(static_cast<size_t>(half) * half * 4);
}

}  // namespace kvn
