#include "engine/block_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "engine/laws.h"
#include "engine/param_smoother.h"
#include "engine/waveform_provider.h"
#include "engine/waveform_table.h"

namespace kernels = Korvane::kernels;
using Korvane::WaveformProvider;
using Korvane::WaveformTable;

namespace {

// Phases over many cycles, negative ones, exact table positions and the
// points where the shapes switch; 77 of them, so every kernel also runs a
// tail shorter than its vectors.
std::vector<double> TestPhases() {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> wide(-40.0, 4000.0);
    std::vector<double> phases = {0.0, 0.125, 0.25, 0.5, 0.75, 1.0, -0.25, 1.0 - 1e-17, 4095.0 / 4096.0, 7.5};
    while (phases.size() < 77) phases.push_back(wide(random));
    return phases;
}

WaveformTable RandomTable() {
    std::mt19937 random(9);
    std::uniform_real_distribution<double> sample(-1.0, 1.0);
    WaveformTable table;
    for (double& value : table.Samples()) value = sample(random);
    return table;
}

TEST(BlockKernels, TableReadsGiveTheScalarReadsBitForBit) {
    const WaveformTable table = RandomTable();
    const std::vector<double> phases = TestPhases();
    std::vector<double> interpolated(phases.size()), nearest(phases.size());
    const auto count = static_cast<int>(phases.size());
    kernels::ReadInterpolated(table.Samples().data(), phases.data(), interpolated.data(), count);
    kernels::ReadNearest(table.Samples().data(), phases.data(), nearest.data(), count);
    for (std::size_t i = 0; i < phases.size(); ++i) {
        EXPECT_EQ(interpolated[i], table.Interpolated(phases[i])) << "phase " << phases[i];
        EXPECT_EQ(nearest[i], table.Nearest(phases[i])) << "phase " << phases[i];
    }
    // A NaN phase reads position 0 as the scalar read does.
    const double nan = std::nan("");
    double out = 1.0;
    kernels::ReadInterpolated(table.Samples().data(), &nan, &out, 1);
    EXPECT_EQ(out, table.Samples()[0]);
}

TEST(BlockKernels, RawShapesGiveTheProvidersSamplesBitForBit) {
    WaveformProvider provider;
    provider.BuildTables();
    const std::vector<double> phases = TestPhases();
    const auto count = static_cast<int>(phases.size());
    std::vector<double> out(phases.size());
    // Shape values of the sawtooth, pulse, quad pulse, oct pulse and triangle.
    for (int index : {1, 2, 3, 4, 5}) {
        const double shape = index / 35.0;
        provider.GetSamples(shape, phases.data(), out.data(), count, WaveformProvider::kUnfiltered);
        for (std::size_t i = 0; i < phases.size(); ++i) {
            EXPECT_EQ(out[i], provider.GetSample(shape, phases[i], WaveformProvider::kUnfiltered))
                << "waveform " << index << " phase " << phases[i];
        }
    }
    // The band-limited tables and a single-cycle table, at two octaves.
    for (int index : {1, 3, 9, 25}) {
        for (int octave : {0, 5}) {
            const double shape = index / 35.0;
            provider.GetSamples(shape, phases.data(), out.data(), count, octave);
            for (std::size_t i = 0; i < phases.size(); ++i) {
                EXPECT_EQ(out[i], provider.GetSample(shape, phases[i], octave)) << "waveform " << index << " octave " << octave;
            }
        }
    }
}

TEST(BlockKernels, SinesStayWithinAFewUlpOfTheLibrarysAtAnyPhase) {
    const std::vector<double> phases = TestPhases();
    const auto count = static_cast<int>(phases.size());
    std::vector<double> cycles(phases.size()), radians(phases.size());
    kernels::SineOfCycles(phases.data(), cycles.data(), count);
    kernels::ScaledSine(phases.data(), 0.5, radians.data(), count);
    for (std::size_t i = 0; i < phases.size(); ++i) {
        // The reference reduces to one cycle in long double, as exact as the phase itself.
        const long double fraction = phases[i] - std::floor(static_cast<long double>(phases[i]));
        const double expected = static_cast<double>(std::sin(2.0L * std::numbers::pi_v<long double> * fraction));
        EXPECT_NEAR(cycles[i], expected, 1e-14) << "phase " << phases[i];
        EXPECT_NEAR(radians[i], 0.5 * std::sin(phases[i]), 1e-12) << "phase " << phases[i];
    }
    EXPECT_NEAR(cycles[2], 1.0, 1e-15);   // a quarter cycle
    EXPECT_NEAR(cycles[4], -1.0, 1e-15);  // three quarters
}

TEST(BlockKernels, SaturationFollowsTheScalarLawAndLeavesUndrivenSamples) {
    std::vector<double> samples, drives;
    for (int i = 0; i < 70; ++i) {
        samples.push_back(-3.0 + 0.09 * i);
        // Runs of no drive, a drive below the law's minimum, and full drive.
        drives.push_back(i < 20 ? 0.0 : i < 30 ? 0.05 : 0.1 * (i % 11));
    }
    std::vector<double> out = samples;
    kernels::Saturate(out.data(), drives.data(), static_cast<int>(out.size()));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (drives[i] == 0.0) {
            EXPECT_EQ(out[i], samples[i]);
        } else {
            EXPECT_NEAR(out[i], Korvane::Saturate(samples[i], drives[i]), 4e-16) << "sample " << samples[i];
        }
    }
    // At the lowest drive +-1 maps to +-1: atan(1) / (pi / 4) times 1.
    double one = 1.0;
    const double lowest = Korvane::kMinimumSaturationDrive;
    kernels::Saturate(&one, &lowest, 1);
    EXPECT_NEAR(one, 1.0, 1e-15);
}

