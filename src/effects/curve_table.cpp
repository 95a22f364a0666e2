#include "effects/curve_table.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/block_kernels.h"

namespace Korvane {

CurveTable::CurveTable(int size)
    : size_(size), step_(1.0 / size), powerOfTwo_(size > 0 && (size & (size - 1)) == 0), entries_(static_cast<std::size_t>(size)) {
    for (int i = 0; i < size_; ++i) entries_[static_cast<std::size_t>(i)] = 2.0 * i / size_ - 1.0;
}

double CurveTable::Lookup(double x, int interpolation) const {
    double a = std::clamp((x + 1.0) * 0.5, -1.0, 1.0);
    a = std::abs(a);
    if (std::isnan(a)) a = 0.5;  // a non-number reads the centre
    const int last = size_ - 1;
    const int c = static_cast<int>(std::floor(size_ * a));  // 0..N
    // With a power-of-two size the scaling is exact, so the fraction of size * a
    // equals fmod(a, step) / step bit for bit, without the cost of fmod.
    const double scaled = size_ * a;
    const double mu = powerOfTwo_ ? scaled - std::floor(scaled) : std::fmod(a, step_) / step_;

    if (interpolation == kNone) return c < size_ ? (*this)[c] : 0.0;

    // At the top end the centre entry would lie one past the table: read the last entry.
    const int centre = std::min(c, last);
    const double y0 = (*this)[std::max(c - 1, 0)];
    const double y1 = (*this)[centre];
    const double y2 = (*this)[c + 1 < size_ ? c + 1 : last];
    const double y3 = (*this)[c + 2 < size_ ? c + 2 : last];

    switch (interpolation) {
    case kLinear:
        return (1.0 - mu) * y1 + mu * y2;
    case kCosine: {
        const double f = (1.0 - std::cos(std::numbers::pi * mu)) / 2.0;
        return (1.0 - f) * y1 + f * y2;
    }
    case kHermite: {
        const double mu2 = mu * mu;
        const double mu3 = mu2 * mu;
        const double m0 = (y2 - y0) / 2.0;
        const double m1 = (y3 - y1) / 2.0;
        return (2.0 * mu3 - 3.0 * mu2 + 1.0) * y1 + (mu3 - 2.0 * mu2 + mu) * m0 + (mu3 - mu2) * m1 +
               (-2.0 * mu3 + 3.0 * mu2) * y2;
    }
    case kCubic:
    default: {
        if (mu == 1.0) return y2;
        if (mu == 0.0) return y1;
        const double mu2 = mu * mu;
        const double a0 = y3 - y2 - y0 + y1;
        return a0 * mu * mu2 + (y0 - y1 - a0) * mu2 + (y2 - y0) * mu + y1;
    }
    }
}

void CurveTable::Lookup(const double* x, double* out, int count, int interpolation) const {
    // The SIMD reads round as the scalar ones; the cosine blend and tables of
    // other sizes (whose fraction needs fmod) take the scalar path.
    if (powerOfTwo_ && interpolation >= kNone && interpolation <= kHermite && interpolation != kCosine) {
        kernels::CurveLookup(entries_.data(), size_, interpolation, x, out, count);
        return;
    }
    for (int i = 0; i < count; ++i) out[i] = Lookup(x[i], interpolation);
}

void CurveTable::Smooth() {
    for (std::size_t j = 1; j < entries_.size(); ++j) entries_[j] = (entries_[j - 1] + entries_[j]) / 2.0;
}

void CurveTable::Clamp() {
    for (double& entry : entries_) entry = std::clamp(entry, -1.0, 1.0);
}

void CurveTable::Normalise() {
    double largest = 0.0;
    for (double entry : entries_) largest = std::max(largest, std::abs(entry));
    if (largest == 0.0) return;
    for (double& entry : entries_) entry = entry / largest * 1.0;
}

}  // namespace Korvane
