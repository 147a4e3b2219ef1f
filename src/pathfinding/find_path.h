// The find_path command on a planner the caller keeps, so its counters can be read afterwards.
#pragma once

#include <cstdint>

#include "kvn/value.h"
#include "pathfinding/astar_planner.h"

namespace kvn {

// Closed-set bits that give each cell of a map its own bucket, within a memory bound.
int32_t closed_set_bits(int32_t width, int32_t height);

// find_path run on the given, fresh planner.
int32_t find_path_with(AStarPlanner& planner, const ValueArray<double>& map,
                       ValueArray<double>& path, double weight, int32_t start_x, int32_t start_y,
                       int32_t goal_x, int32_t goal_y);
int32_t find_path_with(AStarPlanner& planner, const ValueArray<int32_t>& map,
                       ValueArray<int32_t>& path, double weight, int32_t start_x, int32_t start_y,
                       int32_t goal_x, int32_t goal_y);

}  // namespace kvn
