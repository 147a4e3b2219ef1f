#include "gfx/text_buffer.h"

#include <algorithm>
#include <new>

#include "gfx/poly_batch.h"
#include "gfx/sprite_store.h"
#include "kvn/base.h"

namespace kvn {

void TextBuffer::select_font(int32_t font) {
    current_font_ = std::clamp(font, 0, kFontCount - 1);
}

TextVertex* TextBuffer::vertices(size_t count) {
    try {
        vertices_.resize(grown_vertex_capacity(vertices_.size(), count));
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory();
    }
    return vertices_.data();
}

}  // namespace kvn
