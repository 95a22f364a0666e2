#include "engine/adsr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

using Korvane::ADSR;

namespace {

constexpr double kRate = 44100.0;
constexpr double kGlideRetain = 0.9815;
constexpr double kReleaseRetain = 0.7;

class ADSRTest : public ::testing::Test {
protected:
    ADSRTest() : envelope_("Volume Envelope") {}

    // The smoothers start at 0 and are never reset; many advances while off
    // bring them onto the settings before a test looks at a curve.
    void ConvergeSmoothers() {
        envelope_.SetState(ADSR::kOff);
        for (int i = 0; i < 5000; ++i) envelope_.Advance(1);
    }

    // Frames of a stage: setting x time scale x sample rate.
    static double StageFrames(double setting, double timeScale) { return setting * timeScale * kRate; }

    ADSR envelope_;
};

// The preview algorithm, written out from the envelope's description, with
// its own smoothers starting where a fresh envelope's start (at 0).
struct PreviewModel {
    double attack, decay, sustain, release, scale, rate;
    int state = 0;
    double output = 0.0, held = 0.0;
    double sd = 0.0, ss = 0.0, sr = 0.0;
    int64_t ca = 0, cd = 0, cs = 0, cr = 0;

    void Advance(int n) {
        sd = kGlideRetain * sd + (1.0 - kGlideRetain) * decay;
        ss = kGlideRetain * ss + (1.0 - kGlideRetain) * sustain;
        sr = kReleaseRetain * sr + (1.0 - kReleaseRetain) * release;
        if (state == 0) {
            ca += n;
            const double length = attack * scale * rate;
            output = held = std::clamp(static_cast<double>(ca) / length, 0.0, 1.0);
            if (static_cast<double>(ca) >= std::trunc(length)) state = 1;
        } else if (state == 1) {
            cd += n;
            const double length = sd * scale * rate;
            double v = 1.0 - (static_cast<double>(cd) / length) * (1.0 - ss);
            v = std::min(v, 1.0);
            v = std::max(v, ss);
            output = held = v;
            if (static_cast<double>(cd) >= std::trunc(length)) state = 2;
        } else if (state == 2) {
            cs += n;
            output = held = ss;
        } else if (state == 3) {
            cr += n;
            const double length = sr * scale * rate;
            output = std::clamp((1.0 - static_cast<double>(cr) / length) * held, 0.0, 1.0);
            if (static_cast<double>(cr) >= std::trunc(length)) state = 4;
        } else {
            output = held = 0.0;
        }
    }

    std::array<double, 116> Render() {
        std::array<double, 116> points{};
        const double k = scale * attack + scale * decay + 0.5;
        const int64_t g = static_cast<int64_t>(std::trunc((scale * release + k) * rate)) / 116;
        for (int i = 0; i < 116; ++i) {
            points[static_cast<std::size_t>(i)] = output;
            Advance(static_cast<int>(g));
            if (state < 3 && k < static_cast<double>(i) * static_cast<double>(g) / rate) state = 3;
        }
        return points;
    }
};

}  // namespace

TEST_F(ADSRTest, IsBuiltOffWithItsDefaultSettings) {
    EXPECT_EQ(envelope_.Name(), "Volume Envelope");
    EXPECT_EQ(envelope_.GetState(), ADSR::kOff);
    EXPECT_EQ(envelope_.TimeScale(), 0.2);
    EXPECT_EQ(envelope_.Attack(), 0.05);
    EXPECT_EQ(envelope_.Decay(), 0.5);
    EXPECT_EQ(envelope_.Sustain(), 0.25);
    EXPECT_EQ(envelope_.ReleaseTime(), 0.1);
    EXPECT_EQ(envelope_.Output(), 0.0);
    EXPECT_EQ(envelope_.HeldLevel(), 0.0);
    EXPECT_EQ(envelope_.TotalFrames(), 0);
    EXPECT_EQ(envelope_.SampleRate(), 44100.0);
}

