// The renderer on a real window and GL context: creation, the 2D view, the present.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "gfx/gl_extensions.h"
#include "kvn/gfx.h"
#include "runtime/runtime_state.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

// Every test gets a fresh renderer of 320 x 200 as the process's renderer, and its own
// temporary directory for the log.
class RendererTest : public testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        runtime.renderer = std::make_unique<VoruRERarudeve>();
        attach_renderer(runtime.renderer.get());
        ASSERT_TRUE(runtime.renderer->create(nullptr, 320, 200, 0, 60, 0));
    }
    void TearDown() override {
        attach_renderer(nullptr);
        runtime.renderer.reset();
        ScratchDirectoryTest::TearDown();
    }

    std::string log_text() const { return testing_support::read_file(directory_ / "ErrorLog.txt"); }
};

TEST_F(RendererTest, CreationStoresTheScreenAndResetsTheView) {
    VoruRERarudeve& renderer = *runtime.renderer;
    EXPECT_NE(renderer.display().window(), nullptr);
    EXPECT_EQ(renderer.ready(), true);
    EXPECT_FALSE(renderer.display().fullscreen());
    EXPECT_GT(renderer.display().colour_bits(), 0);
    EXPECT_DOUBLE_EQ(renderer.display().frame_period_ms(), 1000.0 / 60.0);

    int32_t width = 0, height = 0;
    get_screen_size_int(width, height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    double x = -1, y = -1, w = -1, h = -1;
    get_viewport(x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);
    EXPECT_EQ(renderer.smooth(), 1);
    EXPECT_FLOAT_EQ(renderer.alpha(), 1.0f);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 200);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    GLint alpha_function = 0;
    GLfloat alpha_reference = 0;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &alpha_function);
    glGetFloatv(GL_ALPHA_TEST_REF, &alpha_reference);
    EXPECT_EQ(alpha_function, GL_GREATER);
    EXPECT_NEAR(alpha_reference, 0.05f, 1e-3f);
    for (GLenum off : {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING, GL_TEXTURE_2D,
                       GL_STENCIL_TEST, GL_DITHER, GL_FOG}) {
        EXPECT_FALSE(glIsEnabled(off)) << off;
    }
    GLint shade_model = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade_model);
    EXPECT_EQ(shade_model, GL_FLAT);
}

TEST_F(RendererTest, ViewportHasItsOriginAtTheTopLeft) {
    set_viewport(10, 20, 100, 50);
    int32_t x = 0, y = 0, w = 0, h = 0;
    get_viewport_int(x, y, w, h);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 10);
    EXPECT_EQ(viewport[1], 200 - 50 - 20);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 100);
    EXPECT_FLOAT_EQ(projection[5], -2.0f / 50);
    EXPECT_FLOAT_EQ(projection[13], 1.0f);

    runtime.renderer->set_smooth(false);
    set_viewport(5, 5, 0, 40);
    get_viewport_int(x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);
    EXPECT_EQ(runtime.renderer->smooth(), 1);
}

TEST_F(RendererTest, PresentShowsTheClearedPictureAndKeepsTheSchedule) {
    clear_screen(0x0000FF);
    unsigned char pixel[4] = {};
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(pixel[2], 0);

    VoruRERarudeve& renderer = *runtime.renderer;
    renderer.display().set_frame_period_ms(10.0);
    renderer.display().set_next_frame_ms(clock_ms() + 10.0);
    for (int frame = 0; frame < 5; ++frame) {
        const double deadline = renderer.display().next_frame_ms();
        renderer.present(nullptr);
        // The wait never ends more than 1 ms before the deadline.
        EXPECT_GE(clock_ms(), deadline - 1.0);
        EXPECT_GT(renderer.display().next_frame_ms(), deadline);
    }
    // The present clears with the clear colour in force.
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
}

TEST_F(RendererTest, FramePeriodFollowsTheRateAndSurvivesTheFullScreenSwitch) {
    int desktop_width = 0, desktop_height = 0, desktop_bits = 0;
    platform::desktop_mode(&desktop_width, &desktop_height, &desktop_bits);
    ASSERT_TRUE(platform::display_has_mode(desktop_width, desktop_height, 0));
    const struct {
        double frames_per_second;
        double period_ms;
        bool switch_to_full_screen;
    } cases[] = {
        {60, 1000.0 / 60, true},  {7, 1000.0 / 7, true},      {0, 2.0, true},
        {30, 1000.0 / 30, false}, {59.9, 1000.0 / 59, false}, {-3, 2.0, false},
    };
    VoruRERarudeve& renderer = *runtime.renderer;
    for (const auto& c : cases) {
        limit_fps(c.frames_per_second);
        EXPECT_DOUBLE_EQ(renderer.display().frame_period_ms(), c.period_ms) << c.frames_per_second;
        if (!c.switch_to_full_screen) continue;
        renderer.set_mode(desktop_width, desktop_height, 0, true);
        EXPECT_TRUE(renderer.display().fullscreen()) << c.frames_per_second;
        EXPECT_DOUBLE_EQ(renderer.display().frame_period_ms(), c.period_ms) << c.frames_per_second;
        renderer.set_mode(320, 200, 0, false);
    }
}

TEST_F(RendererTest, ExtensionTableAndSoftwareWarningOncePerProcess) {
    // Mesa offers multitexturing and framebuffer objects.
    EXPECT_NE(gl::glActiveTextureARB, nullptr);
    EXPECT_NE(gl::glBindFramebufferEXT, nullptr);
    EXPECT_EQ(platform::gl_proc_address("glNoSuchEntryPointKVN"), nullptr);

    // Whichever test created the first renderer showed the warning; a re-creation shows none.
    std::remove((directory_ / "ErrorLog.txt").c_str());
    runtime.renderer = std::make_unique<VoruRERarudeve>();
    attach_renderer(runtime.renderer.get());
    ASSERT_TRUE(runtime.renderer->create(nullptr, 320, 200, 0, 60, 4));
    EXPECT_EQ(log_text().find("OpenGL Software Emulation"), std::string::npos);
}

}  // namespace
}  // namespace kvn
