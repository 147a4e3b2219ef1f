// The renderer's life, the 2D view and the frame's start.
#include "gfx/renderer.h"

#include <GL/gl.h>

#include <algorithm>

#include "gfx/gl_extensions.h"

namespace kvn {

namespace {

VoruRERarudeve* attached = nullptr;

}  // namespace

void attach_renderer(VoruRERarudeve* renderer) {
    attached = renderer;
}

VoruRERarudeve* attached_renderer() {
    return attached;
}

VoruRERarudeve* ready_renderer() {
    return attached && attached->ready() ? attached : nullptr;
}

VoruRERarudeve::VoruRERarudeve() = default;

VoruRERarudeve::~VoruRERarudeve() {
    if (display_.window() && context_ready_) finish_target();
    for (int32_t n = 0; n < kTargetCount; ++n) release_target(n);
    destroy_window();
}

bool VoruRERarudeve::create(void* instance, int32_t width, int32_t height, int32_t colour_bits,
                            int32_t frames_per_second, int32_t samples) {
    if (!display_.open(instance, width, height, colour_bits, frames_per_second, samples)) {
        return false;
    }
    gl::load_extensions();
    set_viewport(0, 0, 0, 0);
    context_ready_ = true;
    return true;
}

void VoruRERarudeve::set_windowed() {
    display_.set_windowed();
    set_viewport(0, 0, 0, 0);
}

bool VoruRERarudeve::set_fullscreen() {
    const bool switched = display_.set_fullscreen();
    // The window was made anew, its context current on it.
    gl::load_extensions();
    set_viewport(0, 0, 0, 0);
    return switched;
}

void VoruRERarudeve::set_mode(int32_t width, int32_t height, int32_t colour_bits,
                              bool fullscreen_mode) {
    display_.set_mode(width, height, colour_bits, fullscreen_mode);
    if (fullscreen_mode) gl::load_extensions();
    set_viewport(0, 0, 0, 0);
}

void VoruRERarudeve::set_viewport(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) {
        x = 0;
        y = 0;
        w = display_.width();
        h = display_.height();
    }
    viewport_ = {x, y, w, h};
    // Called after every target switch and context change: nothing known holds any more.
    invalidate_gl_state_cache();

    glViewport(x, display_.height() - h - y, w, h);
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

    smooth_ = true;
    bind_sprite(-1, -1, false);
    gl_state_.set_switch(GlSwitch::kBlend, false);
    gl_state_.set_switch(GlSwitch::kAlphaTest, true);
    current_alpha_ = 1.0f;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void VoruRERarudeve::present(PumpHook hook) {
    // A selected target is finished, so the next frame draws on the screen.
    finish_target();
    display_.present(hook);
}

void VoruRERarudeve::destroy_window() {
    if (!display_.window()) return;
    sprite_store_.free_all(context_ready_);
    display_.close();
}

void VoruRERarudeve::start_next_frame() {
    // Enabling and at once disabling blending leaves the driver's blend state fresh.
    glEnable(GL_BLEND);
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    invalidate_gl_state_cache();
    current_alpha_ = 1.0f;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // A loaded background lies under everything the frame draws.
    draw_background(0);
    set_viewport(0, 0, 0, 0);
}

}  // namespace kvn
