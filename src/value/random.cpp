// The process-wide random generator of the language.
#include <cstring>
#include <initializer_list>

#include "kvn/value.h"
#include "value/isaac.h"

namespace kvn {

namespace {

constexpr uint32_t kGoldenRatio = 0x9e3779b9;

void mix(uint32_t (&x)[8]) {
    // clang-format off
    x[0] ^= x[1] << 11; x[3] += x[0]; x[1] += x[2];
    x[1] ^= x[2] >> 2;  x[4] += x[1]; x[2] += x[3];
    x[2] ^= x[3] << 8;  x[5] += x[2]; x[3] += x[4];
    x[3] ^= x[4] >> 16; x[6] += x[3]; x[4] += x[5];
    x[4] ^= x[5] << 10; x[7] += x[4]; x[5] += x[6];
    x[5] ^= x[6] >> 4;  x[0] += x[5]; x[6] += x[7];
    x[6] ^= x[7] << 8;  x[1] += x[6]; x[7] += x[0];
    x[7] ^= x[0] >> 9;  x[2] += x[7]; x[0] += x[1];
    // clang-format on
}

IsaacGenerator generator;
bool generator_seeded = false;

IsaacGenerator& seeded_generator() {
    if (!generator_seeded) random_seed(0);
    return generator;
}

}  // namespace

void IsaacGenerator::initialise(const uint32_t (&seed)[256]) {
    a_ = b_ = c_ = 0;
    std::memcpy(results_, seed, sizeof results_);
    uint32_t x[8];
    for (uint32_t& word : x) word = kGoldenRatio;
    for (int round = 0; round < 4; ++round) mix(x);
    // Two passes: the seed into the memory, then the memory once more over itself.
    for (const uint32_t* source :
         {static_cast<const uint32_t*>(results_), static_cast<const uint32_t*>(memory_)}) {
        for (int i = 0; i < 256; i += 8) {
            for (int j = 0; j < 8; ++j) x[j] += source[i + j];
            mix(x);
            for (int j = 0; j < 8; ++j) memory_[i + j] = x[j];
        }
    }
    generate();
}

void IsaacGenerator::generate() {
    b_ += ++c_;
    for (int i = 0; i < 256; ++i) {
        const uint32_t x = memory_[i];
        switch (i % 4) {
            case 0:
                a_ ^= a_ << 13;
                break;
            case 1:
                a_ ^= a_ >> 6;
                break;
            case 2:
                a_ ^= a_ << 2;
                break;
            default:
                a_ ^= a_ >> 16;
                break;
        }
        a_ += memory_[(i + 128) % 256];
        const uint32_t y = memory_[(x >> 2) % 256] + a_ + b_;
        memory_[i] = y;
        b_ = memory_[(y >> 10) % 256] + x;
        results_[i] = b_;
    }
}

int32_t random_int(int32_t n) {
    if (n <= 0) return 0;
    IsaacGenerator& source = seeded_generator();
    source.generate();
    return static_cast<int32_t>(source.results()[0] % (static_cast<uint32_t>(n) + 1u));
}

void random_seed(int32_t seed) {
    uint32_t words[256] = {};
    words[0] = static_cast<uint32_t>(seed);
    generator.initialise(words);
    generator_seeded = true;
}

}  // namespace kvn
