// The polygon batch.
#include "gfx/poly_batch.h"

#include <new>

#include "kvn/base.h"

namespace kvn {

namespace {

constexpr size_t kFirstCapacity = 512;
constexpr size_t kCapacityStep = 128;
constexpr int32_t kWhite = 0xFFFFFF;

}  // namespace

size_t grown_vertex_capacity(size_t current, size_t needed) {
    if (needed <= current) return current;
    if (needed <= kFirstCapacity) return kFirstCapacity;
    return (needed / kCapacityStep + 1) * kCapacityStep;
}

void PolyBatch::start(int32_t mode, bool textured, int32_t tex_w, int32_t tex_h, int32_t img_h) {
    reserve(kFirstCapacity);
    count_ = 0;
    coloured_ = false;
    mode_ = mode;
    strip_pending_ = false;
    if (textured) {
        inverse_tex_w_ = 1.0f / static_cast<float>(tex_w);
        inverse_tex_h_ = 1.0f / static_cast<float>(tex_h);
        img_h_ = img_h;
    }
}

void PolyBatch::add(double x, double y, double tx, double ty, int32_t colour, int32_t key,
                    float alpha, bool textured) {
    PolyVertex vertex{};
    vertex.x = static_cast<float>(x);
    vertex.y = static_cast<float>(y);
    if (textured) {
        vertex.u = static_cast<float>(tx) * inverse_tex_w_;
        vertex.v = static_cast<float>(img_h_ - ty) * inverse_tex_h_;
    }
    if (colour == kWhite) {
        vertex.red = vertex.green = vertex.blue = 255;
    } else {
        coloured_ = true;
        vertex.red = static_cast<uint8_t>(colour);
        vertex.green = static_cast<uint8_t>(colour >> 8);
        vertex.blue = static_cast<uint8_t>(colour >> 16);
    }
    if (colour == key) {
        vertex.alpha = 0;
    } else {
        vertex.alpha = alpha == 1.0f ? 255 : static_cast<uint8_t>(alpha * 255.0f);
    }
    reserve(count_ + (strip_pending_ ? 2 : 1));
    if (strip_pending_) {
        push(vertex);
        strip_pending_ = false;
    }
    push(vertex);
}

void PolyBatch::new_strip() {
    if (count_ == 0 || strip_pending_) return;
    reserve(count_ + 1);
    push(storage_[count_ - 1]);
    strip_pending_ = true;
}

void PolyBatch::push(const PolyVertex& vertex) {
    storage_[count_++] = vertex;
}

void PolyBatch::reserve(size_t needed) {
    const size_t capacity = grown_vertex_capacity(storage_.size(), needed);
    if (capacity == storage_.size()) return;
    try {
        storage_.resize(capacity);
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory();
    }
}

}  // namespace kvn
