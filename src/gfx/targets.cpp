// Off-screen targets (framebuffer objects, or the screen with a copy into the sprite), screen
// grabs, pixel read-back, and the save commands.
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "base/error_state.h"
#include "files/media_reader.h"
#include "gfx/gl_extensions.h"
#include "gfx/gl_textures.h"
#include "gfx/renderer.h"
#include "kvn/base.h"
#include "kvn/gfx.h"
#include "platform/files.h"
#include "platform/window_capture.h"

namespace kvn {

namespace {

constexpr int32_t kFirstBackgroundTileSide = 128;
// The pixel the key-colour probe draws on.
constexpr int32_t kProbeX = 4;
constexpr int32_t kProbeY = 4;

// Storage of e x f RGBA8 texels for the bound texture: zeroed (transparent) when asked, else
// left undefined for a copy to fill.
void allocate_texels(int32_t e, int32_t f, bool transparent) {
    if (!transparent) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, e, f, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        return;
    }
    try {
        const std::vector<uint8_t> zeros(size_t(e) * size_t(f) * 4u, 0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, e, f, 0, GL_RGBA, GL_UNSIGNED_BYTE, zeros.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory();
    }
}

int32_t rgb_of(const uint8_t* rgba) {
    return rgba[0] | rgba[1] << 8 | rgba[2] << 16;
}

// Reads pixel (x, row) of the bound framebuffer as an RGB integer.
int32_t read_framebuffer_pixel(int32_t x, int32_t row) {
    uint8_t rgba[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return rgb_of(rgba);
}

// Turns bottom-up rows into top-down ones in place.
void flip_rows(SavedPicture* picture) {
    const size_t stride = size_t(picture->width) * 4u;
    for (int32_t top = 0, bottom = picture->height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(picture->bgra.begin() + top * stride,
                         picture->bgra.begin() + (top + 1) * stride,
                         picture->bgra.begin() + bottom * stride);
    }
}

// Encodes the picture for the path's kind and puts it in place of the file; a picture the
// encoder refuses or a failed write is false, while running out of memory ends the program.
bool write_picture(const char* path, const SavedPicture& picture) {
    std::vector<uint8_t> file;
    try {
        if (!encode_image(picture, image_kind_for_path(path), &file)) return false;
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory();
    }
    return platform::replace_file(platform::native_path(path), file.data(), file.size());
}

// Shared end of both save commands: a "mem://" name or a failed read or write is error 3.
bool save_picture(const StringValue& path, bool (*read)(VoruRERarudeve&, int32_t, SavedPicture*),
                  int32_t slot) {
    VoruRERarudeve* renderer = ready_renderer();
    SavedPicture picture;
    const char* name = path.c_str();
    const bool saved = renderer && !is_memory_name(name) && read(*renderer, slot, &picture) &&
                       write_picture(name, picture);
    if (!saved) set_error(kErrorNoSuchFile);
    return saved;
}

}  // namespace

// ---- Renderer operations ----

int32_t VoruRERarudeve::drawing_height() const {
    const OffscreenTarget* target = targets_.framebuffer_target();
    return target ? sprite_store_.slot(target->slot).img_h : display_.height();
}

void VoruRERarudeve::create_target(int32_t n, int32_t slot, int32_t w, int32_t h) {
    const int32_t max_side = max_texture_side();
    if (n < 0 || n >= kTargetCount || !valid_sprite_slot(slot) || w < 1 || h < 1 || w > max_side ||
        h > max_side || !context_ready_) {
        return;
    }
    // Its texture and framebuffer are about to be replaced.
    const int32_t current = targets_.current();
    if (current >= 0 && (current == n || targets_.record(current).slot == slot)) finish_target();
    release_target(n);
    free_sprite(slot);
    // The sides the upload makes (at least 16) are the sides of everything else too.
    const int32_t e = texture_side_for(w), f = texture_side_for(h);
    const uint32_t texture = new_texture(GL_LINEAR, GL_LINEAR);
    allocate_texels(e, f, true);
    sprite_store_.install(slot, texture, 0, w, h, e, f);
    // The new texture was bound behind the cache's back.
    invalidate_gl_state_cache();
    bind_sprite(-1, -1, false);

    targets_.make(n, slot, texture, e, f);
}

void VoruRERarudeve::use_target(int32_t n) {
    finish_target();
    if (n < 0 || n >= kTargetCount || !targets_.record(n).created) return;
    const OffscreenTarget& target = targets_.record(n);
    const SpriteSlot& sprite = sprite_store_.slot(target.slot);
    // A slot freed since has no picture to draw into.
    if (sprite.texture == 0) return;
    targets_.select(n, sprite.texture);
    if (target.fb_width != 0) {
        set_viewport(0, 0, sprite.img_w, sprite.img_h);
        glViewport(0, 0, sprite.img_w, sprite.img_h);
    } else {
        // The screen area is kept aside, filled with the key colour (transparent once copied
        // back) and given the target's earlier picture; drawing then happens there.
        set_viewport(0, 0, sprite.img_w, sprite.img_h);
        grab(kTargetScratchSlot, 0, 0, sprite.img_w, sprite.img_h);
        kvn::draw_rect(0, 0, sprite.img_w, sprite.img_h, sprite_key_);
        kvn::draw_sprite(target.slot, 0, 0);
    }
    sprite_store_.drop_collision_mask(target.slot);
}

void VoruRERarudeve::finish_target() {
    if (targets_.current() >= 0) {
        const OffscreenTarget& target = targets_.record(targets_.current());
        const SpriteSlot& sprite = sprite_store_.slot(target.slot);
        if (target.fb_width == 0) {
            // Opaque drawing for the copy and the restore, whatever the program's alpha mode;
            // only the area the scratch copy covers is cleared.
            set_viewport(0, 0, sprite.img_w, sprite.img_h);
            grab(target.slot, 0, 0, sprite.img_w, sprite.img_h);
            kvn::draw_rect(0, 0, sprite.img_w, sprite.img_h, 0);
            kvn::draw_sprite(kTargetScratchSlot, 0, 0);
        }
        sprite_store_.drop_collision_mask(target.slot);
        targets_.deselect();
    }
    set_viewport(0, 0, 0, 0);
}

void VoruRERarudeve::release_target(int32_t n) {
    targets_.release(n, context_ready_);
}

bool VoruRERarudeve::grab(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h) {
    const int32_t max_side = max_texture_side();
    if (!valid_sprite_slot(slot) || w < 1 || h < 1 || w > max_side || h > max_side) {
        return false;
    }
    const SpriteSlot& sprite = sprite_store_.slot(slot);
    const int32_t e = texture_side_for(w), f = texture_side_for(h);
    if (sprite.texture != 0 && sprite.tex_w == e && sprite.tex_h == f) {
        sprite_store_.install(slot, sprite.texture, sprite.mip_texture, w, h, e, f);
    } else {
        free_sprite(slot);
        const uint32_t texture = new_texture(GL_LINEAR, GL_LINEAR);
        allocate_texels(e, f, false);
        // The new texture changes the binding behind the cache's back.
        invalidate_gl_state_cache();
        sprite_store_.install(slot, texture, 0, w, h, e, f);
    }
    // A grabbed picture has no animation frames.
    sprite_store_.set_frame_size(slot, 0, 0);

    const int32_t row = drawing_height() - y - h;
    GLint alpha_bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &alpha_bits);
    if (alpha_bits != 0) {
        glBindTexture(GL_TEXTURE_2D, sprite.texture);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, row, w, h);
        invalidate_gl_state_cache();
        return true;
    }
    // No alpha in the framebuffer: the key colour, as the framebuffer stores it, becomes the
    // transparent part.
    const size_t bytes = size_t(e) * size_t(f) * 4u;
    try {
        if (grab_buffer_.size() < bytes) grab_buffer_.resize(bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, row, e, f, GL_BGRA, GL_UNSIGNED_BYTE, grab_buffer_.data());
    const int32_t key = stored_key_colour();
    for (size_t i = 0; i < bytes; i += 4) {
        uint8_t* bgra = grab_buffer_.data() + i;
        const int32_t colour = bgra[2] | bgra[1] << 8 | bgra[0] << 16;
        bgra[3] = colour == key ? 0 : 255;
    }
    glBindTexture(GL_TEXTURE_2D, sprite.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, e, f, GL_BGRA, GL_UNSIGNED_BYTE, grab_buffer_.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    invalidate_gl_state_cache();
    return true;
}

int32_t VoruRERarudeve::stored_key_colour() {
    if (sprite_key_ == kNoColourKey) return kNoColourKey;
    GLint red = 0, green = 0, blue = 0;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    // Eight bits a channel store every colour exactly.
    if (red == 8 && green == 8 && blue == 8) return sprite_key_;
    return probe_key_colour();
}

int32_t VoruRERarudeve::probe_key_colour() {
    if (sprite_key_ == 0) return 0;
    // The probe draws under a view of the whole framebuffer, so that a viewport smaller than
    // the probe's pixel cannot clip it; the program's view comes back afterwards.
    const OffscreenTarget* target = targets_.framebuffer_target();
    const int32_t view_w = target ? target->fb_width : display_.width();
    const int32_t view_h = target ? target->fb_height : display_.height();
    GLint view[4] = {};
    glGetIntegerv(GL_VIEWPORT, view);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glViewport(0, 0, view_w, view_h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, view_w, view_h, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);

    const int32_t row = view_h - 1 - kProbeY;
    const GLboolean blending = glIsEnabled(GL_BLEND);
    const GLboolean alpha_test = glIsEnabled(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    const int32_t remembered = read_framebuffer_pixel(kProbeX, row);
    kvn::set_pixel(kProbeX, kProbeY, sprite_key_);
    const int32_t stored = read_framebuffer_pixel(kProbeX, row);
    kvn::set_pixel(kProbeX, kProbeY, remembered);
    if (blending) glEnable(GL_BLEND);
    if (!alpha_test) glDisable(GL_ALPHA_TEST);
    invalidate_gl_state_cache();

    glViewport(view[0], view[1], view[2], view[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection);
    glMatrixMode(GL_MODELVIEW);
    return stored;
}

int32_t VoruRERarudeve::read_pixel(int32_t x, int32_t y) {
    return read_framebuffer_pixel(x, drawing_height() - 1 - y);
}

void VoruRERarudeve::copy_picture_to_background(int32_t index) {
    const int32_t width = display_.width(), height = display_.height();
    const int32_t max_side = max_texture_side();
    int32_t side = kFirstBackgroundTileSide;
    while (side < std::max(width, height) && side < max_side) side *= 2;
    const int32_t columns = std::min((width + side - 1) / side, kMaxBackgroundTiles);
    const int32_t rows = std::min((height + side - 1) / side, kMaxBackgroundTiles);
    BackgroundImage& background = sprite_store_.background_to_fill(index);
    const int32_t picture_height = drawing_height();
    for (int32_t row = 0; row < kMaxBackgroundTiles; ++row) {
        for (int32_t column = 0; column < kMaxBackgroundTiles; ++column) {
            BackgroundTile& tile = background.tiles[row * kMaxBackgroundTiles + column];
            if (row >= rows || column >= columns) {
                // Tiles of an earlier, larger picture are not needed any more.
                if (tile.texture != 0) glDeleteTextures(1, &tile.texture);
                tile = BackgroundTile();
                continue;
            }
            if (tile.texture != 0 && tile.tex_w == side && tile.tex_h == side) {
                glBindTexture(GL_TEXTURE_2D, tile.texture);
            } else {
                if (tile.texture != 0) glDeleteTextures(1, &tile.texture);
                tile.texture = new_texture(GL_LINEAR, GL_LINEAR);
                allocate_texels(side, side, false);
            }
            const int32_t x = column * side, y = row * side;
            tile.tex_w = side;
            tile.tex_h = side;
            tile.tile_w = std::min(side, width - x);
            tile.tile_h = std::min(side, height - y);
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, picture_height - y - tile.tile_h,
                                tile.tile_w, tile.tile_h);
        }
    }
    background.rows = rows;
    background.columns = columns;
    background.tile_side = side;
    invalidate_gl_state_cache();
    bind_sprite(-1, -1, false);
}

bool VoruRERarudeve::read_presented_picture(SavedPicture* picture) {
    platform::Window* window = display_.window();
    const int32_t width = display_.width(), height = display_.height();
    if (!window || width < 1 || height < 1) return false;
    picture->width = width;
    picture->height = height;
    // A scaled picture was presented from an off-screen picture of the program's size.
    if (display_.scaled()) return read_framebuffer_picture(display_.presented_framebuffer(), picture);
    if (platform::window_read_shown_pixels(window, width, height, &picture->bgra)) return true;
    // Where the window system cannot be asked, the GL front buffer is the next best thing.
    return read_framebuffer_picture(0, picture);
}

bool VoruRERarudeve::read_framebuffer_picture(uint32_t framebuffer, SavedPicture* picture) {
    try {
        picture->bgra.assign(size_t(picture->width) * size_t(picture->height) * 4u, 0);
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory();
    }
    GLint previous = 0;
    if (gl::glBindFramebufferEXT) {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
        gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    }
    if (framebuffer == 0) glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, picture->width, picture->height, GL_BGRA, GL_UNSIGNED_BYTE,
                 picture->bgra.data());
    if (framebuffer == 0) glReadBuffer(GL_BACK);
    if (gl::glBindFramebufferEXT) {
        gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previous));
    }
    for (size_t i = 3; i < picture->bgra.size(); i += 4) picture->bgra[i] = 255;
    flip_rows(picture);
    return true;
}

