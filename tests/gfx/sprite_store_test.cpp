// The sprite store's records: installing, frame sizes and freeing without a context (the
// texture names are never handed to GL here).
#include "gfx/sprite_store.h"

#include <gtest/gtest.h>

namespace kvn {
namespace {

TEST(SpriteStoreTest, InstallSetsTheSizesAndTextureExtentsAndKeepsTheFrameSize) {
    const struct {
        int32_t img_w, img_h, tex_w, tex_h;
        float u_max, v_max;
    } cases[] = {{16, 16, 16, 16, 1.0f, 1.0f},
                 {10, 20, 16, 32, 0.625f, 0.625f},
                 {300, 5, 512, 16, 0.5859375f, 0.3125f}};
    GlState gl_state;
    SpriteStore store(gl_state);
    const int32_t n = 7;
    store.install(n, 3, 4, 8, 8, 8, 8);
    store.set_frame_size(n, 4, 2);
    for (const auto& c : cases) {
        store.install(n, 11, 12, c.img_w, c.img_h, c.tex_w, c.tex_h);
        const SpriteSlot& slot = store.slot(n);
        EXPECT_EQ(slot.texture, 11u) << c.img_w;
        EXPECT_EQ(slot.mip_texture, 12u) << c.img_w;
        EXPECT_EQ(slot.img_w, c.img_w);
        EXPECT_EQ(slot.img_h, c.img_h);
        EXPECT_EQ(slot.tex_w, c.tex_w);
        EXPECT_EQ(slot.tex_h, c.tex_h);
        EXPECT_FLOAT_EQ(slot.u_max, c.u_max) << c.img_w;
        EXPECT_FLOAT_EQ(slot.v_max, c.v_max) << c.img_w;
        EXPECT_EQ(slot.frame_w, 4);
        EXPECT_EQ(slot.frame_h, 2);
    }
}

TEST(SpriteStoreTest, OnlyALoadedSlotTakesAFrameSize) {
    GlState gl_state;
    SpriteStore store(gl_state);
    store.set_frame_size(0, 8, 8);
    EXPECT_EQ(store.slot(0).frame_w, 0);
    EXPECT_EQ(store.slot(0).frame_h, 0);
    store.install(0, 5, 0, 32, 16, 32, 16);
    store.set_frame_size(0, 8, 4);
    EXPECT_EQ(store.slot(0).frame_w, 8);
    EXPECT_EQ(store.slot(0).frame_h, 4);
}

TEST(SpriteStoreTest, FreeingEmptiesSlotsAndBackgroundsButKeepsTheFrameSize) {
    GlState gl_state;
    SpriteStore store(gl_state);
    for (const int32_t n : {0, kFirstFontSlot, kSpriteSlotCount - 1}) {
        store.install(n, 9, 10, 20, 30, 32, 32);
        store.set_frame_size(n, 10, 15);
    }
    BackgroundImage& background = store.background_to_fill(kBackgroundCount - 1);
    background.rows = 2;
    background.columns = 3;
    background.tile_side = 256;
    background.tiles[0].texture = 21;
    background.tiles[0].tile_w = 100;

    store.free_all(false);
    for (const int32_t n : {0, kFirstFontSlot, kSpriteSlotCount - 1}) {
        const SpriteSlot& slot = store.slot(n);
        EXPECT_EQ(slot.texture, 0u) << n;
        EXPECT_EQ(slot.mip_texture, 0u) << n;
        EXPECT_EQ(slot.tex_w, -1) << n;
        EXPECT_EQ(slot.tex_h, -1) << n;
        EXPECT_EQ(slot.img_w, 0) << n;
        EXPECT_EQ(slot.img_h, 0) << n;
        EXPECT_EQ(slot.u_max, 1.0f) << n;
        EXPECT_EQ(slot.v_max, 1.0f) << n;
        EXPECT_EQ(slot.frame_w, 10) << n;
        EXPECT_EQ(slot.frame_h, 15) << n;
        // An empty slot has no mask to read back.
        EXPECT_EQ(store.collision_mask(n), nullptr) << n;
    }
    const BackgroundImage& freed = store.background(kBackgroundCount - 1);
    EXPECT_EQ(freed.rows, 0);
    EXPECT_EQ(freed.columns, 0);
    EXPECT_EQ(freed.tile_side, 0);
    EXPECT_EQ(freed.tiles[0].texture, 0u);
    EXPECT_EQ(freed.tiles[0].tile_w, 0);
}

}  // namespace
}  // namespace kvn
