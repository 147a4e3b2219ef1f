// The keyboard's pure core: the scan code -> virtual key table of the fall-back path and its
// form for a keyboard layout, the virtual-key state made from scan codes, and the translation
// of down keys into a typed character.
#pragma once

#include <cstdint>

namespace kvn {

// Virtual key of scan codes the fall-back table does not list; no key has it.
constexpr uint8_t kNoVirtualKey = 255;

// The characters the keyboard layout gives each scan code without and with Shift (0 = none).
struct KeyLayout {
    uint8_t plain[256] = {};
    uint8_t shifted[256] = {};
};

// The key map: identity for the scan-code keyboard, the fall-back table otherwise.
void build_key_map(bool keyboard_device, uint8_t key_map[256]);
// The fall-back path's scan code -> virtual key for the layout: a key that types a letter or a
// digit (a digit also with Shift) gives that character's virtual key; a key the table places a
// letter or digit on that types neither gives none; every other key keeps its table entry.
void layout_virtual_keys(const KeyLayout& layout, uint8_t virtual_keys[256]);
// The fall-back path's key state, one byte per virtual key, from the scan-code state: a
// virtual key is down when a scan code that virtual_keys maps to it is down.
void virtual_key_state(const uint8_t scan_state[256], const uint8_t virtual_keys[256],
                       uint8_t key_state[256]);
// The typed character of the first down key in scan-code order that gives one, before repeat
// suppression (0 = none). A key is down when key_state[key_map[code]] has bit 7 set.
uint8_t typed_character(const uint8_t key_state[256], const uint8_t key_map[256],
                        const KeyLayout& layout);
// Repeat suppression: 0 when the character (folded to lower case) is the one remembered from
// the previous call; otherwise remembers it and returns the character.
uint8_t suppress_repeat(uint8_t character, uint8_t* remembered);

}  // namespace kvn
