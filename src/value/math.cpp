// Numeric functions of the language: degrees for angles, zero for zero divisors.
#include <cmath>
#include <cstdint>

#include "kvn/value.h"

namespace kvn {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;

}  // namespace

double sin_deg(double degrees) {
    return std::sin(degrees * kRadiansPerDegree);
}

double cos_deg(double degrees) {
    return std::cos(degrees * kRadiansPerDegree);
}

double tan_deg(double degrees) {
    return std::tan(degrees * kRadiansPerDegree);
}

double atan2_deg(double y, double x) {
    return std::atan2(y, x) * kDegreesPerRadian;
}

double asin_deg(double x) {
    if (x >= 1) return 90;
    if (x <= -1) return -90;
    return std::asin(x) * kDegreesPerRadian;
}

double acos_deg(double x) {
    if (x >= 1) return 0;
    if (x <= -1) return 180;
    return std::acos(x) * kDegreesPerRadian;
}

double power(double base, double exponent) {
    return std::pow(base, exponent);
}

double square_root(double x) {
    return std::sqrt(x);
}

double float_mod(double x, double y) {
    return y == 0 ? 0 : std::fmod(x, y);
}

int32_t int_mod(int32_t a, int32_t b) {
    if (b == 0) return 0;
    // INT32_MIN % -1 traps on the processor; its remainder is 0.
    if (b == -1) return 0;
    return a % b;
}

double absolute(double x) {
    return std::fabs(x);
}

int32_t absolute(int32_t a) {
    // -INT32_MIN does not exist; the processor's negation leaves it unchanged.
    return a < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(a)) : a;
}

}  // namespace kvn
