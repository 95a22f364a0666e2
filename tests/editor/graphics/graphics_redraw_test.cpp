// The redraw cycle: which ticks paint what, in which order, and when
// controls are told the editor is idle.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/graphics/graphics_headless.h"
#include "editor/support/editor_test_plugin.h"
#include "editor/support/probe_control.h"

namespace {

constexpr std::uint32_t kRed = 0xFFC80000;   // opaque (200, 0, 0)
constexpr std::uint32_t kBlue = 0xFF0000C8;  // opaque (0, 0, 200)

class GraphicsRedraw : public ::testing::Test {
protected:
    GraphicsRedraw() : graphics(&plugin, 100, 80) {
        background = Add({0, 0, 100, 80}, {255, 0, 0, 0}, "background");
        left = Add({10, 10, 30, 30}, {255, 200, 0, 0}, "left");
        right = Add({50, 10, 70, 30}, {255, 0, 0, 200}, "right");
        graphics.OpenWindow(nullptr);
        graphics.Tick();  // the first paint covers everything
        drawn.clear();
        graphics.ClearPaintedRects();
    }

    ProbeControl* Add(const RasterRect& rect, RasterColor colour, const std::string& name) {
        auto control = std::make_unique<ProbeControl>(&plugin, rect, -1, colour, &drawn, name);
        ProbeControl* raw = control.get();
        graphics.AddControl(std::move(control));
        return raw;
    }

    EditorTestPlugin plugin;
    IGraphicsHeadless graphics;
    std::vector<std::string> drawn;
    ProbeControl* background = nullptr;
    ProbeControl* left = nullptr;
    ProbeControl* right = nullptr;
};

}  // namespace

TEST_F(GraphicsRedraw, OpeningPaintsEveryControlInListOrder) {
    graphics.CloseWindow();
    graphics.OpenWindow(nullptr);
    graphics.Tick();
    EXPECT_EQ(drawn, (std::vector<std::string>{"background", "left", "right"}));
    ASSERT_EQ(graphics.PaintedRects().size(), 1u);
    EXPECT_EQ(graphics.PaintedRects()[0], (RasterRect{0, 0, 100, 80}));
    EXPECT_EQ(graphics.Surface().At(20, 20), kRed);
    EXPECT_EQ(graphics.Surface().At(60, 20), kBlue);
    EXPECT_EQ(graphics.Surface().At(40, 20), 0xFF000000u);
}

TEST_F(GraphicsRedraw, ATickPaintsTheUnionOfDirtyControlsAndLeavesAllClean) {
    left->MarkDirty(false);
    right->MarkDirty(false);
    graphics.Tick();
    ASSERT_EQ(graphics.PaintedRects().size(), 1u);
    EXPECT_EQ(graphics.PaintedRects()[0], (RasterRect{10, 10, 70, 30}));
    // Strict drawing: everything meeting the rectangle is drawn, background first.
    EXPECT_EQ(drawn, (std::vector<std::string>{"background", "left", "right"}));
    EXPECT_FALSE(background->IsDirty());
    EXPECT_FALSE(left->IsDirty());
    EXPECT_FALSE(right->IsDirty());
    graphics.Tick();
    EXPECT_EQ(graphics.PaintedRects().size(), 1u) << "nothing dirty, nothing painted";
}

TEST_F(GraphicsRedraw, ControlsOutsideTheDirtyRectangleAreNotDrawnAndPixelsOutsideStay) {
    left->MarkDirty(false);
    graphics.Surface().Set(60, 20, 0xFF123456);  // inside `right`, outside the repaint
    graphics.Tick();
    EXPECT_EQ(drawn, (std::vector<std::string>{"background", "left"}));
    EXPECT_EQ(graphics.Surface().At(60, 20), 0xFF123456u);
}

TEST_F(GraphicsRedraw, HiddenControlsAreNotDrawn) {
    right->Hide(true);
    graphics.Tick();
    EXPECT_EQ(drawn, (std::vector<std::string>{"background"}));
    EXPECT_EQ(graphics.Surface().At(60, 20), 0xFF000000u) << "the background shows where it was";
    // Hiding keeps a redraw pending: the control stays dirty for one more paint.
    EXPECT_TRUE(right->IsDirty());
}

