// The find_path command: routes, refusals, the cost optimum and the integer form.
#include "pathfinding/find_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <queue>
#include <random>
#include <vector>

#include "kvn/pathfinding.h"
#include "kvn/value.h"
#include "pathfinding/astar_planner.h"
#include "pathfinding/path_maps.h"

namespace kvn {
namespace {

using path_test::Cells;
using path_test::filled_map;
using path_test::random_map;
using path_test::rows_of;

// The route's cells as a list; the path array must be n x 2 for the returned n.
Cells route(const ValueArray<double>& map, double weight, int32_t start_x, int32_t start_y,
            int32_t goal_x, int32_t goal_y) {
    ValueArray<double> path;
    const int32_t cells = find_path(map, path, weight, start_x, start_y, goal_x, goal_y);
    EXPECT_EQ(array_bounds(path, 0), cells);
    EXPECT_EQ(array_bounds(path, 1), 2);
    return rows_of(path);
}

// Failure text when the cells are not a walk of orthogonal steps over passable cells from
// start to goal; "" when they are.
std::string walk_fault(const ValueArray<double>& map, const Cells& cells, int32_t start_x,
                       int32_t start_y, int32_t goal_x, int32_t goal_y) {
    if (cells.empty()) return "no cells";
    if (cells.front() != std::make_pair(start_x, start_y)) return "does not begin at the start";
    if (cells.back() != std::make_pair(goal_x, goal_y)) return "does not end at the goal";
    for (size_t i = 1; i < cells.size(); ++i) {
        const auto [x, y] = cells[i];
        const int32_t step = std::abs(x - cells[i - 1].first) + std::abs(y - cells[i - 1].second);
        if (step != 1) return "step " + std::to_string(i) + " is not orthogonal";
        if (array_element(map, x, y) <= 0) return "step " + std::to_string(i) + " enters a wall";
    }
    return "";
}

// Normalised entry costs as the search uses them: c / max + 1 in single precision, walls < 0.
std::vector<float> normalised_costs(const ValueArray<double>& map) {
    const int32_t width = array_bounds(map, 0);
    const int32_t height = array_bounds(map, 1);
    float largest = 0;
    for (int32_t i = 0; i < width * height; ++i) {
        largest = std::max(largest, static_cast<float>(map.elements[i]));
    }
    std::vector<float> costs(static_cast<size_t>(width * height), -1.0f);
    for (int32_t i = 0; i < width * height; ++i) {
        if (map.elements[i] > 0) costs[i] = static_cast<float>(map.elements[i]) / largest + 1.0f;
    }
    return costs;
}

double route_cost(const std::vector<float>& costs, int32_t width, const Cells& cells) {
    double total = 0;
    for (size_t i = 1; i < cells.size(); ++i) {
        total += costs[static_cast<size_t>(cells[i].first + width * cells[i].second)];
    }
    return total;
}

// Least cost of any orthogonal walk from start to goal, or infinity.
double dijkstra_cost(const std::vector<float>& costs, int32_t width, int32_t height, int32_t start,
                     int32_t goal) {
    std::vector<double> best(costs.size(), std::numeric_limits<double>::infinity());
    using Entry = std::pair<double, int32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    best[static_cast<size_t>(start)] = 0;
    queue.emplace(0.0, start);
    while (!queue.empty()) {
        const auto [cost, cell] = queue.top();
        queue.pop();
        if (cell == goal) return cost;
        if (cost > best[static_cast<size_t>(cell)]) continue;
        const int32_t x = cell % width;
        const int32_t y = cell / width;
        const int32_t steps[4][2] = {{0, -1}, {1, 0}, {-1, 0}, {0, 1}};
        for (const auto& step : steps) {
            const int32_t nx = x + step[0];
            const int32_t ny = y + step[1];
            if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
            const int32_t next = nx + width * ny;
            if (costs[static_cast<size_t>(next)] < 0) continue;
            const double reached = cost + costs[static_cast<size_t>(next)];
            if (reached < best[static_cast<size_t>(next)]) {
                best[static_cast<size_t>(next)] = reached;
                queue.emplace(reached, next);
            }
        }
    }
    return std::numeric_limits<double>::infinity();
}

TEST(FindPath, SmallOpenMaps) {
    ValueArray<double> strip = filled_map(3, 1, 1);
    EXPECT_EQ(route(strip, 0, 0, 0, 2, 0), (Cells{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(route(strip, 0, 2, 0, 0, 0), (Cells{{2, 0}, {1, 0}, {0, 0}}));

    // Orthogonal steps only, and among the equal-cost routes the one whose cells entered the
    // open list first: the right step before the down step at every tie.
    ValueArray<double> open = filled_map(3, 3, 1);
    EXPECT_EQ(route(open, 0, 0, 0, 2, 2), (Cells{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}}));
    EXPECT_EQ(route(open, 1, 0, 0, 2, 2).size(), 5u);
    EXPECT_EQ(route(open, 0.5, 2, 2, 0, 0).size(), 5u);

    // The start is used even on a wall; the route leaves it at once.
    array_element(open, 0, 0) = 0;
    EXPECT_EQ(route(open, 0, 0, 0, 1, 0), (Cells{{0, 0}, {1, 0}}));
}

TEST(FindPath, RefusalsLeaveAnEmptyPath) {
    ValueArray<double> map = filled_map(4, 4, 1);
    ValueArray<double> path;
    dim_array(path, 9, 2);
    array_element(map, 3, 3) = 0;
    EXPECT_EQ(find_path(map, path, 0, 0, 0, 3, 3), 0);  // goal on a wall
    EXPECT_EQ(array_bounds(path, 0), 0);
    EXPECT_EQ(array_bounds(path, 1), 2);

    EXPECT_EQ(route(map, 0, 1, 1, 1, 1).size(), 0u);   // start is the goal
    EXPECT_EQ(route(map, 0, -1, 0, 1, 1).size(), 0u);  // start outside
    EXPECT_EQ(route(map, 0, 0, 0, 4, 0).size(), 0u);   // goal outside
    EXPECT_EQ(route(map, 0, 0, 0, 0, 4).size(), 0u);
    EXPECT_EQ(route(filled_map(1, 1, 1), 0, 0, 0, 0, 0).size(), 0u);
    EXPECT_EQ(route(filled_map(5, 5, 0), 0, 0, 0, 4, 4).size(), 0u);   // no passable cell
    EXPECT_EQ(route(filled_map(5, 5, -3), 0, 0, 0, 4, 4).size(), 0u);  // negatives are walls

    // A wall across the map: the far side cannot be reached.
    ValueArray<double> split = filled_map(6, 5, 2);
    for (int32_t y = 0; y < 5; ++y) array_element(split, 3, y) = 0;
    EXPECT_EQ(route(split, 0, 0, 0, 5, 4).size(), 0u);
    EXPECT_EQ(route(split, 1, 5, 4, 0, 0).size(), 0u);
    EXPECT_EQ(route(split, 0, 0, 0, 2, 4).size(), 7u);

    // A never-sized map and a one-dimensional one (height 0) are refused, not read.
    ValueArray<double> never_sized;
    EXPECT_EQ(route(never_sized, 0, 0, 0, 1, 0).size(), 0u);
    ValueArray<double> one_row;
    dim_array(one_row, 5);
    EXPECT_EQ(route(one_row, 0, 0, 0, 4, 0).size(), 0u);
}

TEST(FindPath, CostsAndWeights) {
    // Costs are normalised into (1, 2]: five cells of 100 (2 each) straight ahead are dearer
    // than a detour of eight cells of 1 (1.01 each).
    ValueArray<double> map = filled_map(7, 3, 1);
    for (int32_t x = 1; x <= 5; ++x) array_element(map, x, 0) = 100;
    EXPECT_EQ(route(map, 0, 0, 0, 6, 0),
              (Cells{{0, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {6, 0}}));
    // Weight 1 heads for the goal whatever the cost.
    EXPECT_EQ(route(map, 1, 0, 0, 6, 0).size(), 7u);
    // Weights outside 0..1 count as the nearest end; NaN as 0.
    EXPECT_EQ(route(map, -1, 0, 0, 6, 0), route(map, 0, 0, 0, 6, 0));
    EXPECT_EQ(route(map, 5, 0, 0, 6, 0), route(map, 1, 0, 0, 6, 0));
    EXPECT_EQ(route(map, std::nan(""), 0, 0, 6, 0), route(map, 0, 0, 0, 6, 0));
    // Only the ratio to the largest cost matters.
    ValueArray<double> scaled = map;
    for (int32_t i = 0; i < 21; ++i) scaled.elements[i] *= 1000;
    EXPECT_EQ(route(scaled, 0, 0, 0, 6, 0), route(map, 0, 0, 0, 6, 0));
    // Absurd cell values stay usable costs: infinity is the dearest cell, NaN a wall.
    ValueArray<double> absurd = filled_map(3, 2, 1e-300);
    array_element(absurd, 1, 0) = std::numeric_limits<double>::infinity();
    array_element(absurd, 1, 1) = std::nan("");
    EXPECT_EQ(route(absurd, 0, 0, 0, 2, 0), (Cells{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(route(absurd, 0, 0, 1, 2, 1), (Cells{{0, 1}, {0, 0}, {1, 0}, {2, 0}, {2, 1}}));
}

TEST(FindPath, WeightZeroFindsTheLeastCostOnRandomMaps) {
    std::mt19937 random(2024);
    int32_t routes = 0;
    for (int round = 0; round < 150; ++round) {
        const int32_t width = 2 + static_cast<int32_t>(random() % 40);
        const int32_t height = 1 + static_cast<int32_t>(random() % 40);
        const ValueArray<double> map = random_map(width, height, 0.25, random);
        const int32_t start_x = static_cast<int32_t>(random() % width);
        const int32_t start_y = static_cast<int32_t>(random() % height);
        const int32_t goal_x = static_cast<int32_t>(random() % width);
        const int32_t goal_y = static_cast<int32_t>(random() % height);
        if (start_x == goal_x && start_y == goal_y) continue;
        const std::vector<float> costs = normalised_costs(map);
        const double optimum =
            dijkstra_cost(costs, width, height, start_x + width * start_y, goal_x + width * goal_y);
        const Cells cells = route(map, 0, start_x, start_y, goal_x, goal_y);
        if (std::isinf(optimum)) {
            EXPECT_TRUE(cells.empty()) << "round " << round;
            continue;
        }
        ++routes;
        ASSERT_EQ(walk_fault(map, cells, start_x, start_y, goal_x, goal_y), "")
            << "round " << round;
        EXPECT_NEAR(route_cost(costs, width, cells), optimum, optimum * 1e-5) << "round " << round;
    }
    EXPECT_GT(routes, 60);
}

TEST(FindPath, MazesAndLargeMaps) {
    // A serpentine: walls on every odd row with a single gap at alternating ends, so the only
    // route sweeps every even row end to end.
    constexpr int32_t kSide = 31;
    ValueArray<double> maze = filled_map(kSide, kSide, 1);
    for (int32_t y = 1; y < kSide; y += 2) {
        for (int32_t x = 0; x < kSide; ++x) array_element(maze, x, y) = 0;
        array_element(maze, (y / 2) % 2 == 0 ? kSide - 1 : 0, y) = 1;
    }
    const Cells winding = route(maze, 0.5, 0, 0, 0, kSide - 1);
    EXPECT_EQ(winding.size(), static_cast<size_t>(16 * kSide + 15));
    EXPECT_EQ(walk_fault(maze, winding, 0, 0, 0, kSide - 1), "");
    EXPECT_EQ(route(maze, 1, 0, 0, 0, kSide - 1), winding);

    // Corner to corner of an open 1024 x 1024 map takes 2047 cells.
    constexpr int32_t kLarge = 1024;
    ValueArray<double> open = filled_map(kLarge, kLarge, 1);
    EXPECT_EQ(route(open, 0.5, 0, 0, kLarge - 1, kLarge - 1).size(), 2u * kLarge - 1);
    const Cells cheapest = route(open, 0, kLarge - 1, 0, 0, kLarge - 1);
    EXPECT_EQ(cheapest.size(), 2u * kLarge - 1);
    EXPECT_EQ(walk_fault(open, cheapest, kLarge - 1, 0, 0, kLarge - 1), "");

    // A random 1024 x 1024 map of mixed costs, checked against the optimum.
    std::mt19937 random(77);
    const ValueArray<double> mixed = random_map(kLarge, kLarge, 0.2, random);
    ValueArray<double> ends = mixed;
    array_element(ends, 3, 5) = 1;
    array_element(ends, 1000, 1010) = 1;
    const Cells far = route(ends, 0, 3, 5, 1000, 1010);
    ASSERT_EQ(walk_fault(ends, far, 3, 5, 1000, 1010), "");
    const std::vector<float> costs = normalised_costs(ends);
    EXPECT_NEAR(route_cost(costs, kLarge, far),
                dijkstra_cost(costs, kLarge, kLarge, 3 + kLarge * 5, 1000 + kLarge * 1010), 1e-2);
}

TEST(FindPath, IntegerFormMatchesTheNumberForm) {
    std::mt19937 random(99);
    for (int round = 0; round < 40; ++round) {
        const ValueArray<double> numbers = random_map(30, 20, 0.3, random);
        ValueArray<int32_t> integers;
        dim_array(integers, 30, 20);
        for (int32_t i = 0; i < 600; ++i) {
            integers.elements[i] = static_cast<int32_t>(numbers.elements[i]);
        }
        const int32_t sx = static_cast<int32_t>(random() % 30);
        const int32_t gx = static_cast<int32_t>(random() % 30);
        ValueArray<double> number_path;
        ValueArray<int32_t> integer_path;
        const double weight = (round % 3) * 0.5;
        const int32_t cells = find_path(numbers, number_path, weight, sx, 0, gx, 19);
        EXPECT_EQ(find_path(integers, integer_path, weight, sx, 0, gx, 19), cells);
        EXPECT_EQ(rows_of(integer_path), rows_of(number_path));
        EXPECT_EQ(array_bounds(integer_path, 0), cells);
        EXPECT_EQ(array_bounds(integer_path, 1), 2);
    }
    // The map may receive its own path: it is read before the path is written.
    ValueArray<double> map = filled_map(3, 1, 1);
    EXPECT_EQ(find_path(map, map, 0, 0, 0, 2, 0), 3);
    EXPECT_EQ(rows_of(map), (Cells{{0, 0}, {1, 0}, {2, 0}}));
}

TEST(AStarPlanner, RefusesAbsurdSetUpsAndSurvivesShortTables) {
    const std::vector<double> cells(64, 1.0);
    PlannerParameters parameters;
    parameters.goal_x = 1;
    AStarPlanner planner;
    // Sizes whose product overflows 32 bits or exceeds the cell limit are refused before the
    // cells are read.
    for (const auto& [width, height] : {std::pair{46341, 46341}, std::pair{INT32_MAX, 2},
                                        std::pair{1 << 13, 1 << 12}, std::pair{0, 8}}) {
        parameters.width = width;
        parameters.height = height;
        EXPECT_FALSE(planner.set_up(parameters, cells.data())) << width << " x " << height;
    }
    parameters.width = 8;
    parameters.height = 8;
    EXPECT_FALSE(planner.set_up(parameters, static_cast<const double*>(nullptr)));
    parameters.pool_size = -1;
    EXPECT_FALSE(planner.set_up(parameters, cells.data()));
    // Searching after a refused set-up finds nothing and touches no table.
    planner.prepare();
    planner.search();
    EXPECT_FALSE(planner.found());

    // A pool or open list smaller than the map ends the search without a route.
    parameters.goal_x = 7;
    parameters.goal_y = 7;
    for (const auto& [pool, open] : {std::pair{5, 0}, std::pair{0, 2}}) {
        parameters.pool_size = pool;
        parameters.open_capacity = open;
        ASSERT_TRUE(planner.set_up(parameters, cells.data()));
        planner.prepare();
        planner.search();
        EXPECT_FALSE(planner.found());
        EXPECT_EQ(planner.goal_node(), nullptr);
    }

    // Diagonal steps, when a planner allows them, cut the corner.
    parameters.pool_size = 0;
    parameters.open_capacity = 0;
    parameters.diagonals_allowed = true;
    parameters.goal_x = 2;
    parameters.goal_y = 2;
    ASSERT_TRUE(planner.set_up(parameters, cells.data()));
    const int64_t expanded_before = planner.expanded_count();
    planner.prepare();
    planner.search();
    ASSERT_TRUE(planner.found());
    EXPECT_EQ(planner.goal_node()->g, 2 * 2.0f * 1.4142137f);
    EXPECT_EQ(planner.goal_node()->parent->parent->parent, nullptr);
    // A second search on the same planner starts afresh and finds the same route.
    const int64_t expanded = planner.expanded_count();
    planner.prepare();
    planner.search();
    ASSERT_TRUE(planner.found());
    EXPECT_EQ(planner.expanded_count() - expanded, expanded - expanded_before);
    EXPECT_EQ(planner.goal_node()->parent->x, 1);
    EXPECT_EQ(planner.goal_node()->parent->y, 1);
}

}  // namespace
}  // namespace kvn
