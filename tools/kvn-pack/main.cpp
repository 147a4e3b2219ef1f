// kvn-pack: creates, appends, lists and extracts media archives.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "files/media_archive.h"
#include "files/media_reader.h"
#include "platform/files.h"

namespace {

constexpr int kFailure = 1;
constexpr int kUsageFailure = 2;

int usage() {
    std::fputs(
        "usage: kvn-pack create ARCHIVE FILE...\n"
        "       kvn-pack append TARGET FILE...   (archive added to the end of TARGET)\n"
        "       kvn-pack list ARCHIVE\n"
        "       kvn-pack extract ARCHIVE NAME OUT\n",
        stderr);
    return kUsageFailure;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kvn-pack: %s\n", message.c_str());
    return kFailure;
}

// The part of a path after its last '/' or '\'.
std::string base_name(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// Compresses every file under its base name; false after printing the reason.
bool pack_files(char** files, int count, kvn::ArchiveWriter* writer) {
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> data;
        if (!kvn::read_whole_media(files[i], &data)) {
            fail(std::string("cannot read \"") + files[i] + "\"");
            return false;
        }
        if (!writer->add(base_name(files[i]), data.data(), data.size())) {
            fail(writer->error());
            return false;
        }
    }
    return true;
}

int create_archive(const char* archive_path, char** files, int count, bool append) {
    kvn::ArchiveWriter writer;
    std::vector<uint8_t> bytes;
    if (append && !kvn::read_whole_media(archive_path, &bytes)) {
        return fail(std::string("cannot read \"") + archive_path + "\"");
    }
    if (!pack_files(files, count, &writer)) return kFailure;
    std::vector<uint8_t> archive;
    if (!writer.finish(append, &archive)) return fail(writer.error());
    bytes.insert(bytes.end(), archive.begin(), archive.end());
    // The old file stays whole until the new content is complete (and keeps its mode).
    if (!kvn::platform::replace_file(kvn::platform::native_path(archive_path), bytes.data(),
                                     bytes.size())) {
        return fail(std::string("cannot write \"") + archive_path + "\"");
    }
    return 0;
}

// Opens the archive and reads its whole directory; false after printing the reason.
bool read_directory(const char* archive_path, kvn::MediaReader* reader, kvn::ArchiveLayout* layout,
                    std::vector<kvn::ArchiveEntry>* entries) {
    if (!reader->open(archive_path)) {
        fail(std::string("cannot read \"") + archive_path + "\"");
        return false;
    }
    if (!kvn::read_archive_layout(*reader, layout) ||
        !kvn::seek_archive_directory(*reader, *layout)) {
        fail(std::string("\"") + archive_path + "\" is not an archive");
        return false;
    }
    kvn::ArchiveEntry entry;
    while (kvn::read_archive_entry(*reader, &entry)) entries->push_back(entry);
    return true;
}

int list_archive(const char* archive_path) {
    kvn::MediaReader reader;
    kvn::ArchiveLayout layout;
    std::vector<kvn::ArchiveEntry> entries;
    if (!read_directory(archive_path, &reader, &layout, &entries)) return kFailure;
    int result = 0;
    for (const kvn::ArchiveEntry& entry : entries) {
        std::vector<uint8_t> data;
        if (!kvn::extract_archive_entry(reader, layout, entry, &data)) {
            result = fail("entry \"" + entry.name + "\" is damaged");
            continue;
        }
        std::printf("%s\t%u\t%zu\n", entry.name.c_str(), entry.stored_size, data.size());
    }
    return result;
}

int extract_entry(const char* archive_path, const char* name, const char* output_path) {
    kvn::MediaReader reader;
    kvn::ArchiveLayout layout;
    std::vector<kvn::ArchiveEntry> entries;
    if (!read_directory(archive_path, &reader, &layout, &entries)) return kFailure;
    for (const kvn::ArchiveEntry& entry : entries) {
        if (!kvn::archive_entry_matches(entry.name, name)) continue;
        std::vector<uint8_t> data;
        if (!kvn::extract_archive_entry(reader, layout, entry, &data)) {
            return fail("entry \"" + entry.name + "\" is damaged");
        }
        if (!kvn::platform::replace_file(kvn::platform::native_path(output_path), data.data(),
                                         data.size())) {
            return fail(std::string("cannot write \"") + output_path + "\"");
        }
        return 0;
    }
    return fail(std::string("no entry \"") + name + "\" in \"" + archive_path + "\"");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string command = argv[1];
    if ((command == "create" || command == "append") && argc >= 4) {
        return create_archive(argv[2], argv + 3, argc - 3, command == "append");
    }
    if (command == "list" && argc == 3) return list_archive(argv[2]);
    if (command == "extract" && argc == 5) return extract_entry(argv[2], argv[3], argv[4]);
    return usage();
}
