// The table smoothing written out plainly, as an oracle for the tables the
// provider builds: a forward then a backward circular running average,
// each pass reading the values it has already replaced.
#pragma once

#include <cstddef>
#include <vector>

inline void ReferenceSmooth(std::vector<double>& s, int width) {
    const int n = static_cast<int>(s.size());
    const int h = width / 2;
    auto wrap = [n](int i) { return static_cast<std::size_t>(((i % n) + n) % n); };
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int m = -h; m <= h - 1; ++m) sum += s[wrap(i + m)];
        s[static_cast<std::size_t>(i)] = sum / width;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = 0.0;
        for (int m = -h + 1; m <= h; ++m) sum += s[wrap(i + m)];
        s[static_cast<std::size_t>(i)] = sum / width;
    }
}
