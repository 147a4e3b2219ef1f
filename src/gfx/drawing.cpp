// Texture binding and the drawing commands: sprites, animation frames, the polygon batch,
// primitives, the alpha mode and the background image.
#include <GL/gl.h>

#include <algorithm>

#include "gfx/gl_extensions.h"
#include "gfx/renderer.h"
#include "gfx/sprite_geometry.h"
#include "kvn/gfx.h"
#include "base/error_state.h"
#include "kvn/base.h"

namespace kvn {

namespace {

constexpr float kPixelCentre = 0.375f;

// The renderer when a sprite command has something to draw: a slot inside the table that holds
// a texture. An empty slot draws nothing, whatever frame size survived its freeing (texture
// name 0 would otherwise give an untextured white box).
VoruRERarudeve* renderer_for(int32_t slot) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer || !valid_sprite_slot(slot)) return nullptr;
    return renderer->sprite(slot).texture != 0 ? renderer : nullptr;
}

// Alpha byte of a primitive or vertex colour: 0 for the key colour, else the current alpha.
uint8_t colour_alpha(const VoruRERarudeve& renderer, int32_t colour) {
    if (colour == renderer.sprite_key()) return 0;
    return static_cast<uint8_t>(renderer.alpha() * 255.0f);
}

// Prepares a primitive: no alpha test, the colour, no texture, pixel-centre offset.
void begin_primitive(VoruRERarudeve& renderer, int32_t colour) {
    renderer.gl_state().set_switch(GlSwitch::kAlphaTest, false);
    glColor4ub(static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
               static_cast<uint8_t>(colour >> 16), colour_alpha(renderer, colour));
    renderer.bind_sprite(-1, -1, false);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glTranslatef(kPixelCentre, kPixelCentre, 0.0f);
    glMatrixMode(GL_MODELVIEW);
}

// Undoes begin_primitive; the alpha test is on again whatever the alpha mode.
void end_primitive(VoruRERarudeve& renderer) {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glColor4f(1.0f, 1.0f, 1.0f, renderer.alpha());
    renderer.gl_state().set_switch(GlSwitch::kAlphaTest, true);
}

// A GL quad over whole-pixel corners: top-right, top-left, bottom-left, bottom-right.
void draw_quad(int64_t left, int64_t top, int64_t right, int64_t bottom, const TextureRect& t) {
    glBegin(GL_QUADS);
    glTexCoord2f(t.u_right, t.v_top);
    glVertex2d(static_cast<double>(right), static_cast<double>(top));
    glTexCoord2f(t.u_left, t.v_top);
    glVertex2d(static_cast<double>(left), static_cast<double>(top));
    glTexCoord2f(t.u_left, t.v_bottom);
    glVertex2d(static_cast<double>(left), static_cast<double>(bottom));
    glTexCoord2f(t.u_right, t.v_bottom);
    glVertex2d(static_cast<double>(right), static_cast<double>(bottom));
    glEnd();
}

// The frame's texture rectangle, or false when the slot has no frame size.
bool frame_rect_of(const SpriteSlot& sprite, int32_t frame, double inset, TextureRect* rect) {
    if (sprite.frame_w <= 0 || sprite.frame_h <= 0) return false;
    const FrameCell cell = frame_cell_for_drawing(sprite.img_w, sprite.frame_w, frame);
    *rect = frame_texture_rect(sprite, cell, inset);
    return true;
}

}  // namespace

// ---- Renderer operations ----

void VoruRERarudeve::invalidate_gl_state_cache() {
    gl_state_.invalidate();
}

void VoruRERarudeve::bind_sprite(int32_t slot, int32_t second_slot, bool use_mip) {
    bind_sprite_with_wrap(slot, second_slot, use_mip, GL_REPEAT);
}

void VoruRERarudeve::bind_sprite_for_fan(int32_t slot) {
    bind_sprite_with_wrap(slot, -1, false, GL_CLAMP_TO_EDGE);
}

