// Media players for background music and movies (libmpv underneath): one player per media
// window, times in milliseconds. The player hides the media library's quirks: it opens
// synchronously, keeps the file open at its end, reports the length as the position once the
// end is reached and the target of a seek as the position right after it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kvn::platform {

struct MediaRectangle {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class MediaKind {
    kMusic,  // sound only, no video output
    kMovie,  // video rendered into the current GL context
};

class MediaPlayer {
  public:
    // Opens the file (made absolute here, so a name is never taken for a protocol) and waits
    // until it is loaded, paused at its start. A movie needs the window's GL context current.
    // Null (and the reason on standard error) when the player cannot be made or the file
    // does not load.
    static std::unique_ptr<MediaPlayer> open(const std::string& path, MediaKind kind);
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;
    // Closes the file and releases the player (the GL context must be current for a movie).
    ~MediaPlayer();

    // Always 0: every medium starts at 0 ms.
    int64_t start_ms() const { return 0; }
    // The duration in ms (0 when unknown).
    int64_t length_ms();
    // start + length.
    int64_t end_ms() { return start_ms() + length_ms(); }
    // The playback position in ms; the length once the end is reached, the target of the last
    // seek until playback has moved on from it.
    int64_t position_ms();
    // Plays from the current position; false when the player refused.
    bool play();
    // Seeks to the position in ms (-1 = the start).
    void seek_ms(int64_t position);
    // Pauses and returns to the start.
    void stop();
    // The volume in thousandths, clamped to 0..1000.
    void set_volume(int32_t thousandths);
    // The volume in thousandths as the player has it.
    int32_t volume();
    // The size of the video's frames; false when the medium has no video.
    bool source_size(int* width, int* height);
    // Where render_frame draws the video inside the window's client area (y downwards).
    void set_destination(const MediaRectangle& rectangle);
    // Keeps the picture (rows top to bottom, blue, green, red, alpha) to be drawn around the
    // video by every render_frame; needs the GL context current.
    void keep_picture(int width, int height, const std::vector<uint8_t>& bgra);
    // Where the kept picture is drawn (y downwards), the rest of the window black; unset, the
    // picture covers the whole window.
    void set_picture_area(const MediaRectangle& rectangle);
    // Keeps what is drawn in the back buffer (the game's drawing since its last frame).
    void keep_back_buffer(int width, int height);
    // Puts the kept back buffer back, so the movie leaves the game's drawing as it was.
    void restore_back_buffer();
    // True when a new video frame is waiting to be drawn. Never blocks.
    bool frame_ready();
    // Draws the kept picture and the newest video frame into the back buffer of the current
    // GL context (the caller swaps), restoring the GL state afterwards. Never waits for the
    // frame's display time. False when nothing could be drawn.
    bool render_frame(int window_width, int window_height);

  private:
    // The player's handles and what it last reported; defined beside the player's code.
    struct State;

    MediaPlayer();

    std::unique_ptr<State> state_;
};

}  // namespace kvn::platform
