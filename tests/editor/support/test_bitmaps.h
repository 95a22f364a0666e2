// Bitmaps made in memory for the editor's tests: strips whose frames can be
// told apart by their pixels.
#pragma once

#include <cstdint>
#include <memory>

#include "editor/graphics/bitmap.h"

// Opaque grey of `level` (0..255) in the raster format.
inline std::uint32_t Grey(std::uint32_t level) { return 0xFF000000u | level << 16 | level << 8 | level; }

// A vertical strip of `frames` frames of `width` x `frameHeight`, every pixel
// of frame f (1-based) the grey level f.
inline IBitmap GreyStrip(int width, int frameHeight, int frames) {
    auto pixels = std::make_shared<RasterBitmap>(width, frameHeight * frames);
    for (int y = 0; y < pixels->Height(); ++y) {
        const auto level = static_cast<std::uint32_t>(y / frameHeight + 1);
        for (int x = 0; x < width; ++x) pixels->Set(x, y, Grey(level));
    }
    IBitmap bitmap;
    bitmap.pixels = pixels;
    bitmap.width = width;
    bitmap.height = frameHeight * frames;
    bitmap.frames = frames;
    return bitmap;
}
