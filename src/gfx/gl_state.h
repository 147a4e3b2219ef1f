// The GL state the renderer sets: texture units, bindings, texture parameters, switches and
// the blend function, each sent only when it differs from what was last sent (a repeated call
// would also end the driver's batching of the draws around it).
#pragma once

#include <cstdint>

#include "gfx/gl_state_cache.h"

namespace kvn {

class GlState {
  public:
    // Selects a texture unit (0 or 1; unit 1 only with multitexture).
    void select_unit(int32_t unit);
    // 2D texturing on or off on the active unit, which is unit.
    void set_texturing(int32_t unit, bool enabled);
    // Binds a texture on the active unit, which is unit.
    void bind(int32_t unit, uint32_t texture);
    // bind, texturing on, and the texture's wrap mode.
    void bind_texture(int32_t unit, uint32_t texture, int32_t wrap);
    // Wrap mode (S and T) of the texture bound to the active unit.
    void set_bound_wrap(int32_t wrap);
    // Magnification and minification filter of the texture bound to the active unit.
    void set_bound_filter(int32_t filter);
    // Turns a followed switch (alpha test, blending, colour material, dithering) on or off.
    void set_switch(GlSwitch which, bool enabled);
    void set_blend_function(uint32_t source, uint32_t destination);
    // True when 2D texturing on a unit is known to be as given.
    bool holds_texturing(int32_t unit, bool enabled) const {
        return cache_.holds_texturing(unit, enabled);
    }
    // Forgets what GL is known to hold: the next setting of each kind is sent.
    void invalidate() { cache_.invalidate(); }

  private:
    GlStateCache cache_;
};

}  // namespace kvn
