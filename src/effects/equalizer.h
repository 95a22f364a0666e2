// Three-band equaliser: bass and high shelves, and a mid control that adds
// a band-passed copy of the input (above the centre position) or fades
// toward a band-stopped copy (below it).
#pragma once

#include <vector>

#include "dsp/designs.h"
#include "dsp/filter.h"
#include "engine/audio_processing_unit.h"

namespace Korvane {

class Equalizer : public AudioProcessingUnit {
public:
    static constexpr int kInitialCapacity = 128;
    static constexpr int kTransitionFrames = 512;
    static constexpr double kBassShelfHz = 400.0;
    static constexpr double kMidCentreHz = 2400.0;
    static constexpr double kMidBandwidthHz = 4000.0;
    static constexpr double kHighShelfHz = 4400.0;

    Equalizer();

    // Passes the rate to every filter.
    void SetSampleRate(double rate) override;
    // Grows the work buffers (never shrinks them) and clears the filters.
    void Prepare(int maximumFrames);
    int Capacity() const { return capacity_; }

    // Puts every filter at its target at once, ending any glide.
    void CompleteGlides() {
        for (Dsp::Filter* filter : Filters()) filter->CompleteTransition();
    }

    // Band settings 0..1, 0.5 flat: -24 to +24 dB.
    void SetBass(double value);
    void SetMid(double value);
    void SetHigh(double value);
    // The bands' gains in dB, for the read-outs.
    double BassGainDb() const;
    double MidGainDb() const;
    double HighGainDb() const;

    // Equalises a block in place; a block longer than the capacity passes untouched.
    void Process(double* left, double* right, int frames);

private:
    template <typename Design>
    using Smoothed = Dsp::SmoothedFilterDesign<Design, 2, Dsp::DirectFormI>;

    std::array<Dsp::Filter*, 5> Filters() { return {&lowShelf_, &bandShelf_, &highShelf_, &bandPass_, &bandStop_}; }
    static void SetGain(Dsp::Filter& filter, double value);

    Smoothed<Dsp::Butterworth::Design::LowShelf<2>> lowShelf_{kTransitionFrames};
    Smoothed<Dsp::Butterworth::Design::BandShelf<2>> bandShelf_{kTransitionFrames};
    Smoothed<Dsp::Butterworth::Design::HighShelf<2>> highShelf_{kTransitionFrames};
    Smoothed<Dsp::Butterworth::Design::BandPass<2>> bandPass_{kTransitionFrames};
    Smoothed<Dsp::Butterworth::Design::BandStop<2>> bandStop_{kTransitionFrames};
    double bass_ = 0.5;
    double mid_ = 0.5;
    double high_ = 0.5;
    int capacity_ = 0;
    std::vector<double> shelfLeft_, shelfRight_, midLeft_, midRight_;
};

}  // namespace Korvane
