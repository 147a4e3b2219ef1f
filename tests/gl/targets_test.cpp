// Off-screen targets, grabs, pixel read-back and the save commands on a real GL context. The
// binary also runs with KVN_NO_FBO=1, so every test here covers the fall-back mode too.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/gl_extensions.h"
#include "image/image_decoders.h"
#include "kvn/gfx.h"
#include "platform/window_capture.h"
#include "runtime/runtime_state.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 200;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kGreen = 0x00FF00;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kKey = 0x8000FF;
constexpr int32_t kBackdrop = 0x402010;

bool fall_back_expected() {
    const char* value = std::getenv("KVN_NO_FBO");
    return value && std::strcmp(value, "1") == 0;
}

class TargetsTest : public testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        runtime.renderer = std::make_unique<VoruRERarudeve>();
        attach_renderer(runtime.renderer.get());
        ASSERT_TRUE(runtime.renderer->create(nullptr, kWidth, kHeight, 0, 1000, 0));
        ASSERT_EQ(gl::framebuffers_switched_off(), fall_back_expected());
        error_state.error_code = kErrorSuccess;
    }
    void TearDown() override {
        attach_renderer(nullptr);
        runtime.renderer.reset();
        ScratchDirectoryTest::TearDown();
    }

    VoruRERarudeve& renderer() { return *runtime.renderer; }

    // A decoded saved file (PNG, JPEG or BMP by its content).
    static DecodedImage decode_saved(const std::string& path) {
        const std::string bytes = testing_support::read_file(path);
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        DecodedImage image;
        const bool ok = decode_png(data, bytes.size(), path.c_str(), kNoColourKey, 4096, &image) ||
                        decode_bmp(data, bytes.size(), kNoColourKey, 4096, &image) ||
                        decode_jpeg(data, bytes.size(), 4096, &image);
        EXPECT_TRUE(ok) << path;
        return image;
    }
    static int32_t rgb_at(const DecodedImage& image, int32_t x, int32_t y) {
        const uint8_t* p = &image.pixels[(size_t(y) * image.width + x) * 4];
        return p[0] | p[1] << 8 | p[2] << 16;
    }
    static int alpha_at(const DecodedImage& image, int32_t x, int32_t y) {
        return image.pixels[(size_t(y) * image.width + x) * 4 + 3];
    }
};

TEST_F(TargetsTest, CreateScreenSizesAndRefusals) {
    const struct {
        int32_t n, slot, w, h, tex_w, tex_h;
    } made[] = {{0, 10, 100, 50, 128, 64}, {1, 11, 2, 3, 16, 16}, {31, 12, 16, 17, 16, 32}};
    for (const auto& c : made) {
        create_screen(c.n, c.slot, c.w, c.h);
        const SpriteSlot& s = renderer().sprite(c.slot);
        const OffscreenTarget& t = renderer().target(c.n);
        EXPECT_EQ(s.img_w, c.w);
        EXPECT_EQ(s.img_h, c.h);
        EXPECT_EQ(s.tex_w, c.tex_w);
        EXPECT_EQ(s.tex_h, c.tex_h);
        EXPECT_FLOAT_EQ(s.u_max, float(c.w) / c.tex_w);
        EXPECT_FLOAT_EQ(s.v_max, float(c.h) / c.tex_h);
        EXPECT_EQ(t.slot, c.slot);
        EXPECT_EQ(t.fb_width, fall_back_expected() ? 0 : c.tex_w);
        EXPECT_EQ(t.fb_height, fall_back_expected() ? 0 : c.tex_h);
        EXPECT_EQ(t.depth_buffer != 0, !fall_back_expected());
    }
    // Refused numbers and sizes touch nothing; selecting a record never made keeps the screen.
    const int32_t too_big = renderer().max_texture_side() + 1;
    const struct {
        int32_t n, w, h;
    } refused[] = {{-1, 8, 8}, {32, 8, 8}, {2, 0, 8}, {2, 8, -4}, {2, too_big, 8}, {2, 8, too_big}};
    for (const auto& c : refused) {
        create_screen(c.n, 20, c.w, c.h);
        EXPECT_EQ(renderer().sprite(20).texture, 0u) << c.n << " " << c.w << "x" << c.h;
        use_screen(c.n);
        EXPECT_EQ(renderer().current_target(), -1);
    }
}