TEST(BlockKernels, FoldMeanAndDivideRoundAsScalarCode) {
    const std::vector<double> a = {0.75, -0.25, 0.0, -0.0, 1.0, -1.0, 0.5};
    const std::vector<double> b = {0.25, 0.5, -0.5, 0.0, 1.0, 0.125, -0.3};
    std::vector<double> folded = a, mean(a.size()), divided(a.size());
    kernels::FoldInverted(folded.data(), static_cast<int>(a.size()));
    kernels::MeanOfTwo(a.data(), b.data(), mean.data(), static_cast<int>(a.size()));
    kernels::Divide(a.data(), 1.0059463094359, divided.data(), static_cast<int>(a.size()));
    const std::vector<double> expectedFolds = {0.25, -0.75, 0.0, 0.0, 0.0, 0.0, 0.5};
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(folded[i], expectedFolds[i]);
        EXPECT_EQ(mean[i], (a[i] + b[i]) / 2.0);
        EXPECT_EQ(divided[i], a[i] / 1.0059463094359);
    }
}

TEST(ParamSmootherRun, WritesExactlyWhatSteppingWould) {
    for (double target : {0.0, 1.0, 0.37, -0.8}) {
        Korvane::ParamSmoother stepped(0.9877, 0.5);
        Korvane::ParamSmoother run(0.9877, 0.5);
        // Long enough to settle: gliding to 0 ends only at the smallest normal number.
        std::vector<double> out(60000);
        run.Run(target, out.data(), static_cast<int>(out.size()));
        for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], stepped.Step(target)) << "frame " << i;
        EXPECT_EQ(run.state, stepped.state);
        EXPECT_TRUE(run.IsSettled(target));
    }
    Korvane::ParamSmoother moving(0.99, 0.0);
    EXPECT_FALSE(moving.IsSettled(1.0));
}

}  // namespace

