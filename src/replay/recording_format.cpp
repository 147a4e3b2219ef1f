#include "replay/recording_format.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace kvn::replay {

namespace {

constexpr uint8_t kMagic[8] = {'K', 'V', 'N', 'R', 'E', 'C', '\r', '\n'};
constexpr uint8_t kFrameEnd = 0xF0;
constexpr uint8_t kFrameEndWithChecksum = 0xF1;
constexpr uint8_t kRepeat = 0xF2;
// The most frames one repeat record stands for; a longer run is written as several records.
constexpr uint64_t kLongestRepeat = uint64_t{1} << 24;
constexpr size_t kLongestVarint = 10;

// A value's first varint: 0 says "the previous value's size, changed runs follow", n > 0 says
// "n - 1 raw bytes follow".
constexpr uint64_t kSameSize = 0;

void put_varint(std::vector<uint8_t>* out, uint64_t value) {
    while (value >= 0x80) {
        out->push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    out->push_back(static_cast<uint8_t>(value));
}

size_t varint_length(uint64_t value) {
    size_t length = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++length;
    }
    return length;
}

uint64_t zigzag(int64_t value) {
    return (static_cast<uint64_t>(value) << 1) ^ (value < 0 ? ~uint64_t{0} : 0);
}

int64_t unzigzag(uint64_t value) {
    return static_cast<int64_t>((value >> 1) ^ (~(value & 1) + 1));
}

void put_u32(std::vector<uint8_t>* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t load_u64(const uint8_t* bytes) {
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= uint64_t{bytes[i]} << (8 * i);
    return value;
}

void store_u64(uint8_t* bytes, uint64_t value) {
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Reads bytes of one unit (a header field or a record). Running out of bytes marks the unit's
// first byte as damaged; a byte that cannot be what it should marks that byte.
struct Cursor {
    const uint8_t* data;
    size_t size;
    size_t position;
    size_t unit_start;
    size_t damaged_at = 0;

    bool truncated() {
        damaged_at = unit_start;
        return false;
    }
    bool bad(size_t offset) {
        damaged_at = offset;
        return false;
    }
    bool byte(uint8_t* out) {
        if (position >= size) return truncated();
        *out = data[position++];
        return true;
    }
    bool bytes(size_t count, const uint8_t** out) {
        if (count > size - position) return truncated();
        *out = data + position;
        position += count;
        return true;
    }
    // Up to ten bytes of seven bits each; the tenth may only hold the top bit.
    bool varint(uint64_t* out) {
        uint64_t value = 0;
        for (size_t i = 0; i < kLongestVarint; ++i) {
            if (position >= size) return truncated();
            const uint8_t b = data[position];
            if (i == kLongestVarint - 1 && b > 1) return bad(position);
            value |= uint64_t{b & 0x7Fu} << (7 * i);
            ++position;
            if (!(b & 0x80)) {
                *out = value;
                return true;
            }
        }
        return false;  // not reached: the tenth byte is either refused or final
    }
};

// What one record turned out to be; a reading's value is left in the kind's state.
struct Record {
    enum Type { kReading, kFrameEnd, kRepeat } type = kReading;
    Kind kind = Kind::kCounter;
    bool has_checksum = false;
    uint32_t checksum = 0;
    uint64_t repeat_count = 0;
};

template <typename State>
bool read_value(Cursor* in, Kind kind, State* state) {
    std::vector<uint8_t>& previous = state->previous;
    if (is_counter(kind)) {
        uint64_t difference;
        if (!in->varint(&difference)) return false;
        uint64_t value = previous.size() == 8 ? load_u64(previous.data()) : 0;
        value += static_cast<uint64_t>(unzigzag(difference));
        previous.resize(8);
        store_u64(previous.data(), value);
        return true;
    }
    const size_t form_at = in->position;
    uint64_t form;
    if (!in->varint(&form)) return false;
    if (form != kSameSize) {
        const uint64_t size = form - 1;
        if (size > kLongestValue) return in->bad(form_at);
        const uint8_t* bytes;
        if (!in->bytes(static_cast<size_t>(size), &bytes)) return false;
        previous.assign(bytes, bytes + size);
        return true;
    }
    const size_t size = previous.size();
    const size_t count_at = in->position;
    uint64_t runs;
    if (!in->varint(&runs)) return false;
    if (runs > size) return in->bad(count_at);
    size_t at = 0;
    for (uint64_t r = 0; r < runs; ++r) {
        const size_t skip_at = in->position;
        uint64_t skip;
        if (!in->varint(&skip)) return false;
        if (skip >= size - at) return in->bad(skip_at);
        at += static_cast<size_t>(skip);
        const size_t length_at = in->position;
        uint64_t length;
        if (!in->varint(&length)) return false;
        if (length == 0 || length > size - at) return in->bad(length_at);
        const uint8_t* bytes;
        if (!in->bytes(static_cast<size_t>(length), &bytes)) return false;
        std::memcpy(previous.data() + at, bytes, static_cast<size_t>(length));
        at += static_cast<size_t>(length);
    }
    return true;
}

template <typename State>
bool read_record(Cursor* in, State* kinds, Record* record) {
    in->unit_start = in->position;
    uint8_t lead;
    if (!in->byte(&lead)) return false;
    if (is_kind(lead)) {
        record->type = Record::kReading;
        record->kind = static_cast<Kind>(lead);
        return read_value(in, record->kind, &kinds[lead]);
    }
    if (lead == kFrameEnd || lead == kFrameEndWithChecksum) {
        record->type = Record::kFrameEnd;
        record->has_checksum = lead == kFrameEndWithChecksum;
        record->checksum = 0;
        if (record->has_checksum) {
            const uint8_t* bytes;
            if (!in->bytes(4, &bytes)) return false;
            record->checksum = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                               static_cast<uint32_t>(bytes[2]) << 16 |
                               static_cast<uint32_t>(bytes[3]) << 24;
        }
        return true;
    }
    if (lead == kRepeat) {
        record->type = Record::kRepeat;
        const size_t count_at = in->position;
        if (!in->varint(&record->repeat_count)) return false;
        if (record->repeat_count == 0 || record->repeat_count > kLongestRepeat) {
            return in->bad(count_at);
        }
        return true;
    }
    return in->bad(in->unit_start);
}

bool read_string(Cursor* in, std::string* out) {
    in->unit_start = in->position;
    uint64_t length;
    if (!in->varint(&length)) return false;
    if (length > kLongestValue) return in->bad(in->unit_start);
    const uint8_t* bytes;
    if (!in->bytes(static_cast<size_t>(length), &bytes)) return false;
    out->assign(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
    return true;
}

bool read_int(Cursor* in, int32_t* out) {
    in->unit_start = in->position;
    uint64_t coded;
    if (!in->varint(&coded)) return false;
    const int64_t value = unzigzag(coded);
    if (value < INT32_MIN || value > INT32_MAX) return in->bad(in->unit_start);
    *out = static_cast<int32_t>(value);
    return true;
}

bool read_header(Cursor* in, Header* header) {
    in->unit_start = 0;
    const uint8_t* bytes;
    if (!in->bytes(sizeof kMagic, &bytes)) return false;
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return in->bad(0);
    in->unit_start = in->position;
    if (!in->bytes(4, &bytes)) return false;
    const uint32_t version = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                             static_cast<uint32_t>(bytes[2]) << 16 |
                             static_cast<uint32_t>(bytes[3]) << 24;
    if (version != kFormatVersion) return in->bad(in->unit_start);
    if (!read_string(in, &header->runtime_version) || !read_string(in, &header->gl_renderer) ||
        !read_string(in, &header->gl_version) || !read_int(in, &header->screen_width) ||
        !read_int(in, &header->screen_height) || !read_int(in, &header->colour_bits) ||
        !read_int(in, &header->frames_per_second)) {
        return false;
    }
    in->unit_start = in->position;
    uint8_t fullscreen;
    if (!in->byte(&fullscreen)) return false;
    if (fullscreen > 1) return in->bad(in->unit_start);
    header->fullscreen = fullscreen == 1;
    return read_int(in, &header->seed);
}

void put_string(std::vector<uint8_t>* out, const std::string& text) {
    put_varint(out, text.size());
    out->insert(out->end(), text.begin(), text.end());
}

void put_int(std::vector<uint8_t>* out, int32_t value) { put_varint(out, zigzag(value)); }

// Where the records inflated from a stretch of the file end: a record found damaged is reported
// at the end of the stretch it came from.
struct Piece {
    size_t records_end;
    size_t file_end;
};

// The input is fed in small stretches, so a damaged record maps to a nearby file offset.
constexpr size_t kInflateStretch = 64;

// Inflates the raw deflate stream that starts at file offset `start`. A stream that stops
// early (the program stopped after a flush) gives what it holds; a stream whose bytes do not
// inflate is damaged where the inflater stopped.
bool inflate_records(const std::vector<uint8_t>& file, size_t start, std::vector<uint8_t>* out,
                     std::vector<Piece>* pieces, size_t* damaged_at) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
    uint8_t buffer[16384];
    size_t at = start;
    bool ended = false, failed = false;
    while (!ended && !failed && at < file.size()) {
        const size_t stretch = std::min(kInflateStretch, file.size() - at);
        stream.next_in = const_cast<Bytef*>(file.data() + at);
        stream.avail_in = static_cast<uInt>(stretch);
        do {
            stream.next_out = buffer;
            stream.avail_out = sizeof buffer;
            const int result = inflate(&stream, Z_NO_FLUSH);
            const size_t produced = sizeof buffer - stream.avail_out;
            if (result == Z_MEM_ERROR) {
                inflateEnd(&stream);
                throw std::bad_alloc();
            }
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
                failed = true;
                break;
            }
            if (produced > kLongestRecords - out->size()) {
                failed = true;
                break;
            }
            out->insert(out->end(), buffer, buffer + produced);
            if (result == Z_STREAM_END) {
                ended = true;
                break;
            }
            if (result == Z_BUF_ERROR && produced == 0) break;
        } while (stream.avail_in > 0 || stream.avail_out == 0);
        const size_t used = stretch - stream.avail_in;
        at += used;
        pieces->push_back({out->size(), at});
        if (!failed && !ended && used == 0) failed = true;
    }
    inflateEnd(&stream);
    if (failed) {
        *damaged_at = at;
        return false;
    }
    // Bytes after the stream's end belong to nothing.
    if (ended && at < file.size()) {
        *damaged_at = at;
        return false;
    }
    return true;
}

}  // namespace

bool is_kind(uint8_t number) { return number >= 1 && number < kKindLimit; }

const char* kind_description(Kind kind) {
    switch (kind) {
        case Kind::kCounter:
        case Kind::kCounterFrequency:
        case Kind::kTickCount: return "a clock reading";
        case Kind::kPeekMessage:
        case Kind::kRemoveMessage: return "a window message";
        case Kind::kKeyboardPending: return "a count of pending key events";
        case Kind::kKeyboardEvents: return "a batch of key events";
        case Kind::kKeyboard: return "a keyboard reading";
        case Kind::kLayoutCharacters: return "a keyboard layout's characters";
        case Kind::kMouse: return "a mouse reading";
        case Kind::kMouseOver: return "a mouse-over-window reading";
        case Kind::kRelativeMode: return "a relative mouse mode answer";
        case Kind::kJoysticksInit: return "a joystick start-up result";
        case Kind::kJoysticksAttached: return "a count of attached joysticks";
        case Kind::kJoystickOpen: return "a joystick open result";
        case Kind::kJoystickName: return "a joystick name";
        case Kind::kJoystickRead: return "a joystick reading";
        case Kind::kInputFocus: return "an input focus reading";
        case Kind::kWindowPosition: return "a window position";
        case Kind::kWindowSize: return "a window size";
        case Kind::kDesktopMode: return "a desktop display mode";
        case Kind::kDisplayHasMode: return "a display mode check";
        case Kind::kEnterFullscreen: return "a full-screen switch result";
        case Kind::kAudioOpen: return "a sound device open result";
        case Kind::kAudioProgress: return "a sound device reading";
        case Kind::kMediaOpen: return "a media player open result";
        case Kind::kMediaLength: return "a media length";
        case Kind::kMediaPosition: return "a media player position";
        case Kind::kMediaPlay: return "a media play result";
        case Kind::kMediaVolume: return "a media volume result";
        case Kind::kMediaSourceSize: return "a movie picture size";
        case Kind::kMediaFrameReady: return "a movie frame readiness check";
        case Kind::kMediaRender: return "a movie frame render result";
        case Kind::kProcessStart: return "a process start result";
        case Kind::kProcessWait: return "a process result";
        case Kind::kShellOpen: return "a desktop open result";
        case Kind::kFileDialog: return "a file dialog answer";
        case Kind::kLocalTime: return "a local time reading";
        case Kind::kMachineSerial: return "a machine serial number";
        case Kind::kBattery: return "a battery reading";
        case Kind::kLocale: return "a locale setting";
        case Kind::kDocumentsFolder: return "a documents folder path";
        case Kind::kDebugger: return "a debugger check";
        case Kind::kCommandLine: return "a command line";
        case Kind::kFileHash: return "a file hash";
        case Kind::kEnvironment: return "an environment variable";
        case Kind::kJoystickDevice: return "an attached joystick";
        case Kind::kEnterDesktopFullscreen: return "a desktop-wide full-screen switch result";
    }
    return "an unknown reading";
}

bool is_counter(Kind kind) {
    return kind == Kind::kCounter || kind == Kind::kTickCount || kind == Kind::kAudioProgress;
}

std::vector<uint8_t> encode_header(const Header& header) {
    std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
    put_u32(&out, kFormatVersion);
    put_string(&out, header.runtime_version);
    put_string(&out, header.gl_renderer);
    put_string(&out, header.gl_version);
    put_int(&out, header.screen_width);
    put_int(&out, header.screen_height);
    put_int(&out, header.colour_bits);
    put_int(&out, header.frames_per_second);
    out.push_back(header.fullscreen ? 1 : 0);
    put_int(&out, header.seed);
    return out;
}

// ---- Encoder ----

struct Encoder::Deflater {
    z_stream stream{};
    bool ended = false;
    Deflater() {
        if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9,
                         Z_DEFAULT_STRATEGY) != Z_OK) {
            throw std::bad_alloc();
        }
    }
    ~Deflater() { deflateEnd(&stream); }
};

