// The stage: nine 1024 x 576 sections in three layers. Each layer is drawn as one picture of
// the whole stage and then cut into sections, so neighbouring sections join without a seam.
// The flight runs from open space into an asteroid, through a narrowing cave, along a lit
// station built into the rock, and out through a tunnel towards a ringed planet.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "families.h"

namespace assets {

namespace {

constexpr int kSections = 9;
constexpr int kSectionWidth = 1024;
constexpr int kWidth = kSections * kSectionWidth;
constexpr int kHeight = 576;

// Where the station is built into the rock.
constexpr double kStationStart = 4096;
constexpr double kStationEnd = 7168;
// Depth of the station's metal hull in front of the rock.
constexpr double kHullDepth = 48;

// Edges of the flyable passage at one x: rows above ceiling and from floor on are wall.
struct Gap {
    double x, ceiling, floor;
};

// The rock passage, eased between these points (the station's straight hull replaces it
// between kStationStart and kStationEnd).
const Gap kRockPassage[] = {{0, -60, 640},    {450, -50, 630},  {750, -8, 600},   {1050, 40, 520},
                            {1350, 85, 470},  {1650, 115, 440}, {1950, 130, 400}, {2250, 100, 330},
                            {2550, 55, 275},  {2850, 140, 345}, {3150, 250, 450}, {3450, 225, 425},
                            {3750, 150, 380}, {4096, 110, 420}, {7168, 175, 385}, {7450, 195, 390},
                            {7750, 130, 420}, {8050, 60, 480},  {8350, -10, 560}, {8650, -70, 640},
                            {9216, -100, 700}};

// The station's hull: straight runs from x to the next run, joined by 45-degree steps.
const Gap kStationHull[] = {
    {4096, 110, 420}, {4640, 160, 390}, {5150, 80, 470}, {6050, 135, 400}, {6620, 175, 385}};

// The back wall: open outside the asteroid, closed (ceiling below floor) inside it.
const Gap kBackWall[] = {{0, -80, 700},    {700, -60, 680},  {1000, 60, 560},  {1250, 210, 380},
                         {1450, 400, 200}, {7950, 400, 200}, {8150, 150, 420}, {8350, 40, 540},
                         {8550, -60, 660}, {9216, -100, 700}};

const Colour kOutline = {0.04, 0.035, 0.045};

struct Plane {
    std::vector<float> values = std::vector<float>(size_t(kWidth) * kHeight, 0.0f);
    float& at(int x, int y) { return values[size_t(y) * kWidth + x]; }
    float at(int x, int y) const { return values[size_t(y) * kWidth + x]; }
};

struct Mask {
    std::vector<uint8_t> cells = std::vector<uint8_t>(size_t(kWidth) * kHeight, 0);
    uint8_t& at(int x, int y) { return cells[size_t(y) * kWidth + x]; }
    bool at(int x, int y) const { return cells[size_t(y) * kWidth + x] != 0; }
};

// Eases between the points of a gap table.
Gap interpolate(const Gap* table, size_t count, double x) {
    for (size_t i = 1; i < count; ++i) {
        if (x > table[i].x) continue;
        const Gap& a = table[i - 1];
        const Gap& b = table[i];
        const double t = smoothstep(0, 1, (x - a.x) / (b.x - a.x));
        return {x, a.ceiling + (b.ceiling - a.ceiling) * t, a.floor + (b.floor - a.floor) * t};
    }
    return table[count - 1];
}

// The hull at x: the run's edges, stepping at 45 degrees towards the next run.
Gap station_hull(double x) {
    const size_t count = std::size(kStationHull);
    Gap gap = kStationHull[0];
    for (size_t i = 0; i < count; ++i) {
        if (x >= kStationHull[i].x) gap = kStationHull[i];
    }
    for (size_t i = 1; i < count; ++i) {
        const Gap& a = kStationHull[i - 1];
        const Gap& b = kStationHull[i];
        const double dc = std::abs(b.ceiling - a.ceiling) / 2;
        const double df = std::abs(b.floor - a.floor) / 2;
        if (std::abs(x - b.x) < dc) {
            gap.ceiling = a.ceiling + (b.ceiling - a.ceiling) * (x - b.x + dc) / (2 * dc);
        }
        if (std::abs(x - b.x) < df) {
            gap.floor = a.floor + (b.floor - a.floor) * (x - b.x + df) / (2 * df);
        }
    }
    return gap;
}

bool in_station(double x) {
    return x >= kStationStart && x < kStationEnd;
}

// The station's interior wall behind the corridor reaches a little past its bulkheads.
constexpr double kBackStationStart = kStationStart - 70;
constexpr double kBackStationEnd = kStationEnd + 70;
// Shifts the back wall's panel grid so no panel seam falls on a section edge.
constexpr int kBackPanelShift = 40;

bool in_back_station(double x) {
    return x >= kBackStationStart && x < kBackStationEnd;
}

// Everything the three layers share: the wall edges per column, where crystals grow,
// the lamps of the station.
struct Geometry {
    std::vector<double> ceiling = std::vector<double>(kWidth);
    std::vector<double> floor = std::vector<double>(kWidth);
    struct Crystal {
        double x, y, angle, length, width;
    };
    std::vector<Crystal> crystals;
    // Cluster centres for the glows.
    std::vector<std::pair<double, double>> crystal_glows;
    std::vector<std::pair<double, double>> lamps;
    struct Rock {
        double x, y, radius;
    };
    std::vector<Rock> floating_rocks;
};

bool in_cave(double x) {
    return (x > 1350 && x < kStationStart - 80) || (x > kStationEnd + 80 && x < 8200);
}

// Wall edges: the station's hull, elsewhere the eased rock passage with a rough edge.
void shape_walls(Geometry* g) {
    for (int x = 0; x < kWidth; ++x) {
        if (in_station(x)) {
            const Gap hull = station_hull(x);
            g->ceiling[x] = hull.ceiling;
            g->floor[x] = hull.floor;
            continue;
        }
        const Gap base = interpolate(kRockPassage, std::size(kRockPassage), x);
        // Roughness fades out where the rock meets the station's straight hull.
        const double to_station = std::min(std::abs(x - kStationStart), std::abs(x - kStationEnd));
        const double rough = 0.25 + 0.75 * smoothstep(0, 160, to_station);
        g->ceiling[x] = base.ceiling + rough * ((fbm(x / 70.0, 0.5, 31, 4) - 0.5) * 30 +
                                                (value_noise(x / 9.0, 3.5, 32) - 0.5) * 5);
        g->floor[x] = base.floor + rough * ((fbm(x / 70.0, 7.5, 33, 4) - 0.5) * 30 +
                                            (value_noise(x / 9.0, 9.5, 34) - 0.5) * 5);
    }
}

// Stalactites and stalagmites where the cave leaves room for them.
void add_spikes(Geometry* g, Rng& rng) {
    for (double x = 1400; x < 8200;) {
        const int column = int(x);
        const double gap = g->floor[column] - g->ceiling[column];
        const bool from_ceiling = rng.uniform(0, 1) < 0.55;
        const double half_width = rng.uniform(14, 34);
        const double length = std::min(rng.uniform(16, 40), gap - 205);
        if (in_cave(x) && length > 8) {
            for (int dx = -int(half_width); dx <= int(half_width); ++dx) {
                const double shape = std::pow(1 - std::abs(dx) / half_width, 1.6);
                if (from_ceiling) {
                    g->ceiling[column + dx] =
                        std::max(g->ceiling[column + dx], g->ceiling[column] + length * shape);
                } else {
                    g->floor[column + dx] =
                        std::min(g->floor[column + dx], g->floor[column] - length * shape);
                }
            }
        }
        x += rng.uniform(70, 170);
    }
}

// Clusters of crystal shards growing from the cave walls, where they leave room to fly.
void grow_crystals(Geometry* g, Rng& rng) {
    for (double x = 1500; x < 8150; x += rng.uniform(180, 320)) {
        if (!in_cave(x)) continue;
        const int column = int(x);
        const double gap = g->floor[column] - g->ceiling[column];
        if (gap < 215) continue;
        const bool on_ceiling = rng.uniform(0, 1) < 0.5;
        const double direction = on_ceiling ? 1 : -1;
        const double edge = on_ceiling ? g->ceiling[column] : g->floor[column];
        const double reach = std::min(20.0, gap - 200);
        const int shards = rng.between(3, 5);
        for (int i = 0; i < shards; ++i) {
            const double spread = rng.uniform(-16, 16);
            Geometry::Crystal c;
            c.x = x + spread;
            c.y = edge - direction * 12;
            c.angle = (on_ceiling ? M_PI / 2 : -M_PI / 2) + spread * 0.035 + rng.uniform(-0.2, 0.2);
            c.length = 12 + rng.uniform(0.3, 1.0) * reach;
            c.width = rng.uniform(4.5, 7.5);
            g->crystals.push_back(c);
        }
        g->crystal_glows.push_back({x, edge + direction * 4});
    }
}

Geometry build_geometry() {
    Geometry g;
    Rng rng(2024);
    shape_walls(&g);
    add_spikes(&g, rng);
    grow_crystals(&g, rng);
    // Lamps under the station's ceiling.
    for (double x = kStationStart + 120; x < kStationEnd - 60; x += 192) {
        g.lamps.push_back({x, station_hull(x).ceiling});
    }
    g.floating_rocks = {{560, 70, 26}, {700, 478, 30}, {880, 112, 20}, {1010, 205, 12}};
    return g;
}

// Distance (in pixels, steps of 1 and the square root of 2) from each wall pixel to the nearest
// open pixel; open pixels are 0. Beyond the picture counts as wall.
Plane distance_to_open(const Mask& solid) {
    Plane d;
    const float far = 1e6f;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) d.at(x, y) = solid.at(x, y) ? far : 0;
    }
    auto relax = [&](int x, int y, int nx, int ny, float step) {
        if (nx < 0 || ny < 0 || nx >= kWidth || ny >= kHeight) return;
        d.at(x, y) = std::min(d.at(x, y), d.at(nx, ny) + step);
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            relax(x, y, x - 1, y, 1);
            relax(x, y, x, y - 1, 1);
            relax(x, y, x - 1, y - 1, 1.4142f);
            relax(x, y, x + 1, y - 1, 1.4142f);
        }
    }
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = kWidth - 1; x >= 0; --x) {
            relax(x, y, x + 1, y, 1);
            relax(x, y, x, y + 1, 1);
            relax(x, y, x + 1, y + 1, 1.4142f);
            relax(x, y, x - 1, y + 1, 1.4142f);
        }
    }
    return d;
}

