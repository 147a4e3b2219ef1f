// Game state and main loop, and the number tables.
#include <cmath>
#include <cstring>

#include "game_state.h"

namespace velkadorn_test {
namespace {

TEST(GameStateTest, GlobalsHoldTheirLoadValuesAndArraysStartEmpty) {
    // Every game fixture puts this state back when it ends.
    for (const GlobalValue& global : kGlobals) {
        EXPECT_EQ(*global.value, global.at_load) << global.name;
    }
    EXPECT_EQ(kvn::array_bounds(Stars, 0) + kvn::array_bounds(Sparks, 0) +
                  kvn::array_bounds(Explosions, 0) + kvn::array_bounds(Player_Shots, 0) +
                  kvn::array_bounds(Enemy_Shots, 0) + kvn::array_bounds(Enemies, 0),
              0);
}

TEST(GameStateTest, SubTableNamesSixteenRoutinesAlphabeticallyAndCallsThem) {
    const char* const names[] = {
        "Draw_FPS",       "Draw_Level",       "Draw_OverLevel",  "Draw_OverlayHub",
        "Draw_Screen",    "Draw_Stars",       "Game_StartNEW",   "Load_Audio",
        "Load_Graphics",  "Load_LevelMap",    "Load_Math",       "Process_Enemy",
        "Process_Level",  "Process_Master",   "Process_Player",  "Process_Starfield",
    };
    const SubEntry routines[] = {
        Draw_FPS,      Draw_Level,    Draw_OverLevel, Draw_OverlayHub, Draw_Screen,   Draw_Stars,
        Game_StartNEW, Load_Audio,    Load_Graphics,  Load_LevelMap,   Load_Math,     Process_Enemy,
        Process_Level, Process_Master, Process_Player, Process_Starfield,
    };
    for (int i = 0; i < 16; ++i) {
        EXPECT_STREQ(kvn_sub_table[i].name, names[i]);
        EXPECT_EQ(kvn_sub_table[i].entry, routines[i]) << names[i];
        if (i > 0) {
            EXPECT_LT(std::strcmp(names[i - 1], names[i]), 0);
        }
    }
    EXPECT_EQ(kvn_sub_table[16].entry, nullptr);
    EXPECT_EQ(kvn_sub_table[16].name, nullptr);

    kvn::runtime.sub_table = kvn_sub_table;
    EXPECT_EQ(kvn::find_sub("Process_Level"), &Process_Level);
    EXPECT_EQ(kvn::find_sub("Process_Player"), &Process_Player);
    EXPECT_EQ(kvn::find_sub("Steer_Player"), nullptr);
    kvn::runtime.sub_table = nullptr;
}

// Frameskip_Sleep keeps its state for the whole program: one test replays its whole life.
TEST_F(GameTest, FrameskipSleepGrowsBySleepStepUpToTheFramePeriodAndShrinksBack) {
    const double fps = 60;
    const double max_sleep = std::trunc(1000 / fps);
    const double alpha = 2 / (fps * 0.2 + 1);
    const double threshold = fps - fps * (1 / fps);
    double smooth = fps, fast = 0, sleep_ms = 0;
    auto replay = [&](double dt) {
        fast = (1000 / dt + fast) * 0.5;
        smooth = alpha * fast + (1 - alpha) * smooth;
        if (smooth > threshold && sleep_ms < max_sleep) {
            sleep_ms = sleep_ms + Sleep_Step;
        } else if (smooth <= threshold && sleep_ms > 0) {
            sleep_ms = sleep_ms - Sleep_Step;
        }
        return std::trunc(sleep_ms);
    };

    set_frame_time(1);
    int first_one = 0;
    for (int frame = 1; frame <= 400; ++frame) {
        const double slept = Frameskip_Sleep(fps);
        ASSERT_EQ(slept, replay(1)) << "frame " << frame;
        if (slept == 1 && first_one == 0) first_one = frame;
    }
    EXPECT_EQ(first_one, 20);  // twenty additions of 0.05 land just above 1
    EXPECT_EQ(Frameskip_Sleep(fps), 16);
    EXPECT_EQ(replay(1), 16);

    // Ten frames a second: under the threshold, the sleep shrinks step by step to 0.
    set_frame_time(100);
    double last = 16;
    for (int frame = 0; frame < 400; ++frame) {
        const double slept = Frameskip_Sleep(fps);
        ASSERT_EQ(slept, replay(100)) << "frame " << frame;
        EXPECT_LE(slept, last);
        last = slept;
    }
    EXPECT_EQ(last, 0);
}

TEST_F(GameTest, LoadMathFillsTheTablesAndTheSectionEdges) {
    for (int32_t d : {0, 45, 90, 180, 270, 360}) {
        EXPECT_EQ(kvn::array_element(Cos_Table, d), kvn::cos_deg(d)) << d;
        EXPECT_EQ(kvn::array_element(Sin_Table, d), kvn::sin_deg(d)) << d;
    }
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(kvn::array_element(Section_X, i), i * 1024.0);
}

}  // namespace
}  // namespace velkadorn_test
