// The exit guard of the test binaries and the fuzz-corpus replays.
#include "support/exit_guard.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace kvn::testing_support {

namespace {

const char* (*guarded_activity)() = nullptr;
pid_t guarded_process = 0;
bool handler_installed = false;

void refuse_unexpected_exit() {
    if (!guarded_activity || getpid() != guarded_process) return;
    std::fflush(stdout);
    std::fprintf(stderr, "\n%s ended the process: counted as a failure\n", guarded_activity());
    std::fflush(stderr);
    _exit(1);
}

}  // namespace

void arm_exit_guard(const char* (*what)()) {
    guarded_activity = what;
    guarded_process = getpid();
    if (!handler_installed) handler_installed = std::atexit(refuse_unexpected_exit) == 0;
}

void disarm_exit_guard() {
    guarded_activity = nullptr;
}

}  // namespace kvn::testing_support
