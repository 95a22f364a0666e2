// A fader: a handle bitmap sliding along a track; clicking or dragging puts
// the handle's centre under the mouse.
#pragma once

#include "editor/controls/control.h"
#include "editor/graphics/bitmap.h"

class IFaderControl : public IControl {
public:
    enum class Direction { Vertical, Horizontal };

    // Placed at (x, y), `length` pixels long; the handle is one frame of `handle`.
    IFaderControl(IPluginVst* plugin, int x, int y, int length, int paramIndex, const IBitmap& handle,
                  Direction direction = Direction::Horizontal, bool onlyHandleHits = false);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& mod) override;
    bool Draw(IGraphics& graphics) override;
    bool HitTest(int x, int y) const override;

    // Where the handle is drawn for the current value.
    RasterRect HandleRect() const;
    int Length() const { return length_; }
    int HandleSize() const { return handleSize_; }
    const IBitmap& GetHandle() const { return handle_; }

private:
    void SnapToMouse(int x, int y);

    int length_;
    IBitmap handle_;
    Direction direction_;
    int handleSize_;
    bool onlyHandleHits_;
};