void VoruRERarudeve::bind_sprite_with_wrap(int32_t slot, int32_t second_slot, bool use_mip,
                                           int32_t wrap) {
    current_sprite_ = slot;
    const auto texture_of = [&](int32_t index) -> uint32_t {
        if (!valid_sprite_slot(index)) return 0;
        const SpriteSlot& sprite = sprite_store_.slot(index);
        return use_mip ? sprite.mip_texture : sprite.texture;
    };
    if (gl::glActiveTextureARB) {
        // Unit 1 is selected only when something changes there: switching units ends the
        // driver's batch as any state change does.
        if (second_slot >= 0 && slot >= 0) {
            gl_state_.select_unit(1);
            gl_state_.bind_texture(1, texture_of(slot), GL_REPEAT);
        } else if (!gl_state_.holds_texturing(1, false)) {
            gl_state_.select_unit(1);
            gl_state_.set_texturing(1, false);
        }
        gl_state_.select_unit(0);
        if (slot < 0) {
            gl_state_.set_texturing(0, false);
            return;
        }
        gl_state_.bind_texture(0, texture_of(second_slot >= 0 ? second_slot : slot), wrap);
        return;
    }
    gl_state_.select_unit(0);
    if (slot < 0) {
        gl_state_.set_texturing(0, false);
        gl_state_.set_switch(GlSwitch::kColourMaterial, true);
        return;
    }
    gl_state_.bind_texture(0, texture_of(slot), wrap);
}

void VoruRERarudeve::apply_filter() {
    gl_state_.set_bound_filter(smooth_ ? GL_LINEAR : GL_NEAREST);
}

void VoruRERarudeve::draw_fan(const FanVertex corners[4]) {
    // Plain clamping darkens stretched edges with the border colour; edge texels do not.
    gl_state_.set_bound_wrap(GL_CLAMP_TO_EDGE);
    // Vertices given one by one let the driver gather consecutive draws into one.
    const bool textured = current_sprite_ >= 0;
    glBegin(GL_TRIANGLE_FAN);
    for (int corner = 0; corner < 4; ++corner) {
        if (textured) glTexCoord2f(corners[corner].u, corners[corner].v);
        glVertex2f(corners[corner].x, corners[corner].y);
    }
    glEnd();
}

void VoruRERarudeve::draw_background(int32_t index) {
    const BackgroundImage& background = sprite_store_.background(index);
    if (background.rows == 0 || background.columns == 0) return;
    gl_state_.set_switch(GlSwitch::kAlphaTest, false);
    if (gl::glActiveTextureARB && !gl_state_.holds_texturing(1, false)) {
        gl_state_.select_unit(1);
        gl_state_.set_texturing(1, false);
    }
    gl_state_.select_unit(0);
    gl_state_.set_texturing(0, true);
    current_sprite_ = 0;
    for (int32_t row = 0; row < background.rows; ++row) {
        for (int32_t column = 0; column < background.columns; ++column) {
            const BackgroundTile& tile = background.tiles[row * kMaxBackgroundTiles + column];
            gl_state_.bind(0, tile.texture);
            // Each tile shows the part of the picture it holds, at its own size.
            const float left = static_cast<float>(column * background.tile_side);
            const float top = static_cast<float>(row * background.tile_side);
            const float right = left + static_cast<float>(tile.tile_w);
            const float bottom = top + static_cast<float>(tile.tile_h);
            const float u = static_cast<float>(tile.tile_w) / static_cast<float>(tile.tex_w);
            const float v = static_cast<float>(tile.tile_h) / static_cast<float>(tile.tex_h);
            const FanVertex corners[4] = {{left, bottom, 0.0f, 0.0f},
                                          {right, bottom, u, 0.0f},
                                          {right, top, u, v},
                                          {left, top, 0.0f, v}};
            draw_fan(corners);
        }
    }
    gl_state_.set_switch(GlSwitch::kAlphaTest, true);
    bind_sprite(-1, -1, false);
    apply_filter();
}

