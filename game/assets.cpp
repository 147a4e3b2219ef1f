// The number tables, the font and pictures in their fixed sprite slots, and the sounds.
#include "game.h"

using namespace kvn;

namespace {

struct SpriteFile {
    const char* name;
    int32_t slot;
};

// Loaded in this order; every load stands on its own, a missing file leaves its slot empty.
constexpr SpriteFile kSpriteFiles[] = {
    {"star.png", 90},         {"overhub.png", 5},       {"shieldbar.png", 6},
    {"armorbar.png", 7},      {"energybar.png", 8},     {"ship_001.png", 50},
    {"ship_002.png", 200},    {"ship_003.png", 201},    {"ship_004.png", 202},
    {"blast_001.png", 100},   {"blast_004.png", 101},   {"blast_002.png", 102},
    {"burner_01a.png", 60},   {"burner_01b.png", 61},   {"burner_01c.png", 62},
    {"burner_01d.png", 63},   {"explode_01.png", 70},   {"explode_02.png", 71},
    {"explode_03.png", 72},   {"explode_04.png", 73},   {"explode_05.png", 74},
    {"explode_06.png", 75},   {"explode_07.png", 76},   {"explode_08.png", 77},
    {"spark1.png", 80},       {"spark2.png", 81},       {"spark3.png", 82},
    {"spark4.png", 83},
};

constexpr int32_t kRankSlot = 800;

}  // namespace

double Load_Math() {
    for (double d = 0; d <= 360; d = d + 1) {
        array_element(Cos_Table, to_integer(d)) = cos_deg(d);
        array_element(Sin_Table, to_integer(d)) = sin_deg(d);
    }
    for (int32_t i = 0; i <= 9; ++i) array_element(Section_X, i) = i * 1024.0;
    return 0;
}

double Load_Graphics() {
    load_font("vdfont.png", 999);
    set_font(999);
    for (const SpriteFile& file : kSpriteFiles) load_sprite(file.name, file.slot);
    // Rank slices: group g (0..2) and letter a..h go to slot 800 + 8 g + letter.
    for (int32_t group = 0; group < 3; ++group) {
        for (int32_t letter = 0; letter < 8; ++letter) {
            const char name[] = {'r', 'a', 'n', 'k', static_cast<char>('0' + group),
                                 static_cast<char>('a' + letter), '.', 'p', 'n', 'g', '\0'};
            load_sprite(name, kRankSlot + 8 * group + letter);
        }
    }
    return 0;
}

double Load_Audio() {
    const int32_t voices = to_integer(Sound_Voices);
    load_sound("blast_a1.wav", 20, voices);
    load_sound("blast_b1.wav", 21, voices);
    load_sound("boom_a1.wav", 30, voices);
    return 0;
}
