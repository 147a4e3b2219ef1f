// sprite_collision of two 64 x 64 sprites at random offsets where they always partly overlap,
// with opaque discs sized for about 10 % and 90 % hit rates, against a naive scan of the
// overlap one alpha byte per pixel.
#include <GL/gl.h>
#include <kvn/kvn.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "../tests/support/bmp_writer.h"
#include "best_time.h"
#include "platform/system.h"
#include "platform/window.h"
#include "runtime/runtime_state.h"

using namespace kvn;

namespace {

constexpr int kSide = 64;
constexpr int kTests = 200000;

struct Offset {
    int dx, dy;
};

// Loads a 64 x 64 sprite opaque inside a centred disc of the radius into slots 1 and 2.
void load_discs(int radius) {
    const std::string file = platform::temp_directory() + "bench_disc.bmp";
    testing_support::write_bmp(file, kSide, kSide, [radius](int32_t x, int32_t y) {
        const int dx = 2 * x - 63, dy = 2 * y - 63;
        return dx * dx + dy * dy <= 4 * radius * radius ? 0xFFFFFF : 0x8000FF;
    });
    load_sprite(file.c_str(), 1);
    load_sprite(file.c_str(), 2);
}

// The alpha bytes of a slot's texture, rows in texture order.
std::vector<uint8_t> alpha_plane(int32_t slot) {
    std::vector<uint8_t> alpha(kSide * kSide);
    glBindTexture(GL_TEXTURE_2D, runtime.renderer->sprite(slot).texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    return alpha;
}

// Every overlap pixel in turn, row by row, until both bytes are non-zero.
int naive_collision(const std::vector<uint8_t>& a, int ax, int ay, const std::vector<uint8_t>& b,
                    int bx, int by) {
    const int left = std::max(ax, bx), right = std::min(ax + kSide, bx + kSide);
    const int top = std::max(ay, by), bottom = std::min(ay + kSide, by + kSide);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (a[(kSide - 1 - (y - ay)) * kSide + x - ax] != 0 &&
                b[(kSide - 1 - (y - by)) * kSide + x - bx] != 0) {
                return 1;
            }
        }
    }
    return 0;
}

// Offsets at which the two sprites share at least one row and column.
std::vector<Offset> overlapping_offsets(size_t count) {
    std::mt19937 random(5);
    std::vector<Offset> offsets(count);
    for (Offset& o : offsets) {
        o = {int(random() % (2 * kSide - 1)) - (kSide - 1),
             int(random() % (2 * kSide - 1)) - (kSide - 1)};
    }
    return offsets;
}

double hit_rate(const std::vector<Offset>& offsets) {
    int hits = 0;
    for (const Offset& o : offsets) hits += sprite_collision(1, 0, 0, 2, o.dx, o.dy);
    return double(hits) / offsets.size();
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 320;
    project_settings.screen_height = 200;
    project_settings.frames_per_second = 0;
    project_settings.title = "collision";
}

void Game_Main() {
    const std::vector<Offset> offsets = overlapping_offsets(kTests);
    std::vector<Offset> sample = offsets;
    sample.resize(5000);
    std::printf("sprite_collision, %d tests of two 64 x 64 sprites, always partly overlapping\n",
                kTests);
    for (const double target : {0.10, 0.90}) {
        // The disc radius whose hit rate comes closest to the target.
        int radius = 1;
        double best_error = 2;
        for (int r = 1; r <= 46; ++r) {
            load_discs(r);
            const double error = std::abs(hit_rate(sample) - target);
            if (error < best_error) {
                best_error = error;
                radius = r;
            }
        }
        load_discs(radius);
        const std::vector<uint8_t> a = alpha_plane(1), b = alpha_plane(2);
        int kvn_hits = 0, naive_hits = 0;
        const double kvn_ms = bench::best_ms([&] {
            kvn_hits = 0;
            for (const Offset& o : offsets) kvn_hits += sprite_collision(1, 0, 0, 2, o.dx, o.dy);
        });
        const double naive_ms = bench::best_ms([&] {
            naive_hits = 0;
            for (const Offset& o : offsets) naive_hits += naive_collision(a, 0, 0, b, o.dx, o.dy);
        });
        std::printf(
            "hit rate %5.1f %% (disc radius %2d): sprite_collision %8.2f ms (%6.1f ns/test), "
            "naive scan %8.2f ms (%6.1f ns/test), ratio %.1fx%s\n",
            100.0 * kvn_hits / kTests, radius, kvn_ms, kvn_ms * 1e6 / kTests, naive_ms,
            naive_ms * 1e6 / kTests, naive_ms / kvn_ms,
            kvn_hits == naive_hits ? "" : "  RESULTS DIFFER");
    }
    end_statement();
}
