// Starting other processes: commands, the desktop's opener, and ending into a command.
#include "platform/process.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/runtime_state.h"

namespace kvn {

// The show state has no meaning here: a child has no window of its own to show or hide.
double run_command(StringValue& command, double wait, double /*show*/, double& exit_code) {
    exit_code = 0;
    command.reserve(1024, true);
    platform::ProcessId process = 0;
    if (!platform::process_start(command.c_str(), &process)) return 0;
    command.recount();
    if (wait != 0) {
        exit_code = platform::process_wait(process);
    } else {
        platform::process_detach(process);
    }
    return 1;
}

void shell_end(const StringValue& name) {
    runtime_shutdown();
    if (!platform::shell_open(name.c_str())) {
        std::fprintf(stderr, "Cannot open \"%s\": xdg-open could not be started\n", name.c_str());
    }
    end_program();
}

void end_with_command(const StringValue& command) {
    runtime_shutdown();
    StringValue command_text = command;
    double exit_code = 0;
    run_command(command_text, 0, 1, exit_code);
    std::exit(0);
}

}  // namespace kvn
