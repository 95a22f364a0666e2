// The instrument's main stereo filter: a drive into a hard clipper, then two
// filters in parallel — one of four RBJ biquads and one of four Chebyshev
// designs — cross-faded by the filter type.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "dsp/designs.h"
#include "dsp/filter.h"
#include "engine/audio_processing_unit.h"
#include "engine/param_smoother.h"

namespace Korvane {

class FilterUnit : public AudioProcessingUnit {
public:
    static constexpr int kInitialCapacity = 128;
    static constexpr int kDesignsPerPath = 4;
    static constexpr int kDefaultTransitionFrames = 512;
    static constexpr double kDriveGain = 7.77;
    static constexpr double kFullDrive = 0.44;

    FilterUnit();

    // Passes the rate to every design.
    void SetSampleRate(double rate) override;
    // Grows the work buffers; they never shrink.
    void EnsureCapacity(int frames);
    int Capacity() const { return capacity_; }

    // Drive into the clipper, 0..1 (fully clipped from 0.44 on).
    void SetDrive(double drive) { drive_ = drive; }
    // Cross-fade from the RBJ path (0) to the Chebyshev path (1).
    void SetBlend(double blend) { blend_ = blend; }
    // Selectors of the two paths, 0..1 over four positions.
    void SetMode1(double mode) { mode1_ = mode; }
    void SetMode2(double mode) { mode2_ = mode; }
    // Moves every design's cutoff (or centre) to a normalised 0..1 position.
    void SetCutoff(double cutoff);
    // Moves every design's Q, else its ripple, else its bandwidth.
    void SetResonance(double resonance);
    // Glide length of the designs: slow, medium or fast.
    void SetTransitionLength(double transition);
    // Clears every design's filter state.
    void ResetFilters();
    // Puts every design at its target at once, ending any glide.
    void CompleteGlides();

    // Filters a block in place; a block longer than the capacity passes untouched.
    void Process(double* left, double* right, int frames);

    // Selected design position 0..3 of each path.
    int Path1Position() const;
    int Path2Position() const;
    int TransitionFrames() const { return transitionFrames_; }
    double Cutoff() const { return cutoff_; }
    double Resonance() const { return resonance_; }
    const Dsp::Filter& Path1Design(int position) const { return *path1_[static_cast<std::size_t>(position)]; }
    const Dsp::Filter& Path2Design(int position) const { return *path2_[static_cast<std::size_t>(position)]; }

    // Display names of the selector positions, and the positions of names read back.
    static std::string_view Mode1Name(double mode);
    static std::string_view Mode2Name(double mode);
    static int Mode1PositionOfName(std::string_view name);
    static int Mode2PositionOfName(std::string_view name);

private:
    template <typename Design>
    using Smoothed = Dsp::SmoothedFilterDesign<Design, 2, Dsp::DirectFormII>;

    // Changes one parameter (by identifier code) of every design that has it.
    void SetEveryDesign(int parameterId, double control, int fallbackId1 = -1, int fallbackId2 = -1);
    std::array<Dsp::Filter*, 2 * kDesignsPerPath> AllDesigns();

    Smoothed<Dsp::RBJ::Design::LowPass> rbjLowPass_{kDefaultTransitionFrames};
    Smoothed<Dsp::RBJ::Design::HighPass> rbjHighPass_{kDefaultTransitionFrames};
    Smoothed<Dsp::RBJ::Design::BandPass1> rbjBandPass_{kDefaultTransitionFrames};
    Smoothed<Dsp::RBJ::Design::BandStop> rbjBandStop_{kDefaultTransitionFrames};
    Smoothed<Dsp::ChebyshevI::Design::HighPass<4>> highPass12_{kDefaultTransitionFrames};
    Smoothed<Dsp::ChebyshevI::Design::HighPass<4>> highPass24_{kDefaultTransitionFrames};
    Smoothed<Dsp::ChebyshevI::Design::LowPass<4>> lowPass12_{kDefaultTransitionFrames};
    Smoothed<Dsp::ChebyshevI::Design::LowPass<4>> lowPass24_{kDefaultTransitionFrames};
    std::array<Dsp::Filter*, kDesignsPerPath> path1_;
    std::array<Dsp::Filter*, kDesignsPerPath> path2_;

    int capacity_ = 0;
    std::vector<double> path1Left_, path1Right_, path2Left_, path2Right_;
    double drive_ = 0.0;
    ParamSmoother driveSmoother_{0.9877};
    double cutoff_ = 1.0;
    double resonance_ = 0.0;
    double mode1_ = 0.0;
    double mode2_ = 0.0;
    double blend_ = 1.0;
    ParamSmoother blendSmoother_{0.9877};
    int transitionFrames_ = kDefaultTransitionFrames;
};

}  // namespace Korvane
