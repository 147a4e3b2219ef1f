// The HUD panel, its bar fills, the rank strip and the bitmap font.
#include <cmath>
#include <string>

#include "families.h"
#include "stroke_font.h"

namespace assets {

namespace {

constexpr int kPanelWidth = 1024;
constexpr int kPanelHeight = 64;
// Panel rows of the three bars (shield, armor, energy), drawn from x 70, 200 x 8.
constexpr int kBarRows[3] = {8, 26, 45};
constexpr int kBarX = 70;
constexpr int kBarWidth = 200;
constexpr int kBarHeight = 8;
// The printed numbers: right ends of the stage counter and the score, first glyph row.
constexpr int kStageEnd = 406;
constexpr int kScoreEnd = 674;
constexpr int kDigitTop = 37;
constexpr int kGlyphCellWidth = 17;
constexpr int kGlyphCellHeight = 27;
// The rank strip: 24 slices of 10 x 20 from x 774 on panel row 38.
constexpr int kRankX = 774;
constexpr int kRankY = 38;
constexpr int kRankSlices = 24;
constexpr int kRankSliceWidth = 10;
constexpr int kRankHeight = 20;

const Colour kBarColours[3] = {{0.25, 0.72, 1.0}, {1.0, 0.58, 0.14}, {0.45, 0.95, 0.25}};
const char* const kBarLabels[3] = {"SHIELD", "ARMOR", "ENERGY"};
const char* const kBarFiles[3] = {"shieldbar.png", "armorbar.png", "energybar.png"};

const Colour kKey = {244 / 255.0, 0, 244 / 255.0};
const Colour kFontOutline = {0.03, 0.05, 0.12};

void rectangle(cairo_t* cr, double x0, double y0, double x1, double y1, const Colour& c) {
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    set_source(cr, c);
    cairo_fill(cr);
}

// A chamfered plate with a lit top-left bevel and a shadowed bottom-right one.
void raised_plate(cairo_t* cr, double x0, double y0, double x1, double y1) {
    const double cut = 6;
    auto outline = [&](double inset) {
        cairo_new_path(cr);
        cairo_move_to(cr, x0 + cut + inset, y0 + inset);
        cairo_line_to(cr, x1 - cut - inset, y0 + inset);
        cairo_line_to(cr, x1 - inset, y0 + cut + inset);
        cairo_line_to(cr, x1 - inset, y1 - cut - inset);
        cairo_line_to(cr, x1 - cut - inset, y1 - inset);
        cairo_line_to(cr, x0 + cut + inset, y1 - inset);
        cairo_line_to(cr, x0 + inset, y1 - cut - inset);
        cairo_line_to(cr, x0 + inset, y0 + cut + inset);
        cairo_close_path(cr);
    };
    outline(0);
    set_source(cr, {0.02, 0.02, 0.03});
    cairo_fill(cr);
    outline(1);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y0, 0, y1);
    add_stop(fill, 0, {0.27, 0.30, 0.36});
    add_stop(fill, 0.15, {0.20, 0.22, 0.27});
    add_stop(fill, 1, {0.10, 0.11, 0.14});
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    // The bevel: light along the top and left, dark along the bottom and right.
    cairo_pattern_t* bevel = cairo_pattern_create_linear(x0, y0, x0 + 40, y1 + 40);
    add_stop(bevel, 0, {0.62, 0.67, 0.76});
    add_stop(bevel, 0.5, {0.30, 0.33, 0.39});
    add_stop(bevel, 1, {0.05, 0.05, 0.07});
    cairo_set_source(cr, bevel);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);
}

// A recessed window: dark inside, shadowed top-left, lit bottom-right edge.
void recess(cairo_t* cr, double x0, double y0, double x1, double y1, const Colour& inside) {
    rectangle(cr, x0, y0, x1, y1, {0.33, 0.37, 0.44});
    rectangle(cr, x0, y0, x1 - 1, y1 - 1, {0.01, 0.01, 0.02});
    rectangle(cr, x0 + 1, y0 + 1, x1 - 1, y1 - 1, inside);
}

