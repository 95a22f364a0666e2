#include "engine/modulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using Korvane::FmModulator;
using Korvane::Modulator;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The modulator a voice builds for its filter and tune LFOs.
Modulator VoiceLfo() { return Modulator(0.5, 20.0); }

}  // namespace

TEST(Modulator, KeepsTheValuesItWasBuiltWith) {
    const Modulator lfo = VoiceLfo();
    EXPECT_EQ(lfo.Depth(), 0.5);
    EXPECT_EQ(lfo.MaximumRateHz(), 20.0);
    EXPECT_EQ(lfo.NormalisedRate(), 0.1);
    EXPECT_EQ(lfo.Phase(), 0.0);
    EXPECT_EQ(lfo.GetShape(), Modulator::kSine);
    EXPECT_EQ(lfo.SampleRate(), 44100.0);
    EXPECT_FALSE(lfo.IsBypassed());
}

TEST(Modulator, IncrementIsOneOver44100UntilASampleRateIsSet) {
    // Not derived from the rate: the first SetSampleRate computes it.
    EXPECT_EQ(VoiceLfo().Increment(), 1.0 / 44100.0);
    EXPECT_EQ(Modulator(0.2, 5000.0, 0.7).Increment(), 1.0 / 44100.0);
}

TEST(Modulator, SampleRateSetsTheIncrementFromTheRateInHertz) {
    Modulator lfo = VoiceLfo();
    lfo.SetSampleRate(48000.0);
    EXPECT_EQ(lfo.SampleRate(), 48000.0);
    EXPECT_DOUBLE_EQ(lfo.Increment(), 2.0 * kPi * 2.0 / 48000.0);

    lfo.SetSampleRate(96000.0);
    EXPECT_DOUBLE_EQ(lfo.Increment(), 2.0 * kPi * 20.0 * 0.1 / 96000.0);
}

TEST(Modulator, NormalisedRateRecomputesTheIncrementAtTheStoredRate) {
    Modulator lfo = VoiceLfo();
    lfo.SetNormalisedRate(0.5);
    EXPECT_EQ(lfo.NormalisedRate(), 0.5);
    EXPECT_DOUBLE_EQ(lfo.Increment(), 2.0 * kPi * 20.0 * 0.5 / 44100.0);

    lfo.SetSampleRate(48000.0);
    lfo.SetNormalisedRate(0.25);
    EXPECT_DOUBLE_EQ(lfo.Increment(), 2.0 * kPi * 20.0 * 0.25 / 48000.0);

    lfo.SetNormalisedRate(0.0);
    EXPECT_EQ(lfo.Increment(), 0.0);
}

TEST(Modulator, AdvanceAddsOneIncrementPerFrameWithoutWrapping) {
    Modulator lfo = VoiceLfo();
    lfo.SetSampleRate(48000.0);
    const double increment = 2.0 * kPi * 2.0 / 48000.0;
    lfo.Advance();
    EXPECT_DOUBLE_EQ(lfo.Phase(), increment);
    lfo.Advance();
    lfo.Advance();
    EXPECT_DOUBLE_EQ(lfo.Phase(), 3.0 * increment);

    lfo.SetIncrement(5.0);
    lfo.SetPhase(6.0);
    lfo.Advance();
    EXPECT_DOUBLE_EQ(lfo.Phase(), 11.0);  // beyond 2 pi: the phase is not wrapped
}

TEST(Modulator, SineIsDepthTimesSineOfThePhase) {
    Modulator lfo = VoiceLfo();
    for (const double phase : {0.0, 0.3, kPi / 2.0, 2.0, kPi, 4.5, 3.0 * kPi / 2.0, 7.25, 40.0}) {
        lfo.SetPhase(phase);
        EXPECT_DOUBLE_EQ(lfo.Value(), 0.5 * std::sin(phase)) << "phase " << phase;
    }
    lfo.SetDepth(0.8);
    lfo.SetPhase(kPi / 2.0);
    EXPECT_DOUBLE_EQ(lfo.Value(), 0.8);
    lfo.SetPhase(3.0 * kPi / 2.0);
    EXPECT_DOUBLE_EQ(lfo.Value(), -0.8);
}

