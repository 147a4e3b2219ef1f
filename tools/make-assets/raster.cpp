#include "raster.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace assets {

Colour mix(const Colour& a, const Colour& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scale(const Colour& c, double factor) {
    return {c.r * factor, c.g * factor, c.b * factor};
}

namespace {

uint8_t to_byte(double v) {
    return uint8_t(std::lround(clamp01(v) * 255.0));
}

}  // namespace

void Image::set(int x, int y, const Colour& c, uint8_t alpha) {
    uint8_t* p = at(x, y);
    p[0] = to_byte(c.r);
    p[1] = to_byte(c.g);
    p[2] = to_byte(c.b);
    p[3] = alpha;
}

Colour Image::colour(int x, int y) const {
    const uint8_t* p = at(x, y);
    return {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0};
}

Image Image::crop(int x, int y, int w, int h) const {
    Image out(w, h);
    for (int row = 0; row < h; ++row) {
        std::copy_n(at(x, y + row), size_t(w) * 4, out.at(0, row));
    }
    return out;
}

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Image Canvas::image() const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    Image out(width_, height_);
    for (int y = 0; y < height_; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < width_; ++x) {
            const uint32_t argb = row[x];
            const uint32_t a = argb >> 24;
            uint8_t* p = out.at(x, y);
            p[3] = uint8_t(a);
            if (a == 0) continue;
            // Undo cairo's premultiplication, rounding to nearest.
            p[0] = uint8_t(std::min<uint32_t>(255, (((argb >> 16) & 255) * 255 + a / 2) / a));
            p[1] = uint8_t(std::min<uint32_t>(255, (((argb >> 8) & 255) * 255 + a / 2) / a));
            p[2] = uint8_t(std::min<uint32_t>(255, ((argb & 255) * 255 + a / 2) / a));
        }
    }
    return out;
}

void set_source(cairo_t* cr, const Colour& c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void add_stop(cairo_pattern_t* pattern, double offset, const Colour& c, double alpha) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.r, c.g, c.b, alpha);
}

void glow(cairo_t* cr, double x, double y, double radius, const Colour& c, double strength) {
    cairo_pattern_t* pattern = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    add_stop(pattern, 0.0, scale(c, strength));
    add_stop(pattern, 0.25, scale(c, strength * 0.45));
    add_stop(pattern, 0.6, scale(c, strength * 0.12));
    add_stop(pattern, 1.0, Colour{});
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source(cr, pattern);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
}

uint64_t Rng::next() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform(double lo, double hi) {
    return lo + (hi - lo) * double(next() >> 11) * (1.0 / 9007199254740992.0);
}

int Rng::between(int lo, int hi) {
    return lo + int(next() % uint64_t(hi - lo + 1));
}

double fbm(double x, double y, uint32_t seed, int octaves) {
    double sum = 0;
    double amplitude = 1;
    double total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += value_noise(x, y, seed + uint32_t(i) * 101u) * amplitude;
        total += amplitude;
        amplitude *= 0.5;
        x = x * 2.03 + 17.1;
        y = y * 2.03 + 5.7;
    }
    return sum / total;
}

double clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

void harden_with_outline(Image* image, const Colour& outline) {
    const int w = image->width;
    const int h = image->height;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image->at(x, y);
            if (p[3] < 128) {
                p[0] = p[1] = p[2] = p[3] = 0;
                continue;
            }
            image->set(x, y, mix(outline, image->colour(x, y), p[3] / 255.0));
        }
    }
    std::vector<uint8_t> solid(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) solid[size_t(y) * w + x] = image->at(x, y)[3];
    }
    auto is_solid = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && solid[size_t(y) * w + x];
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (is_solid(x, y)) continue;
            if (is_solid(x - 1, y) || is_solid(x + 1, y) || is_solid(x, y - 1) ||
                is_solid(x, y + 1)) {
                image->set(x, y, outline);
            }
        }
    }
    clear_border(image);
}

void clear_border(Image* image) {
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            if (x == 0 || y == 0 || x == image->width - 1 || y == image->height - 1) {
                std::fill_n(image->at(x, y), 4, 0);
            }
        }
    }
}

namespace {

struct PngWriteDeleter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriteDeleter() { png_destroy_write_struct(&png, &info); }
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Header values and rows, prepared before any libpng call.
struct PngRows {
    int width = 0;
    int height = 0;
    int colour_type = 0;
    size_t stride = 0;
    std::vector<uint8_t> bytes;
};

bool encode_png(std::FILE* file, const PngRows& rows) {
    PngWriteDeleter writer;
    writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!writer.png) return false;
    writer.info = png_create_info_struct(writer.png);
    if (!writer.info) return false;
    // libpng reports errors by a longjmp back to the setjmp; what it needs afterwards is
    // reached through volatile pointers, so no register copy can be clobbered.
    const PngRows* volatile source = &rows;
    std::FILE* volatile out = file;
    if (setjmp(png_jmpbuf(writer.png))) return false;
    png_init_io(writer.png, out);
    png_set_compression_level(writer.png, 3);
    png_set_filter(writer.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_PAETH);
    png_set_IHDR(writer.png, writer.info, source->width, source->height, 8, source->colour_type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer.png, writer.info);
    for (int y = 0; y < source->height; ++y) {
        png_write_row(writer.png, &source->bytes[size_t(y) * source->stride]);
    }
    png_write_end(writer.png, writer.info);
    return true;
}

}  // namespace

bool write_png(const std::string& path, const Image& image, PngType type) {
    const int channels = type == PngType::kRgba ? 4 : 3;
    PngRows rows;
    rows.width = image.width;
    rows.height = image.height;
    rows.colour_type = type == PngType::kRgba ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    rows.stride = size_t(image.width) * channels;
    rows.bytes.resize(rows.stride * image.height);
    for (size_t i = 0, n = size_t(image.width) * image.height; i < n; ++i) {
        std::copy_n(&image.pixels[i * 4], channels, &rows.bytes[i * channels]);
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    return file && encode_png(file.get(), rows) && std::fflush(file.get()) == 0;
}

}  // namespace assets
