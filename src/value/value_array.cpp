// Size arithmetic shared by every array form, and the data list reader.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "kvn/base.h"
#include "kvn/value.h"

namespace kvn {

namespace {

// The current data list (no items = none) and the index of the next item to read.
DataList current_list = {nullptr, 0};
int32_t read_position = 0;

// The next item of the current list; none left ends with code 20.
const DataItem& next_item() {
    if (current_list.items == nullptr || read_position >= current_list.count) {
        fatal_error(kErrorOutOfData);
    }
    return current_list.items[read_position++];
}

}  // namespace

namespace array_detail {

int32_t element_count(int32_t size0, int32_t size1, int32_t size2, int32_t size3) {
    int64_t count = size0;
    for (const int32_t size : {size1, size2, size3}) {
        count *= size > 1 ? size : 1;
        if (count > INT32_MAX) fatal_out_of_memory();
    }
    return static_cast<int32_t>(count);
}

int32_t rounded_need(int32_t count, int32_t step) {
    const int64_t need = static_cast<int64_t>(count & ~(step - 1)) + step;
    if (need > INT32_MAX) fatal_out_of_memory();
    return static_cast<int32_t>(need);
}

int32_t grown_capacity(int32_t need, int32_t capacity) {
    const int64_t doubled = std::min<int64_t>(static_cast<int64_t>(capacity) * 2, INT32_MAX);
    return static_cast<int32_t>(std::max<int64_t>(need, doubled));
}

void check_byte_size(int32_t count, size_t element_size) {
    const size_t largest = static_cast<size_t>(std::numeric_limits<ptrdiff_t>::max());
    if (count < 0 || static_cast<size_t>(count) > largest / element_size) {
        fatal_out_of_memory();
    }
}

}  // namespace array_detail

void data_restore(const DataList& list) {
    current_list = list;
    read_position = 0;
}

void data_read_text(StringValue& target) {
    const DataItem& item = next_item();
    StringValue text = item.text != nullptr ? StringValue(item.text) : number_to_text(item.number);
    target.swap(text);
}

void data_read_number(double& target) {
    const DataItem& item = next_item();
    target = item.text != nullptr ? text_to_number(item.text) : item.number;
}

void data_read_integer(int32_t& target) {
    double number = 0;
    data_read_number(number);
    target = to_integer(number);
}

}  // namespace kvn
