// The renderer: the owner of the window and frame pacer, the GL state, the sprite store, the
// off-screen target records and the text buffer; it keeps the 2D view and the drawing settings.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/display.h"
#include "gfx/font_layout.h"
#include "gfx/gl_state.h"
#include "gfx/offscreen_targets.h"
#include "gfx/poly_batch.h"
#include "gfx/sprite_geometry.h"
#include "gfx/sprite_store.h"
#include "gfx/text_buffer.h"
#include "image/image_writers.h"

namespace kvn {

// One corner of a fan: position and texture coordinates (16 bytes).
struct FanVertex {
    float x;
    float y;
    float u;
    float v;
};

class VoruRERarudeve {
  public:
    VoruRERarudeve();
    // Releases the window and the context.
    virtual ~VoruRERarudeve();

    // Opens the window and context, loads extensions and resets the viewport.
    bool create(void* instance, int32_t width, int32_t height, int32_t colour_bits,
                int32_t frames_per_second, int32_t samples);
    // Leaves full screen and gives the window its framed style and size; resets the view.
    void set_windowed();
    // Switches to an exact full-screen mode (false: windowed again); resets the view.
    bool set_fullscreen();
    // Stores each non-zero size value, then switches to full screen or windowed.
    void set_mode(int32_t width, int32_t height, int32_t colour_bits, bool fullscreen_mode);
    // Viewport and 2D projection reset; w or h of 0 or less means the whole screen.
    void set_viewport(int32_t x, int32_t y, int32_t w, int32_t h);
    // Finishes a selected target, then swaps, clears and waits for the frame deadline.
    void present(PumpHook hook);
    // Frees every image while the context exists, then closes the window.
    void destroy_window();
    // Default 2D drawing state at the start of a frame: blending off, alpha test on, white.
    void start_next_frame();
    // The window and frame pacer.
    Display& display() { return display_; }
    const Display& display() const { return display_; }
    // True once create has succeeded.
    bool ready() const { return context_ready_; }

    // ---- Sprite store ----

    // The sprite table, the background images and the collision masks.
    SpriteStore& sprite_store() { return sprite_store_; }
    const SpriteStore& sprite_store() const { return sprite_store_; }
    // Frees the slot, then decodes the file or "mem://" image and uploads it (sprites with a
    // mipmapped copy, fonts without); false leaves the slot empty.
    bool load_sprite_file(int32_t slot, const char* path, int32_t key, bool normal_map,
                          bool is_font);
    // Deletes the slot's textures and forgets its image and alpha plane; the frame size stays.
    void free_sprite(int32_t slot);
    // Frees background image index, then decodes the file without key and cuts it into tiles.
    bool load_background_file(int32_t index, const char* path);
    // Draws the tiles of background image index side by side from the top-left.
    void draw_background(int32_t index);
    // Deletes the tile textures of background image index.
    void free_background(int32_t index);
    // Puts the built-in 8 x 8 font into font n.
    void make_builtin_font(int32_t font);
    // The largest texture side the driver takes.
    int32_t max_texture_side() const;

    // ---- Drawing ----

    // Binds the slot's texture (or its mipmapped copy) on unit 0 with repeat wrapping; a
    // second slot >= 0 goes to unit 0 and the slot to unit 1. A negative slot unbinds.
    void bind_sprite(int32_t slot, int32_t second_slot, bool use_mip);
    // bind_sprite(slot, -1, false) for a draw_fan that follows: the texture gets the fan's
    // clamp-to-edge wrapping at once, as the repeat wrapping in between is never drawn with.
    void bind_sprite_for_fan(int32_t slot);
    // Linear or nearest filtering of the bound texture, per smooth.
    void apply_filter();
    // One triangle fan of four corners, edges clamped; texture coordinates while a sprite is
    // bound.
    void draw_fan(const FanVertex corners[4]);
    // The GL state cache and the calls behind it.
    GlState& gl_state() { return gl_state_; }
    // The renderer sends a texture binding, texture parameter, switch or blend function only
    // when it differs from what it last set (a repeated call would also end the driver's
    // batching of the draws around it). Code that makes GL calls of its own on the renderer's
    // context (a video frame, a new context, a test) calls this afterwards: it forgets what
    // the renderer knew, so its next settings are all sent.
    void invalidate_gl_state_cache();

    // ---- Off-screen targets and screen grabs ----

