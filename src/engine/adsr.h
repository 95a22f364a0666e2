// Four-stage envelope (attack, decay, sustain, release) with linear
// segments. Decay time, sustain level and release time glide when changed
// while a note sounds; the attack time takes effect at once.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "engine/audio_processing_unit.h"
#include "engine/param_smoother.h"

namespace Korvane {

class ADSR : public AudioProcessingUnit {
public:
    enum State : int { kAttack = 0, kDecay = 1, kSustain = 2, kRelease = 3, kOff = 4 };

    static constexpr int kPreviewPoints = 116;
    static constexpr double kMinimumAttack = 0.000001;
    static constexpr double kMinimumDecay = 0.00002;
    static constexpr double kMinimumSustain = 0.00001;
    static constexpr double kMinimumRelease = 0.00001;
    static constexpr double kMinimumTimeScale = 0.001;

    explicit ADSR(std::string name) : name_(std::move(name)) {}

    // Stage settings in 0..1; a value not above its minimum, or above 1, becomes the minimum.
    void SetAttack(double value) { attack_ = Limited(value, kMinimumAttack); }
    void SetDecay(double value) { decay_ = Limited(value, kMinimumDecay); }
    void SetSustain(double value) { sustain_ = Limited(value, kMinimumSustain); }
    void SetRelease(double value) { release_ = Limited(value, kMinimumRelease); }
    // Seconds per unit of stage setting; never below 0.001.
    void SetTimeScale(double seconds);

    // Starts the envelope again from silence at the beginning of its attack.
    void Restart();
    // Moves to release unless already releasing or off.
    void Release() {
        if (state_ < kRelease) state_ = kRelease;
    }
    // Advances by `frames` frames and updates the output.
    void Advance(int frames);

    // True while the envelope sustains and its glides have settled: every
    // Advance(1) then leaves the output as it is.
    bool IsSettledInSustain() const {
        return state_ == kSustain && smoothedDecay_.IsSettled(decay_) && smoothedSustain_.IsSettled(sustain_) &&
               smoothedRelease_.IsSettled(release_) && output_ == smoothedSustain_.state;
    }
    // Advance(frames) for a settled sustain, without stepping frame by frame.
    void AdvanceSettledSustain(int64_t frames) {
        totalFrames_ += frames;
        sustainFrames_ += frames;
    }

    // Draws the curve of attack, decay, half a second of sustain and release.
    void RenderPreview(std::span<double, kPreviewPoints> destination);

    const std::string& Name() const { return name_; }
    int GetState() const { return state_; }
    void SetState(int state) { state_ = state; }
    double Output() const { return output_; }
    double HeldLevel() const { return held_; }
    double Attack() const { return attack_; }
    double Decay() const { return decay_; }
    double Sustain() const { return sustain_; }
    double ReleaseTime() const { return release_; }
    double TimeScale() const { return timeScale_; }
    int64_t TotalFrames() const { return totalFrames_; }

private:
    // Written as "not above the minimum" so that NaN also becomes the minimum.
    static double Limited(double value, double minimum) {
        return (!(value > minimum) || value > 1.0) ? minimum : value;
    }
    void ResetCurve();

    std::string name_;
    int state_ = kOff;
    double timeScale_ = 0.2;
    double output_ = 0.0;
    double held_ = 0.0;
    double attack_ = 0.05;
    double decay_ = 0.5;
    double sustain_ = 0.25;
    double release_ = 0.1;
    // 64-bit so that a note held for hours cannot overflow them.
    int64_t attackFrames_ = 0;
    int64_t decayFrames_ = 0;
    int64_t sustainFrames_ = 0;
    int64_t releaseFrames_ = 0;
    int64_t totalFrames_ = 0;
    ParamSmoother smoothedDecay_{0.9815};
    ParamSmoother smoothedSustain_{0.9815};
    ParamSmoother smoothedRelease_{0.7};
};

}  // namespace Korvane