// A rock blob: a circle with a noisy radius.
bool in_rock_blob(double x, double y, double cx, double cy, double radius, uint32_t seed) {
    const double dx = x - cx;
    const double dy = y - cy;
    const double angle = std::atan2(dy, dx);
    const double wobble = fbm(std::cos(angle) * 1.5 + 5, std::sin(angle) * 1.5 + 5, seed, 3);
    return dx * dx + dy * dy < std::pow(radius * (0.75 + 0.5 * wobble), 2);
}

// Lambert shading of a height field at one pixel, light from the upper left and the front.
double lit(const Plane& height, int x, int y, double relief) {
    const int x0 = std::max(0, x - 1), x1 = std::min(kWidth - 1, x + 1);
    const int y0 = std::max(0, y - 1), y1 = std::min(kHeight - 1, y + 1);
    const double nx = -(height.at(x1, y) - height.at(x0, y)) * relief;
    const double ny = -(height.at(x, y1) - height.at(x, y0)) * relief;
    const double length = std::sqrt(nx * nx + ny * ny + 1);
    const double lx = -0.42, ly = -0.66, lz = 0.62;
    return std::max(0.0, (nx * lx + ny * ly + lz) / length);
}

// Rock: lumpy relief, strata and cracks, bevelled towards the open side, darker deep inside.
void shade_rock(Image* layer, const Mask& solid, const Plane& distance, const Colour& light_rock,
                const Colour& dark_rock, double brightness, uint32_t seed) {
    Plane height;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!solid.at(x, y)) continue;
            const double d = distance.at(x, y);
            height.at(x, y) =
                float(0.5 * fbm(x / 46.0, y / 46.0, seed, 3) +
                      0.22 * fbm(x / 11.0, y / 11.0, seed + 7, 2) + 0.9 * smoothstep(0, 10, d));
        }
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!solid.at(x, y)) continue;
            const double d = distance.at(x, y);
            const double tone = fbm(x / 160.0, y / 160.0, seed + 13, 2);
            Colour c = mix(dark_rock, light_rock, tone);
            const double strata = std::sin(y * 0.11 + tone * 9 + x * 0.004);
            c = scale(c, 1 + 0.07 * strata);
            // Thin cracks, only in some stretches of rock, and a few light pebbles.
            const double crack = std::abs(value_noise(x / 26.0, y / 26.0, seed + 21) - 0.5);
            if (crack < 0.01 && fbm(x / 120.0, y / 120.0, seed + 22, 2) > 0.62) {
                c = scale(c, 0.55);
            }
            if (lattice_hash(x, y, seed + 23) > 0.992) c = scale(c, 1.35);
            const double shade = 0.3 + 0.95 * lit(height, x, y, 8);
            const double depth = 0.5 + 0.5 * std::exp(-d / 45);
            layer->set(x, y, scale(c, shade * depth * brightness));
        }
    }
}

