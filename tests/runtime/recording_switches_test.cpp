#include "runtime/recording_switches.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvn {
namespace {

TEST(RecordingSwitches, ReplayShotsAreAFolderAndFramesFromOne) {
    const struct {
        const char* text;
        bool valid;
        const char* directory;
        std::vector<uint64_t> frames;
    } cases[] = {
        {"shots:1", true, "shots", {1}},
        {"/tmp/a b/shots:3,2,3", true, "/tmp/a b/shots", {3, 2, 3}},
        // The last colon separates: a folder name may hold colons.
        {"c:/x:y:7", true, "c:/x:y", {7}},
        {"d:007", true, "d", {7}},
        {"d:18446744073709551615", true, "d", {UINT64_MAX}},
        {"d:18446744073709551616", false, "", {}},
        {"d:0", false, "", {}},
        {"d:1,0", false, "", {}},
        {"d:", false, "", {}},
        {":5", false, "", {}},
        {"5", false, "", {}},
        {"", false, "", {}},
        {"d:1,,2", false, "", {}},
        {"d:1,", false, "", {}},
        {"d:,1", false, "", {}},
        {"d:-1", false, "", {}},
        {"d:+1", false, "", {}},
        {"d: 1", false, "", {}},
        {"d:1 ", false, "", {}},
        {"d:0x10", false, "", {}},
        {"d:1;2", false, "", {}},
    };
    for (const auto& c : cases) {
        ReplayShots shots;
        shots.directory = "untouched";
        shots.frames = {99};
        EXPECT_EQ(parse_replay_shots(c.text, &shots), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(shots.directory, c.directory) << c.text;
            EXPECT_EQ(shots.frames, c.frames) << c.text;
        } else {
            // A refused text leaves the shots as they were.
            EXPECT_EQ(shots.directory, "untouched") << c.text;
            EXPECT_EQ(shots.frames, std::vector<uint64_t>{99}) << c.text;
        }
    }
}

TEST(RecordingSwitches, CheckIntervalIsAWholeNumberOf32Bits) {
    const struct {
        const char* text;
        bool valid;
        uint32_t interval;
    } cases[] = {
        {"0", true, 0},
        {"1", true, 1},
        {"060", true, 60},
        {"4294967295", true, UINT32_MAX},
        {"4294967296", false, 0},
        {"99999999999999999999999", false, 0},
        {"", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"1.5", false, 0},
        {"0x10", false, 0},
        {"ten", false, 0},
    };
    for (const auto& c : cases) {
        uint32_t interval = 12345;
        EXPECT_EQ(parse_check_interval(c.text, &interval), c.valid) << c.text;
        EXPECT_EQ(interval, c.valid ? c.interval : 12345u) << c.text;
    }
}

}  // namespace
}  // namespace kvn
