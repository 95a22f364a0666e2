#include "effects/distortion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

using Korvane::BitCrusher;
using Korvane::Distortion;

namespace {

// A stereo block whose right channel holds -0.5 times the left.
struct Block {
    std::vector<double> left, right;
    explicit Block(std::vector<double> values) : left(std::move(values)), right(left) {
        for (double& v : right) v *= -0.5;
    }
    static Block Wave(int frames) {
        std::vector<double> values(static_cast<std::size_t>(frames));
        for (int i = 0; i < frames; ++i) values[static_cast<std::size_t>(i)] = 0.9 * std::sin(0.37 * i);
        return Block(values);
    }
    int Frames() const { return static_cast<int>(left.size()); }
};

// "Linear" read with linear interpolation: P = u on the positive side, the
// negative side one entry behind the identity.
double LinearCurve(double x) { return x < 0.0 ? std::min(x + 1.0 / 256, 0.0) : std::min(x, 255.0 / 256); }

// The waveshaper law for table value `v` of input `x` at drive `b`, the gain times `scale`.
double ShapeLaw(double v, double x, double b, double scale = 1.0) {
    const double y = std::clamp(v * (b * 20 + 1) * scale, -1.0, 1.0);
    return b >= 0.44 ? y : (1 - b / 0.44) * x + b / 0.44 * y;
}

}  // namespace

TEST(Distortion, DriveZeroPassesEveryTypeUnchangedAndKeepsTheSmoother) {
    Distortion distortion;
    distortion.SetDrive(0.5);
    Block warmup = Block::Wave(20);
    distortion.ProcessDrive(warmup.left.data(), warmup.right.data(), 20);
    const double smoothed = distortion.SmoothedDrive();
    distortion.SetDrive(0.0);
    distortion.SetLoudness(true);
    for (int type = 0; type < Distortion::kTypeCount; ++type) {
        distortion.SetType(type / 35.0);
        Block block = Block::Wave(64);
        distortion.ProcessDrive(block.left.data(), block.right.data(), 64);
        EXPECT_EQ(block.left, Block::Wave(64).left) << type;
        EXPECT_EQ(block.right, Block::Wave(64).right) << type;
        EXPECT_EQ(distortion.Shape(0.3, 0.0), 0.3) << type;
    }
    EXPECT_EQ(distortion.SmoothedDrive(), smoothed);
}

TEST(Distortion, ShapeGainsLimitsAndCrossfadesTheTableValue) {
    const double k = 20 * 0.777 / 0.22299999999999998;
    struct Curve { int type; double gainScale; std::function<double(double)> positive; };
    const Curve curves[] = {
        {0, 1.0, [](double u) { return u; }},
        {2, 0.5, [](double u) { return u < 0.5 ? u : u - 0.24 * (2 * (u - 0.5)) * (2 * (u - 0.5)); }},
        {3, 0.777, [k](double u) { return (k + 1) * u / (k * u + 1); }},
    };
    Distortion distortion;
    for (const Curve& curve : curves) {
        distortion.SetType(curve.type / 35.0);
        // Inputs on whole entries (mu = 0); the negative branch sits one entry lower.
        for (double x : {0.125, -0.125, 0.75, -0.5, 0.0078125}) {
            const int c = static_cast<int>(256 * (x + 1));
            const double v = c >= 256 ? curve.positive((c - 256) / 256.0) : -curve.positive((255 - c) / 256.0);
            for (double b : {0.02, 0.2, 0.44, 1.0}) {
                EXPECT_NEAR(distortion.Shape(x, b), ShapeLaw(v, x, b, curve.gainScale), 1e-12)
                    << "type " << curve.type << " x " << x << " drive " << b;
            }
        }
    }
    distortion.SetType(0.0);
    EXPECT_EQ(distortion.CurrentTable().Lookup(-2.0 / 256, 1), -1.0 / 256) << "Linear lags one entry below zero";
}

TEST(Distortion, DriveIsSmoothedPerFrameAndLoudnessBendsTheResult) {
    for (bool loud : {false, true}) {
        Distortion distortion;
        distortion.SetDrive(0.6);
        distortion.SetLoudness(loud);
        constexpr int kFrames = 300;  // the smoothed drive passes 0.44 on the way
        Block block(std::vector<double>(kFrames, 0.125));
        distortion.ProcessDrive(block.left.data(), block.right.data(), kFrames);
        const auto bend = [loud](double y) { return loud ? 2 * std::sin(y * std::numbers::pi / 2) : y; };
        for (std::size_t i = 0; i < kFrames; ++i) {
            const double b = 0.6 * (1 - std::pow(0.9877, static_cast<double>(i + 1)));
            ASSERT_NEAR(block.left[i], bend(ShapeLaw(LinearCurve(0.125), 0.125, b)), 1e-12) << i << " " << loud;
            ASSERT_NEAR(block.right[i], bend(ShapeLaw(LinearCurve(-0.0625), -0.0625, b)), 1e-12) << i << " " << loud;
        }
        EXPECT_NEAR(distortion.SmoothedDrive(), 0.6 * (1 - std::pow(0.9877, kFrames)), 1e-12);
    }
}

