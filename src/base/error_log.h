// The start-up log file (append_error_log in kvn/base.h writes it).
#pragma once

#include <string>

namespace kvn {

// Full path of "ErrorLog.txt" in the temporary directory.
std::string error_log_path();
// Deletes the log; a missing log is not an error.
void delete_error_log();

}  // namespace kvn
