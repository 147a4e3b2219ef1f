// save_screen of a presented 1024 x 600 picture as PNG, JPEG and BMP, against bare libpng and
// libjpeg writes (and a plain fwrite for BMP) of the same pixels from memory; the read-back of
// the presented picture is timed on its own.
#include <kvn/kvn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
// clang-format off: jpeglib.h needs stdio.h's FILE first.
#include <jpeglib.h>
#include <png.h>
// clang-format on

#include "best_time.h"
#include "gfx/renderer.h"
#include "runtime/runtime_state.h"

using namespace kvn;

namespace {

// A picture with gradients, edges and some noise, so the encoders have real work.
void draw_test_picture() {
    uint32_t noise = 12345;
    for (int y = 0; y < 600; y += 8) {
        for (int x = 0; x < 1024; x += 8) {
            noise = noise * 1103515245u + 12345u;
            const int32_t colour =
                (x / 4) | ((y * 255 / 600) << 8) | (((noise >> 16) & 0x3F) << 16);
            draw_rect(x, y, 8, 8, colour);
        }
    }
}

void bare_png(const std::string& path, const SavedPicture& picture) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    std::vector<png_bytep> rows(picture.height);
    for (int y = 0; y < picture.height; ++y) {
        rows[y] = const_cast<png_bytep>(&picture.bgra[size_t(y) * picture.width * 4]);
    }
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void bare_jpeg(const std::string& path, const SavedPicture& picture) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = picture.width;
    compressor.image_height = picture.height;
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 80, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    std::vector<JSAMPLE> row(size_t(picture.width) * 3);
    JSAMPROW rows[1] = {row.data()};
    while (compressor.next_scanline < compressor.image_height) {
        const uint8_t* source = &picture.bgra[size_t(compressor.next_scanline) * picture.width * 4];
        for (int x = 0; x < picture.width; ++x) {
            row[x * 3] = source[x * 4 + 2];
            row[x * 3 + 1] = source[x * 4 + 1];
            row[x * 3 + 2] = source[x * 4];
        }
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    std::fclose(file);
}

// The same number of bytes a 24-bit BMP of the picture has, written with one fwrite.
void bare_bmp(const std::string& path, const SavedPicture& picture) {
    static std::vector<uint8_t> bytes;
    bytes.resize(54 + size_t((picture.width * 3 + 3) & ~3) * picture.height);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 1024;
    project_settings.screen_height = 600;
    project_settings.frames_per_second = 0;
    project_settings.title = "save";
}

void Game_Main() {
    VoruRERarudeve& renderer = *runtime.renderer;
    draw_test_picture();
    show_screen();
    draw_test_picture();

    SavedPicture picture;
    const double read_ms = bench::best_ms([&] { renderer.read_presented_picture(&picture); });
    std::printf("read-back of the presented %dx%d picture: %.2f ms\n", picture.width,
                picture.height, read_ms);

    const std::string directory = std::filesystem::temp_directory_path().string() + "/";
    const struct {
        const char* name;
        void (*bare)(const std::string&, const SavedPicture&);
        const char* bare_name;
    } formats[] = {{"save.png", bare_png, "bare libpng"},
                   {"save.jpg", bare_jpeg, "bare libjpeg"},
                   {"save.bmp", bare_bmp, "bare fwrite"}};
    for (const auto& f : formats) {
        const std::string path = directory + f.name;
        const std::string bare_path = directory + "bare_" + f.name;
        const double save_ms = bench::best_ms([&] { save_screen(path.c_str()); });
        const double bare_ms = bench::best_ms([&] { f.bare(bare_path, picture); });
        // The encoder alone, into memory: the rest of save_screen is the read-back and the
        // safe replace of the file (temporary file flushed to disk, then renamed).
        std::vector<uint8_t> file;
        const ImageFileKind kind = image_kind_for_path(f.name);
        const double encode_ms = bench::best_ms([&] { encode_image(picture, kind, &file); });
        std::printf(
            "%-4s save_screen %7.2f ms   %-12s %7.2f ms   ratio %5.2f   encoder alone "
            "%7.2f ms (ratio %.2f)\n",
            f.name + 5, save_ms, f.bare_name, bare_ms, save_ms / bare_ms, encode_ms,
            encode_ms / bare_ms);
        std::filesystem::remove(path);
        std::filesystem::remove(bare_path);
    }
}
