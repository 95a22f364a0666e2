// The one-line text entry: its states tick by tick, the characters it
// takes for each kind of parameter, and what a commit hands the control.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/graphics/graphics_headless.h"
#include "editor/support/editor_test_plugin.h"
#include "editor/support/probe_control.h"

namespace {

class TextEntry : public ::testing::Test {
protected:
    TextEntry() : graphics(&plugin, 200, 100) {
        background = Add({0, 0, 200, 100}, -1);
        gain = Add({10, 10, 60, 30}, EditorTestPlugin::kGain);
        tune = Add({10, 40, 60, 60}, EditorTestPlugin::kTune);
        mode = Add({10, 70, 60, 90}, EditorTestPlugin::kMode);
        graphics.OpenWindow(nullptr);
        graphics.Tick();
    }

    ProbeControl* Add(const RasterRect& rect, int param) {
        auto control = std::make_unique<ProbeControl>(&plugin, rect, param);
        ProbeControl* raw = control.get();
        graphics.AddControl(std::move(control));
        return raw;
    }

    bool Open(ProbeControl* control, std::string_view text, int param) {
        return graphics.CreateTextEntry(control, control->GetText(), control->GetRect(), text, param);
    }

    EditorTestPlugin plugin;
    IGraphicsHeadless graphics;
    ProbeControl* background = nullptr;
    ProbeControl* gain = nullptr;
    ProbeControl* tune = nullptr;
    ProbeControl* mode = nullptr;
};

}  // namespace

TEST_F(TextEntry, StatesMoveTickByTickFromFocusToCommit) {
    ASSERT_TRUE(Open(gain, "0.5", EditorTestPlugin::kGain));
    EXPECT_EQ(graphics.TextEntryRect(), (RasterRect{9, 9, 61, 31})) << "one pixel larger each way";
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryActive) << "focus on opening";
    graphics.Tick();
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryNone) << "an active entry skips one tick";
    tune->MarkDirty(false);
    graphics.Tick();
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryPaintedAround);
    EXPECT_FALSE(tune->IsDirty());
    graphics.Tick();
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryNone);
    graphics.PressReturn();
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryCommit);
    EXPECT_TRUE(gain->events.empty()) << "the commit waits for the tick";
    graphics.Tick();
    EXPECT_FALSE(graphics.TextEntryIsOpen());
    EXPECT_FALSE(graphics.TextEntryShown());
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryNone);
    EXPECT_EQ(gain->events, (std::vector<std::string>{"entry value"}));
    EXPECT_DOUBLE_EQ(gain->enteredValue, 0.5);
}

TEST_F(TextEntry, LosingFocusCancelsWithoutACommit) {
    ASSERT_TRUE(Open(gain, "0.5", EditorTestPlugin::kGain));
    graphics.Type(U"\b\b\b0.25");
    graphics.LoseFocus();
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryCancel);
    graphics.Tick();
    EXPECT_FALSE(graphics.TextEntryIsOpen());
    EXPECT_TRUE(gain->events.empty());
}

TEST_F(TextEntry, EndTextEntryAsksForACancel) {
    ASSERT_TRUE(Open(gain, "0.5", EditorTestPlugin::kGain));
    graphics.EndTextEntry();
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryCancel);
    graphics.Tick();
    EXPECT_FALSE(graphics.TextEntryIsOpen());
    EXPECT_TRUE(gain->events.empty());
}

TEST_F(TextEntry, OnlyOneEntryOpensAtATime) {
    ASSERT_TRUE(Open(gain, "0.5", EditorTestPlugin::kGain));
    EXPECT_FALSE(Open(tune, "1", EditorTestPlugin::kTune));
    EXPECT_EQ(graphics.TextEntryRect(), (RasterRect{9, 9, 61, 31}));
}

TEST_F(TextEntry, NoEntryOpensWhileTheWindowIsClosed) {
    graphics.CloseWindow();
    EXPECT_FALSE(Open(gain, "0.5", EditorTestPlugin::kGain));
}

