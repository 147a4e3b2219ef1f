// The recording file: everything a program read from outside its own computation, frame by
// frame, as written by KVN_RECORD and read back by KVN_REPLAY. Plain functions and classes over
// bytes, with no platform and no runtime state, so the format is tested and fuzzed directly;
// the platform layer's recorder is the only user in the runtime.
//
// A file is a header followed by a deflate stream of records. A record is one reading (its kind's byte, then its
// value), the end of a frame (with the presented picture's checksum when one was taken), or a
// run of frames identical to the frame before. Values are coded against the previous value of
// the same kind: counters as the difference, everything else as the bytes that changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kvn::replay {

// The version of the format this code writes and the only one it reads.
constexpr uint32_t kFormatVersion = 2;

// The most bytes the records of one file may inflate to; a file claiming more is damaged.
constexpr size_t kLongestRecords = size_t{1} << 29;

// Every kind of reading. The numbers are part of the file format: never renumber, only append.
enum class Kind : uint8_t {
    // Clock: the high-resolution counter, its frequency, the millisecond tick count.
    kCounter = 1,
    kCounterFrequency = 2,
    kTickCount = 3,
    // Window messages and the input events delivered with them.
    kPeekMessage = 4,
    kRemoveMessage = 5,
    kKeyboardPending = 6,
    kKeyboardEvents = 7,
    // Input devices.
    kKeyboard = 8,
    kLayoutCharacters = 9,
    kMouse = 10,
    kMouseOver = 11,
    kRelativeMode = 12,
    kJoysticksInit = 13,
    kJoysticksAttached = 14,
    kJoystickOpen = 15,
    kJoystickName = 16,  // written by earlier versions only
    kJoystickRead = 17,
    // The window and the display.
    kInputFocus = 18,
    kWindowPosition = 19,
    kWindowSize = 20,
    kDesktopMode = 21,
    kDisplayHasMode = 22,
    kEnterFullscreen = 23,
    // Sound output: whether the device opened, how many mixer passes it has played.
    kAudioOpen = 24,
    kAudioProgress = 25,
    // Music and movie players.
    kMediaOpen = 26,
    kMediaLength = 27,
    kMediaPosition = 28,
    kMediaPlay = 29,
    kMediaVolume = 30,
    kMediaSourceSize = 31,
    kMediaFrameReady = 32,
    kMediaRender = 33,
    // Other programs and the desktop.
    kProcessStart = 34,
    kProcessWait = 35,
    kShellOpen = 36,
    kFileDialog = 37,
    // Facts about the machine.
    kLocalTime = 38,
    kMachineSerial = 39,
    kBattery = 40,
    kLocale = 41,
    kDocumentsFolder = 42,
    kDebugger = 43,
    kCommandLine = 44,
    // The hash of a file the program opened for reading.
    kFileHash = 45,
    // An environment variable, or the whole environment, as a program command read it.
    kEnvironment = 46,
    // An attached joystick before it is opened: its connection, name and identity.
    kJoystickDevice = 47,
    // The switch to a borderless window over the whole desktop (scaled full screen).
    kEnterDesktopFullscreen = 48,
};

// One more than the highest kind number.
constexpr int kKindLimit = 49;

// True for the numbers that name a kind.
bool is_kind(uint8_t number);
// The kind as the divergence message names it: "a keyboard reading", "a clock reading", ...
const char* kind_description(Kind kind);
// True for the kinds whose values are 8-byte little-endian counters, coded as differences.
bool is_counter(Kind kind);

// The longest value of one reading, in bytes; longer values are refused by the encoder and
// mark a file as damaged.
constexpr size_t kLongestValue = 1 << 16;

// What the file says about the run before its first record.
struct Header {
    std::string runtime_version;
    // The GL renderer's name and version string: picture checksums depend on them.
    std::string gl_renderer;
    std::string gl_version;
    int32_t screen_width = 0;
    int32_t screen_height = 0;
    int32_t colour_bits = 0;
    int32_t frames_per_second = 0;
    bool fullscreen = false;
    // The random generator's start-up seed.
    int32_t seed = 0;
};