bool VoruRERarudeve::read_sprite_picture(int32_t slot, SavedPicture* picture) {
    if (!valid_sprite_slot(slot)) return false;
    const SpriteSlot& sprite = sprite_store_.slot(slot);
    if (sprite.texture == 0 || sprite.img_w < 1 || sprite.img_h < 1) return false;
    glBindTexture(GL_TEXTURE_2D, sprite.texture);
    invalidate_gl_state_cache();
    GLint tex_w = 0, tex_h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tex_w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &tex_h);
    const int32_t w = std::min<int32_t>(sprite.img_w, tex_w);
    const int32_t h = std::min<int32_t>(sprite.img_h, tex_h);
    if (w < 1 || h < 1) {
        bind_sprite(-1, -1, false);
        return false;
    }
    std::vector<uint8_t> texels;
    try {
        texels.resize(size_t(tex_w) * size_t(tex_h) * 4u);
        picture->bgra.resize(size_t(w) * size_t(h) * 4u);
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory();
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
    bind_sprite(-1, -1, false);
    picture->width = w;
    picture->height = h;
    // Texture row 0 is the image's bottom row.
    for (int32_t y = 0; y < h; ++y) {
        std::copy_n(texels.data() + size_t(h - 1 - y) * size_t(tex_w) * 4u, size_t(w) * 4u,
                    picture->bgra.data() + size_t(y) * size_t(w) * 4u);
    }
    return true;
}

