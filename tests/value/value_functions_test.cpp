// Text/number conversions, comparisons, text functions, numeric functions, environment.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "kvn/value.h"

namespace kvn {
namespace {

TEST(TextToNumberTest, ReadsTheLongestValidPrefix) {
    EXPECT_EQ(text_to_number("12abc"), 12);
    EXPECT_EQ(text_to_number("abc"), 0);
    EXPECT_EQ(text_to_number("  -2.5e2x"), -250);
    EXPECT_EQ(text_to_number(""), 0);
    EXPECT_EQ(text_to_int(" 7"), 7);
    EXPECT_EQ(text_to_int("7.9"), 7);
    EXPECT_EQ(text_to_int("-12x"), -12);
    // Beyond 32 bits the result saturates instead of wrapping.
    EXPECT_EQ(text_to_int("99999999999"), INT32_MAX);
    EXPECT_EQ(text_to_int("-99999999999"), INT32_MIN);
}

TEST(ComparisonTest, TextsCompareByteWise) {
    const StringValue ten = "10", nine = "9";
    EXPECT_TRUE(ten < nine);
    EXPECT_TRUE(nine > ten);
    EXPECT_TRUE(ten == "10");
    EXPECT_TRUE("10" == ten);
    EXPECT_TRUE(ten != nine);
    EXPECT_TRUE(ten <= "10" && ten >= "10");
    // Bytes above 127 are greater than ASCII (unsigned order).
    EXPECT_TRUE(StringValue("\xe9") > "z");
    EXPECT_TRUE(StringValue("abc") < "abd");
    EXPECT_TRUE(StringValue("ab") < "abc");
}

TEST(ComparisonTest, TextsAgainstNumbersAndIntegersKeepTheOperandOrder) {
    const StringValue ten = "10", twelve_abc = "12abc", letters = "abc", seven = " 7";
    EXPECT_TRUE(ten > 9.0);
    EXPECT_TRUE(9.0 < ten);
    EXPECT_FALSE(10.0 < StringValue("5"));
    EXPECT_TRUE(StringValue("5") < 10.0);
    EXPECT_TRUE(twelve_abc == 12.0);
    EXPECT_TRUE(letters == 0.0);
    EXPECT_TRUE(seven == 7);
    EXPECT_TRUE(7 == seven);
    EXPECT_TRUE(StringValue("7.9") == 7);   // atoi reads 7
    EXPECT_TRUE(StringValue("7.9") > 7.0);  // atof reads 7.9
    // A float is widened to double first: 0.1f is not the double 0.1.
    EXPECT_FALSE(StringValue("0.1") == 0.1f);
    EXPECT_TRUE(StringValue("0.100000001490116119384765625") == 0.1f);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(ten == nan);
    EXPECT_TRUE(ten != nan);
    EXPECT_FALSE(ten < nan || ten > nan || ten <= nan || ten >= nan);
}

TEST(ComparisonTest, ThreeWayForms) {
    EXPECT_EQ(compare_text_number("5", 10), -1);
    EXPECT_EQ(compare_text_number("10", 5), 1);
    EXPECT_EQ(compare_text_number("5abc", 5), 0);
    EXPECT_EQ(compare_text_number("5", std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(compare_text_int("-3", -2), -1);
    EXPECT_EQ(compare_text_int("x", 0), 0);
    EXPECT_EQ(compare_text_int("4", 3), 1);
}

TEST(TextMidTest, CutsWithinTheText) {
    const StringValue source = "abcdef";
    EXPECT_STREQ(text_mid(source, 2, -1).c_str(), "cdef");
    EXPECT_STREQ(text_mid(source, 4, 10).c_str(), "ef");
    EXPECT_STREQ(text_mid(source, 0, 3).c_str(), "abc");
    EXPECT_TRUE(text_mid(source, 6, 2).empty());
    EXPECT_TRUE(text_mid(source, -1, 2).empty());
    EXPECT_TRUE(text_mid(source, 1, 0).empty());
    EXPECT_TRUE(text_mid(source, INT32_MAX, INT32_MAX).empty());
    EXPECT_STREQ(text_mid(source, 5, INT32_MAX).c_str(), "f");
    EXPECT_TRUE(text_mid("", 0, 5).is_shared_empty());
}

TEST(TextFindTest, FindsFromTheStartPosition) {
    const StringValue text = "abcabc";
    EXPECT_EQ(text_find(text, "c", 3), 5);
    EXPECT_EQ(text_find(text, "c", 0), 2);
    EXPECT_EQ(text_find(text, "c", 7), -1);
    EXPECT_EQ(text_find(text, "c", 6), -1);
    EXPECT_EQ(text_find(text, "c", -1), -1);
    EXPECT_EQ(text_find(text, "", 2), 2);
    EXPECT_EQ(text_find(text, "", 6), 6);
    EXPECT_EQ(text_find(text, "abcd", 0), -1);
    EXPECT_EQ(text_find(text, "bca", 0), 1);
}

TEST(TextReplaceTest, ReplacesEveryOccurrenceOnce) {
    EXPECT_STREQ(text_replace("aaa", "a", "aa").c_str(), "aaaaaa");
    EXPECT_TRUE(text_replace("abab", "ab", "").empty());
    EXPECT_STREQ(text_replace("aaa", "aa", "a").c_str(), "aa");
    EXPECT_STREQ(text_replace("one two one", "one", "three").c_str(), "three two three");
    EXPECT_STREQ(text_replace("x.y.z", ".", "/").c_str(), "x/y/z");
    EXPECT_STREQ(text_replace("abc", "", "zz").c_str(), "abc");
    EXPECT_STREQ(text_replace("abc", "q", "zz").c_str(), "abc");
    // Growing far past the first capacity and shrinking back.
    const StringValue grown =
        text_replace(StringValue("ab") + "ab" + "ab", "b", std::string(100, 'B').c_str());
    EXPECT_EQ(grown.length(), 303u);
    EXPECT_GE(grown.capacity(), 304u);
    EXPECT_STREQ(text_replace(grown, std::string(100, 'B').c_str(), "").c_str(), "aaa");
}

TEST(TextCaseTest, FoldsOnlyAsciiLetters) {
    const StringValue mixed = "aZ9\xe9\xc9-q";
    EXPECT_STREQ(text_upper(mixed).c_str(), "AZ9\xe9\xc9-Q");
    EXPECT_STREQ(text_lower(mixed).c_str(), "az9\xe9\xc9-q");
    EXPECT_STREQ(mixed.c_str(), "aZ9\xe9\xc9-q");
}

TEST(TextCharTest, OneCharacterOfTheLowByte) {
    EXPECT_STREQ(text_char(65).c_str(), "A");
    EXPECT_STREQ(text_char(321).c_str(), "A");
    const StringValue zero = text_char(0);
    EXPECT_EQ(zero.length(), 1u);
    EXPECT_EQ(zero[0], '\0');
    EXPECT_EQ(text_char(-1)[0], '\xff');
    EXPECT_EQ(text_char(-1).length(), 1u);
}

TEST(FormatNumberTest, FixedPointAtAnyWidth) {
    EXPECT_STREQ(format_number(8, 2, 3.14159).c_str(), "    3.14");
    EXPECT_STREQ(format_number(8.9, 2.9, 3.14159).c_str(), "    3.14");
    EXPECT_STREQ(format_number(0, 0, 2.5).c_str(), "2");
    EXPECT_STREQ(format_number(-6, 1, 2.25).c_str(), "2.2   ");
    const StringValue wide = format_number(200, 3, -1.5);
    EXPECT_EQ(wide.length(), 200u);
    EXPECT_STREQ(wide.c_str() + 194, "-1.500");
    const StringValue huge = format_number(2, 2, 1e300);
    EXPECT_EQ(huge.length(), 304u);
    EXPECT_EQ(std::string(huge.c_str()).substr(0, 4), "1000");
    EXPECT_STREQ(format_number(1, -1, 0.5).c_str(), "0.500000");
}

TEST(NumberTextLengthTest, LengthOfTheTextForms) {
    EXPECT_EQ(number_text_length(3.0), 1);
    EXPECT_EQ(number_text_length(1.0 / 3), 12);
    EXPECT_EQ(number_text_length(-2.25), 5);
    EXPECT_EQ(number_text_length(-7), 2);
    EXPECT_EQ(number_text_length(INT32_MIN), 11);
}

TEST(EnvironmentTest, PutGetAndList) {
    env_put("KVN_VALUE_TEST", "abc=def");
    EXPECT_STREQ(env_get("KVN_VALUE_TEST").c_str(), "abc=def");
    const std::string all = env_get("").c_str();
    EXPECT_NE(all.find("KVN_VALUE_TEST=abc=def\n"), std::string::npos);
    EXPECT_EQ(all.back(), '\n');
    env_put("KVN_VALUE_TEST", "");
    EXPECT_TRUE(env_get("KVN_VALUE_TEST").empty());
    EXPECT_TRUE(env_get("KVN_NEVER_SET_ANYWHERE").empty());
    env_put("BAD=NAME", "x");
    EXPECT_TRUE(env_get("BAD").empty());
}

TEST(NumericTest, DegreesAndEdgeValues) {
    EXPECT_NEAR(sin_deg(90), 1, 1e-15);
    EXPECT_NEAR(cos_deg(180), -1, 1e-15);
    EXPECT_NEAR(tan_deg(45), 1, 1e-15);
    EXPECT_NEAR(atan2_deg(1, 1), 45, 1e-12);
    EXPECT_EQ(asin_deg(2), 90);
    EXPECT_EQ(asin_deg(-1), -90);
    EXPECT_NEAR(asin_deg(0.5), 30, 1e-12);
    EXPECT_EQ(acos_deg(-3), 180);
    EXPECT_EQ(acos_deg(1), 0);
    EXPECT_NEAR(acos_deg(0.5), 60, 1e-12);
    EXPECT_EQ(power(2, 10), 1024);
    EXPECT_TRUE(std::isnan(square_root(-1)));
    EXPECT_EQ(square_root(81), 9);
    EXPECT_EQ(float_mod(5, 0), 0);
    EXPECT_EQ(float_mod(-7.5, 2), -1.5);
    EXPECT_EQ(int_mod(-7, 3), -1);
    EXPECT_EQ(int_mod(7, 0), 0);
    EXPECT_EQ(int_mod(INT32_MIN, -1), 0);
    EXPECT_EQ(absolute(-2.5), 2.5);
    EXPECT_EQ(absolute(-4), 4);
    EXPECT_EQ(absolute(INT32_MIN), INT32_MIN);
}

TEST(ToIntegerTest, TruncatesTowardZero) {
    EXPECT_EQ(to_integer(2.9), 2);
    EXPECT_EQ(to_integer(-2.9), -2);
    EXPECT_EQ(to_integer(2147483647.9), INT32_MAX);
    EXPECT_EQ(to_integer(-2147483648.9), INT32_MIN);
    EXPECT_EQ(to_integer(2147483648.0), INT32_MIN);
    EXPECT_EQ(to_integer(std::numeric_limits<double>::quiet_NaN()), INT32_MIN);
    EXPECT_EQ(to_integer(-std::numeric_limits<double>::infinity()), INT32_MIN);
}

}  // namespace
}  // namespace kvn