Encoder::Encoder() : deflater_(std::make_unique<Deflater>()) {}

Encoder::~Encoder() = default;

bool Encoder::add(Kind kind, const void* data, size_t size) {
    const uint8_t number = static_cast<uint8_t>(kind);
    if (!is_kind(number) || size > kLongestValue || (size > 0 && data == nullptr)) return false;
    if (is_counter(kind) && size != 8) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t>& previous = kinds_[number].previous;
    frame_.push_back(number);

    if (is_counter(kind)) {
        const uint64_t value = load_u64(bytes);
        const uint64_t before = previous.size() == 8 ? load_u64(previous.data()) : 0;
        put_varint(&frame_, zigzag(static_cast<int64_t>(value - before)));
        previous.assign(bytes, bytes + 8);
        return true;
    }

    // The changed bytes as runs, when the size is the previous one; equal stretches of up to
    // two bytes stay inside a run, as a new run's skip and length would cost as much.
    if (size == previous.size() && size > 0) {
        runs_.clear();
        size_t run_count = 0;
        size_t at = 0;  // end of the previous run
        size_t i = 0;
        while (i < size) {
            if (bytes[i] == previous[i]) {
                ++i;
                continue;
            }
            size_t end = i + 1;
            for (;;) {
                while (end < size && bytes[end] != previous[end]) ++end;
                size_t gap = end;
                while (gap < size && gap - end < 3 && bytes[gap] == previous[gap]) ++gap;
                if (gap < size && gap - end < 3) {
                    end = gap;  // a short equal stretch followed by another change
                    continue;
                }
                break;
            }
            put_varint(&runs_, i - at);
            put_varint(&runs_, end - i);
            runs_.insert(runs_.end(), bytes + i, bytes + end);
            ++run_count;
            at = end;
            i = end;
        }
        const size_t runs_cost = varint_length(kSameSize) + varint_length(run_count) + runs_.size();
        const size_t raw_cost = varint_length(uint64_t{size} + 1) + size;
        if (runs_cost <= raw_cost) {
            put_varint(&frame_, kSameSize);
            put_varint(&frame_, run_count);
            frame_.insert(frame_.end(), runs_.begin(), runs_.end());
            previous.assign(bytes, bytes + size);
            return true;
        }
    }
    put_varint(&frame_, uint64_t{size} + 1);
    frame_.insert(frame_.end(), bytes, bytes + size);
    previous.assign(bytes, bytes + size);
    return true;
}

