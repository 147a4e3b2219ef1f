// The 2D view and drawing-state commands of the renderer.
#include <GL/gl.h>

#include "gfx/renderer.h"
#include "kvn/gfx.h"

namespace kvn {

void set_viewport(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (VoruRERarudeve* renderer = attached_renderer()) renderer->set_viewport(x, y, w, h);
}

void get_viewport(double& x, double& y, double& w, double& h) {
    int32_t ix = 0, iy = 0, iw = 0, ih = 0;
    get_viewport_int(ix, iy, iw, ih);
    x = ix;
    y = iy;
    w = iw;
    h = ih;
}

void get_viewport_int(int32_t& x, int32_t& y, int32_t& w, int32_t& h) {
    const VoruRERarudeve* renderer = attached_renderer();
    const PixelRect view = renderer ? renderer->viewport() : PixelRect();
    x = view.x;
    y = view.y;
    w = view.w;
    h = view.h;
}

void get_screen_size(double& width, double& height) {
    int32_t iw = 0, ih = 0;
    get_screen_size_int(iw, ih);
    width = iw;
    height = ih;
}

void get_screen_size_int(int32_t& width, int32_t& height) {
    const VoruRERarudeve* renderer = attached_renderer();
    width = renderer ? renderer->display().width() : 0;
    height = renderer ? renderer->display().height() : 0;
}

void clear_screen(int32_t colour) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    renderer->free_background(0);
    const uint32_t rgb = static_cast<uint32_t>(colour);
    glClearColor((rgb & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, ((rgb >> 16) & 0xFF) / 255.0f,
                 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void set_smooth_filter(int32_t flag) {
    if (VoruRERarudeve* renderer = attached_renderer()) renderer->set_smooth(flag != 0);
}

void set_transparency(int32_t colour) {
    if (VoruRERarudeve* renderer = attached_renderer()) renderer->set_transparency(colour);
}

}  // namespace kvn
