// The runtime frame: process entry, start-up and shutdown, the frame loop, the error text,
// background music and movies, the blocking line input, the debugger channel and call-by-name,
// the frame clock, processes and platform information.
// The error state, end_program and the clock are in kvn/base.h, which this header includes.
#pragma once

#include <cstdint>

#include "kvn/base.h"
#include "kvn/value.h"

// A game sub as the runtime calls it: no arguments, a number result.
using SubEntry = double (*)();

// One pair of the sub name table; the table ends with a pair whose entry is null.
struct SubTableEntry {
    SubEntry entry;    // the sub, or null at the end of the table
    const char* name;  // the name it is called by
};

// Supplied by every program (the language compiler writes them): the project settings,
// the main routine and the table of subs callable by name.
void Set_Project_Defaults();
void Game_Main();
extern const SubTableEntry kvn_sub_table[];

namespace kvn {

// Values fixed per program and stored by Set_Project_Defaults before start-up.
struct ProjectSettings {
    int32_t screen_width = 0;       // window width in pixels
    int32_t screen_height = 0;      // window height in pixels
    int32_t frames_per_second = 0;  // the frame rate show_screen paces to
    int32_t fullscreen_flag = 0;    // non-zero: full screen
    int32_t multisample_count = 0;  // samples per pixel of the GL context; 0 for none
    int32_t debug_mode = 0;         // non-zero: the end record is logged, no pause when inactive
    int32_t hide_pointer = 0;       // non-zero: the mouse pointer is hidden
    StringValue title;              // the window title
};

// The settings of this program; Set_Project_Defaults fills them.
extern ProjectSettings project_settings;

// ---- Start-up and shutdown ----

// Process entry of the runtime: stores the command line, applies the settings, initialises,
// runs Game_Main and ends through end_program. Never returns.
[[noreturn]] void program_entry(void* instance, int32_t show_code);
// Initialises every runtime service in its fixed order; returns 0 in every case.
int32_t runtime_init(void* instance, int32_t show_code, const StringValue& title);
// Releases everything in its fixed order; a second call only finds the quit-hook guard set.
void runtime_shutdown();
// The whole process command line, program name included.
StringValue command_line();

// ---- Frame loop ----

// Ends the frame: measures time, holds while paused, polls input, handles Escape and Alt+F4,
// pumps messages and presents with frame pacing. May end the program.
void show_screen();
// Stores the screen size and mode, switches the mode, re-binds window users, shows 5 frames.
void set_screen(int32_t width, int32_t height, int32_t fullscreen);
// Frame period 1000 / n ms for n = trunc(fps) > 0, else 2 ms.
void limit_fps(double frames_per_second);
// Pause while the window is inactive when the flag is non-zero.
void auto_pause(int32_t flag);
// Escape ends the program when the flag is non-zero (NaN counts as non-zero).
void allow_escape(double flag);
// Resets the viewport to the whole screen.
void reset_view();
// The runtime's window procedure; messages use the classic window-message numbers.
intptr_t window_procedure(void* window, uint32_t message, uintptr_t wparam, intptr_t lparam);

// ---- Line input ----

// Lets the player edit the text at (x, y) over a frozen copy of the picture, with a blinking
// cursor, until Enter; each frame goes through show_screen.
void line_input(StringValue& text, int32_t x, int32_t y);
// Line input on an empty text, stored as text_to_int of the line.
void line_input_int(int32_t& value, int32_t x, int32_t y);
// Line input on an empty text, stored as text_to_number of the line.
void line_input_number(double& value, int32_t x, int32_t y);

// ---- Background music and movies ----

// Replaces the current music with the file (looping when loop != 0); nothing plays when the
// file is not found or does not open.
void play_music(const StringValue& name, int32_t loop);
// Stops and closes the current music; returns 0.
int32_t stop_music();
// Plays the current music again from its start.
void restart_music();
// Sets the music volume (1.0 = full, kept within 0..1) unless it equals the volume last sent.
void set_music_volume(double volume);
// 1 while music plays (looping music always counts), else 0.
int32_t music_playing();
// Plays the movie over the picture until a key is typed, a button pressed or (unless looping)
// it ends; 0 when it played, 3 when the file is not found or cannot be played.
int32_t play_movie(const StringValue& name, int32_t loop);

// ---- Error text, debugger channel, console, call-by-name ----

// The error code and its text, "%.4d %s".
StringValue error_text();
// Fatal error 21 when the value is 0.
void assert_value(int32_t value);
// Sends "TX" + text to an attached debugger; silent without one.
void debug_output(const StringValue& text);
// Sends "BP" + lower-case hex of the value to an attached debugger and un-pauses.
void debug_break(int32_t value);
// Connects standard input and output to a console.
void open_console();
// Writes the text to standard output, no newline added.
void console_write(const StringValue& text);
// Writes the text to standard error, no newline added.
void console_write_error(const StringValue& text);
// One line of standard input (at most 4095 characters) without its newline.
StringValue console_read_line();
// The game sub with exactly this name, or null.
SubEntry find_sub(const StringValue& name);
// Calls the named sub; 1 when found and called, 0 otherwise.
double call_by_name(const StringValue& name);

// ---- Frame clock, processes, platform information ----

// Milliseconds since the end of runtime_init.
double elapsed_ms();
// Time between the starts of the last two show_screen calls; 1 when that is 0 or less.
double frame_time();
// Starts "sh -c command"; with wait != 0 waits and stores the exit code. 1 started, 0 failed.
double run_command(StringValue& command, double wait, double show, double& exit_code);
// Shuts the runtime down, opens the file or program with the desktop's opener, ends.
[[noreturn]] void shell_end(const StringValue& name);
// Shuts the runtime down, starts the command without waiting, ends.
[[noreturn]] void end_with_command(const StringValue& command);
// Open (flag != 0) or save dialog; the chosen name, or "NO_FILE" when cancelled.
StringValue file_request(int32_t open_flag, const StringValue& filter);
// Answers questions about the machine by key ("ID", "TIME", "LOCALE", ...).
StringValue platform_info(const StringValue& key);

}  // namespace kvn
