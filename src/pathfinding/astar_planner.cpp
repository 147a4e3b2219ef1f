// The search: neighbours in a fixed order, single-precision costs, FIFO among equal f.
#include "pathfinding/astar_planner.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace kvn {

namespace {

constexpr float kWall = -1.0f;
constexpr float kDiagonalFactor = 1.4142137f;

struct Step {
    int32_t dx;
    int32_t dy;
    bool diagonal;
};

// The order of the neighbour visits decides between paths of equal cost.
constexpr Step kSteps[] = {
    {-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
    {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true},
};

// Positive values are kept between the smallest and the largest float, so a cost is never 0
// or infinite and the normalised costs stay finite.
float positive_cost(double value) {
    constexpr double kSmallest = std::numeric_limits<float>::denorm_min();
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, kSmallest, kLargest));
}

// Writes c / max + 1 for each positive cell, kWall for the rest (NaN included), where c and max
// are single-precision; false when no cell is positive.
template <typename Cell>
bool normalise_costs(const Cell* cells, int32_t count, float* costs) {
    double largest = 0;
    for (int32_t i = 0; i < count; ++i) {
        const double value = static_cast<double>(cells[i]);
        if (value > largest) largest = value;
    }
    if (largest == 0) return false;
    // Rounding keeps order, so this is also the largest of the rounded costs.
    const float largest_cost = positive_cost(largest);
    for (int32_t i = 0; i < count; ++i) {
        const double value = static_cast<double>(cells[i]);
        costs[i] = value > 0 ? positive_cost(value) / largest_cost + 1.0f : kWall;
    }
    return true;
}

// The parameter's size, 0 standing for every cell of the map.
int32_t size_or_cells(int32_t size, int32_t cells) {
    return size == 0 ? cells : size;
}

bool inside(int32_t x, int32_t y, int32_t width, int32_t height) {
    return x >= 0 && y >= 0 && x < width && y < height;
}

// Tables a finished planner left for the next one on this thread.
struct SpareTables {
    PlannerArrays arrays;
    FixedDeque open;
    NodeHashTable closed;
};

thread_local SpareTables spare_tables;

size_t table_bytes(const PlannerArrays& arrays, const FixedDeque& open,
                   const NodeHashTable& closed) {
    return arrays.costs_room * sizeof(float) + arrays.pool_room * sizeof(Node) +
           arrays.cell_nodes_room * sizeof(Node*) + open.bytes() + closed.bytes();
}

}  // namespace

bool AStarPlanner::set_up(const PlannerParameters& parameters, const double* cells) {
    return set_up_from(parameters, cells);
}

bool AStarPlanner::set_up(const PlannerParameters& parameters, const int32_t* cells) {
    return set_up_from(parameters, cells);
}

template <typename Cell>
bool AStarPlanner::set_up_from(const PlannerParameters& p, const Cell* cells) {
    forget_nodes();
    ready_ = false;
    const int64_t cell_count = static_cast<int64_t>(p.width) * p.height;
    if (cells == nullptr || p.width <= 0 || p.height <= 0 || cell_count > kMaxCells) return false;
    if (!inside(p.start_x, p.start_y, p.width, p.height) ||
        !inside(p.goal_x, p.goal_y, p.width, p.height) ||
        (p.start_x == p.goal_x && p.start_y == p.goal_y)) {
        return false;
    }
    const int32_t count = static_cast<int32_t>(cell_count);
    pool_size_ = size_or_cells(p.pool_size, count);
    const int32_t open_capacity = size_or_cells(p.open_capacity, count);
    if (pool_size_ < 1 || open_capacity < 1 || pool_size_ > kMaxCells ||
        open_capacity > kMaxCells) {
        return false;
    }
    if (!arrays_.pool && spare_tables.arrays.pool) {
        arrays_ = std::move(spare_tables.arrays);
        open_ = std::move(spare_tables.open);
        closed_ = std::move(spare_tables.closed);
        spare_tables = SpareTables();
    }
    const size_t cells_size = static_cast<size_t>(count);
    if (!ensure_room(arrays_.costs, arrays_.costs_room, cells_size, false) ||
        !normalise_costs(cells, count, arrays_.costs.get())) {
        return false;
    }
    open_lookup_ = p.open_lookup;
    if (!ensure_room(arrays_.pool, arrays_.pool_room, static_cast<size_t>(pool_size_), false) ||
        !open_.allocate(open_capacity) || !closed_.allocate(p.hash_bits) ||
        (open_lookup_ == OpenLookup::kCellTable &&
         !ensure_room(arrays_.cell_nodes, arrays_.cell_nodes_room, cells_size, true))) {
        return false;
    }
    start_x_ = p.start_x;
    start_y_ = p.start_y;
    goal_x_ = p.goal_x;
    goal_y_ = p.goal_y;
    diagonal_factor_ = p.diagonal_factor;
    diagonals_allowed_ = p.diagonals_allowed;
    // Written so that NaN becomes 0 as well.
    weight_ = static_cast<float>(p.weight > 0 ? std::min(p.weight, 1.0) : 0.0);
    width_ = p.width;
    height_ = p.height;
    goal_node_ = nullptr;
    found_ = false;
    ready_ = true;
    return true;
}

