// Pixel-exact collision, 64 pixels per test.
#include "gfx/collision.h"

#include <algorithm>

namespace kvn {

namespace {

constexpr uint64_t kEvenColumns = 0x5555555555555555ULL;
constexpr uint64_t kOddColumns = 0xAAAAAAAAAAAAAAAAULL;
// Rows whose words are kept at once; taller overlaps are searched band by band.
constexpr int64_t kBandRows = 256;

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

    const MaskCursor a_bits(*a.mask, a.frame_x + left - a.x, a.img_h - 1 - (a.frame_y + top - a.y));
    const MaskCursor b_bits(*b.mask, b.frame_x + left - b.x, b.img_h - 1 - (b.frame_y + top - b.y));
    const int64_t width = right - left;

    // Per row, the pixels opaque in both sprites folded into one word: chunks lie 64 columns
    // apart, so every bit keeps its column's parity. Rows are searched even rows first, each
    // with even columns first, so large overlaps are found after few tests.
    uint64_t words[kBandRows];
    for (int64_t band = 0; band < bottom - top; band += kBandRows) {
        const int64_t rows = std::min(kBandRows, bottom - top - band);
        for (int64_t row_parity = 0; row_parity < 2; ++row_parity) {
            for (int64_t row = row_parity; row < rows; row += 2) {
                uint64_t both = 0;
                for (int64_t chunk = 0; chunk * 64 < width; ++chunk) {
                    const int64_t count = std::min<int64_t>(64, width - chunk * 64);
                    both |= a_bits.bits(band + row, chunk, count) &
                            b_bits.bits(band + row, chunk, count);
                }
                if (both & kEvenColumns) return true;
                words[row] = both;
            }
            for (int64_t row = row_parity; row < rows; row += 2) {
                if (words[row] & kOddColumns) return true;
            }
        }
    }
    return false;
}

}  // namespace kvn
