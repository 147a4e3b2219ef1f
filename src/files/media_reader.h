// Reading a file or a live in-memory image ("mem://" name) through one interface.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "kvn/value.h"

namespace kvn {

// A "mem://" image: bytes owned by the runtime, named by a handle while they live.
struct MemoryImageView {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

// Registers the bytes as a live image; returns its handle (never 0).
uint32_t memory_image_add(std::vector<uint8_t> bytes);
// The image's name: "mem://" + handle and length, each "%8x".
StringValue memory_image_name(uint32_t handle);
// Forgets the image; its name can no longer be opened.
void memory_image_remove(uint32_t handle);
// The live image a "mem://" name refers to; false when the handle is not live or the length
// in the name differs from the image's.
bool memory_image_find(const char* name, MemoryImageView* image);
// True when the name begins with "mem://".
bool is_memory_name(const char* name);

// An open file or memory image, read from a position; reads past the end copy what remains.
class MediaReader {
  public:
    MediaReader() = default;
    MediaReader(const MediaReader&) = delete;
    MediaReader& operator=(const MediaReader&) = delete;
    ~MediaReader();

    // Opens a "mem://" image or a file ('\' counts as '/'); false when it cannot be read.
    bool open(const char* name);
    void close();
    bool is_open() const { return file_ || memory_.data; }
    bool is_memory() const { return memory_.data != nullptr; }
    // Copies up to count bytes from the position on and advances; returns the bytes copied.
    size_t read(void* destination, size_t count);
    // Moves the position; false when it would leave 0..size.
    bool seek(uint64_t position);
    uint64_t position() const { return position_; }
    uint64_t size() const { return size_; }

  private:
    std::FILE* file_ = nullptr;
    MemoryImageView memory_;
    uint64_t position_ = 0;
    uint64_t size_ = 0;
};

// The whole content of a file or memory image; false when it cannot be read or is too large to
// hold in memory (loads then fail as for a missing file).
bool read_whole_media(const char* name, std::vector<uint8_t>* bytes);

// Resizes the buffer to size bytes; a size that cannot be allocated ends the program with
// error 7.
void resize_or_end_program(std::vector<uint8_t>& bytes, uint64_t size);

}  // namespace kvn
