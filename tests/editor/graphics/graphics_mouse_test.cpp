// Mouse and key dispatch: which control receives an event, capture and
// drags, and what the host hears about a gesture.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/graphics/graphics_headless.h"
#include "editor/support/editor_test_plugin.h"
#include "editor/support/probe_control.h"

namespace {

using Events = std::vector<std::string>;

class GraphicsMouse : public ::testing::Test {
protected:
    explicit GraphicsMouse(const std::string& host = "Test Host") : plugin(host), graphics(&plugin, 200, 100) {
        background = Add({0, 0, 200, 100}, -1);
        lower = Add({10, 10, 60, 60}, EditorTestPlugin::kGain);
        upper = Add({40, 40, 90, 90}, EditorTestPlugin::kTune);  // overlaps `lower` at 40..60
        graphics.OpenWindow(nullptr);
        graphics.Tick();
    }

    ProbeControl* Add(const RasterRect& rect, int param) {
        auto control = std::make_unique<ProbeControl>(&plugin, rect, param);
        ProbeControl* raw = control.get();
        graphics.AddControl(std::move(control));
        return raw;
    }

    EditorTestPlugin plugin;
    IGraphicsHeadless graphics;
    ProbeControl* background = nullptr;
    ProbeControl* lower = nullptr;
    ProbeControl* upper = nullptr;
};

class GraphicsMouseInReaper : public GraphicsMouse {
protected:
    GraphicsMouseInReaper() : GraphicsMouse("REAPER") {}
};

constexpr IMouseMod kLeft{.left = true};
constexpr IMouseMod kRight{.right = true};

}  // namespace

TEST_F(GraphicsMouse, TheLastControlInTheListThatIsHitTakesTheClick) {
    graphics.Click(50, 50);
    EXPECT_EQ(upper->events, (Events{"down 50,50 L", "up 50,50 L"}));
    EXPECT_TRUE(lower->events.empty());
    graphics.Click(20, 20);
    EXPECT_EQ(lower->events, (Events{"down 20,20 L", "up 20,20 L"}));
}

TEST_F(GraphicsMouse, HiddenAndGrayedControlsReceiveNoMouseEvents) {
    upper->Hide(true);
    graphics.Click(50, 50);
    graphics.OnMouseWheel(50, 50, {}, 120);
    graphics.OnMouseDoubleClick(50, 50, kLeft);
    EXPECT_TRUE(upper->events.empty());
    EXPECT_EQ(lower->events, (Events{"down 50,50 L", "up 50,50 L", "wheel 1", "double 50,50"}));
    upper->Hide(false);
    upper->SetGrayed(true);
    lower->events.clear();
    graphics.Click(50, 50);
    EXPECT_TRUE(upper->events.empty());
    EXPECT_EQ(lower->events.size(), 2u);
}

TEST_F(GraphicsMouse, GrayingSetsTheQuarterBlendWeight) {
    upper->SetGrayed(true);
    EXPECT_FLOAT_EQ(upper->GetBlend().weight, 0.25f);
    upper->SetGrayed(false);
    EXPECT_FLOAT_EQ(upper->GetBlend().weight, 1.0f);
}

TEST_F(GraphicsMouse, AllZeroRectanglesAreNeverHit) {
    ProbeControl* empty = Add({0, 0, 0, 0}, -1);
    EXPECT_FALSE(empty->HitTest(0, 0));
    graphics.Click(0, 0);
    EXPECT_TRUE(empty->events.empty());
    EXPECT_EQ(background->events.size(), 2u);
}

TEST_F(GraphicsMouse, TheCapturedControlGetsTheDragWithMovementSinceTheLastPosition) {
    graphics.OnMouseDown(20, 20, kLeft);
    EXPECT_EQ(graphics.CaptureIndex(), 1);
    EXPECT_TRUE(graphics.MouseCaptured());
    graphics.OnMouseMove(20, 25, kLeft);
    graphics.OnMouseMove(20, 25, kLeft);   // no movement: nothing
    graphics.OnMouseMove(150, 90, kLeft);  // outside the control: still its drag
    graphics.OnMouseUp(150, 90, kLeft);
    EXPECT_EQ(lower->events, (Events{"down 20,20 L", "drag 20,25 by 0,5", "drag 150,90 by 130,65", "up 150,90 L"}));
    EXPECT_EQ(graphics.CaptureIndex(), -1);
    EXPECT_FALSE(graphics.MouseCaptured());
    EXPECT_TRUE(background->events.empty());
}

