// The three decoders on images written here byte by byte (BMP) or with libpng and libjpeg, on
// malformed variants of them, and on real pictures compared with ImageMagick's reading.
#include "image/image_decoders.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/working_directory.h"

namespace kvn {
namespace {

using Bytes = std::vector<uint8_t>;
using testing_support::read_file;

constexpr int32_t kKey = 0x8000FF;  // red 255, green 0, blue 128
constexpr int32_t kMaxSide = 4096;

struct Rgb {
    uint8_t r, g, b;
};
// The test pictures' colours; entry 0 is the key colour.
const Rgb kColours[16] = {{255, 0, 128}, {0, 0, 0},     {255, 255, 255}, {10, 200, 30},
                          {1, 2, 3},     {250, 5, 60},  {0, 128, 255},   {77, 77, 77},
                          {128, 0, 255}, {255, 0, 127}, {90, 45, 200},   {3, 250, 250},
                          {200, 10, 10}, {60, 70, 80},  {128, 128, 0},   {33, 66, 99}};

int colour_index(int x, int y, int bits) {
    return (x + 3 * y) % (bits == 1 ? 2 : 16);
}

// RGBA of a colour after the key rule.
Bytes keyed(const Rgb& colour, int32_t key) {
    if ((colour.r | colour.g << 8 | colour.b << 16) == key) return {0, 0, 0, 0};
    return {colour.r, colour.g, colour.b, 255};
}

Bytes pixel_at(const DecodedImage& image, int x, int y) {
    const auto at = image.pixels.begin() + (static_cast<size_t>(y) * image.width + x) * 4;
    return Bytes(at, at + 4);
}

void put(Bytes* bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// ---- BMP ----

struct BmpOptions {
    int bits = 24;
    bool core = false;  // 12-byte header
    bool top_down = false;
    uint32_t compression = 0;
    int palette_entries = -1;   // written entries; -1 = min(16, 2^bits)
    int64_t colours_used = -1;  // header field; -1 = the written entries
    int gap = 0;                // bytes between palette and pixels
    bool zero_offset = false;   // data offset field 0: pixels follow the palette
};

Bytes write_bmp(const BmpOptions& options, int32_t width, int32_t height) {
    const int bits = options.bits;
    const int entries = options.palette_entries >= 0 ? options.palette_entries
                                                     : (bits <= 8 ? std::min(16, 1 << bits) : 0);
    Bytes palette, pixels;
    for (int i = 0; i < entries; ++i) {
        const Rgb& c = kColours[i % 16];
        palette.insert(palette.end(), {c.b, c.g, c.r});
        if (!options.core) palette.push_back(0);
    }
    if (options.compression == 3) palette.insert(palette.begin(), 12, 0xAB);  // channel masks
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    for (int32_t stored = 0; stored < height; ++stored) {
        const int32_t y = options.top_down ? stored : height - 1 - stored;
        Bytes row(stride, 0);
        for (int32_t x = 0; x < width; ++x) {
            const int index = colour_index(x, y, bits);
            if (bits <= 8) {
                const int bit = x * bits;
                row[bit / 8] |= static_cast<uint8_t>(index << (8 - bits - bit % 8));
            } else {
                const Rgb& c = kColours[index];
                const size_t at = static_cast<size_t>(x) * bits / 8;
                row[at] = c.b, row[at + 1] = c.g, row[at + 2] = c.r;
            }
        }
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    const uint32_t header_size = options.core ? 12 : 40;
    const uint32_t offset = 14 + header_size + palette.size() + options.gap;
    Bytes file = {'B', 'M'};
    put(&file, offset + pixels.size(), 4);
    put(&file, 0, 4);
    put(&file, options.zero_offset ? 0 : offset, 4);
    put(&file, header_size, 4);
    if (options.core) {
        put(&file, width, 2), put(&file, height, 2), put(&file, 1, 2), put(&file, bits, 2);
    } else {
        put(&file, width, 4), put(&file, options.top_down ? -height : height, 4);
        put(&file, 1, 2), put(&file, bits, 2), put(&file, options.compression, 4);
        put(&file, pixels.size(), 4), put(&file, 2835, 4), put(&file, 2835, 4);
        put(&file, options.colours_used >= 0 ? options.colours_used : entries, 4);
        put(&file, 0, 4);
    }
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), options.gap, 0xEE);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// The picture write_bmp encodes, where palette indexes from palette_limit on read as black.
void expect_bmp_picture(const DecodedImage& image, int bits, int palette_limit = 16) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int index = colour_index(x, y, bits);
            const Rgb colour = index < palette_limit ? kColours[index] : Rgb{0, 0, 0};
            ASSERT_EQ(pixel_at(image, x, y), keyed(colour, kKey)) << x << "," << y;
        }
    }
}

