// The one process-wide runtime record; every command reaches the services through it.
#pragma once

#include <cstdint>
#include <memory>

#include "files/media_archive.h"
#include "gfx/renderer.h"
#include "input/input_state.h"
#include "kvn/runtime.h"
#include "kvn/value.h"
#include "platform/platform.h"

namespace kvn {

// Clock source, chosen once by clock_init.
struct ClockState {
    bool uses_counter = false;
    double counter_frequency = 0.0;
    double clock_base_ms = 0.0;
};

struct RuntimeState {
    std::unique_ptr<VoruRERarudeve> renderer;
    std::unique_ptr<InputState> input_state;
    std::unique_ptr<MediaArchive> media_archives[2];
    platform::Window* main_window = nullptr;
    StringValue window_title;
    StringValue command_line_text;
    int32_t current_font = 0;
    double frame_time_ms = 0.0;
    double previous_frame_time_ms = 0.0;
    double start_offset_ms = 0.0;
    bool auto_pause = false;
    bool paused = false;
    bool reactivate_request = false;
    bool escape_ends_program = true;
    bool quit_hook_done = false;
    SubEntry message_hook = nullptr;
    int32_t message_hook_state = -1;
    int32_t error_code = 0;
    int32_t error_line = 0;
    int32_t current_line = 0;
    int32_t current_module = 0;
    // The program's sub name table (set by the entry point; null in programs without one).
    const SubTableEntry* sub_table = nullptr;
    ClockState clock;
};

// The process-wide runtime state.
extern RuntimeState runtime;

// Makes the program's own directory the working directory.
void enter_program_directory();

}  // namespace kvn
