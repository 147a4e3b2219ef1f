// 2D graphics: viewport and screen size, the sprite store, sprite and primitive drawing,
// collision tests and bitmap-font text. Colours are RGB integers red + 256 green + 65536 blue;
// slots are 0..65535 (fonts in the top 32), and commands given another slot do nothing.
#pragma once

#include <cstdint>

#include "kvn/value.h"

namespace kvn {

// ---- View and screen ----

// Sets the 2D viewport (top-left origin); w or h of 0 or less means the whole screen.
void set_viewport(int32_t x, int32_t y, int32_t w, int32_t h);
// The stored viewport rectangle as numbers.
void get_viewport(double& x, double& y, double& w, double& h);
// The stored viewport rectangle as integers.
void get_viewport_int(int32_t& x, int32_t& y, int32_t& w, int32_t& h);
// The screen (client) size in pixels as numbers.
void get_screen_size(double& width, double& height);
// The screen (client) size in pixels as integers.
void get_screen_size_int(int32_t& width, int32_t& height);

// ---- Sprite store ----

// Loads a BMP, PNG or JPEG file (or "mem://" image) into the slot, keyed with the colour set by
// set_transparency; error 3 and an empty slot when it cannot be loaded.
void load_sprite(const StringValue& path, int32_t slot);
// As load_sprite, the texture holding the normal map of the image's blue channel.
void load_normal_map(const StringValue& path, int32_t slot);
// load_sprite, then the frame size of the animation when the image loaded.
void load_animation(const StringValue& path, int32_t slot, int32_t frame_w, int32_t frame_h);
// Sets the animation frame size of a loaded slot.
void set_animation_frame_size(int32_t slot, int32_t frame_w, int32_t frame_h);
// The slot's image size as numbers; (0, 0) when empty.
void get_sprite_size(int32_t slot, double& width, double& height);
// The slot's image size as integers; (0, 0) when empty.
void get_sprite_size_int(int32_t slot, int32_t& width, int32_t& height);
// The GL texture name of the slot's image; 0 when empty.
int32_t get_sprite_texture(int32_t slot);
// Colour key of later sprite and font loads, and at once of primitives and polygon vertices.
void set_transparency(int32_t colour);
// The lowest empty sprite slot below the fonts, or -1.
int32_t get_free_sprite();
// Loads background image 0 (no key) and draws it; it is then drawn at the start of every frame.
// On failure error 3, no background and a black picture.
void load_background(const StringValue& path);
// Draws background image index (0..7) from the top-left when it is loaded.
void draw_background(int32_t index);

// ---- Drawing ----

// The sprite at (x, y), unscaled.
void draw_sprite(int32_t slot, int32_t x, int32_t y);
// The sprite stretched to w x h.
void stretch_sprite(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h);
// The sprite scaled by sx, sy about its centre; a negative scale mirrors.
void zoom_sprite(int32_t slot, int32_t x, int32_t y, double sx, double sy);
// The sprite turned by angle degrees (counter-clockwise) about its centre.
void rotate_sprite(int32_t slot, int32_t x, int32_t y, double angle);
// The sprite turned by angle degrees and zoomed about its centre.
void rotozoom_sprite(int32_t slot, int32_t x, int32_t y, double angle, double zoom);
// One animation frame at (x, y), unscaled.
void draw_animation(int32_t slot, int32_t frame, int32_t x, int32_t y);
// One animation frame turned and zoomed about its centre.
void rotozoom_animation(int32_t slot, int32_t frame, int32_t x, int32_t y, double angle,
                        double zoom);
// One animation frame stretched to w x h.
void stretch_animation(int32_t slot, int32_t frame, int32_t x, int32_t y, int32_t w, int32_t h);
// Begins a polygon batch with the slot's texture (negative: untextured); mode 0 fan,
// 1 separate triangles, 2 strip.
void start_poly(int32_t slot, int32_t mode);
// Adds a vertex at (x, y) showing image pixel (tx, ty), tinted by the colour.
void poly_vector(double x, double y, double tx, double ty, int32_t colour);
// Starts a new strip joined to the last by triangles without area.
void poly_new_strip();
// Draws the batch in one call.
void end_poly();
// One pixel.
void set_pixel(int32_t x, int32_t y, int32_t colour);
// A line including both end pixels.
void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour);
// A filled rectangle; a negative size covers the pixels ending at x (or y).
void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour);
// 0: opaque drawing; a > 0: additive at alpha min(a, 1); a < 0: blended at alpha min(-a, 1).
void set_alpha_mode(double alpha);
// Linear (non-zero) or nearest texture filtering for later drawing.
void set_smooth_filter(int32_t flag);
// Drops background image 0, sets the clear colour (kept for the clears of later frames) and
// clears the picture.
void clear_screen(int32_t colour);
// 1 when the two sprites at their places share a pixel where both are not transparent.
int32_t sprite_collision(int32_t slot1, int32_t x1, int32_t y1, int32_t slot2, int32_t x2,
                         int32_t y2);
// 1 when the two animation frames at their places share a pixel where both are not
// transparent.
int32_t animation_collision(int32_t slot1, int32_t frame1, int32_t x1, int32_t y1, int32_t slot2,
                            int32_t frame2, int32_t x2, int32_t y2);

// ---- Off-screen targets and screen grabs ----

// Makes target n (0..31) draw into slot: an empty w x h sprite (sides up to the largest
// texture); other numbers or sizes do nothing.
void create_screen(int32_t n, int32_t slot, int32_t w, int32_t h);
// Redirects drawing into target n; a negative n (or one never created) returns to the screen.
void use_screen(int32_t n);
// Copies the w x h rectangle at (x, y) of the picture into the slot, the key colour made
// transparent; 1, or 0 for a bad slot or size.
int32_t grab_sprite(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h);
// Copies the picture into background image 0, drawn at the start of every frame.
void use_screen_as_background();
// The RGB integer of pixel (x, y) of the picture being drawn.
int32_t get_pixel(int32_t x, int32_t y);
// Saves the picture last presented: PNG for ".png", JPEG for "jpg", else 24-bit BMP; false and
// error 3 on failure (an old file stays as it was).
bool save_screen(const StringValue& path);
// Saves the slot's image like save_screen, with its own alpha; false and error 3 on failure.
bool save_sprite(const StringValue& path, int32_t slot);

// ---- Bitmap-font text ----

// Loads a font image into font n (0..31) and selects it; a failure sets error 3 and puts the
// built-in font there. An empty path frees font n instead.
void load_font(const StringValue& path, int32_t n);
// Selects font n, limited to 0..31.
void set_font(int32_t n);
// Draws the text with the current font from (x, y) rounded up.
void print_text(const StringValue& text, double x, double y);
// Draws the number as text, like print_text.
void print_number(double number, double x, double y);
// Glyph width and height of the current font as numbers; (0, 0) when it is empty.
void get_font_size(double& width, double& height);
// Glyph width and height of the current font as integers.
void get_font_size_int(int32_t& width, int32_t& height);
// The lowest font number whose glyph width is 0, or -1.
int32_t get_free_font();

}  // namespace kvn
