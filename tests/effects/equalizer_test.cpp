#include "effects/equalizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/designs.h"
#include "dsp/filter.h"
#include "effects/dump_expand.h"

using Korvane::DumpExpand;
using Korvane::Equalizer;

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Each filter adds its 1e-8 anti-denormal offset to the signal.
constexpr double kTolerance = 1e-7;

struct Stereo { std::vector<double> left, right; };

// Tones across the bands; the right channel carries others.
Stereo Tones(int frames, std::array<double, 3> left = {300, 2400, 9000}, std::array<double, 3> right = {150, 2000, 5000}) {
    Stereo s{std::vector<double>(static_cast<std::size_t>(frames)), std::vector<double>(static_cast<std::size_t>(frames))};
    for (std::size_t i = 0; i < s.left.size(); ++i) {
        const double t = static_cast<double>(i) / 44100;
        for (int k = 0; k < 3; ++k) {
            s.left[i] += 0.3 * std::sin(kTwoPi * left[static_cast<std::size_t>(k)] * t);
            s.right[i] -= 0.3 * std::cos(kTwoPi * right[static_cast<std::size_t>(k)] * t);
        }
    }
    return s;
}

// Runs a whole signal through `unit` in blocks of `block` frames.
template <typename Unit>
void RunBlocks(Unit& unit, Stereo& s, int block = 128) {
    for (std::size_t start = 0; start < s.left.size(); start += static_cast<std::size_t>(block)) {
        const int count = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), s.left.size() - start));
        unit.Process(s.left.data() + start, s.right.data() + start, count);
    }
}

// Runs a whole signal through a Butterworth design of order 2: frequency, then bandwidth or gain.
template <typename Design>
Stereo Filtered(Stereo s, double frequency, double setting) {
    Dsp::FilterDesign<Design, 2, Dsp::DirectFormI> filter;
    filter.SetParams({44100.0, 2, frequency, setting});
    double* channels[2] = {s.left.data(), s.right.data()};
    filter.Process(static_cast<int>(s.left.size()), channels);
    return s;
}

double CutoffLaw(double control, double rate) {
    const double cutoff = 10.0 * std::pow(22040.0 / 10.0, std::min(1.0, control));
    return rate <= 44100.0 ? std::min(cutoff, 21000.0) : cutoff;
}

}  // namespace

TEST(Equalizer, ShelvesThenMidAddsABandPassedCopyOrFadesTowardABandStoppedOne) {
    using namespace Dsp::Butterworth::Design;
    const Stereo input = Tones(1024);
    const Stereo passed = Filtered<BandPass<2>>(input, 2400.0, 4000.0);
    const Stereo stopped = Filtered<BandStop<2>>(input, 2400.0, 4000.0);
    // Bass +12 dB at 400 Hz, then high -12 dB at 4400 Hz.
    const Stereo shelved = Filtered<HighShelf<2>>(Filtered<LowShelf<2>>(input, 400.0, 12.0), 4400.0, -12.0);
    // Expected: dryWeight * the shelf path (dry) + midWeight * the mid path (copy).
    struct Case { double mid, bass, high; const Stereo& dry; double dryWeight, midWeight; const Stereo& copy; };
    const Case cases[] = {
        {0.5, 0.5, 0.5, input, 1.0, 0.0, passed},  // flat: the signal passes unchanged
        {0.75, 0.5, 0.5, input, 1.0, 0.25, passed},  // e = ((0.75 - 0.5) * 2)^2
        {0.75, 0.75, 0.25, shelved, 1.0, 0.25, passed},
        {0.5, 0.75, 0.25, shelved, 1.0, 0.0, passed},
        {1.0, 0.5, 0.5, input, 1.0, 1.0, passed},
        {0.25, 0.5, 0.5, input, 0.75, 0.25, stopped},
        {0.0, 1.0, 0.0, input, 0.0, 1.0, stopped},  // the shelves drop out entirely
    };
    for (const Case& c : cases) {
        Equalizer eq;
        eq.SetBass(c.bass);
        eq.SetMid(c.mid);
        eq.SetHigh(c.high);
        eq.CompleteGlides();
        Stereo s = input;
        RunBlocks(eq, s);
        for (std::size_t i = 0; i < s.left.size(); ++i) {
            ASSERT_NEAR(s.left[i], c.dryWeight * c.dry.left[i] + c.midWeight * c.copy.left[i], kTolerance) << c.mid << " frame " << i;
            ASSERT_NEAR(s.right[i], c.dryWeight * c.dry.right[i] + c.midWeight * c.copy.right[i], kTolerance) << c.mid << " frame " << i;
        }
    }
}

TEST(Equalizer, GainReadoutsSpanPlusMinus24Db) {
    Equalizer eq;
    for (double v : {0.0, 0.25, 0.5, 0.8, 1.0}) {
        eq.SetBass(v);
        eq.SetMid(1.0 - v);
        eq.SetHigh(v / 2);
        EXPECT_NEAR(eq.BassGainDb(), -24 + 48 * v, 1e-12);
        EXPECT_NEAR(eq.MidGainDb(), -24 + 48 * (1.0 - v), 1e-12);
        EXPECT_NEAR(eq.HighGainDb(), -24 + 48 * (v / 2), 1e-12);
    }
}

