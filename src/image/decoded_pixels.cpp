#include "image/decoded_pixels.h"

#include <new>
#include <stdexcept>

namespace kvn {

bool fail_decode(DecodedImage* image) {
    image->width = 0;
    image->height = 0;
    image->pixels.clear();
    return false;
}

bool size_decoded_image(DecodedImage* image, int64_t width, int64_t height, int32_t max_side) {
    if (width < 1 || height < 1 || width > max_side || height > max_side) return false;
    try {
        image->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    image->width = static_cast<int32_t>(width);
    image->height = static_cast<int32_t>(height);
    return true;
}

uint8_t* channel_samples(DecodedImage* image, int32_t channels) {
    const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    return image->pixels.data() + count * static_cast<size_t>(4 - channels);
}

void spread_to_rgba(DecodedImage* image, int32_t channels, int32_t key) {
    const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    uint8_t* out = image->pixels.data();
    const uint8_t* in = channel_samples(image, channels);
    // Pixel i is read before it is written and is written no further than the start of pixel
    // i + 1's samples, so the widening works front to back in one buffer.
    if (channels == 1) {
        for (size_t i = 0; i < count; ++i, out += 4) {
            const uint8_t grey = in[i];
            out[0] = grey;
            out[1] = grey;
            out[2] = grey;
            out[3] = 255;
        }
    } else if (channels == 3) {
        for (size_t i = 0; i < count; ++i, in += 3, out += 4) {
            const uint8_t red = in[0], green = in[1], blue = in[2];
            const bool keyed = matches_key(red, green, blue, key);
            out[0] = keyed ? 0 : red;
            out[1] = keyed ? 0 : green;
            out[2] = keyed ? 0 : blue;
            out[3] = keyed ? 0 : 255;
        }
    }
}

}  // namespace kvn
