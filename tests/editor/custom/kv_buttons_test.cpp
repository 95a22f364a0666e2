// The instrument's own buttons, clicked through the headless editor of a
// real Dunerow: selector steps, program steps, ring sync, the preview note,
// the level reset, web links and the page tabs.
#include <gtest/gtest.h>

#include <memory>

#include "editor/custom/editor_pages.h"
#include "editor/custom/kv_buttons.h"
#include "editor/custom/kv_mode_switch.h"
#include "editor/custom/kv_tab_button.h"
#include "editor/support/dunerow_editor_rig.h"
#include "editor/support/test_bitmaps.h"

namespace {

constexpr IMouseMod kLeft{.left = true};
constexpr IMouseMod kRight{.right = true};

class KvButtons : public ::testing::Test {
protected:
    double Value(int index) { return rig.Synth().GetParam(index)->GetNormalizedValue(); }
    // Sets a parameter as the host does and lets the editor take it.
    void HostSets(int index, double value) {
        vst2::AEffect* effect = rig.Synth().Effect();
        effect->setParameter(effect, index, static_cast<float>(value));
        rig.Graphics().Tick();
    }
    IKvModeSwitch* ModeSwitch(int target, int positions, IKvModeSwitch::Direction direction, bool wrap) {
        return rig.Add(std::make_unique<IKvModeSwitch>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2), target, positions,
                                                       direction, wrap));
    }

    DunerowEditorRig rig;
};

using Direction = IKvModeSwitch::Direction;

}  // namespace

TEST_F(KvButtons, AFiveWaySelectorAtItsLastPositionWrapsForwardToTheFirst) {
    ModeSwitch(param::DistortionInterpMode, 5, Direction::Forward, true);
    HostSets(param::DistortionInterpMode, 1.0);
    rig.ClearReports();
    rig.Graphics().Click(15, 15);
    EXPECT_DOUBLE_EQ(Value(param::DistortionInterpMode), 0.0);
    ASSERT_EQ(rig.CountReports(vst2::audioMasterAutomate), 1) << "the host hears the change";
}

TEST_F(KvButtons, AFiveWaySelectorWithoutWrappingStaysAtItsLastPosition) {
    ModeSwitch(param::DistortionInterpMode, 5, Direction::Forward, false);
    HostSets(param::DistortionInterpMode, 1.0);
    rig.Graphics().Click(15, 15);
    EXPECT_DOUBLE_EQ(Value(param::DistortionInterpMode), 1.0);
}

TEST_F(KvButtons, ASelectorStepsOnePositionAndTenWithTheRightButton) {
    auto* next = ModeSwitch(param::OscWaveform1, 36, Direction::Forward, false);
    HostSets(param::OscWaveform1, 0.0);
    rig.Graphics().Click(15, 15);
    EXPECT_NEAR(Value(param::OscWaveform1), 1.0 / 35.0, 1e-9);
    rig.Graphics().Click(15, 15, kRight);
    EXPECT_NEAR(Value(param::OscWaveform1), 11.0 / 35.0, 1e-9);
    EXPECT_NEAR(next->TargetValue(), 11.0 / 35.0, 1e-9);
    HostSets(param::OscWaveform1, 30.0 / 35.0);
    rig.Graphics().Click(15, 15, kRight);
    EXPECT_DOUBLE_EQ(Value(param::OscWaveform1), 1.0) << "(30 + 10) / 35, clamped";
}

TEST_F(KvButtons, ABackwardSelectorStopsOrWrapsAtTheFirstPosition) {
    auto* previous = ModeSwitch(param::FilterMode1, 4, Direction::Backward, false);
    HostSets(param::FilterMode1, 2.0 / 3.0);
    rig.Graphics().Click(15, 15);
    EXPECT_NEAR(Value(param::FilterMode1), 1.0 / 3.0, 1e-9);
    rig.Graphics().Click(15, 15, kRight);
    EXPECT_DOUBLE_EQ(Value(param::FilterMode1), 0.0) << "(1 - 10) / 3, clamped";
    rig.Graphics().Click(15, 15);
    EXPECT_DOUBLE_EQ(Value(param::FilterMode1), 0.0) << "no wrap";
    EXPECT_DOUBLE_EQ(previous->NextValue(0.0, false), 0.0);
    const IKvModeSwitch wrapping(&rig.Synth(), 0, 0, GreyStrip(20, 20, 2), param::FilterMode1, 4, Direction::Backward, true);
    EXPECT_DOUBLE_EQ(wrapping.NextValue(0.0, false), 1.0);
}

