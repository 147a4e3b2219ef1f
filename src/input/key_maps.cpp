// Scan codes to virtual keys, and down keys to typed characters.
#include "input/key_maps.h"

#include <cstring>

namespace kvn {

namespace {

constexpr uint8_t kScanBackspace = 14;
constexpr uint8_t kScanReturn = 28;
constexpr uint8_t kScanKeypadEnter = 156;
constexpr uint8_t kScanLeftShift = 42;
constexpr uint8_t kScanRightShift = 54;
constexpr uint8_t kScanLeftControl = 29;
constexpr uint8_t kScanRightControl = 157;
// Control, shifts, alt, caps lock, num lock, menu: they type nothing themselves.
constexpr uint8_t kSilentScanCodes[] = {29, 42, 54, 56, 58, 69, 221};

struct FallbackTable {
    uint8_t keys[256];
    FallbackTable() {
        std::memset(keys, kNoVirtualKey, sizeof keys);
        const auto run = [this](int first_scan, const char* virtual_keys) {
            for (int i = 0; virtual_keys[i]; ++i) keys[first_scan + i] = virtual_keys[i];
        };
        const auto range = [this](int first_scan, int last_scan, int first_key) {
            for (int scan = first_scan; scan <= last_scan; ++scan) {
                keys[scan] = static_cast<uint8_t>(first_key + scan - first_scan);
            }
        };
        keys[1] = 27;
        run(2, "1234567890");
        keys[12] = 219;
        keys[13] = 221;
        keys[14] = 8;
        keys[15] = 9;
        // A German layout: scan code 21 is 'Z', 44 is 'Y'.
        run(16, "QWERTZUIOP");
        keys[26] = 186;
        keys[27] = 187;
        keys[0] = keys[28] = 13;
        keys[29] = 17;
        run(30, "ASDFGHJKL");
        keys[39] = 192;
        keys[40] = 222;
        keys[41] = 220;
        keys[42] = keys[54] = 16;
        keys[43] = 191;
        run(44, "YXCVBNM");
        keys[51] = 188;
        keys[52] = 190;
        keys[53] = 189;
        keys[55] = 106;
        keys[56] = keys[184] = 18;
        keys[57] = 32;
        keys[58] = 0;
        range(59, 68, 112);
        keys[69] = 144;
        keys[70] = 145;
        range(71, 73, 103);
        keys[74] = 109;
        range(75, 77, 100);
        keys[78] = 107;
        range(79, 81, 97);
        keys[82] = 96;
        keys[83] = 110;
        keys[86] = 226;
        keys[87] = 122;
        keys[88] = 123;
        // The numeric pad's Enter is a return key too.
        keys[kScanKeypadEnter] = 13;
        keys[157] = 17;
        keys[181] = 111;
        keys[199] = 36;
        keys[200] = 38;
        keys[201] = 33;
        keys[203] = 37;
        keys[205] = 39;
        keys[207] = 35;
        keys[208] = 40;
        keys[209] = 34;
        keys[210] = 45;
        keys[211] = 46;
        range(219, 221, 91);
    }
};

const FallbackTable& fallback_table() {
    static const FallbackTable table;
    return table;
}

bool down(const uint8_t key_state[256], const uint8_t key_map[256], uint8_t code) {
    return (key_state[key_map[code]] & 0x80) != 0;
}

bool silent(uint8_t code) {
    for (uint8_t silent_code : kSilentScanCodes) {
        if (code == silent_code) return true;
    }
    return false;
}

bool is_upper(uint8_t character) {
    return character >= 'A' && character <= 'Z';
}

bool is_letter(uint8_t character) {
    return is_upper(character) || (character >= 'a' && character <= 'z');
}

bool is_digit(uint8_t character) {
    return character >= '0' && character <= '9';
}

uint8_t fold_to_lower(uint8_t character) {
    return is_upper(character) ? static_cast<uint8_t>(character + 32) : character;
}

uint8_t to_upper(uint8_t character) {
    return character >= 'a' && character <= 'z' ? static_cast<uint8_t>(character - 32) : character;
}

// The virtual keys of the keys that type characters: letters ('A'-'Z'), digits and the
// punctuation keys (186-192, 219-222, 226); not the numeric pad and function keys, whose
// virtual keys share numbers with lower-case letters.
bool typing_key(uint8_t virtual_key) {
    return is_upper(virtual_key) || is_digit(virtual_key) ||
           (virtual_key >= 186 && virtual_key <= 192) ||
           (virtual_key >= 219 && virtual_key <= 222) || virtual_key == 226;
}

}  // namespace

void build_key_map(bool keyboard_device, uint8_t key_map[256]) {
    for (int code = 0; code < 256; ++code) {
        key_map[code] = keyboard_device ? static_cast<uint8_t>(code) : fallback_table().keys[code];
    }
}

void layout_virtual_keys(const KeyLayout& layout, uint8_t virtual_keys[256]) {
    for (int code = 0; code < 256; ++code) {
        const uint8_t placed = fallback_table().keys[code];
        virtual_keys[code] = placed;
        if (!typing_key(placed)) continue;
        const uint8_t plain = layout.plain[code];
        const uint8_t shifted = layout.shifted[code];
        if (is_letter(plain) || is_digit(plain)) {
            virtual_keys[code] = to_upper(plain);
        } else if (is_digit(shifted)) {
            virtual_keys[code] = shifted;
        } else if (is_upper(placed) || is_digit(placed)) {
            virtual_keys[code] = kNoVirtualKey;
        }
    }
}

void virtual_key_state(const uint8_t scan_state[256], const uint8_t virtual_keys[256],
                       uint8_t key_state[256]) {
    std::memset(key_state, 0, 256);
    for (int code = 0; code < 256; ++code) {
        const uint8_t key = virtual_keys[code];
        // Virtual key 0 and the "no key" value are never down.
        if (key != 0 && key != kNoVirtualKey && (scan_state[code] & 0x80)) key_state[key] = 0x80;
    }
}

uint8_t typed_character(const uint8_t key_state[256], const uint8_t key_map[256],
                        const KeyLayout& layout) {
    const bool shift =
        down(key_state, key_map, kScanLeftShift) || down(key_state, key_map, kScanRightShift);
    // With Control held the layout gives control characters, which count as nothing.
    const bool control =
        down(key_state, key_map, kScanLeftControl) || down(key_state, key_map, kScanRightControl);
    for (int code = 0; code < 255; ++code) {
        const uint8_t scan = static_cast<uint8_t>(code);
        if (!down(key_state, key_map, scan)) continue;
        if (scan == kScanBackspace) return 8;
        if (scan == kScanReturn || scan == kScanKeypadEnter) return 10;
        if (silent(scan) || control) continue;
        uint8_t character = shift ? layout.shifted[scan] : layout.plain[scan];
        if (character < 0x20 || character == 0x7F) continue;
        if (shift && character >= 'a' && character <= 'z') character -= 32;
        return character;
    }
    return 0;
}

uint8_t suppress_repeat(uint8_t character, uint8_t* remembered) {
    const uint8_t folded = fold_to_lower(character);
    if (folded == *remembered) return 0;
    *remembered = folded;
    return character;
}

}  // namespace kvn