TEST_F(TargetsTest, DrawingIntoATargetMakesASprite) {
    draw_rect(0, 0, kWidth, kHeight, kBackdrop);
    create_screen(3, 10, 40, 30);
    for (int round = 0; round < 2; ++round) {
        use_screen(3);
        ASSERT_EQ(renderer().current_target(), 3);
        draw_rect(0, 0, 20, 30, kRed);
        draw_rect(20, 0, 20, 30, kGreen);
        draw_rect(0, 0, 40, 1, kBlue);
        set_pixel(39, 29, kWhite);
        // Rows count from the target's own top, in both modes.
        const struct {
            int32_t x, y, colour;
        } inside[] = {{0, 0, kBlue}, {5, 5, kRed}, {25, 28, kGreen}, {39, 29, kWhite}};
        for (const auto& p : inside) EXPECT_EQ(get_pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
        use_screen(-1);
        EXPECT_EQ(renderer().current_target(), -1);
    }
    // The screen under the target is as it was; the sprite shows what was drawn.
    EXPECT_EQ(get_pixel(10, 10), kBackdrop);
    EXPECT_EQ(get_pixel(45, 35), kBackdrop);
    draw_sprite(10, 100, 50);
    const struct {
        int32_t x, y, colour;
    } shown[] = {{100, 50, kBlue},  {105, 60, kRed},      {125, 60, kGreen},
                 {139, 79, kWhite}, {141, 60, kBackdrop}, {105, 81, kBackdrop}};
    for (const auto& p : shown) EXPECT_EQ(get_pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST_F(TargetsTest, PresentAndUseScreenMinusOneReturnToTheScreen) {
    create_screen(0, 10, 64, 64);
    use_screen(0);
    renderer().present(nullptr);
    EXPECT_EQ(renderer().current_target(), -1);
    GLint binding = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &binding);
    EXPECT_EQ(binding, 0);
    draw_rect(0, 0, kWidth, kHeight, kGreen);
    EXPECT_EQ(get_pixel(kWidth - 1, kHeight - 1), kGreen);

    // With no target selected, use_screen(-1) still resets the view and the drawing state.
    set_viewport(10, 10, 50, 50);
    set_alpha_mode(-0.5);
    set_smooth_filter(0);
    use_screen(-1);
    int32_t x = -1, y = -1, w = -1, h = -1;
    get_viewport_int(x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    EXPECT_EQ(renderer().smooth(), 1);
    EXPECT_FLOAT_EQ(renderer().alpha(), 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(TargetsTest, GrabsMakeTheKeyColourTransparent) {
    create_screen(0, 30, 32, 32);
    const struct {
        const char* what;
        double alpha_mode;
        bool grab_in_target_first;
        int32_t key;
    } cases[] = {{"opaque", 0.0, false, kKey},
                 {"blended", -0.5, false, kKey},
                 {"additive", 0.7, false, kKey},
                 {"after a grab in a target", 0.0, true, kKey},
                 {"no keying", 0.0, false, -1}};
    for (const auto& c : cases) {
        set_transparency(c.key);
        if (c.grab_in_target_first) {
            use_screen(0);
            draw_rect(0, 0, 32, 32, kWhite);
            EXPECT_EQ(grab_sprite(21, 0, 0, 8, 8), 1);
            use_screen(-1);
        }
        draw_rect(0, 0, kWidth, kHeight, kBackdrop);
        draw_rect(10, 10, 30, 20, kKey);
        draw_rect(40, 10, 10, 20, kRed);
        set_alpha_mode(c.alpha_mode);
        EXPECT_EQ(grab_sprite(20, 10, 10, 40, 20), 1) << c.what;
        set_alpha_mode(0);
        draw_rect(0, 0, kWidth, kHeight, kGreen);
        draw_sprite(20, 100, 100);
        const int32_t keyed = c.key == -1 ? kKey : kGreen;
        EXPECT_EQ(get_pixel(105, 105), keyed) << c.what;
        EXPECT_EQ(get_pixel(129, 119), keyed) << c.what;
        EXPECT_EQ(get_pixel(130, 105), kRed) << c.what;
        EXPECT_EQ(get_pixel(139, 119), kRed) << c.what;
        const SpriteSlot& s = renderer().sprite(20);
        EXPECT_EQ(s.tex_w, 64);
        EXPECT_EQ(s.tex_h, 32);
    }
}

TEST_F(TargetsTest, GrabsUnderViewsSmallerThanTheProbeKeyTheKeyColour) {
    set_transparency(kKey);
    // A target of side 3 (drawn on the screen in the fall-back mode) and a program's own 3 x 3
    // view: the key colour becomes transparent in both grabs.
    const struct {
        const char* what;
        bool in_target;
    } cases[] = {{"target of side 3", true}, {"own view of 3 x 3", false}};
    for (const auto& c : cases) {
        draw_rect(0, 0, kWidth, kHeight, kBackdrop);
        if (c.in_target) {
            create_screen(0, 10, 3, 3);
            use_screen(0);
        } else {
            set_viewport(0, 0, 3, 3);
        }
        draw_rect(0, 0, 3, 3, kKey);
        set_pixel(2, 2, kRed);
        if (c.in_target) {
            use_screen(-1);
        } else {
            ASSERT_EQ(grab_sprite(10, 0, 0, 3, 3), 1);
            set_viewport(0, 0, 0, 0);
        }
        draw_rect(0, 0, kWidth, kHeight, kGreen);
        draw_sprite(10, 100, 100);
        EXPECT_EQ(get_pixel(100, 100), kGreen) << c.what;
        EXPECT_EQ(get_pixel(101, 101), kGreen) << c.what;
        EXPECT_EQ(get_pixel(102, 102), kRed) << c.what;
    }
}

TEST_F(TargetsTest, KeyProbeDrawsOverTheWholeFramebufferAndRestoresTheView) {
    set_transparency(kKey);
    for (int32_t side : {3, 4, 100}) {
        draw_rect(0, 0, kWidth, kHeight, kBackdrop);
        set_viewport(7, 9, side, side);
        GLint view[4] = {};
        glGetIntegerv(GL_VIEWPORT, view);
        GLfloat projection[16] = {};
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        EXPECT_EQ(renderer().probe_key_colour(), kKey) << side;
        GLint view_after[4] = {};
        glGetIntegerv(GL_VIEWPORT, view_after);
        GLfloat projection_after[16] = {};
        glGetFloatv(GL_PROJECTION_MATRIX, projection_after);
        EXPECT_EQ(std::vector<GLint>(view, view + 4), std::vector<GLint>(view_after, view_after + 4))
            << side;
        EXPECT_EQ(std::vector<GLfloat>(projection, projection + 16),
                  std::vector<GLfloat>(projection_after, projection_after + 16))
            << side;
        set_viewport(0, 0, 0, 0);
        EXPECT_EQ(get_pixel(4, 4), kBackdrop) << side;
    }
}

TEST_F(TargetsTest, GrabReusesATextureOfTheSameSizeOnly) {
    draw_rect(0, 0, kWidth, kHeight, kRed);
    const struct {
        int32_t w, h;
        bool same_texture;
    } grabs[] = {{20, 20, false}, {30, 17, true}, {32, 32, true}, {33, 32, false}, {1, 1, false}};
    uint32_t previous = 0;
    for (const auto& g : grabs) {
        ASSERT_EQ(grab_sprite(5, 0, 0, g.w, g.h), 1);
        const SpriteSlot& s = renderer().sprite(5);
        EXPECT_EQ(s.texture == previous, g.same_texture) << g.w << "x" << g.h;
        EXPECT_EQ(s.img_w, g.w);
        EXPECT_EQ(s.img_h, g.h);
        previous = s.texture;
    }
    for (int32_t bad : {0, -1, renderer().max_texture_side() + 1}) {
        EXPECT_EQ(grab_sprite(5, 0, 0, bad, 8), 0);
        EXPECT_EQ(renderer().sprite(5).texture, previous);
    }
}

TEST_F(TargetsTest, ScreenBecomesTheBackground) {
    draw_rect(0, 0, kWidth, kHeight, kBlue);
    draw_rect(300, 180, 20, 20, kRed);
    use_screen_as_background();
    const BackgroundImage& background = renderer().background(0);
    EXPECT_EQ(background.rows, 1);
    EXPECT_EQ(background.columns, 1);
    EXPECT_EQ(background.tile_side, 512);
    EXPECT_EQ(background.tiles[0].tile_w, kWidth);
    EXPECT_EQ(background.tiles[0].tile_h, kHeight);
    glClear(GL_COLOR_BUFFER_BIT);
    draw_background(0);
    EXPECT_EQ(get_pixel(0, 0), kBlue);
    EXPECT_EQ(get_pixel(310, 190), kRed);
    EXPECT_EQ(get_pixel(299, 179), kBlue);
}

TEST_F(TargetsTest, SaveScreenHoldsThePresentedPicture) {
    draw_rect(0, 0, kWidth, kHeight, kRed);
    draw_rect(10, 20, 30, 40, kBlue);
    renderer().present(nullptr);
    draw_rect(0, 0, kWidth, kHeight, kGreen);  // being drawn, not presented
    // The window system's read is the one used here; the GL read is only its fall-back.
    std::vector<uint8_t> shown;
    ASSERT_TRUE(platform::window_read_shown_pixels(renderer().display().window(), kWidth, kHeight, &shown));
    EXPECT_EQ(shown[(25 * kWidth + 15) * 4], 0xFF);  // blue byte of the blue rectangle
    EXPECT_EQ(shown[(25 * kWidth + 15) * 4 + 1], 0);
    EXPECT_EQ(shown[(25 * kWidth + 15) * 4 + 2], 0);
    ASSERT_TRUE(save_screen("shot.png"));
    const DecodedImage image = decode_saved("shot.png");
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    EXPECT_EQ(rgb_at(image, 0, 0), kRed);
    EXPECT_EQ(rgb_at(image, 10, 20), kBlue);
    EXPECT_EQ(rgb_at(image, 39, 59), kBlue);
    EXPECT_EQ(rgb_at(image, 40, 60), kRed);
    EXPECT_EQ(alpha_at(image, 5, 5), 255);
}

TEST_F(TargetsTest, ShownPixelsOfAWindowPartlyOffTheScreen) {
    draw_rect(0, 0, kWidth, kHeight, kRed);
    draw_rect(150, 100, 20, 20, kGreen);
    renderer().present(nullptr);
    // Xlib would end the process on the BadMatch of an unclipped read; the part off the
    // screen reads black.
    platform::window_set_bounds(renderer().display().window(), -140, -90, kWidth, kHeight);
    renderer().display().pump_messages(nullptr);
    std::vector<uint8_t> shown;
    ASSERT_TRUE(platform::window_read_shown_pixels(renderer().display().window(), kWidth, kHeight, &shown));
    const auto rgb = [&](int32_t x, int32_t y) {
        const uint8_t* p = &shown[(size_t(y) * kWidth + x) * 4];
        return p[2] | p[1] << 8 | p[0] << 16;
    };
    EXPECT_EQ(rgb(10, 10), 0);
    EXPECT_EQ(rgb(160, 110), kGreen);
    EXPECT_EQ(rgb(300, 190), kRed);
}

TEST_F(TargetsTest, SaveSpriteWritesEveryFormatAndFailsCleanly) {
    create_screen(0, 10, 37, 9);  // a width that needs padded BMP rows
    use_screen(0);
    draw_rect(0, 0, 20, 9, kRed);
    draw_rect(20, 0, 17, 9, kBlue);
    use_screen(-1);
    const struct {
        const char* path;
        int tolerance;
    } files[] = {{"s.png", 0}, {"s.PNG", 0}, {"s.Jpg", 24}, {"s.bmp", 0}, {"s.dat", 0}};
    for (const auto& f : files) {
        ASSERT_TRUE(save_sprite(f.path, 10)) << f.path;
        EXPECT_EQ(get_error_code(), 0);
        const DecodedImage image = decode_saved(f.path);
        ASSERT_EQ(image.width, 37) << f.path;
        ASSERT_EQ(image.height, 9) << f.path;
        for (const auto& [x, colour] : {std::pair{2, kRed}, std::pair{35, kBlue}}) {
            const int32_t got = rgb_at(image, x, 4);
            for (int shift : {0, 8, 16}) {
                EXPECT_NEAR((got >> shift) & 0xFF, (colour >> shift) & 0xFF, f.tolerance)
                    << f.path << " x " << x;
            }
        }
    }
    const std::string bmp = testing_support::read_file("s.dat");
    EXPECT_EQ(bmp.size(), 54u + 112u * 9u);  // 37 x 3 = 111 bytes raised to 112

    // Failures: error 3, false, and an old file left as it was.
    testing_support::write_file(directory_ / "old.png", "old");
    const struct {
        const char* path;
        int32_t slot;
    } failing[] = {{"old.png", 4000}, {"mem://00000000.00000010", 10}, {"no/such/dir/x.png", 10}};
    for (const auto& f : failing) {
        error_state.error_code = kErrorSuccess;
        EXPECT_FALSE(save_sprite(f.path, f.slot)) << f.path;
        EXPECT_EQ(get_error_code(), kErrorNoSuchFile) << f.path;
    }
    EXPECT_EQ(testing_support::read_file("old.png"), "old");
    error_state.error_code = kErrorSuccess;
    EXPECT_FALSE(save_screen("mem://00000000.00000010"));
    EXPECT_EQ(get_error_code(), kErrorNoSuchFile);
}

}  // namespace
}  // namespace kvn
