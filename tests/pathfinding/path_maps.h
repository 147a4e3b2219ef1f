// Map builders and path checks shared by the path-finding tests.
#pragma once

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "kvn/value.h"

namespace kvn::path_test {

using Cells = std::vector<std::pair<int32_t, int32_t>>;

// A width x height number map with every cell set to value.
inline ValueArray<double> filled_map(int32_t width, int32_t height, double value) {
    ValueArray<double> map;
    dim_array(map, width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) array_element(map, x, y) = value;
    }
    return map;
}

// Costs 1..9 in random cells, walls (0) with the given probability.
inline ValueArray<double> random_map(int32_t width, int32_t height, double wall_share,
                                     std::mt19937& random) {
    ValueArray<double> map;
    dim_array(map, width, height);
    std::uniform_real_distribution<double> share(0.0, 1.0);
    std::uniform_int_distribution<int32_t> cost(1, 9);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            array_element(map, x, y) = share(random) < wall_share ? 0.0 : cost(random);
        }
    }
    return map;
}

// The rows of a path array as (x, y) pairs.
template <typename T>
Cells rows_of(const ValueArray<T>& path) {
    Cells cells;
    for (int32_t row = 0; row < array_bounds(path, 0); ++row) {
        cells.emplace_back(static_cast<int32_t>(array_element(path, row, 0)),
                           static_cast<int32_t>(array_element(path, row, 1)));
    }
    return cells;
}

}  // namespace kvn::path_test