namespace {

TEST(BlockKernels, FilterInputShapingFollowsItsLaw) {
    // cutoff 0.8, modulation 0.25, ring 0.5, trim 0.99777; envelope 0.5, LFO 0.2, sample 0.6:
    //   base = 0.8 * 0.5 * 0.75 = 0.3; cutoff = 0.3 + 0.3 * 0.2 * 0.25 = 0.315
    //   inverted envelope: the same here, since 1 - 0.5 = 0.5
    //   x = 0.6 * 0.5 = 0.3; x += 0.3 * 0.2 * 0.5 = 0.33; times trim = 0.3292641
    std::vector<double> x(9, 0.6), cutoff(9), envelope(9, 0.5), lfo(9, 0.2);
    const kernels::FilterInputSettings settings{0.8, 0.25, 0.5, 0.99777, false};
    kernels::ShapeFilterInput(x.data(), cutoff.data(), envelope.data(), lfo.data(), settings, 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(cutoff[static_cast<std::size_t>(i)], 0.315, 1e-15);
        EXPECT_NEAR(x[static_cast<std::size_t>(i)], 0.3292641, 1e-15);
    }
    // An inverted envelope of 0.9 opens by 0.1; a large LFO swing is held at 1.
    std::vector<double> y(3, 1.0), high(3), nearlyOpen(3, 0.9), swing(3, 10.0);
    kernels::ShapeFilterInput(y.data(), high.data(), nearlyOpen.data(), swing.data(), {1.0, 0.5, 0.0, 1.0, true}, 3);
    EXPECT_NEAR(high[0], 0.1 * 0.5 + 0.05 * 10.0 * 0.5, 1e-15);  // 0.3
    kernels::ShapeFilterInput(y.data(), high.data(), nearlyOpen.data(), swing.data(), {1.0, 0.5, 0.0, 1.0, false}, 3);
    EXPECT_EQ(high[2], 1.0);  // 0.45 + 0.45 * 10 * 0.5 = 2.7, clamped
}

TEST(BlockKernels, InterleavingRoundTripsAnyLength) {
    for (int count : {1, 3, 8, 13, 64}) {
        std::vector<double> planes[4];
        for (int k = 0; k < 4; ++k) {
            for (int i = 0; i < count; ++i) planes[k].push_back(100.0 * k + i);
        }
        std::vector<double> laidOut(static_cast<std::size_t>(4 * count));
        kernels::Interleave4(planes[0].data(), planes[1].data(), planes[2].data(), planes[3].data(), laidOut.data(), count);
        for (int i = 0; i < count; ++i) {
            for (int k = 0; k < 4; ++k) ASSERT_EQ(laidOut[static_cast<std::size_t>(4 * i + k)], 100.0 * k + i);
        }
        std::vector<double> back[4];
        for (auto& plane : back) plane.assign(static_cast<std::size_t>(count), -1.0);
        kernels::Deinterleave4(laidOut.data(), back[0].data(), back[1].data(), back[2].data(), back[3].data(), count);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(back[k], planes[k]) << "count " << count;
    }
}

TEST(BlockKernels, PannedOscillatorsMixIntoBothSides) {
    // Two oscillators: 0.5 panned at 0.25 (right at 2 * 0.25 = half), 0.25
    // panned at 1 (left at 1 - 2 * 0.5 = none); gain 2, click 0.1, bass 0.3.
    //   left  = 0.5 + 0 = 0.5            -> mix 1 + 2 * 0.5 + 2 * 0.1 = 2.2
    //   right = 0.25 + 0.25 = 0.5        -> mix 1 + 2 * 0.5 + 2 * 0.1 = 2.2
    //   bass layer 1 + 2 * 0.3 = 1.6
    const int count = 11;
    std::vector<double> first(count, 0.5), firstPan(count, 0.25), second(count, 0.25), secondPan(count, 1.0);
    std::vector<double> gain(count, 2.0), click(count, 0.1), bass(count, 0.3);
    std::vector<double> left(count, 1.0), right(count, 1.0), bassLayer(count, 1.0);
    kernels::MixSources sources;
    sources.samples[0] = first.data();
    sources.pans[0] = firstPan.data();
    sources.samples[1] = second.data();
    sources.pans[1] = secondPan.data();
    sources.count = 2;
    kernels::MixOscillators(sources, gain.data(), click.data(), bass.data(), left.data(), right.data(), bassLayer.data(), count);
    for (int i = 0; i < count; ++i) {
        EXPECT_NEAR(left[static_cast<std::size_t>(i)], 2.2, 1e-15);
        EXPECT_NEAR(right[static_cast<std::size_t>(i)], 2.2, 1e-15);
        EXPECT_NEAR(bassLayer[static_cast<std::size_t>(i)], 1.6, 1e-15);
    }
}

}  // namespace
