#include "engine/pitch_envelope.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using Korvane::PitchEnvelope;

namespace {

constexpr double kRise = 0.007;
constexpr double kAmountScale = 20.0;
constexpr double kPowerScale = 20.0;

class PitchEnvelopeTest : public ::testing::Test {
protected:
    // The sweep part of the law, without the down term.
    static double Sweep(double t, double amount, double duration, double power) {
        const double end = kRise + duration;
        if (t < kRise) return 1.0 + kAmountScale * amount * t / kRise;
        if (t < end) return 1.0 + kAmountScale * amount * std::pow(1.0 - (t - kRise) / duration, kPowerScale * power);
        return 1.0;
    }
    static double DownTerm(double t, double down, double duration) {
        const double end = kRise + duration;
        return down * (t < end ? t / end : 1.0);
    }

    PitchEnvelope envelope_;
};

}  // namespace

TEST_F(PitchEnvelopeTest, IsBuiltEnabledAndFlat) {
    EXPECT_FALSE(envelope_.IsDisabled());
    EXPECT_EQ(envelope_.RiseSeconds(), 0.007);
    EXPECT_EQ(envelope_.DurationSeconds(), 0.1);
    EXPECT_EQ(envelope_.Amount(), 0.0);
    EXPECT_EQ(envelope_.Power(), 0.002);
    EXPECT_EQ(envelope_.Down(), 0.0);
    EXPECT_EQ(envelope_.SampleRate(), 44100.0);
    for (const double t : {0.0, 0.003, 0.007, 0.05, 0.107, 1.0}) EXPECT_EQ(envelope_.Value(t), 1.0) << t;
}

TEST_F(PitchEnvelopeTest, DisabledGivesExactlyOneWhateverTheSettings) {
    envelope_.SetAmount(1.0);
    envelope_.SetDurationSeconds(0.5);
    envelope_.SetPower(0.7);
    envelope_.SetDown(0.6);
    ASSERT_NE(envelope_.Value(0.003), 1.0);
    envelope_.SetDisabled(true);
    for (const double t : {0.0, 0.001, 0.0069, 0.007, 0.1, 0.507, 3.0}) EXPECT_EQ(envelope_.Value(t), 1.0) << t;
}

TEST_F(PitchEnvelopeTest, RisesLinearlyToItsPeakOverSevenMilliseconds) {
    envelope_.SetAmount(0.5);
    EXPECT_EQ(envelope_.Value(0.0), 1.0);
    for (const double t : {0.0005, 0.001, 0.0035, 0.006, 0.00699}) {
        EXPECT_DOUBLE_EQ(envelope_.Value(t), 1.0 + 20.0 * 0.5 * t / 0.007) << t;
    }
    // Halfway up the rise is halfway to the peak of 1 + 20 x amount.
    EXPECT_DOUBLE_EQ(envelope_.Value(0.0035), 1.0 + 0.5 * (20.0 * 0.5));
    // At the end of the rise the fall starts from the full peak.
    EXPECT_DOUBLE_EQ(envelope_.Value(0.007), 1.0 + 20.0 * 0.5);
}

TEST_F(PitchEnvelopeTest, FallsBackAlongThePowerCurve) {
    envelope_.SetAmount(0.8);
    envelope_.SetDurationSeconds(0.2);
    envelope_.SetPower(0.3);  // exponent 20 x 0.3 = 6
    for (const double t : {0.007, 0.01, 0.05, 0.107, 0.15, 0.2, 0.2069}) {
        EXPECT_DOUBLE_EQ(envelope_.Value(t), 1.0 + 20.0 * 0.8 * std::pow(1.0 - (t - 0.007) / 0.2, 6.0)) << t;
        EXPECT_DOUBLE_EQ(envelope_.Value(t), Sweep(t, 0.8, 0.2, 0.3)) << t;
    }
    // Halfway through the fall: (1/2)^6 of the peak excursion is left.
    EXPECT_DOUBLE_EQ(envelope_.Value(0.107), 1.0 + 16.0 / 64.0);
}

TEST_F(PitchEnvelopeTest, IsOneAfterRiseAndFall) {
    envelope_.SetAmount(1.0);
    envelope_.SetDurationSeconds(0.3);
    envelope_.SetPower(0.05);  // exponent 1: a straight fall
    EXPECT_DOUBLE_EQ(envelope_.Value(0.157), 1.0 + 20.0 * 0.5);
    EXPECT_GT(envelope_.Value(0.306), 1.0);
    for (const double t : {0.307, 0.31, 1.0, 2.5}) EXPECT_EQ(envelope_.Value(t), 1.0) << t;
}

