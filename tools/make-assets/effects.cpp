// Engine flames, explosions, sparks and the star: additive pictures painted on black, with a
// black outer ring so a sprite drawn at a fractional position adds nothing at its edges.
#include <cmath>
#include <string>

#include "families.h"

namespace assets {

namespace {

// Black body ramp: 0 black, through deep red, orange and yellow to white at 1.
Colour fire(double heat) {
    const Colour stops[5] = {
        {0, 0, 0}, {0.55, 0.06, 0.02}, {1.0, 0.38, 0.06}, {1.0, 0.78, 0.3}, {1.0, 1.0, 0.92}};
    const double t = clamp01(heat) * 4;
    const int i = std::min(3, int(t));
    return mix(stops[i], stops[i + 1], t - i);
}

// An engine jet pointing left: hottest at the nozzle on the right, thinning and cooling to
// the left; each frame has its own length and turbulence, so the four flicker.
Image draw_burner(int frame) {
    const double lengths[4] = {26, 28.5, 23, 27};
    const double widths[4] = {6.2, 5.6, 6.6, 5.9};
    Image flame(32, 32);
    const double nozzle_x = 30.5;
    const double cy = 15.5;
    for (int y = 1; y < 31; ++y) {
        for (int x = 1; x < 31; ++x) {
            const double t = (nozzle_x - x) / lengths[frame];
            if (t < -0.04 || t > 1) continue;
            const double turbulence = value_noise(x * 0.45 + frame * 9.3, y * 0.5, 61) - 0.5;
            const double half_width =
                widths[frame] * std::pow(clamp01(1 - t), 0.65) * (1 + turbulence * 0.5);
            const double v = std::abs(y - cy + turbulence * 1.5 * t) / std::max(half_width, 0.3);
            const double body = 1 - smoothstep(0.45, 1.05, v);
            const double heat = body * std::pow(clamp01(1 - t), 1.1) * (0.9 + turbulence * 0.4);
            Colour c = fire(heat * 1.15);
            // A blue-white core right at the nozzle.
            const double core = (1 - smoothstep(0.0, 0.35, t)) * (1 - smoothstep(0.0, 0.45, v));
            c = mix(c, {0.75, 0.88, 1.0}, core * 0.7);
            flame.set(x, y, scale(c, clamp01(heat * 1.4)));
        }
    }
    return flame;
}

// Explosion frame by age (0 the fresh fireball, 1 the last wisps): a turbulent fireball that
// grows, hollows out and cools, with debris sparks flying outwards.
Image draw_explosion(double age, uint64_t seed) {
    const int size = 64;
    const double cx = 31.5;
    const double cy = 31.5;
    const double radius = 17 + 8 * age;
    Canvas debris(size, size);
    {
        cairo_t* cr = debris.cr();
        Rng rng(seed);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int i = 0; i < 16; ++i) {
            const double angle = rng.uniform(0, 2 * M_PI);
            const double speed = rng.uniform(0.55, 1.0);
            const double distance = 8 + 20 * std::pow(age, 0.8) * speed;
            const double x = cx + std::cos(angle) * distance;
            const double y = cy + std::sin(angle) * distance;
            const double trail = 2 + 4 * speed * (1 - age * 0.5);
            const double brightness = (1 - age) * (0.6 + 0.4 * speed);
            if (brightness <= 0) continue;
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x - std::cos(angle) * trail, y - std::sin(angle) * trail);
            set_source(cr, {1, 0.85, 0.5}, brightness);
            cairo_set_line_width(cr, 1.6);
            cairo_stroke(cr);
        }
    }
    const Image sparks = debris.image();
    Image out(size, size);
    for (int y = 1; y < size - 1; ++y) {
        for (int x = 1; x < size - 1; ++x) {
            const double dx = x - cx;
            const double dy = y - cy;
            const double dist = std::sqrt(dx * dx + dy * dy);
            const double r = dist / radius;
            const double n = fbm(dx / radius * 2.2 + 40, dy / radius * 2.2 + 40, 77, 4);
            const double outer = 1 + (n - 0.5) * 0.7;
            double density = 1 - smoothstep(outer * 0.6, outer, r);
            // The centre burns out first as the shell expands.
            const double hollow = age * 0.8;
            const double shell =
                0.25 + 0.75 * smoothstep(hollow * 0.3, hollow + 0.05, r + (n - 0.5) * 0.5);
            density *= 1 + (shell - 1) * smoothstep(0.1, 0.4, age);
            density *= 1 - smoothstep(27, 31, dist);
            const double heat = density * (1.15 - age * 0.95) * (1.1 - 0.45 * r) * (0.7 + 0.6 * n);
            Colour c = fire(heat);
            // Cooling smoke keeps a dim red-violet glow.
            c = mix(c, scale(Colour{0.45, 0.12, 0.22}, density * (0.4 + n * 0.6)), age * 0.6);
            // The first frames carry a white-hot core and a shock ring running ahead.
            const double flash = std::max(0.0, 1 - age * 2.5) * std::exp(-dist * dist / 160);
            c = mix(c, {1, 1, 0.95}, clamp01(flash * density));
            const double ring_distance = (dist - (19 + 18 * age)) / 1.4;
            const double broken = smoothstep(
                0.35, 0.65, fbm(dx / (dist + 1) * 2 + 9, dy / (dist + 1) * 2 + 9, 78, 3));
            const double ring =
                std::max(0.0, 1 - age * 3) * broken * std::exp(-ring_distance * ring_distance);
            c = mix(c, {1, 0.88, 0.62}, clamp01(ring) * (1 - smoothstep(28, 31, dist)));
            const double spark = sparks.at(x, y)[3] / 255.0;
            c = mix(c, {1, 0.9, 0.6}, spark * (1 - heat));
            out.set(x, y, scale(c, 1 - age * 0.35));
        }
    }
    return out;
}

