// Number and integer to text, and bytes to hexadecimal text.
#include <cstdio>
#include <cstring>

#include "kvn/value.h"

namespace kvn {

StringValue int_to_text(int32_t number) {
    StringValue text;
    char* digits = text.writable_buffer(15);
    std::snprintf(digits, text.capacity(), "%d", number);
    text.recount();
    return text;
}

// Ten significant digits; integral values print without a decimal point.
StringValue number_to_text(double number) {
    StringValue text;
    char* digits = text.writable_buffer(63);
    std::snprintf(digits, text.capacity(), "%.10g", number);
    // Normalise the forms a shortest-digits formatter may leave: ".0" and a dangling point.
    const size_t length = std::strlen(digits);
    if (std::strcmp(digits, ".0") == 0) {
        std::strcpy(digits, "0");
    } else if (length != 0 && digits[length - 1] == '.') {
        digits[length - 1] = '\0';
    }
    text.recount();
    return text;
}

StringValue bytes_to_hex(const void* bytes, int32_t count) {
    StringValue text;
    if (bytes == nullptr || count <= 0) return text;
    static const char kHexDigits[] = "0123456789ABCDEF";
    const auto* source = static_cast<const unsigned char*>(bytes);
    const uint32_t length = static_cast<uint32_t>(count) * 2;
    char* out = text.writable_buffer(length);
    for (int32_t i = 0; i < count; ++i) {
        *out++ = kHexDigits[source[i] >> 4];
        *out++ = kHexDigits[source[i] & 15];
    }
    text.set_length(length);
    return text;
}

}  // namespace kvn
