// The player's fighter, the three enemy ships and the shots. Ships are drawn antialiased with
// cairo and then given binary alpha and a dark outline: they are drawn without blending and
// their opaque pixels are their hit shapes.
#include <cmath>
#include <initializer_list>
#include <utility>

#include "families.h"

namespace assets {

namespace {

using Points = std::initializer_list<std::pair<double, double>>;

void polygon(cairo_t* cr, Points points) {
    cairo_new_path(cr);
    bool first = true;
    for (const auto& [x, y] : points) {
        if (first) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
        first = false;
    }
    cairo_close_path(cr);
}

// The same polygon mirrored about the horizontal line y = axis.
void mirrored_polygon(cairo_t* cr, Points points, double axis) {
    cairo_new_path(cr);
    bool first = true;
    for (const auto& [x, y] : points) {
        if (first) {
            cairo_move_to(cr, x, 2 * axis - y);
        } else {
            cairo_line_to(cr, x, 2 * axis - y);
        }
        first = false;
    }
    cairo_close_path(cr);
}

// Fills the current path with a vertical gradient through three colours.
void fill_vertical(cairo_t* cr, double y0, double y1, const Colour& top, const Colour& middle,
                   const Colour& bottom) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y0, 0, y1);
    add_stop(pattern, 0, top);
    add_stop(pattern, 0.5, middle);
    add_stop(pattern, 1, bottom);
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
}