void Encoder::end_frame(bool has_checksum, uint32_t checksum) {
    if (has_checksum) {
        frame_.push_back(kFrameEndWithChecksum);
        put_u32(&frame_, checksum);
    } else {
        frame_.push_back(kFrameEnd);
    }
    // A frame partly written out by finish is not a repeat: a repeat record must follow a
    // frame end directly.
    if (frame_written_ == 0 && has_previous_frame_ && frame_ == previous_frame_) {
        ++repeats_;
        if (repeats_ == kLongestRepeat) flush_repeats();
        frame_.clear();
        return;
    }
    flush_repeats();
    output_.insert(output_.end(), frame_.begin() + static_cast<std::ptrdiff_t>(frame_written_),
                   frame_.end());
    previous_frame_.swap(frame_);
    has_previous_frame_ = true;
    frame_.clear();
    frame_written_ = 0;
}

void Encoder::flush_repeats() {
    if (repeats_ == 0) return;
    output_.push_back(kRepeat);
    put_varint(&output_, repeats_);
    repeats_ = 0;
}

void Encoder::finish() {
    finished_ = true;
    flush_repeats();
    output_.insert(output_.end(), frame_.begin() + static_cast<std::ptrdiff_t>(frame_written_),
                   frame_.end());
    frame_written_ = frame_.size();
}

