// Base of the path planners: the open list, the closed set and the outcome of a search.
#pragma once

#include "pathfinding/fixed_deque.h"
#include "pathfinding/node_hash_table.h"

namespace kvn {

class Planner {
  public:
    Planner() = default;
    Planner(const Planner&) = delete;
    Planner& operator=(const Planner&) = delete;
    virtual ~Planner() = default;

    // Empties the search state and puts the start node on the open list.
    virtual void prepare() = 0;
    // Runs the search; afterwards goal_node() is set when the goal was reached.
    virtual void search() = 0;
    // Empties the open list and the closed set and forgets the goal node.
    virtual void release();

    // The goal's node after a successful search, its parents leading back to the start.
    const Node* goal_node() const { return goal_node_; }
    bool found() const { return found_; }

  protected:
    FixedDeque open_;
    NodeHashTable closed_;
    Node* goal_node_ = nullptr;
    bool found_ = false;
};

}  // namespace kvn
