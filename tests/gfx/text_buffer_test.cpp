// The font selection and the text vertex buffer.
#include "gfx/text_buffer.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/address_space.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

TEST(TextBufferTest, FontNumbersAreLimitedToTheFontTable) {
    const struct {
        int32_t requested, selected;
    } cases[] = {{0, 0}, {5, 5}, {31, 31}, {32, 31}, {40, 31}, {-1, 0}, {INT32_MIN, 0}};
    TextBuffer text;
    for (const auto& c : cases) {
        text.select_font(c.requested);
        EXPECT_EQ(text.current_font(), c.selected) << c.requested;
    }
}

TEST(TextBufferTest, VerticesGrowForTheNeedAndAreKeptWhenTheySuffice) {
    const struct {
        size_t needed, capacity;
    } cases[] = {{4, 512}, {512, 512}, {513, 640}, {100, 640}, {1000, 1024}};
    TextBuffer text;
    for (const auto& c : cases) {
        ASSERT_NE(text.vertices(c.needed), nullptr) << c.needed;
        EXPECT_EQ(text.capacity(), c.capacity) << c.needed;
    }
}

class TextBufferMemoryTest : public testing_support::ScratchDirectoryTest {};

TEST_F(TextBufferMemoryTest, VerticesBeyondTheAddressSpaceEndWithOutOfMemory) {
    if (testing_support::kAddressSanitizer) GTEST_SKIP() << "no address-space limit under ASan";
    expect_end_record();
    EXPECT_EXIT(
        {
            TextBuffer text;
            testing_support::AddressSpaceLimit limit;
            if (!limit.active()) std::_Exit(99);
            text.vertices(size_t{1} << 28);
            std::_Exit(98);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ended_with_code(), 7);
}

}  // namespace
}  // namespace kvn
