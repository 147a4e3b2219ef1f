// Child processes: commands through the shell and the desktop's opener.
#pragma once

namespace kvn::platform {

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

}  // namespace kvn::platform
