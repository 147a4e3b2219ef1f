// Media archives: files of compressed entries searched for asset names that do not exist as
// plain files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/media_reader.h"
#include "kvn/value.h"

namespace kvn {

// The format: entries, a directory of (name length, name, offset, stored size) records ended
// by a zero length, then a trailer of the magic bytes and the signed directory offset.
constexpr uint8_t kArchiveMagic[3] = {0x73, 0x62, 0x58};
constexpr uint32_t kArchiveTrailerSize = 7;
// Entries that unpack to more than this are refused as corrupt.
constexpr uint64_t kLargestArchiveEntry = 256u << 20;

// Where the directory starts and whether offsets count back from the end of the file.
struct ArchiveLayout {
    int64_t directory = 0;
    bool from_end = false;
};

// One directory record.
struct ArchiveEntry {
    std::string name;
    int32_t offset = 0;
    uint32_t stored_size = 0;
};

// Checks the trailer magic and reads the directory offset; false when this is no archive.
bool read_archive_layout(MediaReader& reader, ArchiveLayout* layout);
// Moves the reader to the directory; false when the directory lies outside the file.
bool seek_archive_directory(MediaReader& reader, const ArchiveLayout& layout);
// Reads the next directory record; false at the end of the directory or on a short read.
bool read_archive_entry(MediaReader& reader, ArchiveEntry* entry);
// Reads and decompresses an entry; false when its bounds or its data are not sound.
bool extract_archive_entry(MediaReader& reader, const ArchiveLayout& layout,
                           const ArchiveEntry& entry, std::vector<uint8_t>* data);
// True when the entry name equals the base name (the part after the last '/' or '\') of
// the requested name, ignoring ASCII case.
bool archive_entry_matches(const std::string& entry_name, const char* requested);

// One media archive searched by the asset lookup.
struct MediaArchive {
    // Set whenever a path is set; cleared when the archive turns out to be unusable.
    bool enabled = false;
    // The archive file's name (a "mem://" name is allowed).
    StringValue path;
    // The temporary file written by the last extraction, or empty.
    StringValue temp_file;
    // Handle of the memory image of the last in-memory extraction, or 0.
    uint32_t extracted_image = 0;

    MediaArchive() = default;
    MediaArchive(const MediaArchive&) = delete;
    MediaArchive& operator=(const MediaArchive&) = delete;
    // Frees the extraction and deletes the temporary file.
    ~MediaArchive();

    // Frees what the last extraction left behind.
    void release_extraction();
};

// Looks a name up: a plain file or "mem://" image first, then the archive entry of the same
// base name, extracted into memory (memory_allowed) or into a temporary file. 1 when output
// names something that can be opened, 0 otherwise.
int32_t resolve_media_file(MediaArchive& archive, const StringValue& name, StringValue& output,
                           bool memory_allowed);

// resolve_media_file through the first archive with in-memory results allowed (the lookup of
// the channels, line files and configuration store); while no archive is named (before
// start-up, after shutdown) only plain files count.
int32_t resolve_in_first_archive(const StringValue& name, StringValue& output);
// Empties both archives, second then first: extractions freed, temporary files deleted, no
// name, disabled. Start-up does it before naming them, shutdown to release them.
void clear_media_archives();

}  // namespace kvn
