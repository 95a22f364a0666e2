// The raster layer's small value types: rectangles, colours and blend modes.
#pragma once

#include <algorithm>
#include <cstdint>

// A pixel rectangle; right and bottom are exclusive.
struct RasterRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Intersects(const RasterRect& other) const { return !Intersection(other).Empty(); }
    RasterRect Intersection(const RasterRect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    // The smallest rectangle holding both; an empty rectangle adds nothing.
    RasterRect Union(const RasterRect& other) const {
        if (Empty()) return other;
        if (other.Empty()) return *this;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }
    RasterRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const RasterRect&) const = default;
};

// A colour as callers give it: 8-bit channels, alpha not premultiplied.
struct RasterColor {
    std::uint8_t a = 255;
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const RasterColor&) const = default;
};

// How a source pixel meets the destination pixel (see raster_ops.h).
enum class RasterBlend {
    SourceOver,  // copy with alpha: the source laid over the destination
    Copy,        // the source replaces the destination
    Add,         // channels added, saturating at 255
    Multiply,    // colours multiplied, darkening the destination
};
