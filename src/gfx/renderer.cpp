// The renderer's window and context life, display modes, the 2D view and the paced present.
#include "gfx/renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "gfx/gl_extensions.h"
#include "kvn/base.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/system.h"

namespace kvn {

VoruRERarudeve* active_renderer = nullptr;

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

VoruRERarudeve::VoruRERarudeve()
    : next_frame_ms(clock_ms()), sprites(kSpriteSlotCount), collision_masks_(kSpriteSlotCount) {}

VoruRERarudeve::~VoruRERarudeve() {
    if (window && context_ready) finish_target();
    for (int32_t n = 0; n < kTargetCount; ++n) release_target(n);
    destroy_window();
    platform::gl_context_delete(gl_context);
    gl_context = nullptr;
}

platform::Window* VoruRERarudeve::create_framed_window(int32_t samples) {
    int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
    platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
    platform::PixelFormat format;
    format.colour_bits = colour_bits != 0 ? colour_bits : desktop_bits;
    format.samples = samples;
    return platform::window_create(kWindowClassTitle, (desktop_width - width) / 2,
                                   (desktop_height - height) / 2, width, height, format);
}

bool VoruRERarudeve::create(void* module_instance, int32_t requested_width,
                            int32_t requested_height, int32_t requested_bits,
                            int32_t frames_per_second, int32_t samples) {
    frame_period_ms = frame_period_for(frames_per_second);
    instance = module_instance;
    if (!platform::video_init()) return false;

    width = requested_width;
    height = requested_height;
    colour_bits = requested_bits;
    int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
    platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
    if (colour_bits == 0) colour_bits = desktop_bits;
    if (width == 0) width = desktop_width;
    if (height == 0) height = desktop_height;

    window = create_framed_window(0);
    if (!window) return false;
    fullscreen = false;

    if (!gl_context) gl_context = platform::gl_context_create(window);
    if (!platform::gl_make_current(window, gl_context)) {
        platform::gl_context_delete(gl_context);
        gl_context = platform::gl_context_create(window);
        platform::gl_make_current(window, gl_context);
    }
    if (!gl_context) return false;

    // A window's pixel format is fixed at creation: a multisampled one means a new window,
    // trying n, n/2, ... samples, and a fresh context on it.
    for (int32_t tried = samples; tried > 0; tried /= 2) {
        platform::Window* multisampled = create_framed_window(tried);
        if (!multisampled) continue;
        const int32_t kept_width = width, kept_height = height;
        destroy_window();
        width = kept_width;
        height = kept_height;
        window = multisampled;
        platform::gl_context_delete(gl_context);
        gl_context = platform::gl_context_create(window);
        platform::gl_make_current(window, gl_context);
        break;
    }

    warn_if_software_renderer();

    glClear(kWindowClearBits);
    fullscreen = false;
    next_frame_ms = clock_ms();

    gl::load_extensions();

    platform::window_show(window);
    platform::window_raise(window);
    set_viewport(0, 0, 0, 0);
    context_ready = 1;
    return true;
}

void VoruRERarudeve::warn_if_software_renderer() {
    if (software_warning_shown || !is_software_renderer()) return;
    software_warning_shown = true;
    platform::message_box_warning(kSoftwareCaption, kSoftwareText);
    append_error_log("OpenGL Software Emulation");
}

int32_t VoruRERarudeve::set_windowed() {
    if (!window) return 1;
    if (fullscreen) platform::window_leave_fullscreen(window);
    platform::window_set_always_on_top(window, false);
    platform::window_set_bordered(window, true);
    int x = 0, y = 0;
    if (!platform::window_position(window, &x, &y) || fullscreen) {
        int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
        platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
        x = (desktop_width - width) / 2;
        y = (desktop_height - height) / 2;
    }
    platform::window_set_bounds(window, x, y, width, height);
    platform::window_show(window);
    platform::window_raise(window);
    set_viewport(0, 0, 0, 0);
    fullscreen = false;
    return 1;
}

bool VoruRERarudeve::set_fullscreen() {
    int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
    platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
    // First with the requested depth (when it differs from the desktop's), then size only.
    int32_t mode_bits = (colour_bits != 0 && colour_bits != desktop_bits) ? colour_bits : 0;
    if (!platform::display_has_mode(width, height, mode_bits)) {
        mode_bits = 0;
        if (!platform::display_has_mode(width, height, 0)) {
            platform::beep();
            append_error_log("No Fullscreen Mode available");
            set_windowed();
            return false;
        }
    }

    platform::Window* old_window = window;
    const std::string title = platform::window_title(old_window).substr(0, 512);
    // create sets the period from a whole frame rate, and 1000 / period truncated would turn
    // 60 frames per second into 59: the period is kept as it was.
    const double kept_period_ms = frame_period_ms;
    const bool created = create(instance, width, height, colour_bits,
                                static_cast<int32_t>(1000.0 / frame_period_ms), 0);
    frame_period_ms = kept_period_ms;
    if (!created) {
        window = old_window;
        return false;
    }
    platform::window_set_title(window, title.c_str());
    platform::window_destroy(old_window);
    set_viewport(0, 0, 0, 0);
    platform::window_set_bordered(window, false);
    platform::window_set_bounds(window, 0, 0, width, height);
    if (!platform::window_enter_fullscreen(window, width, height, mode_bits)) {
        platform::beep();
        append_error_log("No Fullscreen Mode available");
        set_windowed();
        return false;
    }
    platform::window_show(window);
    platform::window_raise(window);
    platform::window_set_always_on_top(window, true);
    fullscreen = true;
    return true;
}

void VoruRERarudeve::set_mode(int32_t new_width, int32_t new_height, int32_t new_bits,
                              bool fullscreen_mode) {
    if (new_width != 0) width = new_width;
    if (new_height != 0) height = new_height;
    if (new_bits != 0) colour_bits = new_bits;
    if (fullscreen_mode) {
        set_fullscreen();
    } else {
        set_windowed();
    }
}

void VoruRERarudeve::set_viewport(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) {
        x = 0;
        y = 0;
        w = width;
        h = height;
    }
    viewport_x = x;
    viewport_y = y;
    viewport_w = w;
    viewport_h = h;
    // Called after every target switch and context change: nothing known holds any more.
    invalidate_gl_state_cache();