TEST(BmpDecoder, ReadsEveryDepthAndHeaderTheRightWayUpWithTheKey) {
    // clang-format off
    const BmpOptions cases[] = {
        {1}, {4}, {8}, {24}, {32}, {1, true}, {4, true}, {8, true}, {24, true},
        {8, false, true}, {24, false, true}, {32, false, false, 3},
    };
    // clang-format on
    for (const BmpOptions& options : cases) {
        SCOPED_TRACE(::testing::Message() << options.bits << " bits, core " << options.core
                                          << ", top-down " << options.top_down);
        const Bytes file = write_bmp(options, 13, 3);
        DecodedImage image;
        ASSERT_TRUE(decode_bmp(file.data(), file.size(), kKey, kMaxSide, &image));
        ASSERT_EQ(image.width, 13);
        ASSERT_EQ(image.height, 3);
        expect_bmp_picture(image, options.bits);
    }
}

TEST(BmpDecoder, PaletteEndsAtItsCountAndAtThePixelData) {
    struct Case {
        BmpOptions options;
        int palette_limit;
    } cases[] = {
        {{8, false, false, 0, 16, 5}, 5},             // header count below the written entries
        {{8, false, false, 0, 3, 0}, 3},              // count 0 = 256, but pixels start after 3
        {{8, false, false, 0, 16, -1, 7}, 16},        // gap before the pixels at the data offset
        {{8, false, false, 0, 16, -1, 0, true}, 16},  // no offset: pixels follow the palette
        {{4, false, false, 0, 2, 0}, 2},
    };
    for (const Case& test : cases) {
        const Bytes file = write_bmp(test.options, 11, 4);
        DecodedImage image;
        ASSERT_TRUE(decode_bmp(file.data(), file.size(), kKey, kMaxSide, &image));
        expect_bmp_picture(image, test.options.bits, test.palette_limit);
    }
}

void set_u32(Bytes* file, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) (*file)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(BmpDecoder, RefusesMalformedFilesAndEmptiesTheImage) {
    struct Case {
        const char* what;
        int bits;
        std::function<void(Bytes*)> spoil;
        int32_t max_side = INT32_MAX;
    } cases[] = {
        {"wrong magic", 24, [](Bytes* f) { (*f)[1] = 'N'; }},
        {"truncated rows", 24, [](Bytes* f) { f->pop_back(); }},
        {"truncated header", 24, [](Bytes* f) { f->resize(30); }},
        {"108-byte header", 24, [](Bytes* f) { set_u32(f, 14, 108); }},
        {"16 bits", 24, [](Bytes* f) { (*f)[28] = 16; }},
        {"RLE8", 8, [](Bytes* f) { set_u32(f, 30, 1); }},
        {"RLE4", 4, [](Bytes* f) { set_u32(f, 30, 2); }},
        {"bit fields with 24 bits", 24, [](Bytes* f) { set_u32(f, 30, 3); }},
        {"zero width", 24, [](Bytes* f) { set_u32(f, 18, 0); }},
        {"zero height", 24, [](Bytes* f) { set_u32(f, 22, 0); }},
        {"negative width", 24, [](Bytes* f) { set_u32(f, 18, static_cast<uint32_t>(-5)); }},
        {"height INT32_MIN", 24, [](Bytes* f) { set_u32(f, 22, 0x80000000u); }},
        {"lying width", 1, [](Bytes* f) { set_u32(f, 18, 0x7FFFFFFF); }},
        {"rows beyond 32 bits", 32,
         [](Bytes* f) { set_u32(f, 18, 0x40000000), set_u32(f, 22, 0x40000000); }},
        {"wider than the limit", 24, [](Bytes*) {}, 12},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        Bytes file = write_bmp({test.bits}, 13, 3);
        test.spoil(&file);
        DecodedImage image;
        const Bytes valid = write_bmp({24}, 2, 2);
        ASSERT_TRUE(decode_bmp(valid.data(), valid.size(), kKey, kMaxSide, &image));
        EXPECT_FALSE(decode_bmp(file.data(), file.size(), kKey, test.max_side, &image));
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
    }
}

