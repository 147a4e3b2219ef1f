// Closed-set buckets: head insertion and chain walks.
#include "pathfinding/node_hash_table.h"

#include <algorithm>
#include <cstring>

namespace kvn {

bool NodeHashTable::allocate(int32_t bits) {
    // Held nodes would sit in the wrong buckets under the new bits.
    clear();
    bits_ = std::clamp(bits, 0, kMaxBits) & ~1;
    half_ = static_cast<uint32_t>(bits_ / 2);
    mask_ = (1u << half_) - 1;
    return ensure_room(buckets_, room_, size_t{1} << bits_, true);
}

void NodeHashTable::insert(Node* node) {
    Node*& head = buckets_[bucket_of(node->x, node->y)];
    for (const Node* chained = head; chained != nullptr; chained = chained->next) {
        if (chained == node) return;
    }
    node->next = head;
    head = node;
    ++size_;
}

Node* NodeHashTable::lookup(int32_t x, int32_t y, bool remove) {
    for (Node** link = &buckets_[bucket_of(x, y)]; *link != nullptr; link = &(*link)->next) {
        Node* const node = *link;
        if (node->x != x || node->y != y) continue;
        if (remove) {
            *link = node->next;
            node->next = nullptr;
            --size_;
        }
        return node;
    }
    return nullptr;
}

void NodeHashTable::clear() {
    // A table never filled since the last clear is still all zero; skip touching its pages.
    if (size_ == 0 || !buckets_) return;
    std::memset(buckets_.get(), 0, sizeof(Node*) << bits_);
    size_ = 0;
}

void NodeHashTable::clear_buckets_of(const Node* nodes, int32_t count) {
    if (size_ == 0) return;
    for (int32_t i = 0; i < count; ++i) buckets_[bucket_of(nodes[i].x, nodes[i].y)] = nullptr;
    size_ = 0;
}

}  // namespace kvn