// ---- Sprites ----

void draw_sprite(int32_t slot, int32_t x, int32_t y) {
    VoruRERarudeve* renderer = renderer_for(slot);
    if (!renderer) return;
    const SpriteSlot& sprite = renderer->sprite(slot);
    renderer->bind_sprite(slot, -1, false);
    renderer->apply_filter();
    draw_quad(x, y, int64_t{x} + sprite.img_w, int64_t{y} + sprite.img_h,
              {0.0f, sprite.u_max, 0.0f, sprite.v_max});
}

void stretch_sprite(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h) {
    VoruRERarudeve* renderer = renderer_for(slot);
    if (!renderer) return;
    const SpriteSlot& sprite = renderer->sprite(slot);
    renderer->bind_sprite_for_fan(slot);
    renderer->apply_filter();
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y);
    const float right = static_cast<float>(int64_t{x} + w);
    const float bottom = static_cast<float>(int64_t{y} + h);
    const FanVertex corners[4] = {{left, bottom, 0.0f, 0.0f},
                                  {right, bottom, sprite.u_max, 0.0f},
                                  {right, top, sprite.u_max, sprite.v_max},
                                  {left, top, 0.0f, sprite.v_max}};
    renderer->draw_fan(corners);
}

void zoom_sprite(int32_t slot, int32_t x, int32_t y, double sx, double sy) {
    VoruRERarudeve* renderer = renderer_for(slot);
    if (!renderer) return;
    const SpriteSlot& sprite = renderer->sprite(slot);
    const PixelRect rect = zoom_rect(x, y, sprite.img_w, sprite.img_h, sx, sy);
    stretch_sprite(slot, rect.x, rect.y, rect.w, rect.h);
}

void rotate_sprite(int32_t slot, int32_t x, int32_t y, double angle) {
    rotozoom_sprite(slot, x, y, angle, 1.0);
}

void rotozoom_sprite(int32_t slot, int32_t x, int32_t y, double angle, double zoom) {
    VoruRERarudeve* renderer = renderer_for(slot);
    if (!renderer) return;
    const SpriteSlot& sprite = renderer->sprite(slot);
    // Half a texel inwards, so linear filtering never reaches past the image.
    const float u_left = 0.5f / static_cast<float>(sprite.tex_w);
    const float u_right = (static_cast<float>(sprite.img_w) - 0.5f) / sprite.tex_w;
    const float v_bottom = 0.5f / static_cast<float>(sprite.tex_h);
    const float v_top = (static_cast<float>(sprite.img_h) - 0.5f) / sprite.tex_h;
    const float hw = static_cast<float>(zoom * sprite.img_w * 0.5);
    const float hh = static_cast<float>(zoom * sprite.img_h * 0.5);

    renderer->bind_sprite_for_fan(slot);
    glPushMatrix();
    glTranslatef(static_cast<float>(int64_t{x} + (sprite.img_w >> 1)),
                 static_cast<float>(int64_t{y} + (sprite.img_h >> 1)), 0.0f);
    glRotatef(static_cast<float>(angle), 0.0f, 0.0f, -1.0f);
    renderer->apply_filter();
    const FanVertex corners[4] = {{-hw, hh, u_left, v_bottom},
                                  {hw, hh, u_right, v_bottom},
                                  {hw, -hh, u_right, v_top},
                                  {-hw, -hh, u_left, v_top}};
    renderer->draw_fan(corners);
    glPopMatrix();
}

// ---- Animation frames ----

void draw_animation(int32_t slot, int32_t frame, int32_t x, int32_t y) {
    VoruRERarudeve* renderer = renderer_for(slot);
    if (!renderer) return;
    const SpriteSlot& sprite = renderer->sprite(slot);
    TextureRect rect;
    if (!frame_rect_of(sprite, frame, 0.0, &rect)) return;
    renderer->bind_sprite(slot, -1, false);
    renderer->apply_filter();
    draw_quad(x, y, int64_t{x} + sprite.frame_w, int64_t{y} + sprite.frame_h, rect);
}

