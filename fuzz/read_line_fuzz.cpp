// Channel reads on arbitrary bytes, from a memory image and from a file: every line read_line
// gives must equal a direct split of the bytes, and typed reads must see the bytes they cover.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/files_state.h"
#include "files/media_reader.h"
#include "kvn/files.h"
#include "platform/system.h"

namespace {

constexpr int32_t kMemoryChannel = 0;
constexpr int32_t kFileChannel = 1;
constexpr size_t kLineLimit = 1024;

void require(bool condition) {
    if (!condition) std::abort();
}

// The lines as the reading rules define them: up to the line feed (consumed) or 1024 bytes,
// a CR before the line feed removed, the text ending at its first NUL.
std::vector<std::string> expected_lines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && end - start < kLineLimit && data[end] != '\n') ++end;
        // A line feed right after 1024 characters is left for the next (empty) line.
        const bool line_feed = end < size && end - start < kLineLimit && data[end] == '\n';
        size_t length = end - start;
        if (line_feed && length > 0 && data[end - 1] == '\r') --length;
        std::string line(reinterpret_cast<const char*>(data) + start, length);
        lines.push_back(line.substr(0, std::strlen(line.c_str())));
        start = end + (line_feed ? 1 : 0);
    }
    return lines;
}

void check_lines(int32_t channel, const std::vector<std::string>& expected) {
    kvn::StringValue line;
    size_t index = 0;
    while (!kvn::end_of_file(channel)) {
        kvn::read_line(channel, line);
        require(index < expected.size());
        require(line.length() <= kLineLimit);
        require(expected[index++] == line.c_str());
    }
    require(index == expected.size());
}

uint32_t little_endian(const uint8_t* bytes, size_t count) {
    uint32_t value = 0;
    for (size_t i = count; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

// Typed reads from the start while enough bytes remain, each checked against the bytes.
void check_typed_reads(int32_t channel, const uint8_t* data, size_t size) {
    kvn::seek_file(channel, 0, 0);
    size_t position = 0;
    double number = 0;
    if (size - position >= 4) {
        kvn::read_uint32(channel, number);
        require(number == little_endian(data + position, 4));
        position += 4;
    }
    if (size - position >= 2) {
        kvn::read_int16(channel, number);
        require(number == static_cast<int16_t>(little_endian(data + position, 2)));
        position += 2;
    }
    if (size - position >= 1) {
        const int32_t count = static_cast<int32_t>(std::min<size_t>(data[0], size - position));
        kvn::StringValue text;
        kvn::read_text_bytes(channel, text, count);
        const std::string bytes(reinterpret_cast<const char*>(data) + position, count);
        require(text.length() == std::strlen(bytes.c_str()));
        require(std::memcmp(text.c_str(), bytes.data(), text.length()) == 0);
        position += count;
    }
    require(kvn::file_position(channel) == static_cast<double>(position));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No runtime here: the channels are those of a files state of the target's own.
    static kvn::FilesState files;
    kvn::attach_files(&files);
    const std::vector<std::string> expected = expected_lines(data, size);

    const uint32_t image = kvn::memory_image_add(std::vector<uint8_t>(data, data + size));
    require(kvn::open_file(kMemoryChannel, kvn::memory_image_name(image), 1) == 1);
    check_lines(kMemoryChannel, expected);
    check_typed_reads(kMemoryChannel, data, size);
    kvn::close_file(kMemoryChannel);
    kvn::memory_image_remove(image);

    const std::string path = kvn::platform::temp_directory() + "kvn-read-line-fuzz.bin";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    require(file && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0);
    require(kvn::open_file(kFileChannel, kvn::StringValue(path.c_str()), 1) == 1);
    check_lines(kFileChannel, expected);
    check_typed_reads(kFileChannel, data, size);
    kvn::close_file(kFileChannel);
    std::remove(path.c_str());
    return 0;
}