TEST_F(KvButtons, MomentaryButtonsShowThePressedFrameOnlyWhileHeld) {
    auto* button = ModeSwitch(param::FilterMode1, 4, Direction::Forward, true);
    rig.Graphics().OnMouseDown(15, 15, kLeft);
    EXPECT_DOUBLE_EQ(button->GetValue(), 1.0);
    rig.Graphics().Tick();
    EXPECT_EQ(rig.Graphics().Surface().At(15, 15), Grey(2));
    rig.Graphics().OnMouseUp(15, 15, kLeft);
    EXPECT_DOUBLE_EQ(button->GetValue(), 0.0);
    rig.Graphics().Tick();
    EXPECT_EQ(rig.Graphics().Surface().At(15, 15), Grey(1));
}

TEST_F(KvButtons, TheProgramSwitchStepsThroughTheBank) {
    rig.Add(std::make_unique<IKvPresetSwitch>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2), IKvPresetSwitch::Direction::Forward));
    rig.Synth().RestoreProgram(3);
    rig.ClearReports();
    rig.Graphics().Click(15, 15);
    EXPECT_EQ(rig.Synth().CurrentProgram(), 4);
    EXPECT_EQ(rig.CountReports(vst2::audioMasterAutomate), kParameterCount) << "every value told to the host";
    EXPECT_EQ(rig.CountReports(vst2::audioMasterUpdateDisplay), 1);
    rig.Graphics().Click(15, 15, kRight);
    EXPECT_EQ(rig.Synth().CurrentProgram(), 14);
}

TEST_F(KvButtons, TheProgramSwitchBackTenFromProgramThreeChangesNothing) {
    rig.Add(std::make_unique<IKvPresetSwitch>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2), IKvPresetSwitch::Direction::Backward));
    rig.Synth().RestoreProgram(3);
    const double before = Value(param::FilterCutoff);
    rig.ClearReports();
    rig.Graphics().Click(15, 15, kRight);  // asks for -7
    EXPECT_EQ(rig.Synth().CurrentProgram(), 3);
    EXPECT_DOUBLE_EQ(Value(param::FilterCutoff), before);
    EXPECT_EQ(rig.CountReports(vst2::audioMasterUpdateDisplay), 0);
    rig.Graphics().Click(15, 15);
    EXPECT_EQ(rig.Synth().CurrentProgram(), 2);
}

TEST_F(KvButtons, TheSyncMultiplierDoublesToThirtyTwoThenStartsAgain) {
    auto* sync = rig.Add(std::make_unique<IKvSyncButton>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2)));
    const double expected[] = {2, 4, 8, 16, 32, 1};
    for (const double multiplier : expected) {
        rig.Graphics().Click(15, 15);
        EXPECT_DOUBLE_EQ(sync->Multiplier(), multiplier);
    }
}

TEST_F(KvButtons, SyncTunesTheRingToTheLastNoteTimesTheMultiplier) {
    auto* sync = rig.Add(std::make_unique<IKvSyncButton>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2)));
    HostSets(param::GlobalTranspose, 0.5);
    HostSets(param::KickTransposeMode, 0.0);  // keys at their own pitch
    rig.Render(1, 45);  // note 45: 880 x 2^(-24/12) = 220 Hz
    ASSERT_NEAR(rig.Synth().LastNoteFrequency(), 220.0, 1e-9);
    rig.Graphics().Click(15, 15);  // x 2: 440 Hz of 4000
    EXPECT_NEAR(Value(param::RingModulationFrequency), 440.0 / 4000.0, 1e-9);
    for (int i = 0; i < 4; ++i) rig.Graphics().Click(15, 15);  // x 32: 7040, limited to 4000
    EXPECT_DOUBLE_EQ(sync->Multiplier(), 32.0);
    EXPECT_DOUBLE_EQ(Value(param::RingModulationFrequency), 1.0);
}

