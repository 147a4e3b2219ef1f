#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

#include "kvn/value.h"
#include "support/address_space.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

std::string bytes_of(const StringValue& value) {
    return std::string(value.c_str(), value.length());
}

TEST(StringValueEmpty, EmptyOperandsShareTheStaticTextAndAllocateNothing) {
    const StringValue by_default;
    const StringValue from_empty_text("");
    const StringValue from_null(static_cast<const char*>(nullptr));
    for (const StringValue* value : {&by_default, &from_empty_text, &from_null}) {
        EXPECT_TRUE(value->is_shared_empty());
        EXPECT_EQ(value->capacity(), 0u);
        EXPECT_EQ(value->length(), 0u);
        EXPECT_STREQ(value->c_str(), "");
    }
    EXPECT_EQ(by_default.c_str(), from_empty_text.c_str());

    EXPECT_TRUE(StringValue(by_default).is_shared_empty());
    EXPECT_TRUE((by_default + from_empty_text).is_shared_empty());
    EXPECT_TRUE((by_default + "").is_shared_empty());
    EXPECT_TRUE(concat("", "").is_shared_empty());

    StringValue cleared("abc");
    cleared.clear();
    EXPECT_TRUE(cleared.is_shared_empty());
    EXPECT_EQ(cleared.capacity(), 0u);
    EXPECT_EQ(cleared.length(), 0u);

    StringValue assigned("abc");
    assigned = "";
    EXPECT_TRUE(assigned.is_shared_empty());
}

TEST(StringValueGrowth, CapacityRoundsUpInSixteenByteSteps) {
    StringValue value;
    value.reserve(0, true);
    EXPECT_TRUE(value.is_shared_empty());

    const uint32_t expected_capacity[][2] = {{1, 16}, {14, 16}, {15, 32}, {30, 32}, {63, 80}};
    for (const auto& [characters, capacity] : expected_capacity) {
        StringValue fresh;
        fresh.reserve(characters, false);
        EXPECT_EQ(fresh.capacity(), capacity) << characters;
        EXPECT_EQ(fresh.length(), 0u);
        EXPECT_STREQ(fresh.c_str(), "");
    }

    EXPECT_EQ(StringValue(7).capacity(), 32u);
    EXPECT_EQ(StringValue(7.5).capacity(), 80u);
    EXPECT_EQ(StringValue(7.5f).capacity(), 80u);
}

TEST(StringValueGrowth, ReallocatesOnlyWhenTheTerminatorNoLongerFits) {
    StringValue value;
    value = "123456789012345";
    ASSERT_EQ(value.capacity(), 16u);
    const char* before = value.c_str();
    value.reserve(15, true);
    EXPECT_EQ(value.c_str(), before);
    EXPECT_EQ(value.capacity(), 16u);

    value += "6";
    EXPECT_EQ(value.capacity(), 32u);
    EXPECT_STREQ(value.c_str(), "1234567890123456");

    before = value.c_str();
    value.reserve(31, true);
    EXPECT_EQ(value.c_str(), before);
    value.reserve(32, true);
    EXPECT_EQ(value.capacity(), 48u);
    EXPECT_STREQ(value.c_str(), "1234567890123456");
    EXPECT_EQ(value.length(), 16u);

    value.reserve(100, false);
    EXPECT_STREQ(value.c_str(), "");
    EXPECT_EQ(value.length(), 16u);  // the caller sets the length after a fresh reserve
    value.recount();
    EXPECT_EQ(value.length(), 0u);
}

// A text whose storage cannot be had ends the program with error 7 (exit code 0, the code in
// the end record), whether its size cannot be represented or the memory is not there.
class StringValueOutOfMemory : public testing_support::ScratchDirectoryTest {
  protected:
    struct Growth {
        uint32_t size;
        bool keep;
    };

    void expect_out_of_memory_end(const Growth& growth, bool limited) {
        expect_end_record();
        EXPECT_EXIT(
            {
                StringValue value("x");
                testing_support::AddressSpaceLimit limit;
                if (limited && !limit.active()) std::_Exit(99);
                value.reserve(growth.size, growth.keep);
                std::_Exit(98);
            },
            testing::ExitedWithCode(0), "")
            << growth.size << (growth.keep ? " kept" : " fresh");
        EXPECT_EQ(ended_with_code(), 7) << growth.size << (growth.keep ? " kept" : " fresh");
    }
};