TEST(Distortion, TypeSelectionRoundsAndNamesTranslate) {
    struct Case { double value; int index; const char* name; };
    for (const Case& c : {Case{0.0, 0, "Linear"}, Case{-0.3, 0, "Linear"}, Case{0.49 / 35, 0, "Linear"},
                          Case{0.5 / 35, 1, "Compressor"}, Case{15 / 35.0, 15, "Fuzz-Drive1"},
                          Case{21.4 / 35, 21, "Korvane-Drive1"}, Case{1.0, 35, "Noise-Gate 1"}, Case{1.7, 35, "Noise-Gate 1"}}) {
        Distortion distortion;
        distortion.SetType(c.value);
        EXPECT_EQ(Distortion::TypeIndex(c.value), c.index) << c.value;
        EXPECT_EQ(Distortion::TypeName(c.value), c.name) << c.value;
        EXPECT_EQ(distortion.CurrentTable().Name(), c.name) << c.value;
    }
    for (int i = 0; i < Distortion::kTypeCount; ++i) EXPECT_EQ(Distortion::TypeFromName(Distortion::NameOfIndex(i)), i);
    EXPECT_EQ(Distortion::TypeFromName("Fuzz-Drive"), 15);
    EXPECT_EQ(Distortion::TypeFromName("Korvane-Drive"), 21);
    for (const char* unknown : {"", "linear", "Fuzz-Drive5", "Distortion"}) EXPECT_EQ(Distortion::TypeFromName(unknown), 0);
    for (int outside : {-1, 36, 1000}) EXPECT_EQ(Distortion::NameOfIndex(outside), "Distortion") << outside;
}

TEST(Distortion, SampleRateReductionHoldsEachCapturedFrame) {
    struct Case { double rate, setting; int hold; };  // hold 0 and 1 capture every frame
    for (const Case& c : {Case{44100, 1.0, 0}, Case{44100, 0.999, 0}, Case{44100, 0.5, 63}, Case{44100, 0.0, 127},
                          Case{96000, 0.5, static_cast<int>(96000.0 / 44100 * 0.5 * 127)}}) {
        Distortion distortion;
        distortion.SetSampleRate(c.rate);
        distortion.SetReduction(c.setting);
        EXPECT_EQ(distortion.HoldLength(), c.hold) << c.rate << " " << c.setting;
        const Block input = Block::Wave(400);
        Block block = input;
        for (int start = 0; start < 400; start += 50) {  // the hold runs on across blocks
            distortion.ProcessSampleRateReduction(block.left.data() + start, block.right.data() + start, 50);
        }
        const std::size_t hold = static_cast<std::size_t>(std::max(c.hold, 1));
        for (std::size_t i = 0; i < 400; ++i) {
            ASSERT_EQ(block.left[i], input.left[i / hold * hold]) << c.setting << " frame " << i;
            ASSERT_EQ(block.right[i], input.right[i / hold * hold]) << c.setting << " frame " << i;
        }
    }
}

TEST(Distortion, GateSilencesEverythingBelowTheFourthPower) {
    Distortion distortion;
    const std::vector<double> input = {-0.9, -0.01, 0.0, 0.06, 0.0625, 0.07, 0.9};
    Block block(input);
    distortion.ProcessGate(block.left.data(), block.right.data(), block.Frames());
    EXPECT_EQ(block.left, input) << "gate 0 is off";
    distortion.SetGate(0.5);
    EXPECT_EQ(distortion.GateThreshold(), 0.0625);
    distortion.ProcessGate(block.left.data(), block.right.data(), block.Frames());
    EXPECT_EQ(block.left, (std::vector<double>{0, 0, 0, 0, 0.0625, 0.07, 0.9}));
    EXPECT_EQ(block.right, (std::vector<double>{0.45, 0, 0, 0, 0, 0, 0}));
}

