// PNG bytes in: libpng behind the memory reader, the error jump, the side limits and the
// channel widening, then the texture preparation of whatever decoded.
#include <cstdint>

#include "decoded_image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static kvn::DecodedImage image;
    const bool decoded =
        kvn::decode_png(data, size, "fuzz.png", 0x8000FF, kvn::fuzzing::kFuzzMaxSide, &image);
    kvn::fuzzing::check_decoded(decoded, image);
    return 0;
}