std::vector<uint8_t> Encoder::take_bytes(bool flush) {
    std::vector<uint8_t> out;
    Deflater& deflater = *deflater_;
    if (deflater.ended) return out;
    const int mode = finished_ ? Z_FINISH : flush ? Z_SYNC_FLUSH : Z_NO_FLUSH;
    z_stream& stream = deflater.stream;
    stream.next_in = output_.data();
    stream.avail_in = static_cast<uInt>(output_.size());
    uint8_t buffer[16384];
    for (;;) {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        const int result = deflate(&stream, mode);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - stream.avail_out));
        if (result == Z_STREAM_END) {
            deflater.ended = true;
            break;
        }
        if (stream.avail_in == 0 && stream.avail_out != 0) break;
    }
    output_.clear();
    return out;
}

// ---- Decoder ----

bool Decoder::open(std::vector<uint8_t> file, size_t* damaged_at) {
    file_ = std::move(file);
    header_ = Header();
    frame_count_ = 0;
    for (KindState& state : kinds_) state.previous.clear();
    repeats_left_ = 0;

    Cursor in{file_.data(), file_.size(), 0, 0};
    auto damaged = [&](size_t offset) {
        if (damaged_at) *damaged_at = offset;
        file_.clear();
        position_ = 0;
        records_start_ = 0;
        frame_count_ = 0;
        return false;
    };
    if (!read_header(&in, &header_)) return damaged(in.damaged_at);
    std::vector<uint8_t> records;
    std::vector<Piece> pieces;
    size_t inflate_damage = 0;
    if (!inflate_records(file_, in.position, &records, &pieces, &inflate_damage)) {
        return damaged(inflate_damage);
    }
    const size_t file_size = file_.size();
    file_.swap(records);
    records.clear();
    records.shrink_to_fit();
    // A damaged record is reported at the end of the stretch of the file it came from.
    auto damaged_record = [&](size_t offset) {
        for (const Piece& piece : pieces) {
            if (piece.records_end > offset) return damaged(piece.file_end);
        }
        return damaged(file_size);
    };
    records_start_ = 0;
    in = Cursor{file_.data(), file_.size(), 0, 0};

    // Every record once, on a state of its own. A repeat run decodes its frame's bytes again
    // once: a frame leaves each kind it holds with a size that does not depend on the sizes it
    // started from, so a second pass that reads cleanly means every further pass does too.
    KindState kinds[kKindLimit];
    bool after_frame_end = false;
    bool frame_checked_again = false;
    size_t frame_start = in.position;
    size_t previous_start = 0;
    size_t previous_end = 0;
    uint64_t frames = 0;
    while (in.position < file_.size()) {
        Record record;
        if (!read_record(&in, kinds, &record)) return damaged_record(in.damaged_at);
        const size_t record_start = in.unit_start;
        switch (record.type) {
            case Record::kReading: after_frame_end = false; break;
            case Record::kFrameEnd:
                previous_start = frame_start;
                previous_end = in.position;
                frame_start = in.position;
                after_frame_end = true;
                frame_checked_again = false;
                if (__builtin_add_overflow(frames, 1, &frames)) return damaged_record(record_start);
                break;
            case Record::kRepeat: {
                if (!after_frame_end) return damaged_record(record_start);
                if (!frame_checked_again) {
                    Cursor again{file_.data(), previous_end, previous_start, previous_start};
                    Record replayed;
                    do {
                        if (!read_record(&again, kinds, &replayed) ||
                            replayed.type == Record::kRepeat) {
                            return damaged_record(record_start);
                        }
                    } while (replayed.type != Record::kFrameEnd);
                    if (again.position != previous_end) return damaged_record(record_start);
                    frame_checked_again = true;
                }
                if (__builtin_add_overflow(frames, record.repeat_count, &frames)) {
                    return damaged_record(record_start);
                }
                frame_start = in.position;
                break;
            }
        }
    }
    frame_count_ = frames;
    position_ = records_start_;
    frame_start_ = records_start_;
    previous_frame_start_ = 0;
    previous_frame_end_ = 0;
    return true;
}

