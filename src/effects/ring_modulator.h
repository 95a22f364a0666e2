// Ring modulator: multiplies the signal by one of five periodic waveforms
// up to 4000 Hz and cross-fades that product with the dry signal.
#pragma once

#include "engine/audio_processing_unit.h"

namespace Korvane {

class RingModulator : public AudioProcessingUnit {
public:
    static constexpr double kMaximumFrequencyHz = 4000.0;
    enum Waveform : int { kSine = 0, kSquare = 1, kSaw = 2, kTwoPartials = 3, kThreePartials = 4 };

    // Recomputes the phase increment for the new rate.
    void SetSampleRate(double rate) override;
    // Frequency 0..1 of 4000 Hz; 0 switches the modulator off.
    void SetFrequency(double normalised);
    void SetAmount(double amount) { amount_ = amount; }
    void SetWaveform(int waveform) { waveform_ = waveform; }

    // Modulates a block in place.
    void Process(double* left, double* right, int frames);
    // The modulating waveform at `phase` radians (0..2 pi).
    double WaveformValue(double phase) const;

    double Frequency() const { return frequency_; }
    double Phase() const { return phase_; }
    double PhaseIncrement() const { return phaseIncrement_; }
    int GetWaveform() const { return waveform_; }

private:
    static double WrappedPhase(double phase);
    double frequency_ = 0.1;
    double amount_ = 0.0;
    double phase_ = 0.0;
    double phaseIncrement_ = 1.0 / kDefaultSampleRate;
    int waveform_ = kSine;
    double smoothedAmount_ = 0.0;
};

}  // namespace Korvane
