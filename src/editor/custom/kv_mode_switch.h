// A button that steps a selector parameter (a waveform, a filter mode) one
// position forward or back, ten with the right button, wrapping or not.
#pragma once

#include "editor/controls/switch_control.h"

class IKvModeSwitch : public IContactControl {
public:
    enum class Direction { Forward, Backward };

    // Steps `targetParam` through `positions` positions; the button's own
    // value only shows it pressed.
    IKvModeSwitch(IPluginVst* plugin, int x, int y, const IBitmap& bitmap, int targetParam, int positions,
                  Direction direction, bool wrap);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;

    // The target's value after a press, from its current value.
    double NextValue(double current, bool rightButton) const;
    int TargetParam() const { return targetParam_; }
    int Positions() const { return positions_; }
    Direction GetDirection() const { return direction_; }
    bool Wraps() const { return wrap_; }
    // The target's value as the plug-in last pushed it (0 before).
    double TargetValue() const;

private:
    int targetParam_;
    int positions_;
    Direction direction_;
    bool wrap_;
};
