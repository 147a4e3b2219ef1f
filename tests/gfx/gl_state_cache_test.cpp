// The GL state bookkeeping: a setting is sent when it differs from the known one, texture
// parameters belong to their texture, and invalidation makes everything unknown again.
#include "gfx/gl_state_cache.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kvn {
namespace {

constexpr int32_t kRepeat = 0x2901;
constexpr int32_t kClamp = 0x812F;

struct Step {
    const char* what;
    std::function<bool(GlStateCache&)> change;
    bool sent;
};

TEST(GlStateCacheTest, SendsOnlySettingsThatDifferFromTheKnownOnes) {
    const std::vector<Step> steps = {
        {"first unit", [](GlStateCache& c) { return c.change_active_unit(1); }, true},
        {"same unit", [](GlStateCache& c) { return c.change_active_unit(1); }, false},
        {"other unit", [](GlStateCache& c) { return c.change_active_unit(0); }, true},
        {"texturing off on 1", [](GlStateCache& c) { return c.change_texturing(1, false); }, true},
        {"texturing on 0", [](GlStateCache& c) { return c.change_texturing(0, true); }, true},
        {"again off on 1", [](GlStateCache& c) { return c.change_texturing(1, false); }, false},
        {"bind 5 on 0", [](GlStateCache& c) { return c.change_binding(0, 5); }, true},
        {"bind 5 on 1", [](GlStateCache& c) { return c.change_binding(1, 5); }, true},
        {"bind 5 on 0 again", [](GlStateCache& c) { return c.change_binding(0, 5); }, false},
        {"bind 0 on 0", [](GlStateCache& c) { return c.change_binding(0, 0); }, true},
        {"wrap of 5", [](GlStateCache& c) { return c.change_wrap(5, kRepeat); }, true},
        {"wrap of 6", [](GlStateCache& c) { return c.change_wrap(6, kRepeat); }, true},
        {"wrap of 5 again", [](GlStateCache& c) { return c.change_wrap(5, kRepeat); }, false},
        {"wrap of 5 changed", [](GlStateCache& c) { return c.change_wrap(5, kClamp); }, true},
        {"filter of 5", [](GlStateCache& c) { return c.change_filter(5, 1); }, true},
        {"filter of 5 again", [](GlStateCache& c) { return c.change_filter(5, 1); }, false},
        {"huge name", [](GlStateCache& c) { return c.change_wrap(0xFFFFFFFFu, kRepeat); }, true},
        {"huge name again", [](GlStateCache& c) { return c.change_wrap(0xFFFFFFFFu, kRepeat); },
         true},
        {"blend on", [](GlStateCache& c) { return c.change_switch(GlSwitch::kBlend, true); }, true},
        {"alpha test on",
         [](GlStateCache& c) { return c.change_switch(GlSwitch::kAlphaTest, true); }, true},
        {"blend on again", [](GlStateCache& c) { return c.change_switch(GlSwitch::kBlend, true); },
         false},
        {"blend off", [](GlStateCache& c) { return c.change_switch(GlSwitch::kBlend, false); },
         true},
        {"blend function", [](GlStateCache& c) { return c.change_blend_function(1, 2); }, true},
        {"same function", [](GlStateCache& c) { return c.change_blend_function(1, 2); }, false},
        {"other destination", [](GlStateCache& c) { return c.change_blend_function(1, 3); }, true},
    };
    GlStateCache cache;
    for (const Step& step : steps) EXPECT_EQ(step.change(cache), step.sent) << step.what;
    EXPECT_TRUE(cache.holds_texturing(1, false));
    EXPECT_FALSE(cache.holds_texturing(1, true));
    EXPECT_FALSE(cache.holds_texturing(2, false));
    EXPECT_EQ(cache.active_unit(), 0);
    EXPECT_EQ(cache.binding(0), 0);
    EXPECT_EQ(cache.binding(1), 5);
    EXPECT_EQ(cache.binding(2), -1);

    // Every setting now known is not sent again, until invalidation makes it unknown.
    const std::vector<std::function<bool(GlStateCache&)>> known = {
        [](GlStateCache& c) { return c.change_active_unit(0); },
        [](GlStateCache& c) { return c.change_texturing(0, true); },
        [](GlStateCache& c) { return c.change_texturing(1, false); },
        [](GlStateCache& c) { return c.change_binding(0, 0); },
        [](GlStateCache& c) { return c.change_binding(1, 5); },
        [](GlStateCache& c) { return c.change_wrap(5, kClamp); },
        [](GlStateCache& c) { return c.change_wrap(6, kRepeat); },
        [](GlStateCache& c) { return c.change_filter(5, 1); },
        [](GlStateCache& c) { return c.change_switch(GlSwitch::kBlend, false); },
        [](GlStateCache& c) { return c.change_switch(GlSwitch::kAlphaTest, true); },
        [](GlStateCache& c) { return c.change_blend_function(1, 3); },
    };
    GlStateCache kept = cache;
    cache.invalidate();
    EXPECT_EQ(cache.active_unit(), -1);
    EXPECT_EQ(cache.binding(1), -1);
    EXPECT_FALSE(cache.holds_texturing(1, false));
    for (size_t i = 0; i < known.size(); ++i) {
        EXPECT_FALSE(known[i](kept)) << "setting " << i;
        EXPECT_TRUE(known[i](cache)) << "setting " << i;
    }
}

}  // namespace
}  // namespace kvn
