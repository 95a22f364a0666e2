#include "editor/raster/raster_ops.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

using Pixel = std::uint32_t;

constexpr Pixel Pack(Pixel a, Pixel r, Pixel g, Pixel b) { return a << 24 | r << 16 | g << 8 | b; }
constexpr Pixel AlphaOf(Pixel p) { return p >> 24; }

// f(destination channel, source channel) on each of the four channels.
template <class F>
inline Pixel EachChannel(Pixel d, Pixel s, F f) {
    return Pack(f(d >> 24, s >> 24), f((d >> 16) & 255u, (s >> 16) & 255u), f((d >> 8) & 255u, (s >> 8) & 255u),
                f(d & 255u, s & 255u));
}

// All four channels times w / 255, rounded: RasterMul on two channels at
// once, each in a 16-bit lane (a * b + 128 <= 65153, so no lane carries
// into the next).
inline Pixel Scale(Pixel p, Pixel w) {
    constexpr Pixel kLanes = 0x00FF00FFu;
    Pixel rb = (p & kLanes) * w + 0x00800080u;
    Pixel ag = ((p >> 8) & kLanes) * w + 0x00800080u;
    rb = ((rb + ((rb >> 8) & kLanes)) >> 8) & kLanes;
    ag = (ag + ((ag >> 8) & kLanes)) & ~kLanes;
    return rb | ag;
}

// min(255, d + s) on each channel, two channels a word.
inline Pixel AddSaturating(Pixel d, Pixel s) {
    constexpr Pixel kLanes = 0x00FF00FFu;
    Pixel rb = (d & kLanes) + (s & kLanes);
    Pixel ag = ((d >> 8) & kLanes) + ((s >> 8) & kLanes);
    // A lane that passed 255 has bit 8 set: fill its low byte.
    rb |= ((rb >> 8) & 0x00010001u) * 255u;
    ag |= ((ag >> 8) & 0x00010001u) * 255u;
    return (rb & kLanes) | (ag & kLanes) << 8;
}

// s laid over d; s premultiplied.
inline Pixel Over(Pixel d, Pixel s) {
    const Pixel keep = 255u - AlphaOf(s);
    if (keep == 0) return s;
    if (s == 0) return d;
    return AddSaturating(Scale(d, keep), s);
}

inline Pixel MultiplyOver(Pixel d, Pixel s) {
    const Pixel sa = AlphaOf(s);
    const Pixel da = AlphaOf(d);
    auto colour = [sa, da](Pixel dc, Pixel sc) {
        // (n + 127) / 255 rounds n / 255, which never falls on a half.
        const Pixel n = sc * dc + sc * (255u - da) + dc * (255u - sa);
        return std::min<Pixel>(255u, (n + 127u) / 255u);
    };
    const Pixel rgb = EachChannel(d, s, colour) & 0x00FFFFFFu;
    return Pack(sa + RasterMul(da, 255u - sa), 0, 0, 0) | rgb;
}

// The rectangle as 64-bit edges, so offsets never overflow.
struct Span {
    std::int64_t left, top, right, bottom;
    bool Empty() const { return right <= left || bottom <= top; }
};