// Station plating: staggered plates with seams and rivets, grime, a trimmed edge and hazard
// stripes where the corridor narrows.
Colour station_plate(int x, int y, double d, bool hazard) {
    const int plate_w = 96, plate_h = 24;
    const int row = y / plate_h;
    const int shifted = x + 20 + (row % 2) * plate_w / 2;
    const int px = shifted % plate_w;
    const int py = y % plate_h;
    const double tone = 0.88 + 0.22 * lattice_hash(shifted / plate_w, row, 51);
    Colour c = scale(Colour{0.44, 0.48, 0.55}, tone);
    const double grime = fbm(x / 90.0, y / 40.0, 52, 3);
    c = scale(c, 0.72 + 0.35 * grime);
    const double streak = fbm(x / 6.0, y / 70.0, 53, 2);
    c = mix(c, {0.3, 0.24, 0.2}, smoothstep(0.6, 0.85, streak) * 0.5);
    if (px == 0 || py == 0) c = scale(c, 0.45);
    if (px == 1 || py == 1) c = scale(c, 1.25);
    const bool rivet_x = px == 4 || px == plate_w - 5;
    const bool rivet_y = py == 4 || py == plate_h - 5;
    if (rivet_x && rivet_y) c = {0.78, 0.82, 0.88};
    if ((px == 5 || px == plate_w - 4) && (py == 5 || py == plate_h - 4)) c = scale(c, 0.5);
    // The edge trim facing the corridor.
    if (d < 2.5) return {0.78, 0.82, 0.9};
    if (d < 4) return {0.5, 0.54, 0.62};
    if (d < 7) return {0.33, 0.36, 0.42};
    if (d < 8) return {0.1, 0.1, 0.12};
    if (hazard && d >= 8 && d < 15) {
        const bool yellow = ((x + int(y)) / 7) % 2 == 0;
        return yellow ? Colour{0.92, 0.72, 0.12} : Colour{0.1, 0.09, 0.08};
    }
    if (d >= 15 && d < 16) return {0.1, 0.1, 0.12};
    if (d >= kHullDepth - 1) return {0.06, 0.06, 0.07};
    return c;
}

