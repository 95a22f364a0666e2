// Switches: a bitmap control that steps through its frames on each click,
// and the momentary kind that springs back to 0 when released.
#pragma once

#include "editor/controls/bitmap_control.h"

class ISwitchControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;

    // Steps to the next frame's value (0 after the last) and pushes it.
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnDoubleClick(int x, int y, const IMouseMod& mod) override { OnMouseDown(x, y, mod); }
};

class IContactControl : public ISwitchControl {
public:
    using ISwitchControl::ISwitchControl;

    // Back to 0 when the button is released.
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
};
