// Parameter glides of the smoothed designs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/designs.h"
#include "dsp/filter.h"

using namespace Dsp;

namespace {

using RbjLowPass = SmoothedFilterDesign<RBJ::Design::LowPass, 2, DirectFormII>;
using ButterworthLowPass = SmoothedFilterDesign<Butterworth::Design::LowPass<2>, 2, DirectFormI>;

// Runs `input` through `filter` in blocks of `block` frames; returns the left channel.
std::vector<double> Filtered(Filter& filter, std::vector<double> input, int block) {
    std::vector<double> right(input.size(), 0.0);
    for (std::size_t start = 0; start < input.size(); start += static_cast<std::size_t>(block)) {
        const int count = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), input.size() - start));
        double* channels[2] = {input.data() + start, right.data() + start};
        filter.Process(count, channels);
    }
    return input;
}

std::vector<double> Noise(std::size_t length) {
    std::vector<double> samples(length);
    uint32_t state = 12345;
    for (double& sample : samples) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<double>(state >> 8) / static_cast<double>(1u << 24) - 0.5;
    }
    return samples;
}

Params RbjParams(double cutoff) {
    Params p = RbjLowPass(512).GetDefaultParams();
    p[1] = cutoff;
    return p;
}

}  // namespace

TEST(SmoothedFilter, FirstSetTakesEffectAtOnce) {
    RbjLowPass smoothed(512);
    EXPECT_EQ(smoothed.RemainingTransition(), -1);
    smoothed.SetParams(RbjParams(500.0));
    EXPECT_EQ(smoothed.RemainingTransition(), 0);
    EXPECT_EQ(smoothed.TransitionParams()[1], 500.0);

    FilterDesign<RBJ::Design::LowPass, 2, DirectFormII> plain;
    plain.SetParams(RbjParams(500.0));
    const auto input = Noise(300);
    EXPECT_EQ(Filtered(smoothed, input, 300), Filtered(plain, input, 300));
}

TEST(SmoothedFilter, LaterSetsGlideOverTheTransitionLength) {
    RbjLowPass filter(512);
    filter.SetParams(RbjParams(500.0));
    filter.SetParams(RbjParams(4500.0));
    EXPECT_EQ(filter.RemainingTransition(), 512);
    EXPECT_EQ(filter.GetParams()[1], 4500.0) << "the main set changes at once";

    Filtered(filter, Noise(100), 100);
    EXPECT_EQ(filter.RemainingTransition(), 412) << "a short block consumes part of the glide";
    EXPECT_NEAR(filter.TransitionParams()[1], 500.0 + 100.0 * (4000.0 / 512.0), 1e-9);
    Filtered(filter, Noise(400), 400);
    EXPECT_EQ(filter.RemainingTransition(), 12);
    Filtered(filter, Noise(100), 100);
    EXPECT_EQ(filter.RemainingTransition(), 0);
    EXPECT_EQ(filter.TransitionParams()[1], 4500.0);
}

TEST(SmoothedFilter, GlideDoesNotDependOnBlockSizes) {
    auto render = [](int block) {
        RbjLowPass filter(512);
        filter.SetParams(RbjParams(300.0));
        filter.SetParams(RbjParams(8000.0));
        return Filtered(filter, Noise(1500), block);
    };
    const auto whole = render(1500);
    for (int block : {1, 37, 512}) {
        const auto pieces = render(block);
        for (std::size_t i = 0; i < whole.size(); ++i) ASSERT_NEAR(pieces[i], whole[i], 1e-12) << block << " " << i;
    }
}

TEST(SmoothedFilter, GlideUsesCoefficientsOfTheInterpolatedSet) {
    // Sample k of the glide uses the set advanced k + 1 increments.
    RbjLowPass gliding(4);
    gliding.SetParams(RbjParams(1000.0));
    gliding.SetParams(RbjParams(3000.0));
    std::vector<double> input = {1.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    const auto output = Filtered(gliding, input, 6);

    // The same recursion driven by hand with four separately designed sections.
    std::vector<Cascade> stages(5);
    for (int k = 0; k < 4; ++k) RBJ::Design::LowPass::Compute(RbjParams(1000.0 + 500.0 * (k + 1)), stages[static_cast<std::size_t>(k)]);
    ChannelState<DirectFormII> state;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const Cascade& cascade = stages[std::min<std::size_t>(i, 3)];
        EXPECT_NEAR(output[i], state.Process(input[i], cascade), 1e-15) << i;
    }
}

TEST(SmoothedFilter, OrderSwitchesWhenTheGlidingValuePassesTwo) {
    Params low = ButterworthLowPass(512).GetDefaultParams();
    low[1] = 1.0;
    low[2] = 1000.0;
    Params high = low;
    high[1] = 2.0;

    ButterworthLowPass gliding(512);
    gliding.SetParams(low);
    gliding.SetParams(high);
    FilterDesign<Butterworth::Design::LowPass<2>, 2, DirectFormI> firstOrder;
    firstOrder.SetParams(low);

    const auto input = Noise(600);
    const auto glided = Filtered(gliding, input, 600);
    const auto reference = Filtered(firstOrder, input, 600);
    for (std::size_t i = 0; i < 511; ++i) ASSERT_EQ(glided[i], reference[i]) << "still first order at " << i;
    EXPECT_NE(glided[511], reference[511]) << "the 512th step reaches 2.0 and the second order";
}

TEST(SmoothedFilter, TransitionLengthRules) {
    RbjLowPass neverSet(512);
    neverSet.SetTransitionLength(256);
    EXPECT_EQ(neverSet.RemainingTransition(), 0);
    EXPECT_EQ(neverSet.TransitionLength(), 256);

    RbjLowPass set(512);
    set.SetParams(RbjParams(700.0));
    set.SetTransitionLength(1024);
    EXPECT_EQ(set.RemainingTransition(), 1024);
    set.SetParams(RbjParams(900.0));
    EXPECT_EQ(set.RemainingTransition(), 1024);
}

TEST(SmoothedFilter, ResetClearsTheStateButKeepsTheGlide) {
    RbjLowPass filter(512);
    filter.SetParams(RbjParams(700.0));
    filter.SetParams(RbjParams(900.0));
    Filtered(filter, Noise(100), 100);
    filter.Reset();
    EXPECT_EQ(filter.RemainingTransition(), 412);

    RbjLowPass fresh(512);
    fresh.SetParams(filter.GetParams());
    std::vector<double> silence(50, 0.0);
    const auto afterReset = Filtered(filter, silence, 50);
    for (double sample : afterReset) EXPECT_LT(std::abs(sample), 1e-6) << "no memory of the earlier signal";
}
