// The start sequence and one frame of the game's loop, and its adaptive sleep.
#include <cmath>

#include "game.h"

using namespace kvn;

double Game_Start() {
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
    return 0;
}

double Game_Frame() {
    Process_Master();
    Draw_Screen();
    if (Show_FPS == 1) Draw_FPS();
    show_screen();
    if (Frameskip_On == 1) sleep(Frameskip_Sleep(Target_FPS));
    return 0;
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
