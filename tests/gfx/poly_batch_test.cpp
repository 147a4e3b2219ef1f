// The polygon batch: vertex values, joins between strips and growth.
#include "gfx/poly_batch.h"

#include <gtest/gtest.h>

#include <vector>

namespace kvn {
namespace {

constexpr int32_t kKey = 0x8000FF;

std::vector<float> xs(const PolyBatch& batch) {
    std::vector<float> out;
    for (size_t i = 0; i < batch.count(); ++i) out.push_back(batch.vertices()[i].x);
    return out;
}

TEST(PolyBatchTest, VerticesMapImagePixelsAndColours) {
    PolyBatch batch;
    // A 100 x 20 image in a 128 x 32 texture.
    batch.start(2, true, 128, 32, 20);
    batch.add(1.5, 2.5, 64, 0, 0xFFFFFF, kKey, 1.0f, true);
    EXPECT_FALSE(batch.coloured());
    batch.add(3, 4, 100, 20, 0x336699, kKey, 0.5f, true);
    batch.add(5, 6, 0, 5, kKey, kKey, 1.0f, true);
    batch.add(7, 8, 50, 50, 0xFFFFFF, kKey, 1.0f, false);
    ASSERT_EQ(batch.count(), 4u);
    const PolyVertex* v = batch.vertices();
    EXPECT_FLOAT_EQ(v[0].x, 1.5f);
    EXPECT_FLOAT_EQ(v[0].y, 2.5f);
    EXPECT_FLOAT_EQ(v[0].u, 0.5f);
    EXPECT_FLOAT_EQ(v[0].v, 20.0f / 32);  // the image's top row
    EXPECT_EQ(v[0].red + v[0].green + v[0].blue + v[0].alpha, 4 * 255);
    EXPECT_FLOAT_EQ(v[1].u, 100.0f / 128);
    EXPECT_FLOAT_EQ(v[1].v, 0.0f);
    EXPECT_EQ(v[1].red, 0x99);
    EXPECT_EQ(v[1].green, 0x66);
    EXPECT_EQ(v[1].blue, 0x33);
    EXPECT_EQ(v[1].alpha, 127);
    EXPECT_EQ(v[2].alpha, 0);  // the key colour is transparent
    EXPECT_FLOAT_EQ(v[2].v, 15.0f / 32);
    EXPECT_FLOAT_EQ(v[3].u, 0.0f);  // untextured vertices carry no texture coordinates
    EXPECT_TRUE(batch.coloured());

    batch.start(0, false, 0, 0, 0);
    EXPECT_EQ(batch.count(), 0u);
    EXPECT_FALSE(batch.coloured());
}

TEST(PolyBatchTest, NewStripDoublesTheLastAndNextVertexInEveryMode) {
    for (int32_t mode : {0, 1, 2}) {
        PolyBatch batch;
        batch.start(mode, false, 0, 0, 0);
        batch.new_strip();  // empty batch: nothing to join
        batch.add(1, 0, 0, 0, 0xFFFFFF, kKey, 1.0f, false);
        batch.add(2, 0, 0, 0, 0xFFFFFF, kKey, 1.0f, false);
        batch.new_strip();
        batch.new_strip();  // a join already pending
        batch.add(3, 0, 0, 0, 0xFFFFFF, kKey, 1.0f, false);
        batch.add(4, 0, 0, 0, 0xFFFFFF, kKey, 1.0f, false);
        EXPECT_EQ(xs(batch), (std::vector<float>{1, 2, 2, 3, 3, 4})) << mode;
        EXPECT_EQ(batch.mode(), mode);
    }
}

TEST(PolyBatchTest, GrowsForEveryVertexAndJoinAndKeepsItsStorage) {
    EXPECT_EQ(grown_vertex_capacity(0, 1), 512u);
    EXPECT_EQ(grown_vertex_capacity(512, 513), 640u);
    EXPECT_EQ(grown_vertex_capacity(640, 700), 768u);
    EXPECT_EQ(grown_vertex_capacity(1024, 20), 1024u);

    // Without a start the batch still takes vertices.
    PolyBatch batch;
    batch.add(0, 0, 0, 0, 0xFFFFFF, kKey, 1.0f, false);
    EXPECT_EQ(batch.count(), 1u);

    batch.start(2, false, 0, 0, 0);
    std::vector<float> expected;
    for (int i = 0; i < 3000; ++i) {
        if (i % 4 == 0 && i > 0) {
            batch.new_strip();
            expected.push_back(expected.back());
            expected.push_back(static_cast<float>(i));
        }
        batch.add(i, 0, 0, 0, 0xFFFFFF, kKey, 1.0f, false);
        expected.push_back(static_cast<float>(i));
        ASSERT_LE(batch.count(), batch.capacity());
    }
    EXPECT_EQ(xs(batch), expected);
    const size_t grown = batch.capacity();
    batch.start(1, false, 0, 0, 0);
    EXPECT_EQ(batch.capacity(), grown);
}

}  // namespace
}  // namespace kvn
