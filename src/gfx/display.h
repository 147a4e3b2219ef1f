// The window and frame pacer: the application window, its OpenGL context, its size and depth,
// full screen and windowed modes, and the present with its deadline schedule. The one place
// that knows the window.
#pragma once

#include <cstdint>

#include "platform/window.h"

namespace kvn {

// Called for each waiting message before it is removed and dispatched (may be null); a game
// sub.
using PumpHook = double (*)();

class Display {
  public:
    Display();
    // Releases the window and the context.
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Creates the framed window and its context (a multisampled one when samples > 0 and the
    // driver has one), clears it and shows it; a size or depth of 0 takes the desktop's.
    bool open(void* instance, int32_t width, int32_t height, int32_t colour_bits,
              int32_t frames_per_second, int32_t samples);
    // Leaves full screen and gives the window its framed style and size.
    void set_windowed();
    // Switches to an exact full-screen mode by re-creating the window without a frame; false
    // (windowed again) when there is no such mode.
    bool set_fullscreen();
    // Stores each non-zero size value, then switches to full screen or windowed.
    void set_mode(int32_t width, int32_t height, int32_t colour_bits, bool fullscreen_mode);
    // Swaps and clears, then pumps messages while waiting for the frame deadline.
    void present(PumpHook hook);
    // Pumps the window's waiting messages.
    void pump_messages(PumpHook hook);
    // Returns to windowed mode, detaches the context and destroys the window.
    void close();
    // Leaves full screen and hides the window.
    void hide();

    platform::Window* window() const { return window_; }
    platform::GlContext* gl_context() const { return gl_context_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t colour_bits() const { return colour_bits_; }
    bool fullscreen() const { return fullscreen_; }
    double frame_period_ms() const { return frame_period_ms_; }
    void set_frame_period_ms(double period_ms) { frame_period_ms_ = period_ms; }
    // The deadline of the next present on the clock.
    double next_frame_ms() const { return next_frame_ms_; }
    void set_next_frame_ms(double deadline_ms) { next_frame_ms_ = deadline_ms; }

  private:
    // Creates a framed window of the stored size, centred on the screen.
    platform::Window* create_framed_window(int32_t samples);
    // Shows the software-renderer warning once per process when the context is not accelerated.
    void warn_if_software_renderer();

    platform::Window* window_ = nullptr;
    void* instance_ = nullptr;
    platform::GlContext* gl_context_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t colour_bits_ = 0;
    bool fullscreen_ = false;
    double frame_period_ms_ = 0.0;
    double next_frame_ms_ = 0.0;
};

// Frame period in ms for a frame rate: 1000 / fps when fps > 0, else 2 ms.
double frame_period_for(int32_t frames_per_second);
// Next present deadline after a present that finished at now.
double advance_frame_deadline(double next_frame_ms, double period_ms, double now_ms);

}  // namespace kvn
