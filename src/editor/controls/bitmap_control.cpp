#include "editor/controls/bitmap_control.h"

#include <algorithm>
#include <cmath>

#include "editor/graphics/graphics.h"

IBitmapControl::IBitmapControl(IPluginVst* plugin, int x, int y, int paramIndex, const IBitmap& bitmap)
    : IControl(plugin, {x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()}, paramIndex), bitmap_(bitmap) {}

IBitmapControl::IBitmapControl(IPluginVst* plugin, const RasterRect& rect, const IBitmap& bitmap)
    : IControl(plugin, rect), bitmap_(bitmap) {}

int IBitmapControl::FrameForValue(double value, int frames) {
    if (frames < 2) return 1;
    const double position = std::trunc((frames - 1) * value + 0.5);
    if (!(position >= 0.0)) return 1;  // also NaN
    return std::min(static_cast<int>(std::min(position, 1e9)) + 1, frames);
}

bool IBitmapControl::Draw(IGraphics& graphics) {
    return graphics.DrawBitmap(bitmap_, rect_, FrameForValue(value_, bitmap_.frames), &blend_);
}
