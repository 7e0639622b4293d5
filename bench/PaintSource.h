// What the painting benchmarks share: medians of timed rounds, and the generated
// 1,000,000-line C source (a routine line every 1000 lines, optionally a block comment
// every 100), so that the window and the comment index are measured on the same text.
#pragma once

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace varlin::bench {

constexpr int kSourceLines = 1000000;

using Clock = std::chrono::steady_clock;

inline double Millis(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The median time of work over rounds; slow work gets fewer rounds, five being enough
// to see what it costs.
inline double Measure(int rounds, const std::function<void()>& work,
                      const std::function<void()>& between = {}) {
    std::vector<double> samples;
    const auto begin = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        samples.push_back(Millis(start, Clock::now()));
        if (between) between();
        if (i >= 4 && Millis(begin, Clock::now()) > 2000) break;
    }
    return Median(samples);
}

inline void WriteSource(const std::string& path, bool blockComments) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < kSourceLines; ++i) {
        if (i % 1000 == 0) out << "int routine" << i << "(int argc, char **argv)\r\n";
        else if (blockComments && i % 100 == 1) out << "\t/* step " << i << " of the work */\r\n";
        else out << "\tif (value > " << i << ") return value; // line comment\r\n";
    }
}

}  // namespace varlin::bench
