// Dynamic arrays in every form and the data lists, fatal ends included.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "kvn/runtime.h"
#include "kvn/value.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

// A record as the game declares them: numbers and texts, no code of its own.
struct Named {
    double x;
    StringValue name;
    double y;
};

std::string text_of(const StringValue& value) {
    return value.c_str();
}

// Runs fatal statements in a child process with debug mode on and a private temporary
// directory, so the code the child left in ErrorLog.txt can be read afterwards.
class FatalEnd : public testing_support::ScratchDirectoryTest {
  protected:
    // The error code the child's end record holds, or "" when it left none.
    std::string fatal_code(const std::function<void()>& statement) {
        expect_end_record();
        EXPECT_EXIT(statement(), testing::ExitedWithCode(0), "");
        const int32_t code = ended_with_code();
        return code < 0 ? "" : std::to_string(code);
    }
};

using ArrayBounds = FatalEnd;
using ArrayPushDelete = FatalEnd;
using ArraySizeLimits = FatalEnd;
using DataLists = FatalEnd;

TEST(DimArray, SizesAndClearsEveryForm) {
    ValueArray<double> numbers;
    dim_array(numbers, 5);
    EXPECT_EQ(numbers.dimensions, 1);
    EXPECT_EQ(array_bounds(numbers, 0), 5);
    EXPECT_EQ(array_bounds(numbers, 1), 0);
    EXPECT_EQ(array_bounds(numbers, 4), 0);
    EXPECT_EQ(array_bounds(numbers, -1), 0);
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(array_element(numbers, i), 0.0);
    array_element(numbers, 2) = 7;
    dim_array(numbers, 3);
    EXPECT_EQ(array_element(numbers, 2), 0.0);

    ValueArray<int32_t> grid;
    dim_array(grid, 2, 3, 4, 5);
    EXPECT_EQ(grid.dimensions, 4);
    EXPECT_EQ(grid.stride1, 2);
    EXPECT_EQ(grid.stride2, 6);
    EXPECT_EQ(grid.stride3, 24);
    dim_array(grid, 4, 0, 3);
    EXPECT_EQ(grid.dimensions, 3);
    // An absent middle dimension still gives every row of the third its own elements.
    EXPECT_NE(&array_element(grid, 0, 0, 1), &array_element(grid, 0, 0, 2));

    ValueArray<Named> records;
    dim_array(records, 3);
    array_element(records, 1).name = "kept in a heap buffer";
    array_element(records, 1).y = 4;
    dim_array(records, 2);
    EXPECT_EQ(array_element(records, 1).y, 0.0);
    EXPECT_TRUE(array_element(records, 1).name.empty());
    EXPECT_EQ(records.capacity, 64);

    ValueArray<StringValue> texts;
    dim_array(texts, 2, 2);
    EXPECT_EQ(texts.capacity, 4);
    EXPECT_TRUE(array_element(texts, 1, 1).empty());

    // A negative size empties the array; the records still get their minimum storage.
    dim_array(numbers, -4);
    dim_array(records, -1);
    EXPECT_EQ(numbers.dimensions, 0);
    EXPECT_EQ(array_bounds(records, 0), 0);
    EXPECT_EQ(records.capacity, 64);
}

TEST(InlineStorage, SmallNumberAndIntegerArraysStayOffTheHeap) {
    ValueArray<double> numbers;
    dim_array(numbers, 15);
    EXPECT_TRUE(numbers.uses_inline_storage());
    EXPECT_EQ(numbers.capacity, 16);
    redim_array(numbers, 16);
    EXPECT_FALSE(numbers.uses_inline_storage());
    EXPECT_EQ(numbers.capacity, 24);

    ValueArray<int32_t> integers;
    dim_array(integers, 7);
    EXPECT_TRUE(integers.uses_inline_storage());
    dim_array(integers, 8);
    EXPECT_FALSE(integers.uses_inline_storage());
    EXPECT_EQ(integers.capacity, 16);

    // Copies, moves and exchanges of inline arrays point at their own room, never the other's.
    ValueArray<double> small;
    array_from_list(small, {1.0, 2.0, 3.0});
    ValueArray<double> copy(small);
    EXPECT_TRUE(copy.uses_inline_storage());
    array_element(copy, 0) = 9;
    EXPECT_EQ(array_element(small, 0), 1.0);
    ValueArray<double> moved(std::move(copy));
    EXPECT_TRUE(moved.uses_inline_storage());
    EXPECT_EQ(array_element(moved, 0), 9.0);
    moved.swap(numbers);
    EXPECT_TRUE(numbers.uses_inline_storage());
    EXPECT_FALSE(moved.uses_inline_storage());
    EXPECT_EQ(array_element(numbers, 2), 3.0);
    EXPECT_EQ(array_bounds(moved, 0), 16);
}

