// Windows and OpenGL contexts on SDL2.
#include "platform/window.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>

#include "platform/journal.h"
#include "platform/picture_mapping.h"
#include "platform/picture_scale.h"

namespace kvn::platform {

namespace {

SDL_Window* sdl(Window* window) {
    return reinterpret_cast<SDL_Window*>(window);
}
Window* wrap(SDL_Window* window) {
    return reinterpret_cast<Window*>(window);
}

// Reports a failed SDL call with SDL's reason on standard error (the log keeps its own lines).
void report_failure(const char* what) {
    std::fprintf(stderr, "kvn: %s: %s\n", what, SDL_GetError());
}

// The GL library the context comes from, for the export check of entry points.
void* gl_library() {
    static void* library = [] {
        void* handle = dlopen("libGL.so.1", RTLD_LAZY | RTLD_NOLOAD);
        if (!handle) handle = dlopen("libGL.so.1", RTLD_LAZY);
        if (!handle) handle = dlopen("libGL.so", RTLD_LAZY);
        return handle;
    }();
    return library;
}

// The one window whose picture is scaled, its scale, and the parts of a picture pixel of
// relative motion not reported yet.
struct ScaledWindow {
    SDL_Window* window = nullptr;
    PictureScale scale;
    int64_t carry_x = 0;
    int64_t carry_y = 0;
};

ScaledWindow scaled;

}  // namespace

void window_set_picture_scale(Window* window, const PictureScale* scale) {
    scaled = ScaledWindow();
    if (window && scale && !is_identity(*scale)) {
        scaled.window = sdl(window);
        scaled.scale = *scale;
    }
}

void map_pointer_to_picture(int* x, int* y, int* dx, int* dy) {
    if (!scaled.window) return;
    const PictureScale& scale = scaled.scale;
    output_to_picture(scale, *x, *y, x, y);
    *dx = motion_to_picture(*dx, scale.picture_width, scale.area.width, &scaled.carry_x);
    *dy = motion_to_picture(*dy, scale.picture_height, scale.area.height, &scaled.carry_y);
}

void map_picture_to_window(SDL_Window* window, int* x, int* y) {
    if (!window || window != scaled.window) return;
    picture_to_output(scaled.scale, *x, *y, x, y);
}

bool video_init() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    // The runtime reads the keyboard as state; no text input events are wanted.
    SDL_SetHint(SDL_HINT_IME_SHOW_UI, "0");
    // Mouse buttons are read as device state: a click arriving just after the window gained
    // the focus counts too (SDL drops it by default).
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        report_failure("cannot start the video subsystem");
        return false;
    }
    // Without a display SDL falls back to drawing off screen, where nobody could see or
    // steer the game: that counts as no display, unless it was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    if (driver && SDL_strcmp(driver, "offscreen") == 0 &&
        !(wanted && SDL_strcmp(wanted, "offscreen") == 0)) {
        std::fprintf(stderr, "kvn: no display to open a window on\n");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    SDL_StopTextInput();
    return true;
}

Window* window_create(const char* title, int x, int y, int width, int height,
                      const PixelFormat& format) {
    if (!video_init()) return nullptr;
    const int channel_bits = format.colour_bits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel_bits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel_bits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel_bits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, format.samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, format.samples > 0 ? format.samples : 0);
    // A compatibility context: the renderer draws with the fixed-function pipeline.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    SDL_Window* window =
        SDL_CreateWindow(title, x, y, width > 0 ? width : 1, height > 0 ? height : 1, flags);
    if (!window) report_failure("cannot create the window");
    return wrap(window);
}

void window_destroy(Window* window) {
    if (!window) return;
    if (sdl(window) == scaled.window) scaled = ScaledWindow();
    SDL_DestroyWindow(sdl(window));
}

void window_set_title(Window* window, const char* title) {
    SDL_SetWindowTitle(sdl(window), title);
}

std::string window_title(Window* window) {
    const char* title = SDL_GetWindowTitle(sdl(window));
    return title ? title : "";
}

