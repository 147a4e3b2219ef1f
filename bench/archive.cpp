// Media archive lookup and extraction of 300 entries (40 MB unpacked) against a bare loop of
// the LZO decoder over the same blocks in memory and a memcpy of the unpacked bytes; then the
// configuration store opening a 10,000-line file.
#include <lzo/lzo1x.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "best_time.h"
#include "files/files_state.h"
#include "files/media_archive.h"
#include "files/media_reader.h"
#include "kvn/files.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

using kvn::bench::best_ms;

constexpr int kEntries = 300;
constexpr size_t kUnpackedTotal = 40'000'000;
constexpr int kConfigLines = 10'000;

volatile uint64_t sink = 0;

// Small xorshift generator: the data is the same on every run.
uint32_t next_random(uint32_t* state) {
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

// RGBA rows of flat areas, gradients and a little noise, as drawn sprites and backgrounds are.
std::vector<uint8_t> picture_like(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = seed | 1;
    for (size_t i = 0; i + 4 <= size; i += 4) {
        const size_t pixel = i / 4, x = pixel % 256, y = pixel / 256;
        const bool flat = ((x / 32) + (y / 32) + seed) % 3 == 0;
        const uint8_t noise = static_cast<uint8_t>(next_random(&state) & 7);
        bytes[i] = static_cast<uint8_t>(flat ? 0 : x + noise);
        bytes[i + 1] = static_cast<uint8_t>(flat ? 0 : y * 2 + seed);
        bytes[i + 2] = static_cast<uint8_t>(flat ? 0 : (x ^ y) + noise);
        bytes[i + 3] = flat ? 0 : 255;
    }
    return bytes;
}

// Lines of words from a small vocabulary, as scripts and level files are.
std::vector<uint8_t> text_like(size_t size, uint32_t seed) {
    static const char* const words[] = {"enemy", "wave",    "speed", "ship",  "laser", "score",
                                        "level", "spawn",   "x",     "y",     "=",     "boss",
                                        "delay", "pattern", "sound", "shield"};
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    uint32_t state = seed | 1;
    while (bytes.size() < size) {
        const char* word = words[next_random(&state) % 16];
        bytes.insert(bytes.end(), word, word + std::strlen(word));
        const uint32_t roll = next_random(&state) % 10;
        if (roll == 0) {
            bytes.push_back('\r');
            bytes.push_back('\n');
        } else {
            bytes.push_back(roll < 4 ? ' ' : static_cast<uint8_t>('0' + roll));
        }
    }
    bytes.resize(size);
    return bytes;
}

struct BenchEntry {
    std::string name;
    std::vector<uint8_t> data;
};

std::vector<BenchEntry> make_entries() {
    std::vector<BenchEntry> entries;
    size_t total = 0;
    for (int i = 0; i < kEntries; ++i) {
        const bool picture = i % 3 != 2;
        size_t size = kUnpackedTotal / kEntries + (i % 7) * 8192 - 3 * 8192;
        if (i == kEntries - 1) size = kUnpackedTotal - total;
        char name[32];
        std::snprintf(name, sizeof name, picture ? "pic%03d.png" : "text%03d.txt", i);
        entries.push_back({name, picture ? picture_like(size, i) : text_like(size, i)});
        total += size;
    }
    return entries;
}

void bench_archive() {
    const std::vector<BenchEntry> entries = make_entries();
    kvn::ArchiveWriter writer;
    const auto pack_start = std::chrono::steady_clock::now();
    for (const BenchEntry& entry : entries) {
        if (!writer.add(entry.name, entry.data.data(), entry.data.size())) {
            std::fprintf(stderr, "packing failed: %s\n", writer.error().c_str());
            return;
        }
    }
    std::vector<uint8_t> archive_bytes;
    writer.finish(false, &archive_bytes);
    const std::chrono::duration<double> pack_time = std::chrono::steady_clock::now() - pack_start;
    const std::string path = kvn::platform::temp_directory() + "kvn-bench-archive.arc";
    if (!kvn::platform::write_new_file(path, archive_bytes.data(), archive_bytes.size())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return;
    }
    std::printf("%d entries, %.1f MB unpacked, %.1f MB archive, packed in %.1f s\n", kEntries,
                kUnpackedTotal / 1e6, archive_bytes.size() / 1e6, pack_time.count());

    std::vector<std::string> requests;
    for (const BenchEntry& entry : entries) requests.push_back("gfx/" + entry.name);
    kvn::MediaArchive archive;
    archive.path = path.c_str();
    bool all_found = true;
    const double lookup_ms = best_ms([&] {
        for (size_t i = 0; i < requests.size(); ++i) {
            archive.enabled = true;
            kvn::StringValue output;
            kvn::MemoryImageView image;
            if (!kvn::resolve_media_file(archive, requests[i].c_str(), output, true) ||
                !kvn::memory_image_find(output.c_str(), &image) ||
                image.size != entries[i].data.size()) {
                all_found = false;
            } else {
                sink = sink + image.data[image.size / 2];
            }
        }
        archive.release_extraction();
    });

    size_t largest = 0;
    for (const BenchEntry& entry : entries) largest = std::max(largest, entry.data.size());
    std::vector<uint8_t> target(largest);
    const double bare_ms = best_ms([&] {
        for (const kvn::ArchiveWriter::Entry& entry : writer.entries()) {
            lzo_uint produced = target.size();
            lzo1x_decompress_safe(entry.stored.data() + 4, entry.stored.size() - 4, target.data(),
                                  &produced, nullptr);
            sink = sink + produced;
        }
    });
    const double copy_ms = best_ms([&] {
        for (const BenchEntry& entry : entries) {
            std::memcpy(target.data(), entry.data.data(), entry.data.size());
            sink = sink + target[entry.data.size() / 2];
        }
    });
    std::remove(path.c_str());

    const double megabytes = kUnpackedTotal / 1e6;
    std::printf("%-36s %8.2f ms %8.0f MB/s%s\n", "resolve_media_file (memory)", lookup_ms,
                megabytes / (lookup_ms / 1e3), all_found ? "" : "   SOME ENTRIES FAILED");
    std::printf("%-36s %8.2f ms %8.0f MB/s\n", "bare lzo1x_decompress_safe", bare_ms,
                megabytes / (bare_ms / 1e3));
    std::printf("%-36s %8.2f ms %8.0f MB/s\n", "memcpy", copy_ms, megabytes / (copy_ms / 1e3));
    std::printf("lookup speed / bare decompression   %5.2f (aim >= 0.85)\n", bare_ms / lookup_ms);
    std::printf("lookup speed / memcpy               %5.2f\n", copy_ms / lookup_ms);
}

void bench_config_open() {
    std::string text;
    for (int line = 0; line < kConfigLines; ++line) {
        if (line % 100 == 0) {
            text += "[section" + std::to_string(line / 100) + "]\r\n";
        } else {
            text +=
                "key" + std::to_string(line) + "=value number " + std::to_string(line * 7) + "\r\n";
        }
    }
    const std::string path = kvn::platform::temp_directory() + "kvn-bench-config.ini";
    if (!kvn::platform::write_new_file(path, text.data(), text.size())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return;
    }
    const double open_ms = best_ms([&] {
        kvn::config_open(path.c_str());
        sink = sink + kvn::config_get("section42", "key4250", "").length();
        kvn::config_open("");
    });
    std::remove(path.c_str());
    std::printf("%-36s %8.2f ms (%d lines, %.0f kB)\n", "config_open", open_ms, kConfigLines,
                text.size() / 1e3);
}

}  // namespace

int main() {
    // No runtime here: the configuration store is that of a files state of the benchmark's own,
    // static so that it outlives the exit handler writing the store back.
    static kvn::FilesState files;
    kvn::attach_files(&files);
    bench_archive();
    bench_config_open();
    return 0;
}
