// The polygon batch: vertices collected one by one and drawn in one call, strips joined by
// degenerate triangles. Plain data, no GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvn {

// One batch vertex as GL reads it: position, texture coordinates, colour bytes (20 bytes).
struct PolyVertex {
    float x;
    float y;
    float u;
    float v;
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t alpha;
};
static_assert(sizeof(PolyVertex) == 20, "GL reads batch vertices 20 bytes apart");

// Vertex capacity of the batch and the text buffer for a need: at least 512, else the next
// multiple of 128 above the need; a capacity that suffices is kept.
size_t grown_vertex_capacity(size_t current, size_t needed);

class PolyBatch {
  public:
    // Empties the batch for a new primitive mode (0 fan, 1 triangles, 2 strip). A textured
    // batch keeps the sprite's sizes for the texture coordinates.
    void start(int32_t mode, bool textured, int32_t tex_w, int32_t tex_h, int32_t img_h);
    // Appends a vertex; tx, ty are image pixels (y downwards) and map into the texture while
    // textured. White (0xFFFFFF) leaves the batch uncoloured; the key colour gets alpha 0.
    // Without memory for it the vertex is dropped.
    void add(double x, double y, double tx, double ty, int32_t colour, int32_t key, float alpha,
             bool textured);
    // Repeats the last vertex and doubles the next one, so the next vertices start a new
    // strip joined by triangles without area. Ignored on an empty batch or a pending join.
    void new_strip();
    // Marks the batch as drawn with a colour array.
    void set_coloured() { coloured_ = true; }

    const PolyVertex* vertices() const { return storage_.data(); }
    size_t count() const { return count_; }
    int32_t mode() const { return mode_; }
    bool coloured() const { return coloured_; }
    size_t capacity() const { return storage_.size(); }

  private:
    void push(const PolyVertex& vertex);
    // Grows the storage for needed vertices; the program ends when memory runs out.
    void reserve(size_t needed);

    std::vector<PolyVertex> storage_;
    size_t count_ = 0;
    int32_t mode_ = 0;
    bool coloured_ = false;
    bool strip_pending_ = false;
    float inverse_tex_w_ = 1.0f;
    float inverse_tex_h_ = 1.0f;
    int32_t img_h_ = 0;
};

}  // namespace kvn