// Upright bulkhead frames where the station begins, ends and changes height.
bool in_bulkhead(int x) {
    for (double b : {kStationStart, kStationEnd}) {
        if (std::abs(x - b) < 30) return true;
    }
    return false;
}

Colour bulkhead(int x, int y) {
    const int local = (x + 30) % 60;
    Colour c = {0.36, 0.39, 0.45};
    if (local < 3) c = {0.62, 0.66, 0.74};
    if (local > 56) c = {0.12, 0.12, 0.15};
    if (y % 32 < 2) c = scale(c, 0.6);
    if (y % 32 == 16 && local > 8 && local < 52) c = {0.7, 0.74, 0.8};
    return scale(c, 0.85 + 0.2 * fbm(x / 30.0, y / 30.0, 54, 2));
}

// Crystal shards: a lit and a shaded facet split by a bright ridge, drawn onto a canvas.
void draw_crystals(cairo_t* cr, const Geometry& g) {
    for (const Geometry::Crystal& c : g.crystals) {
        const double ux = std::cos(c.angle), uy = std::sin(c.angle);
        const double vx = -uy, vy = ux;
        const double half = c.width / 2;
        auto point = [&](double along, double across) {
            return std::pair<double, double>{c.x + ux * along + vx * across,
                                             c.y + uy * along + vy * across};
        };
        const auto base_l = point(0, -half), base_r = point(0, half);
        const auto mid_l = point(c.length * 0.7, -half), mid_r = point(c.length * 0.7, half);
        const auto tip = point(c.length, 0), root = point(0, 0);
        auto facet = [&](std::pair<double, double> a, std::pair<double, double> b,
                         std::pair<double, double> cc, std::pair<double, double> d,
                         const Colour& colour) {
            cairo_move_to(cr, a.first, a.second);
            cairo_line_to(cr, b.first, b.second);
            cairo_line_to(cr, cc.first, cc.second);
            cairo_line_to(cr, d.first, d.second);
            cairo_close_path(cr);
            set_source(cr, colour);
            cairo_fill(cr);
        };
        facet(base_l, mid_l, tip, root, {0.55, 0.98, 1.0});
        facet(root, tip, mid_r, base_r, {0.08, 0.45, 0.7});
        cairo_move_to(cr, root.first, root.second);
        cairo_line_to(cr, tip.first, tip.second);
        set_source(cr, {0.9, 1, 1});
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

// Pipes, vents and lamp housings of the station, drawn over the hull.
void draw_station_fittings(cairo_t* cr, const Geometry& g) {
    for (size_t i = 0; i < std::size(kStationHull); ++i) {
        const double x0 = kStationHull[i].x + 40;
        const double x1 =
            (i + 1 < std::size(kStationHull) ? kStationHull[i + 1].x : kStationEnd) - 40;
        for (int side = 0; side < 2; ++side) {
            const double y = side == 0 ? kStationHull[i].ceiling - 30 : kStationHull[i].floor + 30;
            cairo_pattern_t* pipe = cairo_pattern_create_linear(0, y - 4, 0, y + 4);
            add_stop(pipe, 0, {0.12, 0.13, 0.15});
            add_stop(pipe, 0.35, {0.7, 0.66, 0.55});
            add_stop(pipe, 1, {0.1, 0.1, 0.1});
            cairo_set_source(cr, pipe);
            cairo_rectangle(cr, x0, y - 4, x1 - x0, 8);
            cairo_fill(cr);
            cairo_pattern_destroy(pipe);
            for (double x = x0 + 20; x < x1 - 10; x += 64) {
                cairo_rectangle(cr, x, y - 6, 5, 12);
                set_source(cr, {0.25, 0.26, 0.3});
                cairo_fill(cr);
                cairo_rectangle(cr, x, y - 6, 1, 12);
                set_source(cr, {0.6, 0.63, 0.7});
                cairo_fill(cr);
            }
        }
        // A vent grille in the middle of each run, on the floor side.
        const double vx = (x0 + x1) / 2 - 30;
        const double vy = kStationHull[i].floor + 20;
        cairo_rectangle(cr, vx - 1, vy - 1, 62, 8);
        set_source(cr, {0.08, 0.08, 0.1});
        cairo_fill(cr);
        for (double x = vx; x < vx + 60; x += 4) {
            cairo_rectangle(cr, x, vy, 2, 6);
            set_source(cr, {0.03, 0.03, 0.04});
            cairo_fill(cr);
        }
    }
    for (const auto& [x, ceiling] : g.lamps) {
        cairo_rectangle(cr, x - 12, ceiling - 9, 24, 9);
        set_source(cr, {0.12, 0.12, 0.14});
        cairo_fill(cr);
        cairo_rectangle(cr, x - 9, ceiling - 4, 18, 3);
        set_source(cr, {1.0, 0.95, 0.8});
        cairo_fill(cr);
    }
}

Image draw_solid_layer(const Geometry& g) {
    Canvas crystals(kWidth, kHeight);
    draw_crystals(crystals.cr(), g);
    const Image crystal_pixels = crystals.image();
    Mask solid;
    Mask crystal;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            bool wall = y < g.ceiling[x] || y >= g.floor[x];
            for (const Geometry::Rock& r : g.floating_rocks) {
                if (std::abs(x - r.x) < r.radius * 1.3 && std::abs(y - r.y) < r.radius * 1.3 &&
                    in_rock_blob(x, y, r.x, r.y, r.radius, 35)) {
                    wall = true;
                }
            }
            const bool shard = crystal_pixels.at(x, y)[3] >= 128;
            solid.at(x, y) = wall || shard;
            crystal.at(x, y) = shard;
        }
    }
    const Plane distance = distance_to_open(solid);
    Image layer(kWidth, kHeight);
    shade_rock(&layer, solid, distance, {0.46, 0.38, 0.36}, {0.24, 0.22, 0.28}, 1.0, 41);

    Canvas fittings(kWidth, kHeight);
    draw_station_fittings(fittings.cr(), g);
    const Image fitting_pixels = fittings.image();
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!solid.at(x, y)) continue;
            const double d = distance.at(x, y);
            if (crystal.at(x, y)) {
                layer.set(x, y, crystal_pixels.colour(x, y));
            } else if (in_bulkhead(x)) {
                layer.set(x, y, bulkhead(x, y));
            } else if (in_station(x) && d < kHullDepth) {
                const Gap hull = station_hull(x);
                const bool hazard = hull.floor - hull.ceiling < 240;
                layer.set(x, y, station_plate(x, y, d, hazard));
                const uint8_t* f = fitting_pixels.at(x, y);
                if (f[3] > 0) {
                    layer.set(x, y,
                              mix(layer.colour(x, y), fitting_pixels.colour(x, y), f[3] / 255.0));
                }
            }
            if (d < 1.5) layer.set(x, y, kOutline);
            layer.at(x, y)[3] = 255;
        }
    }
    return layer;
}

