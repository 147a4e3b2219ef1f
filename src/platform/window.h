// The application window and its OpenGL context, and the display modes (SDL2 underneath).
// A failing call reports the reason on standard error; the caller gets the plain result.
#pragma once

#include <string>

namespace kvn::platform {

struct PictureScale;

// An application window (an SDL window with OpenGL underneath).
struct Window;
// An OpenGL rendering context, kept across re-created windows.
struct GlContext;

// Pixel format asked of a new window: depth 24, stencil 8, double buffered.
struct PixelFormat {
    int colour_bits = 24;
    int samples = 0;  // 0 = no multisampling
};

// Starts the video subsystem once per process; false when there is no display.
bool video_init();
// Creates a hidden, framed, non-resizable OpenGL window of the given client size.
Window* window_create(const char* title, int x, int y, int width, int height,
                      const PixelFormat& format);
// Destroys the window (its GL context survives).
void window_destroy(Window* window);
// Sets the title bar text.
void window_set_title(Window* window, const char* title);
// The title bar text.
std::string window_title(Window* window);
// Shows the window.
void window_show(Window* window);
// Hides the window.
void window_hide(Window* window);
// Brings the window to the top and gives it the input focus.
void window_raise(Window* window);
// Gives the window a frame (title bar and border) or takes it away.
void window_set_bordered(Window* window, bool bordered);
// Keeps the window above all others, or lets it be covered again.
void window_set_always_on_top(Window* window, bool on_top);
// Places the window's client area at (x, y) with the given client size.
void window_set_bounds(Window* window, int x, int y, int width, int height);
// The client area's position on the screen; false when it cannot be read.
bool window_position(Window* window, int* x, int* y);
// The client area's size in pixels.
void window_size(Window* window, int* width, int* height);
// True while the window has the keyboard focus (it is the active window).
bool window_has_input_focus(Window* window);
// Size and depth of the desktop's current display mode.
void desktop_mode(int* width, int* height, int* bits_per_pixel);
// True when the display offers exactly this mode (bits 0 = any depth).
bool display_has_mode(int width, int height, int bits_per_pixel);
// Full screen in exactly this mode of the display (bits 0 = any depth); false when the display
// has no such mode or the switch fails.
bool window_enter_fullscreen(Window* window, int width, int height, int bits_per_pixel);
// Leaves full screen, restoring the desktop's display mode.
void window_leave_fullscreen(Window* window);
// Borderless over the whole desktop, without changing the display mode; false when the switch
// fails. window_leave_fullscreen ends it.
bool window_enter_desktop_fullscreen(Window* window);
// The window shows the program's picture scaled as given: pointer positions and motion are
// read in the picture's pixels, warps go to where a picture pixel is shown, and window_size
// reports the picture's size. Null (or another window's call) ends the mapping.
void window_set_picture_scale(Window* window, const PictureScale* scale);

// Creates a GL context on the window; null on failure.
GlContext* gl_context_create(Window* window);
// Makes the context current on the window; false on failure.
bool gl_make_current(Window* window, GlContext* context);
// Detaches any context from the calling thread.
void gl_release_current();
// Deletes the context (null is ignored).
void gl_context_delete(GlContext* context);
// True when a GL context is current on the calling thread.
bool gl_context_current();
// Ends the frame for the recorder with the drawable's picture, then presents the back buffer.
void gl_swap(Window* window);
// Ends the frame for the recorder with the width x height picture of the bound framebuffer
// (the program's own picture when it is scaled on its way to the window).
void gl_end_frame(int width, int height);
// Presents the back buffer of a frame gl_end_frame ended.
void gl_swap_buffers(Window* window);
// Address of a GL entry point, or null; only names the GL library really exports count.
void* gl_proc_address(const char* name);
// False when the context's visual is not hardware accelerated.
bool gl_accelerated_visual();

}  // namespace kvn::platform
