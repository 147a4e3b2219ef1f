// Checks of the game's generated pictures and sounds, read back from the packed media archive
// the game opens. Pictures are decoded with libpng and keyed the way sprite loads key them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "files/media_archive.h"
#include "files/media_reader.h"
#include "image/image_decoders.h"

namespace {

constexpr int kPngRgb = 2;
constexpr int kPngRgba = 6;
constexpr uint32_t kKey = 244 + 0 * 256 + 244 * 65536;

// How the game draws a picture, which decides what its pixels must look like.
enum class Use {
    kOpaque,      // drawn without blending, no transparent pixel
    kKeyed,       // RGB whose key-coloured pixels are transparent (the font)
    kSilhouette,  // RGBA with binary alpha, drawn without blending
    kAdditive,    // added to the picture: black or transparent adds nothing
};

struct Expected {
    std::string name;
    int width, height, png_type;
    Use use;
    bool empty_border;  // drawn at fractional positions
};

std::vector<Expected> expected_pictures() {
    std::vector<Expected> files = {
        {"ship_001.png", 64, 64, kPngRgba, Use::kSilhouette, true},
        {"ship_002.png", 64, 64, kPngRgba, Use::kSilhouette, true},
        {"ship_003.png", 64, 64, kPngRgba, Use::kSilhouette, true},
        {"ship_004.png", 80, 80, kPngRgba, Use::kSilhouette, true},
        {"star.png", 16, 16, kPngRgb, Use::kOpaque, false},
        {"blast_001.png", 32, 16, kPngRgba, Use::kAdditive, true},
        {"blast_004.png", 32, 8, kPngRgba, Use::kAdditive, true},
        {"blast_002.png", 32, 8, kPngRgba, Use::kAdditive, true},
        {"overhub.png", 1024, 64, kPngRgb, Use::kOpaque, false},
        {"shieldbar.png", 200, 8, kPngRgb, Use::kOpaque, false},
        {"armorbar.png", 200, 8, kPngRgb, Use::kOpaque, false},
        {"energybar.png", 200, 8, kPngRgb, Use::kOpaque, false},
        {"vdfont.png", 272, 216, kPngRgb, Use::kKeyed, false},
    };
    for (char frame : {'a', 'b', 'c', 'd'}) {
        files.push_back(
            {std::string("burner_01") + frame + ".png", 32, 32, kPngRgb, Use::kAdditive, true});
    }
    for (int i = 1; i <= 8; ++i) {
        files.push_back(
            {"explode_0" + std::to_string(i) + ".png", 64, 64, kPngRgb, Use::kAdditive, true});
    }
    for (int i = 1; i <= 4; ++i) {
        files.push_back(
            {"spark" + std::to_string(i) + ".png", 32, 32, kPngRgb, Use::kAdditive, true});
    }
    for (int slice = 0; slice < 24; ++slice) {
        files.push_back({"rank" + std::to_string(slice / 8) + char('a' + slice % 8) + ".png", 10,
                         20, kPngRgb, Use::kOpaque, false});
    }
    for (int i = 0; i < 9; ++i) {
        const std::string n = std::to_string(i);
        files.push_back(
            {"stage_02back" + n + ".png", 1024, 576, kPngRgba, Use::kSilhouette, false});
        files.push_back(
            {"stage_02solid" + n + ".png", 1024, 576, kPngRgba, Use::kSilhouette, false});
        files.push_back({"stage_02light" + n + ".png", 1024, 576, kPngRgb, Use::kAdditive, false});
    }
    return files;
}

// A decoded picture; RGB pictures are keyed the way sprite and font loads key them.
struct Picture {
    int width = 0, height = 0, png_type = -1, bit_depth = 0;
    std::vector<uint8_t> rgba;

    const uint8_t* at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
    int alpha(int x, int y) const { return at(x, y)[3]; }
    double luminance(int x, int y) const {
        const uint8_t* p = at(x, y);
        return (0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2]) / 255.0;
    }
    double total_light() const {
        double sum = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) sum += luminance(x, y) * alpha(x, y) / 255.0;
        }
        return sum;
    }
};

