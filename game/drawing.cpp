// The picture of one frame, back to front: stars, stage, ships, shots, effects, light layer,
// HUD; and the frame-rate line.
#include <cmath>

#include "game.h"

using namespace kvn;

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kClearColour = 65793;  // red 1, green 1, blue 1
constexpr int32_t kFlameSlot = 60;
constexpr int32_t kPlayerShotSlot = 100;
constexpr int32_t kExplosionSlot = 70;
constexpr int32_t kSparkSlot = 80;
constexpr int32_t kRankSlot = 800;
constexpr double kGlyphAdvance = 17;

// One of the four engine-flame frames, chosen by the burner phase.
int32_t flame_sprite() {
    return kFlameSlot + to_integer(Burner_Phase * 3);
}

// One additive batch holding an unclipped w x h quad at (x, y), left out past the right edge.
void draw_additive_quad(int32_t slot, double x, double y, double w, double h) {
    start_poly(slot, 0);
    poly_new_strip();
    if (x < Screen_Width) {
        poly_vector(x, y, 0, 0, kWhite);
        poly_vector(x, y + h, 0, h, kWhite);
        poly_vector(x + w, y + h, w, h, kWhite);
        poly_vector(x + w, y, w, 0, kWhite);
    }
    end_poly();
}

// Prints the number so that its text ends at x, assuming 17 pixels per character.
void print_right_aligned(double number, double right, double y) {
    const double n = number_text_length(number);
    print_number(number, right - n * kGlyphAdvance, y);
}

}  // namespace

double Draw_Screen() {
    if (Burner_Phase > 1) Burner_Phase = 0;
    clear_screen(kClearColour);
    if (Stars_On == 1) Draw_Stars();
    if (Last_Section > 0) Draw_Level();

    for (int32_t i = 0; i < array_bounds(Enemies, 0); ++i) {
        const Enemy enemy = array_element(Enemies, i);
        if (!(enemy.x < Screen_Width)) continue;
        // The flame at the enemy's right end, turned to point right.
        set_alpha_mode(1);
        rotate_sprite(flame_sprite(), to_integer(enemy.width + enemy.x - 8),
                      to_integer(enemy.y + 16), 180);
        set_alpha_mode(0);
        Draw_Sprite_Quad(enemy.sprite, enemy.x, enemy.y, enemy.width, enemy.height,
                         enemy.hit_flash != 0 ? 4 : 0);
    }

    // The flame behind the ship grows while it accelerates right.
    set_alpha_mode(1);
    const double e = Velocity_X / Max_Speed * 24;
    stretch_sprite(flame_sprite(), to_integer(Player_X - 24 - e), to_integer(Player_Y + 16),
                   to_integer(e + 32), 32);
    set_alpha_mode(0);

    // Blue when the shield took the hit, red for walls or once the shield is used up.
    double ship_mode = 0;
    if (Hit_Flag != 0) ship_mode = (Shield > 0 && Hit_Flag != 2) ? 5 : 4;
    Draw_Sprite_Quad(Player_Sprite, Player_X, Player_Y, Ship_Width, Ship_Height, ship_mode);

    for (int32_t i = 0; i < array_bounds(Enemy_Shots, 0); ++i) {
        const Shot shot = array_element(Enemy_Shots, i);
        if (shot.x < Screen_Width) {
            Draw_Sprite_Quad(shot.sprite, shot.x, shot.y, shot.width, shot.height, 2);
        }
    }

    set_alpha_mode(1);
    for (int32_t i = 0; i < array_bounds(Player_Shots, 0); ++i) {
        const Shot shot = array_element(Player_Shots, i);
        draw_additive_quad(kPlayerShotSlot, shot.x, shot.y, shot.width, shot.height);
    }
    for (int32_t i = 0; i < array_bounds(Explosions, 0); ++i) {
        const Explosion explosion = array_element(Explosions, i);
        draw_additive_quad(kExplosionSlot + to_integer(explosion.life * 8), explosion.x,
                           explosion.y, 64, 64);
    }
    for (int32_t i = 0; i < array_bounds(Sparks, 0); ++i) {
        const Spark spark = array_element(Sparks, i);
        draw_additive_quad(kSparkSlot + to_integer(spark.life * 4), spark.x, spark.y, 32, 32);
    }
    set_alpha_mode(0);

    Draw_OverLevel();
    Draw_OverlayHub();
    Burner_Phase = Burner_Phase + Burner_Step;
    return 0;
}

double Draw_OverlayHub() {
    const double h = Screen_Height;
    Draw_Sprite_Quad(5, 0, h - 64, 1024, 64, 0);
    Draw_Sprite_Quad(6, 70, h - 56, Shield / 100 * 200, 8, 0);
    Draw_Sprite_Quad(7, 70, h - 38, Armor / 100 * 200, 8, 0);
    Draw_Sprite_Quad(8, 70, h - 19, Energy / 100 * 200, 8, 0);
    print_right_aligned(Score, 674, h - 27);
    print_right_aligned(Stage_Counter, 406, h - 27);
    for (int32_t i = 0; i <= 23; ++i) {
        if (array_element(Rank_Hidden, i) == 0) {
            Draw_Sprite_Quad(kRankSlot + i, 774 + i * 10, h - 26, 10, 20, 0);
        }
    }
    return 0;
}

StringValue Fps_Line() {
    StringValue suffix;
    if (Frameskip_On == 1) suffix = "(Frame skip ON)";
    return "FPS: " + int_to_text(to_integer(Fps_Shown)) + "/" + number_to_text(Target_FPS) +
           suffix;
}

double Draw_FPS() {
    const double dt = frame_time();
    Fps_Average = (1000 / dt + Fps_Average) * 0.5;
    Fps_Time = Fps_Time + dt;
    if (Fps_Time > 1000) {
        Fps_Shown = Fps_Average;
        Fps_Time = 0;
    }
    print_text(Fps_Line(), Screen_Width - 220, 0);
    return 0;
}
