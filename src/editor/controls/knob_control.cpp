#include "editor/controls/knob_control.h"

#include "editor/controls/bitmap_control.h"
#include "editor/graphics/graphics.h"

IKnobControl::IKnobControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex, Direction direction,
                           double gearing)
    : IControl(plugin, rect, paramIndex), direction_(direction), gearing_(gearing) {}

void IKnobControl::OnMouseDrag(int /*x*/, int /*y*/, int dX, int dY, const IMouseMod& mod) {
    const double gearing = mod.shift || mod.control ? gearing_ * kFineFactor : gearing_;
    if (direction_ == Direction::Vertical) {
        if (rect_.Height() <= 0) return;
        value_ += static_cast<double>(dY) / (rect_.top - rect_.bottom) / gearing;  // up turns up
    } else {
        if (rect_.Width() <= 0) return;
        value_ += static_cast<double>(dX) / (rect_.right - rect_.left) / gearing;
    }
    MarkDirty(true);
}

IKnobMultiControl::IKnobMultiControl(IPluginVst* plugin, int x, int y, int paramIndex, const IBitmap& bitmap,
                                     Direction direction, double gearing)
    : IKnobControl(plugin, {x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()}, paramIndex, direction, gearing),
      bitmap_(bitmap) {}

bool IKnobMultiControl::Draw(IGraphics& graphics) {
    return graphics.DrawBitmap(bitmap_, rect_, IBitmapControl::FrameForValue(value_, bitmap_.frames), &blend_);
}
