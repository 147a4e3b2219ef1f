// The start-up log "ErrorLog.txt" in the temporary directory.
#include "base/error_log.h"

#include <cstdio>
#include <string>

#include "kvn/base.h"
#include "platform/system.h"

namespace kvn {

namespace {

constexpr int kOpenAttempts = 5;

}  // namespace

std::string error_log_path() {
    return platform::temp_directory() + "ErrorLog.txt";
}

void delete_error_log() {
    std::remove(error_log_path().c_str());
}

void append_error_log(const char* text) {
    const std::string path = error_log_path();
    if (path.rfind("mem://", 0) == 0) return;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < kOpenAttempts && !file; ++attempt) {
        file = std::fopen(path.c_str(), "ab");
    }
    if (!file) return;
    std::string line = text ? text : "";
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}

}  // namespace kvn
