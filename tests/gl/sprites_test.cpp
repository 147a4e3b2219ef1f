// The sprite store, sprite and primitive drawing, the polygon batch, collision, backgrounds and
// bitmap-font text on a real GL context: pixels are read back and compared.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/media_reader.h"
#include "gfx/fonts.h"
#include "kvn/gfx.h"
#include "runtime/runtime_state.h"
#include "support/bmp_writer.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 400;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kGreen = 0x00FF00;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kYellow = 0x00FFFF;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kKey = 0x8000FF;
constexpr int32_t kBackdrop = 0x402010;

// An 8 x 8 image of four 4 x 4 quadrants: red, green on top, blue, yellow below.
int32_t quadrants(int32_t x, int32_t y) {
    if (y < 4) return x < 4 ? kRed : kGreen;
    return x < 4 ? kBlue : kYellow;
}

// A grey JPEG file of w x h through libjpeg.
void write_jpeg(const std::string& path, int w, int h, uint8_t grey) {
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = w;
    compressor.image_height = h;
    compressor.input_components = 1;
    compressor.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&compressor);
    jpeg_start_compress(&compressor, TRUE);
    std::vector<JSAMPLE> row(w, grey);
    JSAMPROW rows[1] = {row.data()};
    while (compressor.next_scanline < compressor.image_height)
        jpeg_write_scanlines(&compressor, rows, 1);
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    std::fclose(file);
}

struct Probe {
    int32_t x, y, colour;
};

class SpritesTest : public testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        runtime.renderer = std::make_unique<VoruRERarudeve>();
        attach_renderer(runtime.renderer.get());
        ASSERT_TRUE(runtime.renderer->create(nullptr, kWidth, kHeight, 0, 60, 0));
        set_error(0);
        clear_screen(kBackdrop);
    }
    void TearDown() override {
        attach_renderer(nullptr);
        runtime.renderer.reset();
        ScratchDirectoryTest::TearDown();
    }

    // Writes an image file and loads it into the slot.
    template <typename Pixel>
    void load(int32_t slot, int32_t w, int32_t h, Pixel pixel, const std::string& name = "") {
        const std::string file = name.empty() ? "s" + std::to_string(slot) + ".bmp" : name;
        testing_support::write_bmp(directory_ / file, w, h, pixel);
        load_sprite(file.c_str(), slot);
        ASSERT_EQ(get_error_code(), 0) << file;
    }

    // The RGB integer of screen pixel (x, y), y downwards.
    static int32_t pixel(int32_t x, int32_t y) {
        uint8_t rgba[4] = {};
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return rgba[0] | rgba[1] << 8 | rgba[2] << 16;
    }

    static void expect_pixels(const std::vector<Probe>& probes, const char* what) {
        for (const Probe& p : probes) {
            EXPECT_EQ(pixel(p.x, p.y), p.colour)
                << what << " at " << p.x << "," << p.y << std::hex << " got " << pixel(p.x, p.y);
        }
    }

    // Channels of a pixel, for blended colours.
    static void expect_near(int32_t x, int32_t y, int r, int g, int b, const char* what) {
        const int32_t c = pixel(x, y);
        EXPECT_NEAR(c & 0xFF, r, 2) << what;
        EXPECT_NEAR((c >> 8) & 0xFF, g, 2) << what;
        EXPECT_NEAR((c >> 16) & 0xFF, b, 2) << what;
    }
};

