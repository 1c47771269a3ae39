#pragma once

// Timing of a benchmark's runs.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace kelo::bench {

// The wall-clock time of one run of f, in milliseconds.
inline double Millis(const std::function<void()> &f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace kelo::bench