TEST_F(ArrayBounds, ElementOffsetsAndFailuresOutsideEachDimension) {
    ValueArray<double> numbers;
    array_from_list(numbers, {10.0, 11.0, 12.0, 13.0, 14.0});
    EXPECT_EQ(array_element(numbers, -1), 14.0);
    EXPECT_EQ(array_element(numbers, -5), 10.0);

    ValueArray<int32_t> grid;
    dim_array(grid, 3, 2);
    EXPECT_EQ(&array_element(grid, 2, 1), grid.elements + 5);
    ValueArray<int32_t> cube;
    dim_array(cube, 4, 3, 2);
    EXPECT_EQ(&array_element(cube, 3, 2, 1), cube.elements + 3 + 2 * 4 + 1 * 12);

    EXPECT_EQ(fatal_code([&] { array_element(numbers, -6); }), "9");
    EXPECT_EQ(fatal_code([&] { array_element(numbers, 5); }), "9");
    EXPECT_EQ(fatal_code([&] { array_element(grid, 0, 2); }), "9");
    EXPECT_EQ(fatal_code([&] { array_element(grid, 0, -1); }), "9");
    EXPECT_EQ(fatal_code([&] { array_element(cube, 0, 0, 2); }), "9");
    // An absent dimension admits only index 0, so no index can reach past the storage.
    EXPECT_EQ(fatal_code([&] { array_element(numbers, 0, 1); }), "9");
    ValueArray<StringValue> never_sized;
    EXPECT_EQ(fatal_code([&] { array_element(never_sized, 0); }), "9");
    dim_array(numbers, -3);
    EXPECT_EQ(fatal_code([&] { array_element(numbers, 0); }), "9");
}

TEST(RedimArray, KeepsTheOverlapAndClearsTheRest) {
    ValueArray<double> grid;
    dim_array(grid, 3, 2);
    for (int32_t i1 = 0; i1 < 2; ++i1) {
        for (int32_t i0 = 0; i0 < 3; ++i0) array_element(grid, i0, i1) = 1 + i0 + 10 * i1;
    }
    redim_array(grid, 2, 3);
    EXPECT_EQ(array_element(grid, 0, 0), 1.0);
    EXPECT_EQ(array_element(grid, 1, 0), 2.0);
    EXPECT_EQ(array_element(grid, 0, 1), 11.0);
    EXPECT_EQ(array_element(grid, 1, 1), 12.0);
    EXPECT_EQ(array_element(grid, 0, 2), 0.0);
    EXPECT_EQ(array_element(grid, 1, 2), 0.0);

    redim_array(grid, 0);
    EXPECT_EQ(grid.dimensions, 0);
    EXPECT_EQ(array_bounds(grid, 0), 0);
    EXPECT_EQ(array_bounds(grid, 1), 0);
    array_push(grid, 5);
    EXPECT_EQ(array_bounds(grid, 0), 1);
    EXPECT_EQ(array_element(grid, 0), 5.0);

    // Texts of records move with their records when the storage is replaced.
    ValueArray<Named> records;
    dim_array(records, 3);
    array_element(records, 2) = Named{1, "third record's name", 2};
    redim_array(records, 200);
    EXPECT_EQ(text_of(array_element(records, 2).name), "third record's name");
    EXPECT_EQ(array_element(records, 2).y, 2.0);
    EXPECT_TRUE(array_element(records, 199).name.empty());
    redim_array(records, 2);
    EXPECT_EQ(array_bounds(records, 0), 2);
}

