// The table of live in-memory images and the one reader of files and images.
#include "files/media_reader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>

#include "kvn/base.h"
#include "platform/files.h"

namespace kvn {

namespace {

constexpr char kMemoryPrefix[] = "mem://";
constexpr size_t kHandleColumn = 6;
constexpr size_t kLengthColumn = 15;

struct MemoryImageTable {
    std::unordered_map<uint32_t, std::vector<uint8_t>> images;
    uint32_t next_handle = 1;
};

// Never destroyed: archives and channels of static lifetime release their images during the
// process's static clean-up, after a table of its own static lifetime would be gone.
MemoryImageTable& image_table() {
    static MemoryImageTable* table = new MemoryImageTable;
    return *table;
}

// A hexadecimal number read as strtol reads it; false when it does not fit 32 bits.
bool parse_hex(const char* text, uint32_t* value) {
    char* end = nullptr;
    const long long parsed = std::strtoll(text, &end, 16);
    if (end == text || parsed < 0 || parsed > 0xFFFFFFFFll) return false;
    *value = static_cast<uint32_t>(parsed);
    return true;
}

}  // namespace

bool is_memory_name(const char* name) {
    return name && std::strncmp(name, kMemoryPrefix, sizeof kMemoryPrefix - 1) == 0;
}

uint32_t memory_image_add(std::vector<uint8_t> bytes) {
    MemoryImageTable& table = image_table();
    uint32_t handle = table.next_handle;
    // Handles are not reused while an image lives; 0 is never a handle.
    while (handle == 0 || table.images.count(handle)) ++handle;
    table.next_handle = handle + 1;
    table.images.emplace(handle, std::move(bytes));
    return handle;
}

StringValue memory_image_name(uint32_t handle) {
    const auto found = image_table().images.find(handle);
    const size_t size = found == image_table().images.end() ? 0 : found->second.size();
    char name[32];
    std::snprintf(name, sizeof name, "mem://%8x.%8x", handle, static_cast<uint32_t>(size));
    return StringValue(name);
}

void memory_image_remove(uint32_t handle) {
    image_table().images.erase(handle);
}

bool memory_image_find(const char* name, MemoryImageView* image) {
    if (!is_memory_name(name) || std::strlen(name) <= kLengthColumn) return false;
    uint32_t handle = 0, length = 0;
    if (!parse_hex(name + kHandleColumn, &handle) || !parse_hex(name + kLengthColumn, &length)) {
        return false;
    }
    const auto found = image_table().images.find(handle);
    if (found == image_table().images.end() || found->second.size() != length) return false;
    image->data = found->second.data();
    image->size = length;
    return true;
}

MediaReader::~MediaReader() {
    close();
}

bool MediaReader::open(const char* name) {
    close();
    if (!name || !*name) return false;
    if (is_memory_name(name)) {
        if (!memory_image_find(name, &memory_)) return false;
        size_ = memory_.size;
        // An image without bytes still counts as open.
        if (!memory_.data) memory_.data = reinterpret_cast<const uint8_t*>("");
        return true;
    }
    const std::string path = platform::native_path(name);
    if (platform::is_directory(path)) return false;
    file_ = platform::open_file_for_reading(path);
    if (!file_) return false;
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        close();
        return false;
    }
    const long end = std::ftell(file_);
    std::rewind(file_);
    size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
    return true;
}

void MediaReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    memory_ = {};
    position_ = size_ = 0;
}

size_t MediaReader::read(void* destination, size_t count) {
    if (!is_open() || position_ >= size_) return 0;
    const uint64_t remaining = size_ - position_;
    const size_t wanted = count < remaining ? count : static_cast<size_t>(remaining);
    size_t copied = 0;
    if (memory_.data) {
        std::memcpy(destination, memory_.data + position_, wanted);
        copied = wanted;
    } else {
        copied = std::fread(destination, 1, wanted, file_);
    }
    position_ += copied;
    return copied;
}

bool MediaReader::seek(uint64_t position) {
    if (!is_open() || position > size_) return false;
    if (file_ && std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) return false;
    position_ = position;
    return true;
}

bool read_whole_media(const char* name, std::vector<uint8_t>* bytes) {
    MediaReader reader;
    if (!reader.open(name)) return false;
    if (reader.size() > SIZE_MAX) return false;
    try {
        bytes->resize(static_cast<size_t>(reader.size()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return reader.read(bytes->data(), bytes->size()) == bytes->size();
}

void resize_or_end_program(std::vector<uint8_t>& bytes, uint64_t size) {
    if (size > SIZE_MAX) fatal_out_of_memory();
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory();
    }
}

}  // namespace kvn
