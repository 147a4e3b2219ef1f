// JPEG through libjpeg, from memory. libjpeg's own error handler ends the process, so errors
// jump back to the setjmp in decode_jpeg instead; nothing in that frame may need a destructor.
#include <csetjmp>
#include <cstdio>
// clang-format off: jpeglib.h needs stdio.h's FILE first.
#include <jerror.h>
#include <jpeglib.h>
// clang-format on

#include "image/decoded_pixels.h"
#include "image/image_decoders.h"

namespace kvn {
namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jump_back(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}

// Warnings are kept quiet, except that data ending before the image does fails the decode:
// libjpeg would fill the missing rows with grey.
void on_jpeg_message(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) jump_back(cinfo);
}

void ignore_jpeg_output(j_common_ptr) {}

J_COLOR_SPACE output_space_for(int components) {
    switch (components) {
        case 1:
            return JCS_GRAYSCALE;
        case 3:
            return JCS_RGB;
        case 4:
            return JCS_CMYK;  // libjpeg turns YCCK into CMYK
        default:
            return JCS_UNKNOWN;
    }
}

// CMYK to RGB with alpha 255, in place. Files with the Adobe marker store the inks inverted
// (0 = full ink), as the programs that write that marker do.
void cmyk_to_rgba(DecodedImage* image, bool inverted) {
    const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    uint8_t* pixel = image->pixels.data();
    for (size_t i = 0; i < count; ++i, pixel += 4) {
        const uint32_t black = inverted ? pixel[3] : 255u - pixel[3];
        for (int c = 0; c < 3; ++c) {
            const uint32_t ink = inverted ? pixel[c] : 255u - pixel[c];
            pixel[c] = static_cast<uint8_t>(ink * black / 255);
        }
        pixel[3] = 255;
    }
}

}  // namespace

bool decode_jpeg(const uint8_t* data, size_t size, int32_t max_side, DecodedImage* image) {
    if (data == nullptr || size == 0) return fail_decode(image);
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    cinfo.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jump_back;
    errors.manager.emit_message = on_jpeg_message;
    errors.manager.output_message = ignore_jpeg_output;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return fail_decode(image);
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    // Refused before libjpeg allocates anything for the picture.
    if (cinfo.image_width < 1 || cinfo.image_height < 1 ||
        static_cast<int64_t>(cinfo.image_width) > max_side ||
        static_cast<int64_t>(cinfo.image_height) > max_side ||
        output_space_for(cinfo.num_components) == JCS_UNKNOWN) {
        jpeg_destroy_decompress(&cinfo);
        return fail_decode(image);
    }
    cinfo.out_color_space = output_space_for(cinfo.num_components);
    cinfo.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&cinfo);
    const int32_t channels = cinfo.output_components;
    if (output_space_for(channels) == JCS_UNKNOWN ||
        !size_decoded_image(image, cinfo.output_width, cinfo.output_height, max_side)) {
        jpeg_destroy_decompress(&cinfo);
        return fail_decode(image);
    }
    const size_t row_size = static_cast<size_t>(cinfo.output_width) * channels;
    uint8_t* rows = channel_samples(image, channels);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rows + static_cast<size_t>(cinfo.output_scanline) * row_size;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    const bool inverted = cinfo.saw_Adobe_marker;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (channels == 4) {
        cmyk_to_rgba(image, inverted);
    } else {
        spread_to_rgba(image, channels, kNoColourKey);
    }
    return true;
}

}  // namespace kvn