    glViewport(x, height - h - y, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, w, h, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    for (GLenum capability :
         {GL_DEPTH_TEST, GL_CULL_FACE, GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_STENCIL_TEST,
          GL_NORMALIZE, GL_LIGHTING, GL_COLOR_MATERIAL, GL_DITHER, GL_POLYGON_SMOOTH,
          GL_POLYGON_OFFSET_POINT, GL_AUTO_NORMAL}) {
        glDisable(capability);
    }
    glFrontFace(GL_CCW);
    glShadeModel(GL_FLAT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);

    smooth = 1;
    bind_sprite(-1, -1, false);
    set_switch(GlSwitch::kBlend, false);
    set_switch(GlSwitch::kAlphaTest, true);
    current_alpha = 1.0f;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

int32_t VoruRERarudeve::pump_messages(PumpHook hook) {
    platform::Message message{};
    if (hook) {
        while (platform::peek_message(window, &message)) {
            hook();
            if (!platform::remove_message(window, &message)) break;
            platform::dispatch_message(message);
        }
    } else {
        while (platform::remove_message(window, &message)) platform::dispatch_message(message);
    }
    return 1;
}

int32_t VoruRERarudeve::present(PumpHook hook) {
    // A selected target is finished, so the next frame draws on the screen.
    finish_target();
    platform::gl_swap(window);
    glClear(kFrameClearBits);

    // Sleep while more than 7 ms remain (waking 3 ms early), then wait with the message pump
    // until at most 1 ms remains. The waiting is done in short precise sleeps rather than by
    // spinning: the platform's sleep is exact to a small fraction of a millisecond, so the
    // deadline is met as closely at a fraction of the processor time.
    double now = 0.0;
    for (;;) {
        pump_messages(hook);
        now = clock_ms();
        const double remaining = next_frame_ms - now;
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
    next_frame_ms = advance_frame_deadline(next_frame_ms, frame_period_ms, now);
    return 1;
}

int32_t VoruRERarudeve::destroy_window() {
    if (!window) return 0;
    free_all_images();
    if (fullscreen) platform::window_leave_fullscreen(window);
    fullscreen = false;
    platform::gl_release_current();
    platform::window_destroy(window);
    window = nullptr;
    width = 0;
    height = 0;
    return 0;
}

void VoruRERarudeve::start_next_frame() {
    // Enabling and at once disabling blending leaves the driver's blend state fresh.
    glEnable(GL_BLEND);
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    invalidate_gl_state_cache();
    current_alpha = 1.0f;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // A loaded background lies under everything the frame draws.
    draw_background(0);
    set_viewport(0, 0, 0, 0);
}

void VoruRERarudeve::hide_window() {
    if (!window) return;
    if (fullscreen) platform::window_leave_fullscreen(window);
    platform::window_hide(window);
    fullscreen = false;
}

}  // namespace kvn
