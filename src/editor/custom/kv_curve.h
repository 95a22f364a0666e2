// Curve displays fed by the instrument: one curve (a waveform or an
// envelope) or a pair (the distortion's and the shaper's), drawn as line
// segments across the control, copied from the instrument's published
// curves when they change.
#pragma once

#include <functional>
#include <vector>

#include "editor/controls/control.h"
#include "instrument/preview_curve.h"

class IKvCurve : public IControl {
public:
    static constexpr RasterColor kFrameColour{255, 0, 0, 255};

    // `points` values of `source` across `rect`; a null source draws no curve.
    IKvCurve(IPluginVst* plugin, const RasterRect& rect, PreviewCurve* source, int points);

    bool Draw(IGraphics& graphics) override;
    // Takes the instrument's new curve, when there is one, and redraws.
    void OnEditorIdle() override;

    void SetSineShading(bool shading) { sineShading_ = shading; }
    void SetFrame(bool frame) { frame_ = frame; }
    void SetClamp(bool clamp) { clamp_ = clamp; }
    // Pixels from the top to the zero line, which is also the scale of 1.0.
    void SetHalfHeight(double half) { half_ = half; }
    double HalfHeight() const { return half_; }
    int Points() const { return points_; }
    bool SineShading() const { return sineShading_; }
    // The values drawn (empty before the instrument published any).
    const std::vector<double>& Data() const { return data_; }

private:
    PreviewCurve* source_;
    int points_;
    std::vector<double> data_;
    double width_;
    double half_;
    bool clamp_ = true;
    bool sineShading_ = false;
    bool frame_ = false;
};

class IKvCurve2 : public IControl {
public:
    // How the pair is drawn: the first curve bright over the second dim, the
    // second bright over the first dim, or both dim.
    enum Order : int { kFirstBright = 0, kSecondBright = 1, kBothDim = 2 };

    IKvCurve2(IPluginVst* plugin, const RasterRect& rect, PreviewCurve* first, PreviewCurve* second, int points,
              int order = kFirstBright);

    bool Draw(IGraphics& graphics) override;
    // Takes new curves and the current order, and redraws when either changed.
    void OnEditorIdle() override;

    // Where the order comes from while the editor runs (it may change with
    // the section last edited); without one the order stays as built.
    void SetOrderSource(std::function<int()> source) { orderSource_ = std::move(source); }
    int GetOrder() const { return order_; }
    int Points() const { return points_; }
    void SetFrame(bool frame) { frame_ = frame; }
    void SetClamp(bool clamp) { clamp_ = clamp; }
    const std::vector<double>& FirstData() const { return first_; }
    const std::vector<double>& SecondData() const { return second_; }

private:
    enum class Style { Dim, Bright };
    void DrawCurve(IGraphics& graphics, const std::vector<double>& data, Style style) const;

    PreviewCurve* firstSource_;
    PreviewCurve* secondSource_;
    int points_;
    std::vector<double> first_;
    std::vector<double> second_;
    double width_;
    double half_;
    int order_;
    std::function<int()> orderSource_;
    bool clamp_ = true;
    bool frame_ = false;
};
