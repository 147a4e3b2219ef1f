// The runtime's bottom layer, which every subsystem may use: the error state and the single
// exit path, the millisecond clock, the start-up log.
#pragma once

#include <cstdint>

namespace kvn {

// Codes of the runtime's error state, set by failing commands and by the fatal ends.
enum ErrorCode : int32_t {
    kErrorSuccess = 0,
    kErrorNoSuchFile = 3,
    kErrorOutOfMemory = 7,
    kErrorArrayMisuse = 8,
    kErrorOutOfBounds = 9,
    kErrorOutOfData = 20,
    kErrorAssertion = 21,
};

// Number to integer by truncation toward zero; NaN and values outside 32 bits give INT32_MIN,
// the processor's "integer indefinite" result.
int32_t to_integer(double number);

// ---- Error state and the single exit path ----

// error_line = current_line; error_code = code truncated towards zero.
void set_error(double code);
// The code of the last error; 0 = success.
int32_t get_error_code();
// The source line stored with the last error.
int32_t get_error_line();
// Source position of the statement being executed (debug builds call it per statement).
void set_source_position(int32_t module, int32_t line);
// The END statement: clears the error code, then end_program.
[[noreturn]] void end_statement();
// The single orderly end of the process: the runtime's end (debug record, shutdown), then exit
// code 0.
[[noreturn]] void end_program();
// A fatal error: set_error(code), then end_program.
[[noreturn]] void fatal_error(int32_t code);
// The fatal end of an allocation that failed (or whose size cannot be represented): error 7.
[[noreturn]] void fatal_out_of_memory();

// ---- Clock ----

// Chooses the clock source (performance counter or tick count).
void clock_init();
// Milliseconds since the first reading of the clock (the first reading returns 0).
double clock_ms();
// Suspends the main thread for trunc(ms) milliseconds; 0 only yields.
void sleep(double milliseconds);

// ---- Start-up log ----

// Appends the text and CR LF to "ErrorLog.txt" in the temporary directory (5 open attempts).
void append_error_log(const char* text);

}  // namespace kvn