TEST(Equalizer, BlocksLongerThanTheCapacityPassUntouched) {
    Equalizer eq;
    eq.SetMid(0.0);
    DumpExpand dump;
    dump.SetPosition(0.0);
    EXPECT_EQ(eq.Capacity(), 128);
    EXPECT_EQ(dump.Capacity(), 128);
    const Stereo input = Tones(129);
    Stereo a = input, b = input;
    eq.Process(a.left.data(), a.right.data(), 129);
    dump.Process(b.left.data(), b.right.data(), 129);
    EXPECT_EQ(a.left, input.left);
    EXPECT_EQ(b.left, input.left);

    eq.Prepare(256);
    dump.Prepare(256);
    dump.Prepare(64);
    EXPECT_EQ(dump.Capacity(), 256) << "buffers only grow";
    eq.Process(a.left.data(), a.right.data(), 129);
    dump.Process(b.left.data(), b.right.data(), 129);
    EXPECT_NE(a.left, input.left);
    EXPECT_NE(b.left, input.left);
}

TEST(Equalizer, FadesOutThenStopsProcessing) {
    Equalizer eq;
    eq.SetMid(0.0);
    eq.SetBypassed(true);
    const Stereo input = Tones(384);
    const Stereo stopped = Filtered<Dsp::Butterworth::Design::BandStop<2>>(input, 2400.0, 4000.0);
    Stereo s = input;
    RunBlocks(eq, s);
    for (std::size_t i = 0; i < 256; ++i) {
        const double fade = std::max(0.0, 0.995 - 0.005 * static_cast<double>(i));
        ASSERT_NEAR(s.left[i], (1 - fade) * input.left[i] + fade * stopped.left[i], kTolerance) << i;
    }
    for (std::size_t i = 256; i < 384; ++i) ASSERT_EQ(s.left[i], input.left[i]) << "faded out, frame " << i;
}

TEST(DumpExpand, PositionSetsBothCutoffsExponentially) {
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        DumpExpand dump;
        dump.SetSampleRate(rate);
        for (double p : {0.0, 0.1, 0.25, 0.4, 0.5, 0.6, 0.75, 0.9, 0.99, 1.0}) {
            dump.SetPosition(p);
            const double low = CutoffLaw(2 * p, rate);
            const double high = CutoffLaw(2 * (p - 0.5), rate);
            EXPECT_NEAR(dump.LowPassCutoffHz(), low, low * 1e-9) << rate << " " << p;
            EXPECT_NEAR(dump.HighPassCutoffHz(), high, high * 1e-9) << rate << " " << p;
        }
        EXPECT_NEAR(dump.LowPassCutoffHz(), rate <= 44100.0 ? 21000.0 : 22040.0, 1e-6);
    }
    DumpExpand dump;
    dump.SetPosition(-0.5);
    EXPECT_EQ(dump.Position(), 0.0);
    EXPECT_NEAR(dump.LowPassCutoffHz(), 10.0, 1e-9);
    dump.SetPosition(1.7);
    EXPECT_EQ(dump.Position(), 1.0);
    EXPECT_NEAR(dump.HighPassCutoffHz(), 21000.0, 1e-6);
}

TEST(DumpExpand, CentrePositionIsOpenAndTheEndsShut) {
    struct Case { double position, lowest, highest; };  // bounds of the 880 Hz gain
    for (const Case& c : {Case{0.5, 0.99, 1.01}, Case{0.0, 0.0, 0.01}, Case{1.0, 0.0, 0.01}}) {
        DumpExpand dump;
        dump.SetPosition(c.position);
        dump.CompleteGlides();
        const Stereo input = Tones(16384, {880, 880, 880}, {880, 880, 880});
        Stereo s = input;
        RunBlocks(dump, s);
        double in = 0, out = 0;
        for (std::size_t i = 8192; i < s.left.size(); ++i) {
            in += input.left[i] * input.left[i];
            out += s.left[i] * s.left[i];
        }
        const double gain = std::sqrt(out / in);
        EXPECT_GE(gain, c.lowest) << c.position;
        EXPECT_LE(gain, c.highest) << c.position;
    }
}

TEST(DumpExpand, DisplayShowsTheActiveFiltersResponse) {
    for (double p : {0.3, 0.5, 0.8}) {
        DumpExpand dump;
        dump.SetPosition(p);
        std::array<double, DumpExpand::kDisplayPoints> display{};
        dump.FillDumpExpandDisplay(display);
        Dsp::FilterDesign<Dsp::ChebyshevI::Design::LowPass<2>, 2, Dsp::DirectFormI> lowPass;
        Dsp::FilterDesign<Dsp::ChebyshevI::Design::HighPass<2>, 2, Dsp::DirectFormI> highPass;
        lowPass.SetParams({44100.0, 2, CutoffLaw(2 * p, 44100.0), 0.01});
        highPass.SetParams({44100.0, 2, CutoffLaw(2 * (p - 0.5), 44100.0), 0.01});
        const Dsp::Filter& active = p >= 0.5 ? static_cast<const Dsp::Filter&>(highPass) : lowPass;
        for (int i = 0; i < DumpExpand::kDisplayPoints; ++i) {
            const double t = i / 30.0;
            const double expected = (p > 0.5 && i == 29) ? 1.0 : std::abs(active.Response(t * t * 0.5));
            EXPECT_NEAR(display[static_cast<std::size_t>(i)], expected, 1e-9) << p << " point " << i;
        }
    }
}
