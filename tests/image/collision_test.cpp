// Pixel-exact collision against a direct per-pixel reference.
#include "image/collision.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace kvn {
namespace {

// An image of img_w x img_h in a texture of tex_w x tex_h whose opaque pixels a test chooses;
// alpha rows in texture order (row 0 = the image's bottom row).
struct TestSprite {
    int32_t img_w, img_h, tex_w, tex_h;
    std::vector<uint8_t> alpha;
    CollisionMask mask;

    TestSprite(int32_t w, int32_t h, int32_t tw, int32_t th)
        : img_w(w), img_h(h), tex_w(tw), tex_h(th), alpha(size_t(tw) * th, 0) {}
    // Image pixel (x, y), y downwards.
    void set(int32_t x, int32_t y, uint8_t a) { alpha[size_t(img_h - 1 - y) * tex_w + x] = a; }
    void fill(uint8_t a) {
        for (int32_t y = 0; y < img_h; ++y)
            for (int32_t x = 0; x < img_w; ++x) set(x, y, a);
    }
    void finish() { mask = make_collision_mask(alpha.data(), tex_w, tex_h); }
    CollisionPlacement at(int64_t x, int64_t y) const {
        return {&mask, img_w, img_h, x, y, 0, 0, img_w, img_h};
    }
    CollisionPlacement frame_at(int64_t x, int64_t y, int64_t fx, int64_t fy, int64_t fw,
                                int64_t fh) const {
        return {&mask, img_w, img_h, x, y, fx, fy, fw, fh};
    }
    // Image pixel opacity with everything outside the image transparent.
    bool opaque(int64_t x, int64_t y) const {
        if (x < 0 || y < 0 || x >= img_w || y >= img_h) return false;
        return alpha[size_t(img_h - 1 - y) * tex_w + x] != 0;
    }
};

// Every pixel of the frame overlap, one at a time.
bool reference_collide(const TestSprite& a, const CollisionPlacement& pa, const TestSprite& b,
                       const CollisionPlacement& pb) {
    for (int64_t py = std::max(pa.y, pb.y); py < std::min(pa.y + pa.frame_h, pb.y + pb.frame_h);
         ++py) {
        for (int64_t px = std::max(pa.x, pb.x); px < std::min(pa.x + pa.frame_w, pb.x + pb.frame_w);
             ++px) {
            if (a.opaque(pa.frame_x + px - pa.x, pa.frame_y + py - pa.y) &&
                b.opaque(pb.frame_x + px - pb.x, pb.frame_y + py - pb.y)) {
                return true;
            }
        }
    }
    return false;
}

TEST(CollisionTest, EdgesHolesAndSinglePixels) {
    TestSprite solid(20, 10, 32, 16);
    solid.fill(255);
    solid.finish();
    TestSprite ring(9, 9, 16, 16);  // opaque border, transparent 3 x 3 hole in the middle
    ring.fill(200);
    for (int y = 3; y < 6; ++y)
        for (int x = 3; x < 6; ++x) ring.set(x, y, 0);
    ring.finish();
    TestSprite dot(3, 3, 16, 16);
    dot.set(1, 1, 1);
    dot.finish();

    struct Case {
        const TestSprite* a;
        int64_t ax, ay;
        const TestSprite* b;
        int64_t bx, by;
        bool hit;
    } cases[] = {
        {&solid, 0, 0, &solid, 20, 0, false},   // right edge touches left edge
        {&solid, 0, 0, &solid, 0, 10, false},   // bottom edge touches top edge
        {&solid, 0, 0, &solid, 19, 9, true},    // one shared corner pixel
        {&solid, 0, 0, &solid, -19, -9, true},  // the other corner
        {&ring, 0, 0, &dot, 3, 3, false},       // dot pixel inside the hole
        {&ring, 0, 0, &dot, 1, 1, true},        // dot pixel on the border
        {&dot, 0, 0, &dot, 0, 0, true},        {&dot, 0, 0, &dot, 1, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(placements_collide(c.a->at(c.ax, c.ay), c.b->at(c.bx, c.by)), c.hit)
            << c.ax << "," << c.ay << " vs " << c.bx << "," << c.by;
        EXPECT_EQ(placements_collide(c.b->at(c.bx, c.by), c.a->at(c.ax, c.ay)), c.hit);
    }
}

TEST(CollisionTest, AgreesWithThePerPixelTestOnRandomSpritesAndFrames) {
    std::mt19937 random(7);
    // Heights that are not powers of two exercise the texture-row mapping; widths beyond 64
    // cross mask words.
    const int32_t sizes[][4] = {
        {5, 7, 16, 16}, {64, 64, 64, 64}, {100, 20, 128, 32}, {70, 33, 128, 64}, {130, 3, 256, 16}};
    std::vector<TestSprite> sprites;
    for (const auto& s : sizes) {
        TestSprite sprite(s[0], s[1], s[2], s[3]);
        for (int32_t y = 0; y < sprite.img_h; ++y)
            for (int32_t x = 0; x < sprite.img_w; ++x)
                if (random() % 11 == 0) sprite.set(x, y, uint8_t(1 + random() % 255));
        // Texels beyond the image never count, even when a texture holds something there.
        if (sprite.tex_w > sprite.img_w) sprite.alpha[sprite.img_w] = 255;
        sprite.finish();
        sprites.push_back(std::move(sprite));
    }
    // Opaque only in a small block away from every edge, as a small shape in a larger picture.
    TestSprite blob(60, 40, 64, 64);
    for (int32_t y = 14; y < 22; ++y)
        for (int32_t x = 30; x < 37; ++x) blob.set(x, y, random() % 3 ? 255 : 0);
    blob.finish();
    sprites.push_back(std::move(blob));
    int hits = 0, misses = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        const TestSprite& a = sprites[random() % sprites.size()];
        const TestSprite& b = sprites[random() % sprites.size()];
        auto place = [&](const TestSprite& s) {
            CollisionPlacement p = s.at(int64_t(random() % 200) - 100, int64_t(random() % 80) - 40);
            if (random() % 2) {  // an animation frame, sometimes partly or wholly outside
                p.frame_w = 1 + random() % 40;
                p.frame_h = 1 + random() % 20;
                p.frame_x = int64_t(random() % 160) - 20;
                p.frame_y = int64_t(random() % 60) - 20;
            }
            return p;
        };
        const CollisionPlacement pa = place(a), pb = place(b);
        const bool expected = reference_collide(a, pa, b, pb);
        ASSERT_EQ(placements_collide(pa, pb), expected) << "trial " << trial;
        if (expected) {
            ASSERT_TRUE(frames_overlap(pa, pb));
        }
        (expected ? hits : misses)++;
    }
    EXPECT_GT(hits, 100);
    EXPECT_GT(misses, 100);
}

TEST(CollisionTest, HugeFramesAndPositionsStayInsideTheMasks) {
    TestSprite solid(16, 16, 16, 16);
    solid.fill(255);
    solid.finish();
    const int64_t big = int64_t{INT32_MAX} * 65535;  // frame width x a huge frame number
    EXPECT_FALSE(placements_collide(solid.frame_at(0, 0, big, 0, 16, 16), solid.at(0, 0)));
    EXPECT_FALSE(placements_collide(solid.frame_at(0, 0, 0, -big, 16, 16), solid.at(0, 0)));
    EXPECT_FALSE(placements_collide(solid.at(INT32_MAX, INT32_MIN), solid.at(0, 0)));
    EXPECT_TRUE(placements_collide(solid.at(INT32_MAX, INT32_MIN),
                                   solid.at(INT32_MAX - 15, int64_t{INT32_MIN} + 15)));
    CollisionMask empty;
    EXPECT_FALSE(placements_collide({&empty, 16, 16, 0, 0, 0, 0, 16, 16}, solid.at(0, 0)));
}

}  // namespace
}  // namespace kvn
