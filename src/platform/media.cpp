// Media players over libmpv. Movies render through mpv's OpenGL render API into a texture of
// their own, which is then copied into the destination rectangle of the window's back buffer.
#include "platform/media.h"

#include <mpv/client.h>
#include <mpv/render_gl.h>

#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>

#include "platform/journal.h"
#include "platform/window.h"

namespace kvn::platform {

namespace {

// Loading a file takes a few ms; a broken one is given up on after this.
constexpr std::chrono::seconds kLoadTimeout{10};
// How long a loaded file is given to tell its length and frame size.
constexpr std::chrono::seconds kDetailsTimeout{2};
// How long a seek's target stands in for a position that has not moved yet.
constexpr std::chrono::milliseconds kSeekSettleTime{500};

// The ids of the observed properties.
enum ObservedProperty : uint64_t { kTimePos, kEofReached, kDuration, kWidth, kHeight };

void report(const char* what, const std::string& reason) {
    std::fprintf(stderr, "kvn: %s: %s\n", what, reason.c_str());
}

// The entry points beyond GL 1.1 the movie copy needs, fetched once per process through the
// window's loader.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC gen_framebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC delete_framebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bind_framebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebuffer_texture_2d = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC check_framebuffer_status = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blit_framebuffer = nullptr;
    PFNGLUSEPROGRAMPROC use_program = nullptr;
    PFNGLBINDBUFFERPROC bind_buffer = nullptr;
    PFNGLBINDVERTEXARRAYPROC bind_vertex_array = nullptr;
    PFNGLACTIVETEXTUREPROC active_texture = nullptr;
    bool loaded = false;

    bool complete() const {
        return gen_framebuffers && delete_framebuffers && bind_framebuffer &&
               framebuffer_texture_2d && check_framebuffer_status && blit_framebuffer &&
               use_program && bind_buffer && bind_vertex_array && active_texture;
    }
};

template <typename Function>
void fetch(Function* function, const char* name) {
    *function = reinterpret_cast<Function>(gl_proc_address(name));
}

const FramebufferCalls& gl_calls() {
    static FramebufferCalls calls;
    if (!calls.loaded && gl_context_current()) {
        fetch(&calls.gen_framebuffers, "glGenFramebuffers");
        fetch(&calls.delete_framebuffers, "glDeleteFramebuffers");
        fetch(&calls.bind_framebuffer, "glBindFramebuffer");
        fetch(&calls.framebuffer_texture_2d, "glFramebufferTexture2D");
        fetch(&calls.check_framebuffer_status, "glCheckFramebufferStatus");
        fetch(&calls.blit_framebuffer, "glBlitFramebuffer");
        fetch(&calls.use_program, "glUseProgram");
        fetch(&calls.bind_buffer, "glBindBuffer");
        fetch(&calls.bind_vertex_array, "glBindVertexArray");
        fetch(&calls.active_texture, "glActiveTexture");
        calls.loaded = true;
    }
    return calls;
}

void* mpv_proc_address(void*, const char* name) {
    return gl_proc_address(name);
}

// The GL state mpv's renderer and the copies change, saved before and put back after.
class SavedGlState {
  public:
    explicit SavedGlState(const FramebufferCalls& calls) : calls_(calls) {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw_framebuffer_);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read_framebuffer_);
        glGetIntegerv(GL_CURRENT_PROGRAM, &program_);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &array_buffer_);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertex_array_);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &active_texture_);
        calls_.active_texture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
        glGetIntegerv(GL_READ_BUFFER, &read_buffer_);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    }
    ~SavedGlState() {
        glPopClientAttrib();
        glPopAttrib();
        calls_.bind_vertex_array(static_cast<GLuint>(vertex_array_));
        calls_.bind_buffer(GL_ARRAY_BUFFER, static_cast<GLuint>(array_buffer_));
        calls_.use_program(static_cast<GLuint>(program_));
        calls_.bind_framebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw_framebuffer_));
        calls_.bind_framebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_framebuffer_));
        glReadBuffer(static_cast<GLenum>(read_buffer_));
        calls_.active_texture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
        calls_.active_texture(static_cast<GLenum>(active_texture_));
    }
    SavedGlState(const SavedGlState&) = delete;
    SavedGlState& operator=(const SavedGlState&) = delete;

  private:
    const FramebufferCalls& calls_;
    GLint draw_framebuffer_ = 0, read_framebuffer_ = 0, program_ = 0, array_buffer_ = 0;
    GLint vertex_array_ = 0, active_texture_ = 0, texture_ = 0, read_buffer_ = 0;
};

}  // namespace

