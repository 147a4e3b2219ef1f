// The GL calls behind the state cache.
#include "gfx/gl_state.h"

#include <GL/gl.h>

#include "gfx/gl_extensions.h"

namespace kvn {

void GlState::select_unit(int32_t unit) {
    if (!cache_.change_active_unit(unit) || !gl::glActiveTextureARB) return;
    gl::glActiveTextureARB(unit == 0 ? GL_TEXTURE0_ARB : GL_TEXTURE1_ARB);
}

void GlState::set_texturing(int32_t unit, bool enabled) {
    if (!cache_.change_texturing(unit, enabled)) return;
    if (enabled) {
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

void GlState::set_bound_wrap(int32_t wrap) {
    const int64_t bound = cache_.binding(cache_.active_unit());
    if (bound >= 0 && !cache_.change_wrap(static_cast<uint32_t>(bound), wrap)) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

void GlState::bind(int32_t unit, uint32_t texture) {
    if (cache_.change_binding(unit, texture)) glBindTexture(GL_TEXTURE_2D, texture);
}

void GlState::bind_texture(int32_t unit, uint32_t texture, int32_t wrap) {
    bind(unit, texture);
    set_texturing(unit, true);
    set_bound_wrap(wrap);
}

void GlState::set_switch(GlSwitch which, bool enabled) {
    static constexpr GLenum kCapabilities[] = {GL_ALPHA_TEST, GL_BLEND, GL_COLOR_MATERIAL,
                                               GL_DITHER};
    if (!cache_.change_switch(which, enabled)) return;
    if (enabled) {
        glEnable(kCapabilities[static_cast<int>(which)]);
    } else {
        glDisable(kCapabilities[static_cast<int>(which)]);
    }
}

void GlState::set_blend_function(uint32_t source, uint32_t destination) {
    if (cache_.change_blend_function(static_cast<int32_t>(source),
                                        static_cast<int32_t>(destination))) {
        glBlendFunc(source, destination);
    }
}

void GlState::set_bound_filter(int32_t filter) {
    const int64_t bound = cache_.binding(cache_.active_unit());
    if (bound >= 0 && !cache_.change_filter(static_cast<uint32_t>(bound), filter)) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

}  // namespace kvn
