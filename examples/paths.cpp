// paths: a grid of cells with walls and mud. Click a cell to put the start there, click
// another for the goal, and find_path draws the cheapest route around the walls; the right
// button builds or removes a wall. Escape quits.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Paths";
}

const int32_t kCell = 32, kColumns = 20, kRows = 14;  // the bottom 32 pixels hold the help
const int32_t kWall = 0, kFloor = 1, kMud = 6;       // a mud cell costs six floor cells

void Game_Main() {
    ValueArray<int32_t> map, route;
    dim_array(map, kColumns, kRows);
    for (int32_t x = 0; x < kColumns; ++x) {
        for (int32_t y = 0; y < kRows; ++y) {
            int32_t cell = kFloor;
            if (x == 6 && y < 10) cell = kWall;             // a wall from the top
            if (x == 13 && y > 3) cell = kWall;             // and one from the bottom
            if (x >= 8 && x <= 11 && y >= 5 && y <= 8) cell = kMud;
            array_element(map, x, y) = cell;
        }
    }
    int32_t start_x = 2, start_y = 7, goal_x = 17, goal_y = 2, next_is_goal = 0;
    int32_t cells = 0, buttons_before = 0;
    bool changed = true;

    for (;;) {
        int32_t mouse_x = 0, mouse_y = 0, left = 0, right = 0;
        mouse_state_int(mouse_x, mouse_y, left, right);
        const int32_t cell_x = mouse_x / kCell, cell_y = mouse_y / kCell;
        const bool on_grid = cell_x < kColumns && cell_y < kRows;
        const int32_t buttons = left + 2 * right;
        if (on_grid && (buttons & ~buttons_before & 1) && array_element(map, cell_x, cell_y) != kWall) {
            if (next_is_goal) {
                goal_x = cell_x;
                goal_y = cell_y;
            } else {
                start_x = cell_x;
                start_y = cell_y;
            }
            next_is_goal = !next_is_goal;
            changed = true;
        }
        if (on_grid && (buttons & ~buttons_before & 2)) {
            int32_t& cell = array_element(map, cell_x, cell_y);
            cell = cell == kWall ? kFloor : kWall;
            changed = true;
        }
        buttons_before = buttons;
        if (changed) cells = find_path(map, route, 0, start_x, start_y, goal_x, goal_y);
        changed = false;

        clear_screen(0x202020);
        for (int32_t x = 0; x < kColumns; ++x) {
            for (int32_t y = 0; y < kRows; ++y) {
                const int32_t cell = array_element(map, x, y);
                const int32_t colour = cell == kWall ? 0x808080 : cell == kMud ? 0x204060 : 0x304830;
                draw_rect(x * kCell + 1, y * kCell + 1, kCell - 2, kCell - 2, colour);
            }
        }
        // The route as a yellow line through the cell centres, each cell marked with a dot.
        for (int32_t i = 0; i < cells; ++i) {
            const int32_t x = array_element(route, i, 0) * kCell + kCell / 2;
            const int32_t y = array_element(route, i, 1) * kCell + kCell / 2;
            draw_rect(x - 3, y - 3, 7, 7, 0x00FFFF);
            if (i + 1 < cells) {
                draw_line(x, y, array_element(route, i + 1, 0) * kCell + kCell / 2,
                          array_element(route, i + 1, 1) * kCell + kCell / 2, 0x00FFFF);
            }
        }
        draw_rect(start_x * kCell + 6, start_y * kCell + 6, kCell - 12, kCell - 12, 0x00C000);
        draw_rect(goal_x * kCell + 6, goal_y * kCell + 6, kCell - 12, kCell - 12, 0x0000FF);

        set_font(0);
        print_text(cells ? "Route: " + int_to_text(cells) + " cells." : StringValue("No route."), 8, 452);
        print_text(next_is_goal ? "Left click: goal (red)" : "Left click: start (green)", 180, 452);
        print_text("Right click: wall", 400, 452);
        print_text("Escape quits", 548, 452);
        show_screen();
    }
}