TEST_F(TextEntry, AMouseDownCancelsTheEntryAndRepaintsItsArea) {
    ASSERT_TRUE(Open(gain, "0.5", EditorTestPlugin::kGain));
    graphics.ClearPaintedRects();
    graphics.Click(150, 50);
    EXPECT_FALSE(graphics.TextEntryIsOpen());
    ASSERT_FALSE(graphics.PaintedRects().empty());
    EXPECT_EQ(graphics.PaintedRects()[0], (RasterRect{9, 9, 61, 31}));
    EXPECT_TRUE(gain->events.empty());
    EXPECT_EQ(background->events.size(), 2u);
}

TEST_F(TextEntry, TheWheelCancelsAnOpenEntryAndMovesNothing) {
    ASSERT_TRUE(Open(gain, "0.5", EditorTestPlugin::kGain));
    graphics.OnMouseWheel(20, 20, {}, 120);
    EXPECT_EQ(graphics.GetTextEntryState(), IGraphics::kEntryCancel);
    EXPECT_TRUE(gain->events.empty());
}

TEST_F(TextEntry, DoubleParametersTakeDigitsSignsAndAPoint) {
    ASSERT_TRUE(Open(gain, "", EditorTestPlugin::kGain));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'7'));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'-'));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'+'));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'.'));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'\b'));
    EXPECT_FALSE(graphics.TextEntryAccepts(U'e'));
    EXPECT_FALSE(graphics.TextEntryAccepts(U','));
    EXPECT_FALSE(graphics.TextEntryAccepts(U' '));
    graphics.Type(U"-1x.5e");
    EXPECT_EQ(graphics.EntryText(), "-1.5");
}

TEST_F(TextEntry, OtherParameterKindsTakeDigitsAndSignsOnly) {
    ASSERT_TRUE(Open(mode, "", EditorTestPlugin::kMode));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'3'));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'-'));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'+'));
    EXPECT_FALSE(graphics.TextEntryAccepts(U'.'));
    EXPECT_FALSE(graphics.TextEntryAccepts(U'L'));
    EXPECT_TRUE(graphics.TextEntryAccepts(U'\b'));
}

TEST_F(TextEntry, WithoutAParameterEveryCharacterPassesUpToTheControlsLength) {
    gain->SetTextEntryLength(5);
    ASSERT_TRUE(Open(gain, "", -1));
    EXPECT_EQ(graphics.EntryMaxLength(), 5);
    graphics.Type(U"Kick 909");
    EXPECT_EQ(graphics.EntryText(), "Kick ");
}

TEST_F(TextEntry, TheDefaultLengthIsSevenCharacters) {
    ASSERT_TRUE(Open(gain, "", EditorTestPlugin::kGain));
    EXPECT_EQ(graphics.EntryMaxLength(), 7);
    graphics.Type(U"0.123456789");
    EXPECT_EQ(graphics.EntryText(), "0.12345");
}

TEST_F(TextEntry, ADecimalCommitIsNormalisedAndNegatedWhenTheParameterDisplaysNegated) {
    ASSERT_TRUE(Open(tune, "", EditorTestPlugin::kTune));
    graphics.Type(U"6");
    graphics.PressReturn();
    graphics.Tick();
    EXPECT_DOUBLE_EQ(tune->enteredValue, 0.75);  // (6 + 12) / 24
    plugin.GetParam(EditorTestPlugin::kTune)->SetNegateDisplay(true);
    ASSERT_TRUE(Open(tune, "", EditorTestPlugin::kTune));
    graphics.Type(U"6");
    graphics.PressReturn();
    graphics.Tick();
    EXPECT_DOUBLE_EQ(tune->enteredValue, 0.25);  // (-6 + 12) / 24
    ASSERT_TRUE(Open(tune, "", EditorTestPlugin::kTune));
    graphics.Type(U"-99");
    graphics.PressReturn();
    graphics.Tick();
    EXPECT_DOUBLE_EQ(tune->enteredValue, 1.0) << "99 after negation, clamped to 12";
}

