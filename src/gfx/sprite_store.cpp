// The sprite table and the background images: decoding, GL upload, freeing, and the
// sprite-store commands.
#include "gfx/sprite_store.h"

#include <GL/gl.h>

#include <algorithm>
#include <new>

#include "base/error_state.h"
#include "files/media_archive.h"
#include "files/media_reader.h"
#include "gfx/gl_textures.h"
#include "gfx/renderer.h"
#include "kvn/base.h"
#include "kvn/gfx.h"

namespace kvn {

namespace {

// Pixel-store state every upload starts from.
void reset_unpack_state() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

// Forgets earlier GL errors, so the upload's own show afterwards (a bounded loop: a lost
// context can report errors forever).
void clear_gl_errors() {
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

void upload_level(GLint level, int32_t width, int32_t height, const uint8_t* texels) {
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels);
}

// Resolves a loader's name: a plain file or "mem://" image, else the first media archive's
// entry extracted into memory.
bool resolve_image_name(const StringValue& name, StringValue* resolved) {
    return resolve_in_first_archive(name, *resolved) != 0;
}

// load_sprite and load_normal_map.
void load_sprite_slot(const StringValue& path, int32_t slot, bool normal_map) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer || !valid_sprite_slot(slot)) return;
    error_state.error_code = kErrorSuccess;
    renderer->free_sprite(slot);
    StringValue resolved;
    if (!resolve_image_name(path, &resolved) ||
        !renderer->load_sprite_file(slot, resolved.c_str(), renderer->sprite_key(), normal_map,
                                    false)) {
        set_error(kErrorNoSuchFile);
    }
}

}  // namespace

SpriteStore::SpriteStore(GlState& gl_state)
    : gl_state_(gl_state), slots_(kSpriteSlotCount), masks_(kSpriteSlotCount) {}

void SpriteStore::set_frame_size(int32_t n, int32_t frame_w, int32_t frame_h) {
    SpriteSlot& sprite = slots_[n];
    if (sprite.img_w <= 0) return;
    sprite.frame_w = frame_w;
    sprite.frame_h = frame_h;
}

void SpriteStore::install(int32_t n, uint32_t texture, uint32_t mip_texture, int32_t img_w,
                          int32_t img_h, int32_t tex_w, int32_t tex_h) {
    SpriteSlot& sprite = slots_[n];
    sprite.texture = texture;
    sprite.mip_texture = mip_texture;
    sprite.tex_w = tex_w;
    sprite.tex_h = tex_h;
    sprite.img_w = img_w;
    sprite.img_h = img_h;
    sprite.u_max = static_cast<float>(img_w) / static_cast<float>(tex_w);
    sprite.v_max = static_cast<float>(img_h) / static_cast<float>(tex_h);
    masks_[n].reset();
}

void SpriteStore::free_slot(int32_t n, bool context_ready) {
    SpriteSlot& sprite = slots_[n];
    if (context_ready && (sprite.texture != 0 || sprite.mip_texture != 0)) {
        if (sprite.texture != 0) glDeleteTextures(1, &sprite.texture);
        if (sprite.mip_texture != 0) glDeleteTextures(1, &sprite.mip_texture);
        // A deleted texture unbinds, and its name may come back for a new one.
        gl_state_.invalidate();
    }
    sprite.texture = 0;
    sprite.mip_texture = 0;
    sprite.tex_w = -1;
    sprite.tex_h = -1;
    sprite.img_w = 0;
    sprite.img_h = 0;
    sprite.u_max = 1.0f;
    sprite.v_max = 1.0f;
    masks_[n].reset();
}

void SpriteStore::free_all(bool context_ready) {
    for (int32_t n = 0; n < kSpriteSlotCount; ++n) free_slot(n, context_ready);
    for (int32_t index = 0; index < kBackgroundCount; ++index) {
        free_background(index, context_ready);
    }
}

