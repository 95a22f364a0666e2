#include "engine/audio_processing_unit.h"

#include <gtest/gtest.h>

namespace {

class TestUnit : public Korvane::AudioProcessingUnit {
public:
    void SetSampleRate(double rate) override {
        AudioProcessingUnit::SetSampleRate(rate);
        ++rateChanges;
    }
    int rateChanges = 0;
};

int StepsUntilSettled(TestUnit& unit) {
    int steps = 0;
    while (unit.FadeGain() > 0.0 && unit.FadeGain() < 1.0 && steps < 1000) {
        unit.StepFade();
        ++steps;
    }
    return steps;
}

}  // namespace

TEST(AudioProcessingUnit, RunsAt44100HzUntilToldOtherwise) {
    TestUnit unit;
    EXPECT_EQ(unit.SampleRate(), 44100.0);
    unit.SetSampleRate(96000.0);
    EXPECT_EQ(unit.SampleRate(), 96000.0);
    EXPECT_EQ(unit.rateChanges, 1);
}

TEST(AudioProcessingUnit, StartsActiveAtFullGain) {
    TestUnit unit;
    EXPECT_FALSE(unit.IsBypassed());
    EXPECT_EQ(unit.FadeGain(), 1.0);
    unit.StepFade();
    EXPECT_EQ(unit.FadeGain(), 1.0);
    EXPECT_FALSE(unit.IsFadedOut());
}

TEST(AudioProcessingUnit, BypassFadesOutIn199Steps) {
    TestUnit unit;
    unit.SetBypassed(true);
    EXPECT_TRUE(unit.IsBypassed());
    EXPECT_EQ(unit.FadeGain(), 0.995);
    EXPECT_FALSE(unit.IsFadedOut());
    unit.StepFade();
    EXPECT_DOUBLE_EQ(unit.FadeGain(), 0.99);
    EXPECT_EQ(1 + StepsUntilSettled(unit), 199);
    EXPECT_EQ(unit.FadeGain(), 0.0);
    EXPECT_TRUE(unit.IsFadedOut());
    unit.StepFade();
    EXPECT_EQ(unit.FadeGain(), 0.0) << "a finished fade stays put";
}

TEST(AudioProcessingUnit, ReturningFromBypassFadesInIn199Steps) {
    TestUnit unit;
    unit.SetBypassed(true);
    StepsUntilSettled(unit);
    unit.SetBypassed(false);
    EXPECT_FALSE(unit.IsBypassed());
    EXPECT_EQ(unit.FadeGain(), 0.005);
    EXPECT_FALSE(unit.IsFadedOut());
    EXPECT_EQ(StepsUntilSettled(unit), 199);
    EXPECT_EQ(unit.FadeGain(), 1.0);
}

TEST(AudioProcessingUnit, SwitchingMidFadeRestartsFromTheFixedGain) {
    TestUnit unit;
    unit.SetBypassed(true);
    for (int i = 0; i < 50; ++i) unit.StepFade();
    unit.SetBypassed(false);
    EXPECT_EQ(unit.FadeGain(), 0.005);
}
