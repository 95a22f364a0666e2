#include "effects/curve_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

using Korvane::CurveTable;

namespace {

constexpr std::array<double, 8> kEntries = {0.1, -0.3, 0.5, 0.2, -0.4, 0.8, 0.6, -0.7};

CurveTable SmallTable() {
    CurveTable table(8);
    for (int i = 0; i < 8; ++i) table[i] = kEntries[static_cast<std::size_t>(i)];
    return table;
}

// The five interpolation laws over the four neighbours y0..y3 at fraction mu.
double Interpolate(int mode, double y0, double y1, double y2, double y3, double mu) {
    switch (mode) {
    case 0:
        return y1;
    case 1:
        return (1 - mu) * y1 + mu * y2;
    case 2: {
        const double f = (1 - std::cos(std::numbers::pi * mu)) / 2;
        return (1 - f) * y1 + f * y2;
    }
    case 3: {
        const double a0 = y3 - y2 - y0 + y1;
        return a0 * mu * mu * mu + (y0 - y1 - a0) * mu * mu + (y2 - y0) * mu + y1;
    }
    default: {
        const double m0 = (y2 - y0) / 2, m1 = (y3 - y1) / 2;
        const double mu2 = mu * mu, mu3 = mu2 * mu;
        return (2 * mu3 - 3 * mu2 + 1) * y1 + (mu3 - 2 * mu2 + mu) * m0 + (mu3 - mu2) * m1 + (-2 * mu3 + 3 * mu2) * y2;
    }
    }
}

}  // namespace

TEST(CurveTable, StartsAsTheIdentityRamp) {
    const CurveTable table(8);
    EXPECT_EQ(table.Size(), 8);
    EXPECT_EQ(table.Half(), 4);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(table[i], 2.0 * i / 8 - 1) << i;
}

TEST(CurveTable, EveryModeInterpolatesBetweenTheRightNeighbours) {
    const CurveTable table = SmallTable();
    const auto& e = kEntries;
    // At table position N * (x + 1) / 2; neighbours before the first entry and past the last are held at the ends.
    struct Case { double position, y0, y1, y2, y3; };
    const Case cases[] = {
        {3.25, e[2], e[3], e[4], e[5]},
        {0.5, e[0], e[0], e[1], e[2]},
        {6.75, e[5], e[6], e[7], e[7]},
        {7.5, e[6], e[7], e[7], e[7]},
        {5.0, e[4], e[5], e[6], e[7]},
    };
    for (const Case& c : cases) {
        const double x = 2.0 * c.position / 8 - 1;
        const double mu = c.position - std::floor(c.position);
        for (int mode = 0; mode <= 4; ++mode) {
            EXPECT_NEAR(table.Lookup(x, mode), Interpolate(mode, c.y0, c.y1, c.y2, c.y3, mu), 1e-15)
                << "position " << c.position << " mode " << mode;
        }
    }
    EXPECT_EQ(table.Lookup(0.1, 7), table.Lookup(0.1, CurveTable::kCubic)) << "unknown modes read as cubic";
}

TEST(CurveTable, InputsBelowMinusOneFoldBackAndTheTopEndIsHeld) {
    const CurveTable table = SmallTable();
    for (int mode = 0; mode <= 4; ++mode) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(table.Lookup(-2.0, mode), kEntries[4]) << "-2 reads the centre";
        for (double d : {0.25, 0.8125, 1.5, 1.96875}) EXPECT_EQ(table.Lookup(-1.0 - d, mode), table.Lookup(-1.0 + d, mode));
        // The index reaches N: no interpolation gives 0, the others read the last entry.
        for (double x : {1.0, 1.5, 40.0, -3.0, -5.0}) EXPECT_EQ(table.Lookup(x, mode), mode == 0 ? 0.0 : kEntries[7]) << x;
    }
}

TEST(CurveTable, CubicReturnsAnExactEntryWithoutTouchingDistantNeighbours) {
    CurveTable table = SmallTable();
    table[6] = std::numeric_limits<double>::infinity();
    // Position 4 exactly: mu = 0, so the far neighbour entry[6] must not enter the result.
    EXPECT_EQ(table.Lookup(0.0, CurveTable::kCubic), kEntries[4]);
    EXPECT_TRUE(std::isnan(table.Lookup(0.0625, CurveTable::kCubic))) << "between entries the far neighbour counts";
}

TEST(CurveTable, PostPassesSmoothClampAndNormalise) {
    using Values = std::array<double, 4>;
    struct Case { const char* pass; void (CurveTable::*apply)(); Values before, after; };
    const Case cases[] = {
        // Each entry averaged with its already smoothed predecessor.
        {"smooth", &CurveTable::Smooth, {1, 0, 0, 1}, {1, (1 + 0) / 2.0, (0.5 + 0) / 2, (0.25 + 1) / 2}},
        {"clamp", &CurveTable::Clamp, {-2, -0.5, 0.5, 3}, {-1, -0.5, 0.5, 1}},
        {"normalise", &CurveTable::Normalise, {-2, 1, 0.5, 0}, {-1, 0.5, 0.25, 0}},
        {"normalise silence", &CurveTable::Normalise, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        CurveTable table(4);
        for (int i = 0; i < 4; ++i) table[i] = c.before[static_cast<std::size_t>(i)];
        (table.*c.apply)();
        for (int i = 0; i < 4; ++i) EXPECT_EQ(table[i], c.after[static_cast<std::size_t>(i)]) << c.pass << " entry " << i;
    }
}

namespace {

TEST(CurveTableRuns, ReadARunAsOneByOneInEveryMode) {
    std::mt19937 random(21);
    std::uniform_real_distribution<double> entry(-1.0, 1.0);
    std::vector<double> inputs = {-3.5, -3.0, -1.0, -0.999, 0.0, 0.5, 1.0, 1.5, std::nan(""), -0.0};
    std::uniform_real_distribution<double> wide(-3.2, 1.2);
    while (inputs.size() < 133) inputs.push_back(wide(random));
    // A power-of-two table takes the SIMD reads, the others the scalar ones.
    for (int size : {512, 128, 140}) {
        Korvane::CurveTable table(size);
        for (int i = 0; i < size; ++i) table[i] = entry(random);
        for (int mode : {0, 1, 2, 3, 4, 7}) {
            std::vector<double> run(inputs.size());
            table.Lookup(inputs.data(), run.data(), static_cast<int>(inputs.size()), mode);
            for (std::size_t i = 0; i < inputs.size(); ++i) {
                const double one = table.Lookup(inputs[i], mode);
                ASSERT_EQ(run[i], one) << "size " << size << " mode " << mode << " input " << inputs[i];
            }
        }
    }
}

}  // namespace
