// The game's crowded scene shared by the benchmarks: every kind of object kept at its count.
#pragma once

#include <kvn/kvn.h>

#include "../game/game.h"

namespace kvn {

// How many objects of each kind a scene keeps.
struct SceneCounts {
    int32_t enemies, shots, stars, explosions, sparks;
};
// The crowded scene, and a scene as a player sees it most of the time.
constexpr SceneCounts kCrowded{40, 300, 200, 20, 40};
constexpr SceneCounts kPlayed{3, 12, 40, 1, 2};
constexpr int32_t kEnemies = kCrowded.enemies, kShots = kCrowded.shots, kStars = kCrowded.stars,
                  kExplosions = kCrowded.explosions, kSparks = kCrowded.sparks;

inline double random_between(int32_t low, int32_t high) {
    return low + random_int(high - low);
}

// Brings every kind of object back to its count.
inline void fill_scene(const SceneCounts& counts = kCrowded) {
    while (array_bounds(Enemies, 0) < counts.enemies) {
        Spawn_Enemy(1 + random_int(2), random_between(200, 1000), random_between(0, 470));
    }
    while (array_bounds(Player_Shots, 0) < counts.shots) {
        array_push(Player_Shots,
                   Shot{random_between(130, 1000), random_between(0, 530), 0, 1, 12, 100, 32, 16});
    }
    while (array_bounds(Stars, 0) < counts.stars) {
        array_push(Stars,
                   Star{random_between(0, 1023), random_between(0, 599), random_between(50, 200)});
    }
    while (array_bounds(Explosions, 0) < counts.explosions) {
        Add_Explosion(random_between(0, 960), random_between(0, 500), 1);
    }
    while (array_bounds(Sparks, 0) < counts.sparks)
        Add_Spark(random_between(0, 990), random_between(8, 560));
}

}  // namespace kvn