void stretch_animation(int32_t slot, int32_t frame, int32_t x, int32_t y, int32_t w, int32_t h) {
    VoruRERarudeve* renderer = renderer_for(slot);
    if (!renderer) return;
    const SpriteSlot& sprite = renderer->sprite(slot);
    TextureRect t;
    if (!frame_rect_of(sprite, frame, 0.0, &t)) return;
    renderer->bind_sprite_for_fan(slot);
    renderer->apply_filter();
    // The right and bottom edges lie a tenth of a pixel further out.
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y);
    const float right = static_cast<float>(static_cast<double>(x) + w + 0.1);
    const float bottom = static_cast<float>(static_cast<double>(y) + h + 0.1);
    const FanVertex corners[4] = {{left, top, t.u_left, t.v_top},
                                  {left, bottom, t.u_left, t.v_bottom},
                                  {right, bottom, t.u_right, t.v_bottom},
                                  {right, top, t.u_right, t.v_top}};
    renderer->draw_fan(corners);
}

void rotozoom_animation(int32_t slot, int32_t frame, int32_t x, int32_t y, double angle,
                        double zoom) {
    VoruRERarudeve* renderer = renderer_for(slot);
    if (!renderer) return;
    const SpriteSlot& sprite = renderer->sprite(slot);
    TextureRect t;
    if (!frame_rect_of(sprite, frame, 0.5, &t)) return;
    ScreenPoint p[4];
    turned_corners(static_cast<double>(x) + sprite.frame_w / 2,
                   static_cast<double>(y) + sprite.frame_h / 2, sprite.frame_w * zoom * 0.5,
                   sprite.frame_h * zoom * 0.5, angle, p);
    renderer->bind_sprite_for_fan(slot);
    renderer->apply_filter();
    const FanVertex corners[4] = {{p[0].x, p[0].y, t.u_left, t.v_top},
                                  {p[1].x, p[1].y, t.u_left, t.v_bottom},
                                  {p[2].x, p[2].y, t.u_right, t.v_bottom},
                                  {p[3].x, p[3].y, t.u_right, t.v_top}};
    renderer->draw_fan(corners);
}

// ---- Polygon batch ----

void start_poly(int32_t slot, int32_t mode) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer || slot >= kSpriteSlotCount) return;
    if (slot < 0) {
        renderer->bind_sprite(-1, -1, false);
        renderer->poly_batch().start(mode, false, 0, 0, 0);
        return;
    }
    const SpriteSlot& sprite = renderer->sprite(slot);
    renderer->bind_sprite(slot, -1, false);
    renderer->poly_batch().start(mode, true, sprite.tex_w, sprite.tex_h, sprite.img_h);
}

void poly_vector(double x, double y, double tx, double ty, int32_t colour) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    renderer->poly_batch().add(x, y, tx, ty, colour, renderer->sprite_key(), renderer->alpha(),
                             renderer->current_sprite() >= 0);
}

void poly_new_strip() {
    if (VoruRERarudeve* renderer = ready_renderer()) renderer->poly_batch().new_strip();
}

