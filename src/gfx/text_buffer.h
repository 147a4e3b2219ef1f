// The fonts' drawing state: which of the 32 fonts print_text uses, and the vertex buffer its
// text is laid out in (kept from text to text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/font_layout.h"

namespace kvn {

class TextBuffer {
  public:
    // Font number (0..31) that print_text draws with.
    int32_t current_font() const { return current_font_; }
    // Selects a font; the number is limited to 0..31.
    void select_font(int32_t font);
    // The buffer grown for count vertices; the program ends when memory runs out.
    TextVertex* vertices(size_t count);
    size_t capacity() const { return vertices_.size(); }

  private:
    int32_t current_font_ = 0;
    std::vector<TextVertex> vertices_;
};

}  // namespace kvn