// Openings of the station's back wall: portholes along the runs and the hangar's viewport.
bool in_station_window(int x, int y) {
    if (x >= 5260 && x < 5940 && y >= 170 && y < 370) return (x - 5260) % 68 >= 6;
    if (x >= 5150 && x < 6050) return false;
    const int local = (x - int(kStationStart) - 64) % 256;
    if (local < 0 || local >= 150) return false;
    // A porthole sits in the middle of its run; none where the hull steps.
    const Gap left = station_hull(x - local), right = station_hull(x - local + 149);
    if (left.ceiling != right.ceiling || left.floor != right.floor) return false;
    const double middle = (left.ceiling + left.floor) / 2;
    return std::abs(y - middle) < 30 && !in_bulkhead(x);
}

bool in_planet(double x, double y) {
    const double dx = x - 8930, dy = y - 250;
    return dx * dx + dy * dy < 150.0 * 150.0;
}

// The planet's ring in its tilted frame: 0 outside, else the radial position 0.68..1.
double ring_position(double x, double y, bool* in_front) {
    const double tilt = -0.2;
    const double dx = x - 8930, dy = y - 250;
    *in_front = false;
    if (std::abs(dx) > 260 || std::abs(dy) > 100) return 0;
    const double u = dx * std::cos(tilt) + dy * std::sin(tilt);
    const double v = -dx * std::sin(tilt) + dy * std::cos(tilt);
    const double r = std::sqrt((u / 250) * (u / 250) + (v / 42) * (v / 42));
    *in_front = v > 0;
    if (r < 0.68 || r > 1.0 || (r > 0.86 && r < 0.89)) return 0;
    return r;
}