bool Decoder::next(Entry* entry) {
    for (;;) {
        if (position_ >= file_.size()) return false;
        // Inside a repeat the frame's own bytes are read again, up to its frame end.
        const size_t end = repeats_left_ > 0 ? previous_frame_end_ : file_.size();
        Cursor in{file_.data(), end, position_, position_};
        Record record;
        if (!read_record(&in, kinds_, &record)) {
            position_ = file_.size();  // not reached after open's check
            return false;
        }
        position_ = in.position;
        switch (record.type) {
            case Record::kReading: {
                const KindState& state = kinds_[static_cast<uint8_t>(record.kind)];
                *entry = Entry();
                entry->kind = record.kind;
                entry->data = state.previous.data();
                entry->size = state.previous.size();
                return true;
            }
            case Record::kFrameEnd:
                *entry = Entry();
                entry->frame_end = true;
                entry->has_checksum = record.has_checksum;
                entry->checksum = record.checksum;
                if (repeats_left_ > 0) {
                    --repeats_left_;
                    position_ = repeats_left_ > 0 ? previous_frame_start_ : repeat_resume_;
                } else {
                    previous_frame_start_ = frame_start_;
                    previous_frame_end_ = position_;
                    frame_start_ = position_;
                }
                return true;
            case Record::kRepeat:
                if (repeats_left_ > 0 || previous_frame_end_ == 0) {
                    position_ = file_.size();  // not reached after open's check
                    return false;
                }
                repeats_left_ = record.repeat_count;
                repeat_resume_ = position_;
                frame_start_ = position_;
                position_ = previous_frame_start_;
                break;
        }
    }
}