// ---- PNG ----

// One PNG test picture: the file's samples per pixel and the RGBA the decoder should give.
struct PngPicture {
    const char* what;
    int colour_type;
    int depth;
    bool palette_alpha = false;  // tRNS chunk for palette entries
    bool interlaced = false;
    bool rgb_transparent = false;  // tRNS chunk naming one RGB colour
};

constexpr int kPngWidth = 11, kPngHeight = 5;

// Sample values of pixel (x, y) in the file, and the pixel it should decode to.
void png_pixel(const PngPicture& p, int x, int y, std::vector<int>* samples, Bytes* expected) {
    const int index = colour_index(x, y, p.depth == 1 ? 1 : 8);
    const Rgb& c = kColours[index];
    const int wide = p.depth == 16 ? 257 : 1;  // 16-bit samples: the 8-bit value in both bytes
    switch (p.colour_type) {
        case PNG_COLOR_TYPE_GRAY: {
            const int levels = p.depth >= 8 ? 256 : 1 << p.depth;
            const int grey = (x * 37 + y * 11) % levels;
            *samples = {grey * wide};
            const int scaled = grey * 255 / (levels - 1);
            *expected = {uint8_t(scaled), uint8_t(scaled), uint8_t(scaled), 255};
            break;
        }
        case PNG_COLOR_TYPE_PALETTE:
            *samples = {index % (1 << p.depth)};
            *expected = keyed(kColours[index % (1 << p.depth)], kKey);
            if (p.palette_alpha) *expected = {c.r, c.g, c.b, uint8_t(index * 15)};
            break;
        case PNG_COLOR_TYPE_RGB:
            *samples = {c.r * wide, c.g * wide, c.b * wide};
            *expected = keyed(c, kKey);
            if (p.rgb_transparent) *expected = {c.r, c.g, c.b, uint8_t(index == 3 ? 0 : 255)};
            break;
        default:  // RGBA
            *samples = {c.r * wide, c.g * wide, c.b * wide, index * 15 * wide};
            *expected = {c.r, c.g, c.b, uint8_t(index * 15)};
    }
}

void write_to_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

Bytes write_png(const PngPicture& p) {
    Bytes file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        ADD_FAILURE() << "libpng could not write " << p.what;
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &file, write_to_bytes, nullptr);
    png_set_IHDR(png, info, kPngWidth, kPngHeight, p.depth, p.colour_type,
                 p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[16];
    png_byte alphas[16];
    for (int i = 0; i < 16; ++i) {
        palette[i] = {kColours[i].r, kColours[i].g, kColours[i].b};
        alphas[i] = static_cast<png_byte>(i * 15);
    }
    if (p.colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette, std::min(16, 1 << p.depth));
        if (p.palette_alpha) png_set_tRNS(png, info, alphas, std::min(16, 1 << p.depth), nullptr);
    }
    // The transparent colour: colour 3, or grey 37 in a grey picture.
    png_color_16 transparent{0, kColours[3].r, kColours[3].g, kColours[3].b, 37};
    if (p.rgb_transparent) png_set_tRNS(png, info, nullptr, 0, &transparent);
    png_write_info(png, info);
    if (p.depth < 8) png_set_packing(png);
    std::vector<Bytes> rows(kPngHeight);
    std::vector<png_bytep> row_pointers;
    for (int y = 0; y < kPngHeight; ++y) {
        for (int x = 0; x < kPngWidth; ++x) {
            std::vector<int> samples;
            Bytes expected;
            png_pixel(p, x, y, &samples, &expected);
            for (int sample : samples) {
                if (p.depth == 16) rows[y].push_back(static_cast<uint8_t>(sample >> 8));
                rows[y].push_back(static_cast<uint8_t>(sample));
            }
        }
        row_pointers.push_back(rows[y].data());
    }
    png_write_image(png, row_pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file;
}

