// Conversion between Windows-1252 and UTF-8.
#include "platform/text_encoding.h"

#include <cstdint>

namespace kvn::platform {

namespace {

// Windows-1252 bytes 0x80..0x9F that are not Latin-1 controls (0xFFFD: no character).
constexpr char16_t kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// The Windows-1252 byte of a code point, 0 when it has none.
unsigned char ansi_byte(uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<unsigned char>(code);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == code && code != 0xFFFD) return static_cast<unsigned char>(0x80 + i);
    }
    return 0;
}

}  // namespace

std::string ansi_to_utf8(const char* text) {
    std::string utf8;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text ? text : ""); *c;
         ++c) {
        const char16_t code = *c >= 0x80 && *c < 0xA0 ? kHighControls[*c - 0x80] : *c;
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

std::string utf8_to_ansi(const char* text) {
    std::string ansi;
    const unsigned char* c = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*c) {
        const int length = *c < 0x80         ? 1
                           : (*c >> 5) == 6  ? 2
                           : (*c >> 4) == 14 ? 3
                           : (*c >> 3) == 30 ? 4
                                             : 0;
        if (length == 0) {  // a continuation or invalid lead byte
            ++c;
            continue;
        }
        uint32_t code = length == 1 ? *c : *c & (0x7F >> length);
        int taken = 1;
        while (taken < length && (c[taken] & 0xC0) == 0x80) code = code << 6 | (c[taken++] & 0x3F);
        if (taken == length) {
            if (const unsigned char byte = ansi_byte(code)) ansi += static_cast<char>(byte);
        }
        c += taken;
    }
    return ansi;
}

}  // namespace kvn::platform
