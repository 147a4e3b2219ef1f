// The fast lookups (a bucket per cell, the per-cell open table) against the plain ones (256
// buckets, a back-to-front walk of the open list): every route must be the same, cell by cell.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "kvn/pathfinding.h"
#include "kvn/value.h"
#include "pathfinding/astar_planner.h"
#include "pathfinding/find_path.h"
#include "pathfinding/path_maps.h"

namespace kvn {
namespace {

using path_test::Cells;
using path_test::random_map;
using path_test::rows_of;

struct Search {
    int32_t start_x;
    int32_t start_y;
    int32_t goal_x;
    int32_t goal_y;
    double weight;
    bool diagonals_allowed;
    bool diagonal_factor;
};

// The route a planner finds, goal first, with the g of every cell.
struct Outcome {
    Cells cells;
    std::vector<float> g;
    int64_t expanded;
};

Outcome plan(const ValueArray<double>& map, const Search& search, int32_t hash_bits,
             OpenLookup lookup) {
    PlannerParameters parameters;
    parameters.start_x = search.start_x;
    parameters.start_y = search.start_y;
    parameters.goal_x = search.goal_x;
    parameters.goal_y = search.goal_y;
    parameters.diagonals_allowed = search.diagonals_allowed;
    parameters.diagonal_factor = search.diagonal_factor;
    parameters.hash_bits = hash_bits;
    parameters.open_lookup = lookup;
    parameters.weight = search.weight;
    parameters.width = array_bounds(map, 0);
    parameters.height = array_bounds(map, 1);
    AStarPlanner planner;
    Outcome outcome;
    if (!planner.set_up(parameters, map.elements)) return outcome;
    planner.prepare();
    planner.search();
    for (const Node* node = planner.goal_node(); node != nullptr; node = node->parent) {
        outcome.cells.emplace_back(node->x, node->y);
        outcome.g.push_back(node->g);
    }
    outcome.expanded = planner.expanded_count();
    return outcome;
}

Search random_search(int32_t width, int32_t height, std::mt19937& random) {
    const double weights[] = {0, 0.25, 0.5, 0.75, 0.9, 1};
    Search search;
    search.start_x = static_cast<int32_t>(random() % width);
    search.start_y = static_cast<int32_t>(random() % height);
    search.goal_x = static_cast<int32_t>(random() % width);
    search.goal_y = static_cast<int32_t>(random() % height);
    search.weight = weights[random() % 6];
    search.diagonals_allowed = random() % 3 == 0;
    search.diagonal_factor = random() % 4 != 0;
    return search;
}

TEST(PlannerEquivalence, FastLookupsGiveThePlainRoutesOnRandomMaps) {
    std::mt19937 random(31337);
    int32_t routes = 0;
    int64_t long_routes = 0;
    for (int round = 0; round < 1500; ++round) {
        // Mostly maps wider than the 16 x 16 cells the plain table tells apart, so its chains
        // hold many cells; walls up to half the map, which makes winding routes and reopening.
        const int32_t width = 1 + static_cast<int32_t>(random() % (round < 1400 ? 60 : 200));
        const int32_t height = 1 + static_cast<int32_t>(random() % (round < 1400 ? 60 : 200));
        const double walls = (random() % 6) * 0.1;
        const ValueArray<double> map = random_map(width, height, walls, random);
        const Search search = random_search(width, height, random);
        const Outcome plain = plan(map, search, 8, OpenLookup::kBackToFrontScan);
        const Outcome fast =
            plan(map, search, closed_set_bits(width, height), OpenLookup::kCellTable);
        ASSERT_EQ(fast.cells, plain.cells) << "round " << round;
        ASSERT_EQ(fast.g, plain.g) << "round " << round;
        ASSERT_EQ(fast.expanded, plain.expanded) << "round " << round;
        if (search.diagonals_allowed) continue;

        // The command itself takes the fast way.
        ValueArray<double> path;
        const int32_t cells = find_path(map, path, search.weight, search.start_x, search.start_y,
                                        search.goal_x, search.goal_y);
        ASSERT_EQ(cells, static_cast<int32_t>(plain.cells.size())) << "round " << round;
        const Cells rows = rows_of(path);
        ASSERT_TRUE(std::equal(rows.begin(), rows.end(), plain.cells.rbegin()))
            << "round " << round;
        if (cells > 0) ++routes;
        if (cells > 40) ++long_routes;
    }
    // The comparison is only worth something when many searches reach their goal.
    EXPECT_GT(routes, 300);
    EXPECT_GT(long_routes, 100);
}

}  // namespace
}  // namespace kvn
