// The runtime's end, the error text, assertions, the debugger channel, the console and
// call-by-name.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/error_state.h"
#include "platform/recording.h"
#include "platform/system.h"
#include "runtime/runtime_state.h"

namespace kvn {

namespace {

constexpr size_t kConsoleLineLimit = 4095;

const char* error_message(int32_t code) {
    switch (code) {
        case 0:
            return "success";
        case 3:
            return "no such file";
        case 7:
            return "out of memory";
        case 9:
            return "out of bounds";
        case 20:
            return "out of data";
        default:
            return "unknown error";
    }
}

void append_number_to_log(int32_t value) {
    char line[16];
    std::snprintf(line, sizeof line, "%d", value);
    append_error_log(line);
}

// Sends a debug string only while a debugger is attached.
void send_to_debugger(const StringValue& text) {
    if (platform::debugger_attached()) platform::debug_string(text.c_str());
}

}  // namespace

void end_runtime() {
    if (project_settings.debug_mode != 0) {
        append_error_log("-End On Line");
        append_number_to_log(error_state.error_code);
        append_number_to_log(error_state.error_line - 1);
        append_number_to_log(error_state.current_line);
        append_number_to_log(error_state.current_module);
    }
    runtime_shutdown();
    platform::recording_finish();
}

StringValue error_text() {
    char text[64];
    std::snprintf(text, sizeof text, "%.4d %s", error_state.error_code,
                  error_message(error_state.error_code));
    return StringValue(text);
}

void assert_value(int32_t value) {
    if (value != 0) return;
    debug_output(StringValue("Assertion: Value = ") + "0" + "\n");
    error_state.error_code = kErrorAssertion;
    error_state.error_line = error_state.current_line;
    end_program();
}

void debug_output(const StringValue& text) {
    send_to_debugger(StringValue("TX") + text);
}

void debug_break(int32_t value) {
    if (!platform::debugger_attached()) return;
    char text[16];
    std::snprintf(text, sizeof text, "BP%" PRIx32, static_cast<uint32_t>(value));
    platform::debug_string(text);
    runtime.paused = false;
    if (runtime.input_state) {
        input_frame_poll(*runtime.input_state);
    }
    runtime.reactivate_request = true;
}

void open_console() {
    platform::open_console();
}

void console_write(const StringValue& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

void console_write_error(const StringValue& text) {
    std::fputs(text.c_str(), stderr);
}

StringValue console_read_line() {
    char line[kConsoleLineLimit + 1];
    if (!std::fgets(line, sizeof line, stdin)) return StringValue();
    size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
    if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
    return StringValue(line);
}

SubEntry find_sub(const StringValue& name) {
    if (!runtime.sub_table) return nullptr;
    for (const SubTableEntry* pair = runtime.sub_table; pair->entry; ++pair) {
        if (pair->name && std::strlen(pair->name) == name.length() &&
            std::memcmp(pair->name, name.c_str(), name.length()) == 0) {
            return pair->entry;
        }
    }
    return nullptr;
}

double call_by_name(const StringValue& name) {
    const SubEntry entry = find_sub(name);
    if (entry) {
        entry();
        return 1;
    }
    if (name.compare("KVN_ON_QUIT") != 0 && name.compare("KVN_WIN32_MSG") != 0) {
        debug_output(StringValue("CALLBYNAME \"") + name + "\" *** failed ***\n");
    }
    return 0;
}

}  // namespace kvn
