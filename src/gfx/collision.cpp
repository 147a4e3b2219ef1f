// Pixel-exact collision, 64 pixels per test.
#include "gfx/collision.h"

#include <algorithm>

namespace kvn {

namespace {

constexpr uint64_t kEvenColumns = 0x5555555555555555ULL;
constexpr uint64_t kOddColumns = 0xAAAAAAAAAAAAAAAAULL;

// count (1..64) bits of a mask row starting at column first.
uint64_t row_bits(const CollisionMask& mask, int64_t row, int64_t first, int64_t count) {
    const uint64_t* words = mask.bits.data() + row * mask.words_per_row;
    const int64_t word = first >> 6;
    const int shift = static_cast<int>(first & 63);
    uint64_t bits = words[word] >> shift;
    if (shift != 0 && word + 1 < mask.words_per_row) bits |= words[word + 1] << (64 - shift);
    return count == 64 ? bits : bits & ((uint64_t{1} << count) - 1);
}

// The screen range [first, end) in which a placement's texels lie inside its image and mask,
// along one axis; image_origin is where image coordinate 0 lies on the screen.
void inside_image(int64_t image_origin, int64_t image_size, int64_t* first, int64_t* end) {
    *first = std::max(*first, image_origin);
    *end = std::min(*end, image_origin + image_size);
}

}  // namespace

CollisionMask make_collision_mask(const uint8_t* alpha, int32_t width, int32_t height) {
    CollisionMask mask;
    if (width <= 0 || height <= 0) return mask;
    mask.width = width;
    mask.height = height;
    mask.words_per_row = (width + 63) / 64;
    mask.bits.assign(static_cast<size_t>(mask.words_per_row) * static_cast<size_t>(height), 0);
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* texels = alpha + row * width;
        uint64_t* words = mask.bits.data() + row * mask.words_per_row;
        for (int32_t column = 0; column < width; ++column) {
            if (texels[column] != 0) words[column >> 6] |= uint64_t{1} << (column & 63);
        }
    }
    return mask;
}

bool frames_overlap(const CollisionPlacement& a, const CollisionPlacement& b) {
    return std::max(a.x, b.x) < std::min(a.x + a.frame_w, b.x + b.frame_w) &&
           std::max(a.y, b.y) < std::min(a.y + a.frame_h, b.y + b.frame_h);
}

bool placements_collide(const CollisionPlacement& a, const CollisionPlacement& b) {
    if (!a.mask || !b.mask) return false;
    int64_t left = std::max(a.x, b.x);
    int64_t right = std::min(a.x + a.frame_w, b.x + b.frame_w);
    int64_t top = std::max(a.y, b.y);
    int64_t bottom = std::min(a.y + a.frame_h, b.y + b.frame_h);

    // Only texels inside both images and both masks can be opaque. A texture row is
    // img_h - 1 - image row, so image rows below img_h - mask height have no texels.
    for (const CollisionPlacement* p : {&a, &b}) {
        const int64_t columns = std::min<int64_t>(p->img_w, p->mask->width);
        inside_image(p->x - p->frame_x, columns, &left, &right);
        const int64_t first_row = std::max<int64_t>(0, int64_t{p->img_h} - p->mask->height);
        inside_image(p->y - p->frame_y + first_row, p->img_h - first_row, &top, &bottom);
    }
    if (right <= left || bottom <= top) return false;

    const int64_t a_column = a.frame_x + left - a.x;
    const int64_t b_column = b.frame_x + left - b.x;
    const int64_t a_row_base = a.img_h - 1 - (a.frame_y - a.y);
    const int64_t b_row_base = b.img_h - 1 - (b.frame_y - b.y);
    const int64_t width = right - left;

    for (int64_t row_parity = 0; row_parity < 2; ++row_parity) {
        for (const uint64_t columns : {kEvenColumns, kOddColumns}) {
            for (int64_t py = top + row_parity; py < bottom; py += 2) {
                const int64_t a_row = a_row_base - py;
                const int64_t b_row = b_row_base - py;
                for (int64_t done = 0; done < width; done += 64) {
                    const int64_t count = std::min<int64_t>(64, width - done);
                    if (row_bits(*a.mask, a_row, a_column + done, count) &
                        row_bits(*b.mask, b_row, b_column + done, count) & columns) {
                        return true;
                    }
                }
            }
        }
    }
    return false;
}

}  // namespace kvn
