#include "engine/waveform_table.h"

#include <algorithm>

namespace Korvane {

void WaveformTable::Smooth(int width) {
    const int half = width / 2;
    const double scale = 1.0 / width;
    auto at = [this](int i) -> double& { return samples_[static_cast<std::size_t>(((i % kSize) + kSize) % kSize)]; };

    for (int i = 0; i < kSize; ++i) {
        double sum = 0.0;
        for (int m = -half; m <= half - 1; ++m) sum += at(i + m);
        samples_[static_cast<std::size_t>(i)] = scale * sum;
    }
    for (int i = kSize - 1; i >= 0; --i) {
        double sum = 0.0;
        for (int m = -half + 1; m <= half; ++m) sum += at(i + m);
        samples_[static_cast<std::size_t>(i)] = scale * sum;
    }
}

void WaveformTable::Normalise(double peak) {
    double largest = 0.0;
    for (double sample : samples_) largest = std::max(largest, std::abs(sample));
    if (largest == 0.0) return;
    const double factor = peak / largest;
    if (std::isfinite(factor)) {
        for (double& sample : samples_) sample *= factor;
        return;
    }
    // A denormal peak has no finite reciprocal scale: divide first instead.
    for (double& sample : samples_) sample = sample / largest * peak;
}

WaveformTableSet::WaveformTableSet(std::string name) : name_(std::move(name)) {
    tables_.reserve(kOctaves);
    for (int octave = 0; octave < kOctaves; ++octave) tables_.emplace_back(name_);
}

}  // namespace Korvane
