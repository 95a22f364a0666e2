// The stock controls driven with real mouse events through the headless
// graphics object: the values they reach and what the host is told.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/controls/fader_control.h"
#include "editor/controls/file_selector_control.h"
#include "editor/controls/knob_control.h"
#include "editor/controls/switch_control.h"
#include "editor/controls/text_control.h"
#include "editor/graphics/graphics_headless.h"
#include "editor/support/editor_test_plugin.h"
#include "editor/support/test_bitmaps.h"

namespace {

constexpr IMouseMod kLeft{.left = true};
constexpr IMouseMod kLeftShift{.left = true, .shift = true};
constexpr IMouseMod kLeftControl{.left = true, .control = true};

class StockControls : public ::testing::Test {
protected:
    StockControls() : graphics(&plugin, 400, 300) { graphics.OpenWindow(nullptr); }

    template <class Control>
    Control* Add(std::unique_ptr<Control> control) {
        Control* raw = control.get();
        graphics.AddControl(std::move(control));
        return raw;
    }

    double Gain() const { return plugin.GetParam(EditorTestPlugin::kGain)->Value(); }

    EditorTestPlugin plugin;
    IGraphicsHeadless graphics;
};

}  // namespace

TEST_F(StockControls, AKnobIsOneFrameOfItsStrip) {
    auto* knob = Add(std::make_unique<IKnobMultiControl>(&plugin, 50, 60, EditorTestPlugin::kGain,
                                                         GreyStrip(30, 30, 128)));
    EXPECT_EQ(knob->GetRect(), (RasterRect{50, 60, 80, 90}));
}

TEST_F(StockControls, DraggingAKnobUpFourHeightsSpansTheRange) {
    auto* knob = Add(std::make_unique<IKnobMultiControl>(&plugin, 50, 160, EditorTestPlugin::kGain,
                                                         GreyStrip(30, 30, 128)));
    graphics.Drag(65, 175, 65, 55, kLeft);  // 120 pixels = 4 x 30
    EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
    EXPECT_DOUBLE_EQ(Gain(), 1.0);
    graphics.Drag(65, 175, 65, 235, kLeft);  // down two heights: half the range
    EXPECT_NEAR(knob->GetValue(), 0.5, 1e-12);
}

TEST_F(StockControls, ShiftOrControlMakeAKnobDragTenTimesFiner) {
    auto* knob = Add(std::make_unique<IKnobMultiControl>(&plugin, 50, 160, EditorTestPlugin::kGain,
                                                         GreyStrip(30, 30, 128)));
    graphics.Drag(65, 175, 65, 55, kLeftShift);
    EXPECT_NEAR(knob->GetValue(), 0.1, 1e-12);
    graphics.Drag(65, 175, 65, 55, kLeftControl);
    EXPECT_NEAR(knob->GetValue(), 0.2, 1e-12);
}

TEST_F(StockControls, AHorizontalKnobTurnsUpToTheRight) {
    auto* knob = Add(std::make_unique<IKnobMultiControl>(&plugin, 50, 60, EditorTestPlugin::kGain,
                                                         GreyStrip(30, 30, 128),
                                                         IKnobControl::Direction::Horizontal));
    graphics.Drag(60, 70, 120, 70, kLeft);  // 60 pixels = 2 widths of 30, gearing 4
    EXPECT_NEAR(knob->GetValue(), 0.5, 1e-12);
}

TEST_F(StockControls, AKnobDragTellsTheHostBeginAutomateAndEnd) {
    Add(std::make_unique<IKnobMultiControl>(&plugin, 50, 60, EditorTestPlugin::kGain, GreyStrip(30, 30, 128)));
    graphics.Drag(65, 75, 65, 45, kLeft, 2);  // 30 pixels up: +0.25 in two moves
    const auto reports = plugin.EditReports();
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0].opcode, vst2::audioMasterBeginEdit);
    EXPECT_EQ(reports[1].opcode, vst2::audioMasterAutomate);
    EXPECT_NEAR(reports[1].value, 0.125f, 1e-6);
    EXPECT_EQ(reports[2].opcode, vst2::audioMasterAutomate);
    EXPECT_NEAR(reports[2].value, 0.25f, 1e-6);
    EXPECT_EQ(reports[3].opcode, vst2::audioMasterEndEdit);
    for (const auto& report : reports) EXPECT_EQ(report.index, EditorTestPlugin::kGain);
}