TEST_F(SpritesTest, LoadsFillTheSlotRecordAndFailuresLeaveItEmpty) {
    load(1, 100, 20, [](int, int) { return kRed; });
    load(2, 5, 5, [](int, int) { return kRed; });
    const VoruRERarudeve& renderer = *runtime.renderer;
    struct Case {
        int32_t slot, img_w, img_h, tex_w, tex_h;
    } cases[] = {{1, 100, 20, 128, 32}, {2, 5, 5, 16, 16}};
    for (const Case& c : cases) {
        const SpriteSlot& s = renderer.sprite(c.slot);
        int32_t w = 0, h = 0;
        get_sprite_size_int(c.slot, w, h);
        EXPECT_EQ(w, c.img_w);
        EXPECT_EQ(h, c.img_h);
        EXPECT_EQ(s.tex_w, c.tex_w);
        EXPECT_EQ(s.tex_h, c.tex_h);
        EXPECT_FLOAT_EQ(s.u_max, float(c.img_w) / c.tex_w);
        EXPECT_FLOAT_EQ(s.v_max, float(c.img_h) / c.tex_h);
        EXPECT_NE(s.mip_texture, 0u);
        EXPECT_EQ(get_sprite_texture(c.slot), int32_t(s.texture));
    }
    EXPECT_EQ(get_free_sprite(), 0);

    // A failed reload frees the old textures.
    const GLuint old_texture = renderer.sprite(1).texture;
    load_sprite("missing.png", 1);
    EXPECT_EQ(get_error_code(), 3);
    double w = -1, h = -1;
    get_sprite_size(1, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(glIsTexture(old_texture));
    EXPECT_EQ(get_sprite_texture(1), 0);
    // Garbage is not an image either.
    testing_support::write_file(directory_ / "junk.png", "\x89PNG not really");
    load_animation("junk.png", 1, 4, 4);
    EXPECT_EQ(get_error_code(), 3);
    EXPECT_EQ(renderer.sprite(1).frame_w, 0);

    // Slots outside the table are refused without effect.
    set_error(9);
    load_sprite("s2.bmp", 65536);
    load_sprite("s2.bmp", -1);
    EXPECT_EQ(get_error_code(), 9);
    get_sprite_size(70000, w, h);
    EXPECT_EQ(w, 0);
    draw_sprite(-5, 0, 0);
    stretch_animation(65536, 0, 0, 0, 5, 5);
    EXPECT_EQ(sprite_collision(-1, 0, 0, 2, 0, 0), 0);
    expect_pixels({{2, 2, kBackdrop}}, "nothing drawn");
}

TEST_F(SpritesTest, ImagesComeFromFilesAndMemoryImagesJpegOnlyFromFiles) {
    testing_support::write_bmp(directory_ / "flat.bmp", 20, 10, [](int, int) { return kBlue; });
    write_jpeg((directory_ / "grey.jpg").string(), 24, 8, 200);
    std::vector<uint8_t> bmp, jpeg;
    ASSERT_TRUE(read_whole_media("flat.bmp", &bmp));
    ASSERT_TRUE(read_whole_media("grey.jpg", &jpeg));
    const uint32_t bmp_image = memory_image_add(bmp);
    const uint32_t jpeg_image = memory_image_add(jpeg);
    struct Case {
        StringValue name;
        int32_t error, width;
    } cases[] = {{"grey.jpg", 0, 24},
                 {memory_image_name(bmp_image), 0, 20},
                 {memory_image_name(jpeg_image), 3, 0}};
    for (const Case& c : cases) {
        load_sprite(c.name, 1);
        int32_t w = 0, h = 0;
        get_sprite_size_int(1, w, h);
        EXPECT_EQ(get_error_code(), c.error) << c.name.c_str();
        EXPECT_EQ(w, c.width) << c.name.c_str();
    }
    memory_image_remove(bmp_image);
    memory_image_remove(jpeg_image);

    // A flat blue channel has no slope: every normal points straight out of the picture.
    load_normal_map("flat.bmp", 2);
    std::vector<uint8_t> texels(32 * 16 * 4);
    glBindTexture(GL_TEXTURE_2D, runtime.renderer->sprite(2).texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const size_t inside = (5 * 32 + 10) * 4;
    EXPECT_EQ(texels[inside], 127);
    EXPECT_EQ(texels[inside + 1], 127);
    EXPECT_EQ(texels[inside + 2], 255);
    EXPECT_EQ(texels[inside + 3], 255);
}

TEST_F(SpritesTest, SpritesAppearUprightAndTurnCounterClockwise) {
    load(1, 8, 8, quadrants);
    struct Case {
        const char* what;
        void (*draw)();
        std::vector<Probe> probes;
    } cases[] = {
        {"draw_sprite",
         [] { draw_sprite(1, 50, 60); },
         {{51, 61, kRed},
          {56, 61, kGreen},
          {51, 66, kBlue},
          {56, 66, kYellow},
          {58, 61, kBackdrop},
          {49, 61, kBackdrop},
          {51, 68, kBackdrop}}},
        {"stretch_sprite",
         [] { stretch_sprite(1, 50, 60, 16, 8); },
         {{52, 61, kRed},
          {62, 61, kGreen},
          {52, 66, kBlue},
          {62, 66, kYellow},
          {66, 61, kBackdrop}}},
        {"zoom_sprite x2",
         [] { zoom_sprite(1, 50, 60, 2, 2); },
         {{48, 58, kRed},
          {59, 58, kGreen},
          {48, 69, kBlue},
          {59, 69, kYellow},
          {45, 58, kBackdrop}}},
        {"zoom_sprite mirrored",
         [] { zoom_sprite(1, 50, 60, -1, 1); },
         {{51, 61, kGreen}, {56, 61, kRed}, {51, 66, kYellow}, {56, 66, kBlue}}},
        {"zoom_sprite upside down",
         [] { zoom_sprite(1, 50, 60, 1, -1); },
         {{51, 61, kBlue}, {56, 61, kYellow}, {51, 66, kRed}, {56, 66, kGreen}}},
        {"rotate_sprite 90",
         [] { rotate_sprite(1, 50, 60, 90); },
         {{51, 61, kGreen}, {56, 61, kYellow}, {51, 66, kRed}, {56, 66, kBlue}}},
        {"rotozoom_sprite -90 x2",
         [] { rotozoom_sprite(1, 50, 60, -90, 2); },
         {{48, 58, kBlue}, {59, 58, kRed}, {48, 69, kYellow}, {59, 69, kGreen}}},
    };
    for (const Case& c : cases) {
        clear_screen(kBackdrop);
        c.draw();
        expect_pixels(c.probes, c.what);
    }
}

TEST_F(SpritesTest, AnimationFramesComeFromTheirCells) {
    // 24 x 16 image of 8 x 8 frames: 0 1 2 on top, 3 4 5 below; frame 6 lies outside.
    static const int32_t colours[6] = {kRed, kGreen, kBlue, kYellow, kWhite, 0x808080};
    load(1, 24, 16, [](int x, int y) { return colours[(y / 8) * 3 + x / 8]; });
    set_animation_frame_size(1, 8, 8);
    set_animation_frame_size(2, 8, 8);  // empty slot: no frame size
    EXPECT_EQ(runtime.renderer->sprite(2).frame_w, 0);
    set_smooth_filter(0);
    struct Case {
        const char* what;
        void (*draw)();
        std::vector<Probe> probes;
    } cases[] = {
        {"draw_animation",
         [] { draw_animation(1, 4, 20, 20); },
         {{20, 20, kWhite}, {27, 27, kWhite}, {28, 27, kBackdrop}, {27, 28, kBackdrop}}},
        {"draw_animation first", [] { draw_animation(1, 0, 20, 20); }, {{23, 23, kRed}}},
        {"stretch_animation",
         [] { stretch_animation(1, 2, 20, 20, 30, 12); },
         {{20, 20, kBlue}, {49, 31, kBlue}, {50, 25, kBackdrop}, {25, 32, kBackdrop}}},
        {"rotozoom_animation",
         [] { rotozoom_animation(1, 3, 20, 20, 30, 3); },
         {{24, 24, kYellow}, {18, 26, kYellow}, {24, 12, kYellow}, {40, 40, kBackdrop}}},
        {"no frame size", [] { draw_animation(2, 0, 20, 20); }, {{23, 23, kBackdrop}}},
    };
    for (const Case& c : cases) {
        clear_screen(kBackdrop);
        c.draw();
        expect_pixels(c.probes, c.what);
    }
}

TEST_F(SpritesTest, EveryDrawingCommandOnAnEmptySlotDrawsNothing) {
    // Slot 1 loaded with a frame size and then freed by a failed reload: the frame size
    // survives, the texture does not. Slot 2 was never loaded.
    load(1, 16, 16, [](int, int) { return kWhite; });
    set_animation_frame_size(1, 8, 8);
    load_sprite("missing.png", 1);
    ASSERT_EQ(get_error_code(), 3);
    ASSERT_EQ(get_sprite_texture(1), 0);
    struct Case {
        const char* what;
        void (*draw)(int32_t slot);
    } cases[] = {
        {"draw_sprite", [](int32_t slot) { draw_sprite(slot, 20, 20); }},
        {"stretch_sprite", [](int32_t slot) { stretch_sprite(slot, 20, 20, 30, 30); }},
        {"zoom_sprite", [](int32_t slot) { zoom_sprite(slot, 20, 20, 3, 3); }},
        {"rotate_sprite", [](int32_t slot) { rotate_sprite(slot, 20, 20, 30); }},
        {"rotozoom_sprite", [](int32_t slot) { rotozoom_sprite(slot, 20, 20, 30, 4); }},
        {"draw_animation", [](int32_t slot) { draw_animation(slot, 1, 20, 20); }},
        {"stretch_animation", [](int32_t slot) { stretch_animation(slot, 1, 20, 20, 30, 30); }},
        {"rotozoom_animation",
         [](int32_t slot) { rotozoom_animation(slot, 1, 20, 20, 30, 4); }},
        {"textured batch",
         [](int32_t slot) {
             start_poly(slot, 0);
             for (const auto& [x, y] : {std::pair{20, 20}, {50, 20}, {50, 50}, {20, 50}}) {
                 poly_vector(x, y, 0, 0, kWhite);
             }
             end_poly();
         }},
    };
    for (const Case& c : cases) {
        for (int32_t slot : {1, 2}) {
            clear_screen(kBackdrop);
            c.draw(slot);
            std::vector<uint8_t> rgba(64 * 64 * 4);
            glReadPixels(0, kHeight - 64, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
            size_t drawn = 0;
            for (size_t i = 0; i < rgba.size(); i += 4) {
                drawn += (rgba[i] | rgba[i + 1] << 8 | rgba[i + 2] << 16) != kBackdrop;
            }
            EXPECT_EQ(drawn, 0u) << c.what << " on slot " << slot;
        }
    }
}

TEST_F(SpritesTest, PrimitivesCoverTheirPixelsAndBlendPerAlphaMode) {
    draw_rect(20, 30, -3, -2, kWhite);
    draw_rect(40, 30, 3, 2, kWhite);
    set_pixel(5, 5, kGreen);
    draw_line(10, 10, 15, 10, kRed);
    expect_pixels({{17, 30, kBackdrop},
                   {18, 30, kWhite},
                   {20, 29, kWhite},
                   {21, 30, kBackdrop},
                   {20, 28, kBackdrop},
                   {20, 31, kBackdrop},
                   {40, 30, kWhite},
                   {42, 31, kWhite},
                   {43, 30, kBackdrop},
                   {42, 32, kBackdrop},
                   {5, 5, kGreen},
                   {6, 5, kBackdrop},
                   {4, 5, kBackdrop},
                   {9, 10, kBackdrop},
                   {10, 10, kRed},
                   {15, 10, kRed},
                   {16, 10, kBackdrop}},
                  "primitives");
    // The key colour is drawn as itself without blending, and not at all with it.
    draw_rect(100, 100, 4, 4, kKey);
    set_alpha_mode(-1);
    draw_rect(110, 100, 4, 4, kKey);
    expect_pixels({{101, 101, kKey}, {111, 101, kBackdrop}}, "key colour");
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));  // primitives switch the alpha test back on

    set_alpha_mode(-0.5);
    draw_rect(200, 100, 4, 4, kRed);
    set_alpha_mode(0.5);
    draw_rect(210, 100, 4, 4, kRed);
    set_alpha_mode(-3);
    draw_rect(220, 100, 4, 4, kRed);
    set_alpha_mode(0);
    draw_rect(230, 100, 4, 4, kRed);
    expect_near(201, 101, 0x10 / 2 + 127, 0x20 / 2, 0x40 / 2, "normal at half alpha");
    expect_near(211, 101, 0x10 + 127, 0x20, 0x40, "additive at half alpha");
    expect_pixels({{221, 101, kRed}, {231, 101, kRed}}, "full alpha");
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(SpritesTest, KeyedTexelsStayInvisibleAndTintFollowsTheAlphaMode) {
    // A white square with a transparent (key-coloured) middle.
    load(1, 8, 8, [](int x, int y) { return x >= 2 && x < 6 && y >= 2 && y < 6 ? kKey : kWhite; });
    set_transparency(kWhite);  // later loads only
    for (double mode : {0.0, -1.0, 1.0}) {
        clear_screen(kBackdrop);
        set_alpha_mode(mode);
        draw_sprite(1, 10, 10);
        expect_pixels({{11, 11, kWhite}, {14, 14, kBackdrop}}, "keyed middle");
    }
    set_alpha_mode(-0.5);
    clear_screen(0);
    draw_sprite(1, 10, 10);
    expect_near(11, 11, 127, 127, 127, "sprite at half alpha");
}

TEST_F(SpritesTest, BatchesJoinStripsAndCarryColoursAndTextures) {
    start_poly(-1, 2);
    const double quads[2][2] = {{10, 20}, {40, 50}};
    const int32_t colours[2] = {kRed, kGreen};
    for (int q = 0; q < 2; ++q) {
        if (q > 0) poly_new_strip();
        for (double y : {10.0, 20.0}) {
            poly_vector(quads[q][0], y, 0, 0, colours[q]);
            poly_vector(quads[q][1], y, 0, 0, colours[q]);
        }
    }
    end_poly();
    expect_pixels({{15, 15, kRed}, {45, 15, kGreen}, {30, 15, kBackdrop}, {30, 12, kBackdrop}},
                  "joined strips");

    // Separate triangles, textured: the image's pixel coordinates, y downwards.
    load(1, 8, 8, quadrants);
    start_poly(1, 1);
    const double corners[6][2] = {{0, 0}, {8, 0}, {0, 8}, {8, 0}, {8, 8}, {0, 8}};
    for (const auto& c : corners) poly_vector(100 + 4 * c[0], 100 + 4 * c[1], c[0], c[1], kWhite);
    end_poly();
    expect_pixels({{104, 104, kRed}, {126, 104, kGreen}, {104, 126, kBlue}, {126, 126, kYellow}},
                  "textured triangles");

    // A poly_vector before any start_poly and a mode outside 0..2 draw nothing and do no harm.
    runtime.renderer->poly_batch() = PolyBatch();
    poly_vector(1, 1, 0, 0, kWhite);
    start_poly(-1, 7);
    for (int i = 0; i < 2000; ++i) poly_vector(i % 50, 300 + i % 7, 0, 0, kWhite);
    end_poly();
    expect_pixels({{20, 303, kBackdrop}}, "unknown mode");
}

TEST_F(SpritesTest, CollisionFollowsTheOpaquePixels) {
    // A 9 x 9 ring with a 3 x 3 hole (height not a power of two), a 3 x 3 dot, a 20 x 10 slab.
    load(1, 9, 9, [](int x, int y) { return x >= 3 && x < 6 && y >= 3 && y < 6 ? kKey : kRed; });
    load(2, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? kRed : kKey; });
    load(3, 20, 10, [](int, int) { return kRed; });
    // A 16 x 8 strip of two frames: the left opaque, the right transparent except its top row.
    load(4, 16, 8, [](int x, int y) { return x < 8 || y == 0 ? kRed : kKey; });
    set_animation_frame_size(4, 8, 8);
    struct Case {
        int32_t result;
        int32_t expected;
        const char* what;
    } cases[] = {
        {sprite_collision(3, 0, 0, 3, 20, 0), 0, "edges touch"},
        {sprite_collision(3, 0, 0, 3, 19, 9), 1, "corner pixel"},
        {sprite_collision(1, 0, 0, 2, 3, 3), 0, "dot in the hole"},
        {sprite_collision(1, 0, 0, 2, 1, 1), 1, "dot on the ring"},
        {sprite_collision(1, 0, 0, 2, 6, 6), 1, "dot on the ring's lower right"},
        {sprite_collision(1, 0, 0, 2, 7, 8), 0, "dot below the ring"},
        {sprite_collision(1, 0, 0, 5, 0, 0), 0, "empty slot"},
        {animation_collision(4, 0, 0, 0, 3, 0, 7, 7), 1, "opaque frame"},
        {animation_collision(4, 1, 0, 0, 3, 0, 0, 1), 0, "transparent frame"},
        {animation_collision(4, 1, 0, 0, 3, 0, 0, -9), 1, "top row of the frame"},
        {animation_collision(4, 9, 0, 0, 3, 0, 0, 0), 0, "frame outside the image"},
        {animation_collision(4, -1, 0, 0, 3, 0, 0, 0), 0, "negative frame"},
        {animation_collision(4, INT32_MAX, 0, 0, 3, 0, 0, 0), 0, "huge frame"},
        {animation_collision(1, 7, 0, 0, 2, 3, 1, 1), 1, "no frame size: whole image"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
    set_animation_frame_size(4, 0, 8);
    EXPECT_EQ(animation_collision(4, 1, 0, 0, 3, 0, 12, 1), 0);
    EXPECT_EQ(animation_collision(4, 1, 0, 0, 3, 0, -12, 0), 1);
}

TEST_F(SpritesTest, BackgroundTilesShowThePictureAndRedrawEveryFrame) {
    const auto picture = [](int x, int y) { return x < 300 ? kRed : y < 150 ? kGreen : kBlue; };
    testing_support::write_bmp(directory_ / "back.bmp", 600, 300, picture);
    const std::vector<Probe> drawn = {{10, 10, kRed},    {550, 10, kGreen}, {599, 299, kBlue},
                                      {520, 160, kBlue}, {600, 10, 0},      {10, 300, 0},
                                      {620, 320, 0}};
    clear_screen(0);
    load_background("back.bmp");
    EXPECT_EQ(get_error_code(), 0);
    expect_pixels(drawn, "loaded background");
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(runtime.renderer->current_sprite(), -1);

    runtime.renderer->present(nullptr);
    runtime.renderer->start_next_frame();
    expect_pixels(drawn, "next frame");

    clear_screen(0);
    runtime.renderer->present(nullptr);
    runtime.renderer->start_next_frame();
    expect_pixels({{10, 10, 0}}, "after clear_screen");

    clear_screen(kWhite);
    load_background("missing.bmp");
    EXPECT_EQ(get_error_code(), 3);
    expect_pixels({{10, 10, 0}}, "failed load");
}

TEST_F(SpritesTest, PresentResetsTheDrawingState) {
    load(1, 8, 8, quadrants);
    set_alpha_mode(0.5);
    set_smooth_filter(0);
    draw_sprite(1, 0, 0);
    runtime.renderer->present(nullptr);
    runtime.renderer->start_next_frame();
    const VoruRERarudeve& renderer = *runtime.renderer;
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(renderer.smooth(), 1);
    EXPECT_FLOAT_EQ(renderer.alpha(), 1.0f);
    EXPECT_EQ(renderer.current_sprite(), -1);
    GLint environment = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
    EXPECT_EQ(environment, GL_MODULATE);
}

TEST_F(SpritesTest, CommandsLeaveTheirTextureStateWhateverCameBefore) {
    load(1, 8, 8, quadrants);
    const auto wrap_and_filter = [] {
        GLint wrap = 0, filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
        return std::make_pair(wrap, filter);
    };
    struct Case {
        const char* what;
        void (*before)();
        void (*command)();
        GLint wrap, filter;
    };
    const Case cases[] = {
        {"draw after stretch", [] { stretch_sprite(1, 0, 0, 20, 20); },
         [] { draw_sprite(1, 0, 0); }, GL_REPEAT, GL_LINEAR},
        {"stretch after draw", [] { draw_sprite(1, 0, 0); },
         [] { stretch_sprite(1, 0, 0, 20, 20); }, GL_CLAMP_TO_EDGE, GL_LINEAR},
        {"batch after rotation", [] { rotate_sprite(1, 0, 0, 30); },
         [] {
             start_poly(1, 0);
             end_poly();
         },
         GL_REPEAT, GL_LINEAR},
        {"nearest after linear", [] { draw_sprite(1, 0, 0); },
         [] {
             set_smooth_filter(0);
             draw_sprite(1, 0, 0);
         },
         GL_REPEAT, GL_NEAREST},
    };
    for (const Case& c : cases) {
        set_smooth_filter(1);
        c.before();
        c.command();
        EXPECT_EQ(wrap_and_filter(), std::make_pair(c.wrap, c.filter)) << c.what;
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << c.what;
    }
}

TEST_F(SpritesTest, GlCallsOfOtherCodeAreFollowedByAnInvalidation) {
    load(1, 8, 8, quadrants);
    load(2, 8, 8, [](int32_t, int32_t) { return kWhite; });
    const GLuint other = static_cast<GLuint>(get_sprite_texture(2));
    struct Case {
        const char* what;
        void (*foreign)(GLuint other);
    };
    const Case cases[] = {
        {"another texture bound", [](GLuint texture) { glBindTexture(GL_TEXTURE_2D, texture); }},
        {"texturing off", [](GLuint) { glDisable(GL_TEXTURE_2D); }},
        {"blending on",
         [](GLuint) {
             glEnable(GL_BLEND);
             glBlendFunc(GL_ZERO, GL_ZERO);
         }},
        {"alpha test off", [](GLuint) { glDisable(GL_ALPHA_TEST); }},
    };
    for (const Case& c : cases) {
        clear_screen(kBackdrop);
        set_alpha_mode(0);
        draw_sprite(1, 0, 0);
        c.foreign(other);
        runtime.renderer->invalidate_gl_state_cache();
        set_alpha_mode(0);
        draw_sprite(1, 20, 0);
        expect_pixels({{21, 1, kRed}, {26, 1, kGreen}, {21, 6, kBlue}, {26, 6, kYellow}}, c.what);
        EXPECT_FALSE(glIsEnabled(GL_BLEND)) << c.what;
        EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST)) << c.what;
    }
}

// A font image of 16 columns of cells, each cell filled with a colour made from its code.
int32_t cell_colour(int32_t code) {
    return (code * 2 + 1) | (255 - code) << 8 | 100 << 16;
}

TEST_F(SpritesTest, StartUpInstallsTheDefaultFontFileOrTheBuiltInFont) {
    struct Case {
        const char* file;
        int32_t glyph_w;
    } cases[] = {{nullptr, 8}, {"smalfont.bmp", 16}, {"smalfont.png", 8}};
    for (const Case& c : cases) {
        // A "smalfont.png" that is no picture still wins over "smalfont.bmp": the built-in
        // font stays, with error 3.
        if (c.file) {
            testing_support::write_bmp(directory_ / "smalfont.bmp", 256, 128,
                                       [](int, int) { return kWhite; });
        }
        if (c.file && std::string(c.file) == "smalfont.png") {
            testing_support::write_file(directory_ / "smalfont.png", "no picture");
        }
        set_font(5);
        install_default_fonts();
        int32_t w = 0, h = 0;
        get_font_size_int(w, h);
        EXPECT_EQ(runtime.renderer->current_font(), 0);
        EXPECT_EQ(w, c.glyph_w) << (c.file ? c.file : "no file");
    }
    EXPECT_EQ(get_error_code(), 3);
}

TEST_F(SpritesTest, FontsFollowTheGridAndFallBackToTheBuiltInFont) {
    runtime.renderer->make_builtin_font(0);
    int32_t w = 0, h = 0;
    get_font_size_int(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);

    // Built-in 'A': its crossbar row (cell row 3) is white from column 2 to 4, with a dark
    // outline at columns 1 and 5; the cell's outer pixels are transparent.
    print_text("A", 10.2, 19.5);
    expect_pixels({{13, 23, kWhite},
                   {15, 23, kWhite},
                   {12, 23, 0x080808},
                   {16, 23, 0x080808},
                   {11, 23, kBackdrop},
                   {17, 23, kBackdrop}},
                  "built-in A");

    struct Grid {
        int32_t w, h, glyph_w, glyph_h;
    } grids[] = {{256, 128, 16, 16}, {128, 256, 8, 16}, {256, 256, 16, 32}};
    for (const Grid& g : grids) {
        const std::string name = "font" + std::to_string(g.w) + "x" + std::to_string(g.h) + ".bmp";
        const int32_t rows = g.w < g.h ? 16 : 8;
        testing_support::write_bmp(directory_ / name, g.w, g.h, [&](int x, int y) {
            return cell_colour((y / g.glyph_h) * 16 + x / g.glyph_w);
        });
        load_font(name.c_str(), 2);
        ASSERT_EQ(get_error_code(), 0);
        get_font_size_int(w, h);
        EXPECT_EQ(w, g.glyph_w) << name;
        EXPECT_EQ(h, g.glyph_h) << name;
        clear_screen(kBackdrop);
        print_text("A\xC8Z", 0, 0);  // 0xC8 = 200
        const int32_t codes = 16 * rows;
        expect_pixels({{g.glyph_w / 2, g.glyph_h / 2, cell_colour('A')},
                       {g.glyph_w * 3 / 2, g.glyph_h / 2, cell_colour(200 % codes)},
                       {g.glyph_w * 5 / 2, g.glyph_h - 1, cell_colour('Z')},
                       {g.glyph_w * 3, 0, kBackdrop}},
                      name.c_str());
    }

    load_font("missing.png", 3);
    EXPECT_EQ(get_error_code(), 3);
    EXPECT_EQ(runtime.renderer->current_font(), 3);
    get_font_size_int(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);

    set_font(40);
    EXPECT_EQ(runtime.renderer->current_font(), 31);
    set_font(-2);
    EXPECT_EQ(runtime.renderer->current_font(), 0);
    EXPECT_EQ(get_free_font(), 1);
    load_font("", 0);
    EXPECT_EQ(get_free_font(), 0);
    EXPECT_EQ(runtime.renderer->current_font(), 0);
    double dw = -1, dh = -1;
    get_font_size(dw, dh);
    EXPECT_EQ(dw, 0);
    load_font("", 99);  // no such font: no effect
    EXPECT_EQ(runtime.renderer->sprite(kFirstFontSlot + 3).img_w, 128);
    print_text("nothing visible", 0, 0);
    print_number(3.5, 0, 0);
}

}  // namespace
}  // namespace kvn
