// Weighted A* over a rectangular cost map with a sorted open list and a hashed closed set.
#pragma once

#include <cstdint>

#include "pathfinding/planner.h"

namespace kvn {

// How the open list's node of a cell is found when a cheaper way to the cell turns up. Both
// find the same node (a cell owns at most one), so the paths are the same.
enum class OpenLookup {
    // A per-cell node table and a binary search on (f, ticket): logarithmic.
    kCellTable,
    // A walk from the back of the open list to its front: linear, kept as the plain reference.
    kBackToFrontScan,
};

// Everything a search needs except the map's cells.
struct PlannerParameters {
    int32_t start_x = 0;
    int32_t start_y = 0;
    int32_t goal_x = 0;
    int32_t goal_y = 0;
    // A diagonal step costs the cell's cost times the square root of 2 instead of once.
    bool diagonal_factor = true;
    // The four diagonal neighbours are searched besides the orthogonal ones.
    bool diagonals_allowed = false;
    // 0 means width x height, enough for any search.
    int32_t pool_size = 0;
    int32_t open_capacity = 0;
    // b of the closed set.
    int32_t hash_bits = 8;
    OpenLookup open_lookup = OpenLookup::kCellTable;
    // 0 orders by cost so far, 1 by distance to the goal; limited to 0..1.
    double weight = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Where a node of sort key f goes in the open list: before every node of equal or lower f. The
// search starts at the back, where new nodes mostly land, and ends in a binary search; the
// place is the same as a binary search over the whole list gives.
int32_t sorted_position(const FixedDeque& open, float f);

// The planner's big arrays and the element count each has room for; the node table is all null
// whenever no search uses it.
struct PlannerArrays {
    PlainArray<float> costs;
    size_t costs_room = 0;
    PlainArray<Node> pool;
    size_t pool_room = 0;
    PlainArray<Node*> cell_nodes;
    size_t cell_nodes_room = 0;
};

class AStarPlanner final : public Planner {
  public:
    // Maps of more cells are refused: their tables alone would take gigabytes.
    static constexpr int64_t kMaxCells = int64_t{1} << 24;
    // Tables up to this size outlive the planner and serve the next one on the same thread,
    // which spares it the page faults of fresh memory; larger ones are freed. A 1024 x 1024
    // map needs about 70 MiB.
    static constexpr size_t kMaxKeptBytes = size_t{160} << 20;

    AStarPlanner() = default;
    ~AStarPlanner() override;

    // Takes the parameters and width x height cells (x varies fastest; <= 0 is a wall) and
    // makes every table; false when the search cannot run.
    bool set_up(const PlannerParameters& parameters, const double* cells);
    bool set_up(const PlannerParameters& parameters, const int32_t* cells);

    void prepare() override;
    void search() override;
    void release() override;

    // Nodes taken from the open list since the planner was made.
    int64_t expanded_count() const { return expanded_count_; }

  private:
    template <typename Cell>
    bool set_up_from(const PlannerParameters& parameters, const Cell* cells);
    // Takes the nodes of the last search out of the node table and the closed set and empties
    // the open list, touching only the entries those nodes used.
    void forget_nodes();
    // Offers the cell a way through the current node at cost new_g; false when the pool or
    // the open list ran out.
    bool visit(Node* current, int32_t x, int32_t y, int32_t cell, float new_g);
    // Gives the node the next ticket and puts it before the open nodes of equal or lower f.
    bool insert_open(Node* node);
    // The cell's node in the open list or null; position gets its place when the lookup found
    // it on the way, else -1.
    Node* open_node(int32_t x, int32_t y, int32_t cell, int32_t& position) const;
    // Place of an open node; the list runs by f, then ticket, both descending.
    int32_t locate_open(const Node* node) const;

    int32_t start_x_ = 0;
    int32_t start_y_ = 0;
    int32_t goal_x_ = 0;
    int32_t goal_y_ = 0;
    bool diagonal_factor_ = true;
    bool diagonals_allowed_ = false;
    int32_t pool_size_ = 0;
    OpenLookup open_lookup_ = OpenLookup::kCellTable;
    float weight_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    // costs, the pool, and the node each cell owns for OpenLookup::kCellTable.
    PlannerArrays arrays_;
    int32_t next_free_ = 0;
    uint64_t next_ticket_ = 0;
    int64_t expanded_count_ = 0;
    // Set by a successful set-up; a failed one leaves tables half made.
    bool ready_ = false;
};

}  // namespace kvn
