// Joystick indices over plugging in and out: kept, reclaimed by the same device, new for another,
// none past the limit.
#include "input/joystick_slots.h"

#include <gtest/gtest.h>

#include <vector>

namespace kvn {
namespace {

TEST(JoystickSlotsTest, IndicesStayWithTheirDevices) {
    using Slots = std::vector<JoystickSlot>;
    using Attached = std::vector<AttachedJoystick>;
    using Changes = std::vector<JoystickChange>;
    const Slots ten_plugged = [] {
        Slots slots;
        for (int32_t connection = 0; connection < 10; ++connection) {
            slots.push_back({"pad", connection});
        }
        return slots;
    }();
    Attached ten_and_one;
    for (const JoystickSlot& slot : ten_plugged) ten_and_one.push_back({slot.connection, "pad"});
    ten_and_one.push_back({10, "wheel"});
    const struct {
        const char* name;
        Slots slots;
        Attached attached;
        size_t limit;
        Changes expected;
    } cases[] = {
        {"nothing attached", {}, {}, 10, {}},
        {"plugged in at start-up", {}, {{4, "pad"}, {7, "stick"}}, 10, {{0, 0}, {1, 1}}},
        {"still attached, even at another position",
         {{"pad", 4}, {"stick", 7}}, {{7, "stick"}, {4, "pad"}}, 10, {}},
        {"plugged in later takes the next index",
         {{"pad", 4}}, {{4, "pad"}, {9, "stick"}}, 10, {{1, 1}}},
        {"unplugged keeps its index", {{"pad", 4}, {"stick", 7}}, {{7, "stick"}}, 10, {{0, -1}}},
        {"already unplugged changes nothing", {{"pad", -1}, {"stick", 7}}, {{7, "stick"}}, 10, {}},
        {"the same device plugged in again takes its index back",
         {{"pad", -1}, {"stick", 7}}, {{7, "stick"}, {12, "pad"}}, 10, {{0, 1}}},
        {"out and in between two looks: closed and taken back",
         {{"pad", 4}}, {{12, "pad"}}, 10, {{0, -1}, {0, 0}}},
        {"another device takes a new index, not the unplugged one",
         {{"pad", -1}, {"stick", 7}}, {{7, "stick"}, {12, "wheel"}}, 10, {{2, 1}}},
        {"a device still plugged in keeps its index from an identical one",
         {{"pad", 4}}, {{4, "pad"}, {5, "pad"}}, 10, {{1, 1}}},
        {"identical devices take back the lowest unplugged indices in turn",
         {{"pad", -1}, {"stick", 7}, {"pad", -1}}, {{20, "pad"}, {21, "pad"}, {7, "stick"}}, 10,
         {{0, 0}, {2, 1}}},
        {"an eleventh device gets no index", ten_plugged, ten_and_one, 10, {}},
        {"only the indices below the limit are handed out",
         {{"pad", 1}}, {{1, "pad"}, {2, "stick"}, {3, "wheel"}}, 2, {{1, 1}}},
        {"a freed index is not reused by another device at the limit",
         {{"pad", -1}, {"stick", 2}}, {{2, "stick"}, {3, "wheel"}}, 2, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plan_joystick_indices(c.slots, c.attached, c.limit), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace kvn
