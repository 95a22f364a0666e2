// Low-frequency oscillator: a phase accumulator with a sine or unipolar
// square output scaled by a depth. FmModulator is the same oscillator run at
// audio rate as a voice's frequency-modulation operator.
#pragma once

#include <array>
#include <cstddef>
#include <numbers>

#include "engine/audio_processing_unit.h"

namespace Korvane {

class Modulator : public AudioProcessingUnit {
public:
    enum Shape : int { kSine = 0, kSquare = 1 };

    Modulator(double depth, double maximumRateHz, double normalisedRate = 0.1, int shape = kSine)
        : depth_(depth), maximumRateHz_(maximumRateHz), normalisedRate_(normalisedRate), shape_(shape) {}

    // Recomputes the phase increment for the new sample rate.
    void SetSampleRate(double rate) override;

    // Sets the rate as a fraction of the maximum rate.
    void SetNormalisedRate(double normalisedRate);
    // Sets the phase increment directly, in radians per frame.
    void SetIncrement(double increment) { increment_ = increment; }
    void SetDepth(double depth) { depth_ = depth; }
    void SetShape(int shape) { shape_ = shape; }
    void SetPhase(double phase) { phase_ = phase; }

    // The current output, without advancing.
    double Value() const;
    // True when Value() is depth * sin(phase): a sine that is heard.
    bool IsAudibleSine() const { return !IsBypassed() && normalisedRate_ != 0.0 && depth_ != 0.0 && shape_ == kSine; }
    // True when Value() is 0 whatever the phase.
    bool IsSilent() const { return IsBypassed() || normalisedRate_ == 0.0 || depth_ == 0.0; }
    // Moves the phase on by one frame.
    void Advance() { phase_ += increment_; }

    double Depth() const { return depth_; }
    double MaximumRateHz() const { return maximumRateHz_; }
    double NormalisedRate() const { return normalisedRate_; }
    double Phase() const { return phase_; }
    double Increment() const { return increment_; }
    int GetShape() const { return shape_; }

private:
    double depth_;
    double maximumRateHz_;
    double normalisedRate_;
    double phase_ = 0.0;
    double increment_ = 1.0 / kDefaultSampleRate;
    int shape_;
};

// Advances every modulator of `modulators` by `count` frames, exactly as
// that many Advance() calls would, writing the phase before each step where
// `phases[k]` is not null. The modulators' additions interleave, so their
// chains of dependent additions overlap.
template <typename M, std::size_t N>
void AdvanceTogether(std::array<M, N>& modulators, const std::array<double*, N>& phases, int count) {
    std::array<double, N> phase{};
    std::array<double, N> increment{};
    for (std::size_t k = 0; k < N; ++k) {
        phase[k] = modulators[k].Phase();
        increment[k] = modulators[k].Increment();
    }
    for (int i = 0; i < count; ++i) {
        for (std::size_t k = 0; k < N; ++k) {
            if (phases[k] != nullptr) phases[k][i] = phase[k];
            phase[k] += increment[k];
        }
    }
    for (std::size_t k = 0; k < N; ++k) modulators[k].SetPhase(phase[k]);
}

// The voice's FM operator: a Modulator running at the note's frequency.
class FmModulator : public Modulator {
public:
    static constexpr double kMaximumRateHz = 10000.0;
    FmModulator() : Modulator(0.0, kMaximumRateHz) {}
};

}  // namespace Korvane
