// Drawing and sound commands the game calls whose public headers are still being written;
// removed once kvn/kvn.h declares them.
#pragma once

#include <kvn/kvn.h>

namespace kvn {

void load_sprite(const StringValue& path, int32_t slot);
void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour);
void start_poly(int32_t slot, int32_t mode);
void poly_vector(double x, double y, double tx, double ty, int32_t colour);
void poly_new_strip();
void end_poly();
void set_alpha_mode(double mode);
void rotate_sprite(int32_t slot, int32_t x, int32_t y, double angle);
void stretch_sprite(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h);
int32_t sprite_collision(int32_t slot1, int32_t x1, int32_t y1, int32_t slot2, int32_t x2,
                         int32_t y2);
void load_font(const StringValue& path, int32_t font);
void set_font(int32_t font);
void print_text(const StringValue& text, double x, double y);
void print_number(double number, double x, double y);

}  // namespace kvn
