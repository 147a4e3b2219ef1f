// Archive bytes in, names looked up: the directory scan, the bounds checks, the LZO decoder
// and the temporary-file extraction see hostile input here.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/media_archive.h"
#include "files/media_reader.h"

namespace {

char scratch_directory[] = "/tmp/kvn-archive-fuzz-XXXXXX";

// Every input deletes its temporary files, so the folder is empty by then.
void remove_scratch_directory() {
    std::remove(scratch_directory);
}

// Temporary files of the lookups go to a scratch folder of their own.
bool use_scratch_directory() {
    return mkdtemp(scratch_directory) && setenv("TMPDIR", scratch_directory, 1) == 0 &&
           std::atexit(remove_scratch_directory) == 0;
}

// Reads the whole result so every byte of an extraction is touched.
void read_result(const kvn::StringValue& output) {
    std::vector<uint8_t> bytes;
    kvn::read_whole_media(output.c_str(), &bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool scratch_ready = use_scratch_directory();
    if (!scratch_ready) std::abort();

    const uint32_t image = kvn::memory_image_add(std::vector<uint8_t>(data, data + size));
    kvn::MediaArchive archive;
    archive.path = kvn::memory_image_name(image);
    archive.enabled = true;

    // The first byte gives the length of a name taken from the bytes after it; the folder
    // that does not exist keeps it from naming a plain file.
    const size_t name_length = size > 0 ? data[0] % 16 : 0;
    const std::string chosen =
        "no-such-folder\\" +
        (size > name_length ? std::string(reinterpret_cast<const char*>(data) + 1, name_length)
                            : std::string());
    const char* names[] = {chosen.c_str(), "gfx/SHIP.png", "a", "..\\up"};
    for (const char* name : names) {
        for (const bool memory_allowed : {true, false}) {
            kvn::StringValue output;
            if (kvn::resolve_media_file(archive, kvn::StringValue(name), output, memory_allowed)) {
                read_result(output);
            }
            archive.enabled = true;
        }
    }
    archive.release_extraction();
    kvn::memory_image_remove(image);
    return 0;
}
