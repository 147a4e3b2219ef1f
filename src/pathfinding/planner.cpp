// The search-state reset every planner shares.
#include "pathfinding/planner.h"

namespace kvn {

void Planner::release() {
    open_.clear();
    closed_.clear();
    goal_node_ = nullptr;
}

}  // namespace kvn
