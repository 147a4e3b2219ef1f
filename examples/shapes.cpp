// shapes: a starfield of pixels in three depths, lines, rectangles, and polygon strips whose
// vertex colours blend across them. Escape quits.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Shapes";
}

const int32_t kStars = 150;

int32_t rgb(int32_t red, int32_t green, int32_t blue) { return red + 256 * green + 65536 * blue; }

void Game_Main() {
    ValueArray<double> star_x, star_y, star_speed;
    dim_array(star_x, kStars);
    dim_array(star_y, kStars);
    dim_array(star_speed, kStars);
    for (int32_t i = 0; i < kStars; ++i) {
        array_element(star_x, i) = random_int(639);
        array_element(star_y, i) = random_int(479);
        array_element(star_speed, i) = 1 + random_int(2);  // three depths: 1, 2, 3 px a frame
    }

    for (int32_t frame = 0;; ++frame) {
        clear_screen(0);
        for (int32_t i = 0; i < kStars; ++i) {
            double& x = array_element(star_x, i);
            const double speed = array_element(star_speed, i);
            x -= speed;
            if (x < 0) x += 640;
            const int32_t grey = 70 + 60 * int32_t(speed);
            set_pixel(int32_t(x), int32_t(array_element(star_y, i)), rgb(grey, grey, grey));
        }

        // A fan of lines turning about the top-left quarter's centre.
        for (int32_t i = 0; i < 12; ++i) {
            const double angle = frame + i * 30.0;
            draw_line(160, 120, 160 + int32_t(100 * cos_deg(angle)),
                      120 + int32_t(100 * sin_deg(angle)), rgb(255, 40 + i * 18, 0));
        }

        // Rectangles in the top-right quarter, one of them breathing.
        draw_rect(380, 40, 200, 160, rgb(0, 60, 120));
        draw_rect(400, 60, 160, 120, rgb(0, 110, 200));
        const int32_t breath = 30 + int32_t(25 * sin_deg(frame * 4.0));
        draw_rect(480 - breath, 120 - breath / 2, 2 * breath, breath, rgb(255, 255, 255));

        // An untextured strip along the bottom: red on top, blue below, green in the middle.
        start_poly(-1, 2);
        for (int32_t i = 0; i <= 16; ++i) {
            const double x = 40 + i * 35.0;
            const double wave = 20 * sin_deg(frame * 3.0 + i * 22.5);
            poly_vector(x, 300 + wave, 0, 0, i == 8 ? rgb(0, 255, 0) : rgb(255, 0, 0));
            poly_vector(x, 380 + wave, 0, 0, rgb(0, 0, 255));
        }
        end_poly();

        // A triangle fan: a hexagon with a white centre and coloured corners.
        start_poly(-1, 0);
        poly_vector(560, 420, 0, 0, rgb(255, 255, 255));
        for (int32_t corner = 0; corner <= 6; ++corner) {
            const double angle = corner * 60.0 - frame;
            const int32_t colours[] = {rgb(255, 0, 0), rgb(255, 255, 0), rgb(0, 255, 0),
                                       rgb(0, 255, 255), rgb(0, 0, 255), rgb(255, 0, 255)};
            poly_vector(560 + 50 * cos_deg(angle), 420 + 50 * sin_deg(angle), 0, 0,
                        colours[corner % 6]);
        }
        end_poly();

        show_screen();
    }
}