struct MediaPlayer::State {
    // A GL framebuffer drawing into a texture of its own.
    struct TextureTarget {
        uint32_t framebuffer = 0;
        uint32_t texture = 0;
        int width = 0;
        int height = 0;
    };

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State();

    bool start(const std::string& path, MediaKind kind);
    // Takes the player's news (observed properties, a seek's completion) into the fields.
    void take_event(const mpv_event& event);
    void drain_events();
    // Makes (or re-sizes) the target; false when the GL cannot.
    bool ensure_target(TextureTarget* target, int width, int height);
    // Copies the whole target into that rectangle of the back buffer (rows upwards).
    void copy_to_window(const TextureTarget& source, int x, int y, int width, int height);

    int64_t length_ms();
    int64_t position_ms();
    bool play();
    void seek_ms(int64_t position);
    void stop();
    void set_volume(int32_t thousandths);
    int32_t volume();
    bool source_size(int* width, int* height);
    void keep_picture(int width, int height, const std::vector<uint8_t>& bgra);
    void keep_back_buffer(int width, int height);
    void restore_back_buffer();
    bool frame_ready();
    bool render_frame(int window_width, int window_height);

    mpv_handle* mpv_ = nullptr;
    mpv_render_context* render_ = nullptr;
    std::atomic<bool> render_update_{false};
    MediaRectangle destination_;
    // Where the kept picture goes; empty: the whole window.
    MediaRectangle picture_area_;
    // The seek target reported until playback moves on; -1 when none.
    int64_t seek_target_ms_ = -1;
    // The seek has completed; the next position reported is the new one.
    bool seek_settled_ = true;
    std::chrono::steady_clock::time_point seek_time_;
    // The observed properties as last reported (duration -1 until known).
    double time_pos_seconds_ = 0.0;
    double duration_seconds_ = -1.0;
    bool eof_reached_ = false;
    int width_ = 0;
    int height_ = 0;
    // A video frame announced and not drawn yet.
    bool frame_pending_ = false;
    // The movie's frame, the kept picture (rows bottom to top) and the kept back buffer.
    TextureTarget movie_;
    TextureTarget picture_;
    TextureTarget back_buffer_;
};

MediaPlayer::MediaPlayer() : state_(std::make_unique<State>()) {}

MediaPlayer::~MediaPlayer() = default;

// The players' answers pass through the recorder, as every other report from outside: a
// replay opens and drives the real player (a movie still draws its frames) but the program
// sees the recorded answers. A frame a movie drew into cannot be drawn again exactly, so it
// gets no picture checksum.
std::unique_ptr<MediaPlayer> MediaPlayer::open(const std::string& path, MediaKind kind) {
    std::unique_ptr<MediaPlayer> player(new MediaPlayer());
    const bool started = player->state_->start(path, kind);
    const bool opened =
        journal::report_flag(journal::Kind::kMediaOpen, [started] { return started; });
    if (opened && !started) journal::diverge("the media file " + path + " did not open");
    if (!opened) return nullptr;
    return player;
}

namespace {

int64_t report_milliseconds(journal::Kind kind, int64_t live) {
    return static_cast<int64_t>(journal::report<uint64_t>(
        kind, [live] { return static_cast<uint64_t>(live); },
        [](journal::ValueWriter& w, uint64_t v) { w.u64(v); },
        [](journal::ValueReader& r) { return r.u64(); }, 0));
}

}  // namespace

