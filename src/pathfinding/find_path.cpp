// The find_path command: parameters from the arguments, one planner per call, the path array.
#include "pathfinding/find_path.h"

#include <algorithm>

#include "kvn/pathfinding.h"

namespace kvn {

namespace {

// Smallest b with 2^b >= n.
int32_t ceil_log2(int64_t n) {
    int32_t bits = 0;
    while ((int64_t{1} << bits) < n) ++bits;
    return bits;
}

template <typename Cell>
int32_t run_find_path(AStarPlanner& planner, const ValueArray<Cell>& map, ValueArray<Cell>& path,
                      double weight, int32_t start_x, int32_t start_y, int32_t goal_x,
                      int32_t goal_y) {
    PlannerParameters parameters;
    parameters.start_x = start_x;
    parameters.start_y = start_y;
    parameters.goal_x = goal_x;
    parameters.goal_y = goal_y;
    parameters.diagonal_factor = true;
    parameters.diagonals_allowed = false;
    parameters.pool_size = 0;
    parameters.open_capacity = 0;
    parameters.width = array_bounds(map, 0);
    parameters.height = array_bounds(map, 1);
    parameters.hash_bits = closed_set_bits(parameters.width, parameters.height);
    parameters.open_lookup = OpenLookup::kCellTable;
    parameters.weight = weight;

    int32_t cells = 0;
    // The planner copies the map first, so path may even be the map itself.
    if (planner.set_up(parameters, map.elements)) {
        planner.prepare();
        planner.search();
        if (const Node* const goal = planner.goal_node()) {
            for (const Node* node = goal; node != nullptr; node = node->parent) ++cells;
            dim_array(path, cells, 2);
            int32_t row = cells - 1;
            for (const Node* node = goal; node != nullptr; node = node->parent, --row) {
                array_element(path, row, 0) = static_cast<Cell>(node->x);
                array_element(path, row, 1) = static_cast<Cell>(node->y);
            }
        }
        planner.release();
    }
    if (cells == 0) dim_array(path, 0, 2);
    return cells;
}

}  // namespace

int32_t closed_set_bits(int32_t width, int32_t height) {
    const int64_t cells = std::max<int64_t>(int64_t{width} * height, 1);
    const int32_t bucket_per_cell = 2 * ceil_log2(std::max(width, height));
    // On long thin maps a bucket per cell would mean many heads per cell; the bound keeps the
    // table within 16 heads per cell and lets chains grow instead.
    const int32_t bound = (ceil_log2(cells) + 1) / 2 * 2 + 2;
    return std::clamp(std::min(bucket_per_cell, bound), 8, NodeHashTable::kMaxBits);
}

int32_t find_path_with(AStarPlanner& planner, const ValueArray<double>& map,
                       ValueArray<double>& path, double weight, int32_t start_x, int32_t start_y,
                       int32_t goal_x, int32_t goal_y) {
    return run_find_path(planner, map, path, weight, start_x, start_y, goal_x, goal_y);
}

int32_t find_path_with(AStarPlanner& planner, const ValueArray<int32_t>& map,
                       ValueArray<int32_t>& path, double weight, int32_t start_x, int32_t start_y,
                       int32_t goal_x, int32_t goal_y) {
    return run_find_path(planner, map, path, weight, start_x, start_y, goal_x, goal_y);
}

int32_t find_path(const ValueArray<double>& map, ValueArray<double>& path, double weight,
                  int32_t start_x, int32_t start_y, int32_t goal_x, int32_t goal_y) {
    AStarPlanner planner;
    return find_path_with(planner, map, path, weight, start_x, start_y, goal_x, goal_y);
}

int32_t find_path(const ValueArray<int32_t>& map, ValueArray<int32_t>& path, double weight,
                  int32_t start_x, int32_t start_y, int32_t goal_x, int32_t goal_y) {
    AStarPlanner planner;
    return find_path_with(planner, map, path, weight, start_x, start_y, goal_x, goal_y);
}

}  // namespace kvn