Span Meet(Span a, Span b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Span SpanOf(const RasterRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// The destination pixels an operation may touch.
Span Drawable(const RasterBitmap& dest, const RasterRect& clip) {
    return Meet(SpanOf(clip), {0, 0, dest.Width(), dest.Height()});
}

// One row of a blit; `backwards` when the source lies left of the
// destination in the same bitmap row, so no pixel is read after it was written.
template <class Op>
inline void BlendRow(Pixel* d, const Pixel* s, int count, bool backwards, Op op) {
    if (backwards) {
        for (int i = count - 1; i >= 0; --i) d[i] = op(d[i], s[i]);
    } else {
        for (int i = 0; i < count; ++i) d[i] = op(d[i], s[i]);
    }
}

template <class Op>
void BlitLoop(RasterBitmap& dest, const RasterBitmap& src, const Span& area, std::int64_t offsetX,
              std::int64_t offsetY, Op op) {
    const int x0 = static_cast<int>(area.left);
    const int count = static_cast<int>(area.right - area.left);
    const int srcX0 = static_cast<int>(area.left - offsetX);
    const int rows = static_cast<int>(area.bottom - area.top);
    // Onto itself: rows from the bottom when the source lies above, pixels
    // from the right when it lies to the left in the same row.
    const bool same = &dest == &src;
    const bool bottomUp = same && offsetY > 0;
    const bool backwards = same && offsetY == 0 && offsetX > 0;
    for (int j = 0; j < rows; ++j) {
        const int y = static_cast<int>(bottomUp ? area.bottom - 1 - j : area.top + j);
        const int srcY = static_cast<int>(y - offsetY);
        BlendRow(dest.Row(y) + x0, src.Row(srcY) + srcX0, count, backwards, op);
    }
}

// Lays `pixel` over dest at (x, y) when inside `area`.
inline void Plot(RasterBitmap& dest, const Span& area, std::int64_t x, std::int64_t y, Pixel pixel) {
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return;
    const int ix = static_cast<int>(x);
    const int iy = static_cast<int>(y);
    dest.Set(ix, iy, Over(dest.At(ix, iy), pixel));
}

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {  // d > 0
    const std::int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

RasterColor WithAlpha(RasterColor colour, Pixel alpha) {
    colour.a = static_cast<std::uint8_t>(alpha);
    return colour;
}

}  // namespace

std::uint32_t RasterPremultiply(RasterColor colour) {
    const Pixel a = colour.a;
    return Pack(a, RasterMul(colour.r, a), RasterMul(colour.g, a), RasterMul(colour.b, a));
}

std::uint8_t RasterWeight(float weight) {
    if (!(weight > 0.0f)) return 0;  // NaN too
    if (weight >= 1.0f) return 255;
    return static_cast<std::uint8_t>(static_cast<double>(weight) * 255.0 + 0.5);
}

void RasterBlit(RasterBitmap& dest, const RasterRect& destRect, const RasterBitmap& src, int srcX, int srcY,
                const RasterRect& clip, float weight, RasterBlend mode) {
    if (dest.IsEmpty() || src.IsEmpty()) return;
    const Pixel w = RasterWeight(weight);
    // Destination x = source x + offsetX.
    const std::int64_t offsetX = std::int64_t{destRect.left} - srcX;
    const std::int64_t offsetY = std::int64_t{destRect.top} - srcY;
    const Span srcArea{offsetX, offsetY, offsetX + src.Width(), offsetY + src.Height()};
    const Span area = Meet(Meet(SpanOf(destRect), Drawable(dest, clip)), srcArea);
    if (area.Empty()) return;

    switch (mode) {
    case RasterBlend::SourceOver:
        if (w == 255) {
            BlitLoop(dest, src, area, offsetX, offsetY, [](Pixel d, Pixel s) { return Over(d, s); });
        } else if (w != 0) {
            BlitLoop(dest, src, area, offsetX, offsetY, [w](Pixel d, Pixel s) { return Over(d, Scale(s, w)); });
        }
        break;
    case RasterBlend::Copy:
        if (w == 255) {
            BlitLoop(dest, src, area, offsetX, offsetY, [](Pixel, Pixel s) { return s; });
        } else if (w != 0) {
            const Pixel keep = 255u - w;
            // Mul(s, w) + Mul(d, 255 - w) <= 255 on every channel: no carries.
            BlitLoop(dest, src, area, offsetX, offsetY,
                     [w, keep](Pixel d, Pixel s) { return Scale(s, w) + Scale(d, keep); });
        }
        break;
    case RasterBlend::Add:
        if (w == 255) {
            BlitLoop(dest, src, area, offsetX, offsetY, [](Pixel d, Pixel s) { return AddSaturating(d, s); });
        } else if (w != 0) {
            BlitLoop(dest, src, area, offsetX, offsetY,
                     [w](Pixel d, Pixel s) { return AddSaturating(d, Scale(s, w)); });
        }
        break;
    case RasterBlend::Multiply:
        if (w == 255) {
            BlitLoop(dest, src, area, offsetX, offsetY, [](Pixel d, Pixel s) { return MultiplyOver(d, s); });
        } else if (w != 0) {
            BlitLoop(dest, src, area, offsetX, offsetY,
                     [w](Pixel d, Pixel s) { return MultiplyOver(d, Scale(s, w)); });
        }
        break;
    }
}

void RasterDrawLine(RasterBitmap& dest, int x1, int y1, int x2, int y2, RasterColor colour, float alpha,
                    bool antiAliased, const RasterRect& clip) {
    if (dest.IsEmpty()) return;
    const Span area = Drawable(dest, clip);
    if (area.Empty()) return;
    for (int c : {x1, y1, x2, y2}) {
        if (c > kRasterMaxLineCoordinate || c < -kRasterMaxLineCoordinate) return;
    }
    const Pixel a8 = RasterMul(colour.a, RasterWeight(alpha));
    if (a8 == 0) return;

    // Work along the major axis u, from the end with the smaller u; v is the minor axis.
    const bool steep = std::abs(std::int64_t{y2} - y1) > std::abs(std::int64_t{x2} - x1);
    std::int64_t u1 = steep ? y1 : x1, v1 = steep ? x1 : y1;
    std::int64_t u2 = steep ? y2 : x2, v2 = steep ? x2 : y2;
    if (u2 < u1) {
        std::swap(u1, u2);
        std::swap(v1, v2);
    }
    const std::int64_t du = u2 - u1;  // >= |dv|
    const std::int64_t dv = v2 - v1;
    // Only the steps whose major coordinate lies inside the area.
    const std::int64_t uLow = steep ? area.top : area.left;
    const std::int64_t uHigh = (steep ? area.bottom : area.right) - 1;
    const std::int64_t first = std::max<std::int64_t>(0, uLow - u1);
    const std::int64_t last = std::min(du, uHigh - u1);
    auto plot = [&](std::int64_t u, std::int64_t v, Pixel pixel) {
        if (steep) {
            Plot(dest, area, v, u, pixel);
        } else {
            Plot(dest, area, u, v, pixel);
        }
    };

    if (!antiAliased) {
        const Pixel pixel = RasterPremultiply(WithAlpha(colour, a8));
        for (std::int64_t t = first; t <= last; ++t) {
            // round(dv * t / du), halves up: floor((2 dv t + du) / (2 du)).
            const std::int64_t v = du == 0 ? v1 : v1 + FloorDiv(2 * dv * t + du, 2 * du);
            plot(u1 + t, v, pixel);
        }
        return;
    }
    for (std::int64_t t = first; t <= last; ++t) {
        // m = v1 + dv * t / du = v1 + whole + part / du, 0 <= part < du.
        const std::int64_t whole = du == 0 ? 0 : FloorDiv(dv * t, du);
        const std::int64_t part = du == 0 ? 0 : dv * t - whole * du;
        // Coverage of the far pixel: round(255 * part / du), halves up.
        const Pixel far = du == 0 ? 0 : static_cast<Pixel>((510 * part + du) / (2 * du));
        const Pixel nearCover = 255u - far;
        if (nearCover != 0) plot(u1 + t, v1 + whole, RasterPremultiply(WithAlpha(colour, RasterMul(a8, nearCover))));
        if (far != 0) plot(u1 + t, v1 + whole + 1, RasterPremultiply(WithAlpha(colour, RasterMul(a8, far))));
    }
}

void RasterFillRect(RasterBitmap& dest, const RasterRect& rect, RasterColor colour, float alpha,
                    const RasterRect& clip) {
    if (dest.IsEmpty()) return;
    const Span area = Meet(SpanOf(rect), Drawable(dest, clip));
    if (area.Empty()) return;
    const Pixel a8 = RasterMul(colour.a, RasterWeight(alpha));
    if (a8 == 0) return;
    const Pixel pixel = RasterPremultiply(WithAlpha(colour, a8));
    const int x0 = static_cast<int>(area.left);
    const int count = static_cast<int>(area.right - area.left);
    for (auto y = static_cast<int>(area.top); y < area.bottom; ++y) {
        Pixel* row = dest.Row(y) + x0;
        if (a8 == 255) {
            std::fill_n(row, count, pixel);
        } else {
            for (int i = 0; i < count; ++i) row[i] = Over(row[i], pixel);
        }
    }
}

void RasterBlendCoverage(RasterBitmap& dest, int destX, int destY, const std::uint8_t* coverage, int width,
                         int height, int rowBytes, RasterColor colour, float alpha, const RasterRect& clip) {
    if (dest.IsEmpty() || coverage == nullptr || width <= 0 || height <= 0 || rowBytes < width) return;
    const Span mask{destX, destY, std::int64_t{destX} + width, std::int64_t{destY} + height};
    const Span area = Meet(mask, Drawable(dest, clip));
    if (area.Empty()) return;
    const Pixel a8 = RasterMul(colour.a, RasterWeight(alpha));
    if (a8 == 0) return;
    const int x0 = static_cast<int>(area.left);
    const int count = static_cast<int>(area.right - area.left);
    const auto i0 = static_cast<std::ptrdiff_t>(area.left - destX);
    for (auto y = static_cast<int>(area.top); y < area.bottom; ++y) {
        const std::uint8_t* cover = coverage + static_cast<std::ptrdiff_t>(y - std::int64_t{destY}) * rowBytes + i0;
        Pixel* row = dest.Row(y) + x0;
        for (int i = 0; i < count; ++i) {
            if (cover[i] == 0) continue;
            row[i] = Over(row[i], RasterPremultiply(WithAlpha(colour, RasterMul(a8, cover[i]))));
        }
    }
}
