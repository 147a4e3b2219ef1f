// The recorder: one recording or replay per process, its file, the frame count and the
// picture checksums taken at each present.
#include "platform/journal.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/recording.h"

namespace kvn::platform {

namespace {

struct Recorder {
    journal::Mode mode = journal::Mode::kOff;
    uint64_t presented = 0;
    bool unrepeatable_picture = false;

    // Recording.
    std::FILE* file = nullptr;
    std::string path;
    replay::Encoder encoder;
    replay::Header header;
    bool header_written = false;
    uint32_t check_interval = 1;

    // Replay.
    replay::Decoder decoder;
    bool real_time = false;
    bool over = false;
    bool compare_pictures = true;
    bool renderer_checked = false;
    ReplayEndHandler end_handler = nullptr;
    bool end_handler_called = false;
    bool end_reported = false;
    std::vector<uint64_t> shot_frames;
    FrameShotWriter shot_writer = nullptr;
    uint64_t last_counter[replay::kKindLimit] = {};

    std::vector<uint8_t> pixels;
};

Recorder& recorder() {
    static Recorder* instance = new Recorder();  // outlives every exit handler
    return *instance;
}

std::string gl_text(GLenum name) {
    const char* text = reinterpret_cast<const char*>(glGetString(name));
    return text ? text : "";
}

// Frames between two flushes of the recording: a flush costs a few bytes, and a program that
// stops unexpectedly loses at most the frames since the last one.
constexpr uint64_t kFramesPerFlush = 60;

void write_out(Recorder& state, bool flush) {
    if (!state.file) return;
    std::vector<uint8_t> bytes;
    if (!state.header_written) {
        bytes = replay::encode_header(state.header);
        state.header_written = true;
    }
    std::vector<uint8_t> records = state.encoder.take_bytes(flush);
    bytes.insert(bytes.end(), records.begin(), records.end());
    if (bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), state.file) != bytes.size() ||
        std::fflush(state.file) != 0) {
        std::fprintf(stderr, "kvn: the recording %s could not be written; it stops here\n",
                     state.path.c_str());
        std::fclose(state.file);
        state.file = nullptr;
        state.mode = journal::Mode::kOff;
    }
}

// Reads the frame being presented (the back buffer, or the framebuffer bound for the
// present) into state.pixels as rows bottom to top, red, green, blue, alpha.
void read_presented_picture(Recorder& state, int width, int height) {
    state.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    GLint alignment = 4, row_length = 0, framebuffer = 0, read_buffer = GL_BACK;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &row_length);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    if (framebuffer == 0) {
        glGetIntegerv(GL_READ_BUFFER, &read_buffer);
        glReadBuffer(GL_BACK);
    }
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, state.pixels.data());
    if (framebuffer == 0) glReadBuffer(static_cast<GLenum>(read_buffer));
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glPixelStorei(GL_PACK_ROW_LENGTH, row_length);
}

void hand_out_shot(Recorder& state, uint64_t frame, int width, int height) {
    std::vector<uint8_t> bgra(state.pixels.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = state.pixels.data() + static_cast<size_t>(height - 1 - y) * row;
        uint8_t* target = bgra.data() + static_cast<size_t>(y) * row;
        for (size_t x = 0; x < row; x += 4) {
            target[x] = source[x + 2];
            target[x + 1] = source[x + 1];
            target[x + 2] = source[x];
            target[x + 3] = source[x + 3];
        }
    }
    state.shot_writer(frame, width, height, bgra);
}

// The recording is used up: the program ends through the runtime's handler.
void replay_ran_out(Recorder& state) {
    state.over = true;
    if (state.end_handler && !state.end_handler_called) {
        state.end_handler_called = true;
        state.end_handler();
    }
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08" PRIx32, value);
    return text;
}

void finish_at_exit() {
    recording_finish();
}

}  // namespace

