// Files and directories on POSIX.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/journal.h"
#include "platform/system.h"

namespace kvn::platform {

namespace {

bool write_all(int file, const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(file, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

std::string native_path(const char* path) {
    std::string result = path ? path : "";
    for (char& c : result) {
        if (c == '\\') c = '/';
    }
    // Trailing dots of a name are dropped; a name of dots only ("." or "..") is kept.
    size_t name_start = result.rfind('/') + 1;  // npos + 1 = 0
    size_t name_end = result.find_last_not_of('.');
    if (name_end != std::string::npos && name_end >= name_start) result.resize(name_end + 1);
    return result;
}

bool set_working_directory(const char* path) {
    return path && chdir(path) == 0;
}

std::string working_directory() {
    std::vector<char> buffer(1024);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string absolute_path(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::string directory = working_directory();
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory + path;
}

bool delete_file(const std::string& path) {
    // unlink refuses directories, where the C library's remove would delete an empty one.
    return ::unlink(path.c_str()) == 0;
}

namespace {

// A hash of everything the stream holds, read from its start; the stream is left at its start.
uint64_t hash_stream(std::FILE* stream) {
    uint64_t hash = 14695981039346656037ull;
    uint8_t chunk[1 << 16];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
        hash = (hash ^ replay::picture_checksum(chunk, count)) * 1099511628211ull;
        hash ^= count;
    }
    std::rewind(stream);
    return hash;
}

// The content hash of an open file, computed once per file version: a program opens its
// archive for every picture it loads.
uint64_t content_hash(std::FILE* stream) {
    struct Version {
        dev_t device;
        ino_t inode;
        off_t size;
        int64_t modified_ns;
        uint64_t hash;
    };
    static std::vector<Version> known;
    struct stat status {};
    if (::fstat(::fileno(stream), &status) != 0) return hash_stream(stream);
    const int64_t modified_ns =
        int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
    for (const Version& version : known) {
        if (version.device == status.st_dev && version.inode == status.st_ino &&
            version.size == status.st_size && version.modified_ns == modified_ns) {
            return version.hash;
        }
    }
    const uint64_t hash = hash_stream(stream);
    known.push_back({status.st_dev, status.st_ino, status.st_size, modified_ns, hash});
    return hash;
}

}  // namespace

std::FILE* open_file_for_reading(const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (journal::mode() == journal::Mode::kOff) return stream;
    // What the file held when it was opened, so a replay against other files says so. The
    // program's own file changes with every build and is left out.
    const bool program_file = stream && same_file(path, executable_path());
    const uint64_t hash = stream && !program_file ? content_hash(stream) : 0;
    journal::ValueWriter live;
    live.u8(stream ? 1 : 0).u8(program_file ? 1 : 0).u64(hash);
    if (journal::recording()) {
        journal::put(journal::Kind::kFileHash, live.bytes().data(), live.bytes().size());
    } else {
        std::vector<uint8_t> recorded;
        if (journal::take(journal::Kind::kFileHash, &recorded) && recorded != live.bytes()) {
            journal::diverge("the file " + path + " is not the one the recording read");
        }
    }
    return stream;
}

std::FILE* open_file_for_writing(const std::string& path) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0) return nullptr;
    std::FILE* stream = ::fdopen(file, "wb");
    if (!stream) ::close(file);
    return stream;
}

bool write_new_file(const std::string& path, const void* data, size_t size) {
    ::unlink(path.c_str());
    const int file =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0) return false;
    const bool written = write_all(file, data, size);
    return ::close(file) == 0 && written;
}

bool replace_file(const std::string& path, const void* data, size_t size) {
    std::string temporary = path + ".XXXXXX";
    const int file = ::mkstemp(temporary.data());
    if (file < 0) return false;
    // Keep the permissions an existing file had; a new file gets the usual ones.
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    ::fchmod(file, mode);
    const bool written = write_all(file, data, size) && ::fsync(file) == 0;
    if (::close(file) != 0 || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::vector<DirectoryEntry> list_directory(const std::string& path) {
    std::vector<DirectoryEntry> entries;
    DIR* directory = ::opendir(path.empty() ? "." : path.c_str());
    if (!directory) return entries;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string full = (path.empty() ? std::string(".") : path) + "/" + entry->d_name;
        entries.push_back({entry->d_name, is_directory(full)});
    }
    ::closedir(directory);
    return entries;
}

bool is_directory(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool make_directory(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool same_file(const std::string& first, const std::string& second) {
    struct stat first_status {};
    struct stat second_status {};
    return ::stat(first.c_str(), &first_status) == 0 &&
           ::stat(second.c_str(), &second_status) == 0 &&
           first_status.st_dev == second_status.st_dev &&
           first_status.st_ino == second_status.st_ino;
}

}  // namespace kvn::platform
