// Fixed-capacity ring buffer of node pointers: the planner's sorted open list.
#pragma once

#include <cstdint>

#include "pathfinding/node.h"

namespace kvn {

// Positions count from the head; the back holds the node taken next. Inserting and removing
// shift whichever side of the position is shorter, so the order is the same either way.
class FixedDeque {
  public:
    // Room for capacity nodes (at least one), empty; the buffer is kept when it is large
    // enough. False when the memory is not there.
    bool allocate(int32_t capacity);

    int32_t capacity() const { return capacity_; }
    // Bytes the buffer takes, however many slots are in use.
    size_t bytes() const { return room_ * sizeof(Node*); }
    bool empty() const { return empty_; }
    bool full() const { return !empty_ && head_ == tail_; }
    int32_t size() const {
        if (empty_) return 0;
        const int32_t span = tail_ - head_;
        return span > 0 ? span : span + capacity_;
    }
    // The node at position i, 0 <= i < size().
    Node* at(int32_t i) const { return buffer_[physical(i)]; }
    // The last node; the deque must not be empty.
    Node* back() const { return buffer_[(tail_ == 0 ? capacity_ : tail_) - 1]; }

    // Appends at the back; false when full.
    bool push_back(Node* node);
    // Drops the back node; nothing happens when empty.
    void pop_back();
    // Puts the node at position i, 0 <= i <= size(); false when full or i is outside.
    bool insert(int32_t i, Node* node);
    // Takes out the node at position i, closing the gap; an i outside 0..size()-1 does nothing.
    void remove(int32_t i);
    // Forgets every node; the capacity stays.
    void clear();

  private:
    int32_t physical(int32_t i) const {
        const int32_t index = head_ + i;
        return index >= capacity_ ? index - capacity_ : index;
    }
    int32_t following(int32_t index) const { return index + 1 == capacity_ ? 0 : index + 1; }
    int32_t preceding(int32_t index) const { return (index == 0 ? capacity_ : index) - 1; }
    // Moves count nodes starting at buffer index first one slot toward the head.
    void shift_toward_head(int32_t first, int32_t count);
    // Moves count nodes starting at buffer index first one slot toward the tail.
    void shift_toward_tail(int32_t first, int32_t count);

    PlainArray<Node*> buffer_;
    size_t room_ = 0;
    int32_t capacity_ = 0;
    // Buffer index of position 0, and the buffer index one past the back.
    int32_t head_ = 0;
    int32_t tail_ = 0;
    // Tells an empty ring from a full one, which both have head_ == tail_.
    bool empty_ = true;
};

}  // namespace kvn
