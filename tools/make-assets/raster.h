// Pixel buffers, cairo canvases, noise and the PNG writer shared by every asset family.
#pragma once

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// A colour with channels 0..1.
struct Colour {
    double r = 0, g = 0, b = 0;
};

Colour mix(const Colour& a, const Colour& b, double t);
Colour scale(const Colour& c, double factor);

// Straight (not premultiplied) RGBA pixels, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    Image() = default;
    Image(int w, int h) : width(w), height(h), pixels(size_t(w) * h * 4, 0) {}
    uint8_t* at(int x, int y) { return &pixels[(size_t(y) * width + x) * 4]; }
    const uint8_t* at(int x, int y) const { return &pixels[(size_t(y) * width + x) * 4]; }
    void set(int x, int y, const Colour& c, uint8_t alpha = 255);
    Colour colour(int x, int y) const;
    Image crop(int x, int y, int w, int h) const;
};

// A cairo image surface with its context; starts fully transparent.
class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    // The pixels as straight RGBA.
    Image image() const;

  private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

void set_source(cairo_t* cr, const Colour& c, double alpha = 1.0);
// Adds a colour stop to a gradient.
void add_stop(cairo_pattern_t* pattern, double offset, const Colour& c, double alpha = 1.0);
// A radial glow: colour at the centre fading to nothing at radius, painted with cairo's ADD.
void glow(cairo_t* cr, double x, double y, double radius, const Colour& c, double strength);

// Deterministic generator (splitmix64), one per asset family so families stay independent.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // Uniform in [lo, hi).
    double uniform(double lo, double hi);
    // Whole number in [lo, hi].
    int between(int lo, int hi);

  private:
    uint64_t state_;
};

// Sum of octaves of value noise, normalised to 0..1.
double fbm(double x, double y, uint32_t seed, int octaves);

double clamp01(double v);
double smoothstep(double edge0, double edge1, double v);

// 0..1 hash of a lattice point.
inline double lattice_hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / double(0x1000000);
}

// Smooth value noise in 0..1 on a unit lattice.
inline double value_noise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = int(fx);
    const int iy = int(fy);
    double tx = x - fx;
    double ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const double a = lattice_hash(ix, iy, seed);
    const double b = lattice_hash(ix + 1, iy, seed);
    const double c = lattice_hash(ix, iy + 1, seed);
    const double d = lattice_hash(ix + 1, iy + 1, seed);
    return a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty;
}


// Makes a sprite's alpha binary: pixels with coverage of at least half become opaque (their
// colour laid over the outline colour), the rest transparent; then every transparent pixel
// touching an opaque one becomes outline, and the outermost ring of pixels is cleared.
void harden_with_outline(Image* image, const Colour& outline);
// Sets every pixel of the outermost ring to transparent black.
void clear_border(Image* image);

enum class PngType { kRgb, kRgba };

// Writes an 8-bit PNG with no time or text chunks, so equal pixels give equal bytes.
bool write_png(const std::string& path, const Image& image, PngType type);

}  // namespace assets
