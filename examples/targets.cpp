// targets: a scene drawn into an off-screen target and shown as a spinning, zoomed picture;
// G grabs a part of the screen into a sprite, S saves the screen as a PNG file. Escape quits.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Targets";
}

const int32_t kKeyG = 34, kKeyS = 31;
const int32_t kShip = 1, kTargetPicture = 2, kGrab = 3;

// The little scene of the target: a sky, a sun and a ship flying a circle.
void draw_scene(int32_t frame) {
    clear_screen(0x603010);
    for (int32_t row = 0; row < 64; ++row) draw_rect(0, 128 + row * 2, 256, 2, 0x200000 + row * 0x020300);
    draw_rect(180, 30, 40, 40, 0x30D0FF);
    draw_sprite(kShip, 96 + int32_t(60 * cos_deg(frame * 3.0)), 96 + int32_t(40 * sin_deg(frame * 3.0)));
    print_text("target 0", 8, 8);
}

void Game_Main() {
    set_media_archives("examples.gfx", "");
    load_sprite("ship_001.png", kShip);
    create_screen(0, kTargetPicture, 256, 256);  // target 0 draws into sprite slot 2
    int32_t grabbed = 0, saved = 0, keys_before = 0;
    StringValue message = "G: grab the middle of the screen   S: save the screen";

    for (int32_t frame = 0;; ++frame) {
        use_screen(0);
        draw_scene(frame);
        use_screen(-1);  // back to the screen

        clear_screen(0x101010);
        set_font(0);
        draw_sprite(kTargetPicture, 20, 40);  // the target as it is
        print_text("the target, drawn plain", 20, 24);
        rotozoom_sprite(kTargetPicture, 340, 60, frame * 0.5, 0.9);  // and spinning
        print_text("the same picture, turned", 370, 24);
        if (grabbed) {
            draw_sprite(kGrab, 20, 330);
            print_text("the grab", 20, 314);
        }
        print_text(message, 20, 460);

        const int32_t keys = key_down(kKeyG) + 2 * key_down(kKeyS);
        if (keys & ~keys_before & 1) {
            grabbed = grab_sprite(kGrab, 220, 160, 200, 120);
            message = "Grabbed 200 x 120 pixels at (220, 160).";
        }
        if (keys & ~keys_before & 2) {
            // save_screen writes the picture last presented.
            const StringValue name = "screen-" + int_to_text(++saved) + ".png";
            message = save_screen(name) ? "Saved " + name + "." : "Could not save " + name + ".";
        }
        keys_before = keys;
        show_screen();
    }
}
