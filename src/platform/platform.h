// The platform layer: the only code that talks to SDL, POSIX processes and the desktop.
// It reports in the runtime's own terms (window-message numbers, scan codes, milliseconds);
// the subsystems above it own their state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvn::platform {

// ---------------------------------------------------------------- window and OpenGL context

// An application window (an SDL window with OpenGL underneath).
struct Window;
// An OpenGL rendering context, kept across re-created windows.
struct GlContext;

// Window-message numbers delivered to the window procedure.
enum MessageId : uint32_t {
    kMessageNull = 0x0000,
    kMessageActivate = 0x0006,
    kMessageClose = 0x0010,
    kMessageEraseBackground = 0x0014,
    kMessageSystemCommand = 0x0112,
};

// One waiting message of a window, translated from the platform's event.
struct Message {
    Window* window;
    uint32_t id;
    uintptr_t wparam;
    intptr_t lparam;
};

// A window procedure: handles one message, returns its result.
using WindowProcedure = intptr_t (*)(Window* window, uint32_t id, uintptr_t wparam,
                                     intptr_t lparam);

// Pixel format asked of a new window: depth 24, stencil 8, double buffered.
struct PixelFormat {
    int colour_bits = 24;
    int samples = 0;  // 0 = no multisampling
};

// Starts the video subsystem once per process; false when there is no display.
bool video_init();
// Sets the window procedure that dispatch_message calls (registered once per process).
void set_window_procedure(WindowProcedure procedure);
// Creates a hidden, framed, non-resizable OpenGL window of the given client size.
Window* window_create(const char* title, int x, int y, int width, int height,
                      const PixelFormat& format);
// Destroys the window (its GL context survives).
void window_destroy(Window* window);
void window_set_title(Window* window, const char* title);
std::string window_title(Window* window);
void window_show(Window* window);
void window_hide(Window* window);
// Brings the window to the top and gives it the input focus.
void window_raise(Window* window);
void window_set_bordered(Window* window, bool bordered);
void window_set_always_on_top(Window* window, bool on_top);
// Places the window's client area at (x, y) with the given client size.
void window_set_bounds(Window* window, int x, int y, int width, int height);
// The client area's position on the screen; false when it cannot be read.
bool window_position(Window* window, int* x, int* y);
// The client area's size in pixels.
void window_size(Window* window, int* width, int* height);
// True while the window has the keyboard focus (it is the active window).
bool window_has_input_focus(Window* window);
// Size and depth of the desktop's current display mode.
void desktop_mode(int* width, int* height, int* bits_per_pixel);
// True when the display offers exactly this mode (bits 0 = any depth).
bool display_has_mode(int width, int height, int bits_per_pixel);
// Full screen in exactly this mode of the display (bits 0 = any depth); false when the display
// has no such mode or the switch fails.
bool window_enter_fullscreen(Window* window, int width, int height, int bits_per_pixel);
// Leaves full screen, restoring the desktop's display mode.
void window_leave_fullscreen(Window* window);

// Creates a GL context on the window.
GlContext* gl_context_create(Window* window);
// Makes the context current on the window; false on failure.
bool gl_make_current(Window* window, GlContext* context);
// Detaches any context from the calling thread.
void gl_release_current();
void gl_context_delete(GlContext* context);
// Presents the back buffer.
void gl_swap(Window* window);
// Address of a GL entry point, or null; only names the GL library really exports count.
void* gl_proc_address(const char* name);
// False when the context's visual is not hardware accelerated.
bool gl_accelerated_visual();

// ---------------------------------------------------------------- messages

// The next waiting message of the window, without removing it.
bool peek_message(Window* window, Message* message);
// Removes the next waiting message of the window.
bool remove_message(Window* window, Message* message);
// Calls the window procedure for the message.
intptr_t dispatch_message(const Message& message);
// What the system does with a message the window procedure passes on.
intptr_t default_window_procedure(Window* window, uint32_t id, uintptr_t wparam, intptr_t lparam);
// Pushes a close request (quit event) into the queue.
void post_quit();

// ---------------------------------------------------------------- keyboard

// Pumps events and writes the keyboard as 256 scan-code bytes (bit 7 set = down).
void keyboard_read(uint8_t state[256]);
// Drops waiting key and text events ("remove keyboard messages").
void keyboard_flush_messages();
// True when key or text events are waiting.
bool keyboard_messages_pending();

