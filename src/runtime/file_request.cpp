// The open and save file dialogs, with the game window out of the way meanwhile.
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "runtime/runtime_state.h"

namespace kvn {

namespace {

// "desc|pattern|desc|pattern" as a list of filters; a description without pattern is dropped.
std::vector<platform::FileFilter> parse_filter(const StringValue& filter) {
    std::vector<std::string> parts;
    std::string part;
    for (const char* c = filter.c_str(); *c; ++c) {
        if (*c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += *c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    std::vector<platform::FileFilter> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

}  // namespace

StringValue file_request(int32_t open_flag, const StringValue& filter) {
    const std::vector<platform::FileFilter> filters = parse_filter(filter);
    const std::string kept_directory = platform::working_directory();

    if (runtime.renderer) runtime.renderer->display().hide();
    std::string chosen = platform::file_dialog(open_flag != 0, filters, kept_directory);
    platform::set_working_directory(kept_directory.c_str());

    if (runtime.renderer) {
        if (project_settings.fullscreen_flag == 0) {
            runtime.renderer->set_windowed();
        } else {
            const Display& display = runtime.renderer->display();
            set_screen(display.width(), display.height(), 1);
        }
    }

    if (chosen.empty()) return StringValue("NO_FILE");
    for (char& c : chosen) {
        if (c == '\\') c = '/';
    }
    return StringValue(chosen.c_str());
}

}  // namespace kvn