TEST_F(GraphicsMouse, MovingWithoutAButtonReachesNoControl) {
    graphics.OnMouseMove(20, 20, {});
    EXPECT_TRUE(lower->events.empty());
    EXPECT_EQ(graphics.MouseOverIndex(), -1) << "mouse-over handling is off";
}

TEST_F(GraphicsMouse, AGestureOnABoundControlIsBracketedByBeginAndEndEdit) {
    graphics.Drag(20, 20, 20, 30, kLeft, 2);
    // The probe moves its value 0.01 a pixel down and pushes it.
    const std::vector<HostReport> expected{
        {vst2::audioMasterBeginEdit, EditorTestPlugin::kGain, 0.0f},
        {vst2::audioMasterAutomate, EditorTestPlugin::kGain, 0.05f},
        {vst2::audioMasterAutomate, EditorTestPlugin::kGain, 0.10f},
        {vst2::audioMasterEndEdit, EditorTestPlugin::kGain, 0.0f},
    };
    const auto reports = plugin.EditReports();
    ASSERT_EQ(reports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reports[i].opcode, expected[i].opcode) << i;
        EXPECT_EQ(reports[i].index, expected[i].index) << i;
        EXPECT_NEAR(reports[i].value, expected[i].value, 1e-6) << i;
    }
    EXPECT_NEAR(plugin.GetParam(EditorTestPlugin::kGain)->Value(), 0.10, 1e-9);
}

TEST_F(GraphicsMouse, AnUnboundControlTellsTheHostNothing) {
    graphics.Click(150, 20);
    EXPECT_EQ(background->events.size(), 2u);
    EXPECT_TRUE(plugin.EditReports().empty());
}

TEST_F(GraphicsMouse, RightClicksOutsideReaperReachTheControl) {
    graphics.Click(20, 20, kRight);
    EXPECT_EQ(lower->events, (Events{"down 20,20 R", "up 20,20 R"}));
    EXPECT_TRUE(plugin.hostMenus.empty());
}

TEST_F(GraphicsMouseInReaper, ARightClickOnABoundControlOpensTheHostsParameterMenu) {
    EXPECT_EQ(plugin.HostCode(), 1);
    graphics.OnMouseDown(20, 20, kRight);
    ASSERT_EQ(plugin.hostMenus.size(), 1u);
    EXPECT_EQ(plugin.hostMenus[0].index, EditorTestPlugin::kGain);
    EXPECT_EQ(plugin.hostMenus[0].x, 20);
    EXPECT_EQ(plugin.hostMenus[0].y, 20);
    EXPECT_TRUE(lower->events.empty());
    EXPECT_EQ(graphics.CaptureIndex(), -1);
    graphics.OnMouseUp(20, 20, kRight);
    EXPECT_TRUE(plugin.EditReports().empty()) << "no edit began, so none ends";
    // The left button and unbound controls behave as anywhere else.
    graphics.Click(20, 20, kLeft);
    graphics.Click(150, 20, kRight);
    EXPECT_EQ(lower->events.size(), 3u);  // the stray up, then down and up
    EXPECT_EQ(background->events.size(), 2u);
    EXPECT_EQ(plugin.hostMenus.size(), 1u);
}

TEST_F(GraphicsMouse, ADoubleClickGoesToTheTopmostControl) {
    graphics.OnMouseDoubleClick(50, 50, kLeft);
    EXPECT_EQ(upper->events, (Events{"double 50,50"}));
    EXPECT_EQ(graphics.CaptureIndex(), -1);
}

TEST_F(GraphicsMouse, AControlTreatingDoubleClicksAsSingleIsCapturedAndPressed) {
    upper->SetDoubleClickAsSingleClick(true);
    graphics.OnMouseDoubleClick(50, 50, kLeft);
    EXPECT_EQ(upper->events, (Events{"down 50,50 L"}));
    EXPECT_EQ(graphics.CaptureIndex(), 2);
    EXPECT_TRUE(graphics.MouseCaptured());
    graphics.OnMouseUp(50, 50, kLeft);
    EXPECT_EQ(upper->events.back(), "up 50,50 L");
}

TEST_F(GraphicsMouse, TheWheelSendsWholeNotchesToTheControlUnderTheMouse) {
    graphics.OnMouseWheel(20, 20, {}, 240);
    graphics.OnMouseWheel(20, 20, {}, -120);
    EXPECT_EQ(lower->events, (Events{"wheel 2", "wheel -1"}));
}

