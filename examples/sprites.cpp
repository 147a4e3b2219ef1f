// sprites: pictures loaded from PNG files, drawn plain, animated, rotated, zoomed, mirrored,
// and in the three alpha modes. Escape quits.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Sprites";
}

const int32_t kShip = 1;
const int32_t kBigShip = 2;
const int32_t kExplosion = 10;  // eight frames in slots 10..17
const int32_t kExplosionFrames = 8;

void Game_Main() {
    set_media_archives("examples.gfx", "");
    load_sprite("ship_001.png", kShip);
    load_sprite("ship_004.png", kBigShip);
    for (int32_t i = 0; i < kExplosionFrames; ++i) {
        load_sprite("explode_0" + int_to_text(i + 1) + ".png", kExplosion + i);
    }

    for (int32_t frame = 0;; ++frame) {
        clear_screen(0x301808);
        // A checkerboard behind the lower row shows what the alpha modes let through.
        for (int32_t y = 300; y < 460; y += 20) {
            for (int32_t x = 0; x < 640; x += 20) {
                draw_rect(x, y, 20, 20, ((x + y) / 20) % 2 ? 0x604020 : 0xA08060);
            }
        }

        set_font(0);
        print_text("plain", 40, 20);
        draw_sprite(kShip, 40, 40);

        // The explosion's frames are drawn on black: added to the picture, the black vanishes.
        print_text("animated", 150, 20);
        set_alpha_mode(1);
        draw_sprite(kExplosion + (frame / 6) % kExplosionFrames, 150, 40);
        set_alpha_mode(0);

        print_text("rotated", 260, 20);
        rotate_sprite(kShip, 260, 40, frame * 2.0);

        print_text("zoomed", 370, 20);
        zoom_sprite(kShip, 370, 40, 1.0 + 0.5 * sin_deg(frame * 3.0), 1.0 + 0.5 * sin_deg(frame * 3.0));

        print_text("mirrored", 480, 20);
        zoom_sprite(kShip, 480, 40, -1.0, 1.0);

        print_text("rotated and zoomed, with smooth filtering off", 40, 150);
        set_smooth_filter(0);
        rotozoom_sprite(kBigShip, 240, 180, -frame * 1.0, 1.5);
        set_smooth_filter(1);

        // Opaque, then blended at half strength, then additive: the glow of an explosion.
        print_text("opaque", 60, 310);
        set_alpha_mode(0);
        zoom_sprite(kBigShip, 60, 340, 1.2, 1.2);
        print_text("blended 50%", 260, 310);
        set_alpha_mode(-0.5);
        zoom_sprite(kBigShip, 260, 340, 1.2, 1.2);
        print_text("additive", 460, 310);
        set_alpha_mode(1);
        zoom_sprite(kExplosion + 3, 460, 340, 1.5, 1.5);
        set_alpha_mode(0);

        show_screen();
    }
}
