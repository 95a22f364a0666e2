// The pitch sweep every voice shares: a fast rise to a peak, a power-law
// fall back to the note's pitch, and an optional linear drift downward.
// It has no state; each voice evaluates it at its own time since note start.
#pragma once

#include <algorithm>
#include <span>

namespace Korvane {

class PitchEnvelope {
public:
    static constexpr int kPreviewPoints = 146;

    // Pitch factor `seconds` after the note started.
    double Value(double seconds) const;
    // The time from which Value() no longer changes (0 when disabled).
    double SteadyFromSeconds() const { return disabled_ ? 0.0 : std::max(riseSeconds_, riseSeconds_ + durationSeconds_); }
    // Draws the rise and two seconds of fall, scaled for display.
    void RenderPreview(std::span<double, kPreviewPoints> destination) const;

    void SetDisabled(bool disabled) { disabled_ = disabled; }
    void SetAmount(double amount) { amount_ = amount; }
    void SetDurationSeconds(double seconds) { durationSeconds_ = seconds; }
    void SetPower(double power) { power_ = power; }
    void SetDown(double down) { down_ = down; }
    void SetSampleRate(double rate) { sampleRate_ = rate; }

    bool IsDisabled() const { return disabled_; }
    double Amount() const { return amount_; }
    double DurationSeconds() const { return durationSeconds_; }
    double Power() const { return power_; }
    double Down() const { return down_; }
    double RiseSeconds() const { return riseSeconds_; }
    double SampleRate() const { return sampleRate_; }

private:
    // Peak factor part and the downward drift at `seconds`.
    double Sweep(double seconds) const;
    double DownTerm(double seconds) const;

    double sampleRate_ = 44100.0;
    bool disabled_ = false;
    double riseSeconds_ = 0.007;
    double durationSeconds_ = 0.1;
    double amount_ = 0.0;
    double amountScale_ = 20.0;
    double power_ = 0.002;
    double powerScale_ = 20.0;
    double down_ = 0.0;
};

}  // namespace Korvane