TEST_F(ADSRTest, SettingsNotAboveTheirMinimumOrAboveOneBecomeTheMinimum) {
    struct Case {
        void (ADSR::*set)(double);
        double (ADSR::*get)() const;
        double minimum;
    };
    const Case cases[] = {
        {&ADSR::SetAttack, &ADSR::Attack, 0.000001},
        {&ADSR::SetDecay, &ADSR::Decay, 0.00002},
        {&ADSR::SetSustain, &ADSR::Sustain, 0.00001},
        {&ADSR::SetRelease, &ADSR::ReleaseTime, 0.00001},
    };
    for (const Case& c : cases) {
        for (const double low :
             {0.0, -0.5, c.minimum, c.minimum * 0.5, 1.0000001, 2.0, std::numeric_limits<double>::quiet_NaN()}) {
            (envelope_.*c.set)(low);
            EXPECT_EQ((envelope_.*c.get)(), c.minimum) << "minimum " << c.minimum << " value " << low;
        }
        for (const double valid : {c.minimum * 2.0, 0.3, 1.0}) {
            (envelope_.*c.set)(valid);
            EXPECT_EQ((envelope_.*c.get)(), valid) << "minimum " << c.minimum << " value " << valid;
        }
    }
}

TEST_F(ADSRTest, TimeScaleNeverFallsBelowAThousandthOfASecond) {
    envelope_.SetTimeScale(5.0);
    EXPECT_EQ(envelope_.TimeScale(), 5.0);
    envelope_.SetTimeScale(0.001);
    EXPECT_EQ(envelope_.TimeScale(), 0.001);
    for (const double low : {0.0, -3.0, 0.0005, std::numeric_limits<double>::quiet_NaN()}) {
        envelope_.SetTimeScale(low);
        EXPECT_EQ(envelope_.TimeScale(), 0.001) << low;
    }
}

TEST_F(ADSRTest, RestartBeginsTheAttackFromSilence) {
    envelope_.SetAttack(0.000001);
    envelope_.Restart();
    envelope_.Advance(1);
    envelope_.Advance(1);
    ASSERT_GT(envelope_.Output(), 0.0);
    envelope_.Restart();
    EXPECT_EQ(envelope_.GetState(), ADSR::kAttack);
    EXPECT_EQ(envelope_.Output(), 0.0);
    EXPECT_EQ(envelope_.HeldLevel(), 0.0);
    EXPECT_EQ(envelope_.TotalFrames(), 0);
}

TEST_F(ADSRTest, ShortestAttackReachesFullLevelInOneAdvance) {
    envelope_.SetSampleRate(kRate);
    envelope_.SetAttack(0.000001);
    for (const double scale : {0.001, 0.2, 1.0, 5.0}) {
        envelope_.SetTimeScale(scale);
        envelope_.Restart();
        envelope_.Advance(1);
        EXPECT_EQ(envelope_.Output(), 1.0) << scale;
        EXPECT_EQ(envelope_.HeldLevel(), 1.0) << scale;
        EXPECT_EQ(envelope_.GetState(), ADSR::kDecay) << scale;
    }
}

TEST_F(ADSRTest, AttackRampsLinearlyOverItsLengthInFrames) {
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(1.0);
    envelope_.SetAttack(0.1);
    const double length = StageFrames(0.1, 1.0);  // 4410 frames
    const auto lastFrame = static_cast<int64_t>(std::trunc(length));
    ASSERT_EQ(lastFrame, 4410);

    envelope_.Restart();
    for (int64_t n = 1; n <= lastFrame; ++n) {
        envelope_.Advance(1);
        ASSERT_DOUBLE_EQ(envelope_.Output(), static_cast<double>(n) / length) << n;
        ASSERT_EQ(envelope_.HeldLevel(), envelope_.Output());
        ASSERT_EQ(envelope_.GetState(), n < lastFrame ? ADSR::kAttack : ADSR::kDecay) << n;
    }
    EXPECT_EQ(envelope_.Output(), 1.0);
    EXPECT_EQ(envelope_.TotalFrames(), lastFrame);
}

