// The effects chain's order, seen through marks that only the stated order
// leaves: each test sets two stages whose order decides the outcome.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/instrument_rig.h"

namespace {

// A plain sine voice through the chain at unity output gain.
InstrumentRig SineThroughTheChain() {
    InstrumentRig rig(44100.0, 256);
    rig.Set(param::Osc2OnOff, 0.0);
    rig.Set(param::Osc3OnOff, 0.0);
    rig.Set(param::PitchOnOff, 0.0);
    rig.Set(param::FilterAttack, 0.0);
    rig.Set(param::FilterSustain, 1.0);
    rig.Set(param::EnvSustain, 1.0);
    rig.Set(param::Volume, 1.0);
    rig.Set(param::OscVolume1, 0.5);
    rig.Set(param::FilterCutoff, 1.0);          // the global filter wide open
    rig.Set(param::DumpExpand, 0.49);           // its low pass nearly open, no high pass to remove DC
    rig.Set(param::DistortionInterpMode, 0.25);  // linear lookups
    rig.Render(4096, 256);              // output smoothers settle
    return rig;
}

struct Range {
    double lowest = 0.0, highest = 0.0;
};

Range RangeOf(InstrumentRig& rig) {
    const StereoBuffer out = rig.Render(16384, 256, {On(0, 45)});
    const auto [low, high] = std::minmax_element(out.left.begin() + 8192, out.left.end());
    return {*low, *high};
}

}  // namespace

TEST(EffectsChain, GateFollowsTheRingModulator) {
    InstrumentRig rig = SineThroughTheChain();
    rig.Set(param::RingModulationAmount, 1.0);
    rig.Set(param::RingModulationFrequency, 0.1);
    rig.Set(param::RingModulationWaveForm, 0.2);  // square: flips the sign of whole half periods
    rig.Set(param::Gate, 0.5);
    const Range range = RangeOf(rig);
    EXPECT_GT(range.highest, 0.2);
    EXPECT_GT(range.lowest, -0.15 * range.highest) << "the gate removes what the ring modulator turned negative";
}

TEST(EffectsChain, WaveshaperFollowsTheGate) {
    InstrumentRig rig = SineThroughTheChain();
    rig.Set(param::Gate, 0.5);
    rig.Set(param::DistortionType, 8.0 / 35.0);  // Vosk-Fuzz: its curve is negative at input 0
    rig.Set(param::Distortion, 0.6);
    const Range range = RangeOf(rig);
    EXPECT_LT(range.lowest, -0.2) << "the gate's zeros are shaped into negative values afterwards";
}

TEST(EffectsChain, EqualiserFollowsTheWaveshaper) {
    InstrumentRig rig = SineThroughTheChain();
    rig.Set(param::Distortion, 1.0);  // hard limits to +-1
    rig.Set(param::BassAmount, 1.0);  // +24 dB below 400 Hz
    const Range range = RangeOf(rig);
    EXPECT_GT(range.highest, 1.5) << "a boost after the limiter exceeds its ceiling";
}

TEST(EffectsChain, GlobalFilterComesBeforeAndDumpExpandAfterTheWaveshaper) {
    auto peak = [](double cutoff, double dumpExpand, double drive) {
        InstrumentRig rig = SineThroughTheChain();
        rig.Set(param::FilterCutoff, cutoff);
        rig.Set(param::DumpExpand, dumpExpand);
        rig.Set(param::Distortion, drive);
        const Range range = RangeOf(rig);
        return std::max(range.highest, -range.lowest);
    };
    const double lowCutoff = 0.3;  // about 100 Hz under a 220 Hz note
    const double filtered = peak(lowCutoff, 0.49, 0.0);
    EXPECT_LT(filtered, 0.1);
    EXPECT_GT(peak(lowCutoff, 0.49, 1.0), 5.0 * filtered) << "the waveshaper lifts what the filter let through";
    EXPECT_LT(peak(1.0, 0.0, 1.0), 0.05) << "dump/expand shut at 10 Hz after the waveshaper";
}

TEST(EffectsChain, BypassSkipsEveryStage) {
    InstrumentRig plain = SineThroughTheChain();
    plain.BypassEffects();
    InstrumentRig crushed = SineThroughTheChain();
    crushed.Set(param::Quantization, 0.0);
    crushed.Set(param::SampleRate, 0.0);
    crushed.Set(param::Distortion, 1.0);
    crushed.BypassEffects();
    const StereoBuffer a = plain.Render(4096, 256, {On(0, 45)});
    const StereoBuffer b = crushed.Render(4096, 256, {On(0, 45)});
    EXPECT_EQ(a.left, b.left);
}
