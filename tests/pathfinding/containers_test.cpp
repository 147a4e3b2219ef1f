// The open list's ring buffer and the closed set's buckets.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "pathfinding/astar_planner.h"
#include "pathfinding/fixed_deque.h"
#include "pathfinding/node_hash_table.h"

namespace kvn {
namespace {

Node make_node(int32_t x, int32_t y) {
    return Node{nullptr, x, y, 0.0f, 0.0f, nullptr, 0};
}

bool same_contents(const FixedDeque& deque, const std::deque<Node*>& expected) {
    if (deque.size() != static_cast<int32_t>(expected.size())) return false;
    for (int32_t i = 0; i < deque.size(); ++i) {
        if (deque.at(i) != expected[static_cast<size_t>(i)]) return false;
    }
    return true;
}

TEST(FixedDeque, EveryOperationMatchesAPlainDequeAcrossTheWrap) {
    // A small odd capacity makes the contents wrap around the buffer end in every way.
    constexpr int32_t kCapacity = 7;
    std::vector<Node> nodes(64, make_node(0, 0));
    FixedDeque deque;
    ASSERT_TRUE(deque.allocate(kCapacity));
    std::deque<Node*> expected;
    std::mt19937 random(12345);
    for (int round = 0; round < 20000; ++round) {
        Node* const node = &nodes[random() % nodes.size()];
        const int32_t size = deque.size();
        switch (random() % 4) {
            case 0:
                EXPECT_EQ(deque.push_back(node), size < kCapacity);
                if (size < kCapacity) expected.push_back(node);
                break;
            case 1:
                deque.pop_back();
                if (!expected.empty()) expected.pop_back();
                break;
            case 2: {
                const int32_t i = static_cast<int32_t>(random() % (size + 1));
                EXPECT_EQ(deque.insert(i, node), size < kCapacity);
                if (size < kCapacity) expected.insert(expected.begin() + i, node);
                break;
            }
            default:
                if (size > 0) {
                    const int32_t i = static_cast<int32_t>(random() % size);
                    deque.remove(i);
                    expected.erase(expected.begin() + i);
                }
                break;
        }
        ASSERT_TRUE(same_contents(deque, expected)) << "round " << round;
        ASSERT_EQ(deque.empty(), expected.empty());
        ASSERT_EQ(deque.full(), expected.size() == kCapacity);
        if (!expected.empty()) {
            ASSERT_EQ(deque.back(), expected.back());
        }
    }
}

TEST(FixedDeque, RefusesWhatDoesNotFit) {
    Node a = make_node(0, 0);
    Node b = make_node(1, 0);
    FixedDeque deque;
    EXPECT_FALSE(deque.allocate(0));
    EXPECT_FALSE(deque.push_back(&a));
    EXPECT_FALSE(deque.insert(0, &a));

    ASSERT_TRUE(deque.allocate(1));
    EXPECT_FALSE(deque.insert(1, &a));
    EXPECT_TRUE(deque.insert(0, &a));
    EXPECT_TRUE(deque.full());
    EXPECT_FALSE(deque.push_back(&b));
    EXPECT_FALSE(deque.insert(0, &b));
    deque.remove(1);
    EXPECT_EQ(deque.size(), 1);
    deque.remove(0);
    EXPECT_TRUE(deque.empty());
    deque.pop_back();
    EXPECT_EQ(deque.size(), 0);
}

TEST(FixedDeque, SortedPositionIsThePlainBinarySearchPlace) {
    // Descending lists with long runs of equal f, probed at, between and beyond their values.
    std::mt19937 random(7);
    std::vector<Node> nodes(300, make_node(0, 0));
    FixedDeque deque;
    ASSERT_TRUE(deque.allocate(static_cast<int32_t>(nodes.size())));
    for (int round = 0; round < 300; ++round) {
        deque.clear();
        // Start part-way round the ring so the list wraps.
        for (int32_t i = 0; i < round % 50; ++i) deque.push_back(&nodes[0]);
        for (int32_t i = 0; i < round % 50; ++i) deque.remove(0);
        const int32_t count = static_cast<int32_t>(random() % 250);
        float f = 100;
        for (int32_t i = 0; i < count; ++i) {
            if (random() % 3 == 0) f -= 0.5f * static_cast<float>(random() % 4);
            nodes[static_cast<size_t>(i)].f = f;
            ASSERT_TRUE(deque.push_back(&nodes[static_cast<size_t>(i)]));
        }
        for (float probe = 101; probe >= f - 1; probe -= 0.25f) {
            int32_t lo = 0;
            int32_t hi = deque.size();
            while (lo < hi) {
                const int32_t mid = (lo + hi) / 2;
                if (deque.at(mid)->f > probe) {
                    lo = mid + 1;
                } else {
                    hi = mid;
                }
            }
            ASSERT_EQ(sorted_position(deque, probe), lo) << "round " << round << " f " << probe;
        }
    }
}

TEST(NodeHashTable, BitsAndBucketFunction) {
    NodeHashTable table;
    ASSERT_TRUE(table.allocate(8));
    EXPECT_EQ(table.bits(), 8);
    EXPECT_EQ(table.bucket_of(0, 0), 0u);
    EXPECT_EQ(table.bucket_of(5, 3), 5u + 16u * 3u);
    EXPECT_EQ(table.bucket_of(21, 19), 5u + 16u * 3u);
    EXPECT_EQ(table.bucket_of(15, 15), 255u);
    ASSERT_TRUE(table.allocate(9));
    EXPECT_EQ(table.bits(), 8);
    ASSERT_TRUE(table.allocate(31));
    EXPECT_EQ(table.bits(), 24);
    EXPECT_EQ(table.bucket_of(4095, 4095), (1u << 24) - 1);
    EXPECT_EQ(table.bucket_of(4096 + 7, 2), 7u + 4096u * 2u);
    ASSERT_TRUE(table.allocate(-5));
    EXPECT_EQ(table.bits(), 0);
    EXPECT_EQ(table.bucket_of(123, 456), 0u);
}

TEST(NodeHashTable, ChainsInsertAtTheHeadAndLookupsRemove) {
    NodeHashTable table;
    ASSERT_TRUE(table.allocate(2));  // 4 buckets: cells 2 apart in x and y share one
    Node first = make_node(1, 1);
    Node second = make_node(3, 1);
    Node third = make_node(1, 3);
    Node elsewhere = make_node(0, 1);
    for (Node* node : {&first, &second, &third, &elsewhere}) table.insert(node);
    table.insert(&second);
    EXPECT_EQ(table.size(), 4);
    // Head insertion: the chain runs third, second, first.
    EXPECT_EQ(third.next, &second);
    EXPECT_EQ(second.next, &first);
    EXPECT_EQ(first.next, nullptr);

    EXPECT_EQ(table.lookup(3, 1, false), &second);
    EXPECT_EQ(table.lookup(3, 3, false), nullptr);
    EXPECT_EQ(table.lookup(3, 1, true), &second);
    EXPECT_EQ(table.lookup(3, 1, false), nullptr);
    EXPECT_EQ(third.next, &first);
    EXPECT_EQ(table.lookup(1, 1, false), &first);
    EXPECT_EQ(table.lookup(0, 1, false), &elsewhere);
    EXPECT_EQ(table.size(), 3);

    table.clear();
    EXPECT_EQ(table.size(), 0);
    EXPECT_EQ(table.lookup(1, 1, false), nullptr);
    EXPECT_EQ(table.lookup(1, 3, false), nullptr);
}

}  // namespace
}  // namespace kvn
