// Value captions: each display mode's formula and format.
#include <gtest/gtest.h>

#include <memory>

#include "editor/custom/kv_caption_control.h"
#include "editor/support/dunerow_editor_rig.h"

namespace {

IKvCaptionControl Caption(IPluginVst* plugin, int mode, double scale = 1.0, double offset = 0.0,
                          std::string_view suffix = {}, int param = param::OscPan1) {
    return IKvCaptionControl(plugin, {0, 0, 60, 16}, param, IText{}, mode, scale, offset, suffix);
}

}  // namespace

TEST(KvCaption, DecibelsShowMinusInfinityAtExactlyZero) {
    DunerowEditorRig rig;
    const auto caption = Caption(&rig.Synth(), IKvCaptionControl::kDecibels);
    EXPECT_EQ(caption.TextFor(0.0), "-oodB");
    EXPECT_EQ(caption.TextFor(-0.0), "-oodB");
    EXPECT_EQ(caption.TextFor(1.0), "0.0dB");
    EXPECT_EQ(caption.TextFor(0.5), "-6.0dB");   // 20 log10(0.5) = -6.02
    EXPECT_EQ(caption.TextFor(1e-9), "-180.0dB");
}

TEST(KvCaption, EachModesFormula) {
    DunerowEditorRig rig;
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kPercent).TextFor(0.257), "25.7%");
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kSemitones).TextFor(0.75), "6.000");   // 18 - 12
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kSemitones).TextFor(0.0), "-12.000");
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kBipolar).TextFor(0.25), "-0.500");
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kCentred).TextFor(0.8), "0.300");
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kScaled, 20.0, 0.0, "Hz").TextFor(0.5), "10.000Hz");
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kScaled, 5.0, 0.0, "s").TextFor(0.1), "0.500s");
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kScaledCoarse, 4000.0, 0.0, "Hz").TextFor(0.123), "492.0Hz");
    EXPECT_EQ(Caption(&rig.Synth(), IKvCaptionControl::kScaledCoarse, 10.0, 2.0, " x").TextFor(0.5), " 7.0 x");
}

TEST(KvCaption, OtherModesShowTheParametersDisplayText) {
    DunerowEditorRig rig;
    const PluginParam* cutoff = rig.Synth().GetParam(param::OscFilterCutoff1);
    char expected[64] = {};
    cutoff->FormatValue(0.25, true, expected);
    const auto plain = Caption(&rig.Synth(), 7, 1.0, 0.0, {}, param::OscFilterCutoff1);
    EXPECT_EQ(plain.TextFor(0.25), expected);
    EXPECT_EQ(Caption(&rig.Synth(), -1, 1.0, 0.0, {}, param::OscFilterCutoff1).TextFor(0.25), expected);
}

TEST(KvCaption, DrawsTheTextOfItsParametersValue) {
    DunerowEditorRig rig;
    IText style;
    style.font = "Arial";
    style.size = 13;
    style.colour = {255, 255, 255, 255};
    auto* caption = rig.Add(std::make_unique<IKvCaptionControl>(&rig.Synth(), RasterRect{10, 10, 70, 26},
                                                                param::OscSat1, style, IKvCaptionControl::kPercent));
    rig.Graphics().Surface().Fill(0xFF000000);
    rig.Synth().SetParameterFromEditor(param::OscSat1, 0.5);
    rig.Graphics().Tick();
    EXPECT_EQ(caption->GetString(), "50.0%");
    int lit = 0;
    for (int y = 10; y < 26; ++y) {
        for (int x = 10; x < 70; ++x) lit += rig.Graphics().Surface().At(x, y) != 0xFF000000u ? 1 : 0;
    }
    EXPECT_GT(lit, 20) << "the text is drawn";
}
