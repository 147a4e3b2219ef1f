// The renderer: the application window, its OpenGL context, display modes, the 2D view and
// the present with frame pacing.
#pragma once

#include <cstdint>

#include "platform/window.h"

namespace kvn {

// Called for each waiting message before it is removed and dispatched (may be null); a game
// sub.
using PumpHook = double (*)();

class VoruRERarudeve {
  public:
    VoruRERarudeve();
    // Releases the window and the context.
    virtual ~VoruRERarudeve();

    // Creates window and context, loads extensions, shows the window, resets the viewport.
    bool create(void* instance, int32_t width, int32_t height, int32_t colour_bits,
                int32_t frames_per_second, int32_t samples);
    // Leaves full screen and gives the window its framed style and size; returns 1.
    int32_t set_windowed();
    // Switches to an exact full-screen mode by re-creating the window without a frame.
    bool set_fullscreen();
    // Stores each non-zero size value, then switches to full screen or windowed.
    void set_mode(int32_t width, int32_t height, int32_t colour_bits, bool fullscreen_mode);
    // Viewport and 2D projection reset; w or h of 0 or less means the whole screen.
    void set_viewport(int32_t x, int32_t y, int32_t w, int32_t h);
    // Swaps, clears, pumps messages while waiting for the frame deadline; returns 1.
    int32_t present(PumpHook hook);
    // Pumps the window's waiting messages; returns 1.
    int32_t pump_messages(PumpHook hook);
    // Returns to windowed mode, detaches the context and destroys the window; returns 0.
    int32_t destroy_window();
    // Default 2D drawing state at the start of a frame: blending off, alpha test on, white.
    void start_next_frame();
    // Prepares the window for hiding (leaves full screen) and hides it.
    void hide_window();

    platform::Window* window = nullptr;
    void* instance = nullptr;
    platform::GlContext* gl_context = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t colour_bits = 0;
    bool fullscreen = false;
    int32_t context_ready = 0;
    int32_t viewport_x = 0;
    int32_t viewport_y = 0;
    int32_t viewport_w = 0;
    int32_t viewport_h = 0;
    uint8_t smooth = 1;
    float current_alpha = 0.0f;
    double frame_period_ms = 0.0;
    double next_frame_ms = 0.0;
    int32_t current_target = -1;
    // Colour keys of sprite and font loads (RGB integers).
    int32_t sprite_key = 0x8000FF;
    int32_t font_key = 0;

  private:
    // Creates a framed window of the stored size, centred on the screen.
    platform::Window* create_framed_window(int32_t samples);
    // Shows the software-renderer warning once per process when the context is not accelerated.
    void warn_if_software_renderer();
};

// The renderer every graphics command uses: the runtime's, handed over at start-up; null
// before start-up and after shutdown.
extern VoruRERarudeve* active_renderer;

// Frame period in ms for a frame rate: 1000 / fps when fps > 0, else 2 ms.
double frame_period_for(int32_t frames_per_second);
// Next present deadline after a present that finished at now.
double advance_frame_deadline(double next_frame_ms, double period_ms, double now_ms);

}  // namespace kvn