// ---------------------------------------------------------------- dialogs and sound

// A warning message box; with KVN_NO_DIALOGS=1 the caption and text go to standard error.
void message_box_warning(const char* caption, const char* text);
// Windows-1252 text as UTF-8, for the desktop and the terminal.
std::string ansi_to_utf8(const char* text);
// The warning beep (BEL on standard error).
void beep();
// True when KVN_NO_DIALOGS=1 is in the environment.
bool dialogs_disabled();

// ---------------------------------------------------------------- clock

// High-resolution counter ticks and their frequency (0 when there is no counter).
uint64_t performance_counter();
uint64_t performance_frequency();
// Milliseconds since an arbitrary start.
uint32_t tick_count_ms();
// Suspends the thread; 0 yields the rest of the time slice.
void sleep_ms(uint32_t milliseconds);

// ---------------------------------------------------------------- process and files

// The temporary directory, always ending in '/'.
std::string temp_directory();
// Full path of the program file.
std::string executable_path();
// The process command line: arguments joined by blanks, an argument with a blank quoted.
std::string command_line();
// Path as the system wants it: every '\' becomes '/', a trailing '.' of the name is dropped.
std::string native_path(const char* path);
bool set_working_directory(const char* path);
std::string working_directory();

// True when a debugger (tracer) is attached to the process.
bool debugger_attached();
// Sends a debug string to the attached debugger (one line on standard error).
void debug_string(const char* text);
// Connects standard input and output to the process's console.
void open_console();

// A started child process.
using ProcessId = int;
// Starts "/bin/sh -c command"; false when it cannot be started.
bool process_start(const char* command, ProcessId* process);
// Waits for the process to end; its exit code (128 + signal when killed by a signal).
int process_wait(ProcessId process);
// Nobody will wait for the process: its end is collected later, without blocking.
void process_detach(ProcessId process);
// Opens a file, folder or address with the desktop's opener (xdg-open); false on failure.
bool shell_open(const char* name);

// One entry of a file dialog filter: description and pattern list ("*.png;*.bmp").
struct FileFilter {
    std::string description;
    std::string patterns;
};
// Open or save dialog starting in the directory; the chosen name, empty when cancelled or
// when no dialog program is available.
std::string file_dialog(bool open, const std::vector<FileFilter>& filters,
                        const std::string& directory);

// The variable's value, or "" when it is unset.
std::string environment_value(const char* name);
// Every "NAME=value" entry of the process environment.
std::vector<std::string> environment_entries();
// Sets the variable; an empty value removes it. False for an unusable name.
bool environment_set(const char* name, const char* value);

// ---------------------------------------------------------------- files and directories

// Writes the bytes into a new file, deleting any file of that name first; a link left in its
// place is never followed. False when the file cannot be created or written.
bool write_new_file(const std::string& path, const void* data, size_t size);
// Replaces the file's content: a temporary file beside it is written and renamed over it, so
// the old content stays whole until the new one is complete. False on failure.
bool replace_file(const std::string& path, const void* data, size_t size);
// One entry of a directory.
struct DirectoryEntry {
    std::string name;
    bool is_directory;
};
// The entries of a directory ("." and ".." included, as the system lists them).
std::vector<DirectoryEntry> list_directory(const std::string& path);
bool is_directory(const std::string& path);
bool make_directory(const std::string& path);
// True when both paths name one existing file (same device and inode), links followed.
bool same_file(const std::string& first, const std::string& second);

// ---------------------------------------------------------------- machine information

// A 32-bit machine identifier, stable across runs; fallback when none can be read.
uint32_t machine_serial(uint32_t fallback);
// Battery life 0..100, or 255 when unknown.
int battery_percent();
// Windows language identifier of the user-interface language, 0 when not listed.
uint16_t ui_language_id();
// The language identifier of a POSIX locale name ("de_DE.UTF-8" -> 0x0407), 0 when unknown.
uint16_t language_id_from_locale(const char* locale);
// The user's documents folder, empty when there is none.
std::string documents_folder();

// Local calendar time.
struct LocalTime {
    int year, month, day, hour, minute, second;
};
LocalTime local_time();

}  // namespace kvn::platform
