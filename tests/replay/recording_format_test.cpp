// The recording file: round trips through the encoder and decoder, its compactness, and the
// decoder's verdict on damaged, truncated and foreign files.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "replay/recording_format.h"

namespace kvn::replay {
namespace {

using Bytes = std::vector<uint8_t>;

struct Step {
    bool frame_end = false;
    Kind kind = Kind::kCounter;
    Bytes value;
    bool has_checksum = false;
    uint32_t checksum = 0;

    bool operator==(const Step& other) const {
        return frame_end == other.frame_end && has_checksum == other.has_checksum &&
               checksum == other.checksum && (frame_end || (kind == other.kind && value == other.value));
    }
};

Step reading(Kind kind, Bytes value) { return Step{false, kind, std::move(value), false, 0}; }
Step counter(Kind kind, uint64_t value) {
    Bytes bytes(8);
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    return reading(kind, bytes);
}
Step frame_end() { return Step{true, Kind::kCounter, {}, false, 0}; }
Step frame_end(uint32_t checksum) { return Step{true, Kind::kCounter, {}, true, checksum}; }

std::vector<Step> repeated(const std::vector<Step>& frame, int times) {
    std::vector<Step> steps;
    for (int i = 0; i < times; ++i) steps.insert(steps.end(), frame.begin(), frame.end());
    return steps;
}

// The file of the steps, output taken in pieces every few steps as the recorder does; every
// flush_every-th piece flushed (0: none), and the file's size after each flush noted.
Bytes encode(const std::vector<Step>& steps, const Header& header = Header(),
             size_t flush_every = 0, std::vector<size_t>* flushed_sizes = nullptr) {
    Bytes file = encode_header(header);
    Encoder encoder;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        if (step.frame_end) {
            encoder.end_frame(step.has_checksum, step.checksum);
        } else {
            EXPECT_TRUE(encoder.add(step.kind, step.value.data(), step.value.size())) << i;
        }
        if (i % 3 == 0) {
            const bool flush = flush_every > 0 && i / 3 % flush_every == 0;
            const Bytes piece = encoder.take_bytes(flush);
            file.insert(file.end(), piece.begin(), piece.end());
            if (flush && flushed_sizes) flushed_sizes->push_back(file.size());
        }
    }
    encoder.finish();
    const Bytes rest = encoder.take_bytes();
    file.insert(file.end(), rest.begin(), rest.end());
    return file;
}

// Record bytes deflated as the encoder deflates them (a raw stream, ended).
Bytes deflated(const Bytes& records) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9,
                           Z_DEFAULT_STRATEGY),
              Z_OK);
    Bytes out(deflateBound(&stream, records.size()) + 16);
    stream.next_in = const_cast<Bytef*>(records.data());
    stream.avail_in = static_cast<uInt>(records.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::vector<Step> decode_all(Decoder* decoder) {
    std::vector<Step> steps;
    Entry entry;
    while (decoder->next(&entry)) {
        steps.push_back(entry.frame_end
                            ? Step{true, Kind::kCounter, {}, entry.has_checksum, entry.checksum}
                            : reading(entry.kind, Bytes(entry.data, entry.data + entry.size)));
    }
    return steps;
}

uint64_t frames_in(const std::vector<Step>& steps) {
    uint64_t frames = 0;
    for (const Step& step : steps) frames += step.frame_end ? 1 : 0;
    return frames;
}

Bytes keyboard(size_t size, size_t pressed) {
    Bytes state(size, 0);
    if (pressed < size) state[pressed] = 0x80;
    return state;
}

TEST(RecordingFormatTest, ReadingsAndFrameEndsComeBackExactly) {
    std::vector<Step> clock_steps;
    for (uint64_t t = 0; t < 500; ++t) {
        clock_steps.push_back(counter(Kind::kTickCount, 1000 + 16 * t));
        clock_steps.push_back(reading(Kind::kMouse, {1, 2, 3, 4}));
        clock_steps.push_back(frame_end());
    }
    const struct {
        const char* name;
        std::vector<Step> steps;
        // The file holds fewer bytes than this past its header (0: not checked).
        size_t at_most;
    } cases[] = {
        {"empty", {}, 0},
        {"one empty frame", {frame_end()}, 0},
        {"counters go back and wrap",
         {counter(Kind::kCounter, 100), counter(Kind::kCounter, 50), frame_end(),
          counter(Kind::kCounter, ~uint64_t{0}), counter(Kind::kCounter, 3),
          counter(Kind::kTickCount, uint64_t{1} << 63), counter(Kind::kAudioProgress, 7),
          frame_end(0xDEADBEEF), counter(Kind::kCounter, 0), frame_end()},
         0},
        {"values change size",
         {reading(Kind::kKeyboard, keyboard(256, 4)), frame_end(),
          reading(Kind::kKeyboard, keyboard(255, 4)), reading(Kind::kKeyboard, {}),
          reading(Kind::kKeyboard, {}), frame_end(), reading(Kind::kKeyboard, keyboard(256, 200)),
          reading(Kind::kKeyboard, keyboard(256, 3)),
          reading(Kind::kJoystickName, Bytes(kLongestValue, 'j')), frame_end(7)},
         0},
        {"runs of changes near each other and at the ends",
         {reading(Kind::kWindowSize, Bytes(40, 0)), frame_end(),
          reading(Kind::kWindowSize, {9, 0, 9, 0, 0, 9, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9}),
          frame_end()},
         0},
        // A constant step of the clock and unchanged values give the same bytes every frame.
        {"repeated frames collapse", clock_steps, 40},
        {"a repeat run ends at a different frame and starts again",
         [] {
             std::vector<Step> steps = repeated({reading(Kind::kLocale, {'e', 'n'}), frame_end(5)}, 4);
             steps.push_back(reading(Kind::kLocale, {'d', 'e'}));
             steps.push_back(frame_end(5));
             const std::vector<Step> more = repeated({reading(Kind::kLocale, {'d', 'e'}), frame_end(5)}, 3);
             steps.insert(steps.end(), more.begin(), more.end());
             return steps;
         }(),
         0},
        // The newest kind is inside the limit (a kind past it is refused silently).
        {"the newest kinds",
         {reading(Kind::kEnterDesktopFullscreen, {1}), reading(Kind::kJoystickDevice, {2}),
          frame_end(), reading(Kind::kEnterDesktopFullscreen, {0}), frame_end()},
         0},
        {"readings after the last frame end",
         {reading(Kind::kMouse, {1}), frame_end(), reading(Kind::kMouse, {1}), frame_end(),
          reading(Kind::kMouse, {1}), counter(Kind::kCounter, 9)},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Header header;
        header.runtime_version = "0.1.0";
        const Bytes file = encode(c.steps, header);
        const size_t records = file.size() - encode_header(header).size();
        if (c.at_most > 0) {
            EXPECT_LE(records, c.at_most);
        }
        Decoder decoder;
        size_t damaged_at = 0;
        ASSERT_TRUE(decoder.open(file, &damaged_at)) << damaged_at;
        EXPECT_EQ(decoder.frame_count(), frames_in(c.steps));
        EXPECT_EQ(decode_all(&decoder), c.steps);
    }
}

TEST(RecordingFormatTest, HeaderFieldsComeBack) {
    Header header;
    header.runtime_version = "0.1.0";
    header.gl_renderer = std::string(300, 'r');
    header.gl_version = "";
    header.screen_width = 1024;
    header.screen_height = -600;
    header.colour_bits = INT32_MIN;
    header.frames_per_second = INT32_MAX;
    header.fullscreen = true;
    header.seed = -1;
    Decoder decoder;
    size_t damaged_at = 0;
    ASSERT_TRUE(decoder.open(encode_header(header), &damaged_at));
    const Header& read = decoder.header();
    EXPECT_EQ(read.runtime_version, header.runtime_version);
    EXPECT_EQ(read.gl_renderer, header.gl_renderer);
    EXPECT_EQ(read.gl_version, header.gl_version);
    EXPECT_EQ(read.screen_width, 1024);
    EXPECT_EQ(read.screen_height, -600);
    EXPECT_EQ(read.colour_bits, INT32_MIN);
    EXPECT_EQ(read.frames_per_second, INT32_MAX);
    EXPECT_TRUE(read.fullscreen);
    EXPECT_EQ(read.seed, -1);
    EXPECT_EQ(decoder.frame_count(), 0u);
}

// A minute of frames as a game reads them: a clock jittering by up to 40 us, the keyboard polled
// eight times (a key pressed now and then), two looks at an empty message queue. Only the
// changes and the clock's jitter should cost anything: well under 100 KB a minute.
TEST(RecordingFormatTest, AMinuteOfPlayStaysSmall) {
    const struct {
        const char* name;
        bool checksums;
        size_t bytes_at_most;
    } cases[] = {
        {"checksums off", false, 64 * 1024},
        {"a checksum every frame", true, 80 * 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Step> steps;
        uint64_t clock = 0;
        for (uint64_t frame = 0; frame < 3600; ++frame) {
            for (int read = 0; read < 3; ++read) {
                clock += 16666667 / 3 + (frame * 7919 + read * 104729) % 40000;
                steps.push_back(counter(Kind::kCounter, clock));
            }
            const size_t pressed = frame / 90 % 2 ? 57 : 300;
            for (int poll = 0; poll < 8; ++poll) {
                steps.push_back(reading(Kind::kInputFocus, {1}));
                steps.push_back(reading(Kind::kKeyboard, keyboard(256, pressed)));
            }
            for (int look = 0; look < 2; ++look) steps.push_back(reading(Kind::kRemoveMessage, {0}));
            steps.push_back(c.checksums ? frame_end(static_cast<uint32_t>(frame * 2654435761u))
                                        : frame_end());
        }
        Header header;
        const Bytes file = encode(steps, header, 60);
        EXPECT_LE(file.size(), c.bytes_at_most);
        Decoder decoder;
        size_t damaged_at = 0;
        ASSERT_TRUE(decoder.open(file, &damaged_at)) << damaged_at;
        EXPECT_EQ(decode_all(&decoder), steps);
    }
}

TEST(RecordingFormatTest, EncoderRefusesBadReadingsAndAddsNothing) {
    Encoder encoder;
    const Bytes big(kLongestValue + 1, 0);
    const uint8_t seven[7] = {};
    EXPECT_FALSE(encoder.add(Kind::kCounter, seven, 7));
    EXPECT_FALSE(encoder.add(Kind::kKeyboard, big.data(), big.size()));
    EXPECT_FALSE(encoder.add(static_cast<Kind>(0), seven, 1));
    EXPECT_FALSE(encoder.add(static_cast<Kind>(kKindLimit), seven, 1));
    EXPECT_FALSE(encoder.add(Kind::kMouse, nullptr, 3));
    EXPECT_TRUE(encoder.add(Kind::kMouse, nullptr, 0));
    encoder.end_frame(false, 0);
    encoder.finish();
    Bytes file = encode_header(Header());
    const Bytes records = encoder.take_bytes();
    file.insert(file.end(), records.begin(), records.end());
    Decoder decoder;
    size_t damaged_at = 0;
    ASSERT_TRUE(decoder.open(file, &damaged_at));
    EXPECT_EQ(decode_all(&decoder), (std::vector<Step>{reading(Kind::kMouse, {}), frame_end()}));
}

TEST(RecordingFormatTest, LongRepeatRunsAreSplitAtTheCap) {
    const uint64_t frames = (uint64_t{1} << 24) + 3;
    Encoder encoder;
    for (uint64_t i = 0; i < frames; ++i) encoder.end_frame(false, 0);
    encoder.finish();
    Bytes file = encode_header(Header());
    const Bytes records = encoder.take_bytes();
    file.insert(file.end(), records.begin(), records.end());
    // The frame, the capped run, and a run of the last two.
    EXPECT_EQ(records, deflated(Bytes{0xF0, 0xF2, 0x80, 0x80, 0x80, 0x08, 0xF2, 0x02}));
    Decoder decoder;
    size_t damaged_at = 0;
    ASSERT_TRUE(decoder.open(file, &damaged_at));
    EXPECT_EQ(decoder.frame_count(), frames);
}

// A file of the default header followed by these record bytes, deflated.
Bytes with_records(const Bytes& records) {
    Bytes file = encode_header(Header());
    const Bytes stream = deflated(records);
    file.insert(file.end(), stream.begin(), stream.end());
    return file;
}

TEST(RecordingFormatTest, DamagedFilesAreRefusedAtTheirFirstBadByte) {
    const size_t h = encode_header(Header()).size();
    constexpr size_t kInRecords = ~size_t{0};
    constexpr size_t kAfterStream = ~size_t{0} - 1;
    Bytes foreign = with_records({});
    foreign[3] = 'X';
    Bytes version = with_records({});
    version[8] = 1;
    Bytes fullscreen = with_records({});
    fullscreen[h - 2] = 2;
    Bytes wide = encode_header(Header());
    wide.resize(wide.size() - 1);
    wide.insert(wide.end(), {0x80, 0x80, 0x80, 0x80, 0x10});  // the seed as 2^31
    const uint8_t k = static_cast<uint8_t>(Kind::kKeyboard);
    const struct {
        const char* name;
        Bytes file;
        size_t damaged_at;
    } cases[] = {
        {"empty file", {}, 0},
        {"foreign magic", foreign, 0},
        {"another version", version, 8},
        {"fullscreen neither 0 nor 1", fullscreen, h - 2},
        {"header integer beyond 32 bits", wide, h - 1},
        {"kind byte 0", with_records({0x00}), kInRecords},
        {"kind byte past the last kind", with_records({kKindLimit, 1}), kInRecords},
        {"unknown record byte", with_records({0xF0, 0xF3}), kInRecords},
        {"value over the longest size", with_records({k, 0x82, 0x80, 0x04}), kInRecords},
        {"varint of eleven bytes",
         with_records({1, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x81, 0x00}),
         kInRecords},
        {"varint overflowing 64 bits",
         with_records({1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02}), kInRecords},
        {"run longer than the value", with_records({k, 5, 1, 2, 3, 4, k, 0, 1, 3, 2, 9, 9}), kInRecords},
        {"run skipping past the value", with_records({k, 5, 1, 2, 3, 4, k, 0, 1, 4, 1, 9}), kInRecords},
        {"second run past the value", with_records({k, 5, 1, 2, 3, 4, k, 0, 2, 0, 1, 9, 3, 1, 9}),
         kInRecords},
        {"run of no bytes", with_records({k, 5, 1, 2, 3, 4, k, 0, 1, 0, 0}), kInRecords},
        {"more runs than bytes", with_records({k, 2, 1, k, 0, 2, 0, 1, 7}), kInRecords},
        {"changes to a kind never seen", with_records({k, 0, 1, 0, 1, 7}), kInRecords},
        {"repeat first", with_records({0xF2, 1}), kInRecords},
        {"repeat after readings", with_records({0xF0, k, 1, 0xF2, 1}), kInRecords},
        {"repeat of no frames", with_records({0xF0, 0xF2, 0}), kInRecords},
        {"repeat over the cap", with_records({0xF0, 0xF2, 0x81, 0x80, 0x80, 0x08}), kInRecords},
        // The frame reads cleanly from the sizes before it but not from the sizes it leaves.
        {"repeat of a frame that reads only once",
         with_records({k, 5, 1, 2, 3, 4, 0xF0, k, 0, 1, 0, 4, 5, 6, 7, 8, k, 3, 1, 2, 0xF0, 0xF2, 1}),
         kInRecords},
        {"records that do not inflate", [] {
             Bytes file = encode_header(Header());
             file.insert(file.end(), {0xFF, 0xFF, 0xFF, 0xFF});
             return file;
         }(), kInRecords},
        {"bytes after the stream's end", [] {
             Bytes file = with_records({0xF0});
             file.push_back(0);
             return file;
         }(), kAfterStream},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoder decoder;
        size_t damaged_at = 12345;
        EXPECT_FALSE(decoder.open(c.file, &damaged_at));
        // A record's damage is reported at the end of the deflated stretch it came from.
        if (c.damaged_at == kInRecords) {
            EXPECT_GE(damaged_at, h);
            EXPECT_LE(damaged_at, c.file.size());
        } else if (c.damaged_at == kAfterStream) {
            EXPECT_EQ(damaged_at, c.file.size() - 1);
        } else {
            EXPECT_EQ(damaged_at, c.damaged_at);
        }
        Entry entry;
        EXPECT_FALSE(decoder.next(&entry));
        EXPECT_EQ(decoder.frame_count(), 0u);
    }
    // The same shapes, well formed, are read.
    for (const Bytes& records :
         {Bytes{k, 5, 1, 2, 3, 4, k, 0, 1, 3, 1, 9}, Bytes{k, 5, 1, 2, 3, 4, k, 0, 2, 0, 1, 9, 2, 1, 9},
          Bytes{0xF0, 0xF2, 0x80, 0x80, 0x80, 0x08, 0xF2, 1}}) {
        Decoder decoder;
        size_t damaged_at = 0;
        EXPECT_TRUE(decoder.open(with_records(records), &damaged_at)) << damaged_at;
    }
}

TEST(RecordingFormatTest, EveryTruncationIsWholeUpToAFlushOrDamaged) {
    Header header;
    header.gl_renderer = "soft";
    std::vector<Step> steps = {counter(Kind::kCounter, 5), reading(Kind::kKeyboard, keyboard(20, 3)),
                               frame_end(0x01020304)};
    for (int i = 0; i < 12; ++i) {
        steps.push_back(reading(Kind::kKeyboard, keyboard(20, i % 5)));
        steps.push_back(counter(Kind::kCounter, 100 * i));
        steps.push_back(frame_end());
    }
    steps.push_back(counter(Kind::kCounter, 2));
    steps.push_back(reading(Kind::kMouse, {7, 7}));
    std::vector<size_t> flushed_sizes;
    const Bytes file = encode(steps, header, 2, &flushed_sizes);
    ASSERT_GE(flushed_sizes.size(), 4u);
    const size_t header_size = encode_header(header).size();
    for (size_t cut = 0; cut < file.size(); ++cut) {
        SCOPED_TRACE(cut);
        Decoder decoder;
        size_t damaged_at = 0;
        const bool whole =
            decoder.open(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)),
                         &damaged_at);
        // A program that stopped after a flush left a file that replays as far as it goes.
        const bool at_flush =
            std::find(flushed_sizes.begin(), flushed_sizes.end(), cut) != flushed_sizes.end();
        if (at_flush || cut == header_size) {
            EXPECT_TRUE(whole);
        }
        if (whole) {
            const std::vector<Step> read = decode_all(&decoder);
            ASSERT_LE(read.size(), steps.size());
            EXPECT_TRUE(std::equal(read.begin(), read.end(), steps.begin()));
        } else {
            EXPECT_LE(damaged_at, cut);
        }
    }
}

TEST(RecordingFormatTest, PictureChecksumSeesEveryByteAndItsLength) {
    Bytes pixels(203);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
    const uint32_t whole = picture_checksum(pixels.data(), pixels.size());
    // The same bytes at another alignment.
    Bytes shifted(pixels.size() + 3);
    std::memcpy(shifted.data() + 3, pixels.data(), pixels.size());
    EXPECT_EQ(picture_checksum(shifted.data() + 3, pixels.size()), whole);
    for (size_t i = 0; i < pixels.size(); ++i) {
        Bytes changed = pixels;
        changed[i] ^= 1;
        EXPECT_NE(picture_checksum(changed.data(), changed.size()), whole) << i;
    }
    // Every length of zeros is a different picture.
    const Bytes zeros(70, 0);
    std::vector<uint32_t> sums;
    for (size_t length = 0; length <= zeros.size(); ++length) {
        sums.push_back(picture_checksum(zeros.data(), length));
        for (size_t shorter = 0; shorter < length; ++shorter) EXPECT_NE(sums[shorter], sums[length]);
    }
}

}  // namespace
}  // namespace kvn::replay