TEST_F(ADSRTest, AttackEndsAtTheTruncatedLengthWhenItIsNotAWholeNumberOfFrames) {
    envelope_.SetSampleRate(48000.0);
    envelope_.SetTimeScale(0.2);
    envelope_.SetAttack(0.00123);
    const double length = 0.00123 * 0.2 * 48000.0;  // 11.808 frames
    const auto lastFrame = static_cast<int64_t>(std::trunc(length));
    ASSERT_EQ(lastFrame, 11);

    envelope_.Restart();
    for (int64_t n = 1; n <= lastFrame; ++n) envelope_.Advance(1);
    EXPECT_EQ(envelope_.GetState(), ADSR::kDecay);
    // The attack ends short of full level and the decay takes over from there.
    EXPECT_DOUBLE_EQ(envelope_.Output(), 11.0 / length);
    EXPECT_LT(envelope_.Output(), 1.0);
}

TEST_F(ADSRTest, DecayFallsLinearlyToTheSustainLevelAndHoldsThere) {
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(1.0);
    envelope_.SetAttack(0.000001);
    // A length off whole frames: the converged smoother sits a few ulps
    // below its setting, which would move a whole-frame end by one frame.
    envelope_.SetDecay(0.1001);
    envelope_.SetSustain(0.4);
    ConvergeSmoothers();

    envelope_.Restart();
    envelope_.Advance(1);
    ASSERT_EQ(envelope_.GetState(), ADSR::kDecay);
    const double length = StageFrames(0.1001, 1.0);  // 4414.41 frames
    const auto lastFrame = static_cast<int64_t>(std::trunc(length));
    ASSERT_EQ(lastFrame, 4414);
    for (int64_t m = 1; m <= lastFrame; ++m) {
        envelope_.Advance(1);
        const double expected = 1.0 - (static_cast<double>(m) / length) * (1.0 - 0.4);
        ASSERT_NEAR(envelope_.Output(), expected, 1e-12) << m;
        ASSERT_EQ(envelope_.GetState(), m < lastFrame ? ADSR::kDecay : ADSR::kSustain) << m;
    }
    for (int i = 0; i < 1000; ++i) {
        envelope_.Advance(1);
        ASSERT_NEAR(envelope_.Output(), 0.4, 1e-12);
        ASSERT_EQ(envelope_.GetState(), ADSR::kSustain);
    }
}

TEST_F(ADSRTest, FullSustainHoldsAtOneFromTheFirstDecayFrame) {
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(1.0);
    envelope_.SetAttack(0.000001);
    envelope_.SetDecay(0.05);
    envelope_.SetSustain(1.0);
    ConvergeSmoothers();

    envelope_.Restart();
    while (envelope_.GetState() == ADSR::kAttack) envelope_.Advance(1);
    ASSERT_EQ(envelope_.Output(), 1.0);
    for (int i = 0; i < 5000; ++i) {
        envelope_.Advance(1);
        ASSERT_NEAR(envelope_.Output(), 1.0, 1e-12) << i;
    }
    EXPECT_EQ(envelope_.GetState(), ADSR::kSustain);
}

TEST_F(ADSRTest, ReleaseDuringAttackFallsLinearlyFromTheLevelReached) {
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(1.0);
    envelope_.SetAttack(0.1);
    envelope_.SetRelease(0.0501);
    ConvergeSmoothers();

    envelope_.Restart();
    const double attackLength = StageFrames(0.1, 1.0);
    for (int n = 0; n < 1764; ++n) envelope_.Advance(1);
    ASSERT_EQ(envelope_.GetState(), ADSR::kAttack);
    ASSERT_DOUBLE_EQ(envelope_.Output(), 1764.0 / attackLength);  // 0.4
    ASSERT_DOUBLE_EQ(envelope_.Output(), 0.4);
    const double level = envelope_.Output();

    envelope_.Release();
    EXPECT_EQ(envelope_.GetState(), ADSR::kRelease);
    const double length = StageFrames(0.0501, 1.0);  // 2209.41 frames
    const auto lastFrame = static_cast<int64_t>(std::trunc(length));
    ASSERT_EQ(lastFrame, 2209);
    for (int64_t m = 1; m <= lastFrame; ++m) {
        envelope_.Advance(1);
        ASSERT_NEAR(envelope_.Output(), (1.0 - static_cast<double>(m) / length) * level, 1e-12) << m;
        ASSERT_EQ(envelope_.HeldLevel(), level);
        ASSERT_EQ(envelope_.GetState(), m < lastFrame ? ADSR::kRelease : ADSR::kOff) << m;
    }
    // The last release frame falls just short of silence; off is silent.
    EXPECT_LT(envelope_.Output(), level / 2000.0);
    envelope_.Advance(1);
    EXPECT_EQ(envelope_.Output(), 0.0);
    EXPECT_EQ(envelope_.HeldLevel(), 0.0);
    EXPECT_EQ(envelope_.GetState(), ADSR::kOff);
}

