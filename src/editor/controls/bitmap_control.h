// A control drawn as one frame of a bitmap strip, the frame chosen by its value.
#pragma once

#include "editor/controls/control.h"
#include "editor/graphics/bitmap.h"

class IBitmapControl : public IControl {
public:
    // Placed at (x, y) with the size of one frame.
    IBitmapControl(IPluginVst* plugin, int x, int y, int paramIndex, const IBitmap& bitmap);
    // Covering `rect` (the window background).
    IBitmapControl(IPluginVst* plugin, const RasterRect& rect, const IBitmap& bitmap);

    bool Draw(IGraphics& graphics) override;

    // The 1-based frame `value` selects among `frames`.
    static int FrameForValue(double value, int frames);

    const IBitmap& GetBitmap() const { return bitmap_; }

protected:
    IBitmap bitmap_;
};
