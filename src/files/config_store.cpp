// The configuration store: reading, writing back and changing sections of key=value lines.
//
// Reading rules chosen where the format leaves room:
// - A line keeps at most kConfigLineLimit bytes (after its CR LF is removed); the rest of a
//   longer line is dropped, so it never spills into a following line.
// - A NUL byte ends the line's content; the bytes after it up to the LF are dropped (names and
//   values are compared as C texts, so they could never be found past a NUL anyway).
// - A UTF-8 byte-order mark is an ordinary part of the first line: "\xEF\xBB\xBF[a]" is then
//   an entry line without '=' and is ignored.
// - A value made only of removable bytes (<= 31 as a signed char) trims to nothing and the
//   line is ignored, like any line with an empty value.
#include "files/config_store.h"

#include <cstdlib>
#include <cstring>

#include "files/files_state.h"
#include "files/media_archive.h"
#include "files/media_reader.h"
#include "kvn/files.h"
#include "platform/files.h"

namespace kvn {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where keys and section names end.
bool ends_name(char c) {
    return is_blank(c) || c == '=';
}

// Trailing bytes a value loses: controls and, compared as signed, every byte >= 0x80.
bool is_removable(char c) {
    return static_cast<signed char>(c) <= 31;
}

char fold_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Equal as C texts ignoring ASCII letter case.
bool same_name(const StringValue& left, const StringValue& right) {
    const char* a = left.c_str();
    const char* b = right.c_str();
    while (*a && fold_ascii(*a) == fold_ascii(*b)) ++a, ++b;
    return fold_ascii(*a) == fold_ascii(*b);
}

// A text of exactly these bytes (they hold no NUL).
StringValue text_of(const char* bytes, size_t count) {
    if (count == 0) return StringValue();
    StringValue text;
    char* buffer = text.writable_buffer(static_cast<uint32_t>(count));
    std::memcpy(buffer, bytes, count);
    buffer[count] = '\0';
    text.recount();
    return text;
}

size_t skip_blanks(const char* line, size_t position, size_t length) {
    while (position < length && is_blank(line[position])) ++position;
    return position;
}

// Builds the section list line by line: entries wait until a header or the end commits them.
class ConfigParser {
  public:
    void parse_line(const char* line, size_t length) {
        const size_t start = skip_blanks(line, 0, length);
        if (start == length || line[start] == ';') return;
        if (line[start] == '[') {
            parse_header(line, start + 1, length);
        } else {
            parse_entry(line, start, length);
        }
    }

    std::vector<ConfigSection> finish() {
        commit();
        return std::move(sections_);
    }

  private:
    void commit() {
        if (pending_.empty()) return;
        sections_.push_back({current_name_, std::move(pending_)});
        pending_.clear();
    }

    void parse_header(const char* line, size_t position, size_t length) {
        commit();
        const size_t name_start = skip_blanks(line, position, length);
        size_t name_end = name_start;
        while (name_end < length && !ends_name(line[name_end])) ++name_end;
        if (name_end > name_start && line[name_end - 1] == ']') --name_end;
        if (name_end > name_start)
            current_name_ = text_of(line + name_start, name_end - name_start);
    }

    void parse_entry(const char* line, size_t key_start, size_t length) {
        size_t position = key_start;
        while (position < length && !ends_name(line[position])) ++position;
        if (position == length) return;
        const size_t key_end = position;
        if (line[position] == ' ' || line[position] == '\t') {
            position = skip_blanks(line, position, length);
        }
        if (position == length || line[position] != '=') return;
        const size_t value_start = skip_blanks(line, position + 1, length);
        size_t value_end = length;
        while (value_end > value_start && is_removable(line[value_end - 1])) --value_end;
        if (value_end == value_start) return;
        pending_.push_back({text_of(line + key_start, key_end - key_start),
                            text_of(line + value_start, value_end - value_start)});
    }

    std::vector<ConfigSection> sections_;
    std::vector<ConfigEntry> pending_;
    StringValue current_name_;
};

ConfigSection* find_section(ConfigStore& store, const StringValue& name) {
    for (ConfigSection& section : store.sections) {
        if (same_name(section.name, name)) return &section;
    }
    return nullptr;
}

ConfigEntry* find_entry(ConfigSection& section, const StringValue& key) {
    for (ConfigEntry& entry : section.entries) {
        if (same_name(entry.key, key)) return &entry;
    }
    return nullptr;
}

// Removes the element by moving the last one into its place (the order changes).
template <typename T>
void remove_by_moving_last(std::vector<T>& items, T* item) {
    if (item != &items.back()) *item = std::move(items.back());
    items.pop_back();
}

void write_back_at_exit() {
    config_write_back();
}

}  // namespace

