// The cost of scaled full screen: the game's crowded scene in a 1024 x 600 window, then in full
// screen over this display's desktop (scaled there when the display has no 1024 x 600 mode),
// with the scaling copy made as a framebuffer blit and as a textured draw; and the copy alone,
// both ways. bench/run.sh runs it on displays of 1024 x 600, 1920 x 1080 and 2560 x 1440.
#include <GL/gl.h>
#include <kvn/kvn.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "../game/game.h"
#include "crowded_scene.h"
#include "gfx/gl_extensions.h"
#include "gfx/renderer.h"
#include "platform/picture_scale.h"
#include "runtime/runtime_state.h"

using namespace kvn;

namespace {

constexpr int kBlocks = 6;
constexpr int kBlockFrames = 50;
constexpr int kWarmUpFrames = 30;
constexpr int kCopies = 100;

void scene_frame() {
    fill_scene();
    Process_Master();
    Draw_Screen();
    Draw_FPS();
    show_screen();
}

// Milliseconds a frame of the crowded scene takes, in the best of the blocks.
double scene_ms_per_frame() {
    for (int frame = 0; frame < kWarmUpFrames; ++frame) scene_frame();
    glFinish();
    double best = 1e300;
    for (int block = 0; block < kBlocks; ++block) {
        const double start = clock_ms();
        for (int frame = 0; frame < kBlockFrames; ++frame) scene_frame();
        glFinish();
        best = std::min(best, (clock_ms() - start) / kBlockFrames);
    }
    return best;
}

// Milliseconds one scaling copy takes on its own, in the best of the blocks.
double copy_ms(Display& display, ScaledCopy copy) {
    display.set_scaled_copy(copy);
    double best = 1e300;
    for (int block = 0; block < kBlocks; ++block) {
        glFinish();
        const double start = clock_ms();
        for (int i = 0; i < kCopies; ++i) display.copy_picture_to_window();
        glFinish();
        best = std::min(best, (clock_ms() - start) / kCopies);
    }
    return best;
}

// Milliseconds one textured quad over the whole window takes (a texture of the program's size
// stretched over it with the filter the copy uses, straight through OpenGL), in the best of
// the blocks: the yardstick of the copy.
double full_window_draw_ms(int32_t width, int32_t height, bool linear) {
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
    gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_TEXTURE_2D);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<uint8_t> texels(1024 * 600 * 4);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint8_t>(i * 7 / 3);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1024, 600, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    double best = 1e300;
    for (int block = 0; block < kBlocks; ++block) {
        glFinish();
        const double start = clock_ms();
        for (int i = 0; i < kCopies; ++i) {
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2f(0, 0);
            glTexCoord2f(1, 0);
            glVertex2f(1, 0);
            glTexCoord2f(1, 1);
            glVertex2f(1, 1);
            glTexCoord2f(0, 1);
            glVertex2f(0, 1);
            glEnd();
        }
        glFinish();
        best = std::min(best, (clock_ms() - start) / kCopies);
    }
    glDeleteTextures(1, &texture);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previous));
    runtime.renderer->invalidate_gl_state_cache();
    return best;
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Velkadorn scaling benchmark";
}

void Game_Main() {
    Full_Screen = 0;
    Game_Start();
    limit_fps(1e6);
    random_seed(7);
    fill_scene();
    Display& display = runtime.renderer->display();

    const double window_ms = scene_ms_per_frame();
    std::printf("1024 x 600 window, unscaled: %.2f ms/frame\n", window_ms);

    set_screen(1024, 600, 1);
    if (!display.scaled()) {
        std::printf("full screen in the exact 1024 x 600 mode, unscaled: %.2f ms/frame\n",
                    scene_ms_per_frame());
        end_statement();
    }
    const platform::PictureScale& scale = display.picture_scale();
    std::printf("full screen scaled to %d x %d (picture %d x %d at %d,%d):\n", scale.output_width,
                scale.output_height, scale.area.width, scale.area.height, scale.area.x,
                scale.area.y);
    const ScaledCopy kept = display.scaled_copy();
    const struct {
        const char* name;
        ScaledCopy copy;
    } copies[] = {{"framebuffer blit", ScaledCopy::kBlit},
                  {"textured draw", ScaledCopy::kTexturedDraw}};
    for (const auto& c : copies) {
        display.set_scaled_copy(c.copy);
        const double frame_ms = scene_ms_per_frame();
        const double alone_ms = copy_ms(display, c.copy);
        std::printf("  copy as %-16s: %.2f ms/frame, %.2fx the unscaled frame; the copy alone "
                    "%.2f ms\n",
                    c.name, frame_ms, frame_ms / window_ms, alone_ms);
    }
    display.set_scaled_copy(kept);
    // The copy filters unless the picture is enlarged a whole number of times.
    const bool linear = scale.area.width % 1024 != 0 || scale.area.height % 600 != 0;
    std::printf("  one textured draw over the whole %d x %d window (%s filter): %.2f ms\n",
                scale.output_width, scale.output_height, linear ? "linear" : "nearest",
                full_window_draw_ms(scale.output_width, scale.output_height, linear));
    end_statement();
}
