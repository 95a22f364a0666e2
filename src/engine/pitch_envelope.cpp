#include "engine/pitch_envelope.h"

#include <cmath>

namespace Korvane {

double PitchEnvelope::Sweep(double t) const {
    const double end = riseSeconds_ + durationSeconds_;
    if (t < riseSeconds_) return 1.0 + amountScale_ * amount_ * t / riseSeconds_;
    if (t < end) {
        const double exponent = powerScale_ * power_;
        return 1.0 + amountScale_ * amount_ * std::pow(1.0 - (t - riseSeconds_) / durationSeconds_, exponent);
    }
    return 1.0;
}

double PitchEnvelope::DownTerm(double t) const {
    const double end = riseSeconds_ + durationSeconds_;
    return down_ * (t < end ? t / end : 1.0);
}

double PitchEnvelope::Value(double t) const {
    if (disabled_) return 1.0;
    return Sweep(t) - DownTerm(t);
}

void PitchEnvelope::RenderPreview(std::span<double, kPreviewPoints> destination) const {
    for (int i = 0; i < kPreviewPoints; ++i) {
        double point = 0.0;
        if (!disabled_) {
            const double t = static_cast<double>(i) / kPreviewPoints * (riseSeconds_ + 2.0);
            const double u = Sweep(t) - DownTerm(t) - 1.0;
            point = u >= 0.0 ? u / amountScale_ : u;
        }
        destination[static_cast<std::size_t>(i)] = point;
    }
}

}  // namespace Korvane
