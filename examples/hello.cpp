// hello: text in the built-in font and in a font loaded from the media archive, a greeting
// that waves across the window, and the frame rate. Escape quits.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Hello";
}

void Game_Main() {
    // Pictures, fonts and sounds not found as plain files are read from this archive.
    set_media_archives("examples.gfx", "");
    set_transparency(0xF400F4);  // the font picture's magenta background is left out
    load_font("vdfont.png", 1);  // 17 x 27 glyphs; font 0 is the built-in 8 x 8 font
    set_font(1);
    int32_t glyph_w = 0, glyph_h = 0;
    get_font_size_int(glyph_w, glyph_h);

    const StringValue greeting = "HELLO, WORLD!";
    for (int32_t frame = 0;; ++frame) {
        clear_screen(0x502810);  // dark blue: red + 256 * green + 65536 * blue

        // A band of colour behind the greeting, one rectangle per row.
        for (int32_t row = 0; row < 120; ++row) {
            const int32_t shade = 40 + row / 2;
            draw_rect(0, 170 + row, 640, 1, shade * 65536 + (shade / 2) * 256);
        }

        // The loaded font, each letter on its own wave.
        set_font(1);
        const int32_t width = greeting.length() * glyph_w;
        for (uint32_t i = 0; i < greeting.length(); ++i) {
            const double wave = 20 * sin_deg(frame * 4.0 + i * 25.0);
            print_text(text_mid(greeting, int32_t(i), 1), (640 - width) / 2 + i * glyph_w,
                       230 - glyph_h / 2 + wave);
        }

        // The built-in font for the small print.
        set_font(0);
        print_text("This line is in the built-in 8 x 8 font.", 20, 20);
        print_text("Frames per second: " + format_number(0, 1, 1000 / frame_time()), 20, 36);
        print_text("Press Escape to quit.", 20, 450);
        show_screen();  // presents the picture, reads input, ends the program on Escape
    }
}
