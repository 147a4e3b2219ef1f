// Project settings, the start sequence and frame loop of the game, and its adaptive sleep.
#include <kvn/kvn.h>

#include "globals.h"

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {Process_Master, "Process_Master"},
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

    while (Running == 1) {
        Process_Master();
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
        max_sleep = to_integer(1000 / fps);
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
    return to_integer(sleep_ms);
}