void window_show(Window* window) {
    SDL_ShowWindow(sdl(window));
}

void window_hide(Window* window) {
    SDL_HideWindow(sdl(window));
}

void window_raise(Window* window) {
    SDL_RaiseWindow(sdl(window));
    SDL_SetWindowInputFocus(sdl(window));
}

void window_set_bordered(Window* window, bool bordered) {
    SDL_SetWindowBordered(sdl(window), bordered ? SDL_TRUE : SDL_FALSE);
}

void window_set_always_on_top(Window* window, bool on_top) {
    SDL_SetWindowAlwaysOnTop(sdl(window), on_top ? SDL_TRUE : SDL_FALSE);
}

void window_set_bounds(Window* window, int x, int y, int width, int height) {
    SDL_SetWindowSize(sdl(window), width, height);
    SDL_SetWindowPosition(sdl(window), x, y);
}

namespace {

// A pair of numbers and whether they could be read, as one report.
struct NumberPair {
    bool known = false;
    int first = 0;
    int second = 0;
};

template <class Live>
NumberPair report_pair(journal::Kind kind, Live live) {
    return journal::report<NumberPair>(
        kind, live,
        [](journal::ValueWriter& w, const NumberPair& v) {
            w.u8(v.known ? 1 : 0).i32(v.first).i32(v.second);
        },
        [](journal::ValueReader& r) {
            NumberPair v;
            v.known = r.u8() != 0;
            v.first = r.i32();
            v.second = r.i32();
            return v;
        },
        NumberPair{});
}

}  // namespace

bool window_position(Window* window, int* x, int* y) {
    const NumberPair position = report_pair(journal::Kind::kWindowPosition, [window] {
        NumberPair live;
        if (window) {
            live.known = true;
            SDL_GetWindowPosition(sdl(window), &live.first, &live.second);
        }
        return live;
    });
    if (!position.known) return false;
    *x = position.first;
    *y = position.second;
    return true;
}

void window_size(Window* window, int* width, int* height) {
    const NumberPair size = report_pair(journal::Kind::kWindowSize, [window] {
        NumberPair live;
        live.known = true;
        if (window && sdl(window) == scaled.window) {
            live.first = scaled.scale.picture_width;
            live.second = scaled.scale.picture_height;
        } else {
            SDL_GetWindowSize(sdl(window), &live.first, &live.second);
        }
        return live;
    });
    *width = size.first;
    *height = size.second;
}

bool window_has_input_focus(Window* window) {
    return journal::report_flag(journal::Kind::kInputFocus, [window] {
        return window && SDL_GetKeyboardFocus() == sdl(window);
    });
}

void desktop_mode(int* width, int* height, int* bits_per_pixel) {
    struct Mode {
        int width = 0, height = 0, bits = 24;
    };
    const Mode mode = journal::report<Mode>(
        journal::Kind::kDesktopMode,
        [] {
            Mode live;
            SDL_DisplayMode desktop{};
            if (video_init() && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
                live.width = desktop.w;
                live.height = desktop.h;
                live.bits = static_cast<int>(SDL_BITSPERPIXEL(desktop.format));
            }
            return live;
        },
        [](journal::ValueWriter& w, const Mode& v) { w.i32(v.width).i32(v.height).i32(v.bits); },
        [](journal::ValueReader& r) {
            Mode v;
            v.width = r.i32();
            v.height = r.i32();
            v.bits = r.i32();
            return v;
        },
        Mode{});
    *width = mode.width;
    *height = mode.height;
    *bits_per_pixel = mode.bits;
}

namespace {

// The display's mode of exactly this size (and depth, unless 0).
bool find_display_mode(int display, int width, int height, int bits_per_pixel,
                       SDL_DisplayMode* found) {
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display, i, &mode) != 0) continue;
        if (mode.w != width || mode.h != height) continue;
        if (bits_per_pixel != 0 &&
            static_cast<int>(SDL_BITSPERPIXEL(mode.format)) != bits_per_pixel)
            continue;
        *found = mode;
        return true;
    }
    return false;
}

}  // namespace

