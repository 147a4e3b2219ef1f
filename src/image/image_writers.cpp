// PNG, JPEG and BMP encoders into memory, so a file is only replaced by a complete image.
#include "image/image_writers.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
// clang-format off: jpeglib.h needs stdio.h's FILE first.
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>
// clang-format on

namespace kvn {

namespace {

// True when the buffer holds exactly width x height pixels of a non-empty picture.
bool consistent(const SavedPicture& picture) {
    if (picture.width < 1 || picture.height < 1) return false;
    const uint64_t bytes = uint64_t(picture.width) * uint64_t(picture.height) * 4u;
    return picture.bgra.size() == bytes;
}

bool ends_with_ignoring_case(const char* text, const char* tail) {
    const size_t length = std::strlen(text), tail_length = std::strlen(tail);
    if (length < tail_length) return false;
    for (size_t i = 0; i < tail_length; ++i) {
        char c = text[length - tail_length + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

// ---- PNG ----

struct PngSink {
    std::vector<uint8_t>* file;
    bool out_of_memory;
};

void png_append(png_structp png, png_bytep data, png_size_t length) {
    PngSink* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    try {
        sink->file->insert(sink->file->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        sink->out_of_memory = true;
    }
    // Left outside the handler: png_error jumps and must not skip an active exception.
    if (sink->out_of_memory) png_error(png, "out of memory");
}

void png_flush_nothing(png_structp) {}

// Errors jump back to the encoder; warnings are not shown.
void png_quiet_warning(png_structp, png_const_charp) {}

// False for a library error; std::bad_alloc when memory runs out.
bool write_png_rows(const SavedPicture& picture, png_bytep* rows, PngSink* sink) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, png_quiet_warning);
    if (!png) throw std::bad_alloc();
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw std::bad_alloc();
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        if (sink->out_of_memory) throw std::bad_alloc();
        return false;
    }
    png_set_write_fn(png, sink, png_append, png_flush_nothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The buffer is blue, green, red, alpha; the file holds red, green, blue, alpha.
    png_set_bgr(png);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// ---- JPEG ----

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpeg_jump_back(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void jpeg_quiet(j_common_ptr) {}

// Compresses into a buffer libjpeg allocates; *out and *size name it afterwards (also after a
// failure, so the caller frees it). A failure sets *out_of_memory when libjpeg ran out.
bool compress_jpeg(const SavedPicture& picture, uint8_t* row, unsigned char** out,
                   unsigned long* size, bool* out_of_memory) {
    jpeg_compress_struct compressor{};
    JpegErrors errors{};
    compressor.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpeg_jump_back;
    errors.manager.output_message = jpeg_quiet;
    if (setjmp(errors.jump)) {
        *out_of_memory = errors.manager.msg_code == JERR_OUT_OF_MEMORY;
        jpeg_destroy_compress(&compressor);
        return false;
    }
    jpeg_create_compress(&compressor);
    jpeg_mem_dest(&compressor, out, size);
    compressor.image_width = static_cast<JDIMENSION>(picture.width);
    compressor.image_height = static_cast<JDIMENSION>(picture.height);
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 80, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    const size_t stride = size_t(picture.width) * 4u;
    JSAMPROW rows[1] = {row};
    while (compressor.next_scanline < compressor.image_height) {
        const uint8_t* source = picture.bgra.data() + compressor.next_scanline * stride;
        for (int32_t x = 0; x < picture.width; ++x) {
            row[x * 3] = source[x * 4 + 2];
            row[x * 3 + 1] = source[x * 4 + 1];
            row[x * 3 + 2] = source[x * 4];
        }
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    return true;
}

void put_le16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void put_le32(uint8_t* at, uint32_t value) {
    put_le16(at, value & 0xFFFF);
    put_le16(at + 2, value >> 16);
}

}  // namespace

ImageFileKind image_kind_for_path(const char* path) {
    if (ends_with_ignoring_case(path, ".png")) return ImageFileKind::kPng;
    if (ends_with_ignoring_case(path, "jpg")) return ImageFileKind::kJpeg;
    return ImageFileKind::kBmp;
}

bool encode_png(const SavedPicture& picture, std::vector<uint8_t>* file) {
    file->clear();
    if (!consistent(picture)) return false;
    std::vector<png_bytep> rows(size_t(picture.height));
    const size_t stride = size_t(picture.width) * 4u;
    for (size_t y = 0; y < rows.size(); ++y) {
        rows[y] = const_cast<png_bytep>(picture.bgra.data() + y * stride);
    }
    PngSink sink{file, false};
    if (write_png_rows(picture, rows.data(), &sink)) return true;
    file->clear();
    return false;
}

bool encode_jpeg(const SavedPicture& picture, std::vector<uint8_t>* file) {
    file->clear();
    // JPEG sides end at 65500.
    if (!consistent(picture) || picture.width > 65500 || picture.height > 65500) return false;
    std::vector<uint8_t> row(size_t(picture.width) * 3u);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    bool out_of_memory = false;
    const bool encoded = compress_jpeg(picture, row.data(), &out, &size, &out_of_memory);
    const std::unique_ptr<unsigned char, void (*)(void*)> compressed(out, std::free);
    if (out_of_memory) throw std::bad_alloc();
    if (encoded) file->assign(out, out + size);
    return encoded;
}

bool encode_bmp(const SavedPicture& picture, std::vector<uint8_t>* file) {
    file->clear();
    if (!consistent(picture)) return false;
    constexpr uint32_t kHeaderSize = 54;
    const uint64_t stride = (uint64_t(picture.width) * 3u + 3u) & ~uint64_t{3};
    const uint64_t total = kHeaderSize + stride * uint64_t(picture.height);
    if (total > 0xFFFFFFFFu) return false;
    file->assign(size_t(total), 0);
    uint8_t* header = file->data();
    header[0] = 'B';
    header[1] = 'M';
    put_le32(header + 2, static_cast<uint32_t>(total));
    put_le32(header + 10, kHeaderSize);
    put_le32(header + 14, 40);
    put_le32(header + 18, static_cast<uint32_t>(picture.width));
    put_le32(header + 22, static_cast<uint32_t>(picture.height));
    put_le16(header + 26, 1);
    put_le16(header + 28, 24);
    put_le32(header + 38, 10000);
    put_le32(header + 42, 10000);
    // Bottom-up rows: the file's first row is the picture's last.
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* source = picture.bgra.data() + size_t(y) * size_t(picture.width) * 4u;
        uint8_t* target = header + kHeaderSize + uint64_t(picture.height - 1 - y) * stride;
        for (int32_t x = 0; x < picture.width; ++x) std::memcpy(target + x * 3, source + x * 4, 3);
    }
    return true;
}

bool encode_image(const SavedPicture& picture, ImageFileKind kind, std::vector<uint8_t>* file) {
    switch (kind) {
        case ImageFileKind::kPng:
            return encode_png(picture, file);
        case ImageFileKind::kJpeg:
            return encode_jpeg(picture, file);
        case ImageFileKind::kBmp:
            break;
    }
    return encode_bmp(picture, file);
}

}  // namespace kvn