TEST_F(StringValueOutOfMemory, SizesThatWouldWrapEndTheProgram) {
    for (const Growth growth : {Growth{UINT32_MAX - 16, true}, Growth{UINT32_MAX, false}}) {
        expect_out_of_memory_end(growth, false);
    }
}

TEST_F(StringValueOutOfMemory, TextsTooLargeForTheAddressSpaceEndTheProgram) {
    if (testing_support::kAddressSanitizer) GTEST_SKIP() << "no address-space limit under ASan";
    // Grown in place (the kept text is reallocated) and made afresh.
    for (const Growth growth : {Growth{1u << 30, true}, Growth{1u << 30, false}}) {
        expect_out_of_memory_end(growth, true);
    }
}

TEST(StringValueAssign, PlainTextGetsExactCapacityAndValuesGetRoundedCapacity) {
    StringValue value("old text that is long");
    value = "abc";
    EXPECT_EQ(value.capacity(), 4u);
    EXPECT_EQ(value.length(), 3u);
    EXPECT_STREQ(value.c_str(), "abc");

    value = value.c_str() + 1;
    EXPECT_STREQ(value.c_str(), "bc");
    EXPECT_EQ(value.capacity(), 3u);

    const StringValue source("abcd");
    StringValue copy;
    copy = source;
    EXPECT_EQ(copy.capacity(), 16u);
    EXPECT_STREQ(copy.c_str(), "abcd");
    EXPECT_NE(copy.c_str(), source.c_str());

    copy = copy;
    EXPECT_STREQ(copy.c_str(), "abcd");
}

TEST(StringValueAssign, MoveTakesTheBufferAndLeavesTheEmptyValue) {
    StringValue source("moved text");
    const char* buffer = source.c_str();
    StringValue constructed(std::move(source));
    EXPECT_EQ(constructed.c_str(), buffer);
    EXPECT_TRUE(source.is_shared_empty());  // NOLINT(bugprone-use-after-move)

    StringValue assigned("to be replaced");
    assigned = std::move(constructed);
    EXPECT_EQ(assigned.c_str(), buffer);
    EXPECT_STREQ(assigned.c_str(), "moved text");
    EXPECT_TRUE(constructed.is_shared_empty());  // NOLINT(bugprone-use-after-move)

    StringValue& alias = assigned;
    assigned = std::move(alias);
    EXPECT_STREQ(assigned.c_str(), "moved text");

    StringValue other("other");
    assigned.swap(other);
    EXPECT_STREQ(assigned.c_str(), "other");
    EXPECT_STREQ(other.c_str(), "moved text");
}

TEST(StringValueCopy, CopiesCountedBytesIncludingEmbeddedNuls) {
    StringValue value("abcdef");
    value.writable_buffer(6)[2] = '\0';
    ASSERT_EQ(value.length(), 6u);
    EXPECT_EQ(value.system_length(), 2u);

    const StringValue copy(value);
    EXPECT_EQ(copy.length(), 6u);
    EXPECT_EQ(bytes_of(copy), std::string("ab\0def", 6));

    StringValue appended("x");
    appended += value;
    EXPECT_EQ(bytes_of(appended), std::string("xab\0def", 7));

    // Plain text stops at its first NUL.
    StringValue from_text(value.c_str());
    EXPECT_EQ(from_text.length(), 2u);
}

TEST(StringValueBuffer, RecountStopsAtTheCapacity) {
    StringValue value;
    char* buffer = value.writable_buffer(15);
    ASSERT_EQ(value.capacity(), 32u);
    for (int i = 0; i < 32; ++i) buffer[i] = 'a';
    value.recount();
    EXPECT_EQ(value.length(), 31u);
    EXPECT_EQ(value[31], '\0');
    EXPECT_EQ(value.system_length(), 31u);

    buffer[5] = '\0';
    value.recount();
    EXPECT_EQ(value.length(), 5u);

    StringValue empty;
    empty.recount();
    EXPECT_EQ(empty.length(), 0u);
    EXPECT_TRUE(empty.is_shared_empty());
}

