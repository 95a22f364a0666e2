// Curve displays drawn from published curves, checked pixel by pixel.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editor/custom/kv_curve.h"
#include "editor/graphics/graphics_headless.h"
#include "editor/support/editor_test_plugin.h"

namespace {

std::uint32_t Grey(std::uint32_t level) { return 0xFF000000u | level << 16 | level << 8 | level; }
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlue = 0xFF0000FF;

class Curves : public ::testing::Test {
protected:
    Curves() : graphics(&plugin, 40, 30) { graphics.OpenWindow(nullptr); }

    static std::vector<double> Flat(double value, int points = 10) { return std::vector<double>(static_cast<std::size_t>(points), value); }

    template <class Control>
    Control* Add(std::unique_ptr<Control> control) {
        Control* raw = control.get();
        graphics.AddControl(std::move(control));
        return raw;
    }

    std::uint32_t At(int x, int y) const { return graphics.Surface().At(x, y); }

    EditorTestPlugin plugin;
    IGraphicsHeadless graphics;
};

}  // namespace

// A 10 x 10 display of 10 points: point i at x = i, the zero line at y = 5.
TEST_F(Curves, AFlatCurveRunsAlongTheZeroLineInWhite) {
    PreviewCurve source(10);
    source.Publish(Flat(0.0));
    Add(std::make_unique<IKvCurve>(&plugin, RasterRect{0, 0, 10, 10}, &source, 10));
    graphics.Tick();
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(x, 5), kWhite) << x;
    EXPECT_EQ(At(5, 4), 0u);
    EXPECT_EQ(At(5, 6), 0u);
}

TEST_F(Curves, SineShadingIsBrightestInTheMiddle) {
    PreviewCurve source(10);
    source.Publish(Flat(0.0));
    auto* curve = Add(std::make_unique<IKvCurve>(&plugin, RasterRect{0, 0, 10, 10}, &source, 10));
    curve->SetSineShading(true);
    graphics.Tick();
    // Pixel x ends segment x and starts segment x + 1, drawn later; segment i
    // starts at t = (i - 1) / 10 and is grey 100 + trunc(155 sin(3.14159 t)).
    EXPECT_EQ(At(0, 5), Grey(100));  // segment 1, t = 0
    EXPECT_EQ(At(1, 5), Grey(147));  // segment 2, t = 0.1: 155 x 0.30902 = 47.9
    EXPECT_EQ(At(5, 5), Grey(254));  // segment 6, t = 0.5: 155 x 0.99999999999915 = 154.99999
    EXPECT_EQ(At(6, 5), Grey(247));  // segment 7, t = 0.6: 155 x 0.95106 = 147.4
    EXPECT_EQ(At(9, 5), Grey(191));  // segment 9, t = 0.8: 155 x 0.58779 = 91.1
}

TEST_F(Curves, ValuesAreClampedToTheDisplayUnlessAskedNotTo) {
    PreviewCurve source(10);
    source.Publish(Flat(2.0));
    auto* clamped = Add(std::make_unique<IKvCurve>(&plugin, RasterRect{0, 0, 10, 10}, &source, 10));
    graphics.Tick();
    EXPECT_EQ(At(5, 0), kWhite) << "2.0 drawn as 1.0, at the top edge";
    clamped->SetClamp(false);
    graphics.Surface().Fill(0);
    clamped->MarkDirty(false);
    graphics.Tick();
    for (int y = 0; y < 10; ++y) EXPECT_EQ(At(5, y), 0u) << "y = 5 - 2 x 5 lies above the display";
}

TEST_F(Curves, TheFrameIsBlueAroundTheRectangle) {
    PreviewCurve source(10);
    source.Publish(Flat(0.0));
    auto* curve = Add(std::make_unique<IKvCurve>(&plugin, RasterRect{2, 3, 12, 13}, &source, 10));
    curve->SetFrame(true);
    graphics.Tick();
    EXPECT_EQ(At(2, 3), kBlue);
    EXPECT_EQ(At(11, 3), kBlue);
    EXPECT_EQ(At(11, 12), kBlue);
    EXPECT_EQ(At(2, 12), kBlue);
    EXPECT_EQ(At(6, 12), kBlue);
    EXPECT_EQ(At(2, 8), kBlue) << "drawn over the curve's first point";
    EXPECT_EQ(At(6, 8), kWhite);
    EXPECT_EQ(At(12, 3), 0u);
}

TEST_F(Curves, AnUnfedCurveDrawsNothingUntilItsDataArrive) {
    PreviewCurve source(10);
    auto* curve = Add(std::make_unique<IKvCurve>(&plugin, RasterRect{0, 0, 10, 10}, &source, 10));
    auto* detached = Add(std::make_unique<IKvCurve>(&plugin, RasterRect{20, 0, 30, 10}, nullptr, 10));
    graphics.Tick();
    EXPECT_TRUE(curve->Data().empty());
    EXPECT_TRUE(detached->Data().empty());
    for (int x = 0; x < 30; ++x) EXPECT_EQ(At(x, 5), 0u) << x;
    // Published later: the fourth idle tick takes it and redraws.
    source.Publish(Flat(0.0));
    graphics.Tick(4);
    EXPECT_EQ(curve->Data().size(), 10u);
    graphics.Tick();
    EXPECT_EQ(At(4, 5), kWhite);
}

