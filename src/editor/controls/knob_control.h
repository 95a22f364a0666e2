// Knobs: dragged up (or right) to turn up; a bitmap strip shows the value.
#pragma once

#include "editor/controls/control.h"
#include "editor/graphics/bitmap.h"

class IKnobControl : public IControl {
public:
    enum class Direction { Vertical, Horizontal };
    // A drag of this many knob sizes spans the whole range.
    static constexpr double kDefaultGearing = 4.0;
    // Shift or control make a drag this many times finer.
    static constexpr double kFineFactor = 10.0;

    IKnobControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex, Direction direction = Direction::Vertical,
                 double gearing = kDefaultGearing);

    void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) override;

protected:
    Direction direction_;
    double gearing_;
};

class IKnobMultiControl : public IKnobControl {
public:
    // Placed at (x, y) with the size of one frame of `bitmap`.
    IKnobMultiControl(IPluginVst* plugin, int x, int y, int paramIndex, const IBitmap& bitmap,
                      Direction direction = Direction::Vertical, double gearing = kDefaultGearing);

    bool Draw(IGraphics& graphics) override;
    const IBitmap& GetBitmap() const { return bitmap_; }

private:
    IBitmap bitmap_;
};
