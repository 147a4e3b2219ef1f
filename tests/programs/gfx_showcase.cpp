// A program that draws what the 2D graphics offer in one picture: sprites unscaled, stretched,
// mirrored and turned, animation frames, a polygon batch, primitives in the alpha modes and
// text. It runs $KVN_TEST_FRAMES frames (default: until Escape).
#include <kvn/kvn.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "../support/bmp_writer.h"

using namespace kvn;
using kvn::testing_support::write_bmp;

namespace {

constexpr int32_t kKey = 0x8000FF;

// A 64 x 64 ship: a white hull with a red cockpit on a key-coloured (transparent) field.
int32_t ship(int32_t x, int32_t y) {
    const int32_t dx = x - 32, dy = y - 32;
    if (std::abs(dy) > 28 - x / 3) return kKey;
    if (dx * dx + dy * dy < 60) return 0x2020FF;
    return 0xE0E0E0 - (x / 4) * 0x010101;
}

// Four quadrants: red, green / blue, yellow.
int32_t quadrants(int32_t x, int32_t y) {
    if (y < 16) return x < 16 ? 0x0000FF : 0x00FF00;
    return x < 16 ? 0xFF0000 : 0x00FFFF;
}

// Eight 32 x 32 frames of a ring that fills up from the bottom.
int32_t ring_frames(int32_t x, int32_t y) {
    const int32_t frame = x / 32, dx = x % 32 - 16, dy = y - 16;
    const int32_t r2 = dx * dx + dy * dy;
    if (r2 > 225 || r2 < 64) return kKey;
    return 31 - y < frame * 4 + 4 ? 0x00C0FF : 0x404040;
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 1024;
    project_settings.screen_height = 600;
    project_settings.frames_per_second = 60;
    project_settings.title = "Showcase";
}

void Game_Main() {
    write_bmp("showcase_ship.bmp", 64, 64, ship);
    write_bmp("showcase_quadrants.bmp", 32, 32, quadrants);
    write_bmp("showcase_ring.bmp", 256, 32, ring_frames);
    load_sprite("showcase_ship.bmp", 1);
    load_sprite("showcase_quadrants.bmp", 2);
    load_animation("showcase_ring.bmp", 3, 32, 32);

    const char* frames_text = std::getenv("KVN_TEST_FRAMES");
    const int frame_limit = frames_text ? std::atoi(frames_text) : -1;
    for (int frame = 0; frame_limit < 0 || frame < frame_limit; ++frame) {
        clear_screen(0x301810);

        // Star field: separate quads in one strip batch.
        start_poly(-1, 2);
        for (int star = 0; star < 120; ++star) {
            const double x = (star * 397 + frame * (1 + star % 3)) % 1024;
            const double y = (star * 151) % 600;
            const double size = 1 + star % 3;
            const int32_t colour = star % 5 == 0 ? 0x80FFFF : 0xFFFFFF;
            poly_new_strip();
            poly_vector(x, y, 0, 0, colour);
            poly_vector(x, y + size, 0, 0, colour);
            poly_vector(x + size, y, 0, 0, colour);
            poly_vector(x + size, y + size, 0, 0, colour);
        }
        end_poly();

        print_text("draw_sprite  stretch  zoom -1,1  rotate 30  rotozoom 45 x1.5", 20, 20);
        draw_sprite(1, 20, 40);
        stretch_sprite(1, 110, 40, 128, 64);
        zoom_sprite(1, 270, 40, -1, 1);
        rotate_sprite(1, 370, 40, 30);
        rotozoom_sprite(1, 480, 40, 45, 1.5);

        print_text("quadrants: draw, mirrored, turned 90", 20, 140);
        draw_sprite(2, 20, 160);
        zoom_sprite(2, 70, 160, -1, 1);
        rotate_sprite(2, 120, 160, 90);
        stretch_sprite(2, 170, 160, 96, 32);

        print_text("animation frames 0..7, stretched, turned", 20, 220);
        for (int f = 0; f < 8; ++f) draw_animation(3, f, 20 + f * 36, 240);
        stretch_animation(3, 5, 320, 240, 64, 32);
        rotozoom_animation(3, 7, 400, 240, frame * 3.0, 1.5);

        // A textured batch: the ship as a fan with coloured corners (texel centres at the
        // edges, so the repeating texture does not blend in the opposite edge).
        start_poly(1, 0);
        poly_vector(620, 40, 0.5, 0.5, 0xFFFFFF);
        poly_vector(620, 168, 0.5, 63.5, 0x00FFFF);
        poly_vector(748, 168, 63.5, 63.5, 0xFF00FF);
        poly_vector(748, 40, 63.5, 0.5, 0xFFFFFF);
        end_poly();

        print_text("primitives and alpha modes", 20, 300);
        draw_rect(20, 320, 100, 40, 0x0000C0);
        draw_rect(220, 360, -100, -40, 0x00C000);
        set_alpha_mode(-0.5);
        draw_rect(60, 340, 120, 40, 0xFF8000);
        set_alpha_mode(0.6);
        draw_rect(240, 320, 80, 60, 0x0000FF);
        draw_rect(280, 340, 80, 60, 0x00FF00);
        set_alpha_mode(0);
        for (int i = 0; i < 10; ++i) draw_line(400 + i * 12, 320, 460 + i * 6, 390, 0x00FFFF);
        for (int i = 0; i < 50; ++i) set_pixel(560 + i * 2, 320 + (i * 7) % 60, 0xFFFFFF);

        set_alpha_mode(-0.7);
        for (int i = 0; i < 6; ++i) rotozoom_sprite(1, 700 + i * 50, 300, i * 60.0, 0.8);
        set_alpha_mode(0);

        print_text("The quick brown fox jumps over the lazy dog 0123456789 !?()[]{}<>", 20, 420);
        print_text("Frame:", 20, 440);
        print_number(frame, 80, 440);
        print_number(3.14159, 160, 440);
        int32_t hit = sprite_collision(1, 20, 40, 1, 60, 60);
        print_text(hit ? "collision: yes" : "collision: no", 20, 460);
        show_screen();
    }
}
