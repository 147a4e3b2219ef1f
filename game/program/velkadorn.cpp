// The program Velkadorn: its start-up settings, its main routine, and the subs the runtime may
// call by name.
#include "../game.h"

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {Draw_FPS, "Draw_FPS"},
    {Draw_Level, "Draw_Level"},
    {Draw_OverLevel, "Draw_OverLevel"},
    {Draw_OverlayHub, "Draw_OverlayHub"},
    {Draw_Screen, "Draw_Screen"},
    {Draw_Stars, "Draw_Stars"},
    {Game_StartNEW, "Game_StartNEW"},
    {Load_Audio, "Load_Audio"},
    {Load_Graphics, "Load_Graphics"},
    {Load_LevelMap, "Load_LevelMap"},
    {Load_Math, "Load_Math"},
    {Process_Enemy, "Process_Enemy"},
    {Process_Level, "Process_Level"},
    {Process_Master, "Process_Master"},
    {Process_Player, "Process_Player"},
    {Process_Starfield, "Process_Starfield"},
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.fullscreen_flag = 0;
    project_settings.multisample_count = 0;
    project_settings.debug_mode = 0;
    project_settings.hide_pointer = 0;
    project_settings.title = "Velkadorn";
}

void Game_Main() {
    Game_Start();
    while (Running == 1) Game_Frame();
    end_statement();
}

