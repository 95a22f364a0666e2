#include "engine/waveform_provider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/user_waveform_defaults.h"
#include "engine/waveform_table.h"
#include "support/reference_smoothing.h"

namespace {

using Korvane::FoldInverted;
using Korvane::WaveformProvider;
using Korvane::WaveformTable;
using Korvane::WaveformTableSet;

constexpr int kN = 4096;
constexpr double kPi = std::numbers::pi;
constexpr double kTablePeak = 0.98777;
constexpr double kUserTablePeak = 0.998777;

// The waveform list, index by index.
const std::array<std::string, 36> kExpectedNames = {
    "Sine",       "Sawtooth",   "Pulse",       "QuadPulse",   "OctPulse",      "Triangle",  "WhiteNoize",
    "Noize",      "LQ Noize 1", "LQ Noize 2",  "LQ Noize 3",  "Pyrokinesis",   "S-Receptor", "D-Receptor",
    "Shikoku",    "KIC 8462852", "Synapsis",   "Brick-Breaker", "Wavescape",   "Geo-Chirp", "Wave-Garden",
    "User1",      "User2",      "User3",       "User4",       "User5",         "User6",     "User7",
    "User8",      "User9",      "User10",      "User11",      "User12",        "User13",    "User14",
    "User15",
};

// Shape value that selects waveform `index`.
double ShapeOf(int index) { return index / 35.0; }

// ---- Reference laws, written out independently of the engine ----

double Frac(double x) { return x - std::floor(x); }

double Tri(double x) {
    const double f = Frac(x);
    if (f < 0.25) return 4.0 * f;
    if (f < 0.75) return 2.0 - 4.0 * f;
    return 4.0 * (f - 1.0);
}

// The C run-time generator: state * 214013 + 2531011 mod 2^32, bits 16..30.
struct ReferenceRand {
    uint32_t state;
    int operator()() {
        state = static_cast<uint32_t>((static_cast<uint64_t>(state) * 214013u + 2531011u) & 0xFFFFFFFFu);
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};


void ReferenceNormalise(std::vector<double>& s, double peak) {
    double largest = 0.0;
    for (double v : s) largest = std::max(largest, std::abs(v));
    if (largest == 0.0) return;
    for (double& v : s) v *= peak / largest;
}

double PeakOf(std::span<const double> s) {
    double largest = 0.0;
    for (double v : s) largest = std::max(largest, std::abs(v));
    return largest;
}

std::vector<double> ToVector(std::span<const double, kN> s) { return {s.begin(), s.end()}; }

void ExpectTableNear(std::span<const double, kN> actual, const std::vector<double>& expected, double tolerance,
                     const std::string& what) {
    int mismatches = 0;
    for (int j = 0; j < kN && mismatches < 5; ++j) {
        const auto at = static_cast<std::size_t>(j);
        if (!(std::abs(actual[at] - expected[at]) <= tolerance)) {
            ADD_FAILURE() << what << ": sample " << j << " is " << actual[at] << ", expected " << expected[at];
            ++mismatches;
        }
    }
}

// ---- Selection and names ----

TEST(WaveformProvider, ShapeValueJustAboveHalfAStepSelectsSawtooth) {
    EXPECT_EQ(WaveformProvider::IndexOf(0.0143), 1);
    EXPECT_EQ(WaveformProvider::GetName(0.0143), "Sawtooth");
    EXPECT_EQ(WaveformProvider::IndexOf(0.0142), 0);
    EXPECT_EQ(WaveformProvider::GetName(0.0142), "Sine");
}

TEST(WaveformProvider, ShapeValueOneSelectsUser15) {
    EXPECT_EQ(WaveformProvider::IndexOf(1.0), 35);
    EXPECT_EQ(WaveformProvider::GetName(1.0), "User15");
}

TEST(WaveformProvider, ShapeValuesOutsideTheRangeClampToTheEnds) {
    EXPECT_EQ(WaveformProvider::IndexOf(-0.3), 0);
    EXPECT_EQ(WaveformProvider::GetName(-0.3), "Sine");
    EXPECT_EQ(WaveformProvider::GetName(-1e9), "Sine");
    EXPECT_EQ(WaveformProvider::IndexOf(1.2), 35);
    EXPECT_EQ(WaveformProvider::GetName(7.0), "User15");
    EXPECT_EQ(WaveformProvider::GetName(std::nan("")), "Sine");
}

TEST(WaveformProvider, ShapeValueRoundsToTheNearestOfThirtySixPositions) {
    for (int index = 0; index < 36; ++index) {
        EXPECT_EQ(WaveformProvider::IndexOf(ShapeOf(index)), index);
        // floor(s * 35 + 0.5): just under half a step above stays, just over moves on.
        EXPECT_EQ(WaveformProvider::IndexOf((index + 0.49) / 35.0), index);
        if (index < 35) {
            EXPECT_EQ(WaveformProvider::IndexOf((index + 0.51) / 35.0), index + 1);
        }
    }
}

TEST(WaveformProvider, EveryIndexHasItsDisplayName) {
    for (int index = 0; index < 36; ++index) {
        EXPECT_EQ(WaveformProvider::GetName(ShapeOf(index)), kExpectedNames[static_cast<std::size_t>(index)]) << index;
        EXPECT_EQ(WaveformProvider::NameOfIndex(index), kExpectedNames[static_cast<std::size_t>(index)]) << index;
    }
}

TEST(WaveformProvider, EveryDisplayNameReadsBackAsItsIndex) {
    for (int index = 0; index < 36; ++index) {
        EXPECT_EQ(WaveformProvider::IndexOfName(kExpectedNames[static_cast<std::size_t>(index)]), index)
            << kExpectedNames[static_cast<std::size_t>(index)];
    }
}

TEST(WaveformProvider, FormAliasesNameTheTableShapesElevenToTwenty) {
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(WaveformProvider::IndexOfName("Form" + std::to_string(n)), 10 + n) << n;
    }
    EXPECT_EQ(WaveformProvider::IndexOfName("Form1"), 11);
    EXPECT_EQ(WaveformProvider::IndexOfName("Form3"), 13);
    EXPECT_EQ(WaveformProvider::NameOfIndex(WaveformProvider::IndexOfName("Form3")), "D-Receptor");
    EXPECT_EQ(WaveformProvider::IndexOfName("Form10"), 20);
}

TEST(WaveformProvider, NamesAreComparedExactlyAndUnknownNamesSelectSine) {
    EXPECT_EQ(WaveformProvider::IndexOfName("form3"), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName("Form3 "), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName("Form0"), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName("Form11"), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName("sawtooth"), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName("Sawtooth2"), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName("User"), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName("User16"), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName(""), 0);
    EXPECT_EQ(WaveformProvider::IndexOfName("Nonsense"), 0);
}

// ---- Fold of an inverted oscillator ----

TEST(WaveformProviderFold, FoldMovesSamplesTowardTheOppositePeakAndKeepsZero) {
    EXPECT_DOUBLE_EQ(FoldInverted(0.3), 0.7);
    EXPECT_DOUBLE_EQ(FoldInverted(-0.3), -0.7);
    EXPECT_EQ(FoldInverted(1.0), 0.0);
    EXPECT_EQ(FoldInverted(-1.0), 0.0);
    EXPECT_EQ(FoldInverted(0.0), 0.0);
    EXPECT_DOUBLE_EQ(FoldInverted(0.9), 1.0 - 0.9);
    EXPECT_DOUBLE_EQ(FoldInverted(-0.05), -0.95);
}

// ---- Single-cycle tables ----

TEST(WaveformTable, HoldsFourThousandNinetySixSilentSamplesWithAStepOfOneOverSize) {
    EXPECT_EQ(WaveformTable::kSize, 4096);
    EXPECT_EQ(WaveformTable::kStep, 0.000244140625);
    const WaveformTable table("Probe");
    EXPECT_EQ(table.Name(), "Probe");
    ASSERT_EQ(table.Samples().size(), 4096u);
    for (double v : table.Samples()) EXPECT_EQ(v, 0.0);
}

class WaveformTableLookup : public ::testing::Test {
protected:
    void SetUp() override {
        for (int j = 0; j < kN; ++j) table.Samples()[static_cast<std::size_t>(j)] = Value(j);
    }
    static double Value(int j) { return std::sin(0.37 * j) + 0.001 * j; }
    WaveformTable table{"Lookup"};
};

TEST_F(WaveformTableLookup, LookupAtASampleBoundaryGivesThatSample) {
    for (int j : {0, 1, 2, 100, 2047, 2048, 4000, 4095}) {
        EXPECT_EQ(table.Interpolated(static_cast<double>(j) / kN), Value(j)) << j;
    }
}

TEST_F(WaveformTableLookup, LookupBetweenSamplesIsLinear) {
    for (int j : {0, 17, 1234, 3000}) {
        for (double t : {0.25, 0.5, 0.75}) {
            const double expected = (1.0 - t) * Value(j) + t * Value(j + 1);
            EXPECT_NEAR(table.Interpolated((j + t) / kN), expected, 1e-12) << j << " " << t;
        }
    }
}

TEST_F(WaveformTableLookup, LookupPastTheLastSampleBlendsIntoTheFirst) {
    EXPECT_NEAR(table.Interpolated((4095 + 0.5) / kN), 0.5 * Value(4095) + 0.5 * Value(0), 1e-12);
    EXPECT_NEAR(table.Interpolated((4095 + 0.25) / kN), 0.75 * Value(4095) + 0.25 * Value(0), 1e-12);
}

TEST_F(WaveformTableLookup, LookupPhaseWrapsAboveOneAndBelowZero) {
    EXPECT_EQ(table.Interpolated(1.0), Value(0));
    EXPECT_EQ(table.Interpolated(5.5), Value(2048));
    EXPECT_EQ(table.Interpolated(-0.25), Value(3072));
    EXPECT_EQ(table.Interpolated(-3.0), Value(0));
    EXPECT_NEAR(table.Interpolated(2.0 + (10 + 0.5) / kN), 0.5 * Value(10) + 0.5 * Value(11), 1e-12);
    EXPECT_NEAR(table.Interpolated(-1.0 + (10 + 0.5) / kN), 0.5 * Value(10) + 0.5 * Value(11), 1e-12);
}

TEST_F(WaveformTableLookup, NearestLookupTakesTheLowerSampleWithoutBlending) {
    for (int j : {0, 9, 2047, 4095}) {
        EXPECT_EQ(table.Nearest((j + 0.9) / kN), Value(j)) << j;
        EXPECT_EQ(table.Nearest(static_cast<double>(j) / kN), Value(j)) << j;
        EXPECT_EQ(table.Nearest(3.0 + (j + 0.5) / kN), Value(j)) << j;
        EXPECT_EQ(table.Nearest(-2.0 + (j + 0.5) / kN), Value(j)) << j;
    }
    EXPECT_EQ(table.Nearest(1.0), Value(0));
}

TEST_F(WaveformTableLookup, SmoothingRunsTheForwardThenTheBackwardPassInPlace) {
    for (int width : {2, 8, 16, 200}) {
        WaveformTable smoothed("Smoothed");
        std::ranges::copy(table.Samples(), smoothed.Samples().begin());
        smoothed.Smooth(width);
        std::vector<double> expected = ToVector(table.Samples());
        ReferenceSmooth(expected, width);
        ExpectTableNear(smoothed.Samples(), expected, 1e-12, "width " + std::to_string(width));
    }
}

TEST(WaveformTable, SmoothingWidthTwoFollowsTheRunningPassesOnASingleImpulse) {
    // Width 2: forward s[i] = (s[i-1] + s[i]) / 2, backward s[i] = (s[i] + s[i+1]) / 2.
    // Forward turns an impulse at 0 into f[i] = 2^-(i+1) (the wrap reads the
    // still-silent s[4095]). Backward starts at 4095 from (f[4095] + f[0]) / 2
    // = 1/4 and halves on the way down; near the impulse it sums the forward
    // tail, b[i] = sum over k of 2^-(k+1) f[i+k] = 2^-i / 3.
    WaveformTable table;
    table.Samples()[0] = 1.0;
    table.Smooth(2);
    EXPECT_DOUBLE_EQ(table.Samples()[4095], 0.25);
    EXPECT_DOUBLE_EQ(table.Samples()[4094], 0.125);
    EXPECT_DOUBLE_EQ(table.Samples()[4093], 0.0625);
    for (int i = 0; i < 10; ++i) {
        EXPECT_DOUBLE_EQ(table.Samples()[static_cast<std::size_t>(i)], std::ldexp(1.0, -i) / 3.0) << i;
    }
}

TEST(WaveformTable, SmoothingKeepsAConstantTableConstant) {
    WaveformTable table;
    std::ranges::fill(table.Samples(), -0.375);
    table.Smooth(40);
    for (double v : table.Samples()) EXPECT_NEAR(v, -0.375, 1e-12);
}

TEST(WaveformTable, NormalisingScalesTheLargestMagnitudeToThePeak) {
    WaveformTable table;
    table.Samples()[3] = 1.0;
    table.Samples()[70] = -2.0;
    table.Samples()[900] = 0.5;
    table.Normalise(0.5);
    EXPECT_DOUBLE_EQ(table.Samples()[3], 0.25);
    EXPECT_DOUBLE_EQ(table.Samples()[70], -0.5);
    EXPECT_DOUBLE_EQ(table.Samples()[900], 0.125);
    EXPECT_EQ(table.Samples()[0], 0.0);
}

TEST(WaveformTable, NormalisingATableOfDenormalSamplesScalesItToThePeak) {
    WaveformTable table;
    const double tiny = std::numeric_limits<double>::denorm_min();
    table.Samples()[5] = tiny;
    table.Samples()[80] = -4.0 * tiny;
    table.Normalise(0.5);
    EXPECT_DOUBLE_EQ(table.Samples()[5], 0.125);
    EXPECT_DOUBLE_EQ(table.Samples()[80], -0.5);
    EXPECT_EQ(table.Samples()[0], 0.0);
}

TEST(WaveformTable, NormalisingASilentTableLeavesItSilent) {
    WaveformTable table;
    table.Normalise(0.98777);
    for (double v : table.Samples()) EXPECT_EQ(v, 0.0);
}

TEST(WaveformTableSet, HoldsEightTablesOneForEachOctaveIndex) {
    WaveformTableSet set("Probe");
    EXPECT_EQ(set.Name(), "Probe");
    EXPECT_EQ(WaveformTableSet::kOctaves, 8);
    for (int octave = 0; octave < 8; ++octave) {
        EXPECT_EQ(set.Table(octave).Samples().size(), 4096u);
        set.Table(octave).Samples()[0] = octave;
    }
    for (int octave = 0; octave < 8; ++octave) EXPECT_EQ(set.Table(octave).Samples()[0], octave);
}

// ---- Band-limited sets ----

// The built-in set of `shape` at octave index k, from the law: zeroed edges
// and centre sample, then smoothed; the saw is normalised to 1.
std::vector<double> ReferenceShapeTable(const std::function<double(double)>& shape, int k, bool normalise) {
    constexpr std::array<int, 8> kWidths = {8, 24, 40, 60, 80, 110, 150, 200};
    std::vector<double> s(kN);
    for (int j = 0; j < kN; ++j) {
        const bool zero = j < 8 * k || j == 2047 || j > kN - 8 * k;
        s[static_cast<std::size_t>(j)] = zero ? 0.0 : shape(static_cast<double>(j) / kN);
    }
    ReferenceSmooth(s, kWidths[static_cast<std::size_t>(k)]);
    if (normalise) ReferenceNormalise(s, 1.0);
    return s;
}

TEST(WaveformProviderSets, BuiltInSetsFollowTheZeroedSmoothedShapes) {
    const WaveformProvider provider;
    struct Shape {
        int index;
        const char* name;
        std::function<double(double)> law;
        bool normalise;
    };
    const std::array<Shape, 4> shapes = {{
        {1, "Saw", [](double x) { return x <= 0.5 ? 2.0 * x : 2.0 * x - 2.0; }, true},
        {2, "Pulse", [](double x) { return x < 0.5 ? 1.0 : -1.0; }, false},
        {3, "QuadPulse", [](double x) { return x < 0.25 ? 1.0 : -1.0; }, false},
        {4, "OctPulse", [](double x) { return x < 0.125 ? 1.0 : -1.0; }, false},
    }};
    for (const Shape& shape : shapes) {
        const WaveformTableSet& set = provider.BandLimitedSet(shape.index);
        EXPECT_EQ(set.Name(), shape.name);
        for (int k = 0; k < 8; ++k) {
            ExpectTableNear(set.Table(k).Samples(), ReferenceShapeTable(shape.law, k, shape.normalise), 1e-12,
                            std::string(shape.name) + " octave " + std::to_string(k));
        }
    }
}

TEST(WaveformProviderSets, SawTablesPeakAtOne) {
    const WaveformProvider provider;
    for (int k = 0; k < 8; ++k) EXPECT_NEAR(PeakOf(provider.BandLimitedSet(1).Table(k).Samples()), 1.0, 1e-15) << k;
}

// The user set at octave index k: the user table smoothed and normalised to 1.
std::vector<double> ReferenceUserSetTable(std::span<const double, kN> userTable, int k) {
    constexpr std::array<int, 8> kWidths = {8, 14, 22, 32, 44, 64, 80, 100};
    std::vector<double> s = ToVector(userTable);
    ReferenceSmooth(s, kWidths[static_cast<std::size_t>(k)]);
    ReferenceNormalise(s, 1.0);
    return s;
}

TEST(WaveformProviderSets, UserSetsAreTheUserTablesSmoothedAndNormalisedToOne) {
    WaveformProvider provider;
    provider.BuildTables();  // no base directory: built-in user contents
    for (int user = 1; user <= 15; ++user) {
        const WaveformTableSet& set = provider.BandLimitedSet(20 + user);
        EXPECT_EQ(set.Name(), "Waveform");
        for (int k = 0; k < 8; ++k) {
            // User1..13 were rescaled to 0.998777 by BuildTables; the set's own
            // normalisation to 1 makes that scale irrelevant.
            ExpectTableNear(set.Table(k).Samples(), ReferenceUserSetTable(provider.UserTable(user - 1).Samples(), k), 1e-12,
                            "User" + std::to_string(user) + " octave " + std::to_string(k));
        }
    }
}

// ---- Samples ----

class BuiltWaveformProvider : public ::testing::Test {
protected:
    void SetUp() override { provider.BuildTables(); }
    WaveformProvider provider;
};

TEST_F(BuiltWaveformProvider, PhaseOneGivesTheSameSampleAsPhaseZero) {
    for (int index = 0; index < 36; ++index) {
        if (index == WaveformProvider::kWhiteNoise) continue;
        for (int octave : {-1, 0, 7}) {
            EXPECT_NEAR(provider.GetSample(ShapeOf(index), 1.0, octave), provider.GetSample(ShapeOf(index), 0.0, octave), 1e-12)
                << "index " << index << " octave " << octave;
        }
    }
}

TEST_F(BuiltWaveformProvider, PhasesBeyondOneAndBelowZeroWrapIntoTheCycle) {
    for (int index = 0; index < 36; ++index) {
        if (index == WaveformProvider::kWhiteNoise) continue;
        for (int octave : {-1, 0, 5}) {
            for (double phase : {0.3125, 0.7001220703125, 0.0478515625}) {
                const double inCycle = provider.GetSample(ShapeOf(index), phase, octave);
                EXPECT_NEAR(provider.GetSample(ShapeOf(index), phase + 3.0, octave), inCycle, 1e-9)
                    << "index " << index << " octave " << octave << " phase " << phase;
                EXPECT_NEAR(provider.GetSample(ShapeOf(index), phase - 2.0, octave), inCycle, 1e-9)
                    << "index " << index << " octave " << octave << " phase " << phase;
            }
        }
    }
}

TEST_F(BuiltWaveformProvider, SineIsTheFormulaAtEveryOctave) {
    for (int octave : {-1, 0, 7}) {
        for (double phase : {0.0, 0.1, 0.25, 0.6, 0.75, 1.3}) {
            EXPECT_NEAR(provider.GetSample(0.0, phase, octave), std::sin(2.0 * kPi * phase), 1e-12);
        }
    }
}

TEST_F(BuiltWaveformProvider, UnfilteredSawRisesFromZeroAndJumpsAtHalfACycle) {
    const double saw = ShapeOf(1);
    EXPECT_EQ(provider.GetSample(saw, 0.0, -1), 0.0);
    EXPECT_EQ(provider.GetSample(saw, 0.25, -1), 0.5);
    EXPECT_EQ(provider.GetSample(saw, 0.4375, -1), 0.875);
    EXPECT_EQ(provider.GetSample(saw, 0.5, -1), -1.0);  // (0.5 - 1) * 2
    EXPECT_EQ(provider.GetSample(saw, 0.75, -1), -0.5);
    EXPECT_EQ(provider.GetSample(saw, 1.25, -1), 0.5);
}

TEST_F(BuiltWaveformProvider, UnfilteredPulsesSwitchAtTheirDutyPoints) {
    struct Case {
        int index;
        double duty;
    };
    for (const Case c : {Case{2, 0.5}, Case{3, 0.25}, Case{4, 0.125}}) {
        const double shape = ShapeOf(c.index);
        EXPECT_EQ(provider.GetSample(shape, 0.0, -1), 1.0) << c.index;
        EXPECT_EQ(provider.GetSample(shape, c.duty - 0.001, -1), 1.0) << c.index;
        EXPECT_EQ(provider.GetSample(shape, c.duty, -1), -1.0) << c.index;
        EXPECT_EQ(provider.GetSample(shape, 0.99, -1), -1.0) << c.index;
        EXPECT_EQ(provider.GetSample(shape, 2.0 + c.duty / 2.0, -1), 1.0) << c.index;
    }
}

TEST_F(BuiltWaveformProvider, TriangleIsZeroAtZeroUpAtAQuarterDownAtThreeQuarters) {
    const double triangle = ShapeOf(5);
    for (int octave : {-1, 0, 7}) {
        EXPECT_EQ(provider.GetSample(triangle, 0.0, octave), 0.0);
        EXPECT_EQ(provider.GetSample(triangle, 0.125, octave), 0.5);
        EXPECT_EQ(provider.GetSample(triangle, 0.25, octave), 1.0);
        EXPECT_EQ(provider.GetSample(triangle, 0.5, octave), 0.0);
        EXPECT_EQ(provider.GetSample(triangle, 0.75, octave), -1.0);
        EXPECT_NEAR(provider.GetSample(triangle, 0.9, octave), 4.0 * (0.9 - 1.0), 1e-12);
        EXPECT_NEAR(provider.GetSample(triangle, 0.6, octave), 2.0 - 4.0 * 0.6, 1e-12);
    }
}

TEST_F(BuiltWaveformProvider, WavescapeIsMinusSineOfTwiceThePhaseTimesSineSquared) {
    const double wavescape = ShapeOf(18);
    for (int octave : {-1, 0, 7}) {
        for (double phase : {0.1, 0.3, 0.45, 0.6, 0.85}) {
            const double s = std::sin(kPi * phase);
            EXPECT_NEAR(provider.GetSample(wavescape, phase, octave), -std::sin(4.0 * kPi * phase) * s * s, 1e-12);
        }
    }
}

TEST_F(BuiltWaveformProvider, BandLimitedShapesReadTheirSetTableWithInterpolation) {
    for (int index : {1, 2, 3, 4}) {
        for (int octave = 0; octave < 8; ++octave) {
            const WaveformTable& table = provider.BandLimitedSet(index).Table(octave);
            for (int j : {0, 300, 2047, 4095}) {
                const double expected = 0.5 * table.Samples()[static_cast<std::size_t>(j)] +
                                        0.5 * table.Samples()[static_cast<std::size_t>((j + 1) % kN)];
                EXPECT_NEAR(provider.GetSample(ShapeOf(index), (j + 0.5) / kN, octave), expected, 1e-12)
                    << index << " " << octave << " " << j;
                EXPECT_EQ(provider.GetSample(ShapeOf(index), static_cast<double>(j) / kN, octave),
                          table.Samples()[static_cast<std::size_t>(j)]);
            }
        }
    }
}

TEST_F(BuiltWaveformProvider, UserShapesAlwaysReadTheirSetAndUnfilteredTakesTableZero) {
    for (int user = 1; user <= 15; ++user) {
        const int index = 20 + user;
        const WaveformTableSet& set = provider.BandLimitedSet(index);
        for (int j : {5, 1000, 3333}) {
            const double phase = (j + 0.25) / kN;
            const auto at = static_cast<std::size_t>(j);
            const double table0 = 0.75 * set.Table(0).Samples()[at] + 0.25 * set.Table(0).Samples()[at + 1];
            const double table6 = 0.75 * set.Table(6).Samples()[at] + 0.25 * set.Table(6).Samples()[at + 1];
            EXPECT_NEAR(provider.GetSample(ShapeOf(index), phase, -1), table0, 1e-12) << user;
            EXPECT_NEAR(provider.GetSample(ShapeOf(index), phase, 0), table0, 1e-12) << user;
            EXPECT_NEAR(provider.GetSample(ShapeOf(index), phase, 6), table6, 1e-12) << user;
        }
    }
}

TEST_F(BuiltWaveformProvider, TableShapesTakeTheNearestLowerSampleAtEveryOctave) {
    for (int index = 7; index <= 20; ++index) {
        if (index == WaveformProvider::kWavescape) continue;
        const WaveformTable& table = provider.SingleCycleTable(index);
        for (int octave : {-1, 0, 7}) {
            for (int j : {0, 1, 777, 2048, 4095}) {
                const double sample = table.Samples()[static_cast<std::size_t>(j)];
                EXPECT_EQ(provider.GetSample(ShapeOf(index), (j + 0.75) / kN, octave), sample) << index << " " << j;
                EXPECT_EQ(provider.GetSample(ShapeOf(index), static_cast<double>(j) / kN, octave), sample) << index << " " << j;
            }
        }
    }
}

TEST_F(BuiltWaveformProvider, WhiteNoiseContinuesTheGeneratorAfterTheTableDraws) {
    // The tables draw 4096 (Noize) + 43 (every 96) + 86 (every 48) + 171 (every 24) values from seed 1600.
    ReferenceRand rand{1600};
    const int tableDraws = 4096 + (4095 / 96 + 1) + (4095 / 48 + 1) + (4095 / 24 + 1);
    ASSERT_EQ(tableDraws, 4396);
    for (int i = 0; i < tableDraws; ++i) rand();
    for (int i = 0; i < 50; ++i) {
        const double expected = rand() / 32767.0 * 2.0 - 1.0;
        const double sample = provider.GetSample(ShapeOf(6), 0.0, -1);
        EXPECT_DOUBLE_EQ(sample, expected) << i;
        EXPECT_GE(sample, -1.0);
        EXPECT_LE(sample, 1.0);
    }
}

TEST_F(BuiltWaveformProvider, WhiteNoiseIsTheSameSequenceInEveryInstanceAndIgnoresPhase) {
    WaveformProvider other;
    other.BuildTables();
    bool changes = false;
    double previous = provider.GetSample(ShapeOf(6), 0.0, -1);
    EXPECT_EQ(other.GetSample(ShapeOf(6), 0.7, 3), previous);
    for (int i = 0; i < 100; ++i) {
        const double sample = provider.GetSample(ShapeOf(6), 0.25 * i, -1);
        EXPECT_EQ(other.GetSample(ShapeOf(6), 0.5, 7), sample) << i;
        changes = changes || sample != previous;
        previous = sample;
    }
    EXPECT_TRUE(changes);
}

// ---- BuildTables ----

TEST_F(BuiltWaveformProvider, SineTableIsOneCycleAndNotNormalised) {
    const auto sine = provider.SingleCycleTable(0).Samples();
    for (int j = 0; j < kN; ++j) {
        EXPECT_NEAR(sine[static_cast<std::size_t>(j)], std::sin(2.0 * kPi * j / kN), 1e-15) << j;
    }
    EXPECT_EQ(sine[1024], 1.0);
    EXPECT_NEAR(PeakOf(sine), 1.0, 1e-15);
}

// Every table of indices 7..17, 19, 20 from its law, in the order the
// generator is drawn, before smoothing and normalisation.
std::array<std::vector<double>, 21> ReferenceRawTables() {
    std::array<std::vector<double>, 21> t;
    for (int index = 7; index <= 20; ++index) t[static_cast<std::size_t>(index)].assign(kN, 0.0);
    ReferenceRand rand{1600};
    auto r = [&rand] { return ((rand() % 7000) - 3500) / 3500.0; };
    double lq1 = 0.0;
    double lq2 = 0.0;
    double lq3 = 0.0;
    for (int j = 0; j < kN; ++j) {
        const auto at = static_cast<std::size_t>(j);
        const double x = static_cast<double>(j) / kN;
        const double S = std::sin(kPi * x);
        const double sq = j < 2048 ? 1.0 : -1.0;

        double e = std::sin(2.0 * kPi * x);
        if (e > 0.5) {
            e = e - Tri(x);
        } else if (e < -0.5) {
            e = e + std::abs(Tri(x));
        }
        t[11][at] = -e * S;
        t[12][at] = std::clamp(std::tan(kPi * x), -4.0, 4.0);
        t[13][at] = std::clamp(std::tan(2.0 * kPi * x), -4.0, 4.0);
        if (x < 0.25) {
            t[14][at] = 0.5 * Tri(2.0 * x);
        } else if (x < 0.75) {
            t[14][at] = Tri(2.0 * (x - 0.25));
        } else {
            t[14][at] = 0.5 * Tri(2.0 * x);
        }
        const double kic = x < 0.5 ? std::clamp(4.4 * std::sin(4.0 * kPi * x), -1.0, 1.0) : 0.5 * Tri(2.0 * (x - 0.5));
        t[15][at] = kic + 0.25 * Tri(4.0 * x);

        t[7][at] = r();
        if (j % 96 == 0) lq1 = r();
        t[8][at] = lq1;
        if (j % 48 == 0) {
            const double d = r();
            lq2 = (Tri(x / 2.0) * d + d) * 0.5;
        }
        t[9][at] = lq2;
        if (j % 24 == 0) {
            const double d = r();
            lq3 = d * Tri(x);
        }
        t[10][at] = lq3;

        t[16][at] = std::clamp(0.7 * sq - std::sin(16.0 * kPi * x) * 0.4 * sq * S * S, -1.0, 1.0);
        t[17][at] = (x >= 0.1 && x < 0.3) ? 1.0 : (x >= 0.6 && x < 0.7) ? -1.0 : 0.0;
        t[19][at] = Tri(60.0 * std::pow(1.0 - x, 15.0)) * std::cos(kPi * x / 2.0);
        t[20][at] = std::sin(4.0 * kPi * x) * std::pow(S, 4.0) + std::sin(12.0 * kPi * x) * (1.0 - S) * 0.25;
    }
    return t;
}

TEST_F(BuiltWaveformProvider, NoiseTablesShareOneSeededSequenceAndAreNormalised) {
    auto reference = ReferenceRawTables();
    for (int index : {7, 8, 9, 10}) {
        std::vector<double>& expected = reference[static_cast<std::size_t>(index)];
        ReferenceNormalise(expected, kTablePeak);
        ExpectTableNear(provider.SingleCycleTable(index).Samples(), expected, 1e-12, kExpectedNames[static_cast<std::size_t>(index)]);
    }
}

TEST_F(BuiltWaveformProvider, LowQualityNoisesHoldEachValueForTheirStride) {
    struct Case {
        int index;
        int stride;
    };
    for (const Case c : {Case{8, 96}, Case{9, 48}, Case{10, 24}}) {
        const auto table = provider.SingleCycleTable(c.index).Samples();
        int changes = 0;
        for (int j = 1; j < kN; ++j) {
            const bool same = table[static_cast<std::size_t>(j)] == table[static_cast<std::size_t>(j - 1)];
            if (j % c.stride != 0) {
                EXPECT_TRUE(same) << c.index << " " << j;
            } else if (!same) {
                ++changes;
            }
        }
        EXPECT_GT(changes, kN / c.stride / 2) << c.index;
    }
}

TEST_F(BuiltWaveformProvider, FormulaTablesFollowTheirLawsNormalisedToTheTablePeak) {
    auto reference = ReferenceRawTables();
    for (int index : {11, 12, 13, 14, 15, 16, 19, 20}) {
        std::vector<double>& expected = reference[static_cast<std::size_t>(index)];
        ReferenceNormalise(expected, kTablePeak);
        ExpectTableNear(provider.SingleCycleTable(index).Samples(), expected, 1e-12, kExpectedNames[static_cast<std::size_t>(index)]);
    }
}

TEST_F(BuiltWaveformProvider, ReceptorsAreClampedTangentsScaledFromFourToTheTablePeak) {
    const auto s = provider.SingleCycleTable(12).Samples();
    const auto d = provider.SingleCycleTable(13).Samples();
    const double scale = kTablePeak / 4.0;
    EXPECT_EQ(s[0], 0.0);
    EXPECT_NEAR(s[512], std::tan(kPi / 8.0) * scale, 1e-12);    // x = 1/8
    EXPECT_NEAR(s[1024], 1.0 * scale, 1e-12);                   // tan(pi/4)
    EXPECT_NEAR(s[2048], 4.0 * scale, 1e-12);                   // tan(pi/2) clamps to 4
    EXPECT_NEAR(s[3072], -1.0 * scale, 1e-12);                  // tan(3pi/4)
    EXPECT_NEAR(d[512], 1.0 * scale, 1e-12);                    // tan(pi/4)
    EXPECT_NEAR(d[1024], 4.0 * scale, 1e-12);                   // tan(pi/2) clamps to 4
    EXPECT_NEAR(d[1536], -1.0 * scale, 1e-12);                  // tan(3pi/4)
    EXPECT_NEAR(d[2048 + 512], 1.0 * scale, 1e-12);             // second cycle of tan(2 pi x)
}

TEST_F(BuiltWaveformProvider, BrickBreakerIsSmoothedWithWidthSixteenThenNormalised) {
    auto reference = ReferenceRawTables();
    std::vector<double>& expected = reference[17];
    ReferenceSmooth(expected, 16);
    ReferenceNormalise(expected, kTablePeak);
    ExpectTableNear(provider.SingleCycleTable(17).Samples(), expected, 1e-12, "Brick-Breaker");
    // The steps are softened: the first sample of the high block is below the plateau.
    const auto table = provider.SingleCycleTable(17).Samples();
    const int firstHigh = static_cast<int>(std::ceil(0.1 * kN));
    EXPECT_GT(table[static_cast<std::size_t>(firstHigh)], 0.0);
    EXPECT_LT(table[static_cast<std::size_t>(firstHigh)], kTablePeak);
}

TEST_F(BuiltWaveformProvider, ThirteenTablesPeakAtTheTablePeak) {
    for (int index = 7; index <= 20; ++index) {
        if (index == WaveformProvider::kWavescape) continue;
        EXPECT_NEAR(PeakOf(provider.SingleCycleTable(index).Samples()), kTablePeak, 1e-15) << index;
    }
}

TEST(WaveformProviderUserTables, StartWithTheBuiltInContents) {
    const WaveformProvider provider;
    for (int user = 0; user < 15; ++user) {
        const auto table = provider.UserTable(user).Samples();
        const auto& stored = Korvane::kUserWaveformDefaults[static_cast<std::size_t>(user)];
        for (int j = 0; j < kN; ++j) {
            EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(j)], stored[static_cast<std::size_t>(j)] / 32767.0) << user << " " << j;
        }
    }
}