    // Makes target n (0..31) draw into slot: a transparent texture of w x h and, when the
    // driver allows, a framebuffer object with a depth buffer. Bad numbers or sizes do nothing.
    void create_target(int32_t n, int32_t slot, int32_t w, int32_t h);
    // Finishes the current target, then selects target n; a negative n, a number above 31 or a
    // record never created leaves the screen selected.
    void use_target(int32_t n);
    // Puts the current target's picture into its slot and selects the screen; the viewport is
    // reset to the whole screen in every case.
    void finish_target();
    // Deletes target n's framebuffer objects and clears its record.
    void release_target(int32_t n);
    // Copies the w x h rectangle at (x, y) of the picture being drawn into slot; false for a
    // bad slot or size.
    bool grab(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h);
    // The key colour as the framebuffer being drawn stores it: the key itself with 8 bits a
    // channel, else probe_key_colour().
    int32_t stored_key_colour();
    // The key colour as drawn and read back (0 when the sprite key is 0): drawn at (4, 4) of
    // the whole framebuffer with blending off, read back, and the old pixel put back; the
    // viewport and projection are restored.
    int32_t probe_key_colour();
    // The RGB integer of pixel (x, y) of the picture being drawn.
    int32_t read_pixel(int32_t x, int32_t y);
    // Copies the picture being drawn into background image index (0..kBackgroundCount-1) as
    // tiles.
    void copy_picture_to_background(int32_t index);
    // The picture last presented (alpha 255); false when it cannot be read.
    bool read_presented_picture(SavedPicture* picture);
    // The picture of a framebuffer object, or of the window's front buffer for 0 (its size
    // already in picture), alpha 255.
    bool read_framebuffer_picture(uint32_t framebuffer, SavedPicture* picture);
    // The image part of the slot's texture with the texture's alpha; false for an empty slot.
    bool read_sprite_picture(int32_t slot, SavedPicture* picture);

    // ---- Records and settings ----

    const SpriteSlot& sprite(int32_t slot) const { return sprite_store_.slot(slot); }
    const BackgroundImage& background(int32_t index) const {
        return sprite_store_.background(index);
    }
    const OffscreenTarget& target(int32_t n) const { return targets_.record(n); }
    // The selected off-screen target, -1 for the screen.
    int32_t current_target() const { return targets_.current(); }
    // The whole-pixel rectangle of the 2D view on the screen.
    const PixelRect& viewport() const { return viewport_; }
    // Linear (true) or nearest filtering of sprite draws.
    bool smooth() const { return smooth_; }
    void set_smooth(bool smooth) { smooth_ = smooth; }
    // The alpha that drawing colours get (0..1).
    float alpha() const { return current_alpha_; }
    void set_alpha(float alpha) { current_alpha_ = alpha; }
    // Colour keys of sprite and font loads (RGB integers).
    int32_t sprite_key() const { return sprite_key_; }
    int32_t font_key() const { return font_key_; }
    void set_transparency(int32_t key) { sprite_key_ = font_key_ = key; }
    // Font number (0..31) that print_text draws with.
    int32_t current_font() const { return text_.current_font(); }
    void select_font(int32_t font) { text_.select_font(font); }
    // Slot of the last texture binding, -1 for none.
    int32_t current_sprite() const { return current_sprite_; }
    PolyBatch& poly_batch() { return poly_batch_; }
    // The text vertex buffer grown for count vertices.
    TextVertex* text_vertices(size_t count) { return text_.vertices(count); }

  private:
    Display display_;
    bool context_ready_ = false;
    GlState gl_state_;
    SpriteStore sprite_store_{gl_state_};
    OffscreenTargets targets_;
    PixelRect viewport_;
    bool smooth_ = true;
    float current_alpha_ = 0.0f;
    int32_t sprite_key_ = 0x8000FF;
    int32_t font_key_ = 0;
    PolyBatch poly_batch_;
    TextBuffer text_;
    int32_t current_sprite_ = -1;

    // bind_sprite with the wrap mode the texture on unit 0 gets.
    void bind_sprite_with_wrap(int32_t slot, int32_t second_slot, bool use_mip, int32_t wrap);

    // Bottom row of the picture being drawn, in framebuffer rows: the target's image height
    // inside a framebuffer target, else the screen height.
    int32_t drawing_height() const;

    // Pixels read back by grabs without alpha bits, kept from grab to grab.
    std::vector<uint8_t> grab_buffer_;

};

// Hands the graphics commands the renderer they use (the runtime's, at start-up); null
// detaches it at shutdown.
void attach_renderer(VoruRERarudeve* renderer);
// The attached renderer, or null.
VoruRERarudeve* attached_renderer();
// The attached renderer while its context is ready, else null: the commands that draw or
// touch GL use this one.
VoruRERarudeve* ready_renderer();

}  // namespace kvn
