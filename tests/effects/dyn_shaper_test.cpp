#include "effects/dyn_shaper.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

using Korvane::DynShaper;

namespace {

constexpr double kPi = std::numbers::pi;

// A magnitude at fraction g of the 0.25-wide window for amount b (lower edge (1 - b) * 0.75).
double InWindow(double b, double g) { return (1 - b) * 0.75 + 0.25 * g; }

// The "Sine" law at amount 1, where the window spans magnitudes 0..0.25.
double SineAtFullAmount(double x) {
    const double a = std::abs(x);
    if (!(a > 0.0 && a < 0.25)) return x;
    return std::copysign(a + std::sin(kPi * a / 0.25) * 0.777, x);
}

// Runs `frames` frames of silence so the smoothed amount settles on its target.
void Settle(DynShaper& shaper, int frames = 8000) {
    std::vector<double> left(static_cast<std::size_t>(frames), 0.0), right = left;
    shaper.Process(left.data(), right.data(), frames);
}

}  // namespace

TEST(DynShaper, AmountZeroPassesEverythingUnchanged) {
    const std::vector<double> input = {0.9, -0.875, 0.125, -0.05, 0.0, 1.0};
    for (int setting = 0; setting < 24; ++setting) {  // every shape, mode and invert
        DynShaper shaper;
        shaper.SetShape(setting % 3);
        shaper.SetMode(setting / 3 % 4);
        shaper.SetInvert(setting >= 12);
        std::vector<double> left = input, right = input;
        shaper.Process(left.data(), right.data(), static_cast<int>(input.size()));
        EXPECT_EQ(left, input) << setting;
        EXPECT_EQ(right, input) << setting;
        for (double x : input) EXPECT_EQ(shaper.ShapeSample(x, 0.0), x) << setting;
    }
}

TEST(DynShaper, LawAddsTheBumpInsideTheMovingWindow) {
    struct Case { int shape; bool invert; int mode; double b, x, expected; };
    const double m = 0.777;
    const Case cases[] = {
        // Amount 1: the window spans 0..0.25.
        {DynShaper::kSine, false, 0, 1.0, 0.125, 0.902},
        {DynShaper::kSine, false, 0, 1.0, -0.125, -0.902},
        {DynShaper::kSine, false, 0, 1.0, 0.0625, 0.0625 + std::sin(kPi / 4) * m},
        {DynShaper::kSine, false, 0, 1.0, 0.3, 0.3},
        {DynShaper::kSine, false, 0, 1.0, 0.0, 0.0},
        {DynShaper::kTriangle, false, 0, 1.0, 0.0625, 0.0625 + 0.5 * m},
        {DynShaper::kTriangle, false, 0, 1.0, 0.1875, 0.1875 + 0.5 * m},
        {DynShaper::kPulse, false, 0, 1.0, 0.0625, 0.0625 + m},
        {DynShaper::kPulse, false, 0, 1.0, 0.125, 0.125},
        {DynShaper::kPulse, false, 0, 1.0, -0.1875, -0.1875},
        {7, false, 0, 1.0, 0.125, 0.125},
        // A small amount puts the window near full scale.
        {DynShaper::kSine, false, 0, 0.01, InWindow(0.01, 0.5), InWindow(0.01, 0.5) + 0.01 * m},
        {DynShaper::kSine, false, 0, 0.01, InWindow(0.01, 0.25), InWindow(0.01, 0.25) + std::sin(kPi / 4) * 0.01 * m},
        {DynShaper::kSine, false, 0, 0.01, 0.74, 0.74},
        {DynShaper::kSine, false, 0, 0.01, 0.995, 0.995},
        // Invert subtracts the bump, crossing zero.
        {DynShaper::kSine, true, 0, 1.0, 0.125, 0.125 - m},
        {DynShaper::kSine, true, 0, 1.0, -0.125, -(0.125 - m)},
        // Saturation scales the bump by 4b and limits it from above only.
        {DynShaper::kSine, false, DynShaper::kSaturatedShaper, 1.0, 0.125, 1.125},
        {DynShaper::kSine, false, DynShaper::kSaturatedShaper, 0.1, InWindow(0.1, 0.5), InWindow(0.1, 0.5) + 0.1 * m * 0.4},
        {DynShaper::kSine, true, DynShaper::kSaturatedShaper, 1.0, 0.125, 0.125 - 4 * m},
        {DynShaper::kSine, false, DynShaper::kBoostSaturatedShaper, 1.0, 0.125, 1.125},
        {DynShaper::kSine, false, DynShaper::kBoostShaper, 1.0, 0.125, 0.902},
    };
    for (const Case& c : cases) {
        DynShaper shaper;
        shaper.SetShape(c.shape);
        shaper.SetInvert(c.invert);
        shaper.SetMode(c.mode);
        EXPECT_NEAR(shaper.ShapeSample(c.x, c.b), c.expected, 1e-12)
            << "shape " << c.shape << " invert " << c.invert << " mode " << c.mode << " b " << c.b << " x " << c.x;
    }
}

