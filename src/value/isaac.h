// The ISAAC generator: 256-word state, 256-word result block, three accumulators.
#pragma once

#include <cstdint>

namespace kvn {

class IsaacGenerator {
  public:
    // Initial mixing with the golden ratio, the seed words taken from the result block.
    void initialise(const uint32_t (&seed)[256]);
    // One complete generation pass: a fresh block of 256 results.
    void generate();
    const uint32_t* results() const { return results_; }

  private:
    uint32_t results_[256] = {};
    uint32_t memory_[256] = {};
    uint32_t a_ = 0, b_ = 0, c_ = 0;
};

}  // namespace kvn
