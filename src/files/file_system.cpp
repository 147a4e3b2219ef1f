// File-system commands: deleting, copying and testing files, directories, wildcard listing.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/media_reader.h"
#include "kvn/base.h"
#include "kvn/files.h"
#include "platform/files.h"

namespace kvn {

namespace {

constexpr int32_t kDirectoryCountUnit = 65536;
constexpr size_t kCopyBlock = 64 * 1024;

std::string system_path(const StringValue& name) {
    return platform::native_path(name.c_str());
}

unsigned char fold_case(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// Ordering of names ignoring ASCII case (lower-cased bytes); names equal that way keep a
// fixed order by their exact bytes.
bool name_before(const std::string& left, const std::string& right) {
    const size_t common = std::min(left.size(), right.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char a = fold_case(left[i]), b = fold_case(right[i]);
        if (a != b) return a < b;
    }
    if (left.size() != right.size()) return left.size() < right.size();
    return left < right;
}

bool characters_match(char pattern, char name) {
    if (pattern == '?') return name != '.';
    return fold_case(pattern) == fold_case(name);
}

// Copies every byte of the source into a new destination file; false when anything fails.
bool copy_bytes(const StringValue& source, const std::string& destination) {
    MediaReader reader;
    if (!reader.open(source.c_str())) return false;
    std::FILE* output = std::fopen(destination.c_str(), "wb");
    if (!output) return false;
    std::vector<char> block(kCopyBlock);
    uint64_t copied = 0;
    bool written = true;
    while (written && copied < reader.size()) {
        const size_t got = reader.read(block.data(), block.size());
        if (got == 0) break;
        written = std::fwrite(block.data(), 1, got, output) == got;
        copied += got;
    }
    const bool closed = std::fclose(output) == 0;
    return written && closed && copied == reader.size();
}

}  // namespace

int32_t delete_file(const StringValue& name) {
    return platform::delete_file(system_path(name)) ? 1 : 0;
}

int32_t copy_file(const StringValue& source, const StringValue& destination) {
    const std::string target = system_path(destination);
    // Deleting the destination first would destroy the only copy when both are one file; a
    // directory is never replaced.
    if (is_memory_name(destination.c_str()) || platform::is_directory(target) ||
        platform::same_file(system_path(source), target)) {
        return 0;
    }
    platform::delete_file(target);
    if (copy_bytes(source, target)) return 1;
    platform::delete_file(target);
    return 0;
}

int32_t file_exists(const StringValue& name) {
    MediaReader reader;
    return reader.open(name.c_str()) ? 1 : 0;
}

int32_t directory_exists(const StringValue& path) {
    return platform::is_directory(system_path(path)) ? 1 : 0;
}

int32_t create_directory(const StringValue& path) {
    return platform::make_directory(system_path(path)) ? 1 : 0;
}

StringValue get_current_directory() {
    std::string directory = platform::working_directory();
    std::replace(directory.begin(), directory.end(), '\\', '/');
    if (directory.empty() || directory.back() != '/') directory += '/';
    return StringValue(directory.c_str());
}

int32_t set_current_directory(const StringValue& path) {
    const bool changed = platform::set_working_directory(system_path(path).c_str());
    set_error(changed ? kErrorSuccess : kErrorNoSuchFile);
    return changed ? 1 : 0;
}

void path_to_slashes(StringValue& path) {
    const uint32_t length = path.length();
    if (length == 0) return;
    char* text = path.writable_buffer(length);
    std::replace(text, text + length, '\\', '/');
}

int32_t wildcard_match(const StringValue& pattern_value, const StringValue& name_value) {
    const char* pattern = pattern_value.c_str();
    const char* name = name_value.c_str();
    if (std::strcmp(pattern, "*.*") == 0) return 1;
    // Where the last '*' stood, and how far into the name its run has reached.
    const char* star_pattern = nullptr;
    const char* star_name = nullptr;
    while (*name) {
        if (*pattern == '*') {
            while (*pattern == '*') ++pattern;
            if (!*pattern) return 1;
            star_pattern = pattern;
            star_name = name;
        } else if (*pattern && characters_match(*pattern, *name)) {
            ++pattern;
            ++name;
        } else if (star_pattern) {
            pattern = star_pattern;
            name = ++star_name;
        } else {
            return 0;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern ? 0 : 1;
}

int32_t list_files(const StringValue& pattern, ValueArray<StringValue>& names) {
    std::vector<std::string> directories, files;
    for (const platform::DirectoryEntry& entry : platform::list_directory("")) {
        if (entry.is_directory) {
            directories.push_back(entry.name);
        } else if (wildcard_match(pattern, StringValue(entry.name.c_str()))) {
            files.push_back(entry.name);
        }
    }
    std::sort(directories.begin(), directories.end(), name_before);
    std::sort(files.begin(), files.end(), name_before);

    const int32_t directory_count = static_cast<int32_t>(directories.size());
    const int32_t file_count = static_cast<int32_t>(files.size());
    dim_array(names, directory_count + file_count);
    int32_t index = 0;
    for (const std::vector<std::string>* list : {&directories, &files}) {
        for (const std::string& name : *list) array_element(names, index++) = name.c_str();
    }
    return file_count + kDirectoryCountUnit * directory_count;
}

}  // namespace kvn