void end_poly() {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    PolyBatch& batch = renderer->poly_batch();
    // Vertex colours (or a partial alpha) need colours per vertex; white batches go without.
    if (batch.coloured() || renderer->alpha() != 1.0f) {
        batch.set_coloured();
        renderer->gl_state().set_switch(GlSwitch::kColourMaterial, true);
        renderer->gl_state().set_switch(GlSwitch::kDither, true);
        glShadeModel(GL_SMOOTH);
    }
    renderer->apply_filter();
    static constexpr GLenum kPrimitives[3] = {GL_TRIANGLE_FAN, GL_TRIANGLES, GL_TRIANGLE_STRIP};
    // A batch on an empty slot draws nothing, like every other sprite command: texture name 0
    // would otherwise leave an untextured white polygon.
    const bool textured = renderer->current_sprite() >= 0;
    const bool empty_slot = textured && renderer->sprite(renderer->current_sprite()).texture == 0;
    if (batch.mode() >= 0 && batch.mode() <= 2 && batch.count() > 0 && !empty_slot) {
        // Vertices given one by one let the driver gather consecutive batches into one draw.
        const bool coloured = batch.coloured();
        const PolyVertex* vertices = batch.vertices();
        glBegin(kPrimitives[batch.mode()]);
        for (size_t i = 0; i < batch.count(); ++i) {
            const PolyVertex& vertex = vertices[i];
            if (coloured) glColor4ub(vertex.red, vertex.green, vertex.blue, vertex.alpha);
            if (textured) glTexCoord2f(vertex.u, vertex.v);
            glVertex2f(vertex.x, vertex.y);
        }
        glEnd();
    }
    if (batch.coloured()) {
        glColor4f(1.0f, 1.0f, 1.0f, renderer->alpha());
        glShadeModel(GL_FLAT);
        renderer->gl_state().set_switch(GlSwitch::kDither, false);
        renderer->gl_state().set_switch(GlSwitch::kColourMaterial, false);
    }
}

// ---- Primitives and state ----

void set_pixel(int32_t x, int32_t y, int32_t colour) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    begin_primitive(*renderer, colour);
    glBegin(GL_POINTS);
    glVertex2i(x, y);
    glEnd();
    end_primitive(*renderer);
}

void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    begin_primitive(*renderer, colour);
    glBegin(GL_LINES);
    glVertex2i(x1, y1);
    glVertex2i(x2, y2);
    glEnd();
    // Lines leave out their last pixel; the point puts it in.
    glBegin(GL_POINTS);
    glVertex2i(x2, y2);
    glEnd();
    end_primitive(*renderer);
    glColor4ub(255, 255, 255, static_cast<uint8_t>(renderer->alpha() * 255.0f));
}

void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    int64_t left = 0, right = 0, top = 0, bottom = 0;
    rect_span(x, w, &left, &right);
    rect_span(y, h, &top, &bottom);
    begin_primitive(*renderer, colour);
    const float l = static_cast<float>(left), r = static_cast<float>(right);
    const float t = static_cast<float>(top), b = static_cast<float>(bottom);
    const FanVertex corners[4] = {{l, t, 0, 0}, {r, t, 0, 0}, {r, b, 0, 0}, {l, b, 0, 0}};
    renderer->draw_fan(corners);
    end_primitive(*renderer);
}

void set_alpha_mode(double alpha) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    const float a = static_cast<float>(alpha);
    if (a > 0.0f) {
        renderer->gl_state().set_switch(GlSwitch::kBlend, true);
        renderer->gl_state().set_switch(GlSwitch::kAlphaTest, false);
        renderer->gl_state().set_blend_function(GL_SRC_ALPHA, GL_ONE);
        renderer->set_alpha(std::min(a, 1.0f));
    } else if (a < 0.0f) {
        renderer->gl_state().set_switch(GlSwitch::kBlend, true);
        renderer->gl_state().set_switch(GlSwitch::kAlphaTest, false);
        renderer->gl_state().set_blend_function(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        renderer->set_alpha(std::min(-a, 1.0f));
    } else {
        // 0 (and a value that is not a number): opaque drawing with the alpha test.
        renderer->gl_state().set_switch(GlSwitch::kBlend, false);
        renderer->gl_state().set_switch(GlSwitch::kAlphaTest, true);
        renderer->set_alpha(1.0f);
    }
    glColor4f(1.0f, 1.0f, 1.0f, renderer->alpha());
}

}  // namespace kvn
