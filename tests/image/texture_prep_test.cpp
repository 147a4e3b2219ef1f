// Texture preparation: sizes, the bottom-row-first copy, the edge-colour fill, normal maps and
// the mipmap chain, on small cases worked out by hand.
#include <gtest/gtest.h>

#include <vector>

#include "image/image_decoders.h"
#include "image/texture_prep.h"

namespace kvn {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes texel_at(const TextureImage& texture, int x, int y) {
    const auto at = texture.texels.begin() + (static_cast<size_t>(y) * texture.width + x) * 4;
    return Bytes(at, at + 4);
}

// An image whose pixel (x, y) is (x, y, 7, 255), so each texel tells where it came from.
DecodedImage position_image(int32_t width, int32_t height) {
    DecodedImage image;
    image.width = width;
    image.height = height;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            image.pixels.insert(image.pixels.end(), {uint8_t(x), uint8_t(y), 7, 255});
        }
    }
    return image;
}

TEST(TexturePrep, SidesArePowersOfTwoFromSixteen) {
    const int32_t cases[][2] = {{1, 16},  {5, 16},    {16, 16},     {17, 32},
                                {20, 32}, {100, 128}, {1024, 1024}, {1025, 2048}};
    for (const auto& test : cases) EXPECT_EQ(texture_side_for(test[0]), test[1]) << test[0];
}

TEST(TexturePrep, CopiesTheRectangleBottomRowFirst) {
    const DecodedImage image = position_image(100, 20);
    struct Case {
        int32_t x, y, w, h, max_side;
        int32_t texture_width, texture_height, copied_width, copied_height;
    } cases[] = {
        {0, 0, 0, 0, 4096, 128, 32, 100, 20},  // the whole image
        {10, 4, 5, 5, 4096, 16, 16, 5, 5},     // an inner rectangle
        {90, 0, 40, 0, 4096, 16, 32, 10, 20},  // cut at the right edge
        {0, 0, 0, 0, 64, 64, 32, 64, 20},      // limited to the largest side
    };
    for (const Case& test : cases) {
        TextureImage texture;
        ASSERT_TRUE(
            prepare_texture(image, test.x, test.y, test.w, test.h, test.max_side, true, &texture));
        ASSERT_EQ(texture.width, test.texture_width);
        ASSERT_EQ(texture.height, test.texture_height);
        ASSERT_EQ(texture.texels.size(), size_t(test.texture_width) * test.texture_height * 4);
        for (int32_t ty = 0; ty < texture.height; ++ty) {
            for (int32_t tx = 0; tx < texture.width; ++tx) {
                const bool inside = tx < test.copied_width && ty < test.copied_height;
                const Bytes expected =
                    inside ? Bytes{uint8_t(test.x + tx),
                                   uint8_t(test.y + test.copied_height - 1 - ty), 7, 255}
                           : Bytes{0, 0, 0, 0};
                ASSERT_EQ(texel_at(texture, tx, ty), expected) << tx << "," << ty;
            }
        }
    }
    const int32_t refused[][4] = {{100, 0, 0, 0}, {0, 20, 0, 0}, {-1, 0, 0, 0}, {0, 0, -3, 0}};
    for (const auto& r : refused) {
        TextureImage texture;
        EXPECT_FALSE(prepare_texture(image, r[0], r[1], r[2], r[3], 4096, false, &texture));
    }
}

TEST(TexturePrep, EdgeFillAveragesVisibleNeighboursOffTheOutermostTexels) {
    // Texture rows bottom to top (image rows top to bottom are the reverse); red values,
    // green = red + 1, blue = red + 2; 0 marks alpha 0 (with colour 200 to be overwritten).
    const int red[4][4] = {
        {0, 140, 150, 160}, {90, 100, 110, 120}, {50, 0, 70, 80}, {10, 20, 30, 40}};
    DecodedImage image;
    image.width = image.height = 4;
    for (int image_row = 0; image_row < 4; ++image_row) {
        for (int x = 0; x < 4; ++x) {
            const int r = red[3 - image_row][x];
            const uint8_t value = uint8_t(r ? r : 200);
            image.pixels.insert(image.pixels.end(), {value, uint8_t(value + 1), uint8_t(value + 2),
                                                     uint8_t(r ? 255 : 0)});
        }
    }
    // Worked out by hand: the mean of the visible neighbours not in row 0 or column 0.
    const struct {
        int x, y, red;
    } cases[] = {{1, 2, 66}, {0, 0, 100}, {4, 2, 80}, {4, 4, 40},  {2, 4, 30},
                 {0, 4, 20}, {4, 0, 120}, {5, 5, -1}, {15, 15, -1}};
    TextureImage texture, font;
    ASSERT_TRUE(prepare_texture(image, 0, 0, 0, 0, 4096, false, &texture));
    ASSERT_TRUE(prepare_texture(image, 0, 0, 0, 0, 4096, true, &font));
    for (const auto& test : cases) {
        const Bytes expected = test.red < 0 ? Bytes{0, 0, 0, 0}
                                            : Bytes{uint8_t(test.red), uint8_t(test.red + 1),
                                                    uint8_t(test.red + 2), 0};
        EXPECT_EQ(texel_at(texture, test.x, test.y), expected) << test.x << "," << test.y;
    }
    EXPECT_EQ(texel_at(texture, 2, 1), (Bytes{110, 111, 112, 255}));
    // Fonts keep their texels as copied.
    EXPECT_EQ(texel_at(font, 0, 0), (Bytes{200, 201, 202, 0}));
    EXPECT_EQ(texel_at(font, 4, 2), (Bytes{0, 0, 0, 0}));
}

