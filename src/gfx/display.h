// The window and frame pacer: the application window, its OpenGL context, its size and depth,
// full screen and windowed modes, and the present with its deadline schedule. The one place
// that knows the window.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/window.h"

namespace kvn::platform {
// The scaling rule (platform/picture_scale.h, included by those who read its fields).
struct PictureScale;
enum class ScaleMode;
}  // namespace kvn::platform

namespace kvn {

// Called for each waiting message before it is removed and dispatched (may be null); a game
// sub.
using PumpHook = double (*)();

// How a scaled picture is copied into the window at each present.
enum class ScaledCopy {
    kBlit,          // a framebuffer blit
    kTexturedDraw,  // one textured quad over the picture's area
};

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
    // Leaves full screen and gives the window its framed style and its size: the program's
    // size times the window scale, the picture scaled when that is more than 1.
    void set_windowed();
    // Switches to an exact full-screen mode by re-creating the window without a frame. When
    // the display has no such mode (or KVN_FULLSCREEN=desktop), a borderless window covers the
    // desktop and the picture is scaled into it. False (windowed again) when neither works.
    bool set_fullscreen();
    // Stores each non-zero size value, then switches to full screen or windowed.
    void set_mode(int32_t width, int32_t height, int32_t colour_bits, bool fullscreen_mode);
    // Swaps and clears, then pumps messages while waiting for the frame deadline. A scaled
    // picture is first copied into the window with black bars around it.
    void present(PumpHook hook);
    // Copies the scaled picture into the window's back buffer (nothing while it is not
    // scaled); the present's copy, apart for measuring.
    void copy_picture_to_window();
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

    // True while the program draws into an off-screen picture of its own size that each
    // present scales into the window.
    bool scaled() const { return scaled_; }
    // The picture's place in the window while scaled.
    const platform::PictureScale& picture_scale() const { return *scale_; }
    // The framebuffer object of the picture last presented while scaled (0 otherwise).
    uint32_t presented_framebuffer() const;
    // The window's own size in pixels: the output while scaled, else the program's size.
    void output_size(int32_t* width, int32_t* height) const;
    // Where the picture is shown in the window (top-left origin): its scaled area while
    // scaled, else the whole window.
    void picture_area(int32_t* x, int32_t* y, int32_t* width, int32_t* height) const;
    // The copy each scaled present makes: the textured draw unless changed, as it is the cheaper
    // of the two on the software renderer (bench/scaling measures both).
    ScaledCopy scaled_copy() const { return copy_; }
    void set_scaled_copy(ScaledCopy copy) { copy_ = copy; }

  private:
    // Creates a framed window of the stored size, centred on the screen.
    platform::Window* create_framed_window(int32_t samples);
    // Shows the software-renderer warning once per process when the context is not accelerated.
    void warn_if_software_renderer();
    // The program's picture scaled into an output of this size with the rule; false (nothing
    // scaled, the reason on standard error) when off-screen pictures cannot be made.
    bool start_scaling(int32_t output_width, int32_t output_height, platform::ScaleMode mode);
    // Draws into the window itself again and releases the off-screen pictures.
    void end_scaling();
    // Covers the desktop with a borderless window and scales the picture into it; false
    // (nothing changed) when that cannot be done.
    bool set_desktop_fullscreen(int32_t desktop_width, int32_t desktop_height);
    // Makes the two off-screen pictures of the program's size; false when they cannot be.
    bool make_pictures();
    // Deletes the off-screen pictures.
    void release_pictures();
    // Draws into the picture being drawn.
    void bind_drawing_picture() const;
    // Paints the bars around the picture's area black.
    void clear_bars() const;
    // The copy into the window as a framebuffer blit, or as one textured quad.
    void blit_picture() const;
    void draw_picture_textured() const;

    // An off-screen picture the program draws into while scaled: a texture of its size
    // without alpha (as the window has none) behind a framebuffer object.
    struct Picture {
        uint32_t framebuffer = 0;
        uint32_t texture = 0;
    };

    platform::Window* window_ = nullptr;
    void* instance_ = nullptr;
    platform::GlContext* gl_context_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t colour_bits_ = 0;
    bool fullscreen_ = false;
    double frame_period_ms_ = 0.0;
    double next_frame_ms_ = 0.0;

    bool scaled_ = false;
    std::unique_ptr<platform::PictureScale> scale_;
    // Two pictures taking turns: one being drawn, the other the one last presented, which
    // save_screen reads.
    Picture pictures_[2];
    int drawing_ = 0;
    int32_t picture_width_ = 0;
    int32_t picture_height_ = 0;
    ScaledCopy copy_ = ScaledCopy::kTexturedDraw;
    // The window size set_windowed last gave (the program's size times the window scale).
    int32_t given_width_ = 0;
    int32_t given_height_ = 0;
};

// The scaled-display settings of the run, read once: KVN_SCALE, KVN_WINDOW_SCALE and
// KVN_FULLSCREEN=desktop.
platform::ScaleMode configured_scale_mode();
int32_t configured_window_scale();
bool desktop_fullscreen_wanted();

// Frame period in ms for a frame rate: 1000 / fps when fps > 0, else 2 ms.
double frame_period_for(int32_t frames_per_second);
// Next present deadline after a present that finished at now.
double advance_frame_deadline(double next_frame_ms, double period_ms, double now_ms);

}  // namespace kvn