uint32_t big_endian_u32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Decodes with the runtime's own PNG loader, keyed as the game's sprite loads are.
bool decode(const std::vector<uint8_t>& bytes, Picture* picture) {
    if (bytes.size() < 33 || std::memcmp(&bytes[12], "IHDR", 4) != 0) return false;
    picture->bit_depth = bytes[24];
    picture->png_type = bytes[25];
    kvn::DecodedImage image;
    if (!kvn::decode_png(bytes.data(), bytes.size(), "asset", kKey, 4096, &image)) return false;
    if (big_endian_u32(&bytes[16]) != uint32_t(image.width)) return false;
    picture->width = image.width;
    picture->height = image.height;
    picture->rgba = std::move(image.pixels);
    picture->rgba.resize(size_t(image.width) * image.height * 4);
    return true;
}

// Every entry of the game's media archive, by name.
class AssetArchive : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        entries_ = new std::map<std::string, std::vector<uint8_t>>;
        kvn::MediaReader reader;
        kvn::ArchiveLayout layout;
        if (!reader.open(KVN_ASSET_ARCHIVE) || !kvn::read_archive_layout(reader, &layout) ||
            !kvn::seek_archive_directory(reader, layout)) {
            return;
        }
        std::vector<kvn::ArchiveEntry> directory;
        kvn::ArchiveEntry entry;
        while (kvn::read_archive_entry(reader, &entry)) directory.push_back(entry);
        for (const kvn::ArchiveEntry& e : directory) {
            std::vector<uint8_t> data;
            if (kvn::extract_archive_entry(reader, layout, e, &data)) (*entries_)[e.name] = data;
        }
    }
    static void TearDownTestSuite() { delete entries_; }

    // The decoded picture; fails the test when it is missing or does not decode.
    static Picture picture(const std::string& name) {
        Picture p;
        const auto found = entries_->find(name);
        EXPECT_NE(found, entries_->end()) << name << " is not in the archive";
        if (found != entries_->end()) {
            EXPECT_TRUE(decode(found->second, &p)) << name;
        }
        return p;
    }

    static const std::vector<uint8_t>* bytes(const std::string& name) {
        const auto found = entries_->find(name);
        return found == entries_->end() ? nullptr : &found->second;
    }

    // The 24 rank slices side by side, or the nine sections of one stage layer.
    static Picture strip(const std::vector<std::string>& names) {
        Picture whole;
        std::vector<Picture> parts;
        for (const std::string& name : names) parts.push_back(picture(name));
        whole.height = parts[0].height;
        for (const Picture& p : parts) whole.width += p.width;
        whole.rgba.resize(size_t(whole.width) * whole.height * 4);
        int x0 = 0;
        for (const Picture& p : parts) {
            if (p.height != whole.height) return {};
            for (int y = 0; y < p.height; ++y) {
                std::copy_n(p.at(0, y), size_t(p.width) * 4,
                            &whole.rgba[(size_t(y) * whole.width + x0) * 4]);
            }
            x0 += p.width;
        }
        return whole;
    }

    static std::vector<std::string> stage_layer(const std::string& layer) {
        std::vector<std::string> names;
        for (int i = 0; i < 9; ++i)
            names.push_back("stage_02" + layer + std::to_string(i) + ".png");
        return names;
    }

    static std::map<std::string, std::vector<uint8_t>>* entries_;
};

std::map<std::string, std::vector<uint8_t>>* AssetArchive::entries_ = nullptr;

