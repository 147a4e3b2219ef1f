// PNG through libpng, from memory. libpng reports errors by jumping back to the setjmp in
// read_png, so nothing in that function's frame or below it may need a destructor.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "image/decoded_pixels.h"
#include "image/image_decoders.h"

namespace kvn {
namespace {

struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t offset;
};

void read_from_memory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) png_error(png, "read past the end of the data");
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

// Text, profile and other chunks the picture does not need. libpng would otherwise allocate
// (and clear) a buffer of the size the chunk claims, up to 2 GB, even when it then finds
// the chunk too large; skipped chunks are read past in small pieces.
constexpr png_byte kSkippedChunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL";
constexpr int kSkippedChunkCount = 8;

[[noreturn]] void on_png_error(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignore_png_warning(png_structp, png_const_charp) {}

int32_t channels_for(int colour_type) {
    switch (colour_type) {
        case PNG_COLOR_TYPE_GRAY:
            return 1;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        default:
            return 0;  // grey with alpha (and anything else) is not taken
    }
}

bool read_png(png_structp png, png_infop info, const char* name, int32_t key, int32_t max_side,
              DecodedImage* image) {
    if (setjmp(png_jmpbuf(png))) return false;
    // Oversized images are refused while the header is read, before any row is allocated.
    const png_uint_32 limit = max_side > 0 ? static_cast<png_uint_32>(max_side) : 1;
    png_set_user_limits(png, limit, limit);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, kSkippedChunkCount);
    png_read_info(png, info);

    png_set_palette_to_rgb(png);
    png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    png_set_strip_16(png);
    png_set_packing(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int bit_depth = png_get_bit_depth(png, info);
    if (bit_depth != 8) {
        std::printf("File %s has bit depth %d.\n", name, bit_depth);
        std::puts("Only bit depth of 8 is supported.");
        return false;
    }
    const int32_t channels = channels_for(png_get_color_type(png, info));
    if (channels == 0) {
        std::printf("File %s has unsupported color type.\n", name);
        std::puts("Types GRAY, RGB and RGB_ALPHA are supported.");
        return false;
    }
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const size_t row_size = static_cast<size_t>(width) * static_cast<size_t>(channels);
    if (png_get_rowbytes(png, info) != row_size ||
        !size_decoded_image(image, width, height, max_side)) {
        return false;
    }
    uint8_t* rows = channel_samples(image, channels);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, rows + y * row_size, nullptr);
    }
    spread_to_rgba(image, channels, key);
    return true;
}

}  // namespace

bool decode_png(const uint8_t* data, size_t size, const char* name, int32_t key, int32_t max_side,
                DecodedImage* image) {
    if (data == nullptr || size < 8 || std::memcmp(data + 1, "PNG", 3) != 0) {
        return fail_decode(image);
    }
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_png_error, ignore_png_warning);
    if (png == nullptr) return fail_decode(image);
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return fail_decode(image);
    }
    MemorySource source{data, size, 0};
    png_set_read_fn(png, &source, read_from_memory);
    const bool read = read_png(png, info, name != nullptr ? name : "", key, max_side, image);
    png_destroy_read_struct(&png, &info, nullptr);
    return read || fail_decode(image);
}

}  // namespace kvn
