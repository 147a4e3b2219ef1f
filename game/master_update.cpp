// The simulation step of one frame, and the explosion and spark constructors.
#include "game.h"

using namespace kvn;

namespace {

constexpr int32_t kKeyEscape = 1;
constexpr int32_t kKeyTab = 15;
constexpr int32_t kKeyZ = 44;
constexpr int32_t kKeyUp = 200;
constexpr int32_t kKeyLeft = 203;
constexpr int32_t kKeyRight = 205;
constexpr int32_t kKeyDown = 208;
constexpr int32_t kBoomSound = 30;
constexpr double kEnemyCallDelay = 2000;

// Drifts with the stage and loses `step` of life per frame; gone once the life is used up.
template <typename Effect>
void age_effects(ValueArray<Effect>& effects, double step) {
    for (int32_t i = 0; i < array_bounds(effects, 0);) {
        Effect& effect = array_element(effects, i);
        effect.x = effect.x + Scroll_Delta;
        if (effect.life > 0) effect.life = effect.life - step;
        if (effect.life <= 0) {
            array_delete(effects, i);
            continue;
        }
        ++i;
    }
}

}  // namespace

double Process_Master() {
    if (key_down(kKeyEscape)) {
        Running = 0;
        return 0;
    }
    if (Game_State != 2) return 0;
    if (key_down(kKeyUp)) Steer_Player(1);
    if (key_down(kKeyDown)) Steer_Player(2);
    if (key_down(kKeyRight)) Steer_Player(3);
    if (key_down(kKeyLeft)) Steer_Player(4);
    if (key_down(kKeyZ)) Player_Fire();
    if (key_down(kKeyTab) && elapsed_ms() > Next_Enemy_Time) {
        const double y = random_int(to_integer(Screen_Height - 128));
        const double type = random_int(2) + 1;
        Spawn_Enemy(type, Screen_Width, y);
        Next_Enemy_Time = elapsed_ms() + kEnemyCallDelay;
    }
    if (Game_State != 2) return 0;
    if (Last_Section > 0) Process_Level();
    if (Stars_On == 1) Process_Starfield();
    Process_Player();
    Process_Enemy();
    age_effects(Explosions, 0.075);
    age_effects(Sparks, 0.25);
    return 0;
}

double Add_Explosion(double x, double y, double scale) {
    array_push(Explosions, Explosion{x, y, scale, 1});
    if (Sound_On == 1 && sound_playing(kBoomSound) == 0) {
        play_sound(kBoomSound, (x - Screen_Width * 0.5) / Screen_Width, 1);
    }
    return 0;
}

double Add_Spark(double x, double y) {
    array_push(Sparks, Spark{x, y - 8, 1});
    return 0;
}