AStarPlanner::~AStarPlanner() {
    forget_nodes();
    const size_t bytes = table_bytes(arrays_, open_, closed_);
    // One spare set is kept, the larger, so that the largest map seen stays cheap.
    if (arrays_.pool && bytes <= kMaxKeptBytes &&
        bytes >= table_bytes(spare_tables.arrays, spare_tables.open, spare_tables.closed)) {
        spare_tables.arrays = std::move(arrays_);
        spare_tables.open = std::move(open_);
        spare_tables.closed = std::move(closed_);
    }
}

void AStarPlanner::forget_nodes() {
    if (open_lookup_ == OpenLookup::kCellTable) {
        for (int32_t i = 0; i < next_free_; ++i) {
            const Node& node = arrays_.pool[i];
            arrays_.cell_nodes[node.x + width_ * node.y] = nullptr;
        }
    }
    closed_.clear_buckets_of(arrays_.pool.get(), next_free_);
    open_.clear();
    next_free_ = 0;
}

void AStarPlanner::release() {
    forget_nodes();
    Planner::release();
}

void AStarPlanner::prepare() {
    // After a failed set-up the open list stays empty, so a search finds nothing.
    if (!ready_) return;
    forget_nodes();
    found_ = false;
    next_ticket_ = 0;
    goal_node_ = nullptr;
    // The start cell is used even when it is a wall.
    Node* const start = &arrays_.pool[next_free_++];
    *start = Node{nullptr, start_x_, start_y_, 0.0f, 0.0f, nullptr, next_ticket_++};
    if (open_lookup_ == OpenLookup::kCellTable) {
        arrays_.cell_nodes[start_x_ + width_ * start_y_] = start;
    }
    open_.push_back(start);
}

void AStarPlanner::search() {
    while (!open_.empty()) {
        Node* const current = open_.back();
        open_.pop_back();
        ++expanded_count_;
        if (current->x == goal_x_ && current->y == goal_y_) {
            closed_.insert(current);
            goal_node_ = current;
            found_ = true;
            return;
        }
        for (const Step& step : kSteps) {
            if (step.diagonal && !diagonals_allowed_) continue;
            const int32_t x = current->x + step.dx;
            const int32_t y = current->y + step.dy;
            if (!inside(x, y, width_, height_)) continue;
            const int32_t cell = x + width_ * y;
            const float cost = arrays_.costs[cell];
            if (cost == kWall) continue;
            const float factor = step.diagonal && diagonal_factor_ ? kDiagonalFactor : 1.0f;
            if (!visit(current, x, y, cell, current->g + cost * factor)) {
                // Only a pool or open list smaller than the map can run out; give up cleanly.
                open_.clear();
                return;
            }
        }
        closed_.insert(current);
    }
}

bool AStarPlanner::visit(Node* current, int32_t x, int32_t y, int32_t cell, float new_g) {
    const float h = static_cast<float>(std::abs(goal_x_ - x) + std::abs(goal_y_ - y));
    const float new_f = new_g + weight_ * (h - new_g);
    if (Node* const closed = closed_.lookup(x, y, false)) {
        if (closed->g <= new_g) return true;
        closed_.lookup(x, y, true);
        closed->parent = current;
        closed->g = new_g;
        closed->f = new_f;
        return insert_open(closed);
    }
    int32_t position = -1;
    if (Node* const open = open_node(x, y, cell, position)) {
        if (open->g <= new_g) return true;
        open_.remove(position >= 0 ? position : locate_open(open));
        open->parent = current;
        open->g = new_g;
        open->f = new_f;
        return insert_open(open);
    }
    if (next_free_ == pool_size_) return false;
    Node* const node = &arrays_.pool[next_free_++];
    *node = Node{current, x, y, new_f, new_g, nullptr, 0};
    if (open_lookup_ == OpenLookup::kCellTable) arrays_.cell_nodes[cell] = node;
    return insert_open(node);
}

bool AStarPlanner::insert_open(Node* node) {
    node->ticket = next_ticket_++;
    return open_.insert(sorted_position(open_, node->f), node);
}

Node* AStarPlanner::open_node(int32_t x, int32_t y, int32_t cell, int32_t& position) const {
    position = -1;
    if (open_lookup_ == OpenLookup::kBackToFrontScan) {
        for (int32_t i = open_.size() - 1; i >= 0; --i) {
            Node* const node = open_.at(i);
            if (node->x == x && node->y == y) {
                position = i;
                return node;
            }
        }
        return nullptr;
    }
    // A cell's node is open unless it is closed (checked before) or being expanded (never a
    // neighbour of itself).
    return arrays_.cell_nodes[cell];
}

int32_t AStarPlanner::locate_open(const Node* node) const {
    int32_t lo = 0;
    int32_t hi = open_.size();
    while (lo < hi) {
        const int32_t mid = (lo + hi) / 2;
        const Node* const other = open_.at(mid);
        if (other->f > node->f || (other->f == node->f && other->ticket > node->ticket)) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

int32_t sorted_position(const FixedDeque& open, float f) {
    // Widen [lo, hi) from the back until the node at lo - 1 sorts before f or lo reaches 0;
    // every node from hi on has f <= the new f.
    int32_t hi = open.size();
    int32_t lo = hi;
    for (int32_t stride = 1; lo > 0; stride *= 2) {
        const int32_t probe = std::max(hi - stride, 0);
        if (open.at(probe)->f > f) {
            lo = probe + 1;
            break;
        }
        hi = probe;
        lo = probe;
    }
    while (lo < hi) {
        const int32_t mid = (lo + hi) / 2;
        if (open.at(mid)->f > f) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

}  // namespace kvn