TEST_F(ADSRTest, ReleaseOnlyMovesStatesBeforeRelease) {
    for (const int state : {ADSR::kAttack, ADSR::kDecay, ADSR::kSustain}) {
        envelope_.SetState(state);
        envelope_.Release();
        EXPECT_EQ(envelope_.GetState(), ADSR::kRelease) << state;
    }
    envelope_.SetState(ADSR::kOff);
    envelope_.Release();
    EXPECT_EQ(envelope_.GetState(), ADSR::kOff);
}

TEST_F(ADSRTest, SustainChangeWhileHeldGlidesWithTheOnePoleLaw) {
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(0.01);
    envelope_.SetAttack(0.000001);
    envelope_.SetDecay(0.00002);
    envelope_.SetSustain(0.25);
    ConvergeSmoothers();
    envelope_.Restart();
    while (envelope_.GetState() != ADSR::kSustain) envelope_.Advance(1);
    ASSERT_NEAR(envelope_.Output(), 0.25, 1e-12);

    envelope_.SetSustain(0.75);
    double previous = envelope_.Output();
    for (int m = 1; m <= 400; ++m) {
        envelope_.Advance(1);
        const double closedForm = 0.75 + (0.25 - 0.75) * std::pow(kGlideRetain, m);
        ASSERT_NEAR(envelope_.Output(), closedForm, 1e-9) << m;
        ASSERT_GT(envelope_.Output(), previous);
        previous = envelope_.Output();
    }
    EXPECT_EQ(envelope_.GetState(), ADSR::kSustain);
}

TEST_F(ADSRTest, ReleaseTimeGlidesWithTheFasterSmoother) {
    // A fresh envelope: the release smoother starts at 0 and takes 30% of
    // the way to the setting on every advance.
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(1.0);
    envelope_.SetAttack(0.000001);
    envelope_.SetRelease(0.5);
    envelope_.Restart();
    envelope_.Advance(1);  // full level; the smoothers have stepped once
    ASSERT_EQ(envelope_.Output(), 1.0);
    envelope_.Release();

    double smoothed = (1.0 - kReleaseRetain) * 0.5;
    for (int m = 1; m <= 50; ++m) {
        smoothed = kReleaseRetain * smoothed + (1.0 - kReleaseRetain) * 0.5;
        envelope_.Advance(1);
        const double length = smoothed * 1.0 * kRate;
        ASSERT_NEAR(envelope_.Output(), 1.0 - static_cast<double>(m) / length, 1e-12) << m;
    }
}

TEST_F(ADSRTest, OffStateOutputsSilence) {
    envelope_.SetState(ADSR::kOff);
    envelope_.Advance(1);
    EXPECT_EQ(envelope_.Output(), 0.0);
    EXPECT_EQ(envelope_.HeldLevel(), 0.0);
    EXPECT_EQ(envelope_.GetState(), ADSR::kOff);
}

TEST_F(ADSRTest, AdvanceCountsFramesPastThe32BitRange) {
    envelope_.SetState(ADSR::kSustain);
    envelope_.Advance(2000000000);
    envelope_.Advance(2000000000);
    envelope_.Advance(2000000000);
    EXPECT_EQ(envelope_.TotalFrames(), int64_t{6000000000});
    EXPECT_EQ(envelope_.GetState(), ADSR::kSustain);
}

