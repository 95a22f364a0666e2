#include "engine/oscillator_filters.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "engine/biquad_tweaked_butterworth_hp.h"
#include "engine/four_pole_low_pass.h"

using Korvane::BiquadTweakedButterworthHP;
using Korvane::FourPoleLowPass;
using Korvane::OscillatorFilters;

namespace {

constexpr int kLanes = OscillatorFilters::kLanes;

// One lane's filters run one sample at a time through the scalar classes.
struct ScalarLane {
    FourPoleLowPass lowPass;
    BiquadTweakedButterworthHP<double> highPass;

    double Process(double x, double cutoff, double resonance, double type, double volume) {
        const double low = lowPass.Process(x, cutoff, resonance);
        const double high = highPass.Process(x, cutoff, resonance);
        return ((1.0 - type) * low + type * high) * volume;
    }
};

struct FilterRun {
    std::vector<double> input, cutoff, volume;
};

FilterRun RandomRun(int frames, std::mt19937& random, bool withSilence) {
    std::uniform_real_distribution<double> sample(-1.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    FilterRun run;
    double cutoff = 0.3;
    for (int i = 0; i < frames * kLanes; ++i) {
        const bool silent = withSilence && (i / kLanes) % 7 < 2;
        run.input.push_back(silent ? 0.0 : sample(random));
        // Cutoffs hold still for a while, then move: both coefficient paths run.
        if ((i / kLanes) % 16 == 0) cutoff = unit(random);
        run.cutoff.push_back(cutoff);
        run.volume.push_back(unit(random));
    }
    return run;
}

TEST(OscillatorFilters, EveryLaneFiltersAsTheScalarFiltersDo) {
    std::mt19937 random(11);
    OscillatorFilters filters;
    std::array<ScalarLane, kLanes> reference;
    // Lane 3 is a high-pass without resonance: its first coefficients come
    // from the cutoff alone.
    const OscillatorFilters::Lanes resonance{0.0, 0.5, 0.9, 0.0};
    const OscillatorFilters::Lanes type{0.0, 1.0, 0.5, 1.0};
    const OscillatorFilters::Lanes active{1.0, 1.0, 1.0, 1.0};
    double largest = 0.0;
    for (int chunk = 0; chunk < 40; ++chunk) {
        const int frames = 1 + chunk % 64;
        const FilterRun run = RandomRun(frames, random, chunk % 3 == 0);
        std::vector<double> output(run.input.size());
        Korvane::kernels::FilterOscillators(filters, resonance, type, active, run.input.data(), run.cutoff.data(),
                                            run.volume.data(), output.data(), frames);
        for (int i = 0; i < frames; ++i) {
            for (int k = 0; k < kLanes; ++k) {
                const auto at = static_cast<std::size_t>(i * kLanes + k);
                const auto lane = static_cast<std::size_t>(k);
                const double expected = reference[lane].Process(run.input[at], run.cutoff[at], resonance[lane], type[lane],
                                                                run.volume[at]);
                largest = std::max(largest, std::abs(output[at] - expected));
            }
        }
    }
    // The low-pass rounds as the scalar one; the high-pass's tangent comes
    // from a vector sine and cosine, a few ulp from the library's.
    EXPECT_LT(largest, 1e-9);
}

TEST(OscillatorFilters, TheLowPassAloneIsBitExact) {
    std::mt19937 random(5);
    OscillatorFilters filters;
    std::array<FourPoleLowPass, kLanes> reference;
    const OscillatorFilters::Lanes resonance{0.1, 0.6, 0.95, 0.0};
    const OscillatorFilters::Lanes lowPassOnly{0.0, 0.0, 0.0, 0.0};
    const OscillatorFilters::Lanes active{1.0, 1.0, 1.0, 1.0};
    const FilterRun run = RandomRun(64, random, true);
    std::vector<double> unity(run.volume.size(), 1.0);
    std::vector<double> output(run.input.size());
    Korvane::kernels::FilterOscillators(filters, resonance, lowPassOnly, active, run.input.data(), run.cutoff.data(),
                                        unity.data(), output.data(), 64);
    for (int i = 0; i < 64; ++i) {
        for (int k = 0; k < kLanes; ++k) {
            const auto at = static_cast<std::size_t>(i * kLanes + k);
            ASSERT_EQ(output[at], reference[static_cast<std::size_t>(k)].Process(run.input[at], run.cutoff[at],
                                                                                 resonance[static_cast<std::size_t>(k)]))
                << "frame " << i << " lane " << k;
        }
    }
}

TEST(OscillatorFilters, InactiveLanesGiveSilenceAndKeepTheirState) {
    OscillatorFilters filters;
    filters.s0 = {0.1, 0.2, 0.3, 0.4};
    filters.y1 = {0.5, 0.6, 0.7, 0.8};
    const OscillatorFilters::Lanes resonance{0.5, 0.5, 0.5, 0.5};
    const OscillatorFilters::Lanes type{0.5, 0.5, 0.5, 0.5};
    const OscillatorFilters::Lanes active{1.0, 0.0, 1.0, 0.0};
    const std::vector<double> input(8 * kLanes, 0.25), cutoff(8 * kLanes, 0.5), volume(8 * kLanes, 1.0);
    std::vector<double> output(8 * kLanes, 9.0);
    Korvane::kernels::FilterOscillators(filters, resonance, type, active, input.data(), cutoff.data(), volume.data(),
                                        output.data(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NE(output[static_cast<std::size_t>(i * kLanes)], 0.0);
        EXPECT_EQ(output[static_cast<std::size_t>(i * kLanes + 1)], 0.0);
        EXPECT_EQ(output[static_cast<std::size_t>(i * kLanes + 3)], 0.0);
    }
    EXPECT_EQ(filters.s0[1], 0.2);
    EXPECT_EQ(filters.y1[3], 0.8);
    EXPECT_TRUE(std::isnan(filters.lastCutoff[1]));
    EXPECT_NE(filters.s0[0], 0.1);
    EXPECT_EQ(filters.lastCutoff[2], 0.5);
}

}  // namespace
