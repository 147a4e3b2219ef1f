// What the desktop shows the user: message boxes, the warning beep, file dialogs.
#pragma once

#include <string>
#include <vector>

namespace kvn::platform {

// A warning message box; with KVN_NO_DIALOGS=1 the caption and text go to standard error.
void message_box_warning(const char* caption, const char* text);
// The warning beep (BEL on standard error).
void beep();
// True when KVN_NO_DIALOGS=1 is in the environment.
bool dialogs_disabled();

// One entry of a file dialog filter: description and pattern list ("*.png;*.bmp").
struct FileFilter {
    std::string description;
    std::string patterns;
};
// Open or save dialog starting in the directory; the chosen name, empty when cancelled or
// when no dialog program is available.
std::string file_dialog(bool open, const std::vector<FileFilter>& filters,
                        const std::string& directory);

}  // namespace kvn::platform