TEST(PngDecoder, ReadsEveryColourTypeAndDepthWithTheChannelAndKeyRules) {
    const PngPicture cases[] = {
        {"grey 1", PNG_COLOR_TYPE_GRAY, 1},
        {"grey 2", PNG_COLOR_TYPE_GRAY, 2},
        {"grey 4", PNG_COLOR_TYPE_GRAY, 4},
        {"grey 8", PNG_COLOR_TYPE_GRAY, 8},
        {"grey 16", PNG_COLOR_TYPE_GRAY, 16},
        {"palette 1", PNG_COLOR_TYPE_PALETTE, 1},
        {"palette 2", PNG_COLOR_TYPE_PALETTE, 2},
        {"palette 4", PNG_COLOR_TYPE_PALETTE, 4},
        {"palette 8", PNG_COLOR_TYPE_PALETTE, 8},
        {"palette 4 with alpha", PNG_COLOR_TYPE_PALETTE, 4, true},
        {"RGB 8", PNG_COLOR_TYPE_RGB, 8},
        {"RGB 16", PNG_COLOR_TYPE_RGB, 16},
        {"RGB 8 interlaced", PNG_COLOR_TYPE_RGB, 8, false, true},
        {"RGB 8 with a transparent colour", PNG_COLOR_TYPE_RGB, 8, false, false, true},
        {"RGBA 8", PNG_COLOR_TYPE_RGB_ALPHA, 8},
        {"RGBA 16", PNG_COLOR_TYPE_RGB_ALPHA, 16},
    };
    for (const PngPicture& p : cases) {
        SCOPED_TRACE(p.what);
        const Bytes file = write_png(p);
        DecodedImage image;
        ASSERT_TRUE(decode_png(file.data(), file.size(), "t.png", kKey, kMaxSide, &image));
        ASSERT_EQ(image.width, kPngWidth);
        ASSERT_EQ(image.height, kPngHeight);
        for (int y = 0; y < kPngHeight; ++y) {
            for (int x = 0; x < kPngWidth; ++x) {
                std::vector<int> samples;
                Bytes expected;
                png_pixel(p, x, y, &samples, &expected);
                ASSERT_EQ(pixel_at(image, x, y), expected) << x << "," << y;
            }
        }
    }
    // Grey is never keyed, even by a key that names a grey.
    const Bytes grey = write_png({"grey", PNG_COLOR_TYPE_GRAY, 8});
    DecodedImage image;
    ASSERT_TRUE(decode_png(grey.data(), grey.size(), "g.png", 0, kMaxSide, &image));
    EXPECT_EQ(pixel_at(image, 0, 0), (Bytes{0, 0, 0, 255}));
}