int64_t MediaPlayer::length_ms() {
    return report_milliseconds(journal::Kind::kMediaLength, state_->length_ms());
}
int64_t MediaPlayer::position_ms() {
    return report_milliseconds(journal::Kind::kMediaPosition, state_->position_ms());
}
bool MediaPlayer::play() {
    const bool played = state_->play();
    return journal::report_flag(journal::Kind::kMediaPlay, [played] { return played; });
}
void MediaPlayer::seek_ms(int64_t position) {
    state_->seek_ms(position);
}
void MediaPlayer::stop() {
    state_->stop();
}
void MediaPlayer::set_volume(int32_t thousandths) {
    state_->set_volume(thousandths);
}
int32_t MediaPlayer::volume() {
    const int32_t live = state_->volume();
    return journal::report_int(journal::Kind::kMediaVolume, [live] { return live; });
}
bool MediaPlayer::source_size(int* width, int* height) {
    int live_width = 0, live_height = 0;
    const bool live = state_->source_size(&live_width, &live_height);
    struct Size {
        bool known = false;
        int32_t width = 0, height = 0;
    };
    const Size size = journal::report<Size>(
        journal::Kind::kMediaSourceSize, [&] { return Size{live, live_width, live_height}; },
        [](journal::ValueWriter& w, const Size& v) {
            w.u8(v.known ? 1 : 0).i32(v.width).i32(v.height);
        },
        [](journal::ValueReader& r) {
            Size v;
            v.known = r.u8() != 0;
            v.width = r.i32();
            v.height = r.i32();
            return v;
        },
        Size{});
    if (!size.known) return false;
    *width = size.width;
    *height = size.height;
    return true;
}
void MediaPlayer::set_destination(const MediaRectangle& rectangle) {
    state_->destination_ = rectangle;
}
void MediaPlayer::keep_picture(int width, int height, const std::vector<uint8_t>& bgra) {
    state_->keep_picture(width, height, bgra);
}
void MediaPlayer::set_picture_area(const MediaRectangle& rectangle) {
    state_->picture_area_ = rectangle;
}
void MediaPlayer::keep_back_buffer(int width, int height) {
    state_->keep_back_buffer(width, height);
}
void MediaPlayer::restore_back_buffer() {
    state_->restore_back_buffer();
}
bool MediaPlayer::frame_ready() {
    const bool live = state_->frame_ready();
    return journal::report_flag(journal::Kind::kMediaFrameReady, [live] { return live; });
}
bool MediaPlayer::render_frame(int window_width, int window_height) {
    journal::frame_has_unrepeatable_picture();
    const bool live = state_->render_frame(window_width, window_height);
    return journal::report_flag(journal::Kind::kMediaRender, [live] { return live; });
}

