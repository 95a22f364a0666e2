// Second-order high-pass whose damping falls from Butterworth (resonance
// 0) to none (resonance 1). Coefficients follow the cutoff every sample;
// the cutoff is normalised so that 1 lands just below half the sample rate.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace Korvane {

template <typename Sample>
class BiquadTweakedButterworthHP {
public:
    static constexpr double kCutoffScale = 0.957;
    static constexpr double kMinimumCutoff = 0.0001;
    // The law takes pi and the square root of two at single precision.
    static constexpr double kPi = static_cast<double>(3.14159265358979323846f);
    static constexpr double kSqrt2 = static_cast<double>(1.41421356237309504880f);

    Sample Process(Sample x, double cutoff, double resonance) {
        if (cutoff != lastCutoff_ || resonance != lastResonance_) UpdateCoefficients(cutoff, resonance);
        const Sample y = static_cast<Sample>(b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_);
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

    void Reset() { x1_ = x2_ = y1_ = y2_ = Sample{}; }
    void SetSampleRate(double rate) { sampleRate_ = rate; }

    double B0() const { return b0_; }
    double B1() const { return b1_; }
    double B2() const { return b2_; }
    double A1() const { return a1_; }
    double A2() const { return a2_; }

private:
    // Skipped while cutoff and resonance hold still: the same inputs give the same coefficients.
    void UpdateCoefficients(double cutoff, double resonance) {
        lastCutoff_ = cutoff;
        lastResonance_ = resonance;
        const double f0 = std::max(kMinimumCutoff, cutoff * 0.5 * kCutoffScale);
        const double k = std::tan(kPi * f0);
        const double damping = kSqrt2 - resonance * kSqrt2;
        const double kk = k * k;
        const double d = 1.0 + damping * k + kk;
        b0_ = 1.0 / d;
        b1_ = -2.0 / d;
        b2_ = 1.0 / d;
        a1_ = 2.0 * (kk - 1.0) / d;
        a2_ = (1.0 - damping * k + kk) / d;
    }

    double sampleRate_ = 44100.0;  // kept for the owner; the law is normalised
    Sample x1_{};
    Sample x2_{};
    Sample y1_{};
    Sample y2_{};
    double b0_ = 0.0;
    double b1_ = 0.0;
    double b2_ = 0.0;
    double a1_ = 0.0;
    double a2_ = 0.0;
    double lastCutoff_ = std::numeric_limits<double>::quiet_NaN();  // nothing computed yet
    double lastResonance_ = 0.0;
};

}  // namespace Korvane
