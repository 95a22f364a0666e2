// One-pole smoother stepped once per frame toward a parameter's target, so
// that knob moves and automation glide instead of stepping.
#pragma once

#include <limits>

namespace Korvane {

struct ParamSmoother {
    // Retain values in use: 0.99 (output stage, dynamic shaper), 0.9877 (voice
    // volume, pan, saturation, filter drive and blend, distortion drive, ring
    // amount, phaser depth), 0.9815 and 0.7 (envelopes).
    explicit constexpr ParamSmoother(double retainFactor, double initialState = 0.0)
        : retain(retainFactor), take(1.0 - retainFactor), state(initialState) {}

    // Moves one frame toward `target` and returns the new state.
    constexpr double Step(double target) {
        state = take * target + retain * state;
        // Gliding toward 0 the state would end on the smallest subnormal number
        // and stay there, slowing every later step: it becomes 0 instead.
        if (state < kSmallestNormal && state > -kSmallestNormal) state = 0.0;
        return state;
    }

    // True when a step toward `target` would leave the state as it is.
    constexpr bool IsSettled(double target) const {
        ParamSmoother next = *this;
        return next.Step(target) == state;
    }

    // Steps `count` frames toward `target`, writing each new state. Once a
    // step leaves the state as it was, every later step does too: the rest
    // is filled without computing it.
    constexpr void Run(double target, double* out, int count) {
        for (int i = 0; i < count; ++i) {
            const double before = state;
            out[i] = Step(target);
            if (state == before) {
                for (int j = i + 1; j < count; ++j) out[j] = state;
                return;
            }
        }
    }

    static constexpr double kSmallestNormal = std::numeric_limits<double>::min();

    double retain;
    double take;
    double state;
};

}  // namespace Korvane
