// Dynamic shaper: adds a sine, triangle or pulse bump to the magnitude of
// samples inside one 0.25-wide amplitude window, which moves from near full
// scale (small amounts) down toward silence (large amounts), so a decaying
// kick sweeps through it.
#pragma once

#include <span>

#include "engine/audio_processing_unit.h"

namespace Korvane {

class DynShaper : public AudioProcessingUnit {
public:
    enum Shape : int { kSine = 0, kTriangle = 1, kPulse = 2 };
    enum Mode : int { kShaper = 0, kSaturatedShaper = 1, kBoostShaper = 2, kBoostSaturatedShaper = 3 };
    static constexpr int kCurveDisplayPoints = 108;
    static constexpr int kWaveDisplayPoints = 98;

    // Amount 0..1 (the square of the shaper parameter).
    void SetAmount(double amount) { amount_ = amount; }
    void SetShape(int shape) { shape_ = shape; }
    void SetInvert(bool invert) { invert_ = invert; }
    void SetMode(int mode) { mode_ = mode; }

    // Shapes a block in place.
    void Process(double* left, double* right, int frames);
    // The law for one sample at amount `amount`.
    double ShapeSample(double x, double amount) const;
    // The transfer curve and a shaped sine cycle, for the editor.
    void FillShaperDisplay(std::span<double, kCurveDisplayPoints> curve, std::span<double, kWaveDisplayPoints> wave) const;

    double Amount() const { return amount_; }
    double SmoothedAmount() const { return smoothedAmount_; }
    int GetShape() const { return shape_; }
    int GetMode() const { return mode_; }

private:
    static constexpr double kRetain = 0.99;
    static constexpr double kTake = 0.01;

    double smoothedAmount_ = 0.0;
    double amount_ = 0.0;
    double windowWidth_ = 0.25;
    int shape_ = kSine;
    bool invert_ = false;
    int mode_ = kShaper;
};

}  // namespace Korvane
