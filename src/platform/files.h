// Files and directories, and the translation of the runtime's path names.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace kvn::platform {

// Path as the system wants it: every '\' becomes '/', a trailing '.' of the name is dropped.
std::string native_path(const char* path);
// Changes the working directory; false on failure.
bool set_working_directory(const char* path);
// The working directory, empty when it cannot be read.
std::string working_directory();
// The path made absolute against the working directory (an absolute or empty path as it is).
std::string absolute_path(const std::string& path);

// Deletes the file; a directory is never deleted. False when nothing was deleted.
bool delete_file(const std::string& path);
// Opens the file for reading (binary); null when it cannot be opened. A recording notes a hash
// of its content, which a replay compares.
std::FILE* open_file_for_reading(const std::string& path);
// Opens the file for writing, creating it when it is missing, without truncating it; the
// position is at its start. Null for a directory or when it cannot be opened.
std::FILE* open_file_for_writing(const std::string& path);

// Writes the bytes into a new file, deleting any file of that name first; a link left in its
// place is never followed. False when the file cannot be created or written.
bool write_new_file(const std::string& path, const void* data, size_t size);
// Replaces the file's content: a temporary file beside it is written and renamed over it, so
// the old content stays whole until the new one is complete. False on failure.
bool replace_file(const std::string& path, const void* data, size_t size);
// One entry of a directory.
struct DirectoryEntry {
    std::string name;
    bool is_directory;
};
// The entries of a directory ("." and ".." included, as the system lists them).
std::vector<DirectoryEntry> list_directory(const std::string& path);
// True when the path names an existing directory (links followed).
bool is_directory(const std::string& path);
// Creates a directory; false on failure.
bool make_directory(const std::string& path);
// True when both paths name one existing file (same device and inode), links followed.
bool same_file(const std::string& first, const std::string& second);

}  // namespace kvn::platform