// ---- Picture checksum ----

namespace {

constexpr uint64_t kMixA = 0x9E3779B97F4A7C15ull;
constexpr uint64_t kMixB = 0xC2B2AE3D27D4EB4Full;

uint64_t load_word(const uint8_t* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}

uint64_t rotate(uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

uint64_t mix_word(uint64_t lane, uint64_t word) {
    return rotate(lane ^ (word * kMixB), 29) * kMixA;
}

}  // namespace

uint32_t picture_checksum(const uint8_t* pixels, size_t size) {
    // Four independent lanes of eight bytes each, so the multiplies overlap.
    uint64_t lanes[4] = {kMixA, kMixB, ~kMixA, ~kMixB};
    size_t at = 0;
    for (; size - at >= 32; at += 32) {
        for (int lane = 0; lane < 4; ++lane) {
            lanes[lane] = mix_word(lanes[lane], load_word(pixels + at + 8 * lane));
        }
    }
    uint64_t hash = uint64_t{size} * kMixA;
    for (int lane = 0; lane < 4; ++lane) hash = mix_word(hash, lanes[lane]);
    for (; size - at >= 8; at += 8) hash = mix_word(hash, load_word(pixels + at));
    if (at < size) {
        uint64_t tail = 0;
        for (size_t i = 0; at + i < size; ++i) tail |= uint64_t{pixels[at + i]} << (8 * i);
        hash = mix_word(hash, tail ^ (uint64_t{size - at} << 56));
    }
    hash ^= hash >> 33;
    hash *= kMixB;
    hash ^= hash >> 29;
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

}  // namespace kvn::replay
