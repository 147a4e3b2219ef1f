// The scaling rule of the program's picture in a larger output, and the point mappings.
#include <gtest/gtest.h>

#include <climits>

#include "platform/picture_scale.h"

namespace kvn::platform {
namespace {

struct AreaCase {
    const char* name;
    int32_t w, h, out_w, out_h;
    ScaleMode mode;
    PixelArea expected;
};

TEST(PictureScaleTest, DestinationRectangle) {
    const AreaCase cases[] = {
        // 1.8 times: 1843.2 columns rounded down, centred: columns 38 to 1880.
        {"wide into 16:9 fit", 1024, 600, 1920, 1080, ScaleMode::kFit, {38, 0, 1843, 1080}},
        {"wide into 16:9 integer", 1024, 600, 1920, 1080, ScaleMode::kInteger,
         {448, 240, 1024, 600}},
        {"wide into 16:9 stretch", 1024, 600, 1920, 1080, ScaleMode::kStretch,
         {0, 0, 1920, 1080}},
        // The width limits on a 5:4 screen: bars above and below.
        {"wide into 5:4 fit", 1024, 600, 1280, 1024, ScaleMode::kFit, {0, 137, 1280, 750}},
        {"wide into 5:4 integer", 1024, 600, 1280, 1024, ScaleMode::kInteger,
         {128, 212, 1024, 600}},
        {"4:3 into 5:4 fit", 640, 480, 1280, 1024, ScaleMode::kFit, {0, 32, 1280, 960}},
        {"4:3 into 5:4 integer", 640, 480, 1280, 1024, ScaleMode::kInteger, {0, 32, 1280, 960}},
        {"4:3 into 4K integer", 640, 480, 3840, 2160, ScaleMode::kInteger,
         {640, 120, 2560, 1920}},
        {"same size", 1024, 600, 1024, 600, ScaleMode::kFit, {0, 0, 1024, 600}},
        {"window scale 2", 640, 480, 1280, 960, ScaleMode::kFit, {0, 0, 1280, 960}},
        // Larger than the output: integer cannot reach 1x and shrinks like fit.
        {"shrink integer", 2000, 1000, 1000, 1000, ScaleMode::kInteger, {0, 250, 1000, 500}},
        {"one pixel into wide", 1, 1, 1920, 1080, ScaleMode::kFit, {420, 0, 1080, 1080}},
        {"very thin picture", 10000, 1, 100, 100, ScaleMode::kFit, {0, 49, 100, 1}},
        {"zero picture width", 0, 600, 1920, 1080, ScaleMode::kFit, {0, 0, 0, 0}},
        {"negative picture height", 1024, -1, 1920, 1080, ScaleMode::kInteger, {0, 0, 0, 0}},
        {"zero output", 1024, 600, 0, 0, ScaleMode::kStretch, {0, 0, 0, 0}},
        {"huge sizes", INT32_MAX, INT32_MAX, INT32_MAX, 2, ScaleMode::kFit,
         {(INT32_MAX - 2) / 2, 0, 2, 2}},
    };
    for (const AreaCase& c : cases) {
        const PixelArea area = scale_picture(c.w, c.h, c.out_w, c.out_h, c.mode).area;
        EXPECT_EQ(area.x, c.expected.x) << c.name;
        EXPECT_EQ(area.y, c.expected.y) << c.name;
        EXPECT_EQ(area.width, c.expected.width) << c.name;
        EXPECT_EQ(area.height, c.expected.height) << c.name;
    }
}

TEST(PictureScaleTest, ModeNames) {
    const struct {
        const char* name;
        ScaleMode expected;
    } cases[] = {
        {"fit", ScaleMode::kFit},         {"integer", ScaleMode::kInteger},
        {"stretch", ScaleMode::kStretch}, {nullptr, ScaleMode::kFit},
        {"", ScaleMode::kFit},            {"Integer", ScaleMode::kFit},
        {"stretched", ScaleMode::kFit},
    };
    for (const auto& c : cases) EXPECT_EQ(scale_mode_named(c.name), c.expected) << c.name;
}

struct PointCase {
    const char* name;
    int32_t x, y;
    int32_t expected_x, expected_y;
};

TEST(PictureScaleTest, OutputPointsReadProgramPixels) {
    const PictureScale fit = scale_picture(1024, 600, 1920, 1080, ScaleMode::kFit);
    const PointCase cases[] = {
        {"centre", 960, 540, 512, 300},
        {"first picture column", 38, 0, 0, 0},
        {"last picture column", 1880, 1079, 1023, 599},
        {"left bar", 10, 500, 0, 278},
        {"right bar", 1900, 20, 1023, 11},
        {"off the output above and left", -50, -50, 0, 0},
        {"far off below and right", INT32_MAX, INT32_MAX, 1023, 599},
        {"far off above and left", INT32_MIN, INT32_MIN, 0, 0},
    };
    for (const PointCase& c : cases) {
        int32_t x = -1, y = -1;
        output_to_picture(fit, c.x, c.y, &x, &y);
        EXPECT_EQ(x, c.expected_x) << c.name;
        EXPECT_EQ(y, c.expected_y) << c.name;
    }
    int32_t x = -1, y = -1;
    output_to_picture(scale_picture(0, 0, 1920, 1080, ScaleMode::kFit), 500, 500, &x, &y);
    EXPECT_EQ(x, 0) << "empty area";
    EXPECT_EQ(y, 0) << "empty area";
}

TEST(PictureScaleTest, ProgramPointsMapForwardsAndBack) {
    const PictureScale fit = scale_picture(1024, 600, 1920, 1080, ScaleMode::kFit);
    const PictureScale twice = scale_picture(640, 480, 1280, 960, ScaleMode::kFit);
    const PictureScale shrunk = scale_picture(2000, 1000, 1000, 1000, ScaleMode::kFit);
    const struct {
        const char* name;
        const PictureScale& scale;
        int32_t x, y, expected_x, expected_y;
    } cases[] = {
        {"fit centre", fit, 512, 300, 960, 540},
        {"fit origin", fit, 0, 0, 38, 0},
        {"fit far corner", fit, 1023, 599, 1880, 1079},
        {"twice origin", twice, 0, 0, 1, 1},
        {"twice corner", twice, 639, 479, 1279, 959},
        {"off the picture is kept in the output", fit, -100, 5000, 0, 1079},
        {"shrunk", shrunk, 1999, 999, 999, 749},
    };
    for (const auto& c : cases) {
        int32_t x = -1, y = -1;
        picture_to_output(c.scale, c.x, c.y, &x, &y);
        EXPECT_EQ(x, c.expected_x) << c.name;
        EXPECT_EQ(y, c.expected_y) << c.name;
    }
    // Every program pixel survives the way there and back whenever the picture is enlarged.
    for (const PictureScale* scale : {&fit, &twice}) {
        for (int32_t px = 0; px < scale->picture_width; px += 7) {
            int32_t ox = 0, oy = 0, back_x = 0, back_y = 0;
            picture_to_output(*scale, px, px % scale->picture_height, &ox, &oy);
            output_to_picture(*scale, ox, oy, &back_x, &back_y);
            ASSERT_EQ(back_x, px);
            ASSERT_EQ(back_y, px % scale->picture_height);
        }
    }
}

TEST(PictureScaleTest, MotionAddsUpAcrossReadings) {
    const struct {
        const char* name;
        int32_t picture_side, area_side;
        int32_t deltas[4];
        int32_t expected[4];
    } cases[] = {
        // 1.8 output pixels a program pixel: one pixel at a time adds up to 5 in 9.
        {"slow motion at 1.8", 600, 1080, {1, 1, 1, 1}, {0, 1, 0, 1}},
        {"fast motion at 1.8", 600, 1080, {18, -18, 9, -9}, {10, -10, 5, -5}},
        {"back and forth keeps nothing", 600, 1080, {1, -1, 1, -1}, {0, 0, 0, 0}},
        {"twice", 480, 960, {3, 3, -2, -4}, {1, 2, -1, -2}},
        {"one to one", 600, 600, {5, -7, 0, 1}, {5, -7, 0, 1}},
        {"shrunk", 2000, 1000, {1, -3, 0, 2}, {2, -6, 0, 4}},
        {"no area passes through", 600, 0, {4, -4, 1, 1}, {4, -4, 1, 1}},
        {"extreme motion is kept in range", 2000, 1, {INT32_MAX, INT32_MIN, 0, 0},
         {INT32_MAX, INT32_MIN, 0, 0}},
    };
    for (const auto& c : cases) {
        int64_t carry = 0;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(motion_to_picture(c.deltas[i], c.picture_side, c.area_side, &carry),
                      c.expected[i])
                << c.name << " step " << i;
        }
    }
}

TEST(PictureScaleTest, WindowScaleSetting) {
    const struct {
        const char* text;
        int32_t expected;
    } names[] = {
        {"2", 2},   {"1", 1},  {"16", 16}, {"17", 1},   {"0", 1},  {"-2", 1},
        {"2.5", 1}, {"x", 1},  {"", 1},    {nullptr, 1}, {"02", 2}, {"99999999999999999999", 1},
    };
    for (const auto& c : names) {
        EXPECT_EQ(window_scale_named(c.text), c.expected) << (c.text ? c.text : "null");
    }
    const struct {
        const char* name;
        int32_t scale, w, h, expected;
    } sizes[] = {
        {"small game twice", 2, 640, 480, 2},
        {"just fits", 16, 1024, 600, 16},
        {"one too wide", 16, 1025, 600, 1},
        {"huge picture", 2, INT32_MAX, 1, 1},
        {"no picture", 2, 0, 480, 1},
        {"scale one", 1, 640, 480, 1},
    };
    for (const auto& c : sizes) {
        EXPECT_EQ(usable_window_scale(c.scale, c.w, c.h), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace kvn::platform
