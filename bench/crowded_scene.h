// The game's crowded scene shared by the benchmarks: every kind of object kept at its count.
#pragma once

#include <kvn/kvn.h>

#include "../game/game.h"

namespace kvn {

constexpr int32_t kEnemies = 40, kShots = 300, kStars = 200, kExplosions = 20, kSparks = 40;

inline double random_between(int32_t low, int32_t high) {
    return low + random_int(high - low);
}

// Brings every kind of object back to its count.
inline void fill_scene() {
    while (array_bounds(Enemies, 0) < kEnemies) {
        Spawn_Enemy(1 + random_int(2), random_between(200, 1000), random_between(0, 470));
    }
    while (array_bounds(Player_Shots, 0) < kShots) {
        array_push(Player_Shots,
                   Shot{random_between(130, 1000), random_between(0, 530), 0, 1, 12, 100, 32, 16});
    }
    while (array_bounds(Stars, 0) < kStars) {
        array_push(Stars,
                   Star{random_between(0, 1023), random_between(0, 599), random_between(50, 200)});
    }
    while (array_bounds(Explosions, 0) < kExplosions) {
        Add_Explosion(random_between(0, 960), random_between(0, 500), 1);
    }
    while (array_bounds(Sparks, 0) < kSparks)
        Add_Spark(random_between(0, 990), random_between(8, 560));
}

}  // namespace kvn
