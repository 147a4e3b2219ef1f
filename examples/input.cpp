// input: the keyboard, the mouse and the joysticks shown live: the keys held down, the text
// typed, the pointer with its buttons and wheel, each joystick's axes, hat and buttons.
// Escape quits.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Input";
}

// An axis value -1..1 as a bar growing from the middle of a 100-pixel track.
void axis_bar(const char* name, double value, int32_t x, int32_t y) {
    print_text(name, x, y);
    draw_rect(x + 30, y, 100, 8, 0x404040);
    draw_rect(x + 80, y, int32_t(value * 50), 8, 0x00C0FF);
}

void Game_Main() {
    StringValue typed;
    int32_t wheel_total = 0;
    for (;;) {
        clear_screen(0x201010);
        set_font(0);

        // Keyboard: one cell per scan code, 16 in a row; the held ones light up.
        print_text("Keys held (scan codes):", 20, 16);
        StringValue held;
        for (int32_t code = 0; code < 256; ++code) {
            const int32_t down = key_down(code);
            draw_rect(20 + (code % 16) * 14, 32 + (code / 16) * 10, 12, 8, down ? 0x00FF00 : 0x383838);
            if (down) held += int_to_text(code) + " ";
        }
        print_text(held, 20, 196);

        // Typed characters, the last 36 of them.
        for (int32_t c = inkey_char(); c != 0; c = inkey_char()) typed += text_char(c);
        if (typed.length() > 36) typed = text_mid(typed, int32_t(typed.length()) - 36, -1);
        print_text("Typed: " + typed + "_", 20, 216);

        // Mouse: a cross at the pointer, the buttons as three boxes, the wheel as a count.
        int32_t x = 0, y = 0, left = 0, right = 0;
        mouse_state_int(x, y, left, right);
        wheel_total += mouse_axis(2);
        draw_line(x - 10, y, x + 10, y, 0xFFFFFF);
        draw_line(x, y - 10, x, y + 10, 0xFFFFFF);
        print_text("Mouse " + int_to_text(x) + ", " + int_to_text(y) + "  wheel " +
                       int_to_text(wheel_total), 290, 16);
        draw_rect(290, 32, 30, 20, left ? 0xFF4040 : 0x383838);
        draw_rect(325, 32, 30, 20, mouse_axis(5) ? 0xFF4040 : 0x383838);
        draw_rect(360, 32, 30, 20, right ? 0xFF4040 : 0x383838);

        // Joysticks: axes, the hat as a dot in a box, and 16 buttons.
        const int32_t count = joystick_count();
        if (count == 0) print_text("No joystick connected.", 20, 250);
        for (int32_t j = 0; j < count && j < 2; ++j) {
            const int32_t top = 250 + j * 110;
            print_text(joystick_name(j), 20, top);
            axis_bar("X", joystick_x(j), 20, top + 16);
            axis_bar("Y", joystick_y(j), 20, top + 28);
            axis_bar("Z", joystick_z(j), 20, top + 40);
            axis_bar("RX", joystick_rotation_x(j), 170, top + 16);
            axis_bar("RY", joystick_rotation_y(j), 170, top + 28);
            axis_bar("RZ", joystick_rotation_z(j), 170, top + 40);
            draw_rect(330, top + 16, 36, 36, 0x404040);
            draw_rect(344 + 12 * joystick_pov_x(j), top + 30 + 12 * joystick_pov_y(j), 8, 8,
                      0xFFFF00);
            for (int32_t b = 0; b < 16; ++b) {
                draw_rect(20 + b * 18, top + 60, 14, 14, joystick_button(j, b) ? 0x00FF00 : 0x383838);
            }
        }
        print_text("Escape quits.", 20, 460);
        show_screen();
    }
}
