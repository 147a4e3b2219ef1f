// Project settings, the start sequence and frame loop of the game, its adaptive sleep and the
// subs the runtime may call by name.
#include <cmath>

#include "game.h"

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
    dim_array(Cos_Table, 361);
    dim_array(Sin_Table, 361);
    dim_array(Section_X, 10);
    dim_array(Rank_Hidden, 24);
    // Game_StartNEW writes the stage file names: the table needs its size before that.
    dim_array(Stage_Files, 10, 4);
    set_smooth_filter(0);
    reset_view();
    set_media_archives("vd.gfx.", "");
    Game_State = 2;
    Running = 1;
    set_screen(to_integer(Screen_Width), to_integer(Screen_Height), to_integer(Full_Screen));
    set_transparency(0xF400F4);
    auto_pause(1);
    limit_fps(Target_FPS);
    clear_screen(0);
    Load_Math();
    Game_StartNEW();
    Load_Graphics();
    if (Sound_On == 1) Load_Audio();
    Init_Stars();

    while (Running == 1) {
        Process_Master();
        Draw_Screen();
        if (Show_FPS == 1) Draw_FPS();
        show_screen();
        if (Frameskip_On == 1) sleep(Frameskip_Sleep(Target_FPS));
    }
    end_statement();
}

double Frameskip_Sleep(double fps) {
    static bool first_call = true;
    static double max_sleep, smooth_fps, alpha, threshold;
    static double sleep_ms = 0, fast_fps = 0;
    if (first_call) {
        first_call = false;
        max_sleep = std::trunc(1000 / fps);
        smooth_fps = fps;
        alpha = 2 / (fps * 0.2 + 1);
        threshold = fps - fps * (1 / fps);
    }
    const double dt = frame_time();
    fast_fps = (1000 / dt + fast_fps) * 0.5;
    smooth_fps = alpha * fast_fps + (1 - alpha) * smooth_fps;
    if (smooth_fps > threshold && sleep_ms < max_sleep) {
        sleep_ms = sleep_ms + Sleep_Step;
    } else if (smooth_fps <= threshold && sleep_ms > 0) {
        sleep_ms = sleep_ms - Sleep_Step;
    }
    return std::trunc(sleep_ms);
}
