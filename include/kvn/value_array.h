// Dynamic arrays of numbers, integers, texts and records, and the constant data lists. Every
// failed array or data command ends the program through fatal_error: nothing is thrown or
// returned half-done.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <type_traits>
#include <utility>

#include "kvn/base.h"

namespace kvn {

class StringValue;

namespace array_detail {

// Keeps an argument out of template deduction, so array_push(numbers, 3) picks T from the array.
template <typename T>
struct NonDeduced {
    using type = T;
};
template <typename T>
using Same = typename NonDeduced<T>::type;

// Product of the extents (absent dimensions count as 1); past 32 bits ends with code 7.
int32_t element_count(int32_t size0, int32_t size1, int32_t size2, int32_t size3);
// Count rounded down to a multiple of step (a power of two) plus step; past 32 bits ends with 7.
int32_t rounded_need(int32_t count, int32_t step);
// Room for at least `need` elements, at least doubling `capacity`; clamped to 32 bits.
int32_t grown_capacity(int32_t need, int32_t capacity);
// Ends with code 7 when `count` elements of `element_size` bytes cannot be addressed.
void check_byte_size(int32_t count, size_t element_size);

// Number and integer arrays keep a small inline room; texts and records only a pointer.
template <typename T>
struct Storage {
    T* elements = nullptr;

    T* inline_elements() const { return nullptr; }
};

template <typename T, int32_t N>
struct InlineStorage {
    T* elements = nullptr;
    T inline_storage[N] = {};

    T* inline_elements() { return inline_storage; }
    const T* inline_elements() const { return inline_storage; }
};

template <>
struct Storage<double> : InlineStorage<double, 16> {};
template <>
struct Storage<int32_t> : InlineStorage<int32_t, 16> {};

template <typename T>
constexpr bool kIsNumberForm = std::is_same_v<T, double> || std::is_same_v<T, int32_t>;

}  // namespace array_detail

// One to four dimensions over one element type; the first index varies fastest. Number
// (double), integer (int32_t) and text (StringValue) forms are built in; any other T is a
// record of numbers and texts, cleared by value-initialisation.
template <typename T>
struct ValueArray : array_detail::Storage<T> {
    int32_t stride1 = 0;     // elements between two steps of index 1
    int32_t stride2 = 0;     // elements between two steps of index 2
    int32_t stride3 = 0;     // elements between two steps of index 3
    int32_t size0 = 0;       // extent of dimension 0 (the fastest)
    int32_t size1 = 0;       // extent of dimension 1; 0 when absent
    int32_t size2 = 0;       // extent of dimension 2; 0 when absent
    int32_t size3 = 0;       // extent of dimension 3; 0 when absent
    uint8_t dimensions = 0;  // 1..4, or 0 before the first sizing
    int32_t capacity = 0;    // elements the storage holds

    ValueArray() = default;
    // Copies every element; a never-sized source gives a never-sized copy.
    ValueArray(const ValueArray& other);
    // Takes the other's storage; the other is left never-sized.
    ValueArray(ValueArray&& other) noexcept { swap(other); }
    ValueArray& operator=(const ValueArray& other);
    ValueArray& operator=(ValueArray&& other) noexcept;
    ~ValueArray() { release_storage(); }

