#include "editor/controls/fader_control.h"

#include <cmath>

#include "editor/graphics/graphics.h"

IFaderControl::IFaderControl(IPluginVst* plugin, int x, int y, int length, int paramIndex, const IBitmap& handle,
                             Direction direction, bool onlyHandleHits)
    : IControl(plugin,
               direction == Direction::Horizontal ? RasterRect{x, y, x + length, y + handle.FrameHeight()}
                                                  : RasterRect{x, y, x + handle.FrameWidth(), y + length},
               paramIndex),
      length_(length),
      handle_(handle),
      direction_(direction),
      handleSize_(direction == Direction::Horizontal ? handle.FrameWidth() : handle.FrameHeight()),
      onlyHandleHits_(onlyHandleHits) {}

void IFaderControl::SnapToMouse(int x, int y) {
    const double travel = length_ - handleSize_;
    if (travel <= 0.0) return;  // a handle as long as the track cannot move
    if (direction_ == Direction::Horizontal) {
        value_ = (x - rect_.left - handleSize_ / 2.0) / travel;
    } else {
        value_ = 1.0 - (y - rect_.top - handleSize_ / 2.0) / travel;
    }
    MarkDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (mod.right) {
        RequestTextEntry();
        return;
    }
    SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int /*dX*/, int /*dY*/, const IMouseMod& /*mod*/) { SnapToMouse(x, y); }

RasterRect IFaderControl::HandleRect() const {
    const int travel = length_ - handleSize_;
    if (direction_ == Direction::Horizontal) {
        const int left = rect_.left + static_cast<int>(travel * value_);
        return {left, rect_.top, left + handle_.FrameWidth(), rect_.top + handle_.FrameHeight()};
    }
    const int top = rect_.top + static_cast<int>(travel * (1.0 - value_));
    return {rect_.left, top, rect_.left + handle_.FrameWidth(), top + handle_.FrameHeight()};
}

bool IFaderControl::Draw(IGraphics& graphics) { return graphics.DrawBitmap(handle_, HandleRect(), 1, &blend_); }

bool IFaderControl::HitTest(int x, int y) const {
    if (onlyHandleHits_) return HandleRect().Contains(x, y);
    return IControl::HitTest(x, y);
}