TEST(StringValueBuffer, SetLengthIgnoresOutOfRangeCounts) {
    StringValue value;
    value = "abcdef";  // capacity 7
    value.set_length(7);
    value.set_length(-1);
    value.set_length(int64_t{1} << 32);
    EXPECT_EQ(value.length(), 6u);
    EXPECT_STREQ(value.c_str(), "abcdef");

    value.set_length(6);
    EXPECT_EQ(value.length(), 6u);
    value.set_length(3);
    EXPECT_EQ(value.length(), 3u);
    EXPECT_STREQ(value.c_str(), "abc");
    value.set_length(0);
    EXPECT_STREQ(value.c_str(), "");

    StringValue empty;
    empty.set_length(0);
    EXPECT_TRUE(empty.is_shared_empty());
}

TEST(StringValueEdit, TrimTrailingControlsRemovesControlsAndHighBytes) {
    StringValue line("text\r\n");
    line.trim_trailing_controls();
    EXPECT_STREQ(line.c_str(), "text");
    EXPECT_EQ(line.length(), 4u);

    StringValue accented("caf\xE9");
    accented.trim_trailing_controls();
    EXPECT_STREQ(accented.c_str(), "caf");

    StringValue controls("\t\r\n\x01");
    controls.trim_trailing_controls();
    EXPECT_EQ(controls.length(), 0u);
    EXPECT_STREQ(controls.c_str(), "");

    StringValue inner(" a b ");
    inner.trim_trailing_controls();
    EXPECT_STREQ(inner.c_str(), " a b ");

    StringValue empty;
    empty.trim_trailing_controls();
    EXPECT_TRUE(empty.is_shared_empty());
}

TEST(StringValueEdit, CaseFoldingTouchesOnlyAsciiLetters) {
    StringValue value("aZ09@[`{\xE9\xC9\xFF");
    value.to_upper();
    EXPECT_STREQ(value.c_str(), "AZ09@[`{\xE9\xC9\xFF");
    value.to_lower();
    EXPECT_STREQ(value.c_str(), "az09@[`{\xE9\xC9\xFF");
}

TEST(StringValueEdit, CompareFollowsByteOrder) {
    const StringValue value("10");
    EXPECT_EQ(value.compare("10"), 0);
    EXPECT_LT(value.compare("9"), 0);
    EXPECT_GT(value.compare("1"), 0);
    EXPECT_GT(StringValue("\xE9").compare("a"), 0);
    EXPECT_GT(value.compare(nullptr), 0);
}

TEST(StringValueAppend, AppendsTextValuesAndNumbers) {
    StringValue value("x");
    value += 42;
    EXPECT_STREQ(value.c_str(), "x42");
    value += 3.0;
    EXPECT_STREQ(value.c_str(), "x423");
    value += 0.1f;
    EXPECT_STREQ(value.c_str(), "x4230.1000000015");
    value += StringValue("!");
    EXPECT_STREQ(value.c_str(), "x4230.1000000015!");
    EXPECT_EQ(value.length(), value.system_length());

    const char* buffer = value.c_str();
    const uint32_t capacity = value.capacity();
    value += "";
    value += StringValue();
    value += static_cast<const char*>(nullptr);
    EXPECT_EQ(value.c_str(), buffer);
    EXPECT_EQ(value.capacity(), capacity);

    StringValue empty;
    empty += "";
    EXPECT_TRUE(empty.is_shared_empty());
}

TEST(StringValueAppend, AppendingItsOwnTextIsSafe) {
    StringValue value;
    value = "abcdefgh";  // exact capacity, so every append below reallocates
    value += value;
    EXPECT_STREQ(value.c_str(), "abcdefghabcdefgh");
    value += value.c_str() + 12;
    EXPECT_STREQ(value.c_str(), "abcdefghabcdefghefgh");
    EXPECT_EQ(value.length(), 20u);
}