// A spark burst: a hot core with four long and four short rays; strength 0..1.
Image draw_spark(double strength, double turn) {
    Image out(32, 32);
    const double c0 = 15.5;
    const double ray_length = 3 + 11 * strength;
    for (int y = 1; y < 31; ++y) {
        for (int x = 1; x < 31; ++x) {
            const double dx = x - c0;
            const double dy = y - c0;
            const double dist = std::sqrt(dx * dx + dy * dy);
            const double sigma = 1.0 + 2.0 * strength;
            double intensity = std::exp(-dist * dist / (2 * sigma * sigma));
            for (int i = 0; i < 8; ++i) {
                const double angle = turn + i * M_PI / 4;
                const double along = dx * std::cos(angle) + dy * std::sin(angle);
                const double across = -dx * std::sin(angle) + dy * std::cos(angle);
                const double length = ray_length * (i % 2 ? 0.55 : 1.0);
                if (along < 0 || along > length) continue;
                const double fade = 1 - along / length;
                intensity += fade * std::exp(-across * across / 1.4) * 1.1;
            }
            intensity =
                clamp01(intensity * (0.3 + 0.7 * strength)) * (1 - smoothstep(13, 15, dist));
            const Colour c = intensity > 0.5
                                 ? mix({1, 0.8, 0.35}, {1, 1, 0.95}, (intensity - 0.5) * 2)
                                 : mix({0.6, 0.2, 0.05}, {1, 0.8, 0.35}, intensity * 2);
            out.set(x, y, scale(c, intensity));
        }
    }
    return out;
}

}  // namespace

void make_effects(AssetWriter& out) {
    for (int frame = 0; frame < 4; ++frame) {
        out.png(std::string("burner_01") + char('a' + frame) + ".png", draw_burner(frame),
                PngType::kRgb);
    }
    // explode_08 is shown first: the youngest fireball.
    for (int number = 1; number <= 8; ++number) {
        out.png("explode_0" + std::to_string(number) + ".png",
                draw_explosion((8 - number) / 7.0, 501), PngType::kRgb);
    }
    // spark4 is shown first and brightest.
    for (int number = 1; number <= 4; ++number) {
        out.png("spark" + std::to_string(number) + ".png", draw_spark(number / 4.0, number * 0.23),
                PngType::kRgb);
    }
    Image star(16, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) star.set(x, y, {1, 1, 1});
    }
    out.png("star.png", star, PngType::kRgb);
}

}  // namespace assets