TEST_F(BuiltWaveformProvider, UserTablesOneToThirteenAreNormalisedAndFourteenFifteenKeepTheirPeak) {
    const WaveformProvider unbuilt;
    for (int user = 0; user < 15; ++user) {
        const auto built = provider.UserTable(user).Samples();
        const auto original = unbuilt.UserTable(user).Samples();
        const double originalPeak = PeakOf(original);
        if (user < 13) {
            EXPECT_NEAR(PeakOf(built), kUserTablePeak, 1e-15) << "User" << user + 1;
            std::vector<double> expected = ToVector(original);
            ReferenceNormalise(expected, kUserTablePeak);
            ExpectTableNear(built, expected, 1e-15, "User" + std::to_string(user + 1));
        } else {
            EXPECT_EQ(PeakOf(built), originalPeak) << "User" << user + 1;
            EXPECT_NEAR(PeakOf(built), 0.9886, 0.0005) << "User" << user + 1;
            ExpectTableNear(built, ToVector(original), 0.0, "User" + std::to_string(user + 1));
        }
    }
}

// ---- Preview ----

TEST_F(BuiltWaveformProvider, PreviewSamplesSeventyEightPointsOfOneCycleAtOctaveZero) {
    std::array<double, 78> preview{};
    provider.RenderPreview(0.0, false, preview);
    for (int i = 0; i < 78; ++i) EXPECT_NEAR(preview[static_cast<std::size_t>(i)], std::sin(2.0 * kPi * i / 78.0), 1e-12) << i;

    provider.RenderPreview(ShapeOf(5), false, preview);
    for (int i = 0; i < 78; ++i) EXPECT_NEAR(preview[static_cast<std::size_t>(i)], Tri(i / 78.0), 1e-12) << i;

    for (int index : {1, 12, 24}) {
        provider.RenderPreview(ShapeOf(index), false, preview);
        for (int i = 0; i < 78; ++i) {
            EXPECT_EQ(preview[static_cast<std::size_t>(i)], provider.GetSample(ShapeOf(index), i / 78.0, 0)) << index << " " << i;
        }
    }
}

