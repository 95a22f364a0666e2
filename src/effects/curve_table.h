// One transfer curve of the waveshaper: N entries over the input range
// -1..1, read with one of five interpolation modes. The centre entry N/2
// stands for the input 0; the negative branch is shifted by one entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Korvane {

class CurveTable {
public:
    enum Interpolation : int { kNone = 0, kLinear = 1, kCosine = 2, kCubic = 3, kHermite = 4 };

    // A table of `size` entries holding the identity ramp 2i/N - 1.
    explicit CurveTable(int size);

    // The curve's value at input `x`. Inputs from -3 to -1 fold back into
    // the table; +1 and above, and -3 and below, read the top end.
    double Lookup(double x, int interpolation) const;
    // Lookup of each of `count` inputs.
    void Lookup(const double* x, double* out, int count, int interpolation) const;

    int Size() const { return size_; }
    int Half() const { return size_ / 2; }
    double& operator[](int index) { return entries_[static_cast<std::size_t>(index)]; }
    double operator[](int index) const { return entries_[static_cast<std::size_t>(index)]; }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    // Post passes of the table builders.
    void Smooth();     // one-pole over the table, each entry averaged with its smoothed predecessor
    void Clamp();      // every entry limited to -1..1
    void Normalise();  // scaled so the largest magnitude is 1

private:
    int size_;
    double step_;
    bool powerOfTwo_;
    std::vector<double> entries_;
    std::string name_;
};

}  // namespace Korvane
