// Builds media archives: entries compressed with LZO1X-999, the directory and the trailer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvn {

// Collects entries and lays them out as an archive the runtime's lookup reads.
class ArchiveWriter {
  public:
    // One entry in its stored form: the unpacked size (4 bytes LE), then the LZO data.
    struct Entry {
        std::string name;
        std::vector<uint8_t> stored;
    };

    // Compresses and adds an entry; false (see error()) for an empty, overlong or duplicate
    // name, or data the lookup would refuse to unpack.
    bool add(const std::string& name, const uint8_t* data, size_t size);
    // The archive bytes. With from_end every offset counts back from the end of the archive,
    // so the bytes can be appended to any file. False (see error()) when it is too large.
    bool finish(bool from_end, std::vector<uint8_t>* archive);

    const std::vector<Entry>& entries() const { return entries_; }
    const std::string& error() const { return error_; }

  private:
    std::vector<Entry> entries_;
    std::vector<uint8_t> work_memory_;
    std::string error_;
};

}  // namespace kvn
