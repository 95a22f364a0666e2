#include "effects/phaser.h"

#include <cmath>
#include <numbers>

namespace Korvane {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kRetain = 0.9877;
constexpr double kTake = 0.0123;
}  // namespace

double Phaser::Chain::Run(double input, double coefficient) {
    double x = input;
    for (double& state : states) {
        const double y = state - coefficient * x;
        state = coefficient * y + x;
        x = y;
    }
    last = x;
    return x;
}

void Phaser::SetRate(double value) { lfoIncrement_ = value / SampleRate() * kTwoPi * 10.0; }

void Phaser::Process(double* left, double* right, int frames) {
    if (IsFadedOut() || depth_ == 0.0) return;
    for (int i = 0; i < frames; ++i) {
        const double s = std::sin(lfoPhase_);
        lfoPhase_ += lfoIncrement_;
        if (lfoPhase_ >= kTwoPi) lfoPhase_ -= kTwoPi;
        const double d = (s + 1.0) / 2.0 * (maxDelay_ - minDelay_) + minDelay_;
        const double c = (1.0 - d) / (1.0 + d);
        const double dryLeft = left[i];
        const double dryRight = right[i];
        left_.Run(dryLeft + feedback_ * left_.last, c);
        right_.Run(dryRight + feedback_ * right_.last, c);
        smoothedDepth_ = kTake * depth_ + kRetain * smoothedDepth_;
        const double fade = FadeGain();
        left[i] = fade * smoothedDepth_ * left_.last + dryLeft;
        right[i] = fade * smoothedDepth_ * right_.last + dryRight;
        StepFade();
    }
}

}  // namespace Korvane
