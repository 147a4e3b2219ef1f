// The off-screen target records: which sprite slot each target draws into, its framebuffer
// object when the driver has them, and which target is selected.
#pragma once

#include <cstdint>

namespace kvn {

// Number of off-screen target records.
constexpr int32_t kTargetCount = 32;
// Sprite slot that keeps the screen area under a fall-back target while it is selected.
constexpr int32_t kTargetScratchSlot = 65503;

// An off-screen target: a sprite slot that drawing can be redirected into. fb_width 0 means no
// framebuffer object (fall-back mode: drawing happens on the screen and is copied into the slot).
struct OffscreenTarget {
    uint32_t framebuffer = 0;
    uint32_t depth_buffer = 0;
    int32_t saved_binding = 0;
    int32_t fb_width = 0;
    int32_t fb_height = 0;
    int32_t slot = 0;
    // Set by make; a record never made cannot be selected.
    bool created = false;
};

class OffscreenTargets {
  public:
    // Record n (0..kTargetCount-1).
    const OffscreenTarget& record(int32_t n) const { return targets_[n]; }
    // The selected target, -1 for the screen.
    int32_t current() const { return current_; }
    // The selected target when it draws into a framebuffer object, else null.
    const OffscreenTarget* framebuffer_target() const;

    // Makes record n draw into slot, whose texture of e x f texels becomes the colour of a
    // framebuffer object with a depth buffer when the driver allows (else fall-back mode).
    void make(int32_t n, int32_t slot, uint32_t texture, int32_t e, int32_t f);
    // Selects target n; a framebuffer target is bound with the texture attached, the binding
    // before it kept.
    void select(int32_t n, uint32_t texture);
    // Selects the screen; a framebuffer target's earlier binding comes back.
    void deselect();
    // Deletes record n's framebuffer objects (while the context is ready) and clears it.
    void release(int32_t n, bool context_ready);

  private:
    // Gives the target a framebuffer object of e x f with a depth buffer over texture; false
    // leaves it in fall-back mode.
    static bool make_framebuffer(OffscreenTarget* target, uint32_t texture, int32_t e, int32_t f);

    OffscreenTarget targets_[kTargetCount];
    int32_t current_ = -1;
};

}  // namespace kvn
