// Media archive layout and LZO1X-999 compression of its entries.
#include "archive_writer.h"

#include <lzo/lzo1x.h>

#include <cstring>
#include <limits>

#include "files/media_archive.h"

namespace kvn {

namespace {

constexpr size_t kLongestName = 255;

void append_u32(std::vector<uint8_t>* bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes->push_back(static_cast<uint8_t>(value >> shift));
}

// Names are looked up ignoring ASCII case, so names differing only in case collide.
bool same_name(const std::string& left, const std::string& right) {
    return archive_entry_matches(left, right.c_str());
}

}  // namespace

bool ArchiveWriter::add(const std::string& name, const uint8_t* data, size_t size) {
    if (name.empty() || name.size() > kLongestName) {
        error_ = "entry name \"" + name + "\" must be 1 to 255 bytes long";
        return false;
    }
    if (name.find_first_of("/\\") != std::string::npos) {
        error_ = "entry name \"" + name + "\" must not contain '/' or '\\'";
        return false;
    }
    for (const Entry& entry : entries_) {
        if (same_name(entry.name, name)) {
            error_ = "duplicate entry name \"" + name + "\" (names ignore case)";
            return false;
        }
    }
    if (size > kLargestArchiveEntry) {
        error_ = "\"" + name + "\" is larger than 256 MiB";
        return false;
    }
    static const bool lzo_ready = lzo_init() == LZO_E_OK;
    if (!lzo_ready) {
        error_ = "the LZO library failed to initialise";
        return false;
    }
    work_memory_.resize(LZO1X_999_MEM_COMPRESS);
    Entry entry{name, {}};
    // Incompressible data grows by at most size / 16 + 67 bytes.
    entry.stored.resize(4 + size + size / 16 + 64 + 3);
    const uint32_t unpacked = static_cast<uint32_t>(size);
    for (int i = 0; i < 4; ++i) entry.stored[i] = static_cast<uint8_t>(unpacked >> (8 * i));
    lzo_uint packed = 0;
    if (lzo1x_999_compress(data, size, entry.stored.data() + 4, &packed, work_memory_.data()) !=
        LZO_E_OK) {
        error_ = "compressing \"" + name + "\" failed";
        return false;
    }
    entry.stored.resize(4 + packed);
    entries_.push_back(std::move(entry));
    return true;
}

bool ArchiveWriter::finish(bool from_end, std::vector<uint8_t>* archive) {
    uint64_t total = kArchiveTrailerSize + 1;
    for (const Entry& entry : entries_) total += entry.stored.size() + 1 + entry.name.size() + 8;
    if (total > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        error_ = "the archive would be larger than 2 GiB";
        return false;
    }
    const int64_t base = from_end ? -static_cast<int64_t>(total) : 0;
    archive->clear();
    archive->reserve(static_cast<size_t>(total));
    std::vector<int64_t> offsets;
    for (const Entry& entry : entries_) {
        offsets.push_back(base + static_cast<int64_t>(archive->size()));
        archive->insert(archive->end(), entry.stored.begin(), entry.stored.end());
    }
    const int64_t directory = base + static_cast<int64_t>(archive->size());
    for (size_t i = 0; i < entries_.size(); ++i) {
        archive->push_back(static_cast<uint8_t>(entries_[i].name.size()));
        archive->insert(archive->end(), entries_[i].name.begin(), entries_[i].name.end());
        append_u32(archive, static_cast<uint32_t>(offsets[i]));
        append_u32(archive, static_cast<uint32_t>(entries_[i].stored.size()));
    }
    archive->push_back(0);
    archive->insert(archive->end(), kArchiveMagic, kArchiveMagic + 3);
    append_u32(archive, static_cast<uint32_t>(directory));
    return true;
}

}  // namespace kvn