uint32_t crc32_of(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// Replaces the image size in the header chunk and keeps its checksum right.
void set_png_size(Bytes* file, uint32_t width, uint32_t height) {
    const uint32_t values[2] = {width, height};
    for (int v = 0; v < 2; ++v) {
        for (int i = 0; i < 4; ++i) (*file)[16 + 4 * v + i] = uint8_t(values[v] >> (24 - 8 * i));
    }
    const uint32_t crc = crc32_of(file->data() + 12, 17);
    for (int i = 0; i < 4; ++i) (*file)[29 + i] = uint8_t(crc >> (24 - 8 * i));
}

TEST(PngDecoder, RefusesMalformedAndUnsupportedFiles) {
    const Bytes rgb = write_png({"rgb", PNG_COLOR_TYPE_RGB, 8});
    struct Case {
        const char* what;
        Bytes file;
        int32_t max_side;
        const char* printed;
    } cases[] = {
        {"grey with alpha", write_png({"ga", PNG_COLOR_TYPE_GRAY_ALPHA, 8}), kMaxSide,
         "File x.png has unsupported color type.\nTypes GRAY, RGB and RGB_ALPHA are supported.\n"},
        {"grey with a transparent grey",
         write_png({"gt", PNG_COLOR_TYPE_GRAY, 8, false, false, true}), kMaxSide,
         "File x.png has unsupported color type.\nTypes GRAY, RGB and RGB_ALPHA are supported.\n"},
        {"wrong magic", rgb, kMaxSide, ""},
        {"truncated", Bytes(rgb.begin(), rgb.begin() + rgb.size() / 2), kMaxSide, ""},
        {"broken checksum", rgb, kMaxSide, ""},
        {"lying size", rgb, kMaxSide, ""},
        {"zero width", rgb, kMaxSide, ""},
        {"width beyond 32-bit rows", rgb, kMaxSide, ""},
        {"wider than the limit", rgb, kPngWidth - 1, ""},
        {"empty", {}, kMaxSide, ""},
    };
    cases[2].file[2] = 'X';
    cases[4].file[20] ^= 1;
    set_png_size(&cases[5].file, 400, 300);
    set_png_size(&cases[6].file, 0, kPngHeight);
    set_png_size(&cases[7].file, 0x7FFFFFFF, 0x7FFFFFFF);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        DecodedImage image;
        ASSERT_TRUE(decode_png(rgb.data(), rgb.size(), "v.png", kKey, kMaxSide, &image));
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(
            decode_png(test.file.data(), test.file.size(), "x.png", kKey, test.max_side, &image));
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), test.printed);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
    }
}

// ---- JPEG ----

// A JPEG of 1, 3 or 4 components at quality 100, flat-coloured or, when noisy, of scrambled
// samples that leave little to compress.
Bytes write_jpeg(int components, const Bytes& samples, int width = 24, int height = 16,
                 bool noisy = false) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    Bytes row;
    for (int x = 0; x < width; ++x) row.insert(row.end(), samples.begin(), samples.end());
    while (cinfo.next_scanline < cinfo.image_height) {
        for (size_t i = 0; noisy && i < row.size(); ++i) row[i] = uint8_t(row[i] * 73 + i * 151);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

void expect_near_pixel(const Bytes& actual, const Bytes& expected, int tolerance) {
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual[c], expected[c], tolerance) << "channel " << c;
}