bool SpriteStore::decode_file(const char* path, int32_t key, DecodedImage* image) {
    image->width = 0;
    image->height = 0;
    if (!read_whole_media(path, &file_bytes_)) return false;
    const uint8_t* data = file_bytes_.data();
    const size_t size = file_bytes_.size();
    const int32_t max_side = largest_texture_side();
    const bool decoded = decode_bmp(data, size, key, max_side, image) ||
                         decode_png(data, size, path, key, max_side, image) ||
                         (!is_memory_name(path) && decode_jpeg(data, size, max_side, image));
    return decoded && image->width > 0 && image->height > 0;
}

bool SpriteStore::upload(const DecodedImage& image, int32_t x, int32_t y, int32_t w, int32_t h,
                         bool normal_map, bool is_font, uint32_t* texture, uint32_t* mip_texture,
                         int32_t* tex_w, int32_t* tex_h) {
    if (!prepare_texture(image, x, y, w, h, largest_texture_side(), is_font, &texture_)) {
        return false;
    }
    if (normal_map && !make_normal_map(&texture_)) return false;
    *tex_w = texture_.width;
    *tex_h = texture_.height;
    clear_gl_errors();

    // The new textures are bound behind the cache's back.
    gl_state_.invalidate();
    reset_unpack_state();
    if (*texture != 0) glDeleteTextures(1, texture);
    const GLint filter = is_font ? GL_NEAREST : GL_LINEAR;
    *texture = new_texture(filter, filter);
    upload_level(0, texture_.width, texture_.height, texture_.texels.data());

    if (mip_texture) {
        if (*mip_texture != 0) glDeleteTextures(1, mip_texture);
        *mip_texture = new_texture(GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR);
        build_mipmap_chain(&texture_, upload_level);
    }
    // The driver could not hold the texels (out of memory): the upload failed.
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, texture);
        *texture = 0;
        if (mip_texture) {
            glDeleteTextures(1, mip_texture);
            *mip_texture = 0;
        }
        return false;
    }
    return true;
}

bool SpriteStore::install_image(int32_t n, const DecodedImage& image, bool normal_map,
                                bool is_font) {
    SpriteSlot& sprite = slots_[n];
    int32_t tex_w = 0, tex_h = 0;
    if (!upload(image, 0, 0, 0, 0, normal_map, is_font, &sprite.texture,
                is_font ? nullptr : &sprite.mip_texture, &tex_w, &tex_h)) {
        free_slot(n, true);
        return false;
    }
    install(n, sprite.texture, sprite.mip_texture, image.width, image.height, tex_w, tex_h);
    return true;
}

bool SpriteStore::load_file(int32_t n, const char* path, int32_t key, bool normal_map,
                            bool is_font) {
    try {
        return decode_file(path, key, &decoded_) && install_image(n, decoded_, normal_map, is_font);
    } catch (const std::bad_alloc&) {
        free_slot(n, true);
        return false;
    }
}

void SpriteStore::free_background(int32_t index, bool context_ready) {
    BackgroundImage& background = backgrounds_[index];
    for (BackgroundTile& tile : background.tiles) {
        if (context_ready && tile.texture != 0) {
            glDeleteTextures(1, &tile.texture);
            gl_state_.invalidate();
        }
        tile = BackgroundTile();
    }
    background.rows = 0;
    background.columns = 0;
    background.tile_side = 0;
}

bool SpriteStore::load_background_file(int32_t index, const char* path) {
    try {
        if (!decode_file(path, kNoColourKey, &decoded_)) return false;
        BackgroundImage& background = backgrounds_[index];
        const int32_t side = std::min(largest_texture_side(), kMaxBackgroundTileSide);
        // Tiles beyond 8 x 8 are left out: the picture keeps its top-left 8 x 8 tiles.
        const int32_t columns = std::min((decoded_.width + side - 1) / side, kMaxBackgroundTiles);
        const int32_t rows = std::min((decoded_.height + side - 1) / side, kMaxBackgroundTiles);
        for (int32_t row = 0; row < rows; ++row) {
            for (int32_t column = 0; column < columns; ++column) {
                BackgroundTile& tile = background.tiles[row * kMaxBackgroundTiles + column];
                const int32_t x = column * side;
                const int32_t y = row * side;
                // An edge tile holds only the part of the picture that exists.
                tile.tile_w = std::min(side, decoded_.width - x);
                tile.tile_h = std::min(side, decoded_.height - y);
                if (!upload(decoded_, x, y, tile.tile_w, tile.tile_h, false, false, &tile.texture,
                            nullptr, &tile.tex_w, &tile.tex_h)) {
                    free_background(index, true);
                    return false;
                }
            }
        }
        background.rows = rows;
        background.columns = columns;
        background.tile_side = side;
        return true;
    } catch (const std::bad_alloc&) {
        free_background(index, true);
        return false;
    }
}