bool MediaPlayer::State::start(const std::string& path, MediaKind kind) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error || !std::filesystem::is_regular_file(absolute, error)) {
        report("media", "not a file: " + path);
        return false;
    }
    mpv_ = mpv_create();
    if (!mpv_) {
        report("media", "no player");
        return false;
    }
    // Quiet, self-contained, paused at the start and kept open at the end (so that "seek to
    // start, play" restarts it). The output list ends in the null output so sound plays in
    // real time without a sound card; SDL stays out, as the runtime's own audio uses it.
    // Kept open, the player pauses as soon as the last sound is handed to the output, so
    // the output's buffers are kept short or the end of the sound would be cut off.
    const char* const options[][2] = {
        {"config", "no"},          {"terminal", "no"},
        {"input-default-bindings", "no"}, {"input-vo-keyboard", "no"},
        {"osc", "no"},             {"load-scripts", "no"},
        {"ytdl", "no"},            {"hwdec", "no"},
        {"keep-open", "yes"},      {"pause", "yes"},
        {"idle", "yes"},           {"sub-auto", "no"},
        {"audio-display", "no"},   {"ao", "pulse,alsa,null"},
        {"audio-buffer", "0"},     {"ao-null-buffer", "0.02"},
        {"vo", kind == MediaKind::kMovie ? "libmpv" : "null"},
        {"vid", kind == MediaKind::kMovie ? "auto" : "no"},
        // The plain rendering path: its shaders build fast on a software GL.
        {"gpu-dumb-mode", "yes"},  {"gpu-hwdec-interop", "no"},
    };
    for (const auto& option : options) {
        if (mpv_set_option_string(mpv_, option[0], option[1]) < 0) {
            report("media", std::string("option refused: ") + option[0]);
        }
    }
    if (const int status = mpv_initialize(mpv_); status < 0) {
        report("media", mpv_error_string(status));
        return false;
    }
    if (kind == MediaKind::kMovie) {
        if (!gl_calls().complete()) {
            report("media", "no framebuffer objects for movies");
            return false;
        }
        mpv_opengl_init_params gl_init{mpv_proc_address, nullptr};
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
            {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl_init},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        SavedGlState saved(gl_calls());
        if (const int status = mpv_render_context_create(&render_, mpv_, params); status < 0) {
            report("media", std::string("movie renderer: ") + mpv_error_string(status));
            render_ = nullptr;
            return false;
        }
        mpv_render_context_set_update_callback(
            render_,
            [](void* self) { static_cast<State*>(self)->render_update_ = true; }, this);
    }
    // Position, end, length and frame size arrive as events: reading them never waits for
    // the player's core, which may be waiting for the next frame to be rendered.
    const char* const observed[] = {"time-pos", "eof-reached", "duration", "width", "height"};
    for (uint64_t id = 0; id < std::size(observed); ++id) {
        const mpv_format format = id == kEofReached ? MPV_FORMAT_FLAG
                                  : id >= kWidth    ? MPV_FORMAT_INT64
                                                    : MPV_FORMAT_DOUBLE;
        mpv_observe_property(mpv_, id, observed[id], format);
    }
    const std::string file = absolute.string();
    const char* command[] = {"loadfile", file.c_str(), nullptr};
    if (const int status = mpv_command(mpv_, command); status < 0) {
        report("media", mpv_error_string(status));
        return false;
    }
    // Loaded, then its length and, for a movie, its frame size (known once the first frame
    // is decoded); a medium that never tells them plays with what is known.
    const auto now = [] { return std::chrono::steady_clock::now(); };
    const auto give_up = now() + kLoadTimeout;
    auto details_give_up = give_up;
    bool loaded = false;
    while (now() < give_up) {
        const mpv_event* event = mpv_wait_event(mpv_, 0.05);
        if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_SHUTDOWN) break;
        if (event->event_id == MPV_EVENT_FILE_LOADED) {
            loaded = true;
            details_give_up = now() + kDetailsTimeout;
        }
        take_event(*event);
        const bool sized = kind == MediaKind::kMusic || (width_ > 0 && height_ > 0);
        if (loaded && ((duration_seconds_ >= 0.0 && sized) || now() > details_give_up)) {
            return true;
        }
    }
    report("media", "cannot play " + file);
    return false;
}

MediaPlayer::State::~State() {
    const bool gl_objects = render_ || movie_.framebuffer || picture_.framebuffer ||
                            back_buffer_.framebuffer;
    if (gl_objects && gl_context_current()) {
        SavedGlState saved(gl_calls());
        if (render_) mpv_render_context_free(render_);
        for (TextureTarget* target : {&movie_, &picture_, &back_buffer_}) {
            if (target->framebuffer) gl_calls().delete_framebuffers(1, &target->framebuffer);
            if (target->texture) glDeleteTextures(1, &target->texture);
        }
    } else if (render_) {
        mpv_render_context_free(render_);
    }
    if (mpv_) mpv_terminate_destroy(mpv_);
}