TEST(JpegDecoder, ReadsGreyRgbAndCmykOpaqueAndUnkeyed) {
    struct Case {
        const char* what;
        int components;
        Bytes samples;
        Bytes expected;
    } cases[] = {
        {"grey", 1, {77}, {77, 77, 77, 255}},
        {"RGB in the key colour", 3, {255, 0, 128}, {255, 0, 128, 255}},
        // Stored inverted, as the Adobe marker says: inks C 0, M 255, Y 127, K 0.
        {"CMYK", 4, {255, 0, 128, 255}, {255, 0, 128, 255}},
        {"CMYK with black", 4, {255, 255, 255, 128}, {128, 128, 128, 255}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const Bytes file = write_jpeg(test.components, test.samples);
        DecodedImage image;
        ASSERT_TRUE(decode_jpeg(file.data(), file.size(), kMaxSide, &image));
        ASSERT_EQ(image.width, 24);
        ASSERT_EQ(image.height, 16);
        expect_near_pixel(pixel_at(image, 0, 0), test.expected, 2);
        expect_near_pixel(pixel_at(image, 23, 15), test.expected, 2);
    }
}

TEST(JpegDecoder, RefusesMalformedFilesAndEmptiesTheImage) {
    const Bytes good = write_jpeg(3, {10, 20, 30}, 64, 64, true);
    Bytes garbage = good;
    for (size_t i = 200; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 7);
    struct Case {
        const char* what;
        Bytes file;
        int32_t max_side;
    } cases[] = {
        {"truncated", Bytes(good.begin(), good.begin() + good.size() / 2), kMaxSide},
        {"header only", Bytes(good.begin(), good.begin() + 20), kMaxSide},
        {"not a JPEG", write_png({"rgb", PNG_COLOR_TYPE_RGB, 8}), kMaxSide},
        {"scrambled after the header", garbage, kMaxSide},
        {"wider than the limit", good, 63},
        {"empty", {}, kMaxSide},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        DecodedImage image;
        ASSERT_TRUE(decode_jpeg(good.data(), good.size(), kMaxSide, &image));
        EXPECT_FALSE(decode_jpeg(test.file.data(), test.file.size(), test.max_side, &image));
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
    }
}

// ---- Pictures made by other software ----

std::string command_output(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[65536];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
    pclose(pipe);
    return output;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// Decodes the file and compares it with ImageMagick's RGBA reading; returns false when the
// decoder refuses the file (grey with alpha, for one).
bool matches_reference(const std::string& path, int tolerance) {
    const std::string bytes = read_file(path);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    DecodedImage image;
    if (!decode_bmp(data, bytes.size(), kNoColourKey, kMaxSide, &image) &&
        !decode_png(data, bytes.size(), path.c_str(), kNoColourKey, kMaxSide, &image) &&
        !decode_jpeg(data, bytes.size(), kMaxSide, &image)) {
        return false;
    }
    const std::string reference =
        command_output("convert '" + path + "' -depth 8 rgba:- 2>/dev/null");
    EXPECT_EQ(reference.size(), image.pixels.size()) << path;
    if (reference.size() != image.pixels.size()) return true;
    int worst = 0;
    double total = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
        const int difference = std::abs(uint8_t(reference[i]) - int(image.pixels[i]));
        worst = std::max(worst, difference);
        total += difference;
    }
    EXPECT_LE(worst, tolerance) << path;
    EXPECT_LE(total / reference.size(), 1.0) << path;
    return true;
}

TEST(RealImages, DecodeAsImageMagickReadsThem) {
    const std::vector<std::string> pngs =
        lines_of(command_output("find /usr/share -name '*.png' -size -200k 2>/dev/null | sort"));
    const std::vector<std::string> jpegs = lines_of(
        command_output("find /usr/share -name '*.jpg' -size -500k 2>/dev/null | sort | head -3"));
    if (pngs.empty() ||
        command_output("convert -version").find("ImageMagick") == std::string::npos) {
        GTEST_SKIP() << "no PNG files under /usr/share or no ImageMagick";
    }
    // 16-bit samples: ImageMagick rounds where the decoder keeps the high byte.
    int compared = 0;
    for (size_t i = 0; i < pngs.size() && compared < 6; i += pngs.size() / 12 + 1) {
        compared += matches_reference(pngs[i], 1);
    }
    EXPECT_GT(compared, 0);
    // A 40-byte-header BMP and a JPEG written by ImageMagick from the first PNG; JPEGs are
    // compared loosely, as ImageMagick upsamples colour smoothly and the decoder does not.
    const std::string scratch =
        ::testing::TempDir() + "kvn-real-images-" + std::to_string(getpid());
    command_output("convert '" + pngs[0] + "' -alpha off BMP3:" + scratch + ".bmp");
    command_output("convert '" + pngs[0] + "' -alpha off -quality 90 -sampling-factor 2x2 " +
                   scratch + ".jpg");
    EXPECT_TRUE(matches_reference(scratch + ".bmp", 0));
    std::vector<std::string> jpeg_files = jpegs;
    jpeg_files.push_back(scratch + ".jpg");
    for (const std::string& path : jpeg_files) EXPECT_TRUE(matches_reference(path, 48)) << path;
    std::remove((scratch + ".bmp").c_str());
    std::remove((scratch + ".jpg").c_str());
}

}  // namespace
}  // namespace kvn
