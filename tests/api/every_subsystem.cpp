// A program that includes only kvn/kvn.h and calls one command of every subsystem: building it
// proves that the one header reaches the whole command layer.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 320;
    project_settings.screen_height = 200;
    project_settings.title = "every subsystem";
}

void Game_Main() {
    set_error(0);                                    // base
    const StringValue name = text_upper("api.ini");  // value
    ValueArray<int32_t> map;                         // value arrays
    dim_array(map, 2, 2);
    ValueArray<int32_t> path;
    find_path(map, path, 0, 0, 0, 1, 1);  // path finding
    config_open(name);                    // files
    int32_t width = 0, height = 0;
    get_screen_size_int(width, height);                   // gfx
    if (key_down(1) == 0) console_write(command_line());  // input, runtime
    stop_all_sounds();                                    // sound
    end_statement();
}