TEST_F(GraphicsMouse, LeavingTheWindowTellsEveryControl) {
    graphics.OnMouseOut();
    EXPECT_EQ(background->events, (Events{"out"}));
    EXPECT_EQ(lower->events, (Events{"out"}));
    EXPECT_EQ(upper->events, (Events{"out"}));
    EXPECT_EQ(graphics.MouseOverIndex(), -1);
}

TEST(GraphicsKeys, KeysMapToControlKeyNumbers) {
    using Kind = IKeyPress::Kind;
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U' '}), 0);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Up, 0}), 1);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Down, 0}), 2);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Left, 0}), 3);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Right, 0}), 4);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U'0'}), 5);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U'9'}), 14);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U'A'}), 15);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U'a'}), 15);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U'Z'}), 40);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U'z'}), 40);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U'-'}), -1);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Character, U'\u00e9'}), -1);
    EXPECT_EQ(IGraphics::KeyCode({Kind::Other, 0}), -1);
}

TEST_F(GraphicsMouse, AKeyGoesToTheControlUnderTheMouseOrIsLeftForTheHost) {
    EXPECT_TRUE(graphics.OnKeyDown(20, 20, {IKeyPress::Kind::Character, U'b'}));
    EXPECT_EQ(lower->events, (Events{"key 16"}));
    lower->takesKeys = false;
    EXPECT_FALSE(graphics.OnKeyDown(20, 20, {IKeyPress::Kind::Up, 0})) << "not taken: the host gets it";
    EXPECT_FALSE(graphics.OnKeyDown(20, 20, {IKeyPress::Kind::Other, 0}));
    EXPECT_EQ(lower->events, (Events{"key 16", "key 1"}));
}

TEST_F(GraphicsMouse, KeysOverTheBackgroundGoToTheKeyCatcher) {
    EXPECT_FALSE(graphics.OnKeyDown(150, 20, {IKeyPress::Kind::Character, U'x'})) << "no catcher";
    EXPECT_TRUE(background->events.empty());
    auto catcher = std::make_unique<ProbeControl>(&plugin, RasterRect{0, 0, 0, 0});
    ProbeControl* raw = catcher.get();
    graphics.SetKeyCatcher(std::move(catcher));
    EXPECT_TRUE(graphics.OnKeyDown(150, 20, {IKeyPress::Kind::Character, U'x'}));
    EXPECT_EQ(raw->events, (Events{"key 38"}));
}

TEST_F(GraphicsMouse, TheWheelMovesAValueByAHundredthOrAThousandthWithShiftOrControl) {
    lower->SetValue(0.5);
    graphics.OnMouseWheel(20, 20, {}, 120);
    EXPECT_NEAR(lower->GetValue(), 0.51, 1e-12);
    graphics.OnMouseWheel(20, 20, {.shift = true}, -120);
    EXPECT_NEAR(lower->GetValue(), 0.509, 1e-12);
    graphics.OnMouseWheel(20, 20, {.control = true}, -360);
    EXPECT_NEAR(lower->GetValue(), 0.506, 1e-12);
    EXPECT_NEAR(plugin.GetParam(EditorTestPlugin::kGain)->Value(), 0.506, 1e-9) << "pushed to the plug-in";
    lower->SetValue(0.995);
    graphics.OnMouseWheel(20, 20, {}, 120);
    EXPECT_DOUBLE_EQ(lower->GetValue(), 1.0) << "clamped";
}

TEST_F(GraphicsMouse, ADoubleClickRestoresTheFirstValuePushedByThePluginAndNothingBefore) {
    lower->SetValue(0.3);
    graphics.OnMouseDoubleClick(20, 20, kLeft);
    EXPECT_DOUBLE_EQ(lower->GetValue(), 0.3) << "default not yet known";
    EXPECT_TRUE(plugin.EditReports().empty());
    graphics.SetParameterFromPlugin(EditorTestPlugin::kGain, 0.7, true);
    graphics.SetParameterFromPlugin(EditorTestPlugin::kGain, 0.2, true);
    graphics.OnMouseDoubleClick(20, 20, kLeft);
    EXPECT_DOUBLE_EQ(lower->GetValue(), 0.7);
    ASSERT_EQ(plugin.EditReports().size(), 1u);
    EXPECT_NEAR(plugin.EditReports()[0].value, 0.7f, 1e-6);
}
