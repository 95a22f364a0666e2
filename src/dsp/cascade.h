// A filter's coefficients as a series of second-order sections, with the
// pole/zero pairs they came from and the complex response they give.
#pragma once

#include <array>
#include <complex>

namespace Dsp {

using Complex = std::complex<double>;

inline constexpr int kMaxStages = 4;

// Two poles and two zeros of one section; a first-order section uses only the first of each.
struct PoleZeroPair {
    Complex poles[2];
    Complex zeros[2];
    bool firstOrder = false;
};

struct PoleZeroLayout {
    std::array<PoleZeroPair, kMaxStages> pairs{};
    int count = 0;

    void Add(const PoleZeroPair& pair) {
        if (count < kMaxStages) pairs[static_cast<std::size_t>(count++)] = pair;
    }
};

// y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2 (a0 normalised to 1).
struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;

    Complex Response(double angularFrequency) const;
};

class Cascade {
public:
    // Builds the sections from `layout` and scales the first section so that
    // the magnitude at `referenceAngle` (radians per sample) is `referenceGain`.
    void SetLayout(const PoleZeroLayout& layout, double referenceAngle, double referenceGain);
    // A single section given by its coefficients.
    void SetSingle(const Biquad& section, const PoleZeroPair& roots);

    // Response at a frequency in cycles per sample (0 .. 0.5).
    Complex Response(double normalisedFrequency) const;

    int StageCount() const { return count_; }
    const Biquad& Stage(int index) const { return stages_[static_cast<std::size_t>(index)]; }
    const PoleZeroLayout& Layout() const { return layout_; }

private:
    std::array<Biquad, kMaxStages> stages_{};
    int count_ = 0;
    PoleZeroLayout layout_;
};

}  // namespace Dsp
