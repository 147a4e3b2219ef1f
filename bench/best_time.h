// The timing every benchmark uses: the best wall time of a few runs of the same work.
#pragma once

#include <chrono>

namespace kvn::bench {

constexpr int kRepetitions = 5;

// Best wall time in milliseconds over kRepetitions runs.
template <typename Work>
double best_ms(Work work) {
    double best = 1e300;
    for (int run = 0; run < kRepetitions; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

}  // namespace kvn::bench
