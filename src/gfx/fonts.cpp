// Bitmap-font text: the 32 font slots, the built-in font and the text commands.
#include "gfx/fonts.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <new>

#include "files/media_archive.h"
#include "gfx/builtin_font.h"
#include "gfx/renderer.h"
#include "kvn/gfx.h"
#include "base/error_state.h"
#include "kvn/base.h"

namespace kvn {

namespace {

constexpr size_t kMaxTextLength = INT32_MAX / 4;

int32_t font_slot(int32_t font) {
    return kFirstFontSlot + font;
}

// Loads a resolved name into font n (0..31); a failure leaves the built-in font there.
void load_font_file(VoruRERarudeve& renderer, int32_t font, const StringValue* resolved) {
    if (!resolved || !renderer.load_sprite_file(font_slot(font), resolved->c_str(),
                                                renderer.font_key(), false, true)) {
        set_error(kErrorNoSuchFile);
        renderer.make_builtin_font(font);
    }
}

FontGrid current_font_grid(const VoruRERarudeve& renderer) {
    const SpriteSlot& font = renderer.sprite(font_slot(renderer.current_font()));
    return font_grid(font.img_w, font.img_h);
}

}  // namespace

void VoruRERarudeve::make_builtin_font(int32_t font) {
    const int32_t slot = font_slot(font);
    free_sprite(slot);
    DecodedImage image;
    make_builtin_font_image(&image);
    sprite_store_.install_image(slot, image, false, true);
}

void install_default_fonts() {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    renderer->make_builtin_font(0);
    // The name is loaded as resolved: resolving again would release an archive extraction.
    StringValue resolved;
    if (resolve_in_first_archive("smalfont.png", resolved) ||
        resolve_in_first_archive("smalfont.bmp", resolved)) {
        renderer->select_font(0);
        load_font_file(*renderer, 0, &resolved);
    }
    set_font(0);
}

void load_font(const StringValue& path, int32_t n) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer) return;
    if (path.empty()) {
        if (n < 0 || n >= kFontCount) return;
        error_state.error_code = kErrorSuccess;
        renderer->free_sprite(font_slot(n));
        return;
    }
    error_state.error_code = kErrorSuccess;
    const int32_t font = std::clamp(n, 0, kFontCount - 1);
    renderer->select_font(font);
    StringValue resolved;
    const bool found = resolve_in_first_archive(path, resolved) != 0;
    load_font_file(*renderer, font, found ? &resolved : nullptr);
}

void set_font(int32_t n) {
    if (VoruRERarudeve* renderer = attached_renderer()) renderer->select_font(n);
}

void print_text(const StringValue& text, double x, double y) {
    VoruRERarudeve* renderer = ready_renderer();
    if (!renderer || text.empty()) return;
    // One draw call counts its vertices in a GLsizei.
    const size_t length = std::min<size_t>(text.length(), kMaxTextLength);
    const size_t count = 4 * length;
    TextVertex* vertices = renderer->text_vertices(count);

    const int32_t slot = font_slot(renderer->current_font());
    renderer->bind_sprite(slot, -1, false);
    const SpriteSlot& font = renderer->sprite(slot);
    layout_text(reinterpret_cast<const uint8_t*>(text.c_str()), length, x, y,
                current_font_grid(*renderer), font.u_max, font.v_max, vertices);

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(TextVertex), &vertices[0].x);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TextVertex), &vertices[0].u);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, static_cast<GLsizei>(count));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void print_number(double number, double x, double y) {
    print_text(number_to_text(number), x, y);
}

void get_font_size(double& width, double& height) {
    int32_t w = 0, h = 0;
    get_font_size_int(w, h);
    width = w;
    height = h;
}

void get_font_size_int(int32_t& width, int32_t& height) {
    const VoruRERarudeve* renderer = attached_renderer();
    const FontGrid grid = renderer ? current_font_grid(*renderer) : FontGrid();
    width = grid.glyph_w;
    height = grid.glyph_h;
}

int32_t get_free_font() {
    const VoruRERarudeve* renderer = attached_renderer();
    if (!renderer) return -1;
    for (int32_t font = 0; font < kFontCount; ++font) {
        if ((renderer->sprite(font_slot(font)).img_w >> 4) == 0) return font;
    }
    return -1;
}

}  // namespace kvn