    // Exchanges storage and shape; inline rooms are exchanged by value.
    void swap(ValueArray& other) noexcept;
    // True while the elements live in the array's own inline room.
    bool uses_inline_storage() const {
        return this->elements != nullptr && this->elements == this->inline_elements();
    }
    // Destroys the elements and frees heap storage; the array becomes never-sized.
    void release_storage();
};

// Sizes the array and clears every element.
template <typename T>
void dim_array(ValueArray<T>& array, int32_t a, int32_t b = 0, int32_t c = 0, int32_t d = 0);
// Resizes keeping the elements inside both the old and the new bounds; new ones are cleared.
template <typename T>
void redim_array(ValueArray<T>& array, int32_t a, int32_t b = 0, int32_t c = 0, int32_t d = 0);
// Sizes the target like the source and copies every element.
template <typename T>
void array_copy(ValueArray<T>& target, const ValueArray<T>& source);

namespace array_detail {

// Storage a sizing to `count` elements asks for: numbers and integers in steps of 8, records
// in steps of 64, texts exactly.
template <typename T>
int32_t storage_need(int32_t count) {
    if constexpr (kIsNumberForm<T>) return rounded_need(count, 8);
    if constexpr (std::is_same_v<T, StringValue>) return count;
    return rounded_need(count, 64);
}

// Small number and integer arrays live in the array itself instead of the heap.
template <typename T>
bool fits_inline(int32_t count, int32_t need) {
    if constexpr (std::is_same_v<T, double>) return need <= 16;
    if constexpr (std::is_same_v<T, int32_t>) return count <= 7;
    return false;
}

// Heap storage of cleared elements; exhaustion ends with code 7.
template <typename T>
T* allocate_cleared(int32_t capacity) {
    check_byte_size(capacity, sizeof(T));
    T* storage = new (std::nothrow) T[static_cast<size_t>(capacity)]();
    if (storage == nullptr) fatal_out_of_memory();
    return storage;
}

// Resets elements to the cleared value (zero numbers, empty texts), releasing their texts.
template <typename T>
void clear_elements(T* first, int32_t count) {
    std::fill(first, first + count, T{});
}

// Extent used for bounds and copies: an absent dimension holds exactly one row.
inline int32_t extent(int32_t size) {
    return size == 0 ? 1 : size;
}

// Stores sizes, strides and the dimension count; the sizes are already checked.
template <typename T>
void set_shape(ValueArray<T>& array, int32_t a, int32_t b, int32_t c, int32_t d) {
    array.size0 = a;
    array.size1 = b;
    array.size2 = c;
    array.size3 = d;
    array.stride1 = a;
    array.stride2 = a * extent(b);
    array.stride3 = array.stride2 * extent(c);
    array.dimensions = d != 0 ? 4 : c != 0 ? 3 : b != 0 ? 2 : a > 0 ? 1 : 0;
}

// Moves the first `kept` elements into new storage for `capacity` elements, the inline room or
// the heap; the rest of the new storage is cleared and the old storage released.
template <typename T>
void move_to_storage(ValueArray<T>& array, int32_t kept, int32_t capacity, bool use_inline) {
    T* const inline_room = array.inline_elements();
    T* target = nullptr;
    // Records have no inline room (null): only number forms take this branch.
    if (use_inline && inline_room != nullptr) {
        target = inline_room;
        if (array.elements != inline_room) {
            std::move(array.elements, array.elements + kept, target);
            delete[] array.elements;
        }
        clear_elements(target + kept, capacity - kept);
    } else if (capacity > 0) {
        target = allocate_cleared<T>(capacity);
        std::move(array.elements, array.elements + kept, target);
        if (array.elements != inline_room) delete[] array.elements;
    } else if (array.elements != inline_room) {
        delete[] array.elements;
    }
    array.elements = target;
    array.capacity = capacity;
}

}  // namespace array_detail

template <typename T>
void dim_array(ValueArray<T>& array, int32_t a, int32_t b, int32_t c, int32_t d) {
    using namespace array_detail;
    // Negative sizes count as absent: a higher dimension may never widen the bounds check.
    a = std::max(a, 0);
    b = std::max(b, 0);
    c = std::max(c, 0);
    d = std::max(d, 0);
    const int32_t count = element_count(a, b, c, d);
    const int32_t need = storage_need<T>(count);
    if (array.capacity < need || a == 0) {
        move_to_storage(array, 0, need, fits_inline<T>(count, need));
    } else {
        clear_elements(array.elements, array.capacity);
    }
    set_shape(array, a, b, c, d);
}

template <typename T>
void redim_array(ValueArray<T>& array, int32_t a, int32_t b, int32_t c, int32_t d) {
    using namespace array_detail;
    if (a < 1) {
        // The storage stays for reuse; only the shape goes.
        set_shape(array, 0, 0, 0, 0);
        return;
    }
    ValueArray<T> resized;
    dim_array(resized, a, b, c, d);
    const int32_t rows3 = std::min(extent(array.size3), extent(resized.size3));
    const int32_t rows2 = std::min(extent(array.size2), extent(resized.size2));
    const int32_t rows1 = std::min(extent(array.size1), extent(resized.size1));
    const int32_t kept = std::min(array.size0, resized.size0);
    for (int32_t i3 = 0; i3 < rows3; ++i3) {
        for (int32_t i2 = 0; i2 < rows2; ++i2) {
            for (int32_t i1 = 0; i1 < rows1; ++i1) {
                T* from = array.elements + i1 * array.stride1 + i2 * array.stride2 +
                          static_cast<ptrdiff_t>(i3) * array.stride3;
                T* to = resized.elements + i1 * resized.stride1 + i2 * resized.stride2 +
                        static_cast<ptrdiff_t>(i3) * resized.stride3;
                std::move(from, from + kept, to);
            }
        }
    }
    array.swap(resized);
}

// The element at the indices; a negative first index counts from the end. Any index outside
// its dimension (an absent dimension admits only 0) ends with code 9.
template <typename T>
inline T& array_element(ValueArray<T>& array, int32_t i0, int32_t i1 = 0, int32_t i2 = 0,
                        int32_t i3 = 0) {
    using array_detail::extent;
    if (i0 < 0) i0 += array.size0;
    // Unsigned comparisons reject negative indices too; size0 > 0 implies storage exists.
    if (static_cast<uint32_t>(i0) >= static_cast<uint32_t>(array.size0) ||
        static_cast<uint32_t>(i1) >= static_cast<uint32_t>(extent(array.size1)) ||
        static_cast<uint32_t>(i2) >= static_cast<uint32_t>(extent(array.size2)) ||
        static_cast<uint32_t>(i3) >= static_cast<uint32_t>(extent(array.size3))) {
        fatal_error(kErrorOutOfBounds);
    }
    return array.elements[i0 + static_cast<ptrdiff_t>(i1) * array.stride1 +
                          static_cast<ptrdiff_t>(i2) * array.stride2 +
                          static_cast<ptrdiff_t>(i3) * array.stride3];
}

// The element at the indices of a read-only array, checked the same way.
template <typename T>
inline const T& array_element(const ValueArray<T>& array, int32_t i0, int32_t i1 = 0,
                              int32_t i2 = 0, int32_t i3 = 0) {
    return array_element(const_cast<ValueArray<T>&>(array), i0, i1, i2, i3);
}

// Appends a copy at the end of a one-dimensional array; more dimensions end with code 8.
// Storage grows geometrically, so a run of pushes moves each element only a few times.
template <typename T>
void array_push(ValueArray<T>& array, const array_detail::Same<T>& value) {
    using namespace array_detail;
    if (array.size1 != 0 || array.size2 != 0 || array.size3 != 0) {
        fatal_error(kErrorArrayMisuse);
    }
    if (array.size0 == INT32_MAX) fatal_out_of_memory();
    const int32_t count = array.size0 + 1;
    const int32_t need = storage_need<T>(count);
    if (need > array.capacity) {
        // The value may be an element of this array: copy it before the storage moves.
        T copy(value);
        const bool use_inline = fits_inline<T>(count, need);
        move_to_storage(array, array.size0,
                        use_inline ? need : grown_capacity(need, array.capacity), use_inline);
        array.elements[count - 1] = std::move(copy);
    } else {
        array.elements[count - 1] = value;
    }
    set_shape(array, count, 0, 0, 0);
}

// Removes the element at the index in every row, keeping the order of the rest; a negative
// index counts from the end, one still outside the array ends with code 8.
template <typename T>
void array_delete(ValueArray<T>& array, int32_t index) {
    using namespace array_detail;
    if (index < 0) index += array.size0;
    if (index < 0 || index >= array.size0) fatal_error(kErrorArrayMisuse);
    const int32_t rows = extent(array.size1) * extent(array.size2) * extent(array.size3);
    for (int32_t row = 0; row < rows; ++row) {
        T* first = array.elements + static_cast<ptrdiff_t>(row) * array.stride1;
        std::rotate(first + index, first + index + 1, first + array.size0);
    }
    if (array.dimensions <= 1) {
        // One row: shrinking in place leaves the same elements a fresh copy would.
        array.elements[array.size0 - 1] = T{};
        set_shape(array, array.size0 - 1, 0, 0, 0);
        return;
    }
    redim_array(array, array.size0 - 1, array.size1, array.size2, array.size3);
}

// The size of dimension 0..3; 0 for any other dimension number.
template <typename T>
int32_t array_bounds(const ValueArray<T>& array, int32_t dimension) {
    switch (dimension) {
        case 0:
            return array.size0;
        case 1:
            return array.size1;
        case 2:
            return array.size2;
        case 3:
            return array.size3;
        default:
            return 0;
    }
}

template <typename T>
void array_copy(ValueArray<T>& target, const ValueArray<T>& source) {
    if (&target == &source) return;
    dim_array(target, source.size0, source.size1, source.size2, source.size3);
    const int32_t count =
        array_detail::element_count(source.size0, source.size1, source.size2, source.size3);
    std::copy(source.elements, source.elements + count, target.elements);
}

// A one-dimensional array of the values in order; a count <= 0 leaves it sized empty.
template <typename T>
void array_from_list(ValueArray<T>& array, int32_t count, const array_detail::Same<T>* values) {
    dim_array(array, count);
    if (count > 0) std::copy(values, values + count, array.elements);
}

// A one-dimensional array of the listed values in order.
template <typename T>
void array_from_list(ValueArray<T>& array, std::initializer_list<array_detail::Same<T>> values) {
    array_from_list(array, static_cast<int32_t>(values.size()), values.begin());
}

template <typename T>
ValueArray<T>::ValueArray(const ValueArray& other) {
    if (other.elements != nullptr) array_copy(*this, other);
}

template <typename T>
ValueArray<T>& ValueArray<T>::operator=(const ValueArray& other) {
    if (other.elements == nullptr) {
        release_storage();
    } else {
        array_copy(*this, other);
    }
    return *this;
}

template <typename T>
ValueArray<T>& ValueArray<T>::operator=(ValueArray&& other) noexcept {
    if (this != &other) {
        release_storage();
        swap(other);
    }
    return *this;
}

template <typename T>
void ValueArray<T>::swap(ValueArray& other) noexcept {
    const bool this_inline = uses_inline_storage();
    const bool other_inline = other.uses_inline_storage();
    if constexpr (array_detail::kIsNumberForm<T>) {
        std::swap(this->inline_storage, other.inline_storage);
    }
    std::swap(this->elements, other.elements);
    if (this_inline) other.elements = other.inline_elements();
    if (other_inline) this->elements = this->inline_elements();
    std::swap(stride1, other.stride1);
    std::swap(stride2, other.stride2);
    std::swap(stride3, other.stride3);
    std::swap(size0, other.size0);
    std::swap(size1, other.size1);
    std::swap(size2, other.size2);
    std::swap(size3, other.size3);
    std::swap(dimensions, other.dimensions);
    std::swap(capacity, other.capacity);
}

template <typename T>
void ValueArray<T>::release_storage() {
    if (!uses_inline_storage()) delete[] this->elements;
    this->elements = nullptr;
    array_detail::set_shape(*this, 0, 0, 0, 0);
    capacity = 0;
}

// ---- Data lists ----

// One constant item: a text when `text` is set, otherwise the number.
struct DataItem {
    const char* text;  // the text, or null for a number
    double number;     // the number when text is null
};

// A constant table of items; the table must outlive its use as the current list.
struct DataList {
    const DataItem* items;  // the first item
    int32_t count;          // how many items there are
};

// Makes the list the current one, read from its first item.
void data_restore(const DataList& list);
// The next item as text (numbers by the number-to-text rule); past the end ends with code 20.
void data_read_text(StringValue& target);
// The next item as a number (texts by atof); past the end ends with code 20.
void data_read_number(double& target);
// As data_read_number, then truncated toward zero to 32 bits.
void data_read_integer(int32_t& target);

}  // namespace kvn
