#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "effects/phaser.h"
#include "effects/ring_modulator.h"

using Korvane::Phaser;
using Korvane::RingModulator;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * kPi;

struct Stereo {
    std::vector<double> left, right;
    Stereo(int frames, double l, double r) : left(static_cast<std::size_t>(frames), l), right(static_cast<std::size_t>(frames), r) {}
    int Frames() const { return static_cast<int>(left.size()); }
};

}  // namespace

TEST(RingModulator, ZeroFrequencyZeroAmountOrFadedOutLeaveSignalAndPhase) {
    struct Case { double frequency, amount; bool bypassed; };
    for (const Case& c : {Case{0.0, 1.0, false}, Case{0.5, 0.0, false}, Case{0.5, 1.0, true}}) {
        RingModulator ring;
        ring.SetFrequency(c.frequency);
        ring.SetAmount(c.amount);
        if (c.bypassed) {
            ring.SetBypassed(true);
            Stereo fade(300, 0.5, 0.5);  // 199 frames take the fade gain to 0
            ring.Process(fade.left.data(), fade.right.data(), fade.Frames());
        }
        const double phase = ring.Phase();  // 0 unless the fade ran
        Stereo s(64, 0.5, -0.25);
        ring.Process(s.left.data(), s.right.data(), s.Frames());
        EXPECT_EQ(s.left, std::vector<double>(64, 0.5)) << c.frequency << " " << c.amount;
        EXPECT_EQ(s.right, std::vector<double>(64, -0.25)) << c.frequency << " " << c.amount;
        EXPECT_EQ(ring.Phase(), phase) << "the phase holds";
    }
}

TEST(RingModulator, FiveWaveforms) {
    struct Case { int waveform; double phase, expected; };
    const double belowPi = std::nextafter(kPi, 0.0);
    const Case cases[] = {
        {0, 1.0, std::sin(1.0)}, {9, 1.0, std::sin(1.0)},  // unknown values read as sine
        {1, 0.0, 1.0}, {1, belowPi, 1.0}, {1, kPi, -1.0}, {1, 1.5 * kPi, -1.0},
        {2, 0.0, 0.0}, {2, 0.5 * kPi, 0.5}, {2, belowPi, belowPi / kPi}, {2, kPi, -1.0}, {2, 1.5 * kPi, -0.5},
        {3, 1.0, (std::sin(1.0) - std::sin(2.0)) * 0.5}, {3, 4.0, (std::sin(4.0) - std::sin(8.0)) * 0.5},
        {4, 1.0, (std::sin(2.0) - std::sin(1.0) + std::sin(4.0)) * 0.3},
        {4, 5.5, (std::sin(11.0) - std::sin(5.5) + std::sin(22.0)) * 0.3},
    };
    RingModulator ring;
    for (const Case& c : cases) {
        ring.SetWaveform(c.waveform);
        EXPECT_NEAR(ring.WaveformValue(c.phase), c.expected, 1e-15) << "waveform " << c.waveform << " phase " << c.phase;
    }
}

TEST(RingModulator, PhaseIncrementFollowsFrequencyAndSampleRate) {
    RingModulator ring;
    EXPECT_EQ(ring.Frequency(), 0.1);
    EXPECT_EQ(ring.PhaseIncrement(), 1.0 / 44100);
    ring.SetSampleRate(44100);
    EXPECT_NEAR(ring.PhaseIncrement(), 0.1 / 44100 * 4000 * kTwoPi, 1e-15);
    ring.SetFrequency(0.3);
    EXPECT_NEAR(ring.PhaseIncrement(), 0.3 / 44100 * 4000 * kTwoPi, 1e-15);
    ring.SetSampleRate(96000);
    const double increment = 0.3 / 96000 * 4000 * kTwoPi;
    EXPECT_NEAR(ring.PhaseIncrement(), increment, 1e-15);

    ring.SetAmount(0.5);
    Stereo s(1000, 0.1, 0.1);
    ring.Process(s.left.data(), s.right.data(), s.Frames());
    EXPECT_NEAR(ring.Phase(), std::fmod(1000 * increment, kTwoPi), 1e-9);
    EXPECT_LT(ring.Phase(), kTwoPi);
}

