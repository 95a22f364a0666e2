#include "effects/ring_modulator.h"

#include <cmath>
#include <numbers>

namespace Korvane {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kRetain = 0.9877;
constexpr double kTake = 0.0123;
}  // namespace

void RingModulator::SetSampleRate(double rate) {
    AudioProcessingUnit::SetSampleRate(rate);
    phaseIncrement_ = frequency_ / rate * kMaximumFrequencyHz * kTwoPi;
}

void RingModulator::SetFrequency(double normalised) {
    frequency_ = normalised;
    phaseIncrement_ = normalised / SampleRate() * kMaximumFrequencyHz * kTwoPi;
}

double RingModulator::WaveformValue(double phase) const {
    switch (waveform_) {
    case kSquare:
        return phase < std::numbers::pi ? 1.0 : -1.0;
    case kSaw: {
        const double t = phase / kTwoPi;
        return (t >= 0.5 ? t - 1.0 : t) * 2.0;
    }
    case kTwoPartials:
        return (std::sin(phase) - std::sin(2.0 * phase)) * 0.5;
    case kThreePartials:
        return (std::sin(2.0 * phase) - std::sin(phase) + std::sin(4.0 * phase)) * 0.3;
    default:
        return std::sin(phase);
    }
}

// fmod(phase, 2 pi) without its cost where a subtraction gives the same
// bits: between 2 pi and 4 pi the difference is exact.
double RingModulator::WrappedPhase(double phase) {
    if (phase >= 0.0 && phase < kTwoPi) return phase;
    if (phase >= kTwoPi && phase < 2.0 * kTwoPi) return phase - kTwoPi;
    return std::fmod(phase, kTwoPi);
}

void RingModulator::Process(double* left, double* right, int frames) {
    if (IsFadedOut() || frequency_ == 0.0 || amount_ == 0.0) return;
    for (int i = 0; i < frames; ++i) {
        const double e = WaveformValue(phase_);
        smoothedAmount_ = kTake * amount_ + kRetain * smoothedAmount_;
        const double g = smoothedAmount_ * FadeGain();
        left[i] = left[i] * g * e + (1.0 - g) * left[i];
        right[i] = right[i] * g * e + (1.0 - g) * right[i];
        StepFade();
        phase_ = WrappedPhase(phase_ + phaseIncrement_);
    }
}

}  // namespace Korvane