TEST(StringValueConcat, EveryPairingJoinsLeftThenRight) {
    const StringValue value("v");
    EXPECT_STREQ((value + value).c_str(), "vv");
    EXPECT_STREQ((value + "t").c_str(), "vt");
    EXPECT_STREQ((value + 7).c_str(), "v7");
    EXPECT_STREQ((value + 2.5).c_str(), "v2.5");
    EXPECT_STREQ((value + 0.5f).c_str(), "v0.5");
    EXPECT_STREQ(("t" + value).c_str(), "tv");
    EXPECT_STREQ((-7 + value).c_str(), "-7v");
    EXPECT_STREQ((2.5 + value).c_str(), "2.5v");
    EXPECT_STREQ((0.5f + value).c_str(), "0.5v");
    EXPECT_STREQ(concat("a", "b").c_str(), "ab");
    EXPECT_STREQ(concat("file", 12).c_str(), "file12");
    EXPECT_STREQ(concat("file", 3.0).c_str(), "file3");
    EXPECT_STREQ(concat("f", 0.25f).c_str(), "f0.25");
    EXPECT_STREQ(concat(12, ".png").c_str(), "12.png");
    EXPECT_STREQ(concat(1.5, "s").c_str(), "1.5s");
    EXPECT_STREQ(concat(1.5f, "s").c_str(), "1.5s");
    EXPECT_STREQ(value.c_str(), "v");
}

TEST(NumberText, TenSignificantDigitsWithoutTrailingPoint) {
    EXPECT_STREQ(number_to_text(3.0).c_str(), "3");
    EXPECT_STREQ(number_to_text(0.5).c_str(), "0.5");
    EXPECT_STREQ(number_to_text(-2.25).c_str(), "-2.25");
    EXPECT_STREQ(number_to_text(1.0 / 3.0).c_str(), "0.3333333333");
    EXPECT_STREQ(number_to_text(0.0).c_str(), "0");
    EXPECT_STREQ(number_to_text(-1234567.0).c_str(), "-1234567");
    EXPECT_STREQ(number_to_text(1234567890.0).c_str(), "1234567890");
    EXPECT_STREQ(number_to_text(12345678901.0).c_str(), "1.23456789e+10");
    EXPECT_STREQ(number_to_text(1e20).c_str(), "1e+20");
    EXPECT_STREQ(number_to_text(1e-20).c_str(), "1e-20");
    EXPECT_STREQ(StringValue(0.1f).c_str(), "0.1000000015");

    const StringValue text = number_to_text(-1.2345678901234e-300);
    EXPECT_STREQ(text.c_str(), "-1.23456789e-300");
    EXPECT_EQ(text.length(), text.system_length());
    EXPECT_EQ(text.capacity(), 80u);
}

TEST(NumberText, NonFiniteValuesGiveShortWords) {
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_STREQ(number_to_text(infinity).c_str(), "inf");
    EXPECT_STREQ(number_to_text(-infinity).c_str(), "-inf");
    const StringValue nan_text = number_to_text(std::nan(""));
    EXPECT_NE(std::string(nan_text.c_str()).find("nan"), std::string::npos);
    EXPECT_EQ(nan_text.length(), nan_text.system_length());
}

TEST(NumberText, IntegersPrintAsPlainDecimal) {
    EXPECT_STREQ(int_to_text(0).c_str(), "0");
    EXPECT_STREQ(int_to_text(-7).c_str(), "-7");
    EXPECT_STREQ(int_to_text(INT32_MAX).c_str(), "2147483647");
    const StringValue lowest = int_to_text(INT32_MIN);
    EXPECT_STREQ(lowest.c_str(), "-2147483648");
    EXPECT_EQ(lowest.length(), 11u);
    EXPECT_EQ(lowest.capacity(), 32u);
}

TEST(NumberText, BytesToHexUsesUpperCaseHighNibbleFirst) {
    const unsigned char bytes[] = {0x00, 0x0F, 0xA5, 0xFF, 0x10};
    const StringValue hex = bytes_to_hex(bytes, 5);
    EXPECT_STREQ(hex.c_str(), "000FA5FF10");
    EXPECT_EQ(hex.length(), 10u);
    EXPECT_TRUE(bytes_to_hex(bytes, 0).is_shared_empty());
    EXPECT_TRUE(bytes_to_hex(bytes, -3).is_shared_empty());
    EXPECT_TRUE(bytes_to_hex(nullptr, 4).is_shared_empty());
}

}  // namespace
}  // namespace kvn
