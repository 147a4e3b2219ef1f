// The start-up log file.
#pragma once

#include <string>

namespace kvn {

// Full path of "ErrorLog.txt" in the temporary directory.
std::string error_log_path();
// Deletes the log; a missing log is not an error.
void delete_error_log();

}  // namespace kvn
