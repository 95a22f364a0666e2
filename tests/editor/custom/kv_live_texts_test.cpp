// The texts that refresh themselves on idle: held level and host information.
#include <gtest/gtest.h>

#include <memory>

#include "editor/custom/kv_live_texts.h"
#include "editor/support/dunerow_editor_rig.h"

TEST(KvMaxLevelText, FormatsTheHeldPeakInSinglePrecision) {
    EXPECT_EQ(IKvMaxLevelText::TextFor(0.0), "MAX LEVEL: -oo dB");
    EXPECT_EQ(IKvMaxLevelText::TextFor(-1.0), "MAX LEVEL: -oo dB");
    EXPECT_EQ(IKvMaxLevelText::TextFor(1.0), "MAX LEVEL: 0.0 dB");
    EXPECT_EQ(IKvMaxLevelText::TextFor(2.0), "MAX LEVEL: 6.0 dB");
    // 20 log10(0.006346) is -43.94999864 in double precision (-43.9), but
    // -43.9500008 in single precision, which rounds to -44.0.
    EXPECT_EQ(IKvMaxLevelText::TextFor(0.006346), "MAX LEVEL: -44.0 dB");
}

TEST(KvMaxLevelText, TurnsRedExactlyAboveFullScale) {
    EXPECT_EQ(IKvMaxLevelText::ColourFor(1.0), IKvMaxLevelText::kNormalColour);
    EXPECT_EQ(IKvMaxLevelText::ColourFor(std::nextafter(1.0, 2.0)), IKvMaxLevelText::kOverColour);
    EXPECT_EQ(IKvMaxLevelText::ColourFor(0.0), IKvMaxLevelText::kNormalColour);
    EXPECT_EQ(IKvMaxLevelText::kOverColour, (RasterColor{255, 255, 0, 0}));
    EXPECT_EQ(IKvMaxLevelText::kNormalColour, (RasterColor{255, 128, 255, 0}));
}

TEST(KvMaxLevelText, ShowsTheInstrumentsPeakOnIdle) {
    DunerowEditorRig rig;
    auto* level = rig.Add(std::make_unique<IKvMaxLevelText>(&rig.Synth(), RasterRect{0, 0, 120, 16}, IText{}));
    EXPECT_EQ(level->GetString(), "MAX LEVEL: -oo dB");
    rig.Synth().Meter().Update(0.0, 0.0);  // takes the reset the program's values asked for
    rig.Synth().Meter().Update(0.5, 0.25);
    rig.Graphics().Tick(5);
    EXPECT_EQ(level->GetString(), "MAX LEVEL: -6.0 dB");
    EXPECT_EQ(level->GetText().colour, IKvMaxLevelText::kNormalColour);
    rig.Synth().Meter().Update(0.1, 1.5);
    rig.Graphics().Tick(5);  // a paint, then four clean ticks
    EXPECT_EQ(level->GetString(), "MAX LEVEL: 3.5 dB");
    EXPECT_EQ(level->GetText().colour, IKvMaxLevelText::kOverColour);
}

TEST(KvHostInfoText, ShowsTheSampleRateAndTheTempoTheHostReports) {
    DunerowEditorRig rig;
    auto* info = rig.Add(std::make_unique<IKvHostInfoText>(&rig.Synth(), RasterRect{0, 0, 260, 16}, IText{}));
    EXPECT_EQ(info->GetString(), "") << "empty until the first idle tick";
    rig.Graphics().Tick(5);
    EXPECT_EQ(info->GetString(), "HOST SAMPLE RATE: 44100.0 Hz   TEMPO:   0.00 BPM") << "no tempo from this host yet";
    rig.SetHostTempo(128.0);
    rig.Synth().SetSampleRate(48000.0);
    rig.Graphics().Tick(5);  // a paint, then four clean ticks
    EXPECT_EQ(info->GetString(), "HOST SAMPLE RATE: 48000.0 Hz   TEMPO: 128.00 BPM");
}