TEST_F(ArrayPushDelete, PushAppendsAndGrowsWithoutMovingEveryTime) {
    ValueArray<Named> records;
    array_push(records, Named{1, "first", 0});
    const Named* storage = records.elements;
    // 63 records fit the first block of 64; the 64th asks for the next block.
    for (int32_t i = 1; i < 63; ++i) {
        array_push(records, Named{static_cast<double>(i), StringValue(i), 0});
        EXPECT_EQ(records.elements, storage) << "moved at push " << i;
    }
    array_push(records, Named{63, "beyond the first block", 0});
    EXPECT_NE(records.elements, storage);
    EXPECT_EQ(text_of(array_element(records, 0).name), "first");
    EXPECT_EQ(text_of(array_element(records, 62).name), "62");
    EXPECT_EQ(text_of(array_element(records, -1).name), "beyond the first block");

    // Reallocations stay rare over a long run of pushes.
    ValueArray<double> numbers;
    int32_t moves = 0;
    for (int32_t i = 0; i < 100000; ++i) {
        const double* before = numbers.elements;
        array_push(numbers, i);
        if (numbers.elements != before) ++moves;
    }
    EXPECT_LT(moves, 20);
    EXPECT_EQ(array_element(numbers, 99999), 99999.0);

    // Pushing an element of the array itself survives the move of its storage.
    ValueArray<StringValue> texts;
    array_push(texts, "echo");
    for (int32_t i = 0; i < 5; ++i) array_push(texts, array_element(texts, 0));
    EXPECT_EQ(array_bounds(texts, 0), 6);
    EXPECT_EQ(text_of(array_element(texts, 5)), "echo");

    ValueArray<double> grid;
    dim_array(grid, 2, 2);
    EXPECT_EQ(fatal_code([&] { array_push(grid, 1); }), "8");
    dim_array(grid, 2, 0, 3);
    EXPECT_EQ(fatal_code([&] { array_push(grid, 1); }), "8");
}

TEST_F(ArrayPushDelete, DeleteKeepsTheOrderInEveryRow) {
    ValueArray<StringValue> letters;
    const StringValue abc[] = {"a", "b", "c"};
    array_from_list(letters, 3, abc);
    array_delete(letters, 1);
    ASSERT_EQ(array_bounds(letters, 0), 2);
    EXPECT_EQ(text_of(array_element(letters, 0)), "a");
    EXPECT_EQ(text_of(array_element(letters, 1)), "c");
    // The vacated slot holds no text any longer.
    EXPECT_TRUE(letters.elements[2].is_shared_empty());

    array_from_list(letters, 3, abc);
    array_delete(letters, -1);
    ASSERT_EQ(array_bounds(letters, 0), 2);
    EXPECT_EQ(text_of(array_element(letters, 1)), "b");
    array_from_list(letters, 3, abc);
    EXPECT_EQ(fatal_code([&] { array_delete(letters, 3); }), "8");
    EXPECT_EQ(fatal_code([&] { array_delete(letters, -4); }), "8");

    array_delete(letters, 0);
    array_delete(letters, 0);
    array_delete(letters, 0);
    EXPECT_EQ(letters.dimensions, 0);
    EXPECT_EQ(fatal_code([&] { array_delete(letters, 0); }), "8");
    array_push(letters, "again");
    EXPECT_EQ(text_of(array_element(letters, 0)), "again");

    // Every row of a 4 x 2 array loses its column 1.
    ValueArray<double> grid;
    dim_array(grid, 4, 2);
    for (int32_t i1 = 0; i1 < 2; ++i1) {
        for (int32_t i0 = 0; i0 < 4; ++i0) array_element(grid, i0, i1) = i0 + 10 * i1;
    }
    array_delete(grid, 1);
    ASSERT_EQ(array_bounds(grid, 0), 3);
    EXPECT_EQ(array_bounds(grid, 1), 2);
    const double expected[2][3] = {{0, 2, 3}, {10, 12, 13}};
    for (int32_t i1 = 0; i1 < 2; ++i1) {
        for (int32_t i0 = 0; i0 < 3; ++i0) {
            EXPECT_EQ(array_element(grid, i0, i1), expected[i1][i0]) << i0 << "," << i1;
        }
    }

    ValueArray<Named> records;
    for (int32_t i = 0; i < 70; ++i) array_push(records, Named{0, StringValue(i), 0});
    array_delete(records, 0);
    array_delete(records, 68);
    EXPECT_EQ(array_bounds(records, 0), 68);
    EXPECT_EQ(text_of(array_element(records, 0).name), "1");
    EXPECT_EQ(text_of(array_element(records, -1).name), "68");
}