TEST_F(Curves, ANewCurveIsTakenOnIdleAndRedrawn) {
    PreviewCurve source(10);
    source.Publish(Flat(0.0));
    auto* curve = Add(std::make_unique<IKvCurve>(&plugin, RasterRect{0, 0, 10, 10}, &source, 10));
    graphics.Tick();
    source.Publish(Flat(-0.4));  // y = 5 + 2 = 7
    graphics.Tick(4);
    EXPECT_TRUE(curve->IsDirty());
    graphics.Surface().Fill(0);
    graphics.Tick();
    EXPECT_EQ(At(5, 7), kWhite);
    EXPECT_EQ(At(5, 5), 0u);
}

TEST_F(Curves, AHalfHeightOfTheWholeRectangleMapsZeroToTheBottomEdge) {
    PreviewCurve source(10);
    std::vector<double> ramp(10);
    for (int i = 0; i < 10; ++i) ramp[static_cast<std::size_t>(i)] = i < 5 ? 1.0 : 0.5;
    source.Publish(ramp);
    auto* curve = Add(std::make_unique<IKvCurve>(&plugin, RasterRect{0, 0, 10, 20}, &source, 10));
    curve->SetHalfHeight(20.0);
    graphics.Tick();
    EXPECT_EQ(At(2, 0), kWhite) << "1.0 at the top";
    EXPECT_EQ(At(8, 10), kWhite) << "0.5 half way: 20 - 0.5 x 20";
}

// A pair: the first curve at +0.5 (y = 2), the second at -0.5 (y = 7). The
// dim style is trunc(78 sin(3.14159 t)), the bright 92 + trunc(163 sin(3.14159 t)).
class CurvePairs : public Curves {
protected:
    CurvePairs() : first(10), second(10) {
        first.Publish(Flat(0.5));
        second.Publish(Flat(-0.5));
    }
    IKvCurve2* Pair(int order) {
        return Add(std::make_unique<IKvCurve2>(&plugin, RasterRect{0, 0, 10, 10}, &first, &second, 10, order));
    }
    PreviewCurve first;
    PreviewCurve second;
};

TEST_F(CurvePairs, OrderZeroDrawsTheFirstBright) {
    Pair(IKvCurve2::kFirstBright);
    graphics.Tick();
    EXPECT_EQ(At(5, 2), Grey(254));  // 92 + trunc(162.99999)
    EXPECT_EQ(At(0, 2), Grey(92));
    EXPECT_EQ(At(5, 7), Grey(77));   // trunc(77.99999)
    EXPECT_EQ(At(0, 7), Grey(0));
    EXPECT_EQ(At(1, 7), Grey(24));   // trunc(78 x 0.30902)
}

TEST_F(CurvePairs, OrderOneDrawsTheSecondBright) {
    Pair(IKvCurve2::kSecondBright);
    graphics.Tick();
    EXPECT_EQ(At(5, 2), Grey(77));
    EXPECT_EQ(At(5, 7), Grey(254));
    EXPECT_EQ(At(1, 7), Grey(142));  // 92 + trunc(163 x 0.30902) = 92 + 50
}

TEST_F(CurvePairs, AnyOtherOrderDrawsBothDim) {
    Pair(7);
    graphics.Tick();
    EXPECT_EQ(At(5, 2), Grey(77));
    EXPECT_EQ(At(5, 7), Grey(77));
}

TEST_F(CurvePairs, TheBrightCurveIsDrawnLastWhereTheyMeet) {
    second.Publish(Flat(0.5));
    Pair(IKvCurve2::kSecondBright);
    graphics.Tick();
    EXPECT_EQ(At(5, 2), Grey(254));
    auto* dimOnly = Pair(IKvCurve2::kBothDim);
    dimOnly->MarkDirty(false);
    graphics.Tick();
    EXPECT_EQ(At(5, 2), Grey(77)) << "both dim, drawn over the pair before";
}

TEST_F(CurvePairs, TheOrderFollowsItsSourceOnIdle) {
    int order = IKvCurve2::kFirstBright;
    auto* pair = Pair(IKvCurve2::kFirstBright);
    pair->SetOrderSource([&order] { return order; });
    graphics.Tick();
    EXPECT_EQ(At(5, 2), Grey(254));
    order = IKvCurve2::kSecondBright;
    graphics.Tick(4);
    EXPECT_EQ(pair->GetOrder(), IKvCurve2::kSecondBright);
    graphics.Surface().Fill(0);
    graphics.Tick();
    EXPECT_EQ(At(5, 2), Grey(77));
    EXPECT_EQ(At(5, 7), Grey(254));
}