TEST(DynShaper, BoostModesAmplifyAndLimitTheInputFirst) {
    struct Case { int mode; double amount; std::vector<double> input, expected; };
    const Case cases[] = {
        {DynShaper::kBoostShaper, 1.0, {0.5, -0.5, 0.025, 0.0}, {1.0, -1.0, 0.902, 0.0}},
        {DynShaper::kBoostSaturatedShaper, 1.0, {0.5, -0.5, 0.025, 0.0}, {1.0, -1.0, 1.125, 0.0}},
        {DynShaper::kBoostShaper, 0.04, {0.5, -0.25}, {0.1, -0.05}},  // x 0.2, below the window at 0.72..0.97
        {DynShaper::kShaper, 0.04, {0.5, -0.25}, {0.5, -0.25}},
    };
    for (const Case& c : cases) {
        DynShaper shaper;
        shaper.SetMode(c.mode);
        shaper.SetAmount(c.amount);
        Settle(shaper);
        std::vector<double> left = c.input, right = c.input;
        shaper.Process(left.data(), right.data(), static_cast<int>(left.size()));
        for (std::size_t i = 0; i < left.size(); ++i) {
            EXPECT_NEAR(left[i], c.expected[i], 1e-9) << "mode " << c.mode << " input " << c.input[i];
            EXPECT_NEAR(right[i], c.expected[i], 1e-9) << "mode " << c.mode << " input " << c.input[i];
        }
    }
}

TEST(DynShaper, AmountIsSmoothedPerFrame) {
    DynShaper shaper;
    shaper.SetAmount(0.64);
    std::vector<double> left(600, 0.9), right(600, -0.8);
    shaper.Process(left.data(), right.data(), 600);
    for (std::size_t i = 0; i < 600; ++i) {
        const double b = 0.64 * (1 - std::pow(0.99, static_cast<double>(i + 1)));
        ASSERT_NEAR(left[i], shaper.ShapeSample(0.9, b), 1e-12) << i;
        ASSERT_NEAR(right[i], shaper.ShapeSample(-0.8, b), 1e-12) << i;
    }
    EXPECT_NE(left[0], 0.9) << "near full scale the window already shapes at the first frame";
}

TEST(DynShaper, FadeScalesTheEffectiveAmountNotTheOutput) {
    DynShaper shaper;
    shaper.SetAmount(1.0);
    Settle(shaper);
    shaper.SetBypassed(true);
    std::vector<double> left(300, 0.125), right(300, -0.125);
    shaper.Process(left.data(), right.data(), 300);
    for (std::size_t i = 0; i < 300; ++i) {
        const double fade = std::max(0.0, 0.995 - 0.005 * static_cast<double>(i));
        ASSERT_NEAR(left[i], shaper.ShapeSample(0.125, fade), 1e-9) << i;
        ASSERT_NEAR(right[i], shaper.ShapeSample(-0.125, fade), 1e-9) << i;
    }
    EXPECT_GT(std::abs(left[0] - (0.005 * 0.125 + 0.995 * 0.902)), 1e-4) << "not a fade of the output";
    EXPECT_EQ(left[299], 0.125) << "faded out";

    shaper.SetBypassed(false);
    std::vector<double> one = {InWindow(0.005, 0.5)}, other = one;
    shaper.Process(one.data(), other.data(), 1);
    EXPECT_NEAR(one[0], InWindow(0.005, 0.5) + 0.777 * 0.005, 1e-9) << "fading in starts at 0.005";
}

TEST(DynShaper, DisplayUsesTheTargetAmountWithoutBoost) {
    DynShaper shaper;
    std::array<double, DynShaper::kCurveDisplayPoints> curve{};
    std::array<double, DynShaper::kWaveDisplayPoints> wave{};
    for (double amount : {0.0, 1.0}) {
        shaper.SetAmount(amount);
        shaper.SetMode(DynShaper::kBoostShaper);  // never processed: the smoothed amount stays 0
        shaper.FillShaperDisplay(curve, wave);
        for (std::size_t i = 0; i < curve.size(); ++i) {
            const double x = (static_cast<double>(i) / 108 - 0.5) * 2;
            EXPECT_NEAR(curve[i], amount == 0.0 ? x : SineAtFullAmount(x), 1e-12) << i;
        }
        for (std::size_t i = 0; i < wave.size(); ++i) {
            const double s = std::sin(2 * kPi * static_cast<double>(i) / 98);
            EXPECT_NEAR(wave[i], amount == 0.0 ? s : SineAtFullAmount(s), 1e-12) << i;
        }
    }
}
