// Media archives: the lookup of asset names in archive files and their extraction.
#include "files/media_archive.h"

#include <lzo/lzo1x.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/files_state.h"
#include "files/media_reader.h"
#include "platform/files.h"
#include "platform/system.h"

namespace kvn {

namespace {

constexpr uint32_t kPathLimit = 1024;
// LZO data cannot unpack to more than this many times its own size (plus a small start).
constexpr uint64_t kLzoGrowthLimit = 256;

bool read_exact(MediaReader& reader, void* destination, size_t count) {
    return reader.read(destination, count) == count;
}

uint32_t little_endian_u32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

bool read_u32(MediaReader& reader, uint32_t* value) {
    uint8_t bytes[4];
    if (!read_exact(reader, bytes, 4)) return false;
    *value = little_endian_u32(bytes);
    return true;
}

unsigned char fold_case(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// The part of the name after its last '/' or '\'.
const char* base_name(const char* name) {
    const char* base = name;
    for (const char* c = name; *c; ++c) {
        if (*c == '/' || *c == '\\') base = c + 1;
    }
    return base;
}

// An entry name that can safely become part of a temporary file name.
bool safe_file_name(const std::string& name) {
    return !name.empty() && name.find_first_of(std::string("/\\\0", 3)) == std::string::npos &&
           name.find("..") == std::string::npos;
}

}  // namespace

bool read_archive_layout(MediaReader& reader, ArchiveLayout* layout) {
    uint8_t magic[3] = {};
    uint32_t directory_field = 0;
    if (reader.size() < kArchiveTrailerSize || !reader.seek(reader.size() - kArchiveTrailerSize) ||
        !read_exact(reader, magic, 3) || std::memcmp(magic, kArchiveMagic, 3) != 0 ||
        !read_u32(reader, &directory_field)) {
        return false;
    }
    const int64_t directory_offset = static_cast<int32_t>(directory_field);
    layout->from_end = directory_offset < 0;
    layout->directory = layout->from_end ? static_cast<int64_t>(reader.size()) + directory_offset
                                         : directory_offset;
    return true;
}

bool seek_archive_directory(MediaReader& reader, const ArchiveLayout& layout) {
    return layout.directory >= 0 && layout.directory < static_cast<int64_t>(reader.size()) &&
           reader.seek(static_cast<uint64_t>(layout.directory));
}

bool read_archive_entry(MediaReader& reader, ArchiveEntry* entry) {
    uint8_t name_length = 0;
    if (!read_exact(reader, &name_length, 1) || name_length == 0) return false;
    char name[256];
    uint32_t offset = 0;
    if (!read_exact(reader, name, name_length) || !read_u32(reader, &offset) ||
        !read_u32(reader, &entry->stored_size)) {
        return false;
    }
    entry->name.assign(name, name_length);
    entry->offset = static_cast<int32_t>(offset);
    return true;
}

bool extract_archive_entry(MediaReader& reader, const ArchiveLayout& layout,
                           const ArchiveEntry& entry, std::vector<uint8_t>* data) {
    const int64_t size = static_cast<int64_t>(reader.size());
    const int64_t start = layout.from_end ? size + entry.offset : entry.offset;
    if (start < 0 || entry.stored_size < 4 || start + int64_t{entry.stored_size} > size) {
        return false;
    }
    std::vector<uint8_t> stored;
    resize_or_end_program(stored, entry.stored_size);
    if (!reader.seek(static_cast<uint64_t>(start)) ||
        !read_exact(reader, stored.data(), stored.size())) {
        return false;
    }
    const uint64_t unpacked = little_endian_u32(stored.data());
    const uint64_t packed = stored.size() - 4;
    if (unpacked > kLargestArchiveEntry || unpacked > packed * kLzoGrowthLimit + 1024) {
        return false;
    }

    static const bool lzo_ready = lzo_init() == LZO_E_OK;
    if (!lzo_ready) return false;
    resize_or_end_program(*data, unpacked);
    lzo_uint produced = static_cast<lzo_uint>(unpacked);
    const int status = lzo1x_decompress_safe(stored.data() + 4, static_cast<lzo_uint>(packed),
                                             data->data(), &produced, nullptr);
    return status == LZO_E_OK && produced == unpacked;
}

bool archive_entry_matches(const std::string& entry_name, const char* requested) {
    const char* wanted = base_name(requested);
    const size_t length = std::strlen(wanted);
    if (entry_name.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (fold_case(entry_name[i]) != fold_case(wanted[i])) return false;
    }
    return true;
}

MediaArchive::~MediaArchive() {
    release_extraction();
}

void MediaArchive::release_extraction() {
    if (extracted_image != 0) memory_image_remove(extracted_image);
    extracted_image = 0;
    if (!temp_file.empty()) std::remove(temp_file.c_str());
    temp_file.clear();
}

int32_t resolve_media_file(MediaArchive& archive, const StringValue& name, StringValue& output,
                           bool memory_allowed) {
    archive.release_extraction();
    output = name;
    if (name.empty()) return 0;

    MediaReader plain;
    if (plain.open(name.c_str())) return 1;

    if (!archive.enabled || archive.path.empty()) {
        if (archive.path.empty()) archive.enabled = false;
        return 0;
    }
    MediaReader reader;
    ArchiveLayout layout;
    if (!reader.open(archive.path.c_str()) || !read_archive_layout(reader, &layout)) {
        archive.enabled = false;
        return 0;
    }
    output.clear();
    if (!seek_archive_directory(reader, layout)) return 0;
    ArchiveEntry entry;
    do {
        if (!read_archive_entry(reader, &entry)) return 0;
    } while (!archive_entry_matches(entry.name, name.c_str()));

    std::vector<uint8_t> data;
    if (!extract_archive_entry(reader, layout, entry, &data)) return 0;
    reader.close();

    if (memory_allowed) {
        archive.extracted_image = memory_image_add(std::move(data));
        output = memory_image_name(archive.extracted_image);
        return 1;
    }

    if (!safe_file_name(entry.name)) return 0;
    std::string temporary = platform::temp_directory() + "sbx";
    temporary += static_cast<char>('A' + static_cast<uint8_t>(entry.offset) % 26);
    temporary += static_cast<char>('A' + static_cast<uint8_t>(entry.stored_size) % 26);
    temporary += entry.name;
    if (is_memory_name(temporary.c_str())) return 0;
    if (!platform::write_new_file(temporary, data.data(), data.size())) return 0;
    archive.temp_file = temporary.c_str();
    output = archive.temp_file;
    return 1;
}

int32_t resolve_in_first_archive(const StringValue& name, StringValue& output) {
    return resolve_media_file(files_state().media_archives[0], name, output, true);
}

void clear_media_archives() {
    for (int i = 1; i >= 0; --i) {
        MediaArchive& archive = files_state().media_archives[i];
        archive.release_extraction();
        archive.path.clear();
        archive.enabled = false;
    }
}

void set_media_archives(const StringValue& first, const StringValue& second) {
    const StringValue* paths[2] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        MediaArchive& archive = files_state().media_archives[i];
        archive.release_extraction();
        archive.path = text_mid(*paths[i], 0, static_cast<int32_t>(kPathLimit));
        archive.enabled = true;
    }
}

}  // namespace kvn