TEST(ArrayCopy, CopiesAreDeepAndIndependent) {
    ValueArray<Named> source;
    dim_array(source, 2, 3);
    array_element(source, 1, 2) = Named{3, "corner", 4};
    ValueArray<Named> target;
    array_push(target, Named{9, "replaced", 9});
    array_copy(target, source);
    EXPECT_EQ(target.dimensions, 2);
    EXPECT_EQ(array_bounds(target, 1), 3);
    EXPECT_EQ(text_of(array_element(target, 1, 2).name), "corner");
    EXPECT_NE(array_element(target, 1, 2).name.c_str(), array_element(source, 1, 2).name.c_str());
    array_element(target, 1, 2).name = "changed";
    EXPECT_EQ(text_of(array_element(source, 1, 2).name), "corner");

    array_copy(source, source);
    EXPECT_EQ(text_of(array_element(source, 1, 2).name), "corner");

    const ValueArray<Named> copied(source);
    EXPECT_EQ(text_of(array_element(copied, 1, 2).name), "corner");
    ValueArray<Named> assigned;
    assigned = copied;
    EXPECT_EQ(array_element(assigned, 1, 2).y, 4.0);
    assigned = ValueArray<Named>();
    EXPECT_EQ(assigned.elements, nullptr);
    EXPECT_EQ(array_bounds(assigned, 0), 0);

    ValueArray<StringValue> never_sized;
    const ValueArray<StringValue> copy_of_nothing(never_sized);
    EXPECT_EQ(copy_of_nothing.elements, nullptr);
}

TEST(ArrayFromList, StoresTheValuesInOrder) {
    ValueArray<int32_t> integers;
    array_from_list(integers, {4, 5, 6});
    EXPECT_EQ(array_bounds(integers, 0), 3);
    EXPECT_EQ(array_element(integers, 2), 6);
    array_from_list(integers, 0, nullptr);
    EXPECT_EQ(array_bounds(integers, 0), 0);
    EXPECT_NE(integers.elements, nullptr);
}

TEST_F(ArraySizeLimits, SizesBeyondThirtyTwoBitsEndAsOutOfMemory) {
    ValueArray<double> numbers;
    EXPECT_EQ(fatal_code([&] { dim_array(numbers, 100000, 100000); }), "7");
    EXPECT_EQ(fatal_code([&] { dim_array(numbers, 65536, 32768); }), "7");
    EXPECT_EQ(fatal_code([&] { dim_array(numbers, 2, 2, 65536, 8192); }), "7");
    // The count fits, but its rounded storage need does not.
    EXPECT_EQ(fatal_code([&] { dim_array(numbers, INT32_MAX); }), "7");
    ValueArray<Named> records;
    EXPECT_EQ(fatal_code([&] { redim_array(records, INT32_MAX - 10); }), "7");
}

TEST_F(DataLists, ReadsItemsInOrderAndEndsOutOfData) {
    const DataItem items[] = {{"7.5", 0}, {nullptr, 3}, {"  -2.25e1x", 0}, {nullptr, 0.5}};
    const DataList list = {items, 4};
    data_restore(list);
    int32_t integer = 0;
    data_read_integer(integer);
    EXPECT_EQ(integer, 7);
    StringValue text = "overwritten";
    data_read_text(text);
    EXPECT_EQ(text_of(text), "3");
    double number = 0;
    data_read_number(number);
    EXPECT_EQ(number, -22.5);
    data_read_text(text);
    EXPECT_EQ(text_of(text), "0.5");
    EXPECT_EQ(fatal_code([&] { data_read_number(number); }), "20");

    data_restore(list);
    data_read_text(text);
    EXPECT_EQ(text_of(text), "7.5");
    data_restore(DataList{nullptr, 0});
    EXPECT_EQ(fatal_code([&] { data_read_text(text); }), "20");
    data_restore(DataList{items, 0});
    EXPECT_EQ(fatal_code([&] { data_read_integer(integer); }), "20");
}

}  // namespace
}  // namespace kvn
