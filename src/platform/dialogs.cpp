// Message boxes through SDL, the warning beep and zenity's file dialogs.
#include "platform/dialogs.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "platform/journal.h"
#include "platform/process.h"
#include "platform/spawn.h"
#include "platform/system.h"
#include "platform/text_encoding.h"

namespace kvn::platform {

void message_box_warning(const char* caption, const char* text) {
    // The runtime's texts are Windows-1252; the desktop and the terminal read UTF-8.
    const std::string caption_utf8 = ansi_to_utf8(caption);
    const std::string text_utf8 = ansi_to_utf8(text);
    if (!dialogs_disabled()) {
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption_utf8.c_str(),
                                     text_utf8.c_str(), nullptr) == 0) {
            return;
        }
        std::fprintf(stderr, "kvn: cannot show a message box: %s\n", SDL_GetError());
    }
    // Dialogs are off, or no dialog could be shown: the text must still reach someone.
    std::fprintf(stderr, "%s: %s\n", caption_utf8.c_str(), text_utf8.c_str());
    std::fflush(stderr);
}

void beep() {
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

// A replay never waits for a person: its message boxes go to standard error.
bool dialogs_disabled() {
    return journal::replaying() || environment_value("KVN_NO_DIALOGS") == "1";
}

namespace {

std::string live_file_dialog(bool open, const std::vector<FileFilter>& filters,
                             const std::string& directory) {
    if (dialogs_disabled() || !on_path("zenity")) return {};
    std::vector<std::string> arguments = {"zenity", "--file-selection"};
    if (!open) arguments.push_back("--save");
    if (!directory.empty()) {
        arguments.push_back("--filename=" + directory + (directory.back() == '/' ? "" : "/"));
    }
    for (const FileFilter& filter : filters) {
        std::string patterns = filter.patterns;
        for (char& c : patterns) {
            if (c == ';') c = ' ';
        }
        arguments.push_back("--file-filter=" + filter.description + " | " + patterns);
    }

    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return {};
    pid_t pid = 0;
    bool started = spawn(arguments, pipe_ends[1], &pid);
    close(pipe_ends[1]);
    std::string chosen = started ? read_all(pipe_ends[0]) : "";
    close(pipe_ends[0]);
    if (!started || process_wait(pid) != 0) return {};
    while (!chosen.empty() && (chosen.back() == '\n' || chosen.back() == '\r')) chosen.pop_back();
    return chosen;
}

}  // namespace

std::string file_dialog(bool open, const std::vector<FileFilter>& filters,
                        const std::string& directory) {
    return journal::report_text(journal::Kind::kFileDialog,
                                [&] { return live_file_dialog(open, filters, directory); });
}

}  // namespace kvn::platform
