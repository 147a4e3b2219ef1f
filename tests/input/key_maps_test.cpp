// The keyboard's pure core: both key maps, the fall-back key state, typed characters and
// repeat suppression.
#include "input/key_maps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

namespace kvn {
namespace {

// A US layout for a few keys: a, z, y, 2, minus, space.
KeyLayout test_layout() {
    KeyLayout layout;
    const struct {
        int scan;
        char plain, shifted;
    } keys[] = {{30, 'a', 'A'}, {44, 'z', 'Z'}, {21, 'y', 'Y'},
                {3, '2', '@'},  {12, '-', '_'}, {57, ' ', ' '}};
    for (const auto& key : keys) {
        layout.plain[key.scan] = static_cast<uint8_t>(key.plain);
        layout.shifted[key.scan] = static_cast<uint8_t>(key.shifted);
    }
    return layout;
}

// The key state of either path with these scan codes held.
struct HeldKeys {
    uint8_t map[256];
    uint8_t state[256] = {};
    HeldKeys(bool keyboard_device, std::initializer_list<int> scan_codes) {
        build_key_map(keyboard_device, map);
        uint8_t scan_state[256] = {};
        for (int code : scan_codes) scan_state[code] = 0x80;
        if (keyboard_device) {
            std::memcpy(state, scan_state, sizeof state);
        } else {
            virtual_key_state(scan_state, map, state);
        }
    }
    bool down(int code) const { return (state[map[code]] & 0x80) != 0; }
};

TEST(KeyMapsTest, FallbackTableFollowsAGermanLayoutAndTheDeviceMapIsIdentity) {
    uint8_t fallback[256];
    uint8_t identity[256];
    build_key_map(false, fallback);
    build_key_map(true, identity);
    const struct {
        int scan, key;
    } rows[] = {{1, 27},   {2, '1'},   {11, '0'},  {14, 8},   {16, 'Q'}, {21, 'Z'},
                {44, 'Y'}, {0, 13},    {28, 13},   {156, 13}, {42, 16},  {54, 16},
                {58, 0},   {59, 112},  {68, 121},  {87, 122}, {88, 123}, {157, 17},
                {184, 18}, {200, 38},  {203, 37},  {205, 39}, {208, 40}, {221, 93},
                {84, 255}, {255, 255}, {129, 255}, {40, 222}, {83, 110}, {86, 226}};
    for (const auto& row : rows) {
        EXPECT_EQ(fallback[row.scan], row.key) << "scan " << row.scan;
        EXPECT_EQ(identity[row.scan], row.scan);
    }
}

TEST(KeyMapsTest, EachPathAnswersForTheHeldKeys) {
    const struct {
        bool device;
        std::initializer_list<int> held;
        int asked;
        bool down;
    } cases[] = {
        {true, {205}, 205, true},
        {false, {205}, 205, true},
        {true, {30}, 31, false},
        {false, {30}, 31, false},
        // Keys that share a virtual key answer for each other on the fall-back path only.
        {true, {54}, 42, false},
        {false, {54}, 42, true},
        {true, {28}, 0, false},
        {false, {28}, 0, true},
        {false, {156}, 28, true},
        // Caps lock maps to virtual key 0 and unlisted keys to 255: never down.
        {false, {58}, 58, false},
        {false, {84}, 84, false},
    };
    for (const auto& c : cases) {
        const HeldKeys keys(c.device, c.held);
        EXPECT_EQ(keys.down(c.asked), c.down) << "device " << c.device << " asked " << c.asked;
    }
}

// A layout's characters for the keys that tell layouts apart: (scan code, plain, shifted).
struct LayoutKey {
    int scan;
    char plain, shifted;
};

KeyLayout layout_of(std::initializer_list<LayoutKey> keys) {
    KeyLayout layout;
    for (const LayoutKey& key : keys) {
        layout.plain[key.scan] = static_cast<uint8_t>(key.plain);
        layout.shifted[key.scan] = static_cast<uint8_t>(key.shifted);
    }
    return layout;
}

TEST(KeyMapsTest, FallbackLettersAndDigitsAreTheKeysThatTypeThemInTheLayout) {
    const KeyLayout us = layout_of({{21, 'y', 'Y'}, {44, 'z', 'Z'}, {2, '1', '!'},
                                    {11, '0', ')'}, {12, '-', '_'}, {39, ';', ':'},
                                    {71, '7', '7'}, {57, ' ', ' '}});
    const KeyLayout german = layout_of({{21, 'z', 'Z'}, {44, 'y', 'Y'}, {2, '1', '!'}});
    // A layout whose digits need Shift and whose M sits where the others have a punctuation key.
    const KeyLayout french = layout_of({{16, 'a', 'A'}, {30, 'q', 'Q'}, {39, 'm', 'M'},
                                        {44, 'w', 'W'}, {50, ',', '?'}, {2, '&', '1'},
                                        {3, 0, '2'}});
    const struct {
        const KeyLayout* layout;
        const char* name;
        int scan, key;
    } rows[] = {
        {&us, "us", 21, 'Y'},     {&us, "us", 44, 'Z'},   {&us, "us", 2, '1'},
        {&us, "us", 11, '0'},     {&us, "us", 12, 219},   {&us, "us", 39, 192},
        {&us, "us", 71, 103},     {&us, "us", 57, 32},    {&us, "us", 1, 27},
        {&us, "us", 30, 255},     {&german, "de", 21, 'Z'}, {&german, "de", 44, 'Y'},
        {&german, "de", 2, '1'},  {&french, "fr", 16, 'A'}, {&french, "fr", 30, 'Q'},
        {&french, "fr", 39, 'M'}, {&french, "fr", 44, 'W'}, {&french, "fr", 50, 255},
        {&french, "fr", 2, '1'},  {&french, "fr", 3, '2'},
    };
    for (const auto& row : rows) {
        uint8_t keys[256];
        layout_virtual_keys(*row.layout, keys);
        EXPECT_EQ(keys[row.scan], row.key) << row.name << " scan " << row.scan;
    }

    // With a US layout the key that types z answers for the scan code the table gives Z.
    uint8_t keys[256], map[256], scan_state[256] = {}, state[256];
    layout_virtual_keys(us, keys);
    build_key_map(false, map);
    scan_state[44] = 0x80;
    virtual_key_state(scan_state, keys, state);
    EXPECT_TRUE(state[map[21]] & 0x80);
    EXPECT_FALSE(state[map[44]] & 0x80);
}

TEST(KeyMapsTest, TypedCharacterFollowsScanOrderShiftAndTheSpecialKeys) {
    const KeyLayout layout = test_layout();
    const struct {
        std::initializer_list<int> held;
        uint8_t expected;
    } cases[] = {
        {{30}, 'a'},
        {{42, 30}, 'A'},
        {{54, 30}, 'A'},
        {{42}, 0},
        {{54, 29, 56, 58, 69, 221}, 0},
        {{42, 3}, '@'},
        {{54, 12}, '_'},
        {{14}, 8},
        {{28}, 10},
        {{156}, 10},
        // The lowest scan code that gives a character decides.
        {{44, 30}, 'a'},
        {{57, 30}, 'a'},
        {{1, 30}, 'a'},
        // Control turns letters into control characters, which count as nothing.
        {{29, 30}, 0},
        {{29, 14}, 8},
        {{}, 0},
    };
    for (bool device : {true, false}) {
        for (const auto& c : cases) {
            const HeldKeys keys(device, c.held);
            EXPECT_EQ(typed_character(keys.state, keys.map, layout), c.expected)
                << "device " << device << " case " << (&c - cases);
        }
    }
}

TEST(KeyMapsTest, RepeatSuppressionGivesAHeldCharacterOnce) {
    uint8_t remembered = 0;
    const struct {
        uint8_t typed, expected;
    } steps[] = {{'a', 'a'}, {'a', 0}, {'A', 0}, {0, 0},  {'A', 'A'},
                 {'b', 'b'}, {'b', 0}, {10, 10}, {10, 0}, {'a', 'a'}};
    for (const auto& step : steps) {
        EXPECT_EQ(suppress_repeat(step.typed, &remembered), step.expected) << (&step - steps);
    }
}

}  // namespace
}  // namespace kvn
