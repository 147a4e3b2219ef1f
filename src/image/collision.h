// Pixel-exact collision of two sprites over their opaque texels. Plain functions, no GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvn {

// Which texels of a texture are not fully transparent, one bit per texel, 64 to a word;
// rows in texture order (row 0 holds the image's bottom row).
struct CollisionMask {
    int32_t width = 0;
    int32_t height = 0;
    int32_t words_per_row = 0;
    std::vector<uint64_t> bits;
    // The smallest rectangle holding every opaque texel: columns [opaque_left, opaque_right),
    // texture rows [opaque_first_row, opaque_end_row); empty when nothing is opaque.
    int32_t opaque_left = 0;
    int32_t opaque_right = 0;
    int32_t opaque_first_row = 0;
    int32_t opaque_end_row = 0;

    bool opaque(int32_t column, int32_t row) const {
        return (bits[static_cast<size_t>(row) * words_per_row + (column >> 6)] >> (column & 63)) &
               1;
    }
};

// The mask of an alpha plane of width x height bytes, rows in texture order.
CollisionMask make_collision_mask(const uint8_t* alpha, int32_t width, int32_t height);

// A sprite placed for the test: its frame (a rectangle in image pixels, y downwards) with its
// top-left at (x, y) on the screen. Texels outside the image count as transparent.
struct CollisionPlacement {
    const CollisionMask* mask = nullptr;
    int32_t img_w = 0;
    int32_t img_h = 0;
    int64_t x = 0;
    int64_t y = 0;
    int64_t frame_x = 0;
    int64_t frame_y = 0;
    int64_t frame_w = 0;
    int64_t frame_h = 0;
};

// True when the two frame rectangles share a pixel (edges that only touch do not).
bool frames_overlap(const CollisionPlacement& a, const CollisionPlacement& b);

// True when the two frames overlap (edges that only touch do not) in a pixel where both
// sprites are opaque. Rows are searched from the overlap's middle outwards, 64 pixels per test,
// and the first common opaque pixel ends the search.
bool placements_collide(const CollisionPlacement& a, const CollisionPlacement& b);

}  // namespace kvn
