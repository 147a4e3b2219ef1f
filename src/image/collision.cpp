// Pixel-exact collision, 64 pixels per test.
#include "image/collision.h"

#include <algorithm>

namespace kvn {

namespace {

// Walks one sprite's mask along the overlap: the bits of a screen row from the overlap's left
// column on, 64 columns per word.
class MaskCursor {
  public:
    MaskCursor(const CollisionMask& mask, int64_t first_column, int64_t first_row)
        : row_(mask.bits.data() + first_row * mask.words_per_row),
          words_per_row_(mask.words_per_row),
          word_(first_column >> 6),
          shift_(static_cast<int>(first_column & 63)) {}

    // count (1..64) bits of the screen row that lies rows below the overlap's top, starting
    // chunk words to the right. Texture rows run upwards, screen rows downwards.
    uint64_t bits(int64_t rows, int64_t chunk, int64_t count) const {
        const uint64_t* words = row_ - rows * words_per_row_;
        const int64_t word = word_ + chunk;
        uint64_t value = words[word] >> shift_;
        if (shift_ != 0 && word + 1 < words_per_row_) value |= words[word + 1] << (64 - shift_);
        return count == 64 ? value : value & ((uint64_t{1} << count) - 1);
    }

  private:
    const uint64_t* row_;
    int64_t words_per_row_;
    int64_t word_;
    int shift_;
};

// Narrows the screen range [first, end) along one axis to [origin, origin + size).
void clip_to_span(int64_t origin, int64_t size, int64_t* first, int64_t* end) {
    *first = std::max(*first, origin);
    *end = std::min(*end, origin + size);
}

}  // namespace

CollisionMask make_collision_mask(const uint8_t* alpha, int32_t width, int32_t height) {
    CollisionMask mask;
    if (width <= 0 || height <= 0) return mask;
    mask.width = width;
    mask.height = height;
    mask.words_per_row = (width + 63) / 64;
    mask.bits.assign(static_cast<size_t>(mask.words_per_row) * static_cast<size_t>(height), 0);
    int32_t left = width, right = 0, first_row = height, end_row = 0;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* texels = alpha + static_cast<size_t>(row) * width;
        uint64_t* words = mask.bits.data() + static_cast<size_t>(row) * mask.words_per_row;
        for (int32_t column = 0; column < width; ++column) {
            if (texels[column] == 0) continue;
            words[column >> 6] |= uint64_t{1} << (column & 63);
            left = std::min(left, column);
            right = std::max(right, column + 1);
            first_row = std::min(first_row, row);
            end_row = row + 1;
        }
    }
    if (right > 0) {
        mask.opaque_left = left;
        mask.opaque_right = right;
        mask.opaque_first_row = first_row;
        mask.opaque_end_row = end_row;
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

    // Only texels inside both images and the opaque rectangles of both masks can be opaque,
    // so most shapes that miss each other are told apart here. Texture row r is image row
    // img_h - 1 - r.
    for (const CollisionPlacement* p : {&a, &b}) {
        const CollisionMask& mask = *p->mask;
        const int64_t image_x = p->x - p->frame_x, image_y = p->y - p->frame_y;
        clip_to_span(image_x, p->img_w, &left, &right);
        clip_to_span(image_x + mask.opaque_left, int64_t{mask.opaque_right} - mask.opaque_left,
                     &left, &right);
        clip_to_span(image_y, p->img_h, &top, &bottom);
        clip_to_span(image_y + p->img_h - mask.opaque_end_row,
                     int64_t{mask.opaque_end_row} - mask.opaque_first_row, &top, &bottom);
    }
    if (right <= left || bottom <= top) return false;

    const MaskCursor a_bits(*a.mask, a.frame_x + left - a.x, a.img_h - 1 - (a.frame_y + top - a.y));
    const MaskCursor b_bits(*b.mask, b.frame_x + left - b.x, b.img_h - 1 - (b.frame_y + top - b.y));
    const int64_t width = right - left;

    // Which pixel is found first does not change the answer, so the search takes 64 pixels
    // per test and starts at the overlap's middle row, working outwards, where partly
    // overlapping shapes meet most often; the first common opaque pixel ends it.
    const int64_t rows = bottom - top;
    const auto row_hits = [&](int64_t row) {
        for (int64_t chunk = 0; chunk * 64 < width; ++chunk) {
            const int64_t count = std::min<int64_t>(64, width - chunk * 64);
            if (a_bits.bits(row, chunk, count) & b_bits.bits(row, chunk, count)) return true;
        }
        return false;
    };
    const int64_t middle = rows / 2;
    for (int64_t step = 0; step <= middle; ++step) {
        if (middle + step < rows && row_hits(middle + step)) return true;
        if (step < middle && row_hits(middle - 1 - step)) return true;
    }
    return false;
}

}  // namespace kvn
