#include "engine/filter_unit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using Korvane::FilterUnit;

namespace {

struct Block {
    std::vector<double> left, right;
    explicit Block(int frames, double value = 0.0) : left(static_cast<std::size_t>(frames), value), right(left) {}
};

// Feeds a constant through the unit long enough for every smoother and filter to settle.
double SettledDcOutput(FilterUnit& unit, double input) {
    Block block(4096, input);
    for (int pass = 0; pass < 8; ++pass) {
        block = Block(4096, input);
        unit.Process(block.left.data(), block.right.data(), 4096);
    }
    return block.left.back();
}

FilterUnit PreparedUnit() {
    FilterUnit unit;
    unit.EnsureCapacity(4096);
    unit.SetSampleRate(44100.0);
    unit.ResetFilters();
    return unit;
}

}  // namespace

TEST(FilterUnit, PartialDriveMixesDryAndClippedHalfAndHalf) {
    FilterUnit unit = PreparedUnit();
    unit.SetBlend(0.0);       // the RBJ path alone
    unit.SetCutoff(1.0);      // its low pass passes DC at unity
    unit.SetDrive(0.22);      // h = 0.22 / 0.44 = 0.5, clip gain 0.22 * 7.77 = 1.7094
    const double x = 0.4;
    const double expected = 0.5 * x + 0.5 * std::min(x * 1.7094, 1.0);
    EXPECT_NEAR(SettledDcOutput(unit, x), expected, 1e-6);
}

TEST(FilterUnit, FullDriveClipsHard) {
    FilterUnit unit = PreparedUnit();
    unit.SetBlend(0.0);
    unit.SetCutoff(1.0);
    unit.SetDrive(0.5);
    EXPECT_NEAR(SettledDcOutput(unit, 0.4), 1.0, 1e-6) << "0.4 * 0.5 * 7.77 clips at 1";
    EXPECT_NEAR(SettledDcOutput(unit, -0.1), -0.1 * 0.5 * 7.77, 1e-6);
}

TEST(FilterUnit, BlendCrossFadesTheTwoPaths) {
    FilterUnit unit = PreparedUnit();
    unit.SetCutoff(0.5);
    unit.SetMode1(0.0);  // RBJ low pass: unity at DC
    unit.SetMode2(0.0);  // Chebyshev high pass: nothing at DC
    unit.SetBlend(0.5);
    EXPECT_NEAR(SettledDcOutput(unit, 0.8), 0.4, 1e-6);
    unit.SetBlend(1.0);
    EXPECT_NEAR(SettledDcOutput(unit, 0.8), 0.0, 1e-6);
}

TEST(FilterUnit, SelectorsRoundToTheNearestPosition) {
    EXPECT_EQ(FilterUnit::Mode2Name(0.1), "HP 12dB");
    EXPECT_EQ(FilterUnit::Mode2Name(0.2), "HP 24dB");
    EXPECT_EQ(FilterUnit::Mode2Name(2.0 / 3.0), "LP 12dB");
    EXPECT_EQ(FilterUnit::Mode2Name(1.0), "LP 24dB");
    EXPECT_EQ(FilterUnit::Mode1Name(0.0), "RBJ-LP");
    EXPECT_EQ(FilterUnit::Mode1Name(0.5), "RBJ-BP1");
    EXPECT_EQ(FilterUnit::Mode1Name(1.0), "RBJ-BS");

    FilterUnit unit;
    unit.SetMode2(0.2);
    EXPECT_EQ(unit.Path2Position(), 1);
    unit.SetMode1(0.4);
    EXPECT_EQ(unit.Path1Position(), 1);
}

TEST(FilterUnit, NamesReadBackToPositions) {
    EXPECT_EQ(FilterUnit::Mode1PositionOfName("RBJ-HP"), 1);
    EXPECT_EQ(FilterUnit::Mode1PositionOfName("RBJ-BP1"), 2);
    EXPECT_EQ(FilterUnit::Mode1PositionOfName("RBJ-BP"), 2);
    EXPECT_EQ(FilterUnit::Mode1PositionOfName("RBJ-BS"), 3);
    EXPECT_EQ(FilterUnit::Mode1PositionOfName("rbj-hp"), 0);
    EXPECT_EQ(FilterUnit::Mode2PositionOfName("LP 24dB"), 3);
    EXPECT_EQ(FilterUnit::Mode2PositionOfName("LP 24 dB"), 0);
}

