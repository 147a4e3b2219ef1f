// The planner's closed set: nodes chained in buckets picked by the low bits of their cell.
#pragma once

#include <cstdint>

#include "pathfinding/node.h"

namespace kvn {

// 2^b buckets; a cell (x, y) falls in bucket (x AND m) OR ((y AND m) << b/2), m = 2^(b/2) - 1,
// so a map no wider and no higher than 2^(b/2) cells never shares a bucket between two cells.
class NodeHashTable {
  public:
    static constexpr int32_t kMaxBits = 24;

    // Empty buckets for b = bits limited to 0..24 and rounded down to even, in the old array
    // when it is large enough; false when the memory is not there.
    bool allocate(int32_t bits);

    int32_t bits() const { return bits_; }
    // Bytes the bucket array takes, which may hold more buckets than bits asks for.
    size_t bytes() const { return room_ * sizeof(Node*); }
    // Nodes currently held.
    int32_t size() const { return size_; }
    uint32_t bucket_of(int32_t x, int32_t y) const {
        return (static_cast<uint32_t>(x) & mask_) | ((static_cast<uint32_t>(y) & mask_) << half_);
    }

    // Puts the node at the head of its bucket; a node already there is left alone.
    void insert(Node* node);
    // The node of cell (x, y) or null; with remove set, the node found leaves the table.
    Node* lookup(int32_t x, int32_t y, bool remove);
    // Empties every bucket.
    void clear();
    // Empties the table by clearing only the buckets of the given nodes, which must include
    // every node held: far cheaper than clear() when few buckets were used.
    void clear_buckets_of(const Node* nodes, int32_t count);

  private:
    PlainArray<Node*> buckets_;
    size_t room_ = 0;
    int32_t bits_ = 0;
    uint32_t half_ = 0;
    uint32_t mask_ = 0;
    int32_t size_ = 0;
};

}  // namespace kvn
