#include "editor/controls/switch_control.h"

namespace {

// A switch past its last frame (with room for rounding) starts again at 0.
constexpr double kWrapAbove = 1.001;

}  // namespace

void ISwitchControl::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    value_ += bitmap_.frames > 1 ? 1.0 / (bitmap_.frames - 1) : 1.0;
    if (value_ > kWrapAbove) value_ = 0.0;
    MarkDirty(true);
}

void IContactControl::OnMouseUp(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    value_ = 0.0;
    MarkDirty(true);
}