// ---- Commands ----

void create_screen(int32_t n, int32_t slot, int32_t w, int32_t h) {
    if (VoruRERarudeve* renderer = ready_renderer()) renderer->create_target(n, slot, w, h);
}

void use_screen(int32_t n) {
    if (VoruRERarudeve* renderer = ready_renderer()) renderer->use_target(n);
}

int32_t grab_sprite(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h) {
    VoruRERarudeve* renderer = ready_renderer();
    return renderer && renderer->grab(slot, x, y, w, h) ? 1 : 0;
}

void use_screen_as_background() {
    if (VoruRERarudeve* renderer = ready_renderer()) renderer->copy_picture_to_background(0);
}

int32_t get_pixel(int32_t x, int32_t y) {
    VoruRERarudeve* renderer = ready_renderer();
    return renderer ? renderer->read_pixel(x, y) : 0;
}

bool save_screen(const StringValue& path) {
    return save_picture(
        path,
        [](VoruRERarudeve& renderer, int32_t, SavedPicture* picture) {
            return renderer.read_presented_picture(picture);
        },
        0);
}

bool save_sprite(const StringValue& path, int32_t slot) {
    return save_picture(
        path,
        [](VoruRERarudeve& renderer, int32_t sprite, SavedPicture* picture) {
            return renderer.read_sprite_picture(sprite, picture);
        },
        slot);
}

}  // namespace kvn
