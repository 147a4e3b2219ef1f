// The scaling rule of the program's picture and the point mappings.
#include "platform/picture_scale.h"

#include <algorithm>
#include <cstring>

namespace kvn::platform {

namespace {

// Floor division for a positive divisor.
int64_t floor_div(int64_t value, int64_t divisor) {
    int64_t quotient = value / divisor;
    if ((value % divisor) != 0 && value < 0) --quotient;
    return quotient;
}

int32_t clamp_to(int64_t value, int64_t low, int64_t high) {
    return static_cast<int32_t>(std::clamp(value, low, high));
}

// The aspect-kept fit: the side that limits takes the whole output, the other one is scaled
// with exact integer arithmetic (rounded down).
PixelArea fit_area(int64_t w, int64_t h, int64_t out_w, int64_t out_h) {
    PixelArea area;
    if (w * out_h <= out_w * h) {
        area.height = static_cast<int32_t>(out_h);
        area.width = static_cast<int32_t>(std::max<int64_t>(1, w * out_h / h));
    } else {
        area.width = static_cast<int32_t>(out_w);
        area.height = static_cast<int32_t>(std::max<int64_t>(1, h * out_w / w));
    }
    return area;
}

}  // namespace

ScaleMode scale_mode_named(const char* name) {
    if (name && std::strcmp(name, "integer") == 0) return ScaleMode::kInteger;
    if (name && std::strcmp(name, "stretch") == 0) return ScaleMode::kStretch;
    return ScaleMode::kFit;
}

int32_t window_scale_named(const char* text) {
    if (!text || !*text) return 1;
    int64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return 1;
        value = value * 10 + (*c - '0');
        if (value > kMaxWindowScale) return 1;
    }
    return value >= 1 ? static_cast<int32_t>(value) : 1;
}

int32_t usable_window_scale(int32_t scale, int32_t picture_width, int32_t picture_height) {
    if (scale <= 1 || picture_width <= 0 || picture_height <= 0) return 1;
    const int64_t widest = int64_t{scale} * std::max(picture_width, picture_height);
    return widest <= kMaxOutputSide ? scale : 1;
}

PictureScale scale_picture(int32_t picture_width, int32_t picture_height, int32_t output_width,
                           int32_t output_height, ScaleMode mode) {
    PictureScale scale;
    scale.picture_width = picture_width;
    scale.picture_height = picture_height;
    scale.output_width = output_width;
    scale.output_height = output_height;
    if (picture_width <= 0 || picture_height <= 0 || output_width <= 0 || output_height <= 0) {
        return scale;
    }
    const int64_t w = picture_width, h = picture_height, out_w = output_width,
                  out_h = output_height;
    PixelArea area;
    switch (mode) {
        case ScaleMode::kStretch:
            area.width = output_width;
            area.height = output_height;
            break;
        case ScaleMode::kInteger: {
            const int64_t factor = std::min(out_w / w, out_h / h);
            if (factor >= 1) {
                area.width = static_cast<int32_t>(w * factor);
                area.height = static_cast<int32_t>(h * factor);
            } else {
                area = fit_area(w, h, out_w, out_h);
            }
            break;
        }
        case ScaleMode::kFit:
            area = fit_area(w, h, out_w, out_h);
            break;
    }
    area.x = (output_width - area.width) / 2;
    area.y = (output_height - area.height) / 2;
    scale.area = area;
    return scale;
}

bool is_identity(const PictureScale& scale) {
    return scale.area.x == 0 && scale.area.y == 0 && scale.area.width == scale.picture_width &&
           scale.area.height == scale.picture_height && scale.picture_width > 0 &&
           scale.picture_height > 0;
}

bool is_whole_multiple(const PictureScale& scale) {
    return scale.picture_width > 0 && scale.picture_height > 0 &&
           scale.area.width % scale.picture_width == 0 &&
           scale.area.height % scale.picture_height == 0;
}

void output_to_picture(const PictureScale& scale, int32_t x, int32_t y, int32_t* picture_x,
                       int32_t* picture_y) {
    const PixelArea& area = scale.area;
    if (area.width <= 0 || area.height <= 0) {
        *picture_x = 0;
        *picture_y = 0;
        return;
    }
    // The picture pixel under the output pixel's centre, so that the way forwards (to the
    // output pixel under a picture pixel's centre) and back again gives the same pixel.
    const int64_t px = floor_div((2 * (int64_t{x} - area.x) + 1) * scale.picture_width,
                                 2 * int64_t{area.width});
    const int64_t py = floor_div((2 * (int64_t{y} - area.y) + 1) * scale.picture_height,
                                 2 * int64_t{area.height});
    *picture_x = clamp_to(px, 0, scale.picture_width - 1);
    *picture_y = clamp_to(py, 0, scale.picture_height - 1);
}

void picture_to_output(const PictureScale& scale, int32_t x, int32_t y, int32_t* output_x,
                       int32_t* output_y) {
    const PixelArea& area = scale.area;
    if (area.width <= 0 || area.height <= 0) {
        *output_x = 0;
        *output_y = 0;
        return;
    }
    // The centre of the pixel's span: (2x + 1) / 2 picture pixels from the area's edge.
    const int64_t ox =
        area.x + floor_div((2 * int64_t{x} + 1) * area.width, 2 * int64_t{scale.picture_width});
    const int64_t oy = area.y + floor_div((2 * int64_t{y} + 1) * area.height,
                                          2 * int64_t{scale.picture_height});
    *output_x = clamp_to(ox, 0, std::max(0, scale.output_width - 1));
    *output_y = clamp_to(oy, 0, std::max(0, scale.output_height - 1));
}

int32_t motion_to_picture(int32_t delta, int32_t picture_side, int32_t area_side, int64_t* carry) {
    if (picture_side <= 0 || area_side <= 0) return delta;
    const int64_t total = int64_t{delta} * picture_side + *carry;
    // Truncation towards zero keeps the carry's sign with the motion's.
    const int64_t moved = total / area_side;
    *carry = total - moved * area_side;
    return clamp_to(moved, INT32_MIN, INT32_MAX);
}

}  // namespace kvn::platform
