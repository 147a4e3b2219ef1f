// The process-wide runtime record and the program settings.
#include "runtime/runtime_state.h"

#include <string>

#include "platform/files.h"
#include "platform/system.h"

namespace kvn {

RuntimeState runtime;
ProjectSettings project_settings;

namespace {

// Attached as soon as the runtime record exists, for the whole process.
const bool files_attached = (attach_files(&runtime.files), true);

}  // namespace

platform::Window* main_window() {
    return runtime.renderer ? runtime.renderer->display().window() : nullptr;
}

void enter_program_directory() {
    const std::string path = platform::native_path(platform::executable_path().c_str());
    const size_t separator = path.find_last_of('/');
    if (separator == std::string::npos) return;
    platform::set_working_directory(separator == 0 ? "/" : path.substr(0, separator).c_str());
}

}  // namespace kvn