TEST_F(BuiltWaveformProvider, InvertedPreviewIsFolded) {
    std::array<double, 78> preview{};
    provider.RenderPreview(0.0, true, preview);
    for (int i = 0; i < 78; ++i) {
        const double s = std::sin(2.0 * kPi * i / 78.0);
        const double folded = s > 0.0 ? 1.0 - s : s < 0.0 ? -1.0 - s : 0.0;
        EXPECT_NEAR(preview[static_cast<std::size_t>(i)], folded, 1e-12) << i;
    }
    EXPECT_EQ(preview[0], 0.0);

    provider.RenderPreview(ShapeOf(5), true, preview);
    EXPECT_EQ(preview[0], 0.0);               // triangle 0 stays 0
    EXPECT_NEAR(preview[13], 1.0 - 4.0 / 6.0, 1e-12);  // tri(1/6) = 2/3
    EXPECT_NEAR(preview[65], -1.0 - 4.0 * (65.0 / 78.0 - 1.0), 1e-12);  // tri(5/6) = -2/3

    for (int index : {3, 15, 35}) {
        provider.RenderPreview(ShapeOf(index), true, preview);
        for (int i = 0; i < 78; ++i) {
            EXPECT_EQ(preview[static_cast<std::size_t>(i)], FoldInverted(provider.GetSample(ShapeOf(index), i / 78.0, 0)))
                << index << " " << i;
        }
    }
}