// The file's first bytes: magic, format version and the header's fields.
std::vector<uint8_t> encode_header(const Header& header);

// Codes readings and frame ends into records, deflated. Output is taken in pieces as the run
// goes; each flushed piece ends on a whole record, so a recording is on disk up to its last
// flush whenever the program stops.
class Encoder {
  public:
    Encoder();
    ~Encoder();
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    // Adds one reading to the frame being built. A counter kind's value is 8 bytes; a value
    // longer than kLongestValue is refused (false, nothing added).
    bool add(Kind kind, const void* data, size_t size);
    // Ends the frame being built, with the picture checksum when one was taken. A frame whose
    // records are the same bytes as the frame before is counted instead of written.
    void end_frame(bool has_checksum, uint32_t checksum);
    // Writes out what is held back: a counted run of repeated frames and the readings after
    // the last frame end.
    void finish();
    // The deflated bytes coded since the last call. With flush, everything coded so far is in
    // them (a few bytes dearer than letting the deflater choose); after finish, the stream's
    // end is.
    std::vector<uint8_t> take_bytes(bool flush = true);

  private:
    struct Deflater;
    // A kind's previous value (empty before the first).
    struct KindState {
        std::vector<uint8_t> previous;
    };
    void flush_repeats();

    KindState kinds_[kKindLimit];
    // The records of the frame being built, and how many of them finish already wrote out.
    std::vector<uint8_t> frame_;
    size_t frame_written_ = 0;
    // The last frame written, frame end included: what a repeat stands for.
    std::vector<uint8_t> previous_frame_;
    bool has_previous_frame_ = false;
    uint64_t repeats_ = 0;
    std::vector<uint8_t> runs_;
    std::vector<uint8_t> output_;
    bool finished_ = false;
    std::unique_ptr<Deflater> deflater_;
};

// One step of a recording: a reading, or the end of a frame.
struct Entry {
    bool frame_end = false;
    // A reading's kind and value (valid until the next call of Decoder::next).
    Kind kind = Kind::kCounter;
    const uint8_t* data = nullptr;
    size_t size = 0;
    // A frame end's picture checksum, when one was taken.
    bool has_checksum = false;
    uint32_t checksum = 0;
};

// Reads a recording back, checking the whole file before the first step is handed out.
class Decoder {
  public:
    // Takes the file's bytes and checks the header and every record. False, with the offset in
    // the file of the first byte that cannot be read as what it should be (for a record, the
    // end of the deflated piece it came from), for a damaged, truncated or foreign file. A
    // file that ends between two records is whole, so is a stream cut after a flush.
    bool open(std::vector<uint8_t> file, size_t* damaged_at);
    const Header& header() const { return header_; }
    // The number of frames the recording holds, repeated frames counted.
    uint64_t frame_count() const { return frame_count_; }
    // The next step; false once the recording is over.
    bool next(Entry* entry);

  private:
    struct KindState {
        std::vector<uint8_t> previous;
    };

    // The inflated records.
    std::vector<uint8_t> file_;
    Header header_;
    uint64_t frame_count_ = 0;
    size_t records_start_ = 0;
    KindState kinds_[kKindLimit];
    size_t position_ = 0;
    // Where the frame being read starts, and the bytes of the frame before (its frame end
    // included), which a repeat reads again.
    size_t frame_start_ = 0;
    size_t previous_frame_start_ = 0;
    size_t previous_frame_end_ = 0;
    // Repetitions still to read, and where the file goes on after the repeat record.
    uint64_t repeats_left_ = 0;
    size_t repeat_resume_ = 0;
};

// A checksum of a picture's bytes, fast enough to take every frame.
uint32_t picture_checksum(const uint8_t* pixels, size_t size);

}  // namespace kvn::replay
