// The sprite table's records and the background images' tiles.
#pragma once

#include <cstdint>

#include "gfx/sprite_geometry.h"

namespace kvn {

// Number of sprite slots; the top 32 hold the fonts.
constexpr int32_t kSpriteSlotCount = 65536;
// Font n lives in slot kFirstFontSlot + n.
constexpr int32_t kFirstFontSlot = 65504;
constexpr int32_t kFontCount = 32;
constexpr int32_t kBackgroundCount = 8;
// A background image is at most this many tiles across and down.
constexpr int32_t kMaxBackgroundTiles = 8;
// Tiles are at most this size (less when the driver's largest texture is smaller).
constexpr int32_t kMaxBackgroundTileSide = 512;

// One sprite slot: its textures and the sizes the drawing arithmetic uses. An empty slot has
// no textures, texture sides -1, image size 0 and texture extents 1; the frame size survives
// freeing.
struct SpriteSlot : SpriteGeometry {
    SpriteSlot() {
        tex_w = -1;
        tex_h = -1;
    }
    uint32_t texture = 0;
    uint32_t mip_texture = 0;
    float u_max = 1.0f;
    float v_max = 1.0f;
};

// One tile: its texture and sides, and the part of the image it holds (its size on screen).
struct BackgroundTile {
    uint32_t texture = 0;
    int32_t tex_w = 0;
    int32_t tex_h = 0;
    int32_t tile_w = 0;
    int32_t tile_h = 0;
};

// A background image cut into tiles from the top-left, row by row.
struct BackgroundImage {
    int32_t rows = 0;
    int32_t columns = 0;
    int32_t tile_side = 0;
    BackgroundTile tiles[kMaxBackgroundTiles * kMaxBackgroundTiles];
};

// True for a slot number inside the table.
inline bool valid_sprite_slot(int32_t slot) {
    return slot >= 0 && slot < kSpriteSlotCount;
}

}  // namespace kvn