// ---- Renderer operations ----

int32_t VoruRERarudeve::max_texture_side() const {
    return largest_texture_side();
}

void VoruRERarudeve::free_sprite(int32_t slot) {
    sprite_store_.free_slot(slot, context_ready_);
}

bool VoruRERarudeve::load_sprite_file(int32_t slot, const char* path, int32_t key, bool normal_map,
                                      bool is_font) {
    free_sprite(slot);
    return context_ready_ && sprite_store_.load_file(slot, path, key, normal_map, is_font);
}

void VoruRERarudeve::free_background(int32_t index) {
    sprite_store_.free_background(index, context_ready_);
}

bool VoruRERarudeve::load_background_file(int32_t index, const char* path) {
    free_background(index);
    return context_ready_ && sprite_store_.load_background_file(index, path);
}

// ---- Commands ----

void load_sprite(const StringValue& path, int32_t slot) {
    load_sprite_slot(path, slot, false);
}

void load_normal_map(const StringValue& path, int32_t slot) {
    load_sprite_slot(path, slot, true);
}

void load_animation(const StringValue& path, int32_t slot, int32_t frame_w, int32_t frame_h) {
    load_sprite(path, slot);
    set_animation_frame_size(slot, frame_w, frame_h);
}

void set_animation_frame_size(int32_t slot, int32_t frame_w, int32_t frame_h) {
    VoruRERarudeve* renderer = attached_renderer();
    if (renderer && valid_sprite_slot(slot))
        renderer->sprite_store().set_frame_size(slot, frame_w, frame_h);
}

void get_sprite_size(int32_t slot, double& width, double& height) {
    int32_t w = 0, h = 0;
    get_sprite_size_int(slot, w, h);
    width = w;
    height = h;
}

void get_sprite_size_int(int32_t slot, int32_t& width, int32_t& height) {
    const VoruRERarudeve* renderer = attached_renderer();
    const bool known = renderer && valid_sprite_slot(slot);
    width = known ? renderer->sprite(slot).img_w : 0;
    height = known ? renderer->sprite(slot).img_h : 0;
}

int32_t get_sprite_texture(int32_t slot) {
    const VoruRERarudeve* renderer = attached_renderer();
    if (!renderer || !valid_sprite_slot(slot)) return 0;
    return static_cast<int32_t>(renderer->sprite(slot).texture);
}

int32_t get_free_sprite() {
    const VoruRERarudeve* renderer = attached_renderer();
    if (!renderer) return -1;
    for (int32_t slot = 0; slot < kFirstFontSlot; ++slot) {
        if (renderer->sprite(slot).img_w == 0) return slot;
    }
    return -1;
}

void load_background(const StringValue& path) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    error_state.error_code = kErrorSuccess;
    StringValue resolved;
    if (resolve_image_name(path, &resolved) &&
        renderer->load_background_file(0, resolved.c_str())) {
        renderer->draw_background(0);
        return;
    }
    set_error(kErrorNoSuchFile);
    renderer->free_background(0);
    clear_screen(0);
}

void draw_background(int32_t index) {
    VoruRERarudeve* renderer = ready_renderer();
    if (renderer && index >= 0 && index < kBackgroundCount) renderer->draw_background(index);
}

}  // namespace kvn