TEST(TexturePrep, NormalMapFollowsTheBlueSlopeWithWrapAround) {
    // Blue 255 in column 5 and row 9 of a 16 x 16 texture, 0 elsewhere; alpha 99 throughout.
    TextureImage texture;
    texture.width = texture.height = 16;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool raised = x == 5 || y == 9;
            texture.texels.insert(texture.texels.end(), {1, 2, uint8_t(raised ? 255 : 0), 99});
        }
    }
    // A slope of 4 gives the normal (-4, 0, 1) / sqrt(17): 3 or 251 across it, 158 for blue.
    const struct {
        int x, y;
        Bytes expected;
    } cases[] = {
        {0, 0, {127, 127, 255, 99}},  {4, 2, {3, 127, 158, 99}},   {6, 2, {251, 127, 158, 99}},
        {12, 8, {127, 251, 158, 99}}, {12, 10, {127, 3, 158, 99}}, {5, 3, {127, 127, 255, 99}},
    };
    ASSERT_TRUE(make_normal_map(&texture));
    for (const auto& test : cases) {
        EXPECT_EQ(texel_at(texture, test.x, test.y), test.expected) << test.x << "," << test.y;
    }
    // Wrap-around: column 15's right neighbour is column 0.
    TextureImage wrapped;
    wrapped.width = wrapped.height = 16;
    wrapped.texels.assign(16 * 16 * 4, 0);
    for (int y = 0; y < 16; ++y) wrapped.texels[(y * 16) * 4 + 2] = 255;
    ASSERT_TRUE(make_normal_map(&wrapped));
    EXPECT_EQ(texel_at(wrapped, 15, 7), (Bytes{3, 127, 158, 0}));
    EXPECT_EQ(texel_at(wrapped, 1, 7), (Bytes{251, 127, 158, 0}));
}

// A texture whose channels at (x, y) all hold 20 y + 3 x + 5.
TextureImage ramp(int32_t width, int32_t height) {
    TextureImage texture;
    texture.width = width;
    texture.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            texture.texels.insert(texture.texels.end(), 4, uint8_t(20 * y + 3 * x + 5));
    }
    return texture;
}

TEST(TexturePrep, MipmapsSquareThenHalveWithTheWeighting) {
    // Squaring averages pairs: (5 + 8) / 2 = 6, (25 + 28) / 2 = 26; (5 + 25) / 2 = 15.
    TextureImage wide = ramp(4, 2), tall = ramp(2, 4);
    square_for_mipmaps(&wide);
    square_for_mipmaps(&tall);
    ASSERT_EQ(wide.width, 2);
    ASSERT_EQ(wide.height, 2);
    EXPECT_EQ(texel_at(wide, 0, 0)[0], 6);
    EXPECT_EQ(texel_at(wide, 1, 1)[0], (31 + 34) / 2);
    ASSERT_EQ(tall.width, 2);
    ASSERT_EQ(tall.height, 2);
    EXPECT_EQ(texel_at(tall, 0, 0)[0], 15);
    EXPECT_EQ(texel_at(tall, 1, 1)[0], (48 + 68) / 2);

    // 4 x 4 to 2 x 2 by hand: (0, 0) = (4*5 + 2*8 + 2*48 + 45) / 9 = 19; last column
    // (2*11 + 51) / 3 = 24; last row (2*45 + 48) / 3 = 46; corner 51 alone.
    TextureImage level = ramp(4, 4);
    halve_mipmap_level(&level);
    ASSERT_EQ(level.width, 2);
    ASSERT_EQ(level.height, 2);
    EXPECT_EQ(texel_at(level, 0, 0), Bytes(4, 19));
    EXPECT_EQ(texel_at(level, 1, 0), Bytes(4, 24));
    EXPECT_EQ(texel_at(level, 0, 1), Bytes(4, 46));
    EXPECT_EQ(texel_at(level, 1, 1), Bytes(4, 51));

    // A 64 x 16 texture gives levels of 16, 8, 4, 2 and 1, the last the corner of the one
    // before.
    TextureImage chain = ramp(64, 16);
    std::vector<int32_t> sides;
    Bytes last;
    build_mipmap_chain(
        &chain, [&](int32_t level_number, int32_t width, int32_t height, const uint8_t* texels) {
            EXPECT_EQ(level_number, int32_t(sides.size()));
            EXPECT_EQ(width, height);
            sides.push_back(width);
            last.assign(texels, texels + 4);
        });
    EXPECT_EQ(sides, (std::vector<int32_t>{16, 8, 4, 2, 1}));
    EXPECT_EQ(chain.texels.size(), 4u);
    EXPECT_EQ(last, chain.texels);
}

}  // namespace
}  // namespace kvn