ConfigStore& config_store() {
    return files_state().config_store;
}

std::vector<ConfigSection> parse_config_text(const uint8_t* bytes, size_t size) {
    ConfigParser parser;
    const char* text = reinterpret_cast<const char*>(bytes);
    size_t line_start = 0;
    while (line_start < size) {
        const void* newline = std::memchr(text + line_start, '\n', size - line_start);
        const size_t line_end =
            newline ? static_cast<size_t>(static_cast<const char*>(newline) - text) : size;
        const char* line = text + line_start;
        size_t length = line_end - line_start;
        if (length > 0 && line[length - 1] == '\r') --length;
        if (length > kConfigLineLimit) length = kConfigLineLimit;
        if (const void* nul = std::memchr(line, '\0', length)) {
            length = static_cast<size_t>(static_cast<const char*>(nul) - line);
        }
        parser.parse_line(line, length);
        line_start = line_end + 1;
    }
    return parser.finish();
}

std::string config_text(const std::vector<ConfigSection>& sections) {
    size_t total = 0;
    for (const ConfigSection& section : sections) {
        total += section.name.length() + 4;
        for (const ConfigEntry& entry : section.entries) {
            total += entry.key.length() + entry.value.length() + 3;
        }
    }
    std::string text;
    text.reserve(total);
    for (const ConfigSection& section : sections) {
        text += '[';
        text.append(section.name.c_str(), section.name.length());
        text += "]\r\n";
        for (const ConfigEntry& entry : section.entries) {
            text.append(entry.key.c_str(), entry.key.length());
            text += '=';
            text.append(entry.value.c_str(), entry.value.length());
            text += "\r\n";
        }
    }
    return text;
}

void config_write_back() {
    // The exit handler may run when no files state is attached (a test's own was detached).
    if (!active_files) return;
    ConfigStore& store = config_store();
    if (!store.modified || store.write_path.empty()) return;
    // A file that cannot be written keeps its old content and the changes are lost.
    const std::string text = config_text(store.sections);
    platform::replace_file(store.write_path, text.data(), text.size());
    store.modified = false;
}

void config_open(const StringValue& name) {
    ConfigStore& store = config_store();
    // Registered after the files state exists, so the handler runs before it is destroyed.
    static const bool exit_handler_registered = std::atexit(write_back_at_exit) == 0;
    (void)exit_handler_registered;

    config_write_back();
    store.modified = false;
    store.file_name.clear();
    store.write_path.clear();
    store.sections.clear();
    if (name.empty()) return;

    StringValue resolved;
    store.file_name = resolve_in_first_archive(name, resolved) ? resolved : name;
    if (!is_memory_name(store.file_name.c_str())) {
        store.write_path = platform::absolute_path(platform::native_path(store.file_name.c_str()));
    }
    std::vector<uint8_t> bytes;
    if (read_whole_media(store.file_name.c_str(), &bytes)) {
        store.sections = parse_config_text(bytes.data(), bytes.size());
    }
}

StringValue config_get(const StringValue& section, const StringValue& key,
                       const StringValue& default_value) {
    ConfigSection* found_section = find_section(config_store(), section);
    const ConfigEntry* entry = found_section ? find_entry(*found_section, key) : nullptr;
    return entry ? entry->value : default_value;
}

void config_put(const StringValue& section, const StringValue& key, const StringValue& value) {
    ConfigStore& store = config_store();
    ConfigSection* found_section = find_section(store, section);
    if (key.empty()) {
        // Deleting a section alone does not mark the store as changed.
        if (found_section) remove_by_moving_last(store.sections, found_section);
        return;
    }
    if (!found_section) {
        store.sections.push_back({section, {}});
        found_section = &store.sections.back();
    }
    store.modified = true;
    ConfigEntry* entry = find_entry(*found_section, key);
    if (!entry) {
        found_section->entries.push_back({key, value});
    } else if (!value.empty()) {
        entry->value = value;
    } else {
        remove_by_moving_last(found_section->entries, entry);
    }
}

}  // namespace kvn
