// The eight numbered file channels: typed binary reads and writes and line-oriented text.
// Read mode goes through MediaReader (files and "mem://" images alike); write and append modes
// use a stdio handle that is flushed after every command, so other readers see the bytes at
// once, and a channel in write mode reads back what it wrote.
#include "files/file_channels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/files_state.h"
#include "files/media_archive.h"
#include "files/media_reader.h"
#include "kvn/base.h"
#include "kvn/files.h"
#include "platform/files.h"

namespace kvn {

namespace {

// A channel number out of range is reported with the out-of-memory code.
constexpr int32_t kErrorBadChannel = kErrorOutOfMemory;
constexpr uint32_t kLineLimit = 1024;
constexpr uint32_t kLineBlock = 64;
constexpr uint32_t kTextBytesSlack = 32;

// The size of a file open for writing; the position is kept.
int64_t writer_size(std::FILE* writer) {
    const long position = std::ftell(writer);
    if (position < 0 || std::fseek(writer, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(writer);
    std::fseek(writer, position, SEEK_SET);
    return end < 0 ? 0 : end;
}

// The channel of that number; any other number ends the program with error 7.
FileChannel& channel_at(int32_t number) {
    if (number < 0 || number >= kFileChannelCount) fatal_error(kErrorBadChannel);
    return files_state().channels[number];
}

// A channel that can be read; a closed channel or one open for appending ends the program with
// error 3, as reading from nothing does.
FileChannel& readable_channel(int32_t number) {
    FileChannel& channel = channel_at(number);
    if (!channel.is_readable()) fatal_error(kErrorNoSuchFile);
    return channel;
}

// Reads exactly count bytes or ends the program with error 3.
void read_exact(int32_t number, void* destination, size_t count) {
    if (readable_channel(number).read(destination, count) != count) {
        fatal_error(kErrorNoSuchFile);
    }
}

uint32_t read_little_endian(int32_t number, size_t count) {
    uint8_t bytes[4] = {};
    read_exact(number, bytes, count);
    uint32_t value = 0;
    for (size_t i = count; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

// Writes to a channel open for writing; a channel that is closed, reads a file or holds a
// (read-only) memory image sets error 3 and writes nothing. Success clears the error code.
void write_bytes(int32_t number, const void* bytes, size_t count) {
    FileChannel& channel = channel_at(number);
    // A read may have come last: the stream needs a positioning call before it writes.
    if (!channel.writer || std::fseek(channel.writer, 0, SEEK_CUR) != 0 ||
        std::fwrite(bytes, 1, count, channel.writer) != count ||
        std::fflush(channel.writer) != 0) {
        set_error(kErrorNoSuchFile);
        return;
    }
    set_error(kErrorSuccess);
}

// The number's whole part as two's complement bits; NaN gives 0, huge values saturate.
uint64_t integer_bits(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kLimit = 9223372036854775807.0;
    if (value >= kLimit) return static_cast<uint64_t>(INT64_MAX);
    if (value <= -kLimit) return static_cast<uint64_t>(INT64_MIN);
    return static_cast<uint64_t>(static_cast<int64_t>(value));
}

void write_little_endian(int32_t number, uint64_t value, size_t count) {
    uint8_t bytes[8];
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    write_bytes(number, bytes, count);
}

// A byte distance as a whole number; NaN gives 0, huge values saturate.
int64_t whole_distance(double distance) {
    return static_cast<int64_t>(integer_bits(distance));
}

bool open_for_reading(FileChannel& channel, const StringValue& name) {
    StringValue resolved;
    if (!resolve_in_first_archive(name, resolved) || !channel.reader.open(resolved.c_str())) {
        return false;
    }
    if (!channel.reader.is_memory()) return true;
    std::vector<uint8_t> bytes;
    resize_or_end_program(bytes, channel.reader.size());
    if (channel.reader.read(bytes.data(), bytes.size()) != bytes.size()) return false;
    channel.private_image = memory_image_add(std::move(bytes));
    return channel.reader.open(memory_image_name(channel.private_image).c_str());
}

// Write mode creates the file anew with read and write access; append mode opens it (creating
// it when missing) for writing and positions at its end once, so a seek can move later writes.
// A directory is never deleted or replaced: opening one fails.
bool open_for_writing(FileChannel& channel, const StringValue& name, bool append) {
    if (is_memory_name(name.c_str())) return false;
    const std::string path = platform::native_path(name.c_str());
    if (platform::is_directory(path)) return false;
    if (append) {
        channel.writer = platform::open_file_for_writing(path);
        return channel.writer && std::fseek(channel.writer, 0, SEEK_END) == 0;
    }
    platform::delete_file(path);
    channel.writer = std::fopen(path.c_str(), "w+b");
    channel.writer_readable = true;
    return channel.writer != nullptr;
}

}  // namespace

void FileChannel::close() {
    reader.close();
    if (private_image != 0) memory_image_remove(private_image);
    private_image = 0;
    if (writer) std::fclose(writer);
    writer = nullptr;
    writer_readable = false;
}

uint64_t FileChannel::size() const {
    return writer ? static_cast<uint64_t>(writer_size(writer)) : reader.size();
}

uint64_t FileChannel::position() const {
    if (!writer) return reader.position();
    const long position = std::ftell(writer);
    return position < 0 ? 0 : static_cast<uint64_t>(position);
}

size_t FileChannel::read(void* destination, size_t count) {
    if (!writer) return reader.read(destination, count);
    return writer_readable ? std::fread(destination, 1, count, writer) : 0;
}

void FileChannel::seek(uint64_t target) {
    if (writer) {
        std::fseek(writer, static_cast<long>(target), SEEK_SET);
    } else {
        reader.seek(std::min(target, reader.size()));
    }
}

void close_all_file_channels() {
    for (FileChannel& channel : files_state().channels) channel.close();
}

int32_t open_file(int32_t number, const StringValue& name, int32_t mode) {
    FileChannel& channel = channel_at(number);
    channel.close();
    const bool opened =
        mode >= 1 ? open_for_reading(channel, name) : open_for_writing(channel, name, mode < 0);
    if (opened) {
        set_error(kErrorSuccess);
        return 1;
    }
    channel.close();
    set_error(kErrorNoSuchFile);
    return 0;
}

void close_file(int32_t number) {
    channel_at(number).close();
}

int32_t free_file_channel() {
    for (int32_t number = 0; number < kFileChannelCount; ++number) {
        if (!files_state().channels[number].is_open()) return number;
    }
    return -1;
}

int32_t end_of_file(int32_t number) {
    const FileChannel& channel = channel_at(number);
    return channel.position() >= channel.size() ? 1 : 0;
}

double file_position(int32_t number) {
    return static_cast<double>(channel_at(number).position());
}

void seek_file(int32_t number, double distance, int32_t mode) {
    FileChannel& channel = channel_at(number);
    int64_t base = 0;
    if (mode > 0) base = static_cast<int64_t>(channel.position());
    if (mode < 0) base = static_cast<int64_t>(channel.size());
    const int64_t target = base + whole_distance(distance);
    channel.seek(target < 0 ? 0 : static_cast<uint64_t>(target));
}

void read_int8(int32_t number, double& target) {
    target = static_cast<int8_t>(read_little_endian(number, 1));
}

void read_uint8(int32_t number, double& target) {
    target = read_little_endian(number, 1);
}

void read_int16(int32_t number, double& target) {
    target = static_cast<int16_t>(read_little_endian(number, 2));
}

void read_uint16(int32_t number, double& target) {
    target = read_little_endian(number, 2);
}

void read_int32(int32_t number, double& target) {
    target = static_cast<int32_t>(read_little_endian(number, 4));
}

void read_uint32(int32_t number, double& target) {
    target = read_little_endian(number, 4);
}

void read_float(int32_t number, double& target) {
    const uint32_t bits = read_little_endian(number, 4);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    target = value;
}

void read_double(int32_t number, double& target) {
    const uint64_t low = read_little_endian(number, 4);
    const uint64_t bits = uint64_t{read_little_endian(number, 4)} << 32 | low;
    std::memcpy(&target, &bits, sizeof target);
}

void read_text_bytes(int32_t number, StringValue& target, int32_t count) {
    channel_at(number);
    if (count <= 0) {
        target.clear();
        return;
    }
    FileChannel& channel = readable_channel(number);
    // Data too short ends the program anyway; refusing first avoids a useless huge buffer.
    if (channel.size() < channel.position() ||
        channel.size() - channel.position() < static_cast<uint64_t>(count)) {
        fatal_error(kErrorNoSuchFile);
    }
    const uint32_t room = static_cast<uint32_t>(count) + kTextBytesSlack;
    target.reserve(room, false);
    char* buffer = target.writable_buffer(room);
    std::memset(buffer, 0, room + 1);
    read_exact(number, buffer, static_cast<size_t>(count));
    target.recount();
}

void read_line(int32_t number, StringValue& target) {
    FileChannel& channel = readable_channel(number);
    target.reserve(kLineLimit, false);
    char* buffer = target.writable_buffer(kLineLimit);
    std::memset(buffer, 0, kLineLimit + 1);
    const uint64_t start = channel.position();
    if (start >= channel.size()) fatal_error(kErrorNoSuchFile);

    // Blocks of at most 64 bytes up to the line feed or the line limit; the position is then
    // moved back to just after the line feed. Memory images take the same path.
    uint32_t length = 0;
    bool found_line_feed = false;
    while (length < kLineLimit) {
        const uint32_t wanted = std::min(kLineBlock, kLineLimit - length);
        const uint32_t got = static_cast<uint32_t>(channel.read(buffer + length, wanted));
        const char* line_feed = static_cast<const char*>(std::memchr(buffer + length, '\n', got));
        if (line_feed) {
            found_line_feed = true;
            length = static_cast<uint32_t>(line_feed - buffer);
            break;
        }
        length += got;
        if (got < wanted) break;
    }
    // Bytes read past the line feed belong to the next line.
    std::memset(buffer + length, 0, kLineLimit + 1 - length);
    channel.seek(start + length + (found_line_feed ? 1 : 0));
    if (found_line_feed && length > 0 && buffer[length - 1] == '\r') buffer[length - 1] = '\0';
    target.recount();
}

void read_line(int32_t number, double& target) {
    StringValue line;
    read_line(number, line);
    target = text_to_number(line.c_str());
}

void read_line(int32_t number, int32_t& target) {
    StringValue line;
    read_line(number, line);
    target = text_to_int(line.c_str());
}

void write_int8(int32_t number, double value) {
    write_little_endian(number, integer_bits(value), 1);
}

void write_uint8(int32_t number, double value) {
    write_little_endian(number, integer_bits(value), 1);
}

void write_int16(int32_t number, double value) {
    write_little_endian(number, integer_bits(value), 2);
}

void write_uint16(int32_t number, double value) {
    write_little_endian(number, integer_bits(value), 2);
}

void write_int32(int32_t number, double value) {
    write_little_endian(number, integer_bits(value), 4);
}

void write_uint32(int32_t number, double value) {
    write_little_endian(number, integer_bits(value), 4);
}

void write_float(int32_t number, double value) {
    const float narrow = static_cast<float>(value);
    uint32_t bits = 0;
    std::memcpy(&bits, &narrow, sizeof bits);
    write_little_endian(number, bits, 4);
}

void write_double(int32_t number, double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    write_little_endian(number, bits, 8);
}

void write_text(int32_t number, const StringValue& text) {
    write_bytes(number, text.c_str(), text.length());
}

void write_line(int32_t number, const StringValue& text) {
    write_text(number, text + "\r\n");
}

void write_line(int32_t number, double value) {
    write_line(number, number_to_text(value));
}

void write_line(int32_t number, int32_t value) {
    write_line(number, int_to_text(value));
}

}  // namespace kvn