bool MediaPlayer::State::ensure_target(TextureTarget* target, int width, int height) {
    const FramebufferCalls& calls = gl_calls();
    if (target->framebuffer && target->width == width && target->height == height) return true;
    if (!target->framebuffer) {
        calls.gen_framebuffers(1, &target->framebuffer);
        glGenTextures(1, &target->texture);
    }
    glBindTexture(GL_TEXTURE_2D, target->texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    calls.bind_framebuffer(GL_FRAMEBUFFER, target->framebuffer);
    calls.framebuffer_texture_2d(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                 target->texture, 0);
    const bool complete =
        calls.check_framebuffer_status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    target->width = complete ? width : 0;
    target->height = complete ? height : 0;
    return complete;
}

void MediaPlayer::State::copy_to_window(const TextureTarget& source, int x, int y, int width,
                                 int height) {
    const FramebufferCalls& calls = gl_calls();
    glDisable(GL_SCISSOR_TEST);
    calls.bind_framebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    calls.bind_framebuffer(GL_READ_FRAMEBUFFER, source.framebuffer);
    calls.blit_framebuffer(0, 0, source.width, source.height, x, y, x + width, y + height,
                           GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

void MediaPlayer::State::take_event(const mpv_event& event) {
    if (event.event_id == MPV_EVENT_PLAYBACK_RESTART) seek_settled_ = true;
    if (event.event_id != MPV_EVENT_PROPERTY_CHANGE) return;
    const auto* property = static_cast<const mpv_event_property*>(event.data);
    const bool present = property->format != MPV_FORMAT_NONE && property->data;
    switch (event.reply_userdata) {
        case kTimePos:
            time_pos_seconds_ = present ? *static_cast<const double*>(property->data) : 0.0;
            // A completed seek counts from the first position reported after it.
            if (seek_settled_) seek_target_ms_ = -1;
            break;
        case kEofReached:
            eof_reached_ = present && *static_cast<const int*>(property->data) != 0;
            break;
        case kDuration:
            if (present) duration_seconds_ = *static_cast<const double*>(property->data);
            break;
        case kWidth:
            width_ = present ? static_cast<int>(*static_cast<const int64_t*>(property->data)) : 0;
            break;
        case kHeight:
            height_ = present ? static_cast<int>(*static_cast<const int64_t*>(property->data)) : 0;
            break;
        default:
            break;
    }
}

void MediaPlayer::State::drain_events() {
    for (;;) {
        const mpv_event* event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE) break;
        take_event(*event);
    }
}

int64_t MediaPlayer::State::length_ms() {
    drain_events();
    const double seconds = duration_seconds_;
    return std::isfinite(seconds) && seconds > 0.0 ? std::llround(seconds * 1000.0) : 0;
}

int64_t MediaPlayer::State::position_ms() {
    drain_events();
    if (seek_target_ms_ >= 0) {
        // Right after a seek the player still reports the old position.
        if (std::chrono::steady_clock::now() < seek_time_ + kSeekSettleTime) {
            return seek_target_ms_;
        }
        seek_target_ms_ = -1;
    }
    // At the end a video stays on its last frame, below the length.
    if (eof_reached_) return length_ms();
    const double seconds = time_pos_seconds_;
    return std::isfinite(seconds) && seconds > 0.0 ? std::llround(seconds * 1000.0) : 0;
}

bool MediaPlayer::State::play() {
    int paused = 0;
    return mpv_set_property_async(mpv_, 0, "pause", MPV_FORMAT_FLAG, &paused) >= 0;
}

void MediaPlayer::State::seek_ms(int64_t position) {
    const int64_t target = std::max<int64_t>(position, 0);
    const std::string seconds = std::to_string(static_cast<double>(target) / 1000.0);
    const char* command[] = {"seek", seconds.c_str(), "absolute+exact", nullptr};
    if (mpv_command_async(mpv_, 0, command) < 0) return;
    drain_events();
    seek_target_ms_ = target;
    seek_settled_ = false;
    seek_time_ = std::chrono::steady_clock::now();
    eof_reached_ = false;
}

void MediaPlayer::State::stop() {
    int paused = 1;
    mpv_set_property_async(mpv_, 0, "pause", MPV_FORMAT_FLAG, &paused);
    seek_ms(-1);
}

void MediaPlayer::State::set_volume(int32_t thousandths) {
    double percent = std::clamp(thousandths, 0, 1000) / 10.0;
    mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &percent);
}

int32_t MediaPlayer::State::volume() {
    double percent = 0.0;
    if (mpv_get_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &percent) < 0) return 0;
    return static_cast<int32_t>(std::lround(percent * 10.0));
}

