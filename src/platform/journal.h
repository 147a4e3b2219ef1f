// The recorder's side inside the platform layer: every service that reports something from
// outside the program passes the report through here. A normal run passes it on unchanged;
// a recording run writes it down; a replay hands out the recorded report instead and the
// service leaves the device alone.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "replay/recording_format.h"

namespace kvn::platform::journal {

using replay::Kind;

enum class Mode { kOff, kRecording, kReplaying };

// The run's mode; kOff unless KVN_RECORD or KVN_REPLAY started one.
Mode mode();
inline bool recording() { return mode() == Mode::kRecording; }
inline bool replaying() { return mode() == Mode::kReplaying; }
// True when a replay sleeps as asked (KVN_REPLAY_SPEED=1); otherwise it does not sleep.
bool replay_real_time();

// Writes a report down (recording only).
void put(Kind kind, const void* data, size_t size);
// The next recorded report, which must be of this kind; false when the replay is over.
// A report of another kind ends the process as a divergence.
bool take(Kind kind, std::vector<uint8_t>* value);
// Ends the process with "replay diverged at frame N: WHAT" and exit code 2.
[[noreturn]] void diverge(const std::string& what);

// Called by the present before the swap: ends the frame with its picture's checksum.
void end_frame(int drawable_width, int drawable_height);
// The frame being built, counted from 1.
uint64_t current_frame();
// The picture drawn into the frame cannot be repeated (a movie frame): no checksum is taken.
void frame_has_unrepeatable_picture();

// Plain values as report bytes, little-endian, and back. A report whose size does not fit the
// kind ends the replay as a divergence.
class ValueWriter {
  public:
    ValueWriter& u8(uint8_t value) {
        bytes_.push_back(value);
        return *this;
    }
    ValueWriter& u32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t(value >> shift));
        return *this;
    }
    ValueWriter& u64(uint64_t value) {
        for (int shift = 0; shift < 64; shift += 8) bytes_.push_back(uint8_t(value >> shift));
        return *this;
    }
    ValueWriter& i32(int32_t value) { return u32(static_cast<uint32_t>(value)); }
    ValueWriter& raw(const void* data, size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), bytes, bytes + size);
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

class ValueReader {
  public:
    ValueReader(Kind kind, const std::vector<uint8_t>& bytes) : kind_(kind), bytes_(bytes) {}
    uint8_t u8() { return static_cast<uint8_t>(unsigned_value(1)); }
    uint32_t u32() { return static_cast<uint32_t>(unsigned_value(4)); }
    uint64_t u64() { return unsigned_value(8); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    void raw(void* data, size_t size) {
        need(size);
        std::memcpy(data, bytes_.data() + position_, size);
        position_ += size;
    }
    // The rest of the value as text.
    std::string rest() {
        std::string text(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), bytes_.end());
        position_ = bytes_.size();
        return text;
    }
    bool at_end() const { return position_ == bytes_.size(); }
    // Every byte must have been read.
    void done() const {
        if (position_ != bytes_.size()) wrong_size();
    }

  private:
    uint64_t unsigned_value(size_t size) {
        need(size);
        uint64_t value = 0;
        for (size_t i = 0; i < size; ++i) value |= uint64_t{bytes_[position_ + i]} << (8 * i);
        position_ += size;
        return value;
    }
    void need(size_t size) const {
        if (bytes_.size() - position_ < size) wrong_size();
    }
    [[noreturn]] void wrong_size() const;

    Kind kind_;
    const std::vector<uint8_t>& bytes_;
    size_t position_ = 0;
};

// The report of a service: the live answer in a normal run, written down when recording, the
// recorded answer in a replay (neutral once the replay is over). Write codes an answer, Read
// decodes one from a ValueReader.
template <class T, class Live, class Write, class Read>
T report(Kind kind, Live live, Write write, Read read, T neutral) {
    switch (mode()) {
        case Mode::kOff:
            return live();
        case Mode::kRecording: {
            T value = live();
            ValueWriter writer;
            write(writer, value);
            put(kind, writer.bytes().data(), writer.bytes().size());
            return value;
        }
        case Mode::kReplaying:
            break;
    }
    std::vector<uint8_t> bytes;
    if (!take(kind, &bytes)) return neutral;
    ValueReader reader(kind, bytes);
    T value = read(reader);
    reader.done();
    return value;
}

// The common shapes of report.
template <class Live>
bool report_flag(Kind kind, Live live, bool neutral = false) {
    return report<bool>(
        kind, live, [](ValueWriter& w, bool v) { w.u8(v ? 1 : 0); },
        [](ValueReader& r) { return r.u8() != 0; }, neutral);
}

template <class Live>
int32_t report_int(Kind kind, Live live, int32_t neutral = 0) {
    return report<int32_t>(
        kind, live, [](ValueWriter& w, int32_t v) { w.i32(v); },
        [](ValueReader& r) { return r.i32(); }, neutral);
}

template <class Live>
std::string report_text(Kind kind, Live live) {
    return report<std::string>(
        kind, live, [](ValueWriter& w, const std::string& v) { w.raw(v.data(), v.size()); },
        [](ValueReader& r) { return r.rest(); }, std::string());
}

// A counter report: once the replay is over, it stands still at its last recorded value.
uint64_t report_counter(Kind kind, uint64_t (*live)());

}  // namespace kvn::platform::journal