void rivet(cairo_t* cr, double x, double y) {
    cairo_arc(cr, x + 0.5, y + 0.5, 2.2, 0, 2 * M_PI);
    set_source(cr, {0.03, 0.03, 0.04});
    cairo_fill(cr);
    cairo_pattern_t* head = cairo_pattern_create_radial(x - 0.3, y - 0.3, 0.2, x, y, 2.0);
    add_stop(head, 0, {0.85, 0.88, 0.94});
    add_stop(head, 1, {0.22, 0.24, 0.29});
    cairo_set_source(cr, head);
    cairo_arc(cr, x, y, 1.7, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
}

// Stroke text with a one-pixel drop shadow.
void label(cairo_t* cr, const std::string& text, double x, double top, double unit, double advance,
           const Colour& c) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1.35 * unit);
    cairo_new_path(cr);
    append_text(cr, text, x + 1, top + 1, unit, advance);
    set_source(cr, {0, 0, 0}, 0.85);
    cairo_stroke(cr);
    append_text(cr, text, x, top, unit, advance);
    set_source(cr, c);
    cairo_stroke(cr);
}

// An engraved groove: a dark line with a lit line under it.
void groove(cairo_t* cr, double x0, double x1, double y) {
    rectangle(cr, x0, y, x1, y + 1, {0.03, 0.03, 0.05});
    rectangle(cr, x0, y + 1, x1, y + 2, {0.36, 0.40, 0.47});
}

// Display window for numbers: dark glass with faint scan lines.
void number_window(cairo_t* cr, double x0, double x1) {
    recess(cr, x0, kDigitTop - 2, x1, kPanelHeight - 1, {0.015, 0.025, 0.04});
    for (int y = kDigitTop; y < kPanelHeight - 2; y += 2) {
        rectangle(cr, x0 + 1, y, x1 - 1, y + 1, {0.03, 0.05, 0.07});
    }
}