TEST_F(TextEntry, AnEnumeratedCommitMatchesTheDisplayTextsAndGivesZeroWithoutAMatch) {
    // The window system's edit box is what filters typing; the commit itself
    // matches whatever text the box holds.
    ASSERT_TRUE(Open(mode, "High", EditorTestPlugin::kMode));
    graphics.PressReturn();
    graphics.Tick();
    EXPECT_DOUBLE_EQ(mode->enteredValue, 1.0);  // entry 2 of 0..2
    ASSERT_TRUE(Open(mode, "Mid", EditorTestPlugin::kMode));
    graphics.PressReturn();
    graphics.Tick();
    EXPECT_DOUBLE_EQ(mode->enteredValue, 0.5);
    ASSERT_TRUE(Open(mode, "Loud", EditorTestPlugin::kMode));
    graphics.PressReturn();
    graphics.Tick();
    EXPECT_DOUBLE_EQ(mode->enteredValue, 0.0);
}

TEST_F(TextEntry, APlainCommitHandsTheControlAtMost31Characters) {
    gain->SetTextEntryLength(253);
    ASSERT_TRUE(Open(gain, "", -1));
    graphics.Type(U"Mainstream Bassdrum with a very long name");
    graphics.PressReturn();
    graphics.Tick();
    EXPECT_EQ(gain->events, (std::vector<std::string>{"entry text"}));
    EXPECT_EQ(gain->enteredText, "Mainstream Bassdrum with a very");
    EXPECT_EQ(gain->enteredText.size(), 31u);
}

TEST_F(TextEntry, TheCommitNeverCutsACharacterInTwo) {
    gain->SetTextEntryLength(253);
    ASSERT_TRUE(Open(gain, "", -1));
    // 30 ASCII characters, then a two-byte character across the 31-byte limit.
    graphics.Type(U"abcdefghijklmnopqrstuvwxyzabcd\u00e9f");
    graphics.PressReturn();
    graphics.Tick();
    EXPECT_EQ(gain->enteredText, "abcdefghijklmnopqrstuvwxyzabcd");
}

TEST_F(TextEntry, APromptForAParameterWithoutDisplayTextsOpensAnEditBoxWithItsValue) {
    gain->SetPromptDisabled(false);
    plugin.GetParam(EditorTestPlugin::kGain)->SetValue(0.25);
    gain->AskForValue();
    ASSERT_TRUE(graphics.TextEntryIsOpen());
    // A 30 x 16 box centred on the control (10..60, 10..30), one pixel larger.
    EXPECT_EQ(graphics.TextEntryRect(), (RasterRect{19, 11, 51, 29}));
    EXPECT_EQ(graphics.EntryText(), "0.250");
}

TEST_F(TextEntry, APromptForAParameterWithDisplayTextsShowsThemAsAMenu) {
    mode->SetPromptDisabled(false);
    plugin.GetParam(EditorTestPlugin::kMode)->SetValue(1.0);
    graphics.AnswerNextPopup(2);
    mode->AskForValue();
    EXPECT_FALSE(graphics.TextEntryIsOpen());
    ASSERT_EQ(graphics.MenusShown().size(), 1u);
    EXPECT_EQ(graphics.MenusShown()[0].labels, (std::vector<std::string>{"Low", "Mid", "High"}));
    EXPECT_EQ(graphics.MenusShown()[0].checked, (std::vector<bool>{false, true, false}));
    EXPECT_DOUBLE_EQ(mode->enteredValue, 1.0);
}

TEST_F(TextEntry, ControlsStartWithPromptsDisabled) {
    gain->AskForValue();
    graphics.Click(20, 20, IGraphicsHeadless::RightButton());
    EXPECT_FALSE(graphics.TextEntryIsOpen());
    EXPECT_TRUE(graphics.MenusShown().empty());
}