Colour planet_colour(double x, double y) {
    const double dx = (x - 8930) / 150, dy = (y - 250) / 150;
    const double z = std::sqrt(std::max(0.0, 1 - dx * dx - dy * dy));
    const double latitude = dy * std::cos(0.2) - dx * std::sin(0.2);
    const double swirl = fbm(dx * 3 + 9, latitude * 10 + 2, 71, 4);
    const double band = std::sin(latitude * 15 + swirl * 4);
    Colour c = mix({0.72, 0.42, 0.26}, {0.95, 0.85, 0.66}, 0.5 + 0.5 * band);
    c = mix(c, {0.55, 0.3, 0.22}, smoothstep(0.65, 0.8, swirl) * 0.6);
    const double light = std::max(0.0, -0.62 * dx - 0.35 * dy + 0.7 * z);
    return scale(c, 0.08 + 0.95 * light);
}

// Antenna masts on the asteroid's surface ahead, each with a red beacon at its tip.
struct Mast {
    double x;
    bool hanging;
    double length;
};
const Mast kMasts[] = {{1120, true, 85}, {1215, false, 100}};

double mast_base(const Mast& mast) {
    const Gap wall = interpolate(kBackWall, std::size(kBackWall), mast.x);
    return mast.hanging ? wall.ceiling - 10 : wall.floor + 10;
}

double mast_tip(const Mast& mast) {
    return mast_base(mast) + (mast.hanging ? 1 : -1) * (mast.length + 10);
}

// Lattice masts with a dish and a lamp housing, in the dim colours of the distance.
void draw_masts(cairo_t* cr) {
    cairo_set_line_width(cr, 1.6);
    for (const Mast& mast : kMasts) {
        const double base = mast_base(mast), tip = mast_tip(mast);
        const double direction = tip > base ? 1 : -1;
        const Colour steel = {0.3, 0.33, 0.43};
        for (double side : {-1.0, 1.0}) {
            cairo_move_to(cr, mast.x + side * 5, base);
            cairo_line_to(cr, mast.x + side * 1.5, tip);
        }
        for (double t = 0; t < 1; t += 0.12) {
            const double y0 = base + (tip - base) * t, y1 = base + (tip - base) * (t + 0.12);
            const double w0 = 5 - 3.5 * t, w1 = 5 - 3.5 * (t + 0.12);
            cairo_move_to(cr, mast.x - w0, y0);
            cairo_line_to(cr, mast.x + w1, y1);
        }
        set_source(cr, steel);
        cairo_stroke(cr);
        const double dish_y = base + (tip - base) * 0.6;
        cairo_save(cr);
        cairo_translate(cr, mast.x - 6, dish_y);
        cairo_scale(cr, 3, 9);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        set_source(cr, {0.42, 0.45, 0.55});
        cairo_fill(cr);
        cairo_rectangle(cr, mast.x - 3, tip - 2 - direction * 1, 6, 5);
        set_source(cr, {0.35, 0.2, 0.22});
        cairo_fill(cr);
        cairo_rectangle(cr, mast.x - 1, tip - 1, 2, 2);
        set_source(cr, {1.0, 0.35, 0.25});
        cairo_fill(cr);
    }
}

