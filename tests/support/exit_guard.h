// Turns an unexpected end of the process into a failure. The runtime's fatal end exits with
// code 0, so without this guard a test that reached it by mistake would count as passed.
#pragma once

namespace kvn::testing_support {

// Installs the guard: from now on until disarm_exit_guard, an exit of this process prints
// "<what> ended the process" on standard error and ends it with code 1 instead. Forked
// children (death tests) are not guarded.
void arm_exit_guard(const char* (*what)());
// Lets the process exit normally again.
void disarm_exit_guard();

}  // namespace kvn::testing_support