TEST(FilterUnit, CutoffAndResonanceReachEveryDesignInItsOwnUnits) {
    FilterUnit unit = PreparedUnit();
    unit.SetCutoff(0.5);
    unit.SetResonance(0.75);
    const double centre = std::sqrt(10.0 * 22040.0);
    for (int position = 0; position < 4; ++position) {
        const Dsp::Filter& rbj = unit.Path1Design(position);
        EXPECT_NEAR(rbj.GetParams()[1], centre, 1e-7) << rbj.GetName();
        EXPECT_DOUBLE_EQ(rbj.GetParams()[2], 4.0) << "2^(-4 + 8 * 0.75), as Q or as bandwidth";
        const Dsp::Filter& chebyshev = unit.Path2Design(position);
        EXPECT_NEAR(chebyshev.GetParams()[2], centre, 1e-7);
        EXPECT_DOUBLE_EQ(chebyshev.GetParams()[3], 0.001 + 0.75 * (12.0 - 0.001)) << "ripple";
        EXPECT_EQ(chebyshev.GetParams()[0], 44100.0);
    }
    EXPECT_EQ(unit.Path2Design(0).GetParams()[1], 2.0);
    EXPECT_EQ(unit.Path2Design(1).GetParams()[1], 4.0);
    EXPECT_EQ(unit.Path2Design(2).GetParams()[1], 2.0);
    EXPECT_EQ(unit.Path2Design(3).GetParams()[1], 4.0);
}

TEST(FilterUnit, TransitionSettingPicksTheGlideLength) {
    FilterUnit unit;
    unit.SetTransitionLength(0.0);
    EXPECT_EQ(unit.TransitionFrames(), 1024);
    unit.SetTransitionLength(1.0 / 3.0);
    EXPECT_EQ(unit.TransitionFrames(), 512);
    unit.SetTransitionLength(0.75);
    EXPECT_EQ(unit.TransitionFrames(), 256);
    unit.SetTransitionLength(-2.0);
    EXPECT_EQ(unit.TransitionFrames(), 1024);
    unit.SetTransitionLength(5.0);
    EXPECT_EQ(unit.TransitionFrames(), 256);
}

TEST(FilterUnit, BypassFadesToTheDrivenSignalThenStops) {
    FilterUnit unit = PreparedUnit();
    unit.SetBlend(1.0);
    unit.SetMode2(0.0);  // high pass: removes DC entirely once settled
    unit.SetCutoff(0.5);
    SettledDcOutput(unit, 0.5);
    unit.SetBypassed(true);

    Block block(400, 0.5);
    unit.Process(block.left.data(), block.right.data(), 400);
    EXPECT_NEAR(block.left[0], 0.005 * 0.5, 1e-6) << "gain 0.995 on the filtered part, the rest dry";
    EXPECT_NEAR(block.left[198], 0.995 * 0.5, 1e-6) << "the last step of the fade: gain 0.005";
    EXPECT_EQ(block.left[199], 0.5);
    EXPECT_TRUE(unit.IsFadedOut());

    Block untouched(64, 0.25);
    unit.Process(untouched.left.data(), untouched.right.data(), 64);
    EXPECT_EQ(untouched.left, std::vector<double>(64, 0.25));
}

TEST(FilterUnit, BlockLongerThanTheCapacityPassesUntouched) {
    FilterUnit unit;
    ASSERT_EQ(unit.Capacity(), FilterUnit::kInitialCapacity);
    unit.SetDrive(1.0);
    Block block(FilterUnit::kInitialCapacity + 1, 0.3);
    unit.Process(block.left.data(), block.right.data(), FilterUnit::kInitialCapacity + 1);
    EXPECT_EQ(block.left, std::vector<double>(FilterUnit::kInitialCapacity + 1, 0.3));
}