TEST_F(KvButtons, PlayStartsNote48OnTheNextBlockAndTheRightButtonStopsIt) {
    rig.Add(std::make_unique<IKvPlayButton>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2)));
    rig.Graphics().Click(15, 15);
    int note = 0;
    PreviewNote::Mode mode = PreviewNote::kNone;
    ASSERT_TRUE(rig.Synth().Preview().Take(note, mode));
    EXPECT_EQ(note, 48);
    EXPECT_EQ(mode, PreviewNote::kRestart);
    rig.Graphics().Click(15, 15);
    rig.Render(1);
    EXPECT_EQ(rig.Synth().Voices().SoundingVoices(), 1);
    rig.Graphics().Click(15, 15, kRight);
    ASSERT_TRUE(rig.Synth().Preview().Take(note, mode));
    EXPECT_EQ(mode, PreviewNote::kStop);
}

TEST_F(KvButtons, ResetClearsTheHeldLevelAfterTheNextBlock) {
    rig.Add(std::make_unique<IKvResetButton>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2)));
    rig.Render(8, 36);
    ASSERT_GT(rig.Synth().Meter().Peak(), 0.0);
    rig.Graphics().Click(15, 15);
    EXPECT_GT(rig.Synth().Meter().Peak(), 0.0) << "not before the block";
    rig.Render(1);  // the note still sounds: the block is measured, then cleared
    EXPECT_DOUBLE_EQ(rig.Synth().Meter().Peak(), 0.0);
    rig.Render(1);
    EXPECT_GT(rig.Synth().Meter().Peak(), 0.0) << "held again from the next block";
}

TEST_F(KvButtons, AWebLinkFallsBackToItsSecondAddress) {
    rig.Add(std::make_unique<IKvUrlButton>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2), "https://korvane.example/",
                                           "http://korvane.example/"));
    rig.Graphics().Click(15, 15);
    EXPECT_EQ(rig.Graphics().UrlsOpened(), (std::vector<std::string>{"https://korvane.example/"}));
    rig.Graphics().SetConnected(false);
    rig.Graphics().Click(15, 15);
    EXPECT_EQ(rig.Graphics().UrlsOpened().size(), 1u) << "neither opens without a connection";
}

TEST_F(KvButtons, TabsShowTheirPageAndHideTheOther) {
    IGraphicsHeadless& graphics = rig.Graphics();
    EditorPages pages(graphics);
    auto* synthTab = rig.Add(std::make_unique<IKvTabButton>(&rig.Synth(), 0, 100, 85, 25, GreyStrip(85, 25, 2), &pages,
                                                            EditorPages::kSynth));
    auto* aboutTab = rig.Add(std::make_unique<IKvTabButton>(&rig.Synth(), 85, 100, 85, 25, GreyStrip(85, 25, 2), &pages,
                                                            EditorPages::kAbout));
    pages.SetTab(EditorPages::kSynth, synthTab);
    pages.SetTab(EditorPages::kAbout, aboutTab);
    auto* knob = ModeSwitch(param::FilterMode1, 4, Direction::Forward, true);
    pages.Add(EditorPages::kSynth, graphics.ControlCount() - 1);
    auto* link = rig.Add(std::make_unique<IKvUrlButton>(&rig.Synth(), 10, 10, GreyStrip(20, 20, 2), "https://korvane.example/"));
    pages.Add(EditorPages::kAbout, graphics.ControlCount() - 1);
    link->Hide(true);
    synthTab->SetValue(1.0);

    graphics.Click(100, 110);  // the about tab
    EXPECT_EQ(pages.Current(), EditorPages::kAbout);
    EXPECT_TRUE(knob->IsHidden());
    EXPECT_FALSE(link->IsHidden());
    EXPECT_DOUBLE_EQ(aboutTab->GetValue(), 1.0);
    EXPECT_DOUBLE_EQ(synthTab->GetValue(), 0.0);
    graphics.Click(15, 15);
    EXPECT_EQ(graphics.UrlsOpened().size(), 1u) << "the about page's control takes the click";

    graphics.Click(10, 110);  // the synth tab
    EXPECT_FALSE(knob->IsHidden());
    EXPECT_TRUE(link->IsHidden());
    EXPECT_DOUBLE_EQ(aboutTab->GetValue(), 0.0);
}
