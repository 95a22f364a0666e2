// Dump/expand: one knob that sweeps a low pass shut below its centre
// position and a high pass open above it.
#pragma once

#include <span>
#include <vector>

#include "dsp/designs.h"
#include "dsp/filter.h"
#include "engine/audio_processing_unit.h"

namespace Korvane {

class DumpExpand : public AudioProcessingUnit {
public:
    static constexpr int kInitialCapacity = 128;
    static constexpr int kTransitionFrames = 512;
    static constexpr int kDisplayPoints = 30;
    static constexpr double kHighestCutoffAtLowRates = 21000.0;

    DumpExpand();

    // Passes the rate to both filters.
    void SetSampleRate(double rate) override;
    // Grows the work buffers (never shrinks them) and clears the filters.
    void Prepare(int maximumFrames);
    int Capacity() const { return capacity_; }

    // Puts both filters at their targets at once, ending any glide.
    void CompleteGlides() {
        lowPass_.CompleteTransition();
        highPass_.CompleteTransition();
    }

    // Position 0..1: 0 low pass at 10 Hz, 0.5 open, 1 high pass fully up.
    void SetPosition(double value);
    double Position() const { return position_; }
    double LowPassCutoffHz() const { return lowPass_.GetParams()[2]; }
    double HighPassCutoffHz() const { return highPass_.GetParams()[2]; }

    // Filters a block in place; a block longer than the capacity passes untouched.
    void Process(double* left, double* right, int frames);
    // Magnitude response of the active filter at 30 frequencies, for the editor.
    void FillDumpExpandDisplay(std::span<double, kDisplayPoints> destination) const;

private:
    using LowPass = Dsp::SmoothedFilterDesign<Dsp::ChebyshevI::Design::LowPass<2>, 2, Dsp::DirectFormI>;
    using HighPass = Dsp::SmoothedFilterDesign<Dsp::ChebyshevI::Design::HighPass<2>, 2, Dsp::DirectFormI>;

    void SetCutoff(Dsp::Filter& filter, double control);

    LowPass lowPass_{kTransitionFrames};
    HighPass highPass_{kTransitionFrames};
    double position_ = 0.5;
    int capacity_ = 0;
    std::vector<double> workLeft_, workRight_;
};

}  // namespace Korvane
