// Comparisons of texts with texts (by strcmp), numbers (by atof) and integers (by atoi).
#include <cstdlib>
#include <cstring>

#include "kvn/value.h"

namespace kvn {

double text_to_number(const char* text) {
    return text ? std::atof(text) : 0.0;
}

int32_t text_to_int(const char* text) {
    // atoi's result for a number beyond 32 bits is undefined: clamp as strtol does.
    if (!text) return 0;
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

namespace {

int text_order(const char* left, const char* right) {
    return std::strcmp(left, right);
}

}  // namespace

// The six relations for one operand pairing, each operand turned into a comparable value.
#define KVN_DEFINE_RELATIONS(Left, Right, left_value, right_value) \
    bool operator==(Left left, Right right) {                      \
        return (left_value) == (right_value);                      \
    }                                                              \
    bool operator!=(Left left, Right right) {                      \
        return !((left_value) == (right_value));                   \
    }                                                              \
    bool operator<(Left left, Right right) {                       \
        return (left_value) < (right_value);                       \
    }                                                              \
    bool operator>(Left left, Right right) {                       \
        return (left_value) > (right_value);                       \
    }                                                              \
    bool operator<=(Left left, Right right) {                      \
        return (left_value) <= (right_value);                      \
    }                                                              \
    bool operator>=(Left left, Right right) {                      \
        return (left_value) >= (right_value);                      \
    }

KVN_DEFINE_RELATIONS(const StringValue&, const StringValue&,
                     text_order(left.c_str(), right.c_str()), 0)
KVN_DEFINE_RELATIONS(const StringValue&, const char*, text_order(left.c_str(), right ? right : ""),
                     0)
KVN_DEFINE_RELATIONS(const char*, const StringValue&, text_order(left ? left : "", right.c_str()),
                     0)
KVN_DEFINE_RELATIONS(const StringValue&, double, text_to_number(left.c_str()), right)
KVN_DEFINE_RELATIONS(double, const StringValue&, left, text_to_number(right.c_str()))
KVN_DEFINE_RELATIONS(const StringValue&, int32_t, text_to_int(left.c_str()), right)
KVN_DEFINE_RELATIONS(int32_t, const StringValue&, left, text_to_int(right.c_str()))

#undef KVN_DEFINE_RELATIONS

int32_t compare_text_number(const char* text, double number) {
    const double value = text_to_number(text);
    if (value < number) return -1;
    if (value > number) return 1;
    return 0;
}

int32_t compare_text_int(const char* text, int32_t number) {
    const int32_t value = text_to_int(text);
    return value < number ? -1 : (value > number ? 1 : 0);
}

}  // namespace kvn
