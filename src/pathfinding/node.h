// The search node shared by the open list, the closed set and the planner's pool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <type_traits>

namespace kvn {

// One cell reached by the search; nodes are plain records handed out from a pool.
struct Node {
    Node* parent;
    int32_t x;
    int32_t y;
    // Sort key of the open list.
    float f;
    // Cost from the start.
    float g;
    // Following node in the same closed-set bucket.
    Node* next;
    // Order of the node's latest open-list insertion; breaks ties of equal f.
    uint64_t ticket;
};

// Frees what malloc or calloc gave.
struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

// Heap array of plain elements; large ones are mapped lazily by the system, page by page.
template <typename T>
using PlainArray = std::unique_ptr<T[], FreeDeleter>;

// Uninitialised room for count elements; null when the memory is not there.
template <typename T>
PlainArray<T> uninitialised_array(size_t count) {
    static_assert(std::is_trivial_v<T>, "only plain records may skip construction");
    if (count == 0 || count > SIZE_MAX / sizeof(T)) return nullptr;
    return PlainArray<T>(static_cast<T*>(std::malloc(count * sizeof(T))));
}

// Room for count elements with every byte zero; calloc hands out untouched pages for free.
template <typename T>
PlainArray<T> zeroed_array(size_t count) {
    static_assert(std::is_trivial_v<T>, "only plain records may skip construction");
    if (count == 0) return nullptr;
    return PlainArray<T>(static_cast<T*>(std::calloc(count, sizeof(T))));
}

// Makes array hold at least count elements, keeping what it has when room (its element count)
// suffices; a new array is zeroed when zeroed is set. False when the memory is not there.
template <typename T>
bool ensure_room(PlainArray<T>& array, size_t& room, size_t count, bool zeroed) {
    if (array && room >= count) return true;
    array = zeroed ? zeroed_array<T>(count) : uninitialised_array<T>(count);
    room = array ? count : 0;
    return array != nullptr;
}

}  // namespace kvn
