// What the renderer last told OpenGL about texture units, texture parameters and switches, so
// that a setting already in force is not sent again: every redundant state call would also
// end the driver's batching of the draws around it. Plain bookkeeping, no GL calls.
#pragma once

#include <cstdint>
#include <vector>

namespace kvn {

// The on/off switches the cache follows.
enum class GlSwitch : uint8_t { kAlphaTest, kBlend, kColourMaterial, kDither, kCount };

class GlStateCache {
  public:
    // Each change_... records the setting and returns true when GL is not known to hold it
    // already; the caller then makes the GL call.

    // The active texture unit (0 or 1).
    bool change_active_unit(int32_t unit);
    // 2D texturing on a unit (0 or 1).
    bool change_texturing(int32_t unit, bool enabled);
    // The texture bound to a unit's 2D target (0 or 1).
    bool change_binding(int32_t unit, uint32_t texture);
    // Wrap mode (S and T together) of a texture object.
    bool change_wrap(uint32_t texture, int32_t wrap);
    // Magnification and minification filter (together) of a texture object.
    bool change_filter(uint32_t texture, int32_t filter);
    bool change_switch(GlSwitch which, bool enabled);
    bool change_blend_function(int32_t source, int32_t destination);
    // True when 2D texturing on a unit is known to be as given.
    bool holds_texturing(int32_t unit, bool enabled) const;
    // The active unit as far as known, or -1.
    int32_t active_unit() const { return active_unit_; }
    // The texture bound to a unit as far as known, or -1.
    int64_t binding(int32_t unit) const;

    // Forgets everything: after it the next setting of each kind is sent.
    void invalidate();

  private:
    static constexpr int32_t kUnknown = -1;
    // Texture names at or above this are not followed (their settings are always sent).
    static constexpr uint32_t kFollowedTextures = 1u << 18;

    struct TextureParameters {
        uint32_t generation = 0;
        int32_t wrap = kUnknown;
        int32_t filter = kUnknown;
    };

    // The entry of a texture name as valid in this generation, or null when not followed.
    TextureParameters* parameters_of(uint32_t texture);

    int32_t active_unit_ = kUnknown;
    int8_t texturing_[2] = {kUnknown, kUnknown};
    int64_t binding_[2] = {kUnknown, kUnknown};
    int8_t switches_[static_cast<int>(GlSwitch::kCount)] = {kUnknown, kUnknown, kUnknown, kUnknown};
    int32_t blend_source_ = kUnknown;
    int32_t blend_destination_ = kUnknown;
    // Texture parameters by texture name; an entry of an older generation is unknown.
    std::vector<TextureParameters> textures_;
    uint32_t generation_ = 1;
};

}  // namespace kvn
