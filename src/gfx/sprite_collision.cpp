// The collision commands over the slots' alpha planes, read back from GL on first use.
#include <GL/gl.h>

#include <algorithm>
#include <new>
#include <vector>

#include "gfx/renderer.h"
#include "gfx/sprite_geometry.h"
#include "kvn/gfx.h"
#include "base/error_state.h"
#include "kvn/base.h"

namespace kvn {

namespace {

// A slot placed with its top-left at (x, y), the whole image its frame.
CollisionPlacement whole_image_at(const SpriteSlot& sprite, int32_t x, int32_t y) {
    CollisionPlacement placement;
    placement.img_w = sprite.img_w;
    placement.img_h = sprite.img_h;
    placement.x = x;
    placement.y = y;
    placement.frame_w = sprite.img_w;
    placement.frame_h = sprite.img_h;
    return placement;
}

// A slot's animation frame with its top-left at (x, y); a slot without frame width uses the
// whole image.
CollisionPlacement frame_at(const SpriteSlot& sprite, int32_t frame, int32_t x, int32_t y) {
    CollisionPlacement placement = whole_image_at(sprite, x, y);
    if (sprite.frame_w <= 0) return placement;
    const FrameCell cell = frame_cell_for_collision(sprite.img_w, sprite.frame_w, frame);
    placement.frame_x = int64_t{sprite.frame_w} * cell.column;
    placement.frame_y = int64_t{sprite.frame_h} * cell.row;
    placement.frame_w = sprite.frame_w;
    placement.frame_h = sprite.frame_h;
    return placement;
}

// The test itself: the overlap first, the alpha planes only when there is one.
int32_t collide(VoruRERarudeve& renderer, int32_t slot1, CollisionPlacement a, int32_t slot2,
                CollisionPlacement b) {
    if (!frames_overlap(a, b)) return 0;
    a.mask = renderer.sprite_store().collision_mask(slot1);
    b.mask = renderer.sprite_store().collision_mask(slot2);
    return placements_collide(a, b) ? 1 : 0;
}

VoruRERarudeve* renderer_for(int32_t slot1, int32_t slot2) {
    VoruRERarudeve* renderer = ready_renderer();
    return renderer && valid_sprite_slot(slot1) && valid_sprite_slot(slot2) ? renderer : nullptr;
}

}  // namespace

const CollisionMask* SpriteStore::collision_mask(int32_t n) {
    std::unique_ptr<CollisionMask>& cached = masks_[n];
    if (cached) return cached.get();
    const SpriteSlot& sprite = slots_[n];
    if (sprite.texture == 0) return nullptr;

    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, sprite.texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    // A collision test is not a load: without memory for the plane the program ends.
    try {
        if (width > 0 && height > 0) {
            std::vector<uint8_t> alpha(
                std::max<size_t>(64, static_cast<size_t>(width) * static_cast<size_t>(height)));
            GLint pack_alignment = 4;
            glGetIntegerv(GL_PACK_ALIGNMENT, &pack_alignment);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
            glPixelStorei(GL_PACK_ALIGNMENT, pack_alignment);
            cached =
                std::make_unique<CollisionMask>(make_collision_mask(alpha.data(), width, height));
        }
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory();
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    gl_state_.invalidate();
    return cached.get();
}

int32_t sprite_collision(int32_t slot1, int32_t x1, int32_t y1, int32_t slot2, int32_t x2,
                         int32_t y2) {
    VoruRERarudeve* renderer = renderer_for(slot1, slot2);
    if (!renderer) return 0;
    return collide(*renderer, slot1, whole_image_at(renderer->sprite(slot1), x1, y1), slot2,
                   whole_image_at(renderer->sprite(slot2), x2, y2));
}

int32_t animation_collision(int32_t slot1, int32_t frame1, int32_t x1, int32_t y1, int32_t slot2,
                            int32_t frame2, int32_t x2, int32_t y2) {
    VoruRERarudeve* renderer = renderer_for(slot1, slot2);
    if (!renderer) return 0;
    return collide(*renderer, slot1, frame_at(renderer->sprite(slot1), frame1, x1, y1), slot2,
                   frame_at(renderer->sprite(slot2), frame2, x2, y2));
}

}  // namespace kvn