TEST_F(AssetArchive, EveryPictureHasItsSizeTypeAndAlphaRule) {
    for (const Expected& e : expected_pictures()) {
        SCOPED_TRACE(e.name);
        const Picture p = picture(e.name);
        if (p.width == 0) continue;
        EXPECT_EQ(p.bit_depth, 8);
        EXPECT_EQ(p.png_type, e.png_type);
        EXPECT_EQ(p.width, e.width);
        EXPECT_EQ(p.height, e.height);
        int transparent = 0, partial = 0, magenta = 0, lit_border = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const uint8_t* px = p.at(x, y);
                transparent += px[3] == 0;
                partial += px[3] != 0 && px[3] != 255;
                // The key colour left opaque shows as magenta (RGBA images are never keyed).
                magenta += px[3] != 0 && uint32_t(px[0] + 256 * px[1] + 65536 * px[2]) == kKey;
                const bool border = x == 0 || y == 0 || x == p.width - 1 || y == p.height - 1;
                lit_border += border && px[3] != 0 && (px[0] | px[1] | px[2]) != 0;
            }
        }
        EXPECT_EQ(magenta, 0);
        EXPECT_EQ(partial, 0) << "alpha must be 0 or 255";
        if (e.use == Use::kOpaque) {
            EXPECT_EQ(transparent, 0);
        } else if (e.use == Use::kKeyed || e.use == Use::kSilhouette) {
            EXPECT_GT(transparent, 0);
        }
        if (e.empty_border) {
            EXPECT_EQ(lit_border, 0) << "the outer ring must add nothing";
        }
    }
}

TEST_F(AssetArchive, ShipSilhouettesHaveADarkOutline) {
    for (const char* name : {"ship_001.png", "ship_002.png", "ship_003.png", "ship_004.png"}) {
        SCOPED_TRACE(name);
        const Picture p = picture(name);
        int edge = 0, light_edge = 0, opaque = 0;
        for (int y = 1; y + 1 < p.height; ++y) {
            for (int x = 1; x + 1 < p.width; ++x) {
                if (p.alpha(x, y) == 0) continue;
                ++opaque;
                if (p.alpha(x - 1, y) && p.alpha(x + 1, y) && p.alpha(x, y - 1) &&
                    p.alpha(x, y + 1)) {
                    continue;
                }
                ++edge;
                light_edge += p.luminance(x, y) > 0.2;
            }
        }
        EXPECT_GT(opaque, p.width * p.height / 6) << "a ship, not a speck";
        EXPECT_GT(edge, 0);
        EXPECT_EQ(light_edge, 0);
    }
}

TEST_F(AssetArchive, AnimationsRunInTheOrderTheGameShowsThem) {
    // Explosions are shown from 08 (the young fireball) down to 01 (the last wisps).
    for (int i = 1; i < 8; ++i) {
        const std::string older = "explode_0" + std::to_string(i) + ".png";
        const std::string younger = "explode_0" + std::to_string(i + 1) + ".png";
        EXPECT_LT(picture(older).total_light(), picture(younger).total_light()) << older;
    }
    // Sparks are shown from spark4, the brightest, down.
    for (int i = 1; i < 4; ++i) {
        EXPECT_LT(picture("spark" + std::to_string(i) + ".png").total_light(),
                  picture("spark" + std::to_string(i + 1) + ".png").total_light());
    }
    // Engine flames point left: brightest at the right, where they meet the ship; the
    // frames differ so the flame flickers.
    std::vector<Picture> flames;
    for (char frame : {'a', 'b', 'c', 'd'}) {
        const Picture p = picture(std::string("burner_01") + frame + ".png");
        double left = 0, right = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < 8; ++x) {
                left += p.luminance(x, y);
                right += p.luminance(p.width - 1 - x, y);
            }
        }
        EXPECT_GT(right, 2 * left) << frame;
        EXPECT_GT(right, 0) << frame;
        for (const Picture& other : flames) EXPECT_NE(p.rgba, other.rgba) << frame;
        flames.push_back(p);
    }
}

TEST_F(AssetArchive, StarIsOpaqueWhite) {
    const Picture star = picture("star.png");
    for (size_t i = 0; i < star.rgba.size(); ++i) EXPECT_EQ(star.rgba[i], 255) << i;
}

// Mean absolute difference of all four channels between column a of p and column b of q.
double column_difference(const Picture& p, int a, const Picture& q, int b) {
    double sum = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int c = 0; c < 4; ++c) sum += std::abs(p.at(a, y)[c] - q.at(b, y)[c]);
    }
    return sum / (p.height * 4.0);
}