TEST_F(GraphicsRedraw, TheFourthCleanTickCallsOnEditorIdleOnEveryControl) {
    graphics.Tick(3);
    EXPECT_EQ(left->idleCalls, 0);
    EXPECT_EQ(graphics.IdleCounter(), 3);
    graphics.Tick();
    EXPECT_EQ(background->idleCalls, 1);
    EXPECT_EQ(left->idleCalls, 1);
    EXPECT_EQ(right->idleCalls, 1);
    EXPECT_EQ(graphics.IdleCounter(), 0);
    graphics.Tick(4);
    EXPECT_EQ(left->idleCalls, 2);
}

TEST_F(GraphicsRedraw, ADirtyControlResetsTheIdleCount) {
    graphics.Tick(3);
    left->MarkDirty(false);
    graphics.Tick();  // paints, counter back to 0
    EXPECT_EQ(graphics.IdleCounter(), 0);
    graphics.Tick(3);
    EXPECT_EQ(left->idleCalls, 0);
    graphics.Tick();
    EXPECT_EQ(left->idleCalls, 1);
}

TEST_F(GraphicsRedraw, TheTimerRunsAtTheFrameRate) {
    EXPECT_EQ(graphics.FramesPerSecond(), 25);
    EXPECT_EQ(graphics.TimerMilliseconds(), 40);
}

TEST_F(GraphicsRedraw, AValuePushedByThePluginEqualToTheCurrentOneLeavesTheControlClean) {
    auto bound = std::make_unique<ProbeControl>(&plugin, RasterRect{0, 40, 10, 50}, EditorTestPlugin::kGain);
    ProbeControl* control = bound.get();
    graphics.AddControl(std::move(bound));
    graphics.Tick();
    graphics.SetParameterFromPlugin(EditorTestPlugin::kGain, 0.0, true);
    EXPECT_FALSE(control->IsDirty());
    graphics.SetParameterFromPlugin(EditorTestPlugin::kGain, 0.25, true);
    EXPECT_TRUE(control->IsDirty());
    EXPECT_DOUBLE_EQ(control->GetValue(), 0.25);
}

TEST_F(GraphicsRedraw, RealValuesFromThePluginAreClampedAndNormalised) {
    auto bound = std::make_unique<ProbeControl>(&plugin, RasterRect{0, 40, 10, 50}, EditorTestPlugin::kTune);
    ProbeControl* control = bound.get();
    graphics.AddControl(std::move(bound));
    graphics.SetParameterFromPlugin(EditorTestPlugin::kTune, 6.0, false);  // -12..12: (6 + 12) / 24
    EXPECT_DOUBLE_EQ(control->GetValue(), 0.75);
    graphics.SetParameterFromPlugin(EditorTestPlugin::kTune, 40.0, false);
    EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
    graphics.SetParameterFromPlugin(EditorTestPlugin::kTune, -40.0, false);
    EXPECT_DOUBLE_EQ(control->GetValue(), 0.0);
}

TEST_F(GraphicsRedraw, ValuesPostedFromAnotherThreadArriveOnTheNextTick) {
    auto bound = std::make_unique<ProbeControl>(&plugin, RasterRect{0, 40, 10, 50}, EditorTestPlugin::kGain);
    ProbeControl* control = bound.get();
    graphics.AddControl(std::move(bound));
    std::thread poster([&] {
        for (int i = 1; i <= 100; ++i) graphics.OnParameterChanged(EditorTestPlugin::kGain, i / 100.0, true);
        graphics.OnParameterChanged(EditorTestPlugin::kTune, 0.0, false);
    });
    poster.join();
    EXPECT_DOUBLE_EQ(control->GetValue(), 0.0) << "nothing reaches a control before the tick";
    graphics.Tick();
    EXPECT_DOUBLE_EQ(control->GetValue(), 1.0) << "the last value posted wins";
    EXPECT_DOUBLE_EQ(control->GetDefaultValue(), 1.0);
}

TEST_F(GraphicsRedraw, PostsForParametersThatDoNotExistAreIgnored) {
    graphics.OnParameterChanged(-1, 0.5, true);
    graphics.OnParameterChanged(EditorTestPlugin::kParamCount, 0.5, true);
    graphics.Tick();
    EXPECT_EQ(graphics.PaintedRects().size(), 0u);
}
