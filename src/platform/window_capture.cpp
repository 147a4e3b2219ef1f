// The shown picture of a window through X11's image read of the window.
#include "platform/window_capture.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace kvn::platform {

namespace {

// Xlib's default handler ends the process; this one only notes that an error came.
bool x_error_seen = false;
int note_x_error(Display*, XErrorEvent*) {
    x_error_seen = true;
    return 0;
}

// Shift that moves a channel mask's lowest set bit to bit 0.
int mask_shift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// The 8-bit value of one channel of a pixel.
uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = mask_shift(mask);
    const unsigned long top = mask >> shift;
    return static_cast<uint8_t>(((pixel & mask) >> shift) * 255u / top);
}

// Copies the image into the picture at (left, top).
void copy_image(XImage* image, int left, int top, int width, std::vector<uint8_t>* bgra) {
    const bool plain_32_bit = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                              image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
                              image->blue_mask == 0xFF;
    for (int y = 0; y < image->height; ++y) {
        uint8_t* row = bgra->data() + (size_t(top + y) * size_t(width) + size_t(left)) * 4u;
        if (plain_32_bit) {
            std::memcpy(row, image->data + size_t(y) * size_t(image->bytes_per_line),
                        size_t(image->width) * 4u);
            for (int x = 0; x < image->width; ++x) row[x * 4 + 3] = 255;
            continue;
        }
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            row[x * 4] = channel(pixel, image->blue_mask);
            row[x * 4 + 1] = channel(pixel, image->green_mask);
            row[x * 4 + 2] = channel(pixel, image->red_mask);
            row[x * 4 + 3] = 255;
        }
    }
}

}  // namespace

bool window_read_shown_pixels(Window* window, int width, int height, std::vector<uint8_t>* bgra) {
    if (!window || width < 1 || height < 1) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(reinterpret_cast<SDL_Window*>(window), &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* display = info.info.x11.display;
    const ::Window x_window = info.info.x11.window;

    XSync(display, False);
    x_error_seen = false;
    auto* previous_handler = XSetErrorHandler(note_x_error);
    XWindowAttributes window_attributes{}, root_attributes{};
    int screen_x = 0, screen_y = 0;
    ::Window child = 0;
    XImage* image = nullptr;
    int left = 0, top = 0;
    if (XGetWindowAttributes(display, x_window, &window_attributes) &&
        XGetWindowAttributes(display, window_attributes.root, &root_attributes) &&
        XTranslateCoordinates(display, x_window, window_attributes.root, 0, 0, &screen_x, &screen_y,
                              &child)) {
        // Only the part on the screen can be read (elsewhere the read fails with BadMatch).
        left = std::max(0, -screen_x);
        top = std::max(0, -screen_y);
        const int right =
            std::min({width, window_attributes.width, root_attributes.width - screen_x});
        const int bottom =
            std::min({height, window_attributes.height, root_attributes.height - screen_y});
        if (right > left && bottom > top) {
            image = XGetImage(display, x_window, left, top, unsigned(right - left),
                              unsigned(bottom - top), AllPlanes, ZPixmap);
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous_handler);
    if (x_error_seen || !image) {
        if (image) XDestroyImage(image);
        if (x_error_seen) std::fprintf(stderr, "kvn: window image read: X error\n");
        return false;
    }
    bool copied = true;
    try {
        bgra->assign(size_t(width) * size_t(height) * 4u, 0);
        for (size_t i = 3; i < bgra->size(); i += 4) (*bgra)[i] = 255;
        copy_image(image, left, top, width, bgra);
    } catch (const std::bad_alloc&) {
        copied = false;
    }
    XDestroyImage(image);
    return copied;
}

}  // namespace kvn::platform
