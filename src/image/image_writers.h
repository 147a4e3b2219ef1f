// Image writers: PNG, JPEG and 24-bit BMP file images from a pixel buffer; plain functions over
// bytes with no GL and no runtime state, so they are tested directly.
#pragma once

#include <cstdint>
#include <vector>

namespace kvn {

// A picture to save: rows top to bottom, 4 bytes per pixel in blue, green, red, alpha order.
struct SavedPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgra;
};

enum class ImageFileKind { kPng, kJpeg, kBmp };

// PNG for a name ending ".png", JPEG for one whose last three characters are "jpg" (any case),
// BMP for every other name.
ImageFileKind image_kind_for_path(const char* path);

// Each encoder fills *file with the whole file image, or returns false (file emptied) for an
// empty or inconsistent picture or a library error. Running out of memory throws
// std::bad_alloc, so the caller can tell it from a picture that cannot be written.

// PNG: 8-bit RGBA, no interlacing.
bool encode_png(const SavedPicture& picture, std::vector<uint8_t>* file);
// JPEG: RGB at quality 80, baseline; alpha is dropped.
bool encode_jpeg(const SavedPicture& picture, std::vector<uint8_t>* file);
// BMP: 24 bits, bottom-up rows padded to a multiple of 4 bytes; alpha is dropped.
bool encode_bmp(const SavedPicture& picture, std::vector<uint8_t>* file);
// The encoder for the kind.
bool encode_image(const SavedPicture& picture, ImageFileKind kind, std::vector<uint8_t>* file);

}  // namespace kvn