TEST_F(StockControls, AKnobDrawsTheFrameItsValueSelects) {
    auto* knob = Add(std::make_unique<IKnobMultiControl>(&plugin, 50, 60, EditorTestPlugin::kGain,
                                                         GreyStrip(30, 30, 128)));
    graphics.SetParameterFromPlugin(EditorTestPlugin::kGain, 0.5, true);
    graphics.Tick();
    EXPECT_EQ(graphics.Surface().At(60, 70), Grey(65));  // trunc(127 * 0.5 + 0.5) + 1
    knob->SetGrayed(true);
    graphics.Surface().Fill(0);
    graphics.Tick();
    // A grayed knob is drawn at weight 64/255: 65 -> round(65 * 64 / 255) = 16, alpha 64.
    EXPECT_EQ(graphics.Surface().At(60, 70), 0x40101010u);
}

TEST_F(StockControls, AFourFrameSwitchStepsThroughItsValuesAndWraps) {
    auto* button = Add(std::make_unique<ISwitchControl>(&plugin, 10, 10, EditorTestPlugin::kGain, GreyStrip(20, 20, 4)));
    std::vector<double> seen;
    for (int click = 0; click < 4; ++click) {
        graphics.Click(15, 15);
        seen.push_back(button->GetValue());
    }
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_NEAR(seen[0], 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(seen[1], 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(seen[2], 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(seen[3], 0.0);
    EXPECT_DOUBLE_EQ(Gain(), 0.0);
}

TEST_F(StockControls, ATwoFrameSwitchTogglesAndADoubleClickIsASecondClick) {
    auto* button = Add(std::make_unique<ISwitchControl>(&plugin, 10, 10, EditorTestPlugin::kPower, GreyStrip(20, 20, 2)));
    graphics.Click(15, 15);
    EXPECT_DOUBLE_EQ(button->GetValue(), 1.0);
    EXPECT_DOUBLE_EQ(plugin.GetParam(EditorTestPlugin::kPower)->Value(), 1.0);
    graphics.OnMouseDoubleClick(15, 15, kLeft);
    EXPECT_DOUBLE_EQ(button->GetValue(), 0.0);
}

TEST_F(StockControls, ASingleFrameSwitchAlternatesBetweenZeroAndOne) {
    auto* button = Add(std::make_unique<ISwitchControl>(&plugin, 10, 10, -1, GreyStrip(20, 20, 1)));
    graphics.Click(15, 15);
    EXPECT_DOUBLE_EQ(button->GetValue(), 1.0);
    graphics.Click(15, 15);
    EXPECT_DOUBLE_EQ(button->GetValue(), 0.0);
}

TEST_F(StockControls, AContactIsOnOnlyWhileHeld) {
    auto* contact = Add(std::make_unique<IContactControl>(&plugin, 10, 10, EditorTestPlugin::kPower, GreyStrip(20, 20, 2)));
    graphics.OnMouseDown(15, 15, kLeft);
    EXPECT_DOUBLE_EQ(contact->GetValue(), 1.0);
    graphics.Tick();
    EXPECT_EQ(graphics.Surface().At(15, 15), Grey(2)) << "the pressed frame while held";
    graphics.OnMouseUp(15, 15, kLeft);
    EXPECT_DOUBLE_EQ(contact->GetValue(), 0.0);
    graphics.Tick();
    EXPECT_EQ(graphics.Surface().At(15, 15), Grey(1));
}

// A horizontal fader of length 82 with a 12-pixel handle: travel 70.
class Fader : public StockControls {
protected:
    Fader()
        : fader(Add(std::make_unique<IFaderControl>(&plugin, 100, 50, 82, EditorTestPlugin::kGain,
                                                    GreyStrip(12, 9, 1)))) {}
    IFaderControl* fader;
};

TEST_F(Fader, ItsRectangleIsTheTrackLengthByTheHandleHeight) {
    EXPECT_EQ(fader->GetRect(), (RasterRect{100, 50, 182, 59}));
    EXPECT_EQ(fader->HandleSize(), 12);
}

TEST_F(Fader, AClickPutsTheHandlesCentreUnderTheMouse) {
    graphics.Click(141, 55);  // (141 - 100 - 6) / 70
    EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
    EXPECT_EQ(fader->HandleRect(), (RasterRect{135, 50, 147, 59}));
    graphics.Click(101, 55);  // below the first centre: clamped
    EXPECT_DOUBLE_EQ(fader->GetValue(), 0.0);
    EXPECT_EQ(fader->HandleRect(), (RasterRect{100, 50, 112, 59}));
    graphics.Click(181, 55);
    EXPECT_DOUBLE_EQ(fader->GetValue(), 1.0);
    EXPECT_EQ(fader->HandleRect(), (RasterRect{170, 50, 182, 59}));
    EXPECT_DOUBLE_EQ(Gain(), 1.0);
}

TEST_F(Fader, ADragFollowsTheMouse) {
    graphics.Drag(106, 55, 127, 55, kLeft, 3);  // to (127 - 106) / 70
    EXPECT_NEAR(fader->GetValue(), 0.3, 1e-12);
}

TEST_F(Fader, TheHandleIsDrawnAtItsPlace) {
    graphics.SetParameterFromPlugin(EditorTestPlugin::kGain, 0.5, true);
    graphics.Tick();
    EXPECT_EQ(graphics.Surface().At(135, 50), Grey(1));
    EXPECT_EQ(graphics.Surface().At(146, 58), Grey(1));
    EXPECT_EQ(graphics.Surface().At(134, 50), 0u);
    EXPECT_EQ(graphics.Surface().At(147, 50), 0u);
}

TEST_F(StockControls, AFaderHitOnlyOnItsHandleIgnoresTheTrack) {
    auto* handleOnly = Add(std::make_unique<IFaderControl>(&plugin, 100, 100, 82, EditorTestPlugin::kTune,
                                                           GreyStrip(12, 9, 1), IFaderControl::Direction::Horizontal,
                                                           true));
    EXPECT_FALSE(handleOnly->HitTest(150, 104));
    EXPECT_TRUE(handleOnly->HitTest(105, 104));
}

TEST_F(StockControls, AVerticalFaderIsHighestAtTheTop) {
    auto* fader = Add(std::make_unique<IFaderControl>(&plugin, 10, 100, 110, EditorTestPlugin::kGain,
                                                      GreyStrip(20, 10, 1), IFaderControl::Direction::Vertical));
    EXPECT_EQ(fader->GetRect(), (RasterRect{10, 100, 30, 210}));
    graphics.Click(20, 105);  // 1 - (105 - 100 - 5) / 100
    EXPECT_DOUBLE_EQ(fader->GetValue(), 1.0);
    graphics.Click(20, 155);
    EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
    EXPECT_EQ(fader->HandleRect(), (RasterRect{10, 150, 30, 160}));
}

TEST_F(StockControls, ATextControlRedrawsOnlyWhenItsTextChanges) {
    IText style;
    style.font = "Arial";
    style.size = 13;
    auto* text = Add(std::make_unique<ITextControl>(&plugin, RasterRect{10, 10, 110, 30}, style, "Resonance"));
    graphics.Tick();
    EXPECT_FALSE(text->IsDirty());
    text->SetTextFromPlugin("Resonance");
    EXPECT_FALSE(text->IsDirty());
    text->SetTextFromPlugin("Cutoff");
    EXPECT_TRUE(text->IsDirty());
    EXPECT_EQ(text->GetString(), "Cutoff");
}

TEST_F(StockControls, ACaptionShowsItsParametersDisplayTextAndLabel) {
    IText style;
    style.font = "Arial";
    auto* caption = Add(std::make_unique<ICaptionControl>(&plugin, RasterRect{10, 10, 110, 30},
                                                          EditorTestPlugin::kTune, style, true));
    graphics.SetParameterFromPlugin(EditorTestPlugin::kTune, 6.0, false);
    graphics.Tick();
    EXPECT_EQ(caption->GetString(), "6.00 st");
    auto* mode = Add(std::make_unique<ICaptionControl>(&plugin, RasterRect{10, 40, 110, 60},
                                                       EditorTestPlugin::kMode, style, true));
    graphics.SetParameterFromPlugin(EditorTestPlugin::kMode, 1.0, false);
    graphics.Tick();
    EXPECT_EQ(mode->GetString(), "Mid") << "a display text carries no unit";
}

TEST_F(StockControls, AFileSelectorAsksForAFileAndFlipsItsValue) {
    auto* selector = Add(std::make_unique<IFileSelectorControl>(&plugin, 10, 10, -1, GreyStrip(20, 20, 2),
                                                                FileAction::Open, "/presets/", "kv fxp"));
    graphics.Tick();
    EXPECT_FALSE(selector->IsDirty());
    graphics.AnswerNextFileDialog("/presets/kicks/hard.fxp");
    graphics.Click(15, 15);
    ASSERT_EQ(graphics.FileDialogsShown().size(), 1u);
    EXPECT_EQ(graphics.FileDialogsShown()[0].filter, "*.kv;*.fxp");
    EXPECT_EQ(graphics.FileDialogsShown()[0].directory, "/presets/");
    EXPECT_EQ(selector->ChosenFile(), "/presets/kicks/hard.fxp");
    EXPECT_EQ(selector->Directory(), "/presets/kicks/");
    EXPECT_DOUBLE_EQ(selector->GetValue(), 1.0);
    EXPECT_TRUE(selector->IsDirty()) << "once after the dialog";
    graphics.Tick();
    EXPECT_FALSE(selector->IsDirty());
    graphics.AnswerNextFileDialog("");
    graphics.Click(15, 15);
    EXPECT_DOUBLE_EQ(selector->GetValue(), 0.0);
    EXPECT_EQ(selector->ChosenFile(), "/presets/kicks/hard.fxp") << "a cancelled dialog keeps the last file";
}
