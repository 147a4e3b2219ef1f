// Where the program's picture of w x h lands in a larger (or smaller) output of W x H, and how
// points map between the two. Plain arithmetic over plain numbers, no backend: the window
// service maps the pointer with it and the renderer places its scaled copy with it.
#pragma once

#include <cstdint>

namespace kvn::platform {

// How the picture is scaled into the output.
enum class ScaleMode {
    kFit,      // the largest size that fits with the aspect kept, centred, black bars
    kInteger,  // the largest whole multiple that fits, centred (fit when not even 1x fits)
    kStretch,  // the whole output, aspect not kept
};

// "fit", "integer" or "stretch"; anything else (and null) is fit.
ScaleMode scale_mode_named(const char* name);

// A whole-pixel rectangle, top-left origin.
struct PixelArea {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The picture's place in the output.
struct PictureScale {
    int32_t picture_width = 0;
    int32_t picture_height = 0;
    int32_t output_width = 0;
    int32_t output_height = 0;
    // Where the picture is drawn, in output pixels; empty when a size is not positive.
    PixelArea area;
};

// The destination of a w x h picture in a W x H output under the mode. Non-positive sizes give
// an empty area.
PictureScale scale_picture(int32_t picture_width, int32_t picture_height, int32_t output_width,
                           int32_t output_height, ScaleMode mode);

// The window scale KVN_WINDOW_SCALE names: a whole number from 1 to kMaxWindowScale; anything
// else (and null) is 1.
constexpr int32_t kMaxWindowScale = 16;
int32_t window_scale_named(const char* text);
// The window scale a w x h picture can use: scale when the enlarged window keeps within
// kMaxOutputSide on both sides, else 1.
constexpr int32_t kMaxOutputSide = 16384;
int32_t usable_window_scale(int32_t scale, int32_t picture_width, int32_t picture_height);

// True when the picture covers the output one to one (no copy needed beyond a plain one).
bool is_identity(const PictureScale& scale);
// True when the picture's area is a whole multiple of its size on both sides (drawn sharp).
bool is_whole_multiple(const PictureScale& scale);

// The picture pixel under output point (x, y). A point outside the picture (on a bar, or off
// the output) reads as the nearest edge pixel; with an empty area it reads (0, 0).
void output_to_picture(const PictureScale& scale, int32_t x, int32_t y, int32_t* picture_x,
                       int32_t* picture_y);

// The output point at the centre of picture pixel (x, y), kept inside the output. A point off
// the picture continues the mapping before it is kept inside.
void picture_to_output(const PictureScale& scale, int32_t x, int32_t y, int32_t* output_x,
                       int32_t* output_y);

// Relative motion of delta output pixels along a side, in picture pixels. The part of a pixel
// left over is kept in *carry (start at 0) for the next motion, so slow motion adds up.
int32_t motion_to_picture(int32_t delta, int32_t picture_side, int32_t area_side, int64_t* carry);

}  // namespace kvn::platform