// ---- Incoming user waveforms ----

std::array<double, kN> Ramp(double scale) {
    std::array<double, kN> samples{};
    for (int j = 0; j < kN; ++j) samples[static_cast<std::size_t>(j)] = scale * (j - 2048) / 2048.0;
    return samples;
}

TEST_F(BuiltWaveformProvider, NoRefreshIsRequestedAtFirst) {
    EXPECT_FALSE(provider.IsRefreshRequested());
}

TEST_F(BuiltWaveformProvider, SubmittedUserWaveformIsCopiedIntoThatUserTableWhenApplied) {
    const auto incoming = Ramp(0.5);
    const std::vector<double> expected(incoming.begin(), incoming.end());
    const std::vector<double> before = ToVector(provider.UserTable(3).Samples());
    ASSERT_NE(before, expected);
    ASSERT_TRUE(provider.SubmitUserWaveform(ShapeOf(24), incoming));  // User4
    EXPECT_TRUE(provider.IsRefreshRequested());
    // Nothing changes until the audio side applies it.
    ExpectTableNear(provider.UserTable(3).Samples(), before, 0.0, "User4 while pending");

    provider.ApplyPendingUserWaveform();
    EXPECT_FALSE(provider.IsRefreshRequested());
    ExpectTableNear(provider.UserTable(3).Samples(), expected, 0.0, "User4");
}

