// Sprite drawing: 64 x 64 sprites drawn one by one (draw_sprite, rotozoom_sprite) and as one
// polygon batch into a 1024 x 600 window, against SDL's own renderer (OpenGL back end,
// batching on) drawing the same sprites with SDL_RenderCopy / SDL_RenderCopyEx.
#include <GL/gl.h>
#include <SDL.h>
#include <kvn/kvn.h>

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
constexpr int kSprites = 2000;
constexpr int kFrames = 10;

struct Placement {
    int x, y;
    double angle;
};

int32_t sprite_pixel(int32_t x, int32_t y) {
    const int dx = x - 32, dy = y - 32;
    if (dx * dx + dy * dy > 900) return 0x8000FF;  // the key: transparent
    return (x * 4) | (y * 4) << 8 | 0x80 << 16;
}

// Sprites per second over kFrames frames of kSprites sprites; finish() waits for the GPU.
template <typename Draw, typename Finish>
double sprites_per_second(Draw draw, Finish finish) {
    const double ms = bench::best_ms([&] {
        for (int frame = 0; frame < kFrames; ++frame) draw();
        finish();
    });
    return kSprites * kFrames / (ms / 1000.0);
}

void kvn_finish() {
    uint8_t pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 1024;
    project_settings.screen_height = 600;
    project_settings.frames_per_second = 0;
    project_settings.title = "sprites";
}

void Game_Main() {
    const std::string file = platform::temp_directory() + "bench_sprite.bmp";
    testing_support::write_bmp(file, kSide, kSide, sprite_pixel);
    load_sprite(file.c_str(), 1);

    std::mt19937 random(1);
    std::vector<Placement> placements(kSprites);
    for (Placement& p : placements) {
        p = {int(random() % (1024 - kSide)), int(random() % (600 - kSide)), double(random() % 360)};
    }

    VoruRERarudeve& renderer = *runtime.renderer;
    const auto kvn_current = [&] {
        platform::gl_make_current(renderer.display().window(), renderer.display().gl_context());
    };
    kvn_current();
    const double kvn_draw = sprites_per_second(
        [&] {
            for (const Placement& p : placements) draw_sprite(1, p.x, p.y);
        },
        kvn_finish);
    const double kvn_rotozoom = sprites_per_second(
        [&] {
            for (const Placement& p : placements) rotozoom_sprite(1, p.x, p.y, p.angle, 1.0);
        },
        kvn_finish);
    const double kvn_batch = sprites_per_second(
        [&] {
            start_poly(1, 1);
            for (const Placement& p : placements) {
                const double l = p.x, t = p.y, r = p.x + kSide, b = p.y + kSide;
                poly_vector(l, t, 0, 0, 0xFFFFFF);
                poly_vector(r, t, kSide, 0, 0xFFFFFF);
                poly_vector(l, b, 0, kSide, 0xFFFFFF);
                poly_vector(r, t, kSide, 0, 0xFFFFFF);
                poly_vector(r, b, kSide, kSide, 0xFFFFFF);
                poly_vector(l, b, 0, kSide, 0xFFFFFF);
            }
            end_poly();
        },
        kvn_finish);

    // SDL's renderer on its own window and context, the same pixels with alpha blending.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    // Linear filtering, as the runtime's sprites have.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_Window* window = SDL_CreateWindow("sdl", 0, 0, 1024, 600, SDL_WINDOW_OPENGL);
    SDL_Renderer* sdl = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(sdl, &info);
    std::vector<uint32_t> pixels(kSide * kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int32_t rgb = sprite_pixel(x, y);
            pixels[y * kSide + x] = rgb == 0x8000FF ? 0 : uint32_t(rgb) | 0xFF000000u;
        }
    }
    SDL_Texture* texture =
        SDL_CreateTexture(sdl, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, kSide, kSide);
    SDL_UpdateTexture(texture, nullptr, pixels.data(), kSide * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    const auto sdl_finish = [&] {
        uint32_t pixel = 0;
        SDL_Rect one{0, 0, 1, 1};
        SDL_RenderReadPixels(sdl, &one, SDL_PIXELFORMAT_ABGR8888, &pixel, 4);
    };
    const double sdl_copy = sprites_per_second(
        [&] {
            for (const Placement& p : placements) {
                const SDL_Rect to{p.x, p.y, kSide, kSide};
                SDL_RenderCopy(sdl, texture, nullptr, &to);
            }
        },
        sdl_finish);
    const double sdl_copy_ex = sprites_per_second(
        [&] {
            for (const Placement& p : placements) {
                const SDL_Rect to{p.x, p.y, kSide, kSide};
                SDL_RenderCopyEx(sdl, texture, nullptr, &to, -p.angle, nullptr, SDL_FLIP_NONE);
            }
        },
        sdl_finish);
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(sdl);
    SDL_DestroyWindow(window);
    kvn_current();

    std::printf("%d x %d sprites, %d per frame, 1024 x 600; SDL renderer '%s'\n", kSide, kSide,
                kSprites, info.name);
    std::printf("%-34s %12.0f sprites/s\n", "draw_sprite", kvn_draw);
    std::printf("%-34s %12.0f sprites/s\n", "rotozoom_sprite", kvn_rotozoom);
    std::printf("%-34s %12.0f sprites/s\n", "polygon batch (one draw call)", kvn_batch);
    std::printf("%-34s %12.0f sprites/s\n", "SDL_RenderCopy (batched)", sdl_copy);
    std::printf("%-34s %12.0f sprites/s\n", "SDL_RenderCopyEx (batched)", sdl_copy_ex);
    std::printf("ratio draw_sprite / SDL_RenderCopy:       %.2fx\n", kvn_draw / sdl_copy);
    std::printf("ratio rotozoom_sprite / SDL_RenderCopyEx: %.2fx\n", kvn_rotozoom / sdl_copy_ex);
    std::printf("ratio polygon batch / SDL_RenderCopy:     %.2fx\n", kvn_batch / sdl_copy);
    end_statement();
}
