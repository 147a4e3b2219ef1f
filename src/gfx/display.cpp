// The window and frame pacer: window and context life, display modes and the paced present.
#include "gfx/display.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>

#include "kvn/base.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/system.h"

namespace kvn {

namespace {

constexpr const char* kWindowClassTitle = "Korvane";
constexpr const char* kSoftwareCaption = "!!OpenGL Software Emulation!!";
constexpr const char* kSoftwareText =
    "Please update your GFX adapter's driver\nso it can render OpenGL by HARDWARE\n\n\n"
    "Bitte aktualisieren Sie Ihren\nGrafkkartentreiber, damit er OpenGL\nper HARDWARE "
    "unterst\xfctzt!";

// Frame pacing: sleep while more than kSleepAboveMs remain, waking kWakeEarlyMs early; then
// pump messages in sleeps of at most kWaitSliceMs until at most kLeaveAtMs remains.
constexpr double kSleepAboveMs = 7.0;
constexpr double kWakeEarlyMs = 3.0;
constexpr double kLeaveAtMs = 1.0;
constexpr double kWaitSliceMs = 1.0;

// The window's depth and stencil buffers are cleared once, when the context is made. Nothing
// enables the depth or stencil test, so GL never writes or reads them afterwards and each
// present clears the colour alone: on the software rasteriser the per-frame depth clear cost
// about a third of an idle frame's processor time. Depth and stencil are cleared together
// because they share one packed word, which a depth-only clear rewrites under a mask.
constexpr GLbitfield kWindowClearBits =
    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
constexpr GLbitfield kFrameClearBits = GL_COLOR_BUFFER_BIT;

// The software-renderer warning is shown once per process, whatever is re-created.
bool software_warning_shown = false;

// The context's renderer string, read once.
const std::string& renderer_string() {
    static const std::string name = [] {
        const char* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        return std::string(text ? text : "");
    }();
    return name;
}

bool is_software_renderer() {
    const std::string& name = renderer_string();
    return name.rfind("llvmpipe", 0) == 0 || name.rfind("softpipe", 0) == 0 ||
           name == "Software Rasterizer" || !platform::gl_accelerated_visual();
}

}  // namespace

double frame_period_for(int32_t frames_per_second) {
    return frames_per_second > 0 ? 1000.0 / frames_per_second : 2.0;
}

double advance_frame_deadline(double next_frame_ms, double period_ms, double now_ms) {
    if (period_ms <= 0.0) return next_frame_ms;
    double next = next_frame_ms + period_ms;
    if (now_ms > next) {
        next += period_ms;
        // More than two periods late: the schedule restarts from now.
        if (now_ms > next) return now_ms + period_ms;
    }
    return next;
}

Display::Display() : next_frame_ms_(clock_ms()) {}

Display::~Display() {
    close();
    platform::gl_context_delete(gl_context_);
    gl_context_ = nullptr;
}

platform::Window* Display::create_framed_window(int32_t samples) {
    int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
    platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
    platform::PixelFormat format;
    format.colour_bits = colour_bits_ != 0 ? colour_bits_ : desktop_bits;
    format.samples = samples;
    return platform::window_create(kWindowClassTitle, (desktop_width - width_) / 2,
                                   (desktop_height - height_) / 2, width_, height_, format);
}

bool Display::open(void* module_instance, int32_t requested_width, int32_t requested_height,
                   int32_t requested_bits, int32_t frames_per_second, int32_t samples) {
    frame_period_ms_ = frame_period_for(frames_per_second);
    instance_ = module_instance;
    if (!platform::video_init()) return false;

    width_ = requested_width;
    height_ = requested_height;
    colour_bits_ = requested_bits;
    int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
    platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
    if (colour_bits_ == 0) colour_bits_ = desktop_bits;
    if (width_ == 0) width_ = desktop_width;
    if (height_ == 0) height_ = desktop_height;

    window_ = create_framed_window(0);
    if (!window_) return false;
    fullscreen_ = false;

    if (!gl_context_) gl_context_ = platform::gl_context_create(window_);
    if (!platform::gl_make_current(window_, gl_context_)) {
        platform::gl_context_delete(gl_context_);
        gl_context_ = platform::gl_context_create(window_);
        platform::gl_make_current(window_, gl_context_);
    }
    if (!gl_context_) return false;

    // A window's pixel format is fixed at creation: a multisampled one means a new window,
    // trying n, n/2, ... samples, and a fresh context on it.
    for (int32_t tried = samples; tried > 0; tried /= 2) {
        platform::Window* multisampled = create_framed_window(tried);
        if (!multisampled) continue;
        platform::gl_release_current();
        platform::window_destroy(window_);
        window_ = multisampled;
        platform::gl_context_delete(gl_context_);
        gl_context_ = platform::gl_context_create(window_);
        platform::gl_make_current(window_, gl_context_);
        break;
    }

    warn_if_software_renderer();

    glClear(kWindowClearBits);
    next_frame_ms_ = clock_ms();
    platform::window_show(window_);
    platform::window_raise(window_);
    return true;
}

void Display::warn_if_software_renderer() {
    if (software_warning_shown || !is_software_renderer()) return;
    software_warning_shown = true;
    platform::message_box_warning(kSoftwareCaption, kSoftwareText);
    append_error_log("OpenGL Software Emulation");
}

void Display::set_windowed() {
    if (!window_) return;
    if (fullscreen_) platform::window_leave_fullscreen(window_);
    platform::window_set_always_on_top(window_, false);
    platform::window_set_bordered(window_, true);
    int x = 0, y = 0;
    if (!platform::window_position(window_, &x, &y) || fullscreen_) {
        int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
        platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
        x = (desktop_width - width_) / 2;
        y = (desktop_height - height_) / 2;
    }
    platform::window_set_bounds(window_, x, y, width_, height_);
    platform::window_show(window_);
    platform::window_raise(window_);
    fullscreen_ = false;
}

bool Display::set_fullscreen() {
    int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
    platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
    // First with the requested depth (when it differs from the desktop's), then size only.
    int32_t mode_bits = (colour_bits_ != 0 && colour_bits_ != desktop_bits) ? colour_bits_ : 0;
    if (!platform::display_has_mode(width_, height_, mode_bits)) {
        mode_bits = 0;
        if (!platform::display_has_mode(width_, height_, 0)) {
            platform::beep();
            append_error_log("No Fullscreen Mode available");
            set_windowed();
            return false;
        }
    }

    platform::Window* old_window = window_;
    const std::string title = platform::window_title(old_window).substr(0, 512);
    // open sets the period from a whole frame rate, and 1000 / period truncated would turn
    // 60 frames per second into 59: the period is kept as it was.
    const double kept_period_ms = frame_period_ms_;
    const bool opened = open(instance_, width_, height_, colour_bits_,
                             static_cast<int32_t>(1000.0 / frame_period_ms_), 0);
    frame_period_ms_ = kept_period_ms;
    if (!opened) {
        window_ = old_window;
        return false;
    }
    platform::window_set_title(window_, title.c_str());
    platform::window_destroy(old_window);
    platform::window_set_bordered(window_, false);
    platform::window_set_bounds(window_, 0, 0, width_, height_);
    if (!platform::window_enter_fullscreen(window_, width_, height_, mode_bits)) {
        platform::beep();
        append_error_log("No Fullscreen Mode available");
        set_windowed();
        return false;
    }
    platform::window_show(window_);
    platform::window_raise(window_);
    platform::window_set_always_on_top(window_, true);
    fullscreen_ = true;
    return true;
}

void Display::set_mode(int32_t new_width, int32_t new_height, int32_t new_bits,
                       bool fullscreen_mode) {
    if (new_width != 0) width_ = new_width;
    if (new_height != 0) height_ = new_height;
    if (new_bits != 0) colour_bits_ = new_bits;
    if (fullscreen_mode) {
        set_fullscreen();
    } else {
        set_windowed();
    }
}

void Display::pump_messages(PumpHook hook) {
    platform::Message message{};
    if (hook) {
        while (platform::peek_message(window_, &message)) {
            hook();
            if (!platform::remove_message(window_, &message)) break;
            platform::dispatch_message(message);
        }
    } else {
        while (platform::remove_message(window_, &message)) platform::dispatch_message(message);
    }
}

void Display::present(PumpHook hook) {
    platform::gl_swap(window_);
    glClear(kFrameClearBits);

    // Sleep while more than 7 ms remain (waking 3 ms early), then wait with the message pump
    // until at most 1 ms remains. The waiting is done in short precise sleeps rather than by
    // spinning: the platform's sleep is exact to a small fraction of a millisecond, so the
    // deadline is met as closely at a fraction of the processor time.
    double now = 0.0;
    for (;;) {
        pump_messages(hook);
        now = clock_ms();
        const double remaining = next_frame_ms_ - now;
        if (remaining > kSleepAboveMs) {
            const double nap = remaining - kWakeEarlyMs;
            platform::sleep_ms(static_cast<uint32_t>(nap));
            now += nap;
            if (nap > kLeaveAtMs) continue;
            break;
        }
        if (remaining <= kLeaveAtMs) break;
        platform::sleep_precise_ms(std::min(remaining - kLeaveAtMs, kWaitSliceMs));
    }
    next_frame_ms_ = advance_frame_deadline(next_frame_ms_, frame_period_ms_, now);
}

void Display::close() {
    if (!window_) return;
    if (fullscreen_) platform::window_leave_fullscreen(window_);
    fullscreen_ = false;
    platform::gl_release_current();
    platform::window_destroy(window_);
    window_ = nullptr;
    width_ = 0;
    height_ = 0;
}

void Display::hide() {
    if (!window_) return;
    if (fullscreen_) platform::window_leave_fullscreen(window_);
    platform::window_hide(window_);
    fullscreen_ = false;
}

}  // namespace kvn
