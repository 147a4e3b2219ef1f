// The machine and the process around the runtime: clock and sleep, environment, program file
// and command line, the debugger and the console, facts about the machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvn::platform {

// High-resolution counter ticks (0 when there is no counter).
uint64_t performance_counter();
// Ticks of performance_counter per second (0 when there is no counter).
uint64_t performance_frequency();
// Milliseconds since an arbitrary start.
uint32_t tick_count_ms();
// Suspends the thread; 0 yields the rest of the time slice.
void sleep_ms(uint32_t milliseconds);
// Suspends the thread for a fraction of a millisecond or more (values <= 0 return at once).
void sleep_precise_ms(double milliseconds);

// The variable's value, or "" when it is unset.
std::string environment_value(const char* name);
// Every "NAME=value" entry of the process environment.
std::vector<std::string> environment_entries();
// environment_value and environment_entries as a program command reads them: through the
// recorder, so a replay sees the recorded environment.
std::string program_environment_value(const char* name);
std::vector<std::string> program_environment_entries();
// Sets the variable; an empty value removes it. False for an unusable name.
bool environment_set(const char* name, const char* value);

// The temporary directory, always ending in '/'.
std::string temp_directory();
// Full path of the program file.
std::string executable_path();
// The process command line: arguments joined by blanks, an argument with a blank quoted.
std::string command_line();

// True when a debugger (tracer) is attached to the process.
bool debugger_attached();
// Sends a debug string to the attached debugger (one line on standard error).
void debug_string(const char* text);
// Connects standard input and output to the process's console.
void open_console();

// A 32-bit machine identifier, stable across runs; fallback when none can be read.
uint32_t machine_serial(uint32_t fallback);
// Battery life 0..100, or 255 when unknown.
int battery_percent();
// The user-interface locale name (LC_ALL, else LC_MESSAGES, else LANG), "" when none is set.
std::string ui_locale();
// The user's documents folder, empty when there is none.
std::string documents_folder();

// Local calendar time.
struct LocalTime {
    int year, month, day, hour, minute, second;
};
// The local calendar time now.
LocalTime local_time();

}  // namespace kvn::platform
