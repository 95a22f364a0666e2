#include "engine/laws.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/lcg_random.h"
#include "engine/param_smoother.h"

using namespace Korvane;

TEST(Laws, OctaveFactorIsLinearOnEachSide) {
    EXPECT_EQ(OctaveFactor(0.0), 0.5);
    EXPECT_EQ(OctaveFactor(0.25), 0.75);
    EXPECT_EQ(OctaveFactor(0.4999), 0.4999 + 0.5);
    EXPECT_EQ(OctaveFactor(0.5), 1.0);
    EXPECT_EQ(OctaveFactor(0.75), 1.5);
    EXPECT_EQ(OctaveFactor(1.0), 2.0);
}

TEST(Laws, SemitoneRatioIsLinearUpAndReciprocalDown) {
    EXPECT_EQ(SemitoneRatio(0.0), 1.0);
    EXPECT_DOUBLE_EQ(SemitoneRatio(1.0), 1.059463094359);
    EXPECT_DOUBLE_EQ(SemitoneRatio(-1.0), 1.0 / 1.059463094359);
    EXPECT_DOUBLE_EQ(SemitoneRatio(0.5), 1.0 + 0.059463094359 * 0.5);
    EXPECT_DOUBLE_EQ(SemitoneRatio(-2.0) * (1.0 + 2.0 * 0.059463094359), 1.0);
}

TEST(Laws, SaturationWithoutDriveLeavesTheSampleAlone) {
    EXPECT_EQ(Saturate(2.5, 0.0), 2.5);
    EXPECT_EQ(Saturate(-0.3, 0.0), -0.3);
}

TEST(Laws, SaturationAtTheLowestDriveReachesFullScaleAtUnity) {
    EXPECT_DOUBLE_EQ(Saturate(1.0, kMinimumSaturationDrive), 1.0);
    EXPECT_DOUBLE_EQ(Saturate(-1.0, kMinimumSaturationDrive), -1.0);
    EXPECT_DOUBLE_EQ(Saturate(0.5, kMinimumSaturationDrive), std::atan(0.5) / std::atan(1.0));
    EXPECT_DOUBLE_EQ(kMinimumSaturationDrive, 0.1287001287001287);
    // Any positive drive below the minimum behaves as the minimum.
    EXPECT_EQ(Saturate(0.5, 0.01), Saturate(0.5, kMinimumSaturationDrive));
}

TEST(Laws, SaturationScalesWithDriveAndClampsToFullScale) {
    const double drive = 0.1;  // below the minimum: uses 1/7.77
    EXPECT_DOUBLE_EQ(Saturate(0.2, drive), std::atan(0.2) / std::atan(1.0));
    EXPECT_DOUBLE_EQ(Saturate(0.1, 0.5), std::atan(0.1) / std::atan(1.0) * 0.5 * 7.77);
    EXPECT_EQ(Saturate(0.9, 4.44), 1.0);
    EXPECT_EQ(Saturate(-0.9, 4.44), -1.0);
    EXPECT_EQ(Saturate(100.0, 1.0), 1.0);
}

TEST(Laws, SelectorPositionRoundsToTheNearestAndStaysInTheList) {
    EXPECT_EQ(SelectorPosition(0.0, 36), 0);
    EXPECT_EQ(SelectorPosition(1.0, 36), 35);
    EXPECT_EQ(SelectorPosition(0.4, 5), 2);
    EXPECT_EQ(SelectorPosition(0.6, 5), 2);
    EXPECT_EQ(SelectorPosition(1.0 / 3.0, 3), 1);
    EXPECT_EQ(SelectorPosition(2.0 / 3.0, 3), 1);
    EXPECT_EQ(SelectorPosition(0.499, 2), 0);
    EXPECT_EQ(SelectorPosition(0.5, 2), 1);
    EXPECT_EQ(SelectorPosition(-3.0, 36), 0);
    EXPECT_EQ(SelectorPosition(7.0, 36), 35);
    EXPECT_EQ(SelectorPosition(std::numeric_limits<double>::quiet_NaN(), 36), 0);
}

TEST(ParamSmoother, StepsTowardTheTargetByTheOnePoleLaw) {
    ParamSmoother smoother(0.99);
    EXPECT_EQ(smoother.state, 0.0);
    const double take = 1.0 - 0.99;  // the law's take, computed as the product does
    EXPECT_EQ(smoother.take, take);
    EXPECT_EQ(smoother.Step(1.0), take);
    EXPECT_EQ(smoother.Step(1.0), take + 0.99 * take);
    for (int i = 2; i < 100; ++i) smoother.Step(1.0);
    EXPECT_NEAR(smoother.state, 1.0 - std::pow(0.99, 100), 1e-12);

    ParamSmoother fromState(0.7, 2.0);
    EXPECT_DOUBLE_EQ(fromState.Step(0.0), 1.4);
}

TEST(ParamSmoother, GlideTowardZeroEndsAtZeroWithoutSubnormalSteps) {
    // Every retain value in use; without the flush the state sticks at the smallest subnormal.
    for (double retain : {0.99, 0.9877, 0.9815, 0.7}) {
        for (double start : {1.0, -0.5, 3.16227}) {
            ParamSmoother smoother(retain, start);
            long subnormalSteps = 0;
            for (int i = 0; i < 200000; ++i) {
                if (std::fpclassify(smoother.Step(0.0)) == FP_SUBNORMAL) ++subnormalSteps;
            }
            EXPECT_EQ(subnormalSteps, 0) << retain << " from " << start;
            EXPECT_EQ(smoother.state, 0.0) << retain << " from " << start;
        }
    }
}

TEST(LcgRandom, ReproducesTheRunTimeLibrarySequence) {
    LcgRandom random(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected) EXPECT_EQ(random.Next(), value);
}

TEST(LcgRandom, ReseedingRestartsTheSequence) {
    LcgRandom random(1500);
    const int first = random.Next();
    const int second = random.Next();
    random.Seed(1500);
    EXPECT_EQ(random.Next(), first);
    EXPECT_EQ(random.Next(), second);

    // State 1600 after one step: 1600 * 214013 + 2531011 = 344951811, bits 16..30 = 5263.
    LcgRandom seeded(1600);
    EXPECT_EQ(seeded.Next(), 5263);
}

TEST(LcgRandom, StaysInFifteenBits) {
    LcgRandom random(12345);
    for (int i = 0; i < 100000; ++i) {
        const int value = random.Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, LcgRandom::kMax);
    }
}