TEST_F(BuiltWaveformProvider, ApplyingAUserWaveformTouchesOnlyThatUserTable) {
    WaveformProvider& p = provider;
    std::array<std::vector<double>, 15> before;
    for (int user = 0; user < 15; ++user) before[static_cast<std::size_t>(user)] = ToVector(p.UserTable(user).Samples());
    ASSERT_TRUE(p.SubmitUserWaveform(ShapeOf(35), Ramp(-0.25)));
    p.ApplyPendingUserWaveform();
    for (int user = 0; user < 14; ++user) {
        ExpectTableNear(p.UserTable(user).Samples(), before[static_cast<std::size_t>(user)], 0.0, "User" + std::to_string(user + 1));
    }
    const auto ramp = Ramp(-0.25);
    ExpectTableNear(p.UserTable(14).Samples(), std::vector<double>(ramp.begin(), ramp.end()), 0.0, "User15");
}

TEST_F(BuiltWaveformProvider, ApplyingAUserWaveformLeavesItsSoundAlone) {
    // Only the user table is replaced; the oscillator reads the set built
    // for that user, which is not rebuilt here.
    std::vector<double> before;
    for (int i = 0; i < 64; ++i) before.push_back(provider.GetSample(ShapeOf(24), i / 64.0 + 0.001, 0));
    ASSERT_TRUE(provider.SubmitUserWaveform(ShapeOf(24), Ramp(0.9)));
    provider.ApplyPendingUserWaveform();
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(provider.GetSample(ShapeOf(24), i / 64.0 + 0.001, 0), before[static_cast<std::size_t>(i)]) << i;
    }
}

