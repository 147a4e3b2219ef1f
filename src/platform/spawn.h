// Starting helper programs, shared by the process and dialog services.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kvn::platform {

// Starts the program (searched on PATH unless it names a path) with the caller's environment
// and working directory. Only descriptors 0, 1 and 2 reach the child; output_fd, when not -1,
// becomes its standard output. Signal mask and SIGPIPE are reset to the defaults.
bool spawn(const std::vector<std::string>& arguments, int output_fd, pid_t* pid);
// True when the program is an executable in one of the PATH directories.
bool on_path(const char* program);
// Everything the descriptor delivers until end of file.
std::string read_all(int fd);

}  // namespace kvn::platform
