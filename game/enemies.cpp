// The enemy types, their arrival, their volleys, and the update of enemies and enemy shots.
#include <cmath>

#include "game.h"

using namespace kvn;

namespace {

constexpr int32_t kFireSound = 21;

// Properties by index (sprite, shot damage, fire interval, speed, shot sprite, volley,
// shot speed, hit points, width, height, score) for types 1, 2 and 3.
constexpr double kEnemyStats[3][11] = {
    {200, 1, 1500, -3, 101, 1, -4, 4, 64, 64, 50},
    {201, 2, 1000, -3, 102, 1, -6, 8, 64, 64, 75},
    {202, 1, 1200, -3, 101, 2, -4, 16, 80, 80, 100},
};

bool sprites_touch(double sprite1, double x1, double y1, double sprite2, double x2, double y2) {
    return sprite_collision(to_integer(sprite1), to_integer(x1), to_integer(y1),
                            to_integer(sprite2), to_integer(x2), to_integer(y2)) == 1;
}

// Enemy shots: move, hit the player (before the off-screen test), or fly out.
void process_enemy_shots() {
    for (int32_t i = 0; i < array_bounds(Enemy_Shots, 0);) {
        Shot& shot = array_element(Enemy_Shots, i);
        shot.x = shot.x + (Scroll_Delta + shot.speed);
        if (sprites_touch(Player_Sprite, Player_X, Player_Y, shot.sprite, shot.x, shot.y)) {
            // The whole damage goes to one bar; the shield may go negative.
            if (Shield > 0) {
                Shield = Shield - shot.damage;
            } else {
                Armor = Armor - shot.damage;
            }
            Hit_Flag = 1;
            Add_Spark(shot.x, shot.y);
            array_delete(Enemy_Shots, i);
            continue;
        }
        if (Shot_Has_Left_Screen(shot)) {
            array_delete(Enemy_Shots, i);
            continue;
        }
        ++i;
    }
}

// Each player shot touching the enemy costs it one hit point and is used up.
void take_player_shots(Enemy& enemy) {
    for (int32_t i = 0; i < array_bounds(Player_Shots, 0);) {
        const Shot shot = array_element(Player_Shots, i);
        if (sprites_touch(shot.sprite, shot.x, shot.y, enemy.sprite, enemy.x, enemy.y)) {
            enemy.hit_points = enemy.hit_points - 1;
            enemy.hit_flash = 1;
            Add_Spark(shot.x, shot.y);
            array_delete(Player_Shots, i);
            continue;
        }
        ++i;
    }
}

}  // namespace

double Enemy_Stat(double type, double index) {
    if (type != 1 && type != 2 && type != 3) return 0;
    if (!(index >= 0 && index <= 10)) return 0;
    return kEnemyStats[to_integer(type) - 1][to_integer(index)];
}

double Spawn_Enemy(double type, double x, double y) {
    Enemy enemy{};
    enemy.x = x;
    enemy.y = y;
    enemy.fire_interval = Enemy_Stat(type, 2);
    enemy.hit_points = Enemy_Stat(type, 7);
    enemy.shot_damage = Enemy_Stat(type, 1);
    enemy.speed = Enemy_Stat(type, 3);
    enemy.sprite = Enemy_Stat(type, 0);
    enemy.volley = Enemy_Stat(type, 5);
    enemy.score = Enemy_Stat(type, 10);
    enemy.next_fire = 0;
    enemy.shot_speed = Enemy_Stat(type, 6);
    enemy.shot_sprite = Enemy_Stat(type, 4);
    enemy.width = Enemy_Stat(type, 8);
    enemy.height = Enemy_Stat(type, 9);
    enemy.hit_flash = 0;
    array_push(Enemies, enemy);
    return 0;
}

double Enemy_Fire(double x, double y, double fire_interval, double next_fire, double volley,
                  double shot_speed, double shot_sprite, double shot_damage, double width,
                  double height) {
    Volley_Counter = 0;
    if (!(elapsed_ms() > next_fire)) return next_fire;
    const double sx = x - width;
    do {
        Volley_Counter = Volley_Counter + 1;
        const double shot_y = std::trunc(Volley_Counter * (height / (volley + 1))) + y - 4;
        array_push(Enemy_Shots, Shot{sx, shot_y, 0, shot_damage, shot_speed, shot_sprite, 32, 8});
        if (Sound_On == 1 && sound_playing(kFireSound) == 0) {
            play_sound(kFireSound, (sx - Screen_Width * 0.5) / Screen_Width, 1);
        }
    } while (Volley_Counter < volley);
    return elapsed_ms() + fire_interval;
}

double Process_Enemy() {
    process_enemy_shots();
    // The enemy is worked on as a copy: a replacement appended to Enemies may move the storage.
    for (int32_t i = 0; i < array_bounds(Enemies, 0);) {
        Enemy enemy = array_element(Enemies, i);
        enemy.hit_flash = 0;
        enemy.x = enemy.x + (Scroll_Delta + enemy.speed);
        if (enemy.x < -enemy.width) {
            // Left on the left: a random one (type 0 included) takes its place.
            const double y = random_int(to_integer(Screen_Height - enemy.height));
            const double type = random_int(3);
            Spawn_Enemy(type, Screen_Width, y);
            array_delete(Enemies, i);
            continue;
        }
        take_player_shots(enemy);
        if (enemy.hit_points < 1) {
            Add_Explosion(enemy.x, enemy.y, 1);
            Spawn_Enemy(1, Screen_Width, random_int(to_integer(Screen_Height - enemy.height)));
            Score = Score + enemy.score;
            array_delete(Enemies, i);
            continue;
        }
        enemy.next_fire = Enemy_Fire(enemy.x, enemy.y, enemy.fire_interval, enemy.next_fire,
                                     enemy.volley, enemy.shot_speed, enemy.shot_sprite,
                                     enemy.shot_damage, enemy.width, enemy.height);
        array_element(Enemies, i) = enemy;
        ++i;
    }
    return 0;
}
