// The window and frame pacer: window and context life, display modes and the paced present.
#include "gfx/display.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "gfx/gl_extensions.h"
#include "kvn/base.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/picture_scale.h"
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

// Says once per run why the picture is not scaled (standard error only: the log keeps its
// lines).
void report_no_scaling(const char* reason) {
    static bool reported = false;
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "kvn: the picture is not scaled: %s\n", reason);
}

}  // namespace

platform::ScaleMode configured_scale_mode() {
    static const platform::ScaleMode mode =
        platform::scale_mode_named(platform::environment_value("KVN_SCALE").c_str());
    return mode;
}

int32_t configured_window_scale() {
    static const int32_t scale =
        platform::window_scale_named(platform::environment_value("KVN_WINDOW_SCALE").c_str());
    return scale;
}

bool desktop_fullscreen_wanted() {
    static const bool wanted = platform::environment_value("KVN_FULLSCREEN") == "desktop";
    return wanted;
}

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

Display::Display()
    : next_frame_ms_(clock_ms()), scale_(std::make_unique<platform::PictureScale>()) {}

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
    given_width_ = width_;
    given_height_ = height_;

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
    // A window scale above 1 gives a window that many times the program's size, the picture
    // scaled into it; without off-screen pictures the window keeps the program's size.
    int32_t scale = platform::usable_window_scale(configured_window_scale(), width_, height_);
    if (scale > 1 && !start_scaling(width_ * scale, height_ * scale, platform::ScaleMode::kFit)) {
        scale = 1;
    }
    if (scale == 1) end_scaling();
    const int32_t window_width = width_ * scale, window_height = height_ * scale;
    // An enlarged window that changes its size is centred again, so that it stays on the
    // screen; a window of the program's size keeps its place as before.
    const bool resized_enlarged =
        scale > 1 && (window_width != given_width_ || window_height != given_height_);
    given_width_ = window_width;
    given_height_ = window_height;
    int x = 0, y = 0;
    if (!platform::window_position(window_, &x, &y) || fullscreen_ || resized_enlarged) {
        int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
        platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
        x = (desktop_width - window_width) / 2;
        y = (desktop_height - window_height) / 2;
    }
    platform::window_set_bounds(window_, x, y, window_width, window_height);
    platform::window_show(window_);
    platform::window_raise(window_);
    fullscreen_ = false;
}

bool Display::set_fullscreen() {
    int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
    platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
    // First with the requested depth (when it differs from the desktop's), then size only.
    int32_t mode_bits = (colour_bits_ != 0 && colour_bits_ != desktop_bits) ? colour_bits_ : 0;
    bool exact_mode = platform::display_has_mode(width_, height_, mode_bits);
    if (!exact_mode) {
        mode_bits = 0;
        exact_mode = platform::display_has_mode(width_, height_, 0);
    }
    if (!exact_mode || desktop_fullscreen_wanted()) {
        if (set_desktop_fullscreen(desktop_width, desktop_height)) return true;
        if (!exact_mode) {
            platform::beep();
            append_error_log("No Fullscreen Mode available");
            set_windowed();
            return false;
        }
    }

    // The exact mode: the new window shows the picture one to one.
    end_scaling();
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

bool Display::set_desktop_fullscreen(int32_t desktop_width, int32_t desktop_height) {
    if (!window_ || desktop_width <= 0 || desktop_height <= 0) return false;
    if (!start_scaling(desktop_width, desktop_height, configured_scale_mode())) return false;
    platform::window_set_bordered(window_, false);
    platform::window_set_bounds(window_, 0, 0, desktop_width, desktop_height);
    if (!platform::window_enter_desktop_fullscreen(window_)) {
        end_scaling();
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
    if (scaled_) {
        // The recorder sees the program's own picture; the window gets it scaled, and the
        // other picture takes its turn to be drawn.
        bind_drawing_picture();
        platform::gl_end_frame(width_, height_);
        copy_picture_to_window();
        platform::gl_swap_buffers(window_);
        drawing_ ^= 1;
        bind_drawing_picture();
    } else {
        platform::gl_swap(window_);
    }
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
    end_scaling();
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

// ---- The scaled picture ----

bool Display::start_scaling(int32_t output_width, int32_t output_height,
                            platform::ScaleMode mode) {
    if (gl::framebuffers_switched_off()) {
        report_no_scaling("off-screen pictures are switched off (KVN_NO_FBO=1)");
        return false;
    }
    if (!gl::framebuffers_available() || !gl::glBlitFramebufferEXT) {
        report_no_scaling("the driver has no framebuffer objects");
        return false;
    }
    if (!make_pictures()) {
        report_no_scaling("the off-screen picture cannot be made in this size");
        end_scaling();
        return false;
    }
    *scale_ = platform::scale_picture(width_, height_, output_width, output_height, mode);
    // Whole multiples stay sharp; other sizes are filtered.
    const bool whole = platform::is_whole_multiple(*scale_);
    for (const Picture& picture : pictures_) {
        glBindTexture(GL_TEXTURE_2D, picture.texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, whole ? GL_NEAREST : GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, whole ? GL_NEAREST : GL_LINEAR);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    scaled_ = true;
    platform::window_set_picture_scale(window_, scale_.get());
    bind_drawing_picture();
    return true;
}

void Display::end_scaling() {
    if (window_) platform::window_set_picture_scale(window_, nullptr);
    if (!scaled_ && pictures_[0].framebuffer == 0 && pictures_[1].framebuffer == 0) return;
    scaled_ = false;
    if (gl::glBindFramebufferEXT) gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    release_pictures();
}

bool Display::make_pictures() {
    if (pictures_[0].framebuffer != 0 && picture_width_ == width_ && picture_height_ == height_) {
        return true;
    }
    release_pictures();
    GLint max_side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_side);
    if (width_ < 1 || height_ < 1 || width_ > max_side || height_ > max_side) return false;
    GLfloat clear_colour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear_colour);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    bool complete = true;
    for (Picture& picture : pictures_) {
        GLuint texture = 0, framebuffer = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width_, height_, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     nullptr);
        gl::glGenFramebuffersEXT(1, &framebuffer);
        picture.texture = texture;
        picture.framebuffer = framebuffer;
        if (framebuffer == 0) {
            complete = false;
            break;
        }
        gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
        gl::glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                                      texture, 0);
        if (gl::glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
            complete = false;
            break;
        }
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glClearColor(clear_colour[0], clear_colour[1], clear_colour[2], clear_colour[3]);
    if (!complete) {
        release_pictures();
        return false;
    }
    picture_width_ = width_;
    picture_height_ = height_;
    drawing_ = 0;
    return true;
}

void Display::release_pictures() {
    for (Picture& picture : pictures_) {
        if (picture.framebuffer != 0 && gl::glDeleteFramebuffersEXT) {
            gl::glDeleteFramebuffersEXT(1, &picture.framebuffer);
        }
        if (picture.texture != 0) glDeleteTextures(1, &picture.texture);
        picture = Picture();
    }
    picture_width_ = 0;
    picture_height_ = 0;
}

void Display::bind_drawing_picture() const {
    gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, pictures_[drawing_].framebuffer);
}

