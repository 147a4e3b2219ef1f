// The sprite store: the sprite table with its textures and collision masks, the background
// images' tiles, and the buffers images are decoded in.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/gl_state.h"
#include "gfx/sprite_geometry.h"
#include "image/collision.h"
#include "image/image_decoders.h"
#include "image/texture_prep.h"

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

// Slot numbers and background indexes given to it are inside their tables. Textures are
// deleted only while the context is ready, so freeing after it went just forgets them.
class SpriteStore {
  public:
    // Empty slots and backgrounds; texture changes are told to gl_state.
    explicit SpriteStore(GlState& gl_state);
    SpriteStore(const SpriteStore&) = delete;
    SpriteStore& operator=(const SpriteStore&) = delete;

    // ---- Slots ----

    const SpriteSlot& slot(int32_t n) const { return slots_[n]; }
    // Sets the animation frame size of a loaded slot; an empty slot keeps none.
    void set_frame_size(int32_t n, int32_t frame_w, int32_t frame_h);
    // Gives slot n the textures (any earlier ones already deleted or the same) holding an
    // image of img_w x img_h in texture sides tex_w x tex_h; the frame size stays and the
    // collision mask goes.
    void install(int32_t n, uint32_t texture, uint32_t mip_texture, int32_t img_w, int32_t img_h,
                 int32_t tex_w, int32_t tex_h);
    // Deletes the slot's textures and forgets its image and collision mask; the frame size
    // stays.
    void free_slot(int32_t n, bool context_ready);
    // Decodes the file or "mem://" image and uploads it into the freed slot n (sprites with a
    // mipmapped copy, fonts without); false leaves the slot empty. The context is ready.
    bool load_file(int32_t n, const char* path, int32_t key, bool normal_map, bool is_font);
    // Uploads a decoded image into the freed slot n; false leaves it empty.
    bool install_image(int32_t n, const DecodedImage& image, bool normal_map, bool is_font);

    // ---- Collision masks ----

    // The slot's opaque texels, read back from GL on first use and kept until the slot
    // changes; null for an empty slot.
    const CollisionMask* collision_mask(int32_t n);
    // Forgets the slot's mask after drawing into its texture.
    void drop_collision_mask(int32_t n) { masks_[n].reset(); }

    // ---- Backgrounds ----

    const BackgroundImage& background(int32_t index) const { return backgrounds_[index]; }
    // The record that a copy of the picture being drawn fills tile by tile.
    BackgroundImage& background_to_fill(int32_t index) { return backgrounds_[index]; }
    // Decodes the file without key and cuts it into tiles for the freed background; false
    // leaves it empty. The context is ready.
    bool load_background_file(int32_t index, const char* path);
    // Deletes the tile textures of the background.
    void free_background(int32_t index, bool context_ready);

    // Frees every slot and background.
    void free_all(bool context_ready);

  private:
    // Decodes a file or "mem://" image with the decoders in turn (JPEG from files only).
    bool decode_file(const char* path, int32_t key, DecodedImage* image);
    // Uploads the rectangle (x, y, w, h) of the image (w or h 0 = to the image's edge) into
    // *texture (an old one is deleted) and, when mip_texture is given, a mipmapped copy into it.
    bool upload(const DecodedImage& image, int32_t x, int32_t y, int32_t w, int32_t h,
                bool normal_map, bool is_font, uint32_t* texture, uint32_t* mip_texture,
                int32_t* tex_w, int32_t* tex_h);

    GlState& gl_state_;
    std::vector<SpriteSlot> slots_;
    std::vector<std::unique_ptr<CollisionMask>> masks_;
    BackgroundImage backgrounds_[kBackgroundCount];
    // Buffers kept from load to load.
    std::vector<uint8_t> file_bytes_;
    DecodedImage decoded_;
    TextureImage texture_;
};

}  // namespace kvn
