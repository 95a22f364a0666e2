// The filters of a voice's oscillators, run side by side in SIMD lanes (one
// oscillator a lane): each lane is a four-pole low-pass (FourPoleLowPass)
// and a resonant high-pass (BiquadTweakedButterworthHP) blended by the
// oscillator's filter type and scaled by its volume.
#pragma once

#include <array>
#include <limits>

namespace Korvane {

struct OscillatorFilters {
    static constexpr int kLanes = 4;
    using Lanes = std::array<double, kLanes>;

    // Clears the filter histories; coefficients stay.
    void Reset() {
        for (Lanes* lanes : {&s0, &s1, &s2, &s3, &x1, &x2, &y1, &y2}) lanes->fill(0.0);
    }

    // Low-pass stages.
    alignas(32) Lanes s0{};
    alignas(32) Lanes s1{};
    alignas(32) Lanes s2{};
    alignas(32) Lanes s3{};
    // High-pass history and coefficients, recomputed when cutoff or resonance moves.
    alignas(32) Lanes x1{};
    alignas(32) Lanes x2{};
    alignas(32) Lanes y1{};
    alignas(32) Lanes y2{};
    alignas(32) Lanes b0{};
    alignas(32) Lanes b1{};
    alignas(32) Lanes b2{};
    alignas(32) Lanes a1{};
    alignas(32) Lanes a2{};
    alignas(32) Lanes lastCutoff{nan(), nan(), nan(), nan()};  // nothing computed yet
    alignas(32) Lanes lastResonance{};

private:
    static constexpr double nan() { return std::numeric_limits<double>::quiet_NaN(); }
};

namespace kernels {

// Filters `count` frames. `input`, `cutoff`, `volume` and `output` hold
// kLanes values a frame (lane k at [kLanes * frame + k]); `resonance`,
// `type` and `active` one per lane. Lanes not active keep their state and
// give 0. Exact silence passes the low-pass without touching its state.
void FilterOscillators(OscillatorFilters& filters, const OscillatorFilters::Lanes& resonance,
                       const OscillatorFilters::Lanes& type, const OscillatorFilters::Lanes& active,
                       const double* input, const double* cutoff, const double* volume, double* output, int count);

}  // namespace kernels

}  // namespace Korvane
