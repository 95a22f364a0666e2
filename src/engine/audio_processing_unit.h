// Base of the synthesis and effect units: the sample rate they run at and a
// bypass that fades the unit in or out over 200 frames instead of clicking.
#pragma once

#include <algorithm>

namespace Korvane {

class AudioProcessingUnit {
public:
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr double kFadeStep = 0.005;

    virtual ~AudioProcessingUnit() = default;

    // Runs the unit at a new sample rate; units recompute what depends on it.
    virtual void SetSampleRate(double rate) { sampleRate_ = rate; }
    // Starts fading the unit out (true) or back in (false).
    virtual void SetBypassed(bool bypassed);

    double SampleRate() const { return sampleRate_; }
    bool IsBypassed() const { return bypassed_; }
    double FadeGain() const { return fadeGain_; }
    // True once a bypassed unit has faded out completely and may skip its work.
    bool IsFadedOut() const { return bypassed_ && fadeGain_ <= 0.0; }

    // Moves the fade one frame along while it is in progress.
    void StepFade() {
        if (fadeGain_ > 0.0 && fadeGain_ < 1.0) fadeGain_ = std::clamp(fadeGain_ + fadeStep_, 0.0, 1.0);
    }

protected:
    AudioProcessingUnit() = default;
    AudioProcessingUnit(const AudioProcessingUnit&) = default;
    AudioProcessingUnit& operator=(const AudioProcessingUnit&) = default;

private:
    double sampleRate_ = kDefaultSampleRate;
    bool bypassed_ = false;
    double fadeGain_ = 1.0;
    double fadeStep_ = 0.0;
};

}  // namespace Korvane
