// Loading a 1024 x 576 stage picture: load_sprite end to end (file, decode, texture
// preparation, mipmaps and the GL upload) and its CPU side alone, against a bare libpng decode
// of the same bytes into a re-used buffer. The edge-colour fill and the mipmap chain are also
// timed on their own. Needs a window (bench/run.sh starts a virtual display when there is none).
#include <kvn/kvn.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "best_time.h"
#include "image/image_decoders.h"
#include "image/texture_prep.h"
#include "platform/system.h"

namespace {

using kvn::bench::best_ms;

constexpr int kWidth = 1024, kHeight = 576;
constexpr int32_t kMaxSide = 8192;

volatile uint64_t sink = 0;

uint32_t next_random(uint32_t* state) {
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

void append_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// A stage-like picture: gradients with a little noise, and (with alpha) transparent sky above
// an uneven skyline, as the game's layers have.
std::vector<uint8_t> stage_png(bool with_alpha) {
    const int channels = with_alpha ? 4 : 3;
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * channels);
    uint32_t state = 12345;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = pixels.data() + (static_cast<size_t>(y) * kWidth + x) * channels;
            const uint8_t noise = static_cast<uint8_t>(next_random(&state) & 7);
            p[0] = static_cast<uint8_t>(x / 4 + noise);
            p[1] = static_cast<uint8_t>(y / 3 + noise);
            p[2] = static_cast<uint8_t>((x ^ y) / 8 + 64);
            const bool sky = y < 200 + ((x / 32) % 5) * 40;
            if (with_alpha) p[3] = sky ? 0 : 255;
        }
    }
    std::vector<uint8_t> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &file, append_bytes, nullptr);
    png_set_IHDR(png, info, kWidth, kHeight, 8,
                 with_alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y) {
        png_write_row(png, pixels.data() + static_cast<size_t>(y) * kWidth * channels);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file;
}

struct Source {
    const std::vector<uint8_t>* bytes;
    size_t offset;
};

void read_bytes(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    std::memcpy(out, source->bytes->data() + source->offset, length);
    source->offset += length;
}

// libpng alone: the rows as stored, into a buffer kept across runs.
void bare_decode(const std::vector<uint8_t>& file, std::vector<uint8_t>* rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    Source source{&file, 0};
    png_set_read_fn(png, &source, read_bytes);
    png_read_info(png, info);
    const size_t row_bytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    rows->resize(row_bytes * height);
    for (png_uint_32 y = 0; y < height; ++y)
        png_read_row(png, rows->data() + y * row_bytes, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    sink = sink + (*rows)[rows->size() / 2];
}

// load_sprite of the bytes written to a file, the GL upload included; glFinish waits for it.
double load_sprite_ms(const std::vector<uint8_t>& file) {
    const std::string path = kvn::platform::temp_directory() + "bench_stage.png";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    const double ms = best_ms([&] {
        kvn::load_sprite(path.c_str(), 1);
        kvn::get_pixel(0, 0);
    });
    if (kvn::get_error_code() != 0) std::printf("load_sprite failed\n");
    std::remove(path.c_str());
    return ms;
}

void report(const char* name, const std::vector<uint8_t>& file) {
    std::vector<uint8_t> rows;
    kvn::DecodedImage image;
    kvn::TextureImage texture, font_texture, mipmapped;
    const auto upload_nothing = [](int32_t, int32_t, int32_t, const uint8_t* texels) {
        sink = sink + texels[0];
    };
    const double bare = best_ms([&] { bare_decode(file, &rows); });
    const double end_to_end = load_sprite_ms(file);
    const double decode = best_ms([&] {
        kvn::decode_png(file.data(), file.size(), "stage.png", 0x8000FF, kMaxSide, &image);
    });
    const double load = best_ms([&] {
        kvn::decode_png(file.data(), file.size(), "stage.png", 0x8000FF, kMaxSide, &image);
        kvn::prepare_texture(image, 0, 0, 0, 0, kMaxSide, false, &texture);
        kvn::build_mipmap_chain(&texture, upload_nothing);
    });
    // The fill is the difference between a sprite's and a font's preparation.
    const double prepared =
        best_ms([&] { kvn::prepare_texture(image, 0, 0, 0, 0, kMaxSide, false, &texture); });
    const double copied =
        best_ms([&] { kvn::prepare_texture(image, 0, 0, 0, 0, kMaxSide, true, &font_texture); });
    // The chain works in place, so each run starts from a fresh copy, outside the timing.
    double chain = 1e300;
    for (int run = 0; run < kvn::bench::kRepetitions; ++run) {
        mipmapped = texture;
        const auto start = std::chrono::steady_clock::now();
        kvn::build_mipmap_chain(&mipmapped, upload_nothing);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        chain = std::min(chain, took.count());
    }
    std::printf(
        "%-4s %zu bytes: bare libpng %.2f ms | load_sprite %.2f ms, ratio %.2fx (aim: at "
        "most 2x)\n",
        name, file.size(), bare, end_to_end, end_to_end / bare);
    std::printf(
        "     CPU side: decode_png %.2f ms | decode + texture + mipmaps %.2f ms, ratio "
        "%.2fx; GL upload and file %.2f ms\n",
        decode, load, load / bare, end_to_end - load);
    std::printf("     texture copy %.2f ms, edge fill %.2f ms, mipmap chain %.2f ms\n", copied,
                prepared - copied, chain);
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    kvn::project_settings.screen_width = 320;
    kvn::project_settings.screen_height = 200;
    kvn::project_settings.frames_per_second = 0;
    kvn::project_settings.title = "images";
}

void Game_Main() {
    report("RGBA", stage_png(true));
    report("RGB", stage_png(false));
    kvn::end_statement();
}