Image draw_panel() {
    Canvas canvas(kPanelWidth, kPanelHeight);
    cairo_t* cr = canvas.cr();
    rectangle(cr, 0, 0, kPanelWidth, kPanelHeight, {0.06, 0.07, 0.09});
    // The top edge where the panel meets the playfield.
    rectangle(cr, 0, 0, kPanelWidth, 1, {0.02, 0.02, 0.03});
    rectangle(cr, 0, 1, kPanelWidth, 2, {0.55, 0.60, 0.70});
    rectangle(cr, 0, 2, kPanelWidth, 3, {0.25, 0.28, 0.34});
    rectangle(cr, 0, 3, kPanelWidth, 4, {0.10, 0.42, 0.55});

    raised_plate(cr, 2, 5, 292, 63);
    raised_plate(cr, 297, 5, 726, 63);
    raised_plate(cr, 731, 5, 1022, 63);

    // Left plate: the three bars with their labels and lamps.
    for (int i = 0; i < 3; ++i) {
        const int row = kBarRows[i];
        recess(cr, kBarX - 3, row - 3, kBarX + kBarWidth + 3, row + kBarHeight + 3,
               {0.02, 0.025, 0.035});
        for (int x = kBarX + 19; x < kBarX + kBarWidth; x += 20) {
            rectangle(cr, x, row + 2, x + 1, row + kBarHeight - 2, {0.10, 0.12, 0.16});
        }
        label(cr, kBarLabels[i], 11, row - 0.5, 1.0, 7, mix(kBarColours[i], {1, 1, 1}, 0.25));
        cairo_arc(cr, 59.5, row + 4, 3.2, 0, 2 * M_PI);
        set_source(cr, {0.01, 0.01, 0.02});
        cairo_fill(cr);
        cairo_pattern_t* lamp =
            cairo_pattern_create_radial(58.8, row + 3.2, 0.3, 59.5, row + 4, 2.6);
        add_stop(lamp, 0, mix(kBarColours[i], {1, 1, 1}, 0.7));
        add_stop(lamp, 1, scale(kBarColours[i], 0.6));
        cairo_set_source(cr, lamp);
        cairo_arc(cr, 59.5, row + 4, 2.4, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(lamp);
    }
    rivet(cr, 283, 14);
    rivet(cr, 283, 54);

    // Centre plate: title, stage counter and score windows.
    const Colour engraved = {0.58, 0.65, 0.75};
    label(cr, "VELKADORN", 470, 9, 1.3, 9.6, engraved);
    groove(cr, 312, 458, 14);
    groove(cr, 564, 712, 14);
    for (int i = 0; i < 3; ++i) {
        const double x = 446 - i * 7;
        cairo_move_to(cr, x, 10);
        cairo_line_to(cr, x + 4, 15);
        cairo_line_to(cr, x, 20);
        cairo_move_to(cr, 576 + i * 7, 10);
        cairo_line_to(cr, 572 + i * 7, 15);
        cairo_line_to(cr, 576 + i * 7, 20);
    }
    set_source(cr, {0.10, 0.55, 0.72});
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    number_window(cr, kStageEnd - 3 * kGlyphCellWidth - 9, kStageEnd + 5);
    label(cr, "STAGE", 309, 44.5, 0.9, 6.6, {0.55, 0.78, 0.92});
    number_window(cr, kScoreEnd - 8 * kGlyphCellWidth - 9, kScoreEnd + 5);
    label(cr, "SCORE", 488, 44.5, 0.9, 6.6, {0.55, 0.78, 0.92});
    for (int i = 0; i < 5; ++i) {
        recess(cr, 426 + i * 9, 40, 431 + i * 9, 59, {0.03, 0.035, 0.05});
    }
    rivet(cr, 306, 27);
    rivet(cr, 716, 27);
    rivet(cr, 716, 54);

    // Right plate: the rank strip's frame and label, status lamps.
    recess(cr, kRankX - 3, kRankY - 3, kRankX + kRankSlices * kRankSliceWidth + 3,
           kRankY + kRankHeight + 3, {0.02, 0.02, 0.03});
    label(cr, "RANK", kRankX + 1, 21, 0.9, 6.6, {0.95, 0.80, 0.40});
    groove(cr, 808, 1012, 25);
    const Colour lamps[4] = {{0.3, 1.0, 0.4}, {0.3, 1.0, 0.4}, {1.0, 0.75, 0.2}, {1.0, 0.25, 0.2}};
    for (int i = 0; i < 4; ++i) {
        const double y = 37 + i * 6;
        recess(cr, 744, y, 758, y + 5, {0.02, 0.02, 0.03});
        rectangle(cr, 745, y + 1, 757, y + 4, scale(lamps[i], 0.85));
        rectangle(cr, 745, y + 1, 757, y + 2, mix(lamps[i], {1, 1, 1}, 0.5));
    }
    rivet(cr, 742, 13);
    rivet(cr, 1012, 13);

    // Brushed-metal grain over everything but the dark windows.
    Image panel = canvas.image();
    for (int y = 0; y < kPanelHeight; ++y) {
        for (int x = 0; x < kPanelWidth; ++x) {
            const Colour c = panel.colour(x, y);
            const double lum = (c.r + c.g + c.b) / 3;
            const double grain = (fbm(x / 30.0, y * 1.7, 11, 3) - 0.5) * 0.10 +
                                 (lattice_hash(x, y, 12) - 0.5) * 0.04;
            panel.set(x, y, scale(c, 1 + grain * smoothstep(0.05, 0.2, lum)));
        }
    }
    return panel;
}

Image draw_bar(const Colour& base) {
    Image bar(kBarWidth, kBarHeight);
    const double profile[kBarHeight] = {1.45, 1.2, 1.05, 1.0, 0.92, 0.82, 0.7, 0.5};
    for (int y = 0; y < kBarHeight; ++y) {
        for (int x = 0; x < kBarWidth; ++x) {
            double f = profile[y] * (0.82 + 0.18 * x / (kBarWidth - 1.0));
            if (x % 10 == 9) f *= 0.55;
            Colour c = scale(base, f);
            if (y == 0) c = mix(c, {1, 1, 1}, 0.35);
            bar.set(x, y, c);
        }
    }
    return bar;
}

// One chevron insignia pointing right, or two nested ones.
void chevron(cairo_t* cr, double cx, double cy, int count) {
    for (int i = 0; i < count; ++i) {
        const double x = cx - 3 + i * 5 - (count - 1) * 2.5;
        cairo_move_to(cr, x - 4, cy - 6);
        cairo_line_to(cr, x + 2, cy);
        cairo_line_to(cr, x - 4, cy + 6);
    }
}

void star_path(cairo_t* cr, double cx, double cy, double outer) {
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? outer * 0.45 : outer;
        const double a = -M_PI / 2 + i * M_PI / 5;
        if (i == 0) {
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        } else {
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        }
    }
    cairo_close_path(cr);
}

