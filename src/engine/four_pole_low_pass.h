// Four cascaded one-pole low-pass stages with resonance fed back from the
// second stage: the oscillator's low-pass, cutoff normalised to 0..1.
#pragma once

#include <algorithm>

namespace Korvane {

class FourPoleLowPass {
public:
    // Filters one sample; exact silence passes without touching the state.
    double Process(double x, double cutoff, double resonance) {
        cutoff_ = cutoff;
        resonance_ = resonance;
        const double f = std::clamp(cutoff, 0.01, 0.99);
        feedback_ = resonance + resonance / (1.0 - f);
        if (x == 0.0) return 0.0;
        s0_ += f * ((x - s0_) + feedback_ * (s0_ - s1_));
        s1_ += f * (s0_ - s1_);
        s2_ += f * (s1_ - s2_);
        s3_ += f * (s2_ - s3_);
        return s3_;
    }

    void Reset() { s0_ = s1_ = s2_ = s3_ = 0.0; }

private:
    double cutoff_ = 0.99;
    double resonance_ = 0.0;
    double feedback_ = 0.0;
    double s0_ = 0.0;
    double s1_ = 0.0;
    double s2_ = 0.0;
    double s3_ = 0.0;
};

}  // namespace Korvane
