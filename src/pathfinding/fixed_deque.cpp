// Ring buffer moves done as at most three memmoves, one per contiguous stretch.
#include "pathfinding/fixed_deque.h"

#include <algorithm>
#include <cstring>

namespace kvn {

bool FixedDeque::allocate(int32_t capacity) {
    const bool allocated =
        capacity > 0 && ensure_room(buffer_, room_, static_cast<size_t>(capacity), false);
    capacity_ = allocated ? capacity : 0;
    clear();
    return allocated;
}

bool FixedDeque::push_back(Node* node) {
    if (full() || capacity_ == 0) return false;
    buffer_[tail_] = node;
    tail_ = following(tail_);
    empty_ = false;
    return true;
}

void FixedDeque::pop_back() {
    if (empty_) return;
    tail_ = preceding(tail_);
    empty_ = tail_ == head_;
}

bool FixedDeque::insert(int32_t i, Node* node) {
    const int32_t count = size();
    if (full() || capacity_ == 0 || i < 0 || i > count) return false;
    if (i < count - i) {
        const int32_t old_head = head_;
        head_ = preceding(head_);
        shift_toward_head(old_head, i);
    } else {
        shift_toward_tail(physical(i), count - i);
        tail_ = following(tail_);
    }
    buffer_[physical(i)] = node;
    empty_ = false;
    return true;
}

void FixedDeque::remove(int32_t i) {
    const int32_t count = size();
    if (i < 0 || i >= count) return;
    if (i < count - 1 - i) {
        shift_toward_tail(head_, i);
        head_ = following(head_);
    } else {
        shift_toward_head(physical(i + 1), count - 1 - i);
        tail_ = preceding(tail_);
    }
    empty_ = count == 1;
}

void FixedDeque::clear() {
    head_ = 0;
    tail_ = 0;
    empty_ = true;
}

void FixedDeque::shift_toward_head(int32_t first, int32_t count) {
    // From the head side on, so every slot written is already free.
    while (count > 0) {
        if (first == 0) {
            buffer_[capacity_ - 1] = buffer_[0];
            first = 1;
            --count;
            continue;
        }
        const int32_t run = std::min(count, capacity_ - first);
        std::memmove(&buffer_[first - 1], &buffer_[first], sizeof(Node*) * run);
        count -= run;
        first = following(first + run - 1);
    }
}

void FixedDeque::shift_toward_tail(int32_t first, int32_t count) {
    // From the tail side on, so every slot written is already free.
    int32_t last = first + count - 1;
    if (last >= capacity_) last -= capacity_;
    while (count > 0) {
        if (last == capacity_ - 1) {
            buffer_[0] = buffer_[last];
            last = preceding(last);
            --count;
            continue;
        }
        const int32_t run = std::min(count, last + 1);
        std::memmove(&buffer_[last - run + 2], &buffer_[last - run + 1], sizeof(Node*) * run);
        count -= run;
        last = last >= run ? last - run : last - run + capacity_;
    }
}

}  // namespace kvn