TEST_F(BuiltWaveformProvider, NonUserShapeChangesNoTableButClearsTheRequest) {
    std::array<std::vector<double>, 15> users;
    for (int user = 0; user < 15; ++user) users[static_cast<std::size_t>(user)] = ToVector(provider.UserTable(user).Samples());
    std::array<std::vector<double>, 21> singles;
    for (int index = 7; index <= 20; ++index) {
        if (index != 18) singles[static_cast<std::size_t>(index)] = ToVector(provider.SingleCycleTable(index).Samples());
    }

    for (int index : {0, 12, 20}) {
        ASSERT_TRUE(provider.SubmitUserWaveform(ShapeOf(index), Ramp(0.75)));
        provider.ApplyPendingUserWaveform();
        EXPECT_FALSE(provider.IsRefreshRequested()) << index;
    }
    for (int user = 0; user < 15; ++user) {
        ExpectTableNear(provider.UserTable(user).Samples(), users[static_cast<std::size_t>(user)], 0.0,
                        "User" + std::to_string(user + 1));
    }
    for (int index = 7; index <= 20; ++index) {
        if (index == 18) continue;
        ExpectTableNear(provider.SingleCycleTable(index).Samples(), singles[static_cast<std::size_t>(index)], 0.0,
                        kExpectedNames[static_cast<std::size_t>(index)]);
    }
}

