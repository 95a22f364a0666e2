// Drawing into raster surfaces: blits with blend modes, lines and filled
// rectangles. Every operation touches only pixels inside `clip` and inside
// the destination bitmap.
//
// Rounding: a product of two 8-bit values is Mul(a, b) = round(a * b / 255)
// (exact; a * b / 255 never falls on a half). A weight or alpha given as a
// float in 0..1 is first turned into 8 bits as round(w * 255), halves up,
// after clamping to 0..1 (RasterWeight).
#pragma once

#include <cstdint>

#include "editor/raster/raster_bitmap.h"
#include "editor/raster/raster_types.h"

// round(a * b / 255) for a, b in 0..255.
constexpr std::uint32_t RasterMul(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

// The premultiplied pixel of a colour: alpha kept, each colour channel
// Mul(channel, alpha).
std::uint32_t RasterPremultiply(RasterColor colour);
// A float weight in 0..1 as 8 bits (clamped; NaN gives 0).
std::uint8_t RasterWeight(float weight);

// Copies src into dest: destination pixel (x, y) of `destRect` takes the
// source pixel (srcX + x - destRect.left, srcY + y - destRect.top), for
// pixels inside `clip`, inside dest and with a source inside src; no other
// pixel is read or written, whatever the offsets. The source is first
// scaled by `weight`.
//
// Per channel c (alpha a included), with w = RasterWeight(weight), s the
// source, d the destination and s' = Mul(s, w) on all four channels:
//   SourceOver: d = s'c + Mul(dc, 255 - s'a)
//   Copy:       d = Mul(sc, w) + Mul(dc, 255 - w): a blend towards the source
//               by w alone (source alpha plays no part); w = 255 copies
//               exactly, and s = d leaves d as it is.
//   Add:        d = min(255, dc + s'c)
//   Multiply:   colour  c = min(255, round((s'c * dc + s'c * (255 - da)
//                                           + dc * (255 - s'a)) / 255)),
//               alpha   a = s'a + Mul(da, 255 - s'a):
//               the product where both are opaque, each one alone where the
//               other is clear.
// Every result saturates at 255, should a source not be premultiplied.
// A bitmap may be blitted onto itself; overlapping areas move as a whole.
void RasterBlit(RasterBitmap& dest, const RasterRect& destRect, const RasterBitmap& src, int srcX, int srcY,
                const RasterRect& clip, float weight = 1.0f, RasterBlend mode = RasterBlend::SourceOver);

// End points farther than this from 0 on either axis draw no line.
inline constexpr int kRasterMaxLineCoordinate = 1 << 24;

// A line from (x1, y1) to (x2, y2), both end points included, in `colour`
// whose alpha is scaled by `alpha`, laid over the destination (SourceOver).
// The line's alpha is a8 = Mul(colour.a, RasterWeight(alpha)).
//
// The line steps one pixel at a time along its major axis (x when
// |x2 - x1| >= |y2 - y1|, else y), always from the end with the smaller
// major coordinate, so both directions draw the same pixels; at step t the
// exact minor coordinate is m = m1 + (m2 - m1) * t / (major length).
// - Not anti-aliased: the pixel at round(m), halves towards larger m (the
//   nearest pixel, as Bresenham's algorithm picks), in the colour
//   premultiplied at a8.
// - Anti-aliased: pixel floor(m) with coverage 255 - k and floor(m) + 1 with
//   coverage k = round(255 * frac(m)), halves up; pixels of coverage 0 are
//   left alone. Each is the colour premultiplied at Mul(a8, coverage).
//   End points, and horizontal, vertical and diagonal lines, fall on whole
//   pixels and are fully covered.
// Each pixel is laid over once, so a translucent line has no darker joints.
void RasterDrawLine(RasterBitmap& dest, int x1, int y1, int x2, int y2, RasterColor colour, float alpha,
                    bool antiAliased, const RasterRect& clip);

// `rect` filled with `colour` whose alpha is scaled by `alpha`, laid over the
// destination: the colour premultiplied at Mul(colour.a, RasterWeight(alpha)).
void RasterFillRect(RasterBitmap& dest, const RasterRect& rect, RasterColor colour, float alpha,
                    const RasterRect& clip);

// Lays `colour` (alpha scaled by `alpha`) over the destination through an
// 8-bit coverage mask (glyphs): mask pixel (i, j), the byte at
// coverage[j * rowBytes + i], covers destination pixel (destX + i, destY + j):
// the colour premultiplied at Mul(Mul(colour.a, RasterWeight(alpha)), coverage)
// is laid over it. A null mask, a side <= 0 or rowBytes < width draws nothing.
void RasterBlendCoverage(RasterBitmap& dest, int destX, int destY, const std::uint8_t* coverage, int width,
                         int height, int rowBytes, RasterColor colour, float alpha, const RasterRect& clip);
