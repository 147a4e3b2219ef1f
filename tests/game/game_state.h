// Test support: every game global with its value at program load, and a fixture that puts the
// game back into that state (arrays emptied, tables sized as the start sequence sizes them).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "../../game/game.h"
#include "runtime/runtime_state.h"

namespace velkadorn_test {

struct GlobalValue {
    const char* name;
    double* value;
    double at_load;
};

inline const GlobalValue kGlobals[] = {
    {"Screen_Width", &Screen_Width, 1024},
    {"Screen_Height", &Screen_Height, 600},
    {"Full_Screen", &Full_Screen, 1},
    {"Target_FPS", &Target_FPS, 60},
    {"Level_X", &Level_X, 0},
    {"Level_Y", &Level_Y, 0},
    {"Scroll_Speed", &Scroll_Speed, 2},
    {"Scroll_Delta", &Scroll_Delta, 0},
    {"Current_Section", &Current_Section, 0},
    {"Next_Section", &Next_Section, 1},
    {"Last_Section", &Last_Section, 0},
    {"Player_X", &Player_X, 0},
    {"Player_Y", &Player_Y, 0},
    {"Player_Sprite", &Player_Sprite, 0},
    {"Fire_Delay", &Fire_Delay, 200},
    {"Shield", &Shield, 100},
    {"Armor", &Armor, 100},
    {"Energy", &Energy, 100},
    {"Shot_Damage", &Shot_Damage, 1},
    {"Volley_Size", &Volley_Size, 2},
    {"Velocity_X", &Velocity_X, 0},
    {"Velocity_Y", &Velocity_Y, 0},
    {"Max_Speed", &Max_Speed, 2},
    {"Ship_Width", &Ship_Width, 64},
    {"Ship_Height", &Ship_Height, 64},
    {"Hit_Flag", &Hit_Flag, 0},
    {"Score", &Score, 0},
    {"Stage_Counter", &Stage_Counter, 0},
    {"Running", &Running, 0},
    {"Game_State", &Game_State, 0},
    {"Sound_On", &Sound_On, 0},
    {"Frameskip_On", &Frameskip_On, 0},
    {"Stars_On", &Stars_On, 1},
    {"Show_FPS", &Show_FPS, 1},
    {"Star_Count", &Star_Count, 15},
    {"Star_Size", &Star_Size, 2},
    {"Sound_Voices", &Sound_Voices, 1},
    {"Burner_Phase", &Burner_Phase, 0},
    {"Burner_Step", &Burner_Step, 0.1},
    {"Sleep_Step", &Sleep_Step, 0.05},
    {"Next_Enemy_Time", &Next_Enemy_Time, 0},
    {"Next_Player_Fire", &Next_Player_Fire, 0},
    {"Volley_Counter", &Volley_Counter, 0},
    {"Fps_Shown", &Fps_Shown, 0},
    {"Fps_Time", &Fps_Time, 0},
    {"Fps_Average", &Fps_Average, 0},
};

// Scan codes of the game's keys.
enum Key : int32_t { kEscape = 1, kTab = 15, kZ = 44, kUp = 200, kLeft = 203, kRight = 205, kDown = 208 };

// Globals at their load values, every array never sized.
inline void restore_load_state() {
    for (const GlobalValue& global : kGlobals) *global.value = global.at_load;
    Stars.release_storage();
    Sparks.release_storage();
    Explosions.release_storage();
    Player_Shots.release_storage();
    Enemy_Shots.release_storage();
    Enemies.release_storage();
    Cos_Table.release_storage();
    Sin_Table.release_storage();
    Section_X.release_storage();
    Rank_Hidden.release_storage();
    Stage_Files.release_storage();
}

// The game as at program load, in the playing state with the tables the start sequence sizes.
inline void start_playing_state() {
    restore_load_state();
    kvn::dim_array(Cos_Table, 361);
    kvn::dim_array(Sin_Table, 361);
    kvn::dim_array(Section_X, 10);
    kvn::dim_array(Rank_Hidden, 24);
    kvn::dim_array(Stage_Files, 10, 4);
    Load_Math();
    Game_State = 2;
    Running = 1;
    kvn::random_seed(12345);
}

// Lets elapsed_ms read about `ms` from now on.
inline void set_elapsed_ms(double ms) {
    kvn::runtime.start_offset_ms = kvn::clock_ms() - ms;
}

// Lets frame_time read `ms`.
inline void set_frame_time(double ms) {
    kvn::runtime.previous_frame_time_ms = 0;
    kvn::runtime.frame_time_ms = ms;
}

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override { start_playing_state(); }
    void TearDown() override { restore_load_state(); }
};

}  // namespace velkadorn_test
