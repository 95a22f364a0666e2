// Phaser: six first-order all-pass stages per channel with feedback,
// swept by a sine LFO; the chain's output is added to the dry signal.
#pragma once

#include <numbers>

#include "engine/audio_processing_unit.h"

namespace Korvane {

// The sweep runs between about 440 and 1600 Hz, fixed as fractions of the
// Nyquist frequency at 44.1 kHz.
class Phaser : public AudioProcessingUnit {
public:
    static constexpr int kStages = 6;
    static constexpr double kFeedbackScale = 0.999;

    void SetDepth(double depth) { depth_ = depth; }
    // Feedback 0..1, scaled just below 1.
    void SetFeedback(double value) { feedback_ = value * kFeedbackScale; }
    // LFO rate 0..1 of 10 Hz at the current sample rate.
    void SetRate(double value);

    // Adds the swept all-pass output to a block in place.
    void Process(double* left, double* right, int frames);

    double Feedback() const { return feedback_; }
    double LfoIncrement() const { return lfoIncrement_; }

private:
    struct Chain {
        double states[kStages] = {};
        double last = 0.0;
        double Run(double input, double coefficient);
    };

    Chain left_;
    Chain right_;
    // The sweep's ends as fractions of the Nyquist frequency at 44.1 kHz.
    double minDelay_ = 440.0 / (44100.0 / 2.0);
    double maxDelay_ = 1600.0 / (44100.0 / 2.0);
    double feedback_ = 0.5;
    double lfoPhase_ = 0.0;
    double lfoIncrement_ = 2.0 * std::numbers::pi * 10.0 * 0.2 / kDefaultSampleRate;  // 2 Hz
    double depth_ = 0.0;
    double smoothedDepth_ = 0.0;
};

}  // namespace Korvane