bool display_has_mode(int width, int height, int bits_per_pixel) {
    return journal::report_flag(journal::Kind::kDisplayHasMode, [=] {
        SDL_DisplayMode mode{};
        return video_init() && find_display_mode(0, width, height, bits_per_pixel, &mode);
    });
}

namespace {

bool live_enter_fullscreen(Window* window, int width, int height, int bits_per_pixel) {
    const int display = SDL_GetWindowDisplayIndex(sdl(window));
    SDL_DisplayMode mode{};
    if (!find_display_mode(display < 0 ? 0 : display, width, height, bits_per_pixel, &mode))
        return false;
    if (SDL_SetWindowDisplayMode(sdl(window), &mode) != 0 ||
        SDL_SetWindowFullscreen(sdl(window), SDL_WINDOW_FULLSCREEN) != 0) {
        report_failure("cannot switch to full screen");
        return false;
    }
    return true;
}

}  // namespace

// A replay switches the window as the recorded run did, but the program sees the recorded
// answer whatever this display offers.
bool window_enter_fullscreen(Window* window, int width, int height, int bits_per_pixel) {
    const bool switched = live_enter_fullscreen(window, width, height, bits_per_pixel);
    return journal::report_flag(journal::Kind::kEnterFullscreen, [switched] { return switched; });
}

void window_leave_fullscreen(Window* window) {
    SDL_SetWindowFullscreen(sdl(window), 0);
}

// As with the exact mode, a replay switches the window as the recorded run did and the
// program sees the recorded answer.
bool window_enter_desktop_fullscreen(Window* window) {
    bool switched = window && SDL_SetWindowFullscreen(sdl(window), SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    if (window && !switched) report_failure("cannot cover the desktop");
    return journal::report_flag(journal::Kind::kEnterDesktopFullscreen,
                                [switched] { return switched; });
}

GlContext* gl_context_create(Window* window) {
    SDL_GLContext context = SDL_GL_CreateContext(sdl(window));
    if (!context) report_failure("cannot create the OpenGL context");
    return reinterpret_cast<GlContext*>(context);
}

bool gl_make_current(Window* window, GlContext* context) {
    if (!context) return false;
    if (SDL_GL_MakeCurrent(sdl(window), reinterpret_cast<SDL_GLContext>(context)) != 0) {
        report_failure("cannot make the OpenGL context current");
        return false;
    }
    // The runtime paces frames itself.
    SDL_GL_SetSwapInterval(0);
    return true;
}

void gl_release_current() {
    SDL_Window* current = SDL_GL_GetCurrentWindow();
    if (current) SDL_GL_MakeCurrent(current, nullptr);
}

void gl_context_delete(GlContext* context) {
    if (context) SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
}

bool gl_context_current() {
    return SDL_GL_GetCurrentContext() != nullptr;
}

void gl_swap(Window* window) {
    if (journal::mode() != journal::Mode::kOff) {
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(sdl(window), &width, &height);
        journal::end_frame(width, height);
    }
    SDL_GL_SwapWindow(sdl(window));
}

void gl_end_frame(int width, int height) {
    if (journal::mode() != journal::Mode::kOff) journal::end_frame(width, height);
}

void gl_swap_buffers(Window* window) {
    SDL_GL_SwapWindow(sdl(window));
}

void* gl_proc_address(const char* name) {
    if (!name || !*name || !gl_context_current()) return nullptr;
    // The GLX lookup hands out a stub for any name; only exported names are real.
    void* library = gl_library();
    if (!library || !dlsym(library, name)) return nullptr;
    return SDL_GL_GetProcAddress(name);
}

bool gl_accelerated_visual() {
    int accelerated = 1;
    if (SDL_GL_GetAttribute(SDL_GL_ACCELERATED_VISUAL, &accelerated) != 0) return true;
    return accelerated != 0;
}

}  // namespace kvn::platform