// A join is seamless when it changes no more than neighbouring columns inside the parts
// change within reach of it (a small tolerance allowed).
void expect_seamless(const Picture& whole, int part_width, int reach, double tolerance) {
    for (int join = part_width; join < whole.width; join += part_width) {
        double inside = 0;
        for (int x = std::max(0, join - reach); x < std::min(whole.width - 1, join + reach); ++x) {
            if ((x + 1) % part_width != 0) {
                inside = std::max(inside, column_difference(whole, x, whole, x + 1));
            }
        }
        EXPECT_LE(column_difference(whole, join - 1, whole, join), inside * 1.25 + tolerance)
            << "join at x " << join;
    }
}

TEST_F(AssetArchive, RankSlicesFormOneSeamlessStrip) {
    std::vector<std::string> names;
    for (int slice = 0; slice < 24; ++slice) {
        names.push_back("rank" + std::to_string(slice / 8) + char('a' + slice % 8) + ".png");
    }
    const Picture whole = strip(names);
    ASSERT_EQ(whole.width, 240);
    expect_seamless(whole, 10, whole.width, 1);
}

TEST_F(AssetArchive, StageLayersJoinWithoutSeams) {
    for (const char* layer : {"back", "solid", "light"}) {
        SCOPED_TRACE(layer);
        const Picture whole = strip(stage_layer(layer));
        ASSERT_EQ(whole.width, 9 * 1024);
        expect_seamless(whole, 1024, 16, 1);
    }
}

TEST_F(AssetArchive, StageLeavesAPassageForTheShipAllTheWay) {
    const Picture solid = strip(stage_layer("solid"));
    ASSERT_EQ(solid.width, 9 * 1024);
    // The ship starts in open rows 250..400 over the first 400 columns.
    for (int x = 0; x < 400; ++x) {
        for (int y = 250; y <= 400; ++y) ASSERT_EQ(solid.alpha(x, y), 0) << x << "," << y;
    }
    // The ship (64 x 64, walls probed 4 pixels out) needs 72 clear rows over 72 columns to
    // move on, and the passage must stay at least 140 rows high above the HUD (row 536).
    const int reach = 72, visible = 536, passage = 140;
    // Wall pixels per row left of each column, so a window is tested in one step.
    const size_t stride = size_t(solid.width) + 1;
    std::vector<int> walls_before(stride * visible, 0);
    for (int y = 0; y < visible; ++y) {
        for (int x = 0; x < solid.width; ++x) {
            walls_before[y * stride + x + 1] =
                walls_before[y * stride + x] + (solid.alpha(x, y) != 0);
        }
    }
    std::vector<uint8_t> clear_rows(visible);
    std::vector<std::pair<int, int>> reachable = {{250, 401}};
    for (int x = 0; x + reach <= solid.width; ++x) {
        for (int y = 0; y < visible; ++y) {
            clear_rows[y] = walls_before[y * stride + x + reach] == walls_before[y * stride + x];
        }
        std::vector<std::pair<int, int>> next;
        int tallest = 0;
        for (int y = 0; y < visible;) {
            if (!clear_rows[y]) {
                ++y;
                continue;
            }
            int end = y;
            while (end < visible && clear_rows[end]) ++end;
            for (const auto& [top, bottom] : reachable) {
                if (std::min(end, bottom) - std::max(y, top) >= reach) {
                    next.push_back({y, end});
                    tallest = std::max(tallest, end - y);
                    break;
                }
            }
            y = end;
        }
        ASSERT_GE(tallest, passage) << "passage at stage x " << x;
        reachable = next;
    }
}

