// The player's ship: steering, motion with friction, edge stops, wall probes, firing and the
// flight of its shots.
#include <cmath>

#include "game.h"

using namespace kvn;

namespace {

constexpr int32_t kSolidSlot = 920;
constexpr int32_t kFireSound = 20;

// Moves along one axis by the velocity, then lets friction take 0.1 of it; below 0.2 it stops.
void move_axis(double& position, double& velocity) {
    double v = velocity;
    if (v != 0) position = position + v;
    if (-0.2 < v && v < 0.2) {
        v = 0;
        velocity = 0;
    }
    if (v > 0) velocity = v - 0.1;
    if (v < 0) velocity = v + 0.1;
}

// True when the sprite at (x, y) overlaps the solid layer of the section.
bool touches_section(double sprite, double x, double y, double section) {
    return sprite_collision(to_integer(sprite), to_integer(x), to_integer(y),
                            to_integer(kSolidSlot + section),
                            to_integer(array_element(Section_X, to_integer(section)) + Level_X),
                            to_integer(Level_Y)) == 1;
}

// The next section is tested before the current one.
bool touches_wall(double sprite, double x, double y) {
    return touches_section(sprite, x, y, Next_Section) ||
           touches_section(sprite, x, y, Current_Section);
}

}  // namespace

double Steer_Player(double direction) {
    if (direction == 0) {
        Velocity_X = 0;
        Velocity_Y = 0;
    } else if (direction == 1) {
        if (Velocity_Y >= -Max_Speed) Velocity_Y = Velocity_Y - 0.25;
    } else if (direction == 2) {
        if (Velocity_Y <= Max_Speed) Velocity_Y = Velocity_Y + 0.25;
    } else if (direction == 3) {
        if (Velocity_X <= Max_Speed * 0.5 && Player_X < Screen_Width - 72) {
            Velocity_X = Velocity_X + 0.375;
        }
    } else if (direction == 4) {
        if (Velocity_X >= Max_Speed * -0.5 && Player_X > 64) Velocity_X = Velocity_X - 0.375;
    }
    return 0;
}

double Level_Hit(double direction) {
    const double k = 2 * Max_Speed;
    double x = Player_X, y = Player_Y;
    if (direction == 0) {
        y = Player_Y - k;
    } else if (direction == 1) {
        y = Player_Y + k;
    } else if (direction == 2) {
        x = Player_X - k;
    } else if (direction == 3) {
        x = Player_X + k;
    }
    return touches_wall(Player_Sprite, x, y) ? 1 : 0;
}

double Player_Fire() {
    if (!(elapsed_ms() > Next_Player_Fire)) return 0;
    const double x = Player_X + Ship_Width;
    double c = 0;
    do {
        c = c + 1;
        const double y = std::trunc(Ship_Height / (Volley_Size + 1) * c) + Player_Y - 8;
        array_push(Player_Shots, Shot{x, y, 0, Shot_Damage, 12, 100, 32, 16});
    } while (c < Volley_Size);
    if (Sound_On == 1 && sound_playing(kFireSound) == 0) {
        play_sound(kFireSound, (x - Screen_Width * 0.5) / Screen_Width, 1);
    }
    Next_Player_Fire = elapsed_ms() + Fire_Delay;
    return 0;
}

double Process_Player() {
    Hit_Flag = 0;
    if (Armor < 0) Running = 0;
    move_axis(Player_X, Velocity_X);
    move_axis(Player_Y, Velocity_Y);

    if (Player_X > Screen_Width - Ship_Width && Velocity_X > 0) Velocity_X = 0;
    if (Player_X < 0 && Velocity_X < 0) Velocity_X = 0;
    if (Player_Y > Screen_Height - Ship_Height && Velocity_Y > 0) Velocity_Y = 0;
    if (Player_Y < 0 && Velocity_Y < 0) Velocity_Y = 0;

    // Each probe pushes the ship back off the wall and costs one armor point.
    if (Level_Hit(0) == 1) {
        Hit_Flag = 2;
        Velocity_Y = Max_Speed;
        Armor = Armor - 1;
    }
    if (Level_Hit(1) == 1) {
        Hit_Flag = 2;
        Velocity_Y = -Max_Speed;
        Armor = Armor - 1;
    }
    if (Level_Hit(2) == 1) {
        Hit_Flag = 2;
        Velocity_X = Max_Speed;
        Armor = Armor - 1;
    }
    if (Level_Hit(3) == 1) {
        Hit_Flag = 2;
        Velocity_X = -Max_Speed;
        Armor = Armor - 1;
    }

    for (int32_t i = 0; i < array_bounds(Player_Shots, 0);) {
        Shot& shot = array_element(Player_Shots, i);
        shot.x = shot.x + (shot.speed + Scroll_Delta);
        if (Shot_Has_Left_Screen(shot)) {
            array_delete(Player_Shots, i);
            continue;
        }
        if (touches_wall(shot.sprite, shot.x, shot.y)) {
            Add_Spark(shot.x, shot.y);
            array_delete(Player_Shots, i);
            continue;
        }
        ++i;
    }
    return 0;
}
