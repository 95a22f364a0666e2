#include "effects/dyn_shaper.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Korvane {

double DynShaper::ShapeSample(double x, double amount) const {
    const double w = windowWidth_;
    if (w == 0.0 || amount == 0.0) return x;
    const double sign = x < 0.0 ? -1.0 : 1.0;
    const double magnitude = std::abs(x);
    const double half = w / 2.0;
    const double centre = half + (1.0 - amount) * (1.0 - 2.0 * half);
    const double position =
        (magnitude > centre - half && magnitude < centre + half) ? (magnitude - (centre - half)) / w : 0.0;

    const double m = 0.777 * amount;
    double bump = 0.0;
    switch (shape_) {
    case kSine:
        bump = std::sin(std::numbers::pi * position) * m;
        break;
    case kTriangle:
        bump = position < 0.5 ? 2.0 * position * m : (1.0 - 2.0 * (position - 0.5)) * m;
        break;
    case kPulse:
        bump = (position > 0.0 && position < 0.5) ? m : 0.0;
        break;
    default:
        break;
    }
    if (invert_) bump = -bump;
    if (mode_ == kSaturatedShaper || mode_ == kBoostSaturatedShaper) bump = std::min(bump * 4.0 * amount, 1.0);
    return (bump + magnitude) * sign;
}

void DynShaper::Process(double* left, double* right, int frames) {
    if (IsFadedOut() || amount_ == 0.0) return;
    const bool boost = mode_ == kBoostShaper || mode_ == kBoostSaturatedShaper;
    for (int i = 0; i < frames; ++i) {
        smoothedAmount_ = kRetain * smoothedAmount_ + kTake * amount_;
        const double b = smoothedAmount_ * FadeGain();
        for (double* channel : {left, right}) {
            double x = channel[i];
            if (boost) x = std::clamp(x * 5.0 * b, -1.0, 1.0);
            channel[i] = ShapeSample(x, b);
        }
        StepFade();
    }
}

void DynShaper::FillShaperDisplay(std::span<double, kCurveDisplayPoints> curve,
                                  std::span<double, kWaveDisplayPoints> wave) const {
    for (int i = 0; i < kCurveDisplayPoints; ++i) {
        const double x = (static_cast<double>(i) / kCurveDisplayPoints - 0.5) * 2.0;
        curve[static_cast<std::size_t>(i)] = ShapeSample(x, amount_);  // the law returns x at amount or width 0
    }
    for (int i = 0; i < kWaveDisplayPoints; ++i) {
        wave[static_cast<std::size_t>(i)] = ShapeSample(std::sin(2.0 * std::numbers::pi * i / kWaveDisplayPoints), amount_);
    }
}

}  // namespace Korvane
