// The error state, the single exit path and the number-to-integer rule they share.
#include "base/error_state.h"

#include <cstdlib>
#include <limits>

#include "kvn/base.h"

namespace kvn {

ErrorState error_state;

namespace {

EndHandler end_handler = nullptr;

}  // namespace

int32_t to_integer(double number) {
    // A plain cast is undefined outside the int32 range; keep the processor's answer.
    if (!(number > -2147483649.0 && number < 2147483648.0)) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(number);
}

void set_end_handler(EndHandler handler) {
    end_handler = handler;
}

void set_error(double code) {
    error_state.error_line = error_state.current_line;
    error_state.error_code = to_integer(code);
}

int32_t get_error_code() {
    return error_state.error_code;
}

int32_t get_error_line() {
    return error_state.error_line;
}

void set_source_position(int32_t module, int32_t line) {
    error_state.current_module = module;
    error_state.current_line = line;
}

void end_statement() {
    error_state.error_code = 0;
    error_state.error_line = error_state.current_line;
    end_program();
}

void end_program() {
    if (end_handler) end_handler();
    // Exit handlers run: the configuration store and line files are written back there.
    std::exit(0);
}

void fatal_error(int32_t code) {
    set_error(code);
    end_program();
}

void fatal_out_of_memory() {
    fatal_error(kErrorOutOfMemory);
}

}  // namespace kvn
