// files: a high-score table kept in a configuration file beside the program. Each run asks
// for a name with line_input, gives it a score and shows the table, best first; the table is
// still there when the program starts again. Escape quits.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Files";
}

const int32_t kPlaces = 5;

void Game_Main() {
    set_media_archives("examples.gfx", "");
    set_transparency(0xF400F4);  // the font picture's magenta background is left out
    load_font("vdfont.png", 1);
    config_open("scores.ini");  // written back when the program ends, if changed

    // The table: section "scores", keys name1..name5 and score1..score5.
    ValueArray<StringValue> names;
    ValueArray<int32_t> scores;
    dim_array(names, kPlaces + 1);
    dim_array(scores, kPlaces + 1);
    for (int32_t i = 0; i < kPlaces; ++i) {
        array_element(names, i) = config_get("scores", "name" + int_to_text(i + 1), "---");
        array_element(scores, i) =
            text_to_int(config_get("scores", "score" + int_to_text(i + 1), "0").c_str());
    }
    const int32_t runs = text_to_int(config_get("scores", "runs", "0").c_str()) + 1;
    config_put("scores", "runs", int_to_text(runs));

    // Ask for a name over the picture; line_input returns on Enter.
    clear_screen(0x302010);
    set_font(1);
    print_text("NEW SCORE: " + int_to_text(runs * 1000), 40, 40);
    set_font(0);
    print_text("Type your name and press Enter:", 40, 100);
    StringValue name;
    line_input(name, 40, 120);
    if (name.length() == 0) name = "nobody";

    // Insert the new score in its place and write the table back.
    int32_t place = kPlaces;
    while (place > 0 && array_element(scores, place - 1) < runs * 1000) {
        array_element(names, place) = array_element(names, place - 1);
        array_element(scores, place) = array_element(scores, place - 1);
        --place;
    }
    array_element(names, place) = name;
    array_element(scores, place) = runs * 1000;
    for (int32_t i = 0; i < kPlaces; ++i) {
        config_put("scores", "name" + int_to_text(i + 1), array_element(names, i));
        config_put("scores", "score" + int_to_text(i + 1), int_to_text(array_element(scores, i)));
    }

    for (;;) {
        clear_screen(0x302010);
        set_font(1);
        print_text("HIGH SCORES", 40, 40);
        for (int32_t i = 0; i < kPlaces; ++i) {
            const int32_t y = 110 + i * 40;
            if (i == place) draw_rect(30, y - 6, 580, 38, 0x605020);
            print_text(int_to_text(i + 1) + ". " + array_element(names, i), 40, y);
            print_text(format_number(6, 0, array_element(scores, i)), 480, y);
        }
        set_font(0);
        print_text("Run " + int_to_text(runs) + ". The table is kept in scores.ini; start again to add a score.",
                   40, 440);
        print_text("Escape quits.", 40, 460);
        show_screen();
    }
}
