#include "editor/custom/kv_mode_switch.h"

#include <algorithm>
#include <cmath>

#include "shell/plugin_vst.h"

namespace {

// The right button moves this many positions.
constexpr int kBigStep = 10;

}  // namespace

IKvModeSwitch::IKvModeSwitch(IPluginVst* plugin, int x, int y, const IBitmap& bitmap, int targetParam, int positions,
                             Direction direction, bool wrap)
    : IContactControl(plugin, x, y, -1, bitmap),
      targetParam_(targetParam),
      positions_(std::max(positions, 2)),
      direction_(direction),
      wrap_(wrap) {
    AddAuxParam(targetParam);
}

double IKvModeSwitch::TargetValue() const { return std::max(AuxValue(targetParam_), 0.0); }

double IKvModeSwitch::NextValue(double current, bool rightButton) const {
    const int last = positions_ - 1;
    const int position = static_cast<int>(std::floor(last * std::clamp(current, 0.0, 1.0) + 0.5));
    const bool forward = direction_ == Direction::Forward;
    if (rightButton) {
        const int step = forward ? kBigStep : -kBigStep;
        return std::clamp(static_cast<double>(position + step) / last, 0.0, 1.0);
    }
    if (forward) {
        if (position + 1 < positions_) return static_cast<double>(position + 1) / last;
        return wrap_ ? 0.0 : current;
    }
    if (position > 0) return static_cast<double>(position - 1) / last;
    return wrap_ ? 1.0 : current;
}

void IKvModeSwitch::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& mod) {
    value_ = 1.0;
    const double target = NextValue(TargetValue(), mod.right);
    SetSecondaryValueFromPlugin(targetParam_, target);
    MarkDirty(false);
    if (plugin_ != nullptr) plugin_->SetParameterFromEditor(targetParam_, target);
}
