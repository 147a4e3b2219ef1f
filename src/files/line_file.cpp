// The line file: one cached text file addressed by line number, written back when another file
// is selected and at program exit.
#include <cstdlib>
#include <string>
#include <vector>

#include "files/files_state.h"
#include "files/media_archive.h"
#include "files/media_reader.h"
#include "kvn/base.h"
#include "kvn/files.h"
#include "platform/files.h"

namespace kvn {

namespace {

constexpr size_t kReadLineLimit = 1024;
constexpr uint32_t kStoredTextLimit = 1023;
// A line number out of range is reported with the out-of-memory code.
constexpr int32_t kResultBadLine = kErrorOutOfMemory;

// Writes the current file back when it was changed; a "mem://" image is read-only and is never
// written. The new content replaces the old file only once it is complete.
void write_back() {
    // The exit handler may run when no files state is attached (a test's own was detached).
    if (!active_files) return;
    LineFile& file = files_state().line_file;
    if (!file.modified || file.write_path.empty()) return;
    file.modified = false;
    std::string content;
    for (int32_t line = 0; line <= file.highest_line; ++line) {
        content += file.slots[line];
        content += "\r\n";
    }
    if (!platform::replace_file(file.write_path, content.data(), content.size())) {
        set_error(kErrorNoSuchFile);
    }
}

// Splits the bytes into at most 256 lines, each cut at 1024 characters, a CR before the LF
// removed; returns how many lines there were.
int32_t split_lines(const std::vector<uint8_t>& bytes, std::vector<std::string>& slots) {
    int32_t count = 0;
    size_t start = 0;
    while (start < bytes.size() && count < kLineFileSlots) {
        size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n') ++end;
        size_t length = end - start;
        if (end < bytes.size() && length > 0 && bytes[end - 1] == '\r') --length;
        if (length > kReadLineLimit) length = kReadLineLimit;
        slots[count++].assign(reinterpret_cast<const char*>(bytes.data()) + start, length);
        start = end + 1;
    }
    return count;
}

// Makes the named file current, writing the previous one back first; 0, or 3 when the file
// cannot be read. A file that could not be read is tried again until something is stored.
int32_t select_file(const StringValue& name) {
    LineFile& file = files_state().line_file;
    // Registered after the files state exists, so the handler runs before it is destroyed.
    static const bool exit_handler_registered = std::atexit(write_back) == 0;
    (void)exit_handler_registered;
    const bool same_name = file.name == name.c_str();
    if (same_name && !file.missing) return 0;
    if (!same_name) write_back();

    file.name = name.c_str();
    file.write_path =
        is_memory_name(name.c_str()) ? "" : platform::absolute_path(platform::native_path(name.c_str()));
    for (std::string& slot : file.slots) slot.clear();
    file.modified = false;
    StringValue resolved;
    std::vector<uint8_t> bytes;
    file.missing =
        !resolve_in_first_archive(name, resolved) || !read_whole_media(resolved.c_str(), &bytes);
    file.highest_line = file.missing ? -1 : split_lines(bytes, file.slots) - 1;
    return file.missing ? kErrorNoSuchFile : 0;
}

bool line_in_range(int32_t line) {
    return line >= 0 && line < kLineFileSlots;
}

}  // namespace

int32_t line_file_get(const StringValue& file_name, int32_t line, StringValue& target) {
    // A failure (bad line, missing file, failed write-back of the previous file) sets the code.
    set_error(kErrorSuccess);
    if (!line_in_range(line)) {
        set_error(kResultBadLine);
        target = "NO_DATA";
        return kResultBadLine;
    }
    const int32_t selected = select_file(file_name);
    if (selected != 0) {
        set_error(selected);
        target = "NO_FILE";
        return selected;
    }
    target = files_state().line_file.slots[line].c_str();
    target.trim_trailing_controls();
    if (target.empty()) target = "NO_DATA";
    return 0;
}

int32_t line_file_get(const StringValue& file_name, int32_t line, double& target) {
    StringValue text;
    const int32_t result = line_file_get(file_name, line, text);
    target = text_to_number(text.c_str());
    return result;
}

int32_t line_file_get(const StringValue& file_name, int32_t line, int32_t& target) {
    StringValue text;
    const int32_t result = line_file_get(file_name, line, text);
    target = text_to_int(text.c_str());
    return result;
}

int32_t line_file_put(const StringValue& file_name, int32_t line, const StringValue& text) {
    // A failure (bad line, failed write-back of the previous file) sets the code.
    set_error(kErrorSuccess);
    if (!line_in_range(line)) {
        set_error(kResultBadLine);
        return kResultBadLine;
    }
    select_file(file_name);
    LineFile& file = files_state().line_file;
    const std::string stored = text.c_str();
    file.slots[line] = stored.substr(0, kStoredTextLimit);
    if (line > file.highest_line) file.highest_line = line;
    file.modified = true;
    file.missing = false;
    return 0;
}

int32_t line_file_put(const StringValue& file_name, int32_t line, double number) {
    return line_file_put(file_name, line, number_to_text(number));
}

int32_t line_file_put(const StringValue& file_name, int32_t line, int32_t number) {
    return line_file_put(file_name, line, int_to_text(number));
}

}  // namespace kvn