TEST(Modulator, SquareIsUnipolarDepthInTheFirstHalfCycle) {
    Modulator lfo = VoiceLfo();
    lfo.SetShape(Modulator::kSquare);
    lfo.SetDepth(0.7);

    lfo.SetPhase(kPi / 2.0);
    EXPECT_EQ(lfo.Value(), 0.7);
    lfo.SetPhase(3.0 * kPi / 2.0);
    EXPECT_EQ(lfo.Value(), 0.0);
    lfo.SetPhase(0.0);
    EXPECT_EQ(lfo.Value(), 0.7);
    lfo.SetPhase(kPi);
    EXPECT_EQ(lfo.Value(), 0.0);  // the second half starts at pi
    // Phases beyond one cycle are taken modulo 2 pi.
    lfo.SetPhase(kTwoPi + kPi / 2.0);
    EXPECT_EQ(lfo.Value(), 0.7);
    lfo.SetPhase(3.0 * kTwoPi + 3.0 * kPi / 2.0);
    EXPECT_EQ(lfo.Value(), 0.0);
}

TEST(Modulator, ZeroRateSilencesBothShapesWhateverPhaseAndDepth) {
    Modulator lfo = VoiceLfo();
    lfo.SetNormalisedRate(0.0);
    for (const int shape : {Modulator::kSine, Modulator::kSquare}) {
        lfo.SetShape(shape);
        for (const double depth : {0.5, 1.0, 3.0}) {
            lfo.SetDepth(depth);
            for (const double phase : {0.0, 0.4, kPi / 2.0, 2.5, 10.0}) {
                lfo.SetPhase(phase);
                EXPECT_EQ(lfo.Value(), 0.0) << "shape " << shape << " depth " << depth << " phase " << phase;
            }
        }
    }
}

TEST(Modulator, BypassedUnitGivesZero) {
    Modulator lfo = VoiceLfo();
    lfo.SetPhase(kPi / 2.0);
    ASSERT_DOUBLE_EQ(lfo.Value(), 0.5);
    lfo.SetBypassed(true);
    EXPECT_EQ(lfo.Value(), 0.0);
    lfo.SetShape(Modulator::kSquare);
    EXPECT_EQ(lfo.Value(), 0.0);
    lfo.SetBypassed(false);
    EXPECT_EQ(lfo.Value(), 0.5);
}

TEST(Modulator, FmOperatorStartsAsASilentSineWithA10kHzRange) {
    FmModulator fm;
    EXPECT_EQ(fm.Depth(), 0.0);
    EXPECT_EQ(fm.MaximumRateHz(), 10000.0);
    EXPECT_EQ(FmModulator::kMaximumRateHz, 10000.0);
    EXPECT_EQ(fm.NormalisedRate(), 0.1);
    EXPECT_EQ(fm.GetShape(), Modulator::kSine);
    EXPECT_EQ(fm.Phase(), 0.0);
    EXPECT_EQ(fm.Increment(), 1.0 / 44100.0);
    fm.SetPhase(kPi / 2.0);
    EXPECT_EQ(fm.Value(), 0.0);
}

TEST(Modulator, FmOperatorRunsAtAudioRateWithTheDepthItIsGiven) {
    FmModulator fm;
    fm.SetSampleRate(44100.0);
    fm.SetNormalisedRate(440.0 / 10000.0);
    EXPECT_DOUBLE_EQ(fm.Increment(), 2.0 * kPi * 440.0 / 44100.0);

    fm.SetDepth(0.6);
    fm.SetPhase(1.1);
    EXPECT_DOUBLE_EQ(fm.Value(), 0.6 * std::sin(1.1));
}