Image draw_rank_strip() {
    const int width = kRankSlices * kRankSliceWidth;
    Canvas canvas(width, kRankHeight);
    cairo_t* cr = canvas.cr();
    const Colour metals[3] = {{0.80, 0.50, 0.25}, {0.80, 0.84, 0.92}, {1.0, 0.82, 0.28}};
    cairo_pattern_t* back = cairo_pattern_create_linear(0, 0, 0, kRankHeight);
    add_stop(back, 0, {0.09, 0.12, 0.24});
    add_stop(back, 1, {0.03, 0.04, 0.10});
    cairo_set_source(cr, back);
    cairo_paint(cr);
    cairo_pattern_destroy(back);
    // The edging changes metal smoothly from group to group.
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, 0, width, 0);
    for (int g = 0; g < 3; ++g) {
        add_stop(edge, (g * 80 + 10) / double(width), metals[g]);
        add_stop(edge, (g * 80 + 70) / double(width), metals[g]);
    }
    cairo_set_source(cr, edge);
    cairo_rectangle(cr, 0, 1, width, 1.5);
    cairo_rectangle(cr, 0, kRankHeight - 2.5, width, 1.5);
    cairo_fill(cr);
    cairo_pattern_destroy(edge);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    for (int g = 0; g < 3; ++g) {
        for (int k = 0; k < 3; ++k) {
            const double cx = g * 80 + 14 + k * 26;
            const double cy = kRankHeight / 2.0;
            cairo_new_path(cr);
            if (g == 2) {
                star_path(cr, cx, cy, 7.2);
            } else {
                chevron(cr, cx, cy, g + 1);
            }
            cairo_set_line_width(cr, g == 2 ? 2.2 : 4.6);
            set_source(cr, {0.01, 0.01, 0.03});
            cairo_stroke_preserve(cr);
            cairo_pattern_t* shine = cairo_pattern_create_linear(0, cy - 7, 0, cy + 7);
            add_stop(shine, 0, mix(metals[g], {1, 1, 1}, 0.55));
            add_stop(shine, 0.5, metals[g]);
            add_stop(shine, 1, scale(metals[g], 0.55));
            cairo_set_source(cr, shine);
            if (g == 2) {
                cairo_fill(cr);
            } else {
                cairo_set_line_width(cr, 2.4);
                cairo_stroke(cr);
            }
            cairo_pattern_destroy(shine);
        }
    }
    return canvas.image();
}

// Draws one glyph into its cell: a light stroke with a dark outline, keyed around it.
void draw_glyph(Image* font, char c) {
    Canvas cell(kGlyphCellWidth, kGlyphCellHeight);
    cairo_t* cr = cell.cr();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double unit = 2;
    const double left = (kGlyphCellWidth - kGlyphUnitsWide * unit) / 2;
    const double top = 2.5;
    append_glyph(cr, c, left, top, unit);
    cairo_set_line_width(cr, 5);
    set_source(cr, kFontOutline);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, top, 0, top + kGlyphCapHeight * unit);
    add_stop(body, 0, {1, 1, 1});
    add_stop(body, 0.45, {0.82, 0.94, 1});
    add_stop(body, 1, {0.48, 0.74, 1});
    cairo_set_source(cr, body);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_pattern_destroy(body);
    const Image pixels = cell.image();
    const int x0 = (c % 16) * kGlyphCellWidth;
    const int y0 = (c / 16) * kGlyphCellHeight;
    for (int y = 0; y < kGlyphCellHeight; ++y) {
        for (int x = 0; x < kGlyphCellWidth; ++x) {
            const uint8_t* p = pixels.at(x, y);
            if (p[3] < 128) continue;
            font->set(x0 + x, y0 + y, mix(kFontOutline, pixels.colour(x, y), p[3] / 255.0));
        }
    }
}

}  // namespace

void make_hud(AssetWriter& out) {
    out.png("overhub.png", draw_panel(), PngType::kRgb);
    for (int i = 0; i < 3; ++i) out.png(kBarFiles[i], draw_bar(kBarColours[i]), PngType::kRgb);
    const Image strip = draw_rank_strip();
    for (int slice = 0; slice < kRankSlices; ++slice) {
        const std::string name =
            "rank" + std::to_string(slice / 8) + char('a' + slice % 8) + ".png";
        out.png(name, strip.crop(slice * kRankSliceWidth, 0, kRankSliceWidth, kRankHeight),
                PngType::kRgb);
    }
}

void make_font(AssetWriter& out) {
    // 16 columns x 8 rows: the 128-code grid, glyph cells of 17 x 27.
    Image font(16 * kGlyphCellWidth, 8 * kGlyphCellHeight);
    for (int y = 0; y < font.height; ++y) {
        for (int x = 0; x < font.width; ++x) font.set(x, y, kKey);
    }
    for (int code = 33; code < 127; ++code) draw_glyph(&font, char(code));
    out.png("vdfont.png", font, PngType::kRgb);
}

}  // namespace assets
