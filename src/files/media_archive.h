// Media archives: files of compressed entries searched for asset names that do not exist as
// plain files.
#pragma once

#include <cstdint>

#include "kvn/value.h"

namespace kvn {

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
// the channels, line files and configuration store); before start-up only plain files count.
int32_t resolve_in_first_archive(const StringValue& name, StringValue& output);

}  // namespace kvn
