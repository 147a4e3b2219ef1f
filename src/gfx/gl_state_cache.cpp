// Bookkeeping of the GL state the renderer has set.
#include "gfx/gl_state_cache.h"

#include <cstddef>
#include <new>

#include "kvn/base.h"

namespace kvn {

namespace {

// Records value in known and tells whether it differed.
template <typename Known, typename Value>
bool change(Known* known, Value value) {
    if (*known == static_cast<Known>(value)) return false;
    *known = static_cast<Known>(value);
    return true;
}

bool valid_unit(int32_t unit) {
    return unit == 0 || unit == 1;
}

}  // namespace

bool GlStateCache::change_active_unit(int32_t unit) {
    return change(&active_unit_, unit);
}

bool GlStateCache::change_texturing(int32_t unit, bool enabled) {
    if (!valid_unit(unit)) return true;
    return change(&texturing_[unit], enabled ? 1 : 0);
}

bool GlStateCache::change_binding(int32_t unit, uint32_t texture) {
    if (!valid_unit(unit)) return true;
    return change(&binding_[unit], int64_t{texture});
}

bool GlStateCache::holds_texturing(int32_t unit, bool enabled) const {
    return valid_unit(unit) && texturing_[unit] == (enabled ? 1 : 0);
}

int64_t GlStateCache::binding(int32_t unit) const {
    return valid_unit(unit) ? binding_[unit] : kUnknown;
}

GlStateCache::TextureParameters* GlStateCache::parameters_of(uint32_t texture) {
    if (texture >= kFollowedTextures) return nullptr;
    if (texture >= textures_.size()) {
        try {
            textures_.resize(std::size_t{texture} + 1);
        } catch (const std::bad_alloc&) {
            fatal_out_of_memory();
        }
    }
    TextureParameters& entry = textures_[texture];
    if (entry.generation != generation_) entry = {generation_, kUnknown, kUnknown};
    return &entry;
}

bool GlStateCache::change_wrap(uint32_t texture, int32_t wrap) {
    TextureParameters* entry = parameters_of(texture);
    return entry ? change(&entry->wrap, wrap) : true;
}

bool GlStateCache::change_filter(uint32_t texture, int32_t filter) {
    TextureParameters* entry = parameters_of(texture);
    return entry ? change(&entry->filter, filter) : true;
}

bool GlStateCache::change_switch(GlSwitch which, bool enabled) {
    return change(&switches_[static_cast<int>(which)], enabled ? 1 : 0);
}

bool GlStateCache::change_blend_function(int32_t source, int32_t destination) {
    const bool source_changed = change(&blend_source_, source);
    const bool destination_changed = change(&blend_destination_, destination);
    return source_changed || destination_changed;
}

void GlStateCache::invalidate() {
    active_unit_ = kUnknown;
    texturing_[0] = texturing_[1] = kUnknown;
    binding_[0] = binding_[1] = kUnknown;
    for (int8_t& known : switches_) known = kUnknown;
    blend_source_ = kUnknown;
    blend_destination_ = kUnknown;
    ++generation_;
}

}  // namespace kvn