bool MediaPlayer::State::source_size(int* width, int* height) {
    drain_events();
    if (width_ <= 0 || height_ <= 0) return false;
    *width = width_;
    *height = height_;
    return true;
}

void MediaPlayer::State::keep_picture(int width, int height, const std::vector<uint8_t>& bgra) {
    const FramebufferCalls& calls = gl_calls();
    if (!calls.complete() || width <= 0 || height <= 0 ||
        bgra.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4u) {
        return;
    }
    SavedGlState saved(calls);
    if (!ensure_target(&picture_, width, height)) return;
    // GL counts rows upwards: the picture's rows go in from the last to the first.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, picture_.texture);
    for (int row = 0; row < height; ++row) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, height - 1 - row, width, 1, GL_BGRA,
                        GL_UNSIGNED_BYTE, bgra.data() + static_cast<size_t>(row) * width * 4u);
    }
}

void MediaPlayer::State::keep_back_buffer(int width, int height) {
    const FramebufferCalls& calls = gl_calls();
    if (!calls.complete() || width <= 0 || height <= 0) return;
    SavedGlState saved(calls);
    if (!ensure_target(&back_buffer_, width, height)) return;
    glDisable(GL_SCISSOR_TEST);
    calls.bind_framebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    calls.bind_framebuffer(GL_DRAW_FRAMEBUFFER, back_buffer_.framebuffer);
    calls.blit_framebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                           GL_NEAREST);
}

void MediaPlayer::State::restore_back_buffer() {
    if (!back_buffer_.framebuffer) return;
    SavedGlState saved(gl_calls());
    copy_to_window(back_buffer_, 0, 0, back_buffer_.width, back_buffer_.height);
}

bool MediaPlayer::State::frame_ready() {
    if (!render_) return false;
    if (render_update_.exchange(false) &&
        (mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME)) {
        frame_pending_ = true;
    }
    return frame_pending_;
}

bool MediaPlayer::State::render_frame(int window_width, int window_height) {
    const FramebufferCalls& calls = gl_calls();
    const MediaRectangle& to = destination_;
    if (!render_ || !calls.complete() || to.width <= 0 || to.height <= 0) return false;
    SavedGlState saved(calls);
    if (!ensure_target(&movie_, to.width, to.height)) return false;
    frame_ready();
    frame_pending_ = false;
    mpv_opengl_fbo target{static_cast<int>(movie_.framebuffer), to.width, to.height, 0};
    int flip = 1;
    int block = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &target},
        {MPV_RENDER_PARAM_FLIP_Y, &flip},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_render(render_, params) < 0) return false;
    if (picture_.framebuffer) {
        const MediaRectangle& area = picture_area_;
        if (area.width > 0 && area.height > 0) {
            // Black around the picture's area, as in the frames around the movie.
            calls.bind_framebuffer(GL_DRAW_FRAMEBUFFER, 0);
            glDrawBuffer(GL_BACK);
            glDisable(GL_SCISSOR_TEST);
            GLfloat clear_colour[4] = {};
            glGetFloatv(GL_COLOR_CLEAR_VALUE, clear_colour);
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            glClearColor(clear_colour[0], clear_colour[1], clear_colour[2], clear_colour[3]);
            copy_to_window(picture_, area.x, window_height - area.y - area.height, area.width,
                           area.height);
        } else {
            copy_to_window(picture_, 0, 0, window_width, window_height);
        }
    }
    // The window's rows count upwards.
    copy_to_window(movie_, to.x, window_height - to.y - to.height, to.width, to.height);
    return true;
}

}  // namespace kvn::platform
