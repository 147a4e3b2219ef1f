// find_path against a textbook A* (binary heap, flat closed array) on the same maps and pairs.
#include "kvn/pathfinding.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <limits>
#include <queue>
#include <random>
#include <utility>
#include <vector>

#include "kvn/value.h"
#include "pathfinding/astar_planner.h"
#include "pathfinding/find_path.h"

namespace {

using Clock = std::chrono::steady_clock;

// Processor time and wall time of a stretch of work.
class Stopwatch {
  public:
    void stop(double& seconds, double& wall_seconds) const {
        seconds = static_cast<double>(std::clock() - cpu_start_) / CLOCKS_PER_SEC;
        wall_seconds = std::chrono::duration<double>(Clock::now() - wall_start_).count();
    }

  private:
    std::clock_t cpu_start_ = std::clock();
    Clock::time_point wall_start_ = Clock::now();
};

constexpr int32_t kPairs = 100;

struct Pair {
    int32_t start_x;
    int32_t start_y;
    int32_t goal_x;
    int32_t goal_y;
};

struct Totals {
    // Processor time, so that other work on the machine does not count; wall time beside it.
    double seconds = 0;
    double wall_seconds = 0;
    int64_t expanded = 0;
    int32_t routes = 0;
};

// Costs 1..9, walls with the given share.
kvn::ValueArray<double> random_map(int32_t side, double wall_share, std::mt19937& random) {
    kvn::ValueArray<double> map;
    kvn::dim_array(map, side, side);
    std::uniform_real_distribution<double> share(0.0, 1.0);
    std::uniform_int_distribution<int32_t> cost(1, 9);
    for (int32_t i = 0; i < side * side; ++i) {
        map.elements[i] = share(random) < wall_share ? 0.0 : cost(random);
    }
    return map;
}

// Distinct start and goal cells, both passable.
std::vector<Pair> random_pairs(const kvn::ValueArray<double>& map, int32_t side,
                               std::mt19937& random) {
    std::uniform_int_distribution<int32_t> coordinate(0, side - 1);
    std::vector<Pair> pairs;
    while (static_cast<int32_t>(pairs.size()) < kPairs) {
        const Pair pair{coordinate(random), coordinate(random), coordinate(random),
                        coordinate(random)};
        if (map.elements[pair.start_x + side * pair.start_y] <= 0 ||
            map.elements[pair.goal_x + side * pair.goal_y] <= 0 ||
            (pair.start_x == pair.goal_x && pair.start_y == pair.goal_y)) {
            continue;
        }
        pairs.push_back(pair);
    }
    return pairs;
}

Totals run_find_path(const kvn::ValueArray<double>& map, const std::vector<Pair>& pairs,
                     double weight) {
    Totals totals;
    kvn::ValueArray<double> path;
    const Stopwatch stopwatch;
    for (const Pair& pair : pairs) {
        kvn::AStarPlanner planner;
        const int32_t cells = kvn::find_path_with(planner, map, path, weight, pair.start_x,
                                                  pair.start_y, pair.goal_x, pair.goal_y);
        totals.expanded += planner.expanded_count();
        totals.routes += cells > 0;
    }
    stopwatch.stop(totals.seconds, totals.wall_seconds);
    return totals;
}

// The same normalised single-precision costs and f, searched with std::priority_queue and a
// flat closed array; ties broken first in, first out. Set-up per search, as find_path does.
int32_t reference_search(const kvn::ValueArray<double>& map, int32_t side, const Pair& pair,
                         float weight, int64_t& expanded) {
    const int32_t count = side * side;
    std::vector<float> costs(static_cast<size_t>(count));
    float largest = 0;
    for (int32_t i = 0; i < count; ++i) {
        costs[i] = map.elements[i] > 0 ? static_cast<float>(map.elements[i]) : -1.0f;
        largest = std::max(largest, costs[i]);
    }
    for (float& cost : costs) {
        if (cost > 0) cost = cost / largest + 1.0f;
    }
    std::vector<float> best(static_cast<size_t>(count), std::numeric_limits<float>::infinity());
    std::vector<int32_t> parent(static_cast<size_t>(count), -1);
    std::vector<uint8_t> closed(static_cast<size_t>(count), 0);
    struct Entry {
        float f;
        uint32_t order;
        int32_t cell;
        bool operator>(const Entry& other) const {
            return f > other.f || (f == other.f && order > other.order);
        }
    };
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    uint32_t order = 0;
    const int32_t start = pair.start_x + side * pair.start_y;
    const int32_t goal = pair.goal_x + side * pair.goal_y;
    best[start] = 0;
    open.push({0.0f, order++, start});
    while (!open.empty()) {
        const Entry entry = open.top();
        open.pop();
        if (closed[entry.cell]) continue;
        closed[entry.cell] = 1;
        ++expanded;
        if (entry.cell == goal) {
            int32_t cells = 0;
            for (int32_t cell = goal; cell >= 0; cell = parent[cell]) ++cells;
            return cells;
        }
        const int32_t x = entry.cell % side;
        const int32_t y = entry.cell / side;
        const int32_t steps[4][2] = {{0, -1}, {1, 0}, {-1, 0}, {0, 1}};
        for (const auto& step : steps) {
            const int32_t nx = x + step[0];
            const int32_t ny = y + step[1];
            if (nx < 0 || ny < 0 || nx >= side || ny >= side) continue;
            const int32_t next = nx + side * ny;
            if (costs[next] < 0 || closed[next]) continue;
            const float g = best[entry.cell] + costs[next];
            if (g >= best[next]) continue;
            best[next] = g;
            parent[next] = entry.cell;
            const float h =
                static_cast<float>(std::abs(pair.goal_x - nx) + std::abs(pair.goal_y - ny));
            open.push({g + weight * (h - g), order++, next});
        }
    }
    return 0;
}

Totals run_reference(const kvn::ValueArray<double>& map, int32_t side,
                     const std::vector<Pair>& pairs, double weight) {
    Totals totals;
    const Stopwatch stopwatch;
    for (const Pair& pair : pairs) {
        const int32_t cells =
            reference_search(map, side, pair, static_cast<float>(weight), totals.expanded);
        totals.routes += cells > 0;
    }
    stopwatch.stop(totals.seconds, totals.wall_seconds);
    return totals;
}

void report(const char* name, const Totals& totals) {
    std::printf(
        "  %-10s %8.1f searches/s  %6.2f M expanded nodes/s  (%d routes, %.1f s, %.1f s wall)\n",
        name, kPairs / totals.seconds, totals.expanded / totals.seconds / 1e6, totals.routes,
        totals.seconds, totals.wall_seconds);
}

}  // namespace

int main() {
    std::printf("rates per processor second\n");
    std::mt19937 random(20240611);
    for (const int32_t side : {256, 1024}) {
        for (const double walls : {0.20, 0.35}) {
            const kvn::ValueArray<double> map = random_map(side, walls, random);
            const std::vector<Pair> pairs = random_pairs(map, side, random);
            for (const double weight : {0.0, 0.5}) {
                std::printf("%d x %d, %.0f%% walls, weight %.1f, %d pairs\n", side, side,
                            walls * 100, weight, kPairs);
                const Totals ours = run_find_path(map, pairs, weight);
                const Totals reference = run_reference(map, side, pairs, weight);
                report("find_path", ours);
                report("reference", reference);
                std::printf("  ratio      %.2fx the reference's searches/s%s\n",
                            reference.seconds / ours.seconds,
                            ours.routes == reference.routes ? "" : "  (route counts differ!)");
            }
        }
    }
    return 0;
}