Image draw_back_layer() {
    Canvas masts(kWidth, kHeight);
    draw_masts(masts.cr());
    const Image mast_pixels = masts.image();
    std::vector<Gap> walls(kWidth);
    for (int x = 0; x < kWidth; ++x) walls[x] = interpolate(kBackWall, std::size(kBackWall), x);
    Mask back;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Gap& wall = walls[x];
            bool filled = wall.ceiling >= wall.floor || y < wall.ceiling || y >= wall.floor;
            // Skylights in the cave's back wall show the stars.
            const bool cave = x > 1300 && x < 8100 && !in_back_station(x);
            if (filled && cave && fbm(x / 150.0, y / 105.0, 81, 3) > 0.64) filled = false;
            if (in_station(x) && in_station_window(x, y)) filled = false;
            static const Geometry::Rock kDistantRocks[] = {
                {330, 140, 14}, {420, 420, 9},  {560, 300, 24}, {690, 90, 18},
                {760, 360, 11}, {905, 250, 34}, {980, 470, 16}, {1120, 330, 20}};
            for (const Geometry::Rock& r : kDistantRocks) {
                if (std::abs(x - r.x) < r.radius * 1.3 && std::abs(y - r.y) < r.radius * 1.3 &&
                    in_rock_blob(x, y, r.x, r.y, r.radius, 82)) {
                    filled = true;
                }
            }
            bool ring_front = false;
            if (in_planet(x, y) || ring_position(x, y, &ring_front) > 0) filled = true;
            if (mast_pixels.at(x, y)[3] >= 128) filled = true;
            back.at(x, y) = filled;
        }
    }
    const Plane distance = distance_to_open(back);
    Image layer(kWidth, kHeight);
    shade_rock(&layer, back, distance, {0.25, 0.26, 0.36}, {0.1, 0.1, 0.15}, 0.8, 91);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!back.at(x, y)) continue;
            const double d = distance.at(x, y);
            bool ring_front = false;
            const double ring = ring_position(x, y, &ring_front);
            if (ring > 0 && (ring_front || !in_planet(x, y))) {
                const double stripes = 0.75 + 0.25 * std::sin(ring * 90);
                layer.set(x, y, scale(Colour{0.78, 0.72, 0.62}, stripes * (ring_front ? 1 : 0.7)));
            } else if (in_planet(x, y)) {
                layer.set(x, y, planet_colour(x, y));
            } else if (in_back_station(x)) {
                // Interior wall: dark panels, support beams and, at its ends, pillars.
                const int beam = (x - int(kStationStart)) % 256;
                const int panel_x = x + kBackPanelShift;
                Colour c = scale(Colour{0.15, 0.17, 0.21},
                                 0.8 + 0.3 * lattice_hash(panel_x / 128, y / 64, 94));
                if (panel_x % 128 == 0 || y % 64 == 0) c = scale(c, 0.55);
                const double from_end = std::min(x - kBackStationStart, kBackStationEnd - 1 - x);
                if ((beam >= 220 && beam < 244) || from_end < 24) {
                    c = beam == 220 || from_end < 2 ? Colour{0.36, 0.39, 0.46}
                                                    : Colour{0.24, 0.26, 0.31};
                }
                if (d < 7) c = d < 3.5 ? Colour{0.42, 0.46, 0.54} : Colour{0.28, 0.3, 0.36};
                layer.set(x, y, c);
            }
            if (d < 1.5) layer.set(x, y, {0.03, 0.03, 0.05});
            layer.at(x, y)[3] = 255;
        }
    }
    // The masts are too thin for an outline.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = int(kMasts[0].x) - 20; x < int(kMasts[std::size(kMasts) - 1].x) + 20; ++x) {
            if (mast_pixels.at(x, y)[3] >= 128) layer.set(x, y, mast_pixels.colour(x, y));
        }
    }
    // Lit windows of the station's far side: rows of warm slits on some wall panels.
    for (int panel_y = 0; panel_y < kHeight; panel_y += 64) {
        for (int panel_x = int(kBackStationStart) + kBackPanelShift; panel_x < kBackStationEnd;
             panel_x += 128) {
            const int column = panel_x / 128, row = panel_y / 64;
            if (lattice_hash(column, row, 95) > 0.3) continue;
            const int slits = 3 + int(lattice_hash(column, row, 96) * 3);
            for (int i = 0; i < slits; ++i) {
                const int x0 = (column * 128 - kBackPanelShift) + 64 - slits * 4 + i * 8;
                for (int x = x0; x < x0 + 5; ++x) {
                    for (int y = row * 64 + 30; y < row * 64 + 33; ++y) {
                        if (!in_back_station(x) || !back.at(x, y) || distance.at(x, y) < 8)
                            continue;
                        layer.set(
                            x, y,
                            y == row * 64 + 30 ? Colour{1.0, 0.95, 0.75} : Colour{1.0, 0.78, 0.4});
                    }
                }
            }
        }
    }
    return layer;
}

