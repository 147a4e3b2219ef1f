// The stage sections (set-up, loading, scrolling, drawing), the starfield, and the clipped,
// tinted quad every screen sprite is drawn with.
#include <cmath>

#include "game.h"

using namespace kvn;

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRedTint = 255;
constexpr int32_t kBlueTint = 16711680;
constexpr double kSectionWidth = 1024;
constexpr double kSectionHeight = 576;
constexpr int32_t kBackSlot = 910;
constexpr int32_t kSolidSlot = 920;
constexpr int32_t kLightSlot = 890;
constexpr int32_t kStarSlot = 90;
constexpr int32_t kPolyFan = 0;
constexpr int32_t kPolyTriangles = 1;

// Screen x of a section's left edge.
double section_left(double section) {
    return std::trunc(array_element(Section_X, to_integer(section)) + Level_X);
}

// Back and solid layers of one section.
void draw_section_layers(double section) {
    const double x = section_left(section);
    Draw_Sprite_Quad(kBackSlot + section, x, Level_Y, kSectionWidth, kSectionHeight, 0);
    Draw_Sprite_Quad(kSolidSlot + section, x, Level_Y, kSectionWidth, kSectionHeight, 0);
}

void draw_section_light(double section) {
    Draw_Sprite_Quad(kLightSlot + section, section_left(section), Level_Y, kSectionWidth,
                     kSectionHeight, 1);
}

}  // namespace

double Draw_Sprite_Quad(double sprite, double x, double y, double width, double height,
                        double mode) {
    int32_t top_left = kWhite, bottom_left = kWhite, bottom_right = kWhite, top_right = kWhite;
    if (mode == 1) {
        set_alpha_mode(0.375);
    } else if (mode == 2) {
        set_alpha_mode(1);
    } else if (mode == 3) {
        top_right = bottom_right = 0;
    } else if (mode == 4) {
        top_left = bottom_left = bottom_right = top_right = kRedTint;
    } else if (mode == 5) {
        top_left = bottom_left = bottom_right = top_right = kBlueTint;
    }

    double draw_x = x, draw_y = y, draw_width = width, draw_height = height;
    double left = 0, top = 0, right = width, bottom = height;
    if (x < 0) {
        draw_x = 0;
        left = -x;
        draw_width = width + x;
    } else if (x + width > Screen_Width) {
        draw_width = right = Screen_Width - x;
    }
    if (y < 0) {
        draw_y = 0;
        top = -y;
        draw_height = height + y;
    } else if (y + height > Screen_Height) {
        draw_height = bottom = Screen_Height - y;
    }

    start_poly(to_integer(sprite), kPolyFan);
    poly_new_strip();
    poly_vector(draw_x, draw_y, left, top, top_left);
    poly_vector(draw_x, draw_y + draw_height, left, bottom, bottom_left);
    poly_vector(draw_x + draw_width, draw_y + draw_height, right, bottom, bottom_right);
    poly_vector(draw_x + draw_width, draw_y, right, top, top_right);
    end_poly();
    set_alpha_mode(0);
    return 0;
}

double Game_StartNEW() {
    Score = 0;
    Stage_Counter = 1;
    Player_X = 64;
    Player_Y = Screen_Height * 0.5;
    Level_X = 256;
    Level_Y = 0;
    Player_Sprite = 50;
    Last_Section = 8;
    for (int32_t i = 0; i <= 8; ++i) {
        const StringValue digit = int_to_text(i);
        array_element(Stage_Files, i, 0) = "stage_02back" + digit + ".png";
        array_element(Stage_Files, i, 1) = "stage_02solid" + digit + ".png";
        array_element(Stage_Files, i, 2) = "stage_02light" + digit + ".png";
    }
    Load_LevelMap();
    return 0;
}

double Load_LevelMap() {
    for (double i = 0; i <= Last_Section; i = i + 1) {
        const int32_t section = to_integer(i);
        load_sprite(array_element(Stage_Files, section, 0), kBackSlot + section);
        load_sprite(array_element(Stage_Files, section, 1), kSolidSlot + section);
        load_sprite(array_element(Stage_Files, section, 2), kLightSlot + section);
        draw_rect(0, 400, to_integer(i / Last_Section * Screen_Width), 500, kWhite);
        show_screen();
    }
    return 0;
}

double Process_Level() {
    if (Velocity_X < 0) {
        Scroll_Delta = 0.5 * Velocity_X + 0.5 * Scroll_Speed;
    } else {
        Scroll_Delta = -Scroll_Speed - Velocity_X;
    }
    Level_X = Level_X + Scroll_Delta;
    if (Last_Section > Current_Section) {
        if (array_element(Section_X, to_integer(Next_Section)) + Level_X < 0) {
            Current_Section = Current_Section + 1;
            Next_Section = Next_Section + 1;
        } else if (array_element(Section_X, to_integer(Current_Section)) + Level_X > 0 &&
                   Current_Section > 0) {
            Current_Section = Current_Section - 1;
            Next_Section = Next_Section - 1;
        }
    }
    return 0;
}

double Draw_Level() {
    draw_section_layers(Current_Section);
    if (Last_Section > Current_Section) draw_section_layers(Next_Section);
    return 0;
}

double Draw_OverLevel() {
    draw_section_light(Current_Section);
    if (Last_Section > Current_Section) draw_section_light(Next_Section);
    return 0;
}

double Init_Stars() {
    for (double i = 0; i <= Star_Count; i = i + 1) {
        const double x = random_int(to_integer(Screen_Width)) + 20;
        const double y = random_int(to_integer(Screen_Height - 20)) + 10;
        const double z = random_int(150) + 50;  // drawn after x and y: the order decides
        array_push(Stars, Star{x, y, z});
    }
    return 0;
}

double Process_Starfield() {
    if (Star_Count > 0 && random_int(2) == 1) {
        const double x = random_int(100) + Screen_Width;
        const double y = random_int(to_integer(Screen_Height));
        const double z = random_int(150) + 50;  // drawn after x and y: the order decides
        array_push(Stars, Star{x, y, z});
    }
    for (int32_t i = 0; i < array_bounds(Stars, 0);) {
        Star& star = array_element(Stars, i);
        star.x = star.x - (star.z / 400 * 20 + Velocity_X);
        if (star.x < 0) {
            array_delete(Stars, i);
            continue;
        }
        ++i;
    }
    return 0;
}

double Draw_Stars() {
    start_poly(kStarSlot, kPolyTriangles);
    for (int32_t i = 0; i < array_bounds(Stars, 0); ++i) {
        const Star star = array_element(Stars, i);
        poly_new_strip();
        const int32_t shade = to_integer(star.z) % 256;
        const int32_t blue = to_integer(star.z + 55) % 256;
        const int32_t colour = shade + shade * 256 + blue * 65536;
        const double size = Star_Size;
        poly_vector(star.x, star.y, 0, 0, colour);
        poly_vector(star.x + size, star.y, 2, 0, colour);
        poly_vector(star.x + size, star.y + size, 2, 2, colour);
        poly_vector(star.x, star.y + size, 0, 2, colour);
    }
    end_poly();
    return 0;
}
