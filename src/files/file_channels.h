// The file channel record, and the closing of every channel at shutdown.
#pragma once

#include <cstdint>
#include <cstdio>

#include "files/media_reader.h"

namespace kvn {

constexpr int32_t kFileChannelCount = 8;

// One numbered channel: read mode goes through a MediaReader (files and "mem://" images alike);
// write and append modes use a stdio handle.
struct FileChannel {
    // Read mode: the open file or memory image.
    MediaReader reader;
    // A private copy of a memory image being read, so the image stays valid even when its
    // source (an archive extraction) is released by a later lookup; 0 when none.
    uint32_t private_image = 0;
    // Write and append modes.
    std::FILE* writer = nullptr;
    // Write mode creates the file with read and write access: what was written reads back.
    bool writer_readable = false;

    bool is_open() const { return reader.is_open() || writer; }
    bool is_readable() const { return reader.is_open() || (writer && writer_readable); }
    void close();
    uint64_t size() const;
    uint64_t position() const;
    // Reads at the position, which advances; how many bytes were read.
    size_t read(void* destination, size_t count);
    // Moves the position; a reader's stays inside its data, a writer's may pass the end.
    void seek(uint64_t target);
};

// Closes every channel; shutdown calls it so written data reaches the files.
void close_all_file_channels();

}  // namespace kvn