TEST_F(BuiltWaveformProvider, SecondSubmitIsRefusedWhileOneIsPending) {
    ASSERT_TRUE(provider.SubmitUserWaveform(ShapeOf(22), Ramp(0.5)));
    EXPECT_FALSE(provider.SubmitUserWaveform(ShapeOf(23), Ramp(-0.5)));
    EXPECT_TRUE(provider.IsRefreshRequested());
    provider.ApplyPendingUserWaveform();
    // The refused one went nowhere; the first one landed in User2.
    const auto first = Ramp(0.5);
    ExpectTableNear(provider.UserTable(1).Samples(), std::vector<double>(first.begin(), first.end()), 0.0, "User2");
    const WaveformProvider untouched;
    std::vector<double> user3 = ToVector(untouched.UserTable(2).Samples());
    ReferenceNormalise(user3, kUserTablePeak);
    ExpectTableNear(provider.UserTable(2).Samples(), user3, 1e-15, "User3");
    // Once applied, the next one is accepted.
    EXPECT_TRUE(provider.SubmitUserWaveform(ShapeOf(23), Ramp(-0.5)));
}

TEST_F(BuiltWaveformProvider, ApplyingWithoutARequestChangesNothing) {
    const std::vector<double> before = ToVector(provider.UserTable(0).Samples());
    provider.ApplyPendingUserWaveform();
    EXPECT_FALSE(provider.IsRefreshRequested());
    ExpectTableNear(provider.UserTable(0).Samples(), before, 0.0, "User1");
}

}  // namespace
