// The one process-wide runtime record: it owns the subsystems' objects for the whole run and
// hands each subsystem what it needs at start-up; the subsystems never reach back into it.
#pragma once

#include <cstdint>
#include <memory>

#include "files/files_state.h"
#include "gfx/renderer.h"
#include "input/input_state.h"
#include "kvn/runtime.h"
#include "kvn/value.h"
#include "platform/media.h"
#include "sound/sound_device.h"

namespace kvn {

struct RuntimeState {
    // The renderer owns the application window; everything else asks it for the window.
    std::unique_ptr<VoruRERarudeve> renderer;
    std::unique_ptr<InputState> input_state;
    std::unique_ptr<SoundState> sound;
    // Attached for the whole process: file commands work before start-up, and the exit
    // handlers write the configuration store and the line file back after shutdown.
    FilesState files;
    StringValue window_title;
    StringValue command_line_text;
    double frame_time_ms = 0.0;
    double previous_frame_time_ms = 0.0;
    double start_offset_ms = 0.0;
    bool auto_pause = false;
    bool paused = false;
    bool reactivate_request = false;
    bool escape_ends_program = true;
    bool quit_hook_done = false;
    // The player of the current background music; null when none plays.
    std::unique_ptr<platform::MediaPlayer> music_window;
    // 0 when the music does not loop (or none plays), else the clock time of its restart.
    double music_restart_ms = 0.0;
    // The volume last sent, -1 when none was sent for the current music.
    double music_volume = -1.0;
    // The resolved file name of the current music.
    StringValue music_file;
    SubEntry message_hook = nullptr;
    int32_t message_hook_state = -1;
    // The program's sub name table (set by the entry point; null in programs without one).
    const SubTableEntry* sub_table = nullptr;
};

// The process-wide runtime state.
extern RuntimeState runtime;

// The application window, null when there is none.
platform::Window* main_window();
// The runtime's part of end_program: the debug end record, then runtime_shutdown.
void end_runtime();
// Looks the message hook up (once per process) and pumps the window's messages with it.
void pump_window_messages();
// Makes the program's own directory the working directory.
void enter_program_directory();

}  // namespace kvn
