// A complete program against the installed runtime: a window, one coloured frame, the end.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 320;
    project_settings.screen_height = 200;
    project_settings.title = "Hello";
}

void Game_Main() {
    clear_screen(0x402000);
    show_screen();
    end_statement();
}