TEST_F(ADSRTest, ALongReleaseEndsOnlyAfterItsFullLength) {
    // A stage of more than 2^31 frames still ends after its length.
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(100000.0);
    envelope_.SetRelease(1.0);
    ConvergeSmoothers();
    envelope_.SetState(ADSR::kSustain);
    envelope_.Advance(1);
    envelope_.Release();
    const double length = StageFrames(1.0, 100000.0);  // 4.41e9 frames
    envelope_.Advance(2000000000);
    envelope_.Advance(2000000000);
    EXPECT_EQ(envelope_.GetState(), ADSR::kRelease);
    EXPECT_GT(envelope_.Output(), 0.0);
    envelope_.Advance(static_cast<int>(length - 4e9));
    EXPECT_EQ(envelope_.GetState(), ADSR::kOff);
}

TEST_F(ADSRTest, PreviewShowsAttackDecayHalfASecondOfSustainAndRelease) {
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(1.0);
    envelope_.SetAttack(0.1);
    envelope_.SetDecay(0.2);
    envelope_.SetSustain(0.5);
    envelope_.SetRelease(0.3);

    std::array<double, ADSR::kPreviewPoints> preview{};
    envelope_.RenderPreview(preview);

    PreviewModel model{0.1, 0.2, 0.5, 0.3, 1.0, kRate};
    const std::array<double, 116> expected = model.Render();
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(preview[i], expected[i], 1e-12) << i;

    // (0.3 + 0.1 + 0.2 + 0.5) s at 44100 Hz is 48510 frames: 418 per point.
    // The attack of 4410 frames therefore rises by 418 / 4410 a point.
    EXPECT_EQ(preview[0], 0.0);
    for (int i = 1; i <= 10; ++i) EXPECT_DOUBLE_EQ(preview[static_cast<std::size_t>(i)], i * 418.0 / 4410.0) << i;
    EXPECT_EQ(preview[11], 1.0);
    // Release is forced once i x 418 / 44100 passes 0.8 s, after drawing
    // point 85; point 87 is the first to show it.
    // The 30 points left do not reach the end of the release.
    for (std::size_t i = 87; i < preview.size(); ++i) EXPECT_LT(preview[i], preview[i - 1]) << i;
    EXPECT_GT(preview[115], 0.0);
}

TEST_F(ADSRTest, PreviewFollowsTheAlgorithmWithConvergedSmoothersToo) {
    envelope_.SetSampleRate(48000.0);
    envelope_.SetTimeScale(2.5);
    envelope_.SetAttack(0.02);
    envelope_.SetDecay(0.3);
    envelope_.SetSustain(0.6);
    envelope_.SetRelease(0.4);
    // Draw three times: the smoothers carry on between drawings.
    std::array<double, ADSR::kPreviewPoints> preview{};
    PreviewModel model{0.02, 0.3, 0.6, 0.4, 2.5, 48000.0};
    for (int drawing = 0; drawing < 3; ++drawing) {
        envelope_.RenderPreview(preview);
        model.state = 0;
        model.output = model.held = 0.0;
        model.ca = model.cd = model.cs = model.cr = 0;
        const std::array<double, 116> expected = model.Render();
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_NEAR(preview[i], expected[i], 1e-12) << "drawing " << drawing << " point " << i;
        }
    }
    EXPECT_EQ(preview[0], 0.0);
}

TEST_F(ADSRTest, PreviewForcesReleaseOnWholeFramesPerPoint) {
    // 0.1 + 0.01 + 0.1 + 0.5 s is 31311 frames: 269 whole frames a point
    // (not 269.9), so release is forced only after drawing point 101,
    // where 101 x 269 / 44100 first passes 0.61 s; point 103 is the first
    // to show it.
    envelope_.SetSampleRate(kRate);
    envelope_.SetTimeScale(1.0);
    envelope_.SetAttack(0.01);
    envelope_.SetDecay(0.1);
    envelope_.SetSustain(0.5);
    envelope_.SetRelease(0.1);
    std::array<double, ADSR::kPreviewPoints> preview{};
    envelope_.RenderPreview(preview);

    PreviewModel model{0.01, 0.1, 0.5, 0.1, 1.0, kRate};
    const std::array<double, 116> expected = model.Render();
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(preview[i], expected[i], 1e-12) << i;

    // The sustain is still gliding up when the release begins.
    EXPECT_GT(preview[102], preview[101]);
    EXPECT_LT(preview[103], preview[102]);
}