TEST_F(PitchEnvelopeTest, DownTermPullsLinearlyUntilTheEndOfTheFallAndHolds) {
    envelope_.SetDown(0.3);
    envelope_.SetDurationSeconds(0.1);
    const double end = 0.007 + 0.1;
    for (const double t : {0.0, 0.002, 0.007, 0.05, 0.1}) {
        EXPECT_DOUBLE_EQ(envelope_.Value(t), 1.0 - 0.3 * t / end) << t;
    }
    for (const double t : {0.107, 0.2, 2.0}) EXPECT_DOUBLE_EQ(envelope_.Value(t), 1.0 - 0.3) << t;
}

TEST_F(PitchEnvelopeTest, SweepAndDownTermAddUp) {
    envelope_.SetAmount(0.4);
    envelope_.SetDurationSeconds(1.2);
    envelope_.SetPower(0.05);
    envelope_.SetDown(0.9);
    for (const double t : {0.0, 0.004, 0.007, 0.3, 0.9, 1.206, 1.207, 1.5}) {
        EXPECT_DOUBLE_EQ(envelope_.Value(t), Sweep(t, 0.4, 1.2, 0.05) - DownTerm(t, 0.9, 1.2)) << t;
    }
}

TEST_F(PitchEnvelopeTest, FullDownStopsThePitchAfterTheFall) {
    envelope_.SetDown(1.0);
    envelope_.SetDurationSeconds(0.2);
    EXPECT_EQ(envelope_.Value(0.21), 0.0);
    EXPECT_EQ(envelope_.Value(5.0), 0.0);
    EXPECT_NEAR(envelope_.Value(0.207 - 1e-9), 0.0, 1e-8);
}

TEST_F(PitchEnvelopeTest, ZeroDurationIsFlatFromSevenMillisecondsWithTheFullDownTerm) {
    envelope_.SetAmount(0.6);
    envelope_.SetDurationSeconds(0.0);
    envelope_.SetPower(0.5);
    envelope_.SetDown(0.25);
    // The rise still happens, with the down term growing over it.
    EXPECT_DOUBLE_EQ(envelope_.Value(0.0035), 1.0 + 20.0 * 0.6 * 0.5 - 0.25 * 0.5);
    EXPECT_EQ(envelope_.Value(0.007), 1.0 - 0.25);
    EXPECT_EQ(envelope_.Value(0.0071), 1.0 - 0.25);
    EXPECT_EQ(envelope_.Value(1.0), 1.0 - 0.25);
}

TEST_F(PitchEnvelopeTest, PreviewSpansTheRiseAndTwoSeconds) {
    envelope_.SetAmount(0.7);
    envelope_.SetDurationSeconds(0.8);
    envelope_.SetPower(0.15);
    envelope_.SetDown(0.4);
    std::array<double, PitchEnvelope::kPreviewPoints> preview{};
    envelope_.RenderPreview(preview);

    ASSERT_EQ(preview.size(), 146u);
    int above = 0;
    int below = 0;
    for (std::size_t i = 0; i < preview.size(); ++i) {
        const double tau = static_cast<double>(i) / 146.0 * (0.007 + 2.0);
        const double u = Sweep(tau, 0.7, 0.8, 0.15) - DownTerm(tau, 0.4, 0.8) - 1.0;
        const double expected = u >= 0.0 ? u / 20.0 : u;
        EXPECT_DOUBLE_EQ(preview[i], expected) << i;
        (u >= 0.0 ? above : below) += 1;
    }
    // Both branches of the display scaling are exercised.
    EXPECT_GT(above, 0);
    EXPECT_GT(below, 0);
    EXPECT_EQ(preview[0], 0.0);
    // After the fall only the held down term shows, unscaled.
    EXPECT_DOUBLE_EQ(preview[145], -0.4);
}

TEST_F(PitchEnvelopeTest, PreviewOfADisabledEnvelopeIsFlatZero) {
    envelope_.SetAmount(1.0);
    envelope_.SetDown(0.5);
    envelope_.SetDisabled(true);
    std::array<double, PitchEnvelope::kPreviewPoints> preview{};
    preview.fill(3.0);
    envelope_.RenderPreview(preview);
    for (std::size_t i = 0; i < preview.size(); ++i) EXPECT_EQ(preview[i], 0.0) << i;
}