// Glows added over everything: crystal light in the cave, lamps and light cones in the
// station, guide lights in the exit tunnel, the planet's atmosphere.
Image draw_light_layer(const Geometry& g) {
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    for (const auto& [x, y] : g.crystal_glows) {
        glow(cr, x, y, 90, {0.15, 0.75, 1.0}, 0.9);
        glow(cr, x, y, 22, {0.6, 1.0, 1.0}, 0.8);
    }
    for (const auto& [x, ceiling] : g.lamps) {
        cairo_pattern_t* cone = cairo_pattern_create_linear(0, ceiling, 0, ceiling + 170);
        add_stop(cone, 0, {0.55, 0.48, 0.34});
        add_stop(cone, 1, {0, 0, 0});
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
        cairo_move_to(cr, x - 9, ceiling);
        cairo_line_to(cr, x + 9, ceiling);
        cairo_line_to(cr, x + 70, ceiling + 170);
        cairo_line_to(cr, x - 70, ceiling + 170);
        cairo_close_path(cr);
        cairo_set_source(cr, cone);
        cairo_fill(cr);
        cairo_restore(cr);
        cairo_pattern_destroy(cone);
        glow(cr, x, ceiling - 2, 46, {1.0, 0.85, 0.6}, 1.0);
    }
    for (double x = kStationStart + 40; x < kStationEnd - 30; x += 48) {
        glow(cr, x, station_hull(x).floor - 2, 10, {0.3, 0.75, 1.0}, 0.9);
    }
    for (double x : {kStationStart, kStationEnd}) {
        for (double y : {station_hull(x).ceiling + 30, station_hull(x).floor - 30}) {
            glow(cr, x, y, 36, {1.0, 0.2, 0.1}, 1.0);
        }
    }
    glow(cr, 5600, 120, 160, {0.9, 0.95, 1.0}, 0.45);
    glow(cr, 5600, 520, 160, {0.9, 0.95, 1.0}, 0.3);
    for (double x = kStationEnd + 60; x < 8250; x += 40) {
        glow(cr, x, g.ceiling[int(x)] + 3, 9, {0.3, 1.0, 0.45}, 0.9);
        glow(cr, x, g.floor[int(x)] - 3, 9, {0.3, 1.0, 0.45}, 0.9);
    }
    glow(cr, 8400, 290, 320, {0.55, 0.7, 1.0}, 0.25);
    // Atmosphere: a thin bright rim around the planet, strongest on its lit side.
    cairo_pattern_t* rim = cairo_pattern_create_radial(8930, 250, 140, 8930, 250, 172);
    add_stop(rim, 0, {0, 0, 0});
    add_stop(rim, 0.3, {1.0, 0.75, 0.5});
    add_stop(rim, 1, {0, 0, 0});
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source(cr, rim);
    cairo_arc(cr, 8930, 250, 172, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(rim);
    for (const Mast& mast : kMasts) glow(cr, mast.x, mast_tip(mast), 26, {1.0, 0.25, 0.15}, 1.0);
    glow(cr, 8120, 140, 26, {1.0, 0.25, 0.15}, 1.0);
    return canvas.image();
}

}  // namespace

void make_stage(AssetWriter& out) {
    const Geometry geometry = build_geometry();
    const Image back = draw_back_layer();
    const Image solid = draw_solid_layer(geometry);
    const Image light = draw_light_layer(geometry);
    for (int i = 0; i < kSections; ++i) {
        const std::string n = std::to_string(i);
        const int x = i * kSectionWidth;
        out.png("stage_02back" + n + ".png", back.crop(x, 0, kSectionWidth, kHeight),
                PngType::kRgba);
        out.png("stage_02solid" + n + ".png", solid.crop(x, 0, kSectionWidth, kHeight),
                PngType::kRgba);
        out.png("stage_02light" + n + ".png", light.crop(x, 0, kSectionWidth, kHeight),
                PngType::kRgb);
    }
}

}  // namespace assets
