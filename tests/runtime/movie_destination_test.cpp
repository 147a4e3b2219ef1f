// The rectangle a movie is shown in: the largest of the movie's aspect inside the window,
// centred with integer sizes and offsets.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/media.h"

namespace kvn {
namespace {

TEST(MovieDestinationTest, FitsTheAspectAndCentres) {
    const struct {
        int client_width, client_height, source_width, source_height;
        platform::MediaRectangle expected;
    } cases[] = {
        {640, 480, 320, 240, {0, 0, 640, 480}},
        {640, 480, 400, 100, {0, 160, 640, 160}},
        {640, 480, 100, 400, {260, 0, 120, 480}},
        {1024, 600, 640, 480, {112, 0, 800, 600}},
        // Sizes are truncated, then the remainder is halved downwards.
        {641, 480, 320, 240, {0, 0, 640, 480}},
        {640, 481, 3, 1, {0, 134, 640, 213}},
        {640, 480, 0, 0, {0, 0, 640, 480}},
    };
    for (const auto& c : cases) {
        const platform::MediaRectangle got =
            movie_destination(c.client_width, c.client_height, c.source_width, c.source_height);
        EXPECT_EQ((std::vector<int>{got.x, got.y, got.width, got.height}),
                  (std::vector<int>{c.expected.x, c.expected.y, c.expected.width,
                                    c.expected.height}))
            << c.source_width << "x" << c.source_height << " in " << c.client_width << "x"
            << c.client_height;
    }
}

}  // namespace
}  // namespace kvn
