// Helpers the three decoders share: sizing the re-used pixel buffer, failing with an empty
// image, and spreading 1- or 3-channel samples to RGBA inside that buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image_decoders.h"

namespace kvn {

// Empties the image (width and height 0, capacity kept) and returns false.
bool fail_decode(DecodedImage* image);

// Sizes the buffer for width x height RGBA pixels and sets the size; false when the side
// limits refuse it or the allocation fails. Never throws.
bool size_decoded_image(DecodedImage* image, int64_t width, int64_t height, int32_t max_side);

// Where a decoder writes samples of the given channel count (1, 3 or 4) so that
// spread_to_rgba can widen them in place: the tail of the pixel buffer.
uint8_t* channel_samples(DecodedImage* image, int32_t channels);

// Widens the samples written at channel_samples to RGBA in place: grey g gives
// (g, g, g, 255); RGB gives (r, g, b, 255), or (0, 0, 0, 0) when r + 256 g + 65536 b equals
// key; four channels stay as they are.
void spread_to_rgba(DecodedImage* image, int32_t channels, int32_t key);

// The colour-key test: r + 256 g + 65536 b equals key (kNoColourKey never matches).
inline bool matches_key(uint8_t red, uint8_t green, uint8_t blue, int32_t key) {
    return (red | green << 8 | blue << 16) == key;
}

}  // namespace kvn