void edge(cairo_t* cr, const Colour& c, double width) {
    set_source(cr, c);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1, const Colour& c, double width,
          double alpha = 1.0) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    set_source(cr, c, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

// A glass canopy or sensor: dark rim, radial gradient and a small highlight.
void glass(cairo_t* cr, double cx, double cy, double rx, double ry, const Colour& bright,
           const Colour& deep) {
    ellipse(cr, cx, cy, rx + 1, ry + 0.9);
    set_source(cr, {0.06, 0.07, 0.10});
    cairo_fill(cr);
    ellipse(cr, cx, cy, rx, ry);
    cairo_pattern_t* pattern =
        cairo_pattern_create_radial(cx - rx * 0.3, cy - ry * 0.4, 0.3, cx, cy, std::max(rx, ry));
    add_stop(pattern, 0, mix(bright, {1, 1, 1}, 0.5));
    add_stop(pattern, 0.4, bright);
    add_stop(pattern, 1, deep);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    ellipse(cr, cx - rx * 0.3, cy - ry * 0.45, rx * 0.35, ry * 0.22);
    set_source(cr, {1, 1, 1}, 0.85);
    cairo_fill(cr);
}

// An engine nozzle: dark ribbed block with a hot inner edge on the exhaust side.
void nozzle(cairo_t* cr, double x0, double y0, double x1, double y1, bool exhaust_left) {
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    fill_vertical(cr, y0, y1, {0.42, 0.44, 0.5}, {0.2, 0.21, 0.25}, {0.1, 0.1, 0.12});
    cairo_new_path(cr);
    for (double x = x0 + 1.5; x < x1 - 0.5; x += 2) line(cr, x, y0, x, y1, {0.05, 0.05, 0.07}, 0.6);
    const double hot_x = exhaust_left ? x0 : x1 - 1.5;
    cairo_rectangle(cr, hot_x, y0 + 1.5, 1.5, y1 - y0 - 3);
    fill_vertical(cr, y0, y1, {1.0, 0.85, 0.45}, {1.0, 0.55, 0.15}, {0.7, 0.2, 0.05});
    cairo_new_path(cr);
}

void small_light(cairo_t* cr, double x, double y, const Colour& c) {
    cairo_arc(cr, x, y, 1.3, 0, 2 * M_PI);
    set_source(cr, mix(c, {1, 1, 1}, 0.3));
    cairo_fill(cr);
}

Image finish_ship(const Canvas& canvas) {
    Image ship = canvas.image();
    harden_with_outline(&ship, {0.03, 0.03, 0.05});
    return ship;
}

Image draw_player_ship() {
    Canvas canvas(64, 64);
    cairo_t* cr = canvas.cr();
    const Colour trim = {0.12, 0.40, 0.92};
    // Swept wings with blue leading edges.
    const Points wing = {{38, 27}, {24, 11}, {17, 7.5}, {12, 8.5}, {13, 12}, {16, 27}};
    const Points stripe = {{36.5, 26.5}, {23.5, 12}, {21.5, 13.2}, {33.5, 27}};
    for (int side = 0; side < 2; ++side) {
        side ? mirrored_polygon(cr, wing, 32) : polygon(cr, wing);
        fill_vertical(cr, side ? 37 : 7, side ? 57 : 27,
                      side ? Colour{0.55, 0.6, 0.68} : Colour{0.78, 0.82, 0.9}, {0.62, 0.66, 0.74},
                      side ? Colour{0.36, 0.4, 0.48} : Colour{0.58, 0.62, 0.7});
        edge(cr, {0.3, 0.33, 0.4}, 0.8);
        side ? mirrored_polygon(cr, stripe, 32) : polygon(cr, stripe);
        set_source(cr, side ? scale(trim, 0.75) : trim);
        cairo_fill(cr);
        line(cr, 16, side ? 50 : 14, 30, side ? 50 : 14, {0.3, 0.33, 0.4}, 0.6, 0.8);
    }
    small_light(cr, 14.5, 9.5, {1, 0.2, 0.2});
    small_light(cr, 14.5, 54.5, {0.2, 1, 0.3});
    // Wing cannons on the lines the volley leaves from.
    for (double gun_y : {21.0, 43.0}) {
        cairo_rectangle(cr, 22, gun_y - 2.6, 12, 5.2);
        fill_vertical(cr, gun_y - 2.6, gun_y + 2.6, {0.7, 0.74, 0.8}, {0.42, 0.45, 0.52},
                      {0.22, 0.24, 0.28});
        edge(cr, {0.15, 0.16, 0.2}, 0.6);
        cairo_rectangle(cr, 33, gun_y - 1.2, 17, 2.4);
        fill_vertical(cr, gun_y - 1.2, gun_y + 1.2, {0.62, 0.65, 0.72}, {0.35, 0.37, 0.42},
                      {0.18, 0.19, 0.22});
        cairo_new_path(cr);
        cairo_rectangle(cr, 48, gun_y - 1.8, 3, 3.6);
        set_source(cr, {0.2, 0.21, 0.25});
        cairo_fill(cr);
    }
    // Fuselage.
    cairo_new_path(cr);
    cairo_move_to(cr, 61, 32);
    cairo_curve_to(cr, 54, 27.5, 44, 25, 32, 24.5);
    cairo_line_to(cr, 14, 25);
    cairo_line_to(cr, 8, 26.5);
    cairo_line_to(cr, 5, 28);
    cairo_line_to(cr, 5, 36);
    cairo_line_to(cr, 8, 37.5);
    cairo_line_to(cr, 14, 39);
    cairo_line_to(cr, 32, 39.5);
    cairo_curve_to(cr, 44, 39, 54, 36.5, 61, 32);
    cairo_close_path(cr);
    fill_vertical(cr, 24.5, 39.5, {0.95, 0.96, 0.99}, {0.76, 0.8, 0.86}, {0.4, 0.43, 0.51});
    edge(cr, {0.28, 0.3, 0.36}, 0.8);
    cairo_rectangle(cr, 12, 30.9, 27, 2.2);
    set_source(cr, trim);
    cairo_fill(cr);
    for (double x : {20.0, 30.0}) line(cr, x, 25.5, x, 38.5, {0.3, 0.33, 0.4}, 0.6, 0.9);
    line(cr, 52, 28.5, 58, 31, {0.3, 0.33, 0.4}, 0.6, 0.7);
    line(cr, 52, 35.5, 58, 33, {0.3, 0.33, 0.4}, 0.6, 0.7);
    glass(cr, 45, 32, 7.5, 3.3, {0.45, 0.9, 1.0}, {0.03, 0.25, 0.5});
    nozzle(cr, 2.5, 27, 8, 37, true);
    return finish_ship(canvas);
}

Image draw_enemy_interceptor() {
    Canvas canvas(64, 64);
    cairo_t* cr = canvas.cr();
    // Forward-swept blades.
    const Points blade = {{44, 27}, {31, 11}, {24, 6.5}, {21, 8}, {26, 15}, {32, 27}};
    const Points fin = {{52, 28}, {59, 21}, {61.5, 21.5}, {59, 29.5}};
    for (int side = 0; side < 2; ++side) {
        side ? mirrored_polygon(cr, fin, 32) : polygon(cr, fin);
        fill_vertical(cr, 21, 43, {0.55, 0.1, 0.12}, {0.38, 0.05, 0.07}, {0.25, 0.03, 0.05});
        edge(cr, {0.12, 0.01, 0.02}, 0.7);
        side ? mirrored_polygon(cr, blade, 32) : polygon(cr, blade);
        fill_vertical(cr, side ? 37 : 6, side ? 58 : 27,
                      side ? Colour{0.6, 0.09, 0.11} : Colour{0.95, 0.32, 0.3}, {0.72, 0.13, 0.14},
                      side ? Colour{0.32, 0.03, 0.05} : Colour{0.62, 0.1, 0.12});
        edge(cr, {0.2, 0.02, 0.04}, 0.8);
        const double y = side ? 49 : 15;
        line(cr, 27, y, 36, y, {0.12, 0.02, 0.03}, 1.6);
        small_light(cr, 23, side ? 56 : 8, {1, 0.85, 0.2});
    }
    // Body.
    polygon(cr, {{3, 32},
                 {14, 27.5},
                 {30, 25},
                 {50, 25.5},
                 {58, 28},
                 {61, 30},
                 {61, 34},
                 {58, 36},
                 {50, 38.5},
                 {30, 39},
                 {14, 36.5}});
    fill_vertical(cr, 25, 39, {0.98, 0.42, 0.38}, {0.7, 0.12, 0.13}, {0.3, 0.03, 0.05});
    edge(cr, {0.2, 0.02, 0.04}, 0.8);
    cairo_rectangle(cr, 34, 25.4, 4, 13.2);
    set_source(cr, {0.16, 0.03, 0.05});
    cairo_fill(cr);
    line(cr, 44, 26, 44, 38, {0.25, 0.03, 0.05}, 0.6);
    line(cr, 14, 32, 32, 32, {0.3, 0.04, 0.06}, 0.6, 0.8);
    glass(cr, 19, 32, 5.8, 2.5, {1.0, 0.78, 0.2}, {0.6, 0.22, 0.03});
    nozzle(cr, 56, 28, 61.5, 36, false);
    return finish_ship(canvas);
}

Image draw_enemy_crab() {
    Canvas canvas(64, 64);
    cairo_t* cr = canvas.cr();
    // Rear spines and forward pincers.
    const Points spine = {{50, 20}, {60, 13}, {58.5, 22}, {55, 24}};
    for (int side = 0; side < 2; ++side) {
        side ? mirrored_polygon(cr, spine, 32) : polygon(cr, spine);
        fill_vertical(cr, 13, 51, {0.6, 0.4, 0.8}, {0.35, 0.18, 0.5}, {0.22, 0.08, 0.32});
        edge(cr, {0.12, 0.03, 0.18}, 0.7);
        const double s = side ? -1 : 1;
        cairo_new_path(cr);
        cairo_move_to(cr, 34, 32 - s * 12);
        cairo_curve_to(cr, 22, 32 - s * 19, 10, 32 - s * 18, 3, 32 - s * 11);
        cairo_line_to(cr, 4.5, 32 - s * 8);
        cairo_curve_to(cr, 11, 32 - s * 12.5, 21, 32 - s * 12.5, 30, 32 - s * 6);
        cairo_close_path(cr);
        fill_vertical(cr, side ? 38 : 13, side ? 51 : 26,
                      side ? Colour{0.55, 0.32, 0.75} : Colour{0.88, 0.7, 1.0}, {0.6, 0.38, 0.82},
                      side ? Colour{0.25, 0.1, 0.38} : Colour{0.45, 0.25, 0.65});
        edge(cr, {0.15, 0.04, 0.22}, 0.8);
        cairo_arc(cr, 4.5, 32 - s * 9.5, 1.6, 0, 2 * M_PI);
        set_source(cr, {0.95, 0.9, 1.0});
        cairo_fill(cr);
    }
    nozzle(cr, 55, 28, 61, 36, false);
    // Armoured pod.
    ellipse(cr, 38, 32, 21, 16);
    cairo_pattern_t* body = cairo_pattern_create_radial(32, 23, 1, 38, 32, 22);
    add_stop(body, 0, {0.85, 0.68, 1.0});
    add_stop(body, 0.45, {0.52, 0.27, 0.72});
    add_stop(body, 1, {0.18, 0.06, 0.3});
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    edge(cr, {0.15, 0.04, 0.22}, 0.9);
    for (double x : {41.0, 49.0}) {
        cairo_move_to(cr, x, 17.5 + (x - 41) * 0.25);
        cairo_curve_to(cr, x + 5, 25, x + 5, 39, x, 46.5 - (x - 41) * 0.25);
        set_source(cr, {0.16, 0.05, 0.25}, 0.9);
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
        cairo_move_to(cr, x + 1.2, 19 + (x - 41) * 0.25);
        cairo_curve_to(cr, x + 6, 26, x + 6, 38, x + 1.2, 45 - (x - 41) * 0.25);
        set_source(cr, {0.8, 0.62, 0.95}, 0.5);
        cairo_set_line_width(cr, 0.7);
        cairo_stroke(cr);
    }
    // The green sensor eye.
    ellipse(cr, 25, 32, 7, 7);
    set_source(cr, {0.06, 0.01, 0.1});
    cairo_fill(cr);
    glass(cr, 25, 32, 5.2, 5.2, {0.45, 1.0, 0.35}, {0.04, 0.4, 0.08});
    ellipse(cr, 25.5, 32.5, 1.1, 3.2);
    set_source(cr, {0.02, 0.18, 0.03});
    cairo_fill(cr);
    return finish_ship(canvas);
}

Image draw_enemy_gunship() {
    Canvas canvas(80, 80);
    cairo_t* cr = canvas.cr();
    const Colour hazard = {0.98, 0.58, 0.1};
    // Twin cannons on the lines the volley of two leaves from.
    for (double gun_y : {26.67, 53.33}) {
        cairo_rectangle(cr, 3, gun_y - 2.2, 15, 4.4);
        fill_vertical(cr, gun_y - 2.2, gun_y + 2.2, {0.6, 0.63, 0.7}, {0.3, 0.32, 0.36},
                      {0.14, 0.15, 0.17});
        edge(cr, {0.08, 0.08, 0.1}, 0.6);
        for (double x : {6.0, 10.0}) {
            cairo_rectangle(cr, x, gun_y - 2.8, 1.6, 5.6);
            set_source(cr, {0.2, 0.21, 0.24});
            cairo_fill(cr);
        }
        cairo_rectangle(cr, 2.5, gun_y - 1, 1.5, 2);
        set_source(cr, {1.0, 0.55, 0.2});
        cairo_fill(cr);
    }
    // Swept armour fins above and below the engine section, with hazard-striped tips.
    const Points fin = {{42, 16}, {56, 4}, {67, 3.5}, {67, 16}};
    const Points fin_tip = {{56, 4}, {67, 3.5}, {67, 7.5}, {52.5, 7.5}};
    for (int side = 0; side < 2; ++side) {
        side ? mirrored_polygon(cr, fin, 40) : polygon(cr, fin);
        fill_vertical(cr, side ? 64 : 3, side ? 77 : 16,
                      side ? Colour{0.3, 0.32, 0.37} : Colour{0.58, 0.62, 0.68}, {0.4, 0.43, 0.49},
                      side ? Colour{0.15, 0.16, 0.19} : Colour{0.3, 0.32, 0.37});
        edge(cr, {0.1, 0.1, 0.12}, 0.8);
        side ? mirrored_polygon(cr, fin_tip, 40) : polygon(cr, fin_tip);
        set_source(cr, side ? scale(hazard, 0.7) : hazard);
        cairo_fill(cr);
    }
    // Armoured hull.
    polygon(cr, {{12, 30},
                 {20, 20},
                 {34, 14},
                 {64, 14},
                 {73, 20},
                 {73, 46},
                 {70, 49},
                 {70, 58},
                 {63, 66},
                 {34, 66},
                 {20, 60},
                 {12, 50}});
    fill_vertical(cr, 14, 66, {0.66, 0.7, 0.76}, {0.38, 0.41, 0.47}, {0.15, 0.16, 0.19});
    edge(cr, {0.1, 0.1, 0.12}, 0.9);
    for (double x : {30.0, 44.0, 58.0}) line(cr, x, 16, x, 64, {0.12, 0.13, 0.15}, 0.8);
    line(cr, 20, 40, 72, 40, {0.12, 0.13, 0.15}, 0.8);
    line(cr, 20, 41, 72, 41, {0.55, 0.58, 0.64}, 0.5, 0.6);
    for (double x = 34; x <= 62; x += 7) {
        for (double y : {17.5, 62.5}) {
            cairo_arc(cr, x + 2, y, 0.9, 0, 2 * M_PI);
            set_source(cr, {0.78, 0.8, 0.85});
            cairo_fill(cr);
        }
    }
    // Hazard stripes on the dorsal armour and along the keel.
    cairo_save(cr);
    cairo_rectangle(cr, 46, 20, 10, 8);
    cairo_clip(cr);
    set_source(cr, hazard);
    cairo_paint(cr);
    for (double x = 36; x < 60; x += 4) {
        polygon(cr, {{x, 28}, {x + 2, 28}, {x + 10, 20}, {x + 8, 20}});
        set_source(cr, {0.08, 0.07, 0.06});
        cairo_fill(cr);
    }
    cairo_restore(cr);
    polygon(cr, {{24, 59}, {62, 59}, {60, 62.5}, {27, 62.5}});
    set_source(cr, hazard);
    cairo_fill(cr);
    // Red visor slit between the cannons.
    polygon(cr, {{16, 37}, {30, 34.5}, {30, 45.5}, {16, 43}});
    set_source(cr, {0.06, 0.02, 0.02});
    cairo_fill(cr);
    polygon(cr, {{18, 38.3}, {28.5, 36.3}, {28.5, 43.7}, {18, 41.7}});
    fill_vertical(cr, 36, 44, {1.0, 0.55, 0.45}, {1.0, 0.15, 0.1}, {0.55, 0.04, 0.03});
    cairo_new_path(cr);
    // Main engine (centred where the flame is drawn) and a vented lower block.
    nozzle(cr, 68, 22, 77, 42, false);
    cairo_rectangle(cr, 64, 47, 6, 12);
    fill_vertical(cr, 47, 59, {0.35, 0.37, 0.42}, {0.2, 0.21, 0.24}, {0.1, 0.1, 0.12});
    cairo_new_path(cr);
    for (double y = 49; y < 58; y += 2.5) line(cr, 65, y, 69, y, {0.05, 0.05, 0.06}, 1);
    small_light(cr, 66, 16.5, {1, 0.3, 0.2});
    return finish_ship(canvas);
}

// A glowing bolt painted on black: a bright head and a tail that thins and fades behind it.
// Texels that add almost nothing stay transparent, so the visible bolt is the hit shape.
Image draw_bolt(int width, int height, bool head_right, const Colour& core, const Colour& mid,
                const Colour& outer, double head_size) {
    Image bolt(width, height);
    const double cy = (height - 1) / 2.0;
    const double head_x = head_right ? width - 2 - head_size : 1 + head_size;
    const double tail_length = width - 4 - 2 * head_size;
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 1; x < width - 1; ++x) {
            const double dy = y - cy;
            const double dx = x - head_x;
            const double head =
                std::exp(-(dx * dx) / (head_size * head_size * 1.6) - dy * dy / (head_size * 0.9));
            // Position along the tail: 1 at the head, 0 at the far end.
            const double along = 1 - (head_right ? -dx : dx) / tail_length;
            double tail = 0;
            if ((head_right ? dx < 0 : dx > 0) && along > 0) {
                const double thickness = 0.35 + head_size * 0.3 * along;
                tail = std::pow(along, 1.4) * std::exp(-dy * dy / (2 * thickness * thickness));
            }
            const double intensity = clamp01(std::max(head, tail * 0.85));
            if (intensity < 0.05) continue;
            const Colour c = intensity > 0.6 ? mix(mid, core, (intensity - 0.6) / 0.4)
                                             : mix(outer, mid, intensity / 0.6);
            bolt.set(x, y, scale(c, 0.35 + 0.65 * intensity));
        }
    }
    return bolt;
}

}  // namespace

void make_ships(AssetWriter& out) {
    out.png("ship_001.png", draw_player_ship(), PngType::kRgba);
    out.png("ship_002.png", draw_enemy_interceptor(), PngType::kRgba);
    out.png("ship_003.png", draw_enemy_crab(), PngType::kRgba);
    out.png("ship_004.png", draw_enemy_gunship(), PngType::kRgba);
}

void make_shots(AssetWriter& out) {
    out.png("blast_001.png",
            draw_bolt(32, 16, true, {1, 1, 1}, {0.35, 0.9, 1.0}, {0.08, 0.3, 1.0}, 3.2),
            PngType::kRgba);
    out.png("blast_004.png",
            draw_bolt(32, 8, false, {1, 0.97, 0.75}, {1.0, 0.45, 0.1}, {0.75, 0.08, 0.04}, 2.0),
            PngType::kRgba);
    out.png("blast_002.png",
            draw_bolt(32, 8, false, {0.92, 1, 0.8}, {0.45, 1.0, 0.2}, {0.08, 0.55, 0.12}, 2.4),
            PngType::kRgba);
}

}  // namespace assets
