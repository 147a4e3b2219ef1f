// Path finding: the cheapest orthogonal route between two cells of a cost map.
#pragma once

#include <cstdint>

#include "kvn/value.h"

namespace kvn {

// Cells of the route from start to goal over map[x][y] (<= 0 is a wall, higher costs more);
// weight 0 finds the cheapest route, 1 heads straight for the goal. path gets one row (x, y)
// per cell, start first; no route gives 0 and 0 rows.
int32_t find_path(const ValueArray<double>& map, ValueArray<double>& path, double weight,
                  int32_t start_x, int32_t start_y, int32_t goal_x, int32_t goal_y);
// The same search over an integer map, the route written as integers.
int32_t find_path(const ValueArray<int32_t>& map, ValueArray<int32_t>& path, double weight,
                  int32_t start_x, int32_t start_y, int32_t goal_x, int32_t goal_y);

}  // namespace kvn
