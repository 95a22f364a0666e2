// Single-cycle waveform tables of 4096 samples, and sets of eight
// progressively smoother copies of one shape, one per octave range, which
// keep high notes from aliasing.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Korvane {

class WaveformTable {
public:
    static constexpr int kSize = 4096;
    static constexpr double kStep = 1.0 / kSize;

    explicit WaveformTable(std::string name = {}) : name_(std::move(name)), samples_(kSize, 0.0) {}

    // Linearly interpolated sample at `phase` (in cycles; any value wraps).
    double Interpolated(double phase) const {
        double x = phase - std::floor(phase);
        if (!(x >= 0.0 && x < 1.0)) x = 0.0;  // rounding at the top end, or NaN
        // Scaling by the power-of-two size is exact, so this fraction equals
        // fmod(x, kStep) / kStep bit for bit, without the cost of fmod.
        const double scaled = kSize * x;
        const double whole = std::floor(scaled);
        const int index = static_cast<int>(whole) & (kSize - 1);
        const double t = scaled - whole;
        return (1.0 - t) * samples_[static_cast<std::size_t>(index)] +
               t * samples_[static_cast<std::size_t>((index + 1) & (kSize - 1))];
    }

    // Nearest lower sample at `phase`, without interpolation.
    double Nearest(double phase) const {
        const double x = phase - std::floor(phase);
        const double position = x * kSize;
        const int index = position >= 0.0 && position < kSize ? static_cast<int>(position) & (kSize - 1) : 0;
        return samples_[static_cast<std::size_t>(index)];
    }

    // Two circular running-average passes of `width` samples (even), forward
    // then backward. Each pass reads the samples it has already replaced.
    void Smooth(int width);
    // Scales the table so its largest magnitude is `peak`; a silent table is left alone.
    void Normalise(double peak);

    std::span<double, kSize> Samples() { return std::span<double, kSize>(samples_.data(), kSize); }
    std::span<const double, kSize> Samples() const { return std::span<const double, kSize>(samples_.data(), kSize); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::vector<double> samples_;
};

class WaveformTableSet {
public:
    static constexpr int kOctaves = 8;

    explicit WaveformTableSet(std::string name);

    const WaveformTable& Table(int octave) const { return tables_[static_cast<std::size_t>(octave)]; }
    WaveformTable& Table(int octave) { return tables_[static_cast<std::size_t>(octave)]; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::vector<WaveformTable> tables_;
};

}  // namespace Korvane
