#include "engine/modulator.h"

#include <cmath>

namespace Korvane {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}

void Modulator::SetSampleRate(double rate) {
    AudioProcessingUnit::SetSampleRate(rate);
    increment_ = kTwoPi * maximumRateHz_ * normalisedRate_ / rate;
}

void Modulator::SetNormalisedRate(double normalisedRate) {
    normalisedRate_ = normalisedRate;
    increment_ = kTwoPi * maximumRateHz_ * normalisedRate_ / SampleRate();
}

double Modulator::Value() const {
    if (IsBypassed()) return 0.0;
    if (normalisedRate_ == 0.0) return 0.0;
    if (depth_ == 0.0) return 0.0;  // silent, and spares a sine per frame
    if (shape_ == kSquare) return std::fmod(phase_, kTwoPi) < std::numbers::pi ? depth_ : 0.0;
    return depth_ * std::sin(phase_);
}

}  // namespace Korvane