uint32_t Display::presented_framebuffer() const {
    return scaled_ ? pictures_[drawing_ ^ 1].framebuffer : 0;
}

void Display::output_size(int32_t* width, int32_t* height) const {
    *width = scaled_ ? scale_->output_width : width_;
    *height = scaled_ ? scale_->output_height : height_;
}

namespace {

// The parts of the output around the picture's area, in GL's upward rows; empty ones have no
// width or height.
struct Bar {
    int32_t x, y, w, h;
};

void bars_around(const platform::PictureScale& scale, Bar bars[4]) {
    const platform::PixelArea& area = scale.area;
    const int32_t out_w = scale.output_width, out_h = scale.output_height;
    const int32_t bottom = out_h - area.y - area.height;
    bars[0] = {0, 0, area.x, out_h};
    bars[1] = {area.x + area.width, 0, out_w - area.x - area.width, out_h};
    bars[2] = {area.x, 0, area.width, bottom};
    bars[3] = {area.x, bottom + area.height, area.width, area.y};
}

}  // namespace

void Display::picture_area(int32_t* x, int32_t* y, int32_t* width, int32_t* height) const {
    if (!scaled_) {
        *x = 0;
        *y = 0;
        *width = width_;
        *height = height_;
        return;
    }
    *x = scale_->area.x;
    *y = scale_->area.y;
    *width = scale_->area.width;
    *height = scale_->area.height;
}

void Display::clear_bars() const {
    Bar bars[4];
    bars_around(*scale_, bars);
    GLfloat clear_colour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear_colour);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
    for (const Bar& bar : bars) {
        if (bar.w <= 0 || bar.h <= 0) continue;
        glScissor(bar.x, bar.y, bar.w, bar.h);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glClearColor(clear_colour[0], clear_colour[1], clear_colour[2], clear_colour[3]);
}

void Display::copy_picture_to_window() {
    if (!scaled_) return;
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    if (copy_ == ScaledCopy::kBlit) {
        blit_picture();
    } else {
        draw_picture_textured();
    }
    if (scissor) glEnable(GL_SCISSOR_TEST);
    // Drawing goes on into the picture (a copy made apart from a present leaves it so too).
    bind_drawing_picture();
}

void Display::blit_picture() const {
    const platform::PixelArea& area = scale_->area;
    const int32_t bottom = scale_->output_height - area.y - area.height;
    const bool whole = platform::is_whole_multiple(*scale_);
    gl::glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, pictures_[drawing_].framebuffer);
    gl::glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, 0);
    clear_bars();
    gl::glBlitFramebufferEXT(0, 0, width_, height_, area.x, bottom, area.x + area.width,
                             bottom + area.height, GL_COLOR_BUFFER_BIT,
                             whole ? GL_NEAREST : GL_LINEAR);
}

void Display::draw_picture_textured() const {
    const platform::PixelArea& area = scale_->area;
    const int32_t bottom = scale_->output_height - area.y - area.height;
    gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    // Everything the quads change comes back afterwards, so the renderer's view of the GL
    // state stays true.
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT | GL_CURRENT_BIT |
                 GL_COLOR_BUFFER_BIT);
    if (gl::glActiveTextureARB) gl::glActiveTextureARB(GL_TEXTURE0_ARB);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(area.x, bottom, area.width, area.height);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, pictures_[drawing_].texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    // The bars as black quads in the same pass: on the software renderer a scissored clear of
    // the thin bars costs more than drawing them.
    Bar bars[4];
    bars_around(*scale_, bars);
    glDisable(GL_TEXTURE_2D);
    glViewport(0, 0, scale_->output_width, scale_->output_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, scale_->output_width, 0.0, scale_->output_height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    for (const Bar& bar : bars) {
        if (bar.w <= 0 || bar.h <= 0) continue;
        glVertex2i(bar.x, bar.y);
        glVertex2i(bar.x + bar.w, bar.y);
        glVertex2i(bar.x + bar.w, bar.y + bar.h);
        glVertex2i(bar.x, bar.y + bar.h);
    }
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace kvn
