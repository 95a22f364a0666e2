#include "editor/custom/kv_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "editor/graphics/graphics.h"

namespace {

constexpr double kPi = 3.14159;  // the shading's own constant

// A pixel coordinate from a double, saturating instead of overflowing; NaN gives 0.
int ToPixel(double coordinate) {
    if (std::isnan(coordinate)) return 0;
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(coordinate, low, high));
}

RasterColor GreyLevel(int level) {
    const auto channel = static_cast<std::uint8_t>(std::clamp(level, 0, 255));
    return {255, channel, channel, channel};
}

// Copies a published curve when it changed (or, with `always`, whenever it
// has data); true when `data` was replaced.
bool TakeCurve(PreviewCurve* source, std::vector<double>& data, int points, bool always = false) {
    if (source == nullptr) return false;
    if (!source->TakeChanged() && !(always && source->HasData())) return false;
    std::vector<double> fresh(static_cast<std::size_t>(source->Points()));
    if (!source->Read(fresh)) {
        source->MarkChanged();  // a publish was under way: next tick
        return false;
    }
    fresh.resize(static_cast<std::size_t>(std::min(points, source->Points())));
    data = std::move(fresh);
    return true;
}

// Draws the four edges inside `rect`.
void DrawFrame(IGraphics& graphics, const RasterRect& rect, RasterColor colour) {
    const int right = rect.right - 1;
    const int bottom = rect.bottom - 1;
    graphics.DrawLine(rect.left, rect.top, right, rect.top, colour, 1.0f, false);
    graphics.DrawLine(right, rect.top, right, bottom, colour, 1.0f, false);
    graphics.DrawLine(right, bottom, rect.left, bottom, colour, 1.0f, false);
    graphics.DrawLine(rect.left, bottom, rect.left, rect.top, colour, 1.0f, false);
}

// Plots `data` as segments across `rect`: point i at x = left + i / points *
// width, y = top + half - v * half; each segment from the previous point to
// this one, coloured by where it starts along the curve (0 to 1).
template <class Colour>
void PlotCurve(IGraphics& graphics, const RasterRect& rect, double width, double half, int points,
               const std::vector<double>& data, bool clamp, Colour colourAt) {
    const int count = static_cast<int>(data.size());
    if (count == 0 || points == 0) return;
    auto value = [&](int i) {
        const double v = data[static_cast<std::size_t>(i)];
        return clamp ? std::clamp(v, -1.0, 1.0) : v;
    };
    int previousX = rect.left;
    int previousY = ToPixel(rect.top + half - value(0) * half);
    for (int i = 0; i < count; ++i) {
        const int x = ToPixel(rect.left + static_cast<double>(i) / points * width);
        const int y = ToPixel(rect.top + half - value(i) * half);
        const double start = i == 0 ? 0.0 : static_cast<double>(i - 1) / points;
        graphics.DrawLine(previousX, previousY, x, y, colourAt(start), 1.0f, false);
        previousX = x;
        previousY = y;
    }
}

}  // namespace

IKvCurve::IKvCurve(IPluginVst* plugin, const RasterRect& rect, PreviewCurve* source, int points)
    : IControl(plugin, rect),
      source_(source),
      points_(std::max(points, 0)),
      width_(rect.Width()),
      half_(rect.Height() / 2.0) {}

void IKvCurve::OnEditorIdle() {
    if (TakeCurve(source_, data_, points_)) MarkDirty(false);
}

bool IKvCurve::Draw(IGraphics& graphics) {
    // A curve is first drawn as soon as its data exist, without waiting for an idle tick.
    if (data_.empty()) TakeCurve(source_, data_, points_, true);
    PlotCurve(graphics, rect_, width_, half_, points_, data_, clamp_, [this](double start) {
        if (!sineShading_) return RasterColor{255, 255, 255, 255};
        return GreyLevel(100 + static_cast<int>(155.0 * std::sin(kPi * start)));
    });
    if (frame_) DrawFrame(graphics, rect_, kFrameColour);
    return true;
}

IKvCurve2::IKvCurve2(IPluginVst* plugin, const RasterRect& rect, PreviewCurve* first, PreviewCurve* second, int points,
                     int order)
    : IControl(plugin, rect),
      firstSource_(first),
      secondSource_(second),
      points_(std::max(points, 0)),
      width_(rect.Width()),
      half_(rect.Height() / 2.0),
      order_(order) {}

void IKvCurve2::OnEditorIdle() {
    bool changed = TakeCurve(firstSource_, first_, points_);
    changed = TakeCurve(secondSource_, second_, points_) || changed;
    if (orderSource_) {
        const int order = orderSource_();
        if (order != order_) {
            order_ = order;
            changed = true;
        }
    }
    if (changed) MarkDirty(false);
}

void IKvCurve2::DrawCurve(IGraphics& graphics, const std::vector<double>& data, Style style) const {
    PlotCurve(graphics, rect_, width_, half_, points_, data, clamp_, [style](double start) {
        const double shade = std::sin(kPi * start);
        return style == Style::Dim ? GreyLevel(static_cast<int>(78.0 * shade))
                                   : GreyLevel(92 + static_cast<int>(163.0 * shade));
    });
}

bool IKvCurve2::Draw(IGraphics& graphics) {
    if (first_.empty()) TakeCurve(firstSource_, first_, points_, true);
    if (second_.empty()) TakeCurve(secondSource_, second_, points_, true);
    switch (order_) {
    case kFirstBright:
        DrawCurve(graphics, second_, Style::Dim);
        DrawCurve(graphics, first_, Style::Bright);
        break;
    case kSecondBright:
        DrawCurve(graphics, first_, Style::Dim);
        DrawCurve(graphics, second_, Style::Bright);
        break;
    default:
        DrawCurve(graphics, first_, Style::Dim);
        DrawCurve(graphics, second_, Style::Dim);
        break;
    }
    if (frame_) DrawFrame(graphics, rect_, IKvCurve::kFrameColour);
    return true;
}