namespace journal {

Mode mode() {
    return recorder().mode;
}

bool replay_real_time() {
    return recorder().real_time;
}

void put(Kind kind, const void* data, size_t size) {
    recorder().encoder.add(kind, data, size);
}

bool take(Kind kind, std::vector<uint8_t>* value) {
    Recorder& state = recorder();
    if (state.over) return false;
    replay::Entry entry;
    if (!state.decoder.next(&entry)) {
        replay_ran_out(state);
        return false;
    }
    if (entry.frame_end) {
        diverge(std::string("the program asked for ") + replay::kind_description(kind) +
                ", the recording's frame ends here");
    }
    if (entry.kind != kind) {
        diverge(std::string("the program asked for ") + replay::kind_description(kind) +
                ", the recording has " + replay::kind_description(entry.kind));
    }
    value->assign(entry.data, entry.data + entry.size);
    return true;
}

void diverge(const std::string& what) {
    std::fflush(stdout);
    std::fprintf(stderr, "replay diverged at frame %" PRIu64 ": %s\n", current_frame(),
                 what.c_str());
    std::fflush(stderr);
    std::_Exit(2);
}

void ValueReader::wrong_size() const {
    diverge(std::string("the recording has ") + replay::kind_description(kind_) +
            " of the wrong size");
}

uint64_t current_frame() {
    return recorder().presented + 1;
}

void frame_has_unrepeatable_picture() {
    recorder().unrepeatable_picture = true;
}

uint64_t report_counter(Kind kind, uint64_t (*live)()) {
    Recorder& state = recorder();
    uint64_t& last = state.last_counter[static_cast<int>(kind)];
    last = report<uint64_t>(
        kind, live, [](ValueWriter& w, uint64_t v) { w.u64(v); },
        [](ValueReader& r) { return r.u64(); }, last);
    return last;
}

void end_frame(int width, int height) {
    Recorder& state = recorder();
    const uint64_t frame = state.presented + 1;
    const bool unrepeatable = state.unrepeatable_picture;
    state.unrepeatable_picture = false;
    const bool drawable = width > 0 && height > 0;
    if (state.mode == Mode::kRecording) {
        if (!state.header_written) {
            state.header.gl_renderer = gl_text(GL_RENDERER);
            state.header.gl_version = gl_text(GL_VERSION);
        }
        const bool check = state.check_interval > 0 && drawable && !unrepeatable &&
                           (frame == 1 || frame % state.check_interval == 0);
        uint32_t checksum = 0;
        if (check) {
            read_presented_picture(state, width, height);
            checksum = replay::picture_checksum(state.pixels.data(), state.pixels.size());
        }
        state.encoder.end_frame(check, checksum);
        write_out(state, frame % kFramesPerFlush == 1);
    } else if (state.mode == Mode::kReplaying && !state.over) {
        if (!state.renderer_checked) {
            state.renderer_checked = true;
            const std::string renderer = gl_text(GL_RENDERER), version = gl_text(GL_VERSION);
            const replay::Header& header = state.decoder.header();
            if (renderer != header.gl_renderer || version != header.gl_version) {
                state.compare_pictures = false;
                std::fprintf(stderr,
                             "replay: the recording's pictures were drawn by %s (%s), this run "
                             "draws with %s (%s): input and clock are replayed, pictures are "
                             "not compared\n",
                             header.gl_renderer.c_str(), header.gl_version.c_str(),
                             renderer.c_str(), version.c_str());
            }
        }
        replay::Entry entry;
        if (!state.decoder.next(&entry)) {
            replay_ran_out(state);
            return;
        }
        if (!entry.frame_end) {
            diverge(std::string("the program presented its frame, the recording has ") +
                    replay::kind_description(entry.kind) + " next");
        }
        const bool shot = state.shot_writer && drawable &&
                          std::find(state.shot_frames.begin(), state.shot_frames.end(),
                                    frame) != state.shot_frames.end();
        const bool compare =
            entry.has_checksum && state.compare_pictures && drawable && !unrepeatable;
        if (shot || compare) read_presented_picture(state, width, height);
        if (compare) {
            const uint32_t checksum =
                replay::picture_checksum(state.pixels.data(), state.pixels.size());
            if (checksum != entry.checksum) {
                diverge("the picture's checksum is " + hex(checksum) + ", the recording's " +
                        hex(entry.checksum));
            }
        }
        if (shot) hand_out_shot(state, frame, width, height);
    }
    ++state.presented;
}

}  // namespace journal

bool recording_start(const std::string& path, uint32_t check_interval) {
    Recorder& state = recorder();
    state.file = std::fopen(path.c_str(), "wb");
    if (!state.file) {
        std::fprintf(stderr, "kvn: the recording %s cannot be created\n", path.c_str());
        return false;
    }
    state.path = path;
    state.check_interval = check_interval;
    state.mode = journal::Mode::kRecording;
    std::atexit(finish_at_exit);
    return true;
}

void replay_start(const std::string& path, bool real_time) {
    Recorder& state = recorder();
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) {
        uint8_t buffer[65536];
        size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + count);
        }
        const bool failed = std::ferror(file) != 0;
        std::fclose(file);
        if (failed) file = nullptr;
    }
    if (!file) {
        std::fprintf(stderr, "replay file %s cannot be read\n", path.c_str());
        std::_Exit(2);
    }
    size_t damaged_at = 0;
    if (!state.decoder.open(std::move(bytes), &damaged_at)) {
        std::fprintf(stderr, "replay file is damaged at byte %zu\n", damaged_at);
        std::_Exit(2);
    }
    state.real_time = real_time;
    state.mode = journal::Mode::kReplaying;
}

void recording_note_run(const RunFacts& facts) {
    replay::Header& header = recorder().header;
    header.runtime_version = facts.runtime_version;
    header.screen_width = facts.screen_width;
    header.screen_height = facts.screen_height;
    header.colour_bits = facts.colour_bits;
    header.frames_per_second = facts.frames_per_second;
    header.fullscreen = facts.fullscreen;
}

void recording_note_seed(int32_t seed) {
    Recorder& state = recorder();
    if (state.mode == journal::Mode::kRecording) {
        state.header.seed = seed;
    } else if (state.mode == journal::Mode::kReplaying && !state.over &&
               seed != state.decoder.header().seed) {
        journal::diverge("the start-up seed is " + std::to_string(seed) +
                         ", the recording's " + std::to_string(state.decoder.header().seed));
    }
}

void set_replay_end_handler(ReplayEndHandler handler) {
    recorder().end_handler = handler;
}

void set_replay_shots(const std::vector<uint64_t>& frames, FrameShotWriter writer) {
    recorder().shot_frames = frames;
    recorder().shot_writer = writer;
}

void recording_finish() {
    Recorder& state = recorder();
    if (state.mode == journal::Mode::kRecording) {
        state.encoder.finish();
        write_out(state, true);
        if (state.file) std::fclose(state.file);
        state.file = nullptr;
        state.mode = journal::Mode::kOff;
    } else if (state.mode == journal::Mode::kReplaying && !state.end_reported) {
        state.end_reported = true;
        state.over = true;
        std::fprintf(stderr, "replay ended at frame %" PRIu64 "\n", state.presented);
    }
}

}  // namespace kvn::platform