TEST_F(AssetArchive, FontHoldsTheGlyphsTheGameShows) {
    const Picture font = picture("vdfont.png");
    ASSERT_EQ(font.width, 16 * 17);
    ASSERT_EQ(font.height, 8 * 27);  // wider than high: the 128-code grid of 8 rows
    auto cell_pixels = [&](int code, int first_column, int last_column) {
        int count = 0;
        for (int y = 0; y < 27; ++y) {
            for (int x = first_column; x <= last_column; ++x) {
                count += font.alpha((code % 16) * 17 + x, (code / 16) * 27 + y) != 0;
            }
        }
        return count;
    };
    EXPECT_EQ(cell_pixels(' ', 0, 16), 0);
    const std::string shown = "FPS: 0123456789/(Frame skip ON)-.";
    std::string letters;
    for (char c = 'A'; c <= 'Z'; ++c) letters += {c, char(c + 32)};
    for (char c : shown + letters) {
        if (c == ' ') continue;
        EXPECT_GT(cell_pixels(c, 0, 16), 10) << c;
        // Neighbouring glyphs never touch: the first and last column of a cell stay keyed.
        EXPECT_EQ(cell_pixels(c, 0, 0) + cell_pixels(c, 16, 16), 0) << c;
    }
}

TEST_F(AssetArchive, HudPanelLeavesDarkFramedPlaces) {
    const Picture panel = picture("overhub.png");
    auto mean_luminance = [&](int x0, int x1, int y0, int y1) {
        double sum = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) sum += panel.luminance(x, y);
        }
        return sum / ((x1 - x0) * (y1 - y0));
    };
    // The three bars at x 70 on rows 8, 26 and 45; the stage counter ending at 406 and the
    // score at 674, digits on rows 37..63; the rank strip at x 774 on rows 38..57.
    for (int row : {8, 26, 45}) EXPECT_LT(mean_luminance(70, 270, row, row + 8), 0.12) << row;
    EXPECT_LT(mean_luminance(406 - 2 * 17, 406, 37, 63), 0.12);
    EXPECT_LT(mean_luminance(674 - 7 * 17, 674, 37, 63), 0.12);
    EXPECT_LT(mean_luminance(774, 1014, 38, 58), 0.12);
    EXPECT_GT(mean_luminance(0, 1024, 0, 64), mean_luminance(70, 270, 8, 16));
}

uint32_t little_endian(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}

TEST_F(AssetArchive, SoundsAreCleanPcm) {
    for (const char* name : {"blast_a1.wav", "blast_b1.wav", "boom_a1.wav"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t>* wav = bytes(name);
        ASSERT_NE(wav, nullptr);
        const std::vector<uint8_t>& b = *wav;
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(little_endian(b, 4, 4), b.size() - 8);
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");
        bool format_seen = false;
        std::vector<int16_t> samples;
        for (size_t at = 12; at + 8 <= b.size();) {
            const std::string id(b.begin() + at, b.begin() + at + 4);
            const uint32_t size = little_endian(b, at + 4, 4);
            ASSERT_LE(at + 8 + size, b.size()) << id;
            EXPECT_EQ(size % 2, 0u) << id;
            if (id == "fmt ") {
                format_seen = true;
                EXPECT_EQ(little_endian(b, at + 8, 2), 1u);    // PCM
                EXPECT_EQ(little_endian(b, at + 22, 2), 16u);  // bits per sample
                EXPECT_EQ(little_endian(b, at + 10, 2), 1u);   // mono
            } else if (id == "data") {
                for (uint32_t i = 0; i + 1 < size; i += 2) {
                    samples.push_back(int16_t(little_endian(b, at + 8 + i, 2)));
                }
            }
            at += 8 + size;
        }
        EXPECT_TRUE(format_seen);
        ASSERT_GT(samples.size(), 1000u);
        EXPECT_LT(samples.size(), 22050u * 3) << "a short effect";
        // Starts and ends at silence, so playing it does not click.
        EXPECT_LT(std::abs(samples.front()), 64);
        EXPECT_LT(std::abs(samples.back()), 64);
        int loudest = 0;
        for (int16_t s : samples) loudest = std::max(loudest, std::abs(int(s)));
        EXPECT_GT(loudest, 8000) << "audible";
    }
}

}  // namespace