TEST(RingModulator, CrossfadesTheProductWithTheDrySignalAtTheSmoothedAmount) {
    RingModulator ring;
    ring.SetFrequency(0.25);  // 1000 Hz
    ring.SetAmount(1.0);
    constexpr int kFrames = 400;
    Stereo s(kFrames, 0.5, -0.8);
    ring.Process(s.left.data(), s.right.data(), kFrames);
    const double increment = 0.25 / 44100 * 4000 * kTwoPi;
    for (int i = 0; i < kFrames; ++i) {
        const double g = 1 - std::pow(0.9877, i + 1);
        const double e = std::sin(i * increment);
        ASSERT_NEAR(s.left[static_cast<std::size_t>(i)], 0.5 * g * e + (1 - g) * 0.5, 1e-9) << i;
        ASSERT_NEAR(s.right[static_cast<std::size_t>(i)], -0.8 * g * e + (1 - g) * -0.8, 1e-9) << i;
    }
}

TEST(Phaser, DepthZeroLeavesTheSignalUntouched) {
    Phaser phaser;
    Stereo s(256, 0.5, -0.3);
    phaser.Process(s.left.data(), s.right.data(), s.Frames());
    EXPECT_EQ(s.left, std::vector<double>(256, 0.5));
    EXPECT_EQ(s.right, std::vector<double>(256, -0.3));
}

TEST(Phaser, LfoRateFollowsTheCurrentSampleRate) {
    Phaser phaser;
    EXPECT_EQ(phaser.Feedback(), 0.5);  // its 0.999 scaling shows in the settled output below
    EXPECT_NEAR(phaser.LfoIncrement(), kTwoPi * 2 / 44100, 1e-18) << "2 Hz";
    phaser.SetRate(0.4);
    EXPECT_NEAR(phaser.LfoIncrement(), 0.4 / 44100 * kTwoPi * 10, 1e-18);
    phaser.SetSampleRate(96000);
    phaser.SetRate(0.4);
    EXPECT_NEAR(phaser.LfoIncrement(), 0.4 / 96000 * kTwoPi * 10, 1e-18) << "still 4 Hz";
}

TEST(Phaser, FirstFrameSweepsFromTheMidpointFixedAt44100) {
    // The LFO starts at phase 0: d is the sweep's midpoint and the six stages of a
    // silent chain turn an input x into c^6 * x.
    const double minDelay = 440.0 / 22050, maxDelay = 1600.0 / 22050;
    const double d = (maxDelay - minDelay) / 2 + minDelay;
    const double c = (1 - d) / (1 + d);
    for (double rate : {44100.0, 96000.0}) {
        Phaser phaser;
        phaser.SetSampleRate(rate);
        phaser.SetDepth(0.8);
        Stereo s(1, 1.0, 0.5);
        phaser.Process(s.left.data(), s.right.data(), 1);
        const double depth = 0.0123 * 0.8;
        EXPECT_NEAR(s.left[0], 1.0 + depth * std::pow(c, 6), 1e-15) << rate;
        EXPECT_NEAR(s.right[0], 0.5 + depth * 0.5 * std::pow(c, 6), 1e-15) << rate;
    }
}

TEST(Phaser, SettledFullDepthAddsTheWholeChainOutputToTheDry) {
    // The all-pass chain passes a constant at unity gain, so the settled chain
    // output is x / (1 - feedback) and the dry signal adds x on top.
    for (double feedback : {0.0, 0.5}) {
        Phaser phaser;
        phaser.SetRate(0.0);
        phaser.SetFeedback(feedback);
        phaser.SetDepth(1.0);
        Stereo silence(8000, 0.0, 0.0);
        phaser.Process(silence.left.data(), silence.right.data(), silence.Frames());
        Stereo s(4000, 0.5, -0.25);
        phaser.Process(s.left.data(), s.right.data(), s.Frames());
        const double chainGain = 1 / (1 - 0.999 * feedback);
        EXPECT_NEAR(s.left.back(), 0.5 * (1 + chainGain), 1e-6) << feedback;
        EXPECT_NEAR(s.right.back(), -0.25 * (1 + chainGain), 1e-6) << feedback;
    }
}
