// BMP bytes in: header and palette bounds, row offsets and the key, then the texture
// preparation of whatever decoded.
#include <cstdint>

#include "decoded_image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static kvn::DecodedImage image;  // re-used, as the sprite store re-uses its buffer
    const bool decoded = kvn::decode_bmp(data, size, 0x8000FF, kvn::fuzzing::kFuzzMaxSide, &image);
    kvn::fuzzing::check_decoded(decoded, image);
    return 0;
}