TEST(Distortion, BypassFreezesAllThreeStages) {
    Distortion distortion;
    distortion.SetReduction(0.5);
    distortion.SetGate(0.5);
    distortion.SetDrive(1.0);
    distortion.SetBypassed(true);
    Block block = Block::Wave(10);
    distortion.ProcessSampleRateReduction(block.left.data(), block.right.data(), 10);
    distortion.ProcessGate(block.left.data(), block.right.data(), 10);
    distortion.ProcessDrive(block.left.data(), block.right.data(), 10);
    EXPECT_EQ(block.left, Block::Wave(10).left);
    EXPECT_EQ(block.right, Block::Wave(10).right);
    EXPECT_EQ(distortion.SmoothedDrive(), 0.0);

    distortion.SetBypassed(false);
    const Block input = Block::Wave(70);
    block = input;
    distortion.ProcessSampleRateReduction(block.left.data(), block.right.data(), 70);
    EXPECT_EQ(block.left[62], input.left[0]) << "the frame count did not move while bypassed";
    EXPECT_EQ(block.left[63], input.left[63]);
}

TEST(Distortion, EachInstanceKeepsItsOwnInterpolationMode) {
    Distortion stepped;
    const Distortion linear;
    stepped.SetInterpolation(0);
    EXPECT_EQ(linear.Interpolation(), 1);
    // Half-way between the centre entry (0) and the next (1/256).
    EXPECT_EQ(stepped.Shape(1.0 / 512, 0.44), 0.0);
    EXPECT_NEAR(linear.Shape(1.0 / 512, 0.44), (0.44 * 20 + 1) / 512, 1e-15);
}

TEST(Distortion, CurveDisplayShapesASineAtTheTargetDrive) {
    Distortion distortion;
    std::array<double, Distortion::kWaveDisplayPoints> wave{};
    std::array<double, Distortion::kCurveDisplayPoints> curve{};
    for (double drive : {0.0, 0.2}) {
        distortion.SetDrive(drive);  // never processed: the smoothed drive stays 0
        distortion.SetLoudness(true);
        distortion.FillCurveDisplay(wave, curve);
        for (std::size_t i = 0; i < wave.size(); ++i) {
            const double s = std::sin(2 * std::numbers::pi * static_cast<double>(i) / 98);
            EXPECT_NEAR(wave[i], drive == 0.0 ? s : ShapeLaw(LinearCurve(s), s, drive), 1e-12) << drive << " " << i;
        }
        for (std::size_t i = 0; i < curve.size(); ++i) {
            EXPECT_NEAR(curve[i], LinearCurve((static_cast<double>(i) / 108 - 0.5) * 2), 1e-12) << i;
        }
    }
}

TEST(BitCrusher, TruncatesTowardZeroOntoTheQuantiserGrid) {
    const std::vector<double> input = {0.9, -0.9, 0.3, -0.36, 0.123456789, -0.001, 1.0};
    for (double amount : {0.0, 0.25, 0.5}) {
        BitCrusher crusher;
        crusher.SetAmount(amount);
        const double bits = 61.5 * amount + 2.5;
        const double scale = std::pow(2.0, bits - 1);  // 2^1.5 at amount 0
        EXPECT_DOUBLE_EQ(crusher.Bits(), bits);
        EXPECT_DOUBLE_EQ(crusher.Scale(), scale);
        Block block(input);
        crusher.Process(block.left.data(), block.right.data(), block.Frames());
        for (std::size_t i = 0; i < input.size(); ++i) {
            EXPECT_EQ(block.left[i], std::copysign(std::floor(std::abs(input[i]) * scale), input[i]) / scale);
            EXPECT_EQ(block.right[i], std::copysign(std::floor(std::abs(input[i] / 2) * scale), -input[i]) / scale);
        }
    }
}

TEST(BitCrusher, FullAmountBypassAndHugeProductsPassUnchanged) {
    const std::vector<double> input = {0.3, -0.7, 2.0, -3.5, 1e6};
    BitCrusher full, bypassed, fine;
    full.SetAmount(1.0);
    EXPECT_EQ(full.Bits(), 64.0);
    bypassed.SetAmount(0.0);
    bypassed.SetBypassed(true);
    fine.SetAmount(0.9999999);  // just below 64 bits the products leave the 64-bit integer range
    for (const BitCrusher* crusher : {&full, &bypassed, &fine}) {
        Block block(input);
        crusher->Process(block.left.data(), block.right.data(), block.Frames());
        for (std::size_t i = 0; i < input.size(); ++i) EXPECT_NEAR(block.left[i], input[i], 1e-15 * std::max(1.0, std::abs(input[i])));
    }
}
