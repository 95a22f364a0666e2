// Raster operations checked pixel by pixel against values worked out by hand.
// Pixels are 0xAARRGGBB, premultiplied; Mul(a, b) = round(a * b / 255).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "editor/raster/raster_ops.h"

namespace {

constexpr RasterRect kEverywhere{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
constexpr RasterColor kWhite{255, 255, 255, 255};

// dest pixel d after `mode` with the one source pixel s at `weight`.
std::uint32_t BlendOne(std::uint32_t d, std::uint32_t s, float weight, RasterBlend mode) {
    RasterBitmap dest(1, 1);
    RasterBitmap src(1, 1);
    dest.Set(0, 0, d);
    src.Set(0, 0, s);
    RasterBlit(dest, {0, 0, 1, 1}, src, 0, 0, {0, 0, 1, 1}, weight, mode);
    return dest.At(0, 0);
}

using Points = std::set<std::pair<int, int>>;

// The pixels of `bitmap` that are not 0.
Points Drawn(const RasterBitmap& bitmap) {
    Points points;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (bitmap.At(x, y) != 0) points.insert({x, y});
        }
    }
    return points;
}

// Pixels of `bitmap` differing from `pixel` outside `inside`; 0 when none.
int ChangedOutside(const RasterBitmap& bitmap, const RasterRect& inside, std::uint32_t pixel) {
    int changed = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (!inside.Contains(x, y) && bitmap.At(x, y) != pixel) ++changed;
        }
    }
    return changed;
}

}  // namespace

// --- Rounding ----------------------------------------------------------------

TEST(RasterRounding, MulRoundsTheExactProductOver255) {
    EXPECT_EQ(RasterMul(255, 255), 255u);
    EXPECT_EQ(RasterMul(0, 255), 0u);
    EXPECT_EQ(RasterMul(128, 128), 64u);  // 16384 / 255 = 64.25
    EXPECT_EQ(RasterMul(1, 127), 0u);     // 127 / 255 = 0.498
    EXPECT_EQ(RasterMul(1, 128), 1u);     // 128 / 255 = 0.502
    EXPECT_EQ(RasterMul(191, 128), 96u);  // 24448 / 255 = 95.87
    // Every pair against integer rounding: floor((2ab + 255) / 510).
    for (std::uint32_t a = 0; a < 256; ++a) {
        for (std::uint32_t b = 0; b < 256; ++b) {
            ASSERT_EQ(RasterMul(a, b), (2 * a * b + 255) / 510) << a << " * " << b;
        }
    }
}

TEST(RasterRounding, PremultipliesEachColourChannelByAlpha) {
    EXPECT_EQ(RasterPremultiply({255, 0x12, 0x34, 0x56}), 0xFF123456u);
    EXPECT_EQ(RasterPremultiply({0, 255, 255, 255}), 0x00000000u);
    // a 128: 255 -> 128; 128 * 128 / 255 = 64.25 -> 64; 128 / 255 = 0.502 -> 1.
    EXPECT_EQ(RasterPremultiply({128, 255, 128, 1}), 0x80804001u);
    // a 64: 12800 / 255 = 50.2 -> 50; 6400 / 255 = 25.1 -> 25; 128 / 255 -> 1.
    EXPECT_EQ(RasterPremultiply({64, 200, 100, 2}), 0x40321901u);
}

TEST(RasterRounding, WeightRoundsHalvesUpAndClamps) {
    EXPECT_EQ(RasterWeight(0.25f), 64);  // 63.75, the weight of grayed controls
    EXPECT_EQ(RasterWeight(0.5f), 128);  // 127.5, half up
    EXPECT_EQ(RasterWeight(0.1f), 26);   // 25.5000004
    EXPECT_EQ(RasterWeight(0.7f), 178);  // 178.4999970
    EXPECT_EQ(RasterWeight(0.002f), 1);  // 0.51
    EXPECT_EQ(RasterWeight(0.001f), 0);  // 0.255
    EXPECT_EQ(RasterWeight(1.0f), 255);
    EXPECT_EQ(RasterWeight(0.0f), 0);
    EXPECT_EQ(RasterWeight(-0.5f), 0);
    EXPECT_EQ(RasterWeight(2.0f), 255);
    EXPECT_EQ(RasterWeight(std::numeric_limits<float>::infinity()), 255);
    EXPECT_EQ(RasterWeight(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(RasterWeight(std::numeric_limits<float>::quiet_NaN()), 0);
}

// --- Blend modes ---------------------------------------------------------------

TEST(RasterBlendModes, SourceOverLaysTheSourceOverTheDestination) {
    const auto mode = RasterBlend::SourceOver;
    EXPECT_EQ(BlendOne(0xFF336699u, 0x00000000u, 1.0f, mode), 0xFF336699u) << "transparent source";
    EXPECT_EQ(BlendOne(0xFF336699u, 0xFF102030u, 1.0f, mode), 0xFF102030u) << "opaque source";
    // Half over white: 255 - 128 = 127 of white kept: 64 + 127, 32 + 127, 16 + 127.
    EXPECT_EQ(BlendOne(0xFFFFFFFFu, 0x80402010u, 1.0f, mode), 0xFFBF9F8Fu);
    // Half over half: alpha 128 + Mul(128, 127) = 128 + 64 (63.75); green 32 + 64.
    EXPECT_EQ(BlendOne(0x80008000u, 0x80402010u, 1.0f, mode), 0xC0406010u);
    // Weight 0.25 (64) of opaque orange: s' = 64, 64, Mul(128, 64) = 32 (32.1), 0;
    // over opaque blue: blue Mul(255, 191) = 191.
    EXPECT_EQ(BlendOne(0xFF0000FFu, 0xFFFF8000u, 0.25f, mode), 0xFF4020BFu);
    // Weight 0.25 of a half source onto clear: Mul(128, 64) = 32 (32.1),
    // Mul(64, 64) = 16 (16.06), Mul(32, 64) = 8 (8.03), Mul(16, 64) = 4 (4.02).
    EXPECT_EQ(BlendOne(0x00000000u, 0x80402010u, 0.25f, mode), 0x20100804u);
    EXPECT_EQ(BlendOne(0xFF336699u, 0xFF102030u, 0.0f, mode), 0xFF336699u) << "weight 0";
}

TEST(RasterBlendModes, CopyMovesTowardsTheSourceByWeightAlone) {
    const auto mode = RasterBlend::Copy;
    EXPECT_EQ(BlendOne(0xFFFFFFFFu, 0x80402010u, 1.0f, mode), 0x80402010u) << "exact copy, alpha too";
    EXPECT_EQ(BlendOne(0xFF336699u, 0x00000000u, 1.0f, mode), 0x00000000u) << "a clear source clears";
    // Weight 0.25: Mul(s, 64) + Mul(d, 191). Opaque black onto white: 0 + 191.
    EXPECT_EQ(BlendOne(0xFFFFFFFFu, 0xFF000000u, 0.25f, mode), 0xFFBFBFBFu);
    // Half source onto clear: 32, 16, 8, 4 as for SourceOver.
    EXPECT_EQ(BlendOne(0x00000000u, 0x80402010u, 0.25f, mode), 0x20100804u);
    // Light grey onto opaque black at 0.25: Mul(191, 64) = 48 (47.94), not 47.
    EXPECT_EQ(BlendOne(0xFF000000u, 0xFFBFBFBFu, 0.25f, mode), 0xFF303030u);
    // Weight 0.5 (128) both ways with 3: Mul(3, 128) = 2 (1.506) going up,
    // Mul(3, 127) = 1 (1.494) coming down.
    EXPECT_EQ(BlendOne(0x00000000u, 0x03030303u, 0.5f, mode), 0x02020202u);
    EXPECT_EQ(BlendOne(0x03030303u, 0x00000000u, 0.5f, mode), 0x01010101u);
    // Weight 0.5 (128) of clear onto 0xFF804020: Mul(d, 127): 255 -> 127,
    // 128 -> 64 (63.75), 64 -> 32 (31.87), 32 -> 16 (15.94).
    EXPECT_EQ(BlendOne(0xFF804020u, 0x00000000u, 0.5f, mode), 0x7F402010u);
    // s = d stays: 128: 64 (64.25) + 64 (63.75); 64: 32 (32.1) + 32 (31.9);
    // 32: 16 (16.06) + 16 (15.94); 16: 8 (8.03) + 8 (7.97).
    EXPECT_EQ(BlendOne(0x80402010u, 0x80402010u, 0.5f, mode), 0x80402010u);
    EXPECT_EQ(BlendOne(0xFF336699u, 0x00000000u, 0.0f, mode), 0xFF336699u) << "weight 0";
}

TEST(RasterBlendModes, AddSumsChannelsAndSaturates) {
    const auto mode = RasterBlend::Add;
    EXPECT_EQ(BlendOne(0x40102030u, 0x80402010u, 1.0f, mode), 0xC0504040u);
    // 0xC0 + 0x60 = 288 and 0x80 + 0x80 = 256 stop at 255; 0x40 + 0x20 = 0x60.
    EXPECT_EQ(BlendOne(0x80608020u, 0xFFC08040u, 1.0f, mode), 0xFFFFFF60u);
    EXPECT_EQ(BlendOne(0xFF336699u, 0x00000000u, 1.0f, mode), 0xFF336699u) << "transparent source";
    // Weight 0.25: white scaled to 64 each, 0x80 + 0x40 = 0xC0.
    EXPECT_EQ(BlendOne(0x80808080u, 0xFFFFFFFFu, 0.25f, mode), 0xC0C0C0C0u);
}

TEST(RasterBlendModes, MultiplyDarkensAndKeepsEachSideWhereTheOtherIsClear) {
    const auto mode = RasterBlend::Multiply;
    // Both opaque: Mul(s, d): 128 * 255 -> 128; 128 * 128 -> 64 (64.25); 128 * 64 -> 32 (32.1).
    EXPECT_EQ(BlendOne(0xFFFF8040u, 0xFF808080u, 1.0f, mode), 0xFF804020u);
    EXPECT_EQ(BlendOne(0xFF336699u, 0x00000000u, 1.0f, mode), 0xFF336699u) << "transparent source";
    EXPECT_EQ(BlendOne(0x00000000u, 0x80402010u, 1.0f, mode), 0x80402010u) << "onto a clear destination";
    // Half 0x80402010 onto opaque 0xFF804020 (255 - s'a = 127, 255 - da = 0):
    // red (64 * 128 + 128 * 127) / 255 = 24448 / 255 = 95.87 -> 96
    // green (32 * 64 + 64 * 127) / 255 = 10176 / 255 = 39.91 -> 40
    // blue (16 * 32 + 32 * 127) / 255 = 4576 / 255 = 17.95 -> 18
    EXPECT_EQ(BlendOne(0xFF804020u, 0x80402010u, 1.0f, mode), 0xFF602812u);
    // Both half, d = 0x80200040 (127 = 255 - 128 on both sides):
    // red (64 * 32 + 64 * 127 + 32 * 127) / 255 = 14240 / 255 = 55.84 -> 56
    // green (0 + 32 * 127 + 0) / 255 = 4064 / 255 = 15.94 -> 16
    // blue (16 * 64 + 16 * 127 + 64 * 127) / 255 = 11184 / 255 = 43.86 -> 44
    // alpha 128 + Mul(128, 127) = 128 + 64 (63.75)
    EXPECT_EQ(BlendOne(0x80200040u, 0x80402010u, 1.0f, mode), 0xC038102Cu);
    // Weight 0.25 of opaque black onto white: s' = 0x40000000, each colour
    // (0 + 0 + 255 * 191) / 255 = 191; alpha 64 + Mul(255, 191) = 255.
    EXPECT_EQ(BlendOne(0xFFFFFFFFu, 0xFF000000u, 0.25f, mode), 0xFFBFBFBFu);
}

TEST(RasterBlendModes, EveryModeBlendsAWholeRectangleAlike) {
    // A 3 x 2 source, each pixel 0x80402010, over a destination of
    // 0xFFFFFFFF: every pixel gets the single-pixel result worked out above.
    RasterBitmap src(3, 2);
    src.Fill(0x80402010u);
    const std::pair<RasterBlend, std::uint32_t> cases[] = {
        {RasterBlend::SourceOver, 0xFFBF9F8Fu},
        {RasterBlend::Copy, 0x80402010u},
        {RasterBlend::Add, 0xFFFFFFFFu},
        {RasterBlend::Multiply, 0xFFBF9F8Fu},  // times white is the same as over
    };
    for (const auto& [mode, expected] : cases) {
        RasterBitmap dest(5, 4);
        dest.Fill(0xFFFFFFFFu);
        RasterBlit(dest, {1, 1, 4, 3}, src, 0, 0, kEverywhere, 1.0f, mode);
        for (int y = 1; y < 3; ++y) {
            for (int x = 1; x < 4; ++x) EXPECT_EQ(dest.At(x, y), expected) << static_cast<int>(mode);
        }
        EXPECT_EQ(ChangedOutside(dest, {1, 1, 4, 3}, 0xFFFFFFFFu), 0);
    }
}

TEST(RasterBlendModes, EveryChannelValueFollowsTheLawExactly) {
    // The laws computed channel by channel here, rounding by integer
    // division, against the blits on every 8-bit value.
    auto mul = [](std::uint32_t a, std::uint32_t b) { return (2 * a * b + 255) / 510; };
    auto channel = [](std::uint32_t p, int i) { return (p >> (24 - 8 * i)) & 255u; };
    auto pack = [](std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return a << 24 | r << 16 | g << 8 | b;
    };

    // Copy at weight w onto clear is Mul(s, w) on each channel: each of the
    // 256 weights on a row of 256 pixels whose channels run differently.
    RasterBitmap row(256, 1);
    for (std::uint32_t i = 0; i < 256; ++i) {
        row.Set(static_cast<int>(i), 0, pack(i, 255 - i, i ^ 0xA5u, (i * 37) & 255u));
    }
    for (std::uint32_t w = 0; w < 256; ++w) {
        RasterBitmap dest(256, 1);
        RasterBlit(dest, {0, 0, 256, 1}, row, 0, 0, kEverywhere, static_cast<float>(w) / 255.0f, RasterBlend::Copy);
        for (int x = 0; x < 256; ++x) {
            for (int c = 0; c < 4; ++c) {
                ASSERT_EQ(channel(dest.At(x, 0), c), mul(channel(row.At(x, 0), c), w)) << "w " << w << " x " << x;
            }
        }
    }

    // Over and Add on 256 x 256 pairs: source alpha x with colours no
    // larger (premultiplied), destination channels running with y.
    RasterBitmap src(256, 256);
    RasterBitmap base(256, 256);
    for (std::uint32_t y = 0; y < 256; ++y) {
        for (std::uint32_t x = 0; x < 256; ++x) {
            src.Set(static_cast<int>(x), static_cast<int>(y), pack(x, std::min(x, y), x / 2, x & y));
            base.Set(static_cast<int>(x), static_cast<int>(y), pack(y, 255 - y, (x + y) & 255u, y / 3));
        }
    }
    RasterBitmap over(256, 256);
    RasterBitmap add(256, 256);
    RasterBlit(over, {0, 0, 256, 256}, base, 0, 0, kEverywhere, 1.0f, RasterBlend::Copy);
    RasterBlit(add, {0, 0, 256, 256}, base, 0, 0, kEverywhere, 1.0f, RasterBlend::Copy);
    RasterBlit(over, {0, 0, 256, 256}, src, 0, 0, kEverywhere, 1.0f, RasterBlend::SourceOver);
    RasterBlit(add, {0, 0, 256, 256}, src, 0, 0, kEverywhere, 1.0f, RasterBlend::Add);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const std::uint32_t s = src.At(x, y);
            const std::uint32_t d = base.At(x, y);
            for (int c = 0; c < 4; ++c) {
                const std::uint32_t sc = channel(s, c);
                const std::uint32_t dc = channel(d, c);
                ASSERT_EQ(channel(over.At(x, y), c), sc + mul(dc, 255 - (s >> 24))) << x << ", " << y;
                ASSERT_EQ(channel(add.At(x, y), c), std::min(255u, sc + dc)) << x << ", " << y;
            }
        }
    }
}

// --- Blit clipping -------------------------------------------------------------

namespace {

constexpr std::uint32_t kUntouched = 0x11111111u;

// Source pixel (x, y) of the 4 x 3 test source.
constexpr std::uint32_t SourcePixel(int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(x + 1) << 8 | static_cast<std::uint32_t>(y + 1);
}

RasterBitmap TestSource() {
    RasterBitmap src(4, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) src.Set(x, y, SourcePixel(x, y));
    }
    return src;
}

struct ClipCase {
    const char* what;
    RasterRect destRect;
    int srcX, srcY;
    RasterRect clip;
    RasterRect touched;  // the destination pixels written, worked out by hand
    int shiftX, shiftY;  // destination = source + shift there
};

// Copies the 4 x 3 source into an 8 x 6 destination of kUntouched.
void CheckClipCase(const ClipCase& c) {
    const RasterBitmap src = TestSource();
    RasterBitmap dest(8, 6);
    dest.Fill(kUntouched);
    RasterBlit(dest, c.destRect, src, c.srcX, c.srcY, c.clip, 1.0f, RasterBlend::Copy);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t expected =
                c.touched.Contains(x, y) ? SourcePixel(x - c.shiftX, y - c.shiftY) : kUntouched;
            EXPECT_EQ(dest.At(x, y), expected) << c.what << " at " << x << ", " << y;
        }
    }
}

}  // namespace

TEST(RasterBlitClipping, ClipsAtEveryEdgeOfTheClip) {
    const RasterRect all{0, 0, 8, 6};
    const ClipCase cases[] = {
        {"no clipping", {2, 1, 6, 4}, 0, 0, all, {2, 1, 6, 4}, 2, 1},
        {"clip left", {2, 1, 6, 4}, 0, 0, {3, 0, 8, 6}, {3, 1, 6, 4}, 2, 1},
        {"clip top", {2, 1, 6, 4}, 0, 0, {0, 2, 8, 6}, {2, 2, 6, 4}, 2, 1},
        {"clip right", {2, 1, 6, 4}, 0, 0, {0, 0, 5, 6}, {2, 1, 5, 4}, 2, 1},
        {"clip bottom", {2, 1, 6, 4}, 0, 0, {0, 0, 8, 3}, {2, 1, 6, 3}, 2, 1},
        {"clip inside on all sides", {2, 1, 6, 4}, 0, 0, {3, 2, 4, 3}, {3, 2, 4, 3}, 2, 1},
        {"empty clip", {2, 1, 6, 4}, 0, 0, {4, 4, 4, 5}, {}, 0, 0},
        {"clip apart", {2, 1, 6, 4}, 0, 0, {6, 4, 8, 6}, {}, 0, 0},
    };
    for (const ClipCase& c : cases) CheckClipCase(c);
}

TEST(RasterBlitClipping, ClipsAtEveryEdgeOfTheDestination) {
    const ClipCase cases[] = {
        // Destination x 0 takes source x 2.
        {"dest left", {-2, 1, 2, 4}, 0, 0, kEverywhere, {0, 1, 2, 4}, -2, 1},
        {"dest top", {1, -1, 5, 2}, 0, 0, kEverywhere, {1, 0, 5, 2}, 1, -1},
        {"dest right", {6, 0, 10, 3}, 0, 0, kEverywhere, {6, 0, 8, 3}, 6, 0},
        {"dest bottom", {0, 4, 4, 7}, 0, 0, kEverywhere, {0, 4, 4, 6}, 0, 4},
        {"outside the destination", {8, 0, 12, 3}, 0, 0, kEverywhere, {}, 0, 0},
        {"empty rectangle", {3, 3, 3, 6}, 0, 0, kEverywhere, {}, 0, 0},
    };
    for (const ClipCase& c : cases) CheckClipCase(c);
}

TEST(RasterBlitClipping, SkipsPixelsOutsideTheSource) {
    const ClipCase cases[] = {
        // Destination (x, y) takes source (2 + x, 1 + y): x < 2, y < 2.
        {"src right and bottom", {0, 0, 8, 6}, 2, 1, kEverywhere, {0, 0, 2, 2}, -2, -1},
        // Source (x - 3 - 2, y - 2 - 1): x >= 5, y >= 3.
        {"negative source offsets", {3, 2, 8, 6}, -2, -1, kEverywhere, {5, 3, 8, 6}, 5, 3},
        // Source (x - 2, y - 6): no source row.
        {"all rows above the source", {0, 0, 8, 6}, -2, -6, kEverywhere, {}, 0, 0},
        {"source past its end", {0, 0, 8, 6}, 4, 0, kEverywhere, {}, 0, 0},
        // Source (INT_MIN + x - INT_MIN) = x: the edges cancel without overflow.
        {"extreme offsets cancelling", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, INT_MIN, INT_MIN, kEverywhere,
         {0, 0, 4, 3}, 0, 0},
        {"extreme source offset", {0, 0, 8, 6}, INT_MAX, INT_MAX, kEverywhere, {}, 0, 0},
        {"extreme negative source offset", {0, 0, 8, 6}, INT_MIN, INT_MIN, kEverywhere, {}, 0, 0},
        {"extreme destination", {INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX}, INT_MIN, INT_MIN, kEverywhere, {}, 0, 0},
    };
    for (const ClipCase& c : cases) CheckClipCase(c);
}

TEST(RasterBlitClipping, EmptyBitmapsDrawNothing) {
    const RasterBitmap none;
    RasterBitmap dest(3, 3);
    dest.Fill(kUntouched);
    RasterBlit(dest, {0, 0, 3, 3}, none, 0, 0, kEverywhere);
    EXPECT_EQ(ChangedOutside(dest, {}, kUntouched), 0);
    RasterBitmap emptyDest;
    const RasterBitmap src = TestSource();
    RasterBlit(emptyDest, {0, 0, 3, 3}, src, 0, 0, kEverywhere);
    EXPECT_TRUE(emptyDest.IsEmpty());
}

TEST(RasterBlitClipping, OverlappingBlitOntoItselfMovesTheAreaAsAWhole) {
    RasterBitmap row(6, 1);
    RasterBitmap column(1, 6);
    auto reset = [&] {
        for (int i = 0; i < 6; ++i) {
            row.Set(i, 0, 0xFF000001u + static_cast<std::uint32_t>(i));
            column.Set(0, i, 0xFF000001u + static_cast<std::uint32_t>(i));
        }
    };
    auto values = [](const RasterBitmap& b) {
        std::vector<std::uint32_t> v;
        for (int y = 0; y < b.Height(); ++y) {
            for (int x = 0; x < b.Width(); ++x) v.push_back(b.At(x, y) - 0xFF000000u);
        }
        return v;
    };
    using V = std::vector<std::uint32_t>;
    reset();
    RasterBlit(row, {2, 0, 6, 1}, row, 0, 0, kEverywhere, 1.0f, RasterBlend::Copy);  // right by 2
    EXPECT_EQ(values(row), (V{1, 2, 1, 2, 3, 4}));
    RasterBlit(column, {0, 2, 1, 6}, column, 0, 0, kEverywhere, 1.0f, RasterBlend::Copy);  // down by 2
    EXPECT_EQ(values(column), (V{1, 2, 1, 2, 3, 4}));
    reset();
    RasterBlit(row, {0, 0, 4, 1}, row, 2, 0, kEverywhere, 1.0f, RasterBlend::Copy);  // left by 2
    EXPECT_EQ(values(row), (V{3, 4, 5, 6, 5, 6}));
    RasterBlit(column, {0, 0, 1, 4}, column, 0, 2, kEverywhere, 1.0f, RasterBlend::Copy);  // up by 2
    EXPECT_EQ(values(column), (V{3, 4, 5, 6, 5, 6}));
}

// --- Frame strips ----------------------------------------------------------------

TEST(RasterBlitFrames, OffsetsOfA128FrameStripLandTheRightFrame) {
    // 128 frames of 30 x 30 stacked in a 30 x 3840 strip; frame f (1-based)
    // is rows (f - 1) * 30 .. f * 30 - 1, all of the value 0xFF000000 | f << 8 | (255 - f).
    auto frameValue = [](int f) {
        return 0xFF000000u | static_cast<std::uint32_t>(f) << 8 | static_cast<std::uint32_t>(255 - f);
    };
    RasterBitmap strip(30, 3840);
    for (int f = 1; f <= 128; ++f) {
        for (int y = (f - 1) * 30; y < f * 30; ++y) {
            for (int x = 0; x < 30; ++x) strip.Set(x, y, frameValue(f));
        }
    }
    auto blitFrame = [&](int srcY) {
        RasterBitmap dest(32, 32);  // one pixel of margin around the frame
        RasterBlit(dest, {1, 1, 31, 31}, strip, 0, srcY, kEverywhere);
        return dest;
    };
    auto expectFrame = [&](const RasterBitmap& dest, int f) {
        for (int y = 1; y < 31; ++y) {
            for (int x = 1; x < 31; ++x) ASSERT_EQ(dest.At(x, y), frameValue(f)) << "frame " << f;
        }
        EXPECT_EQ(ChangedOutside(dest, {1, 1, 31, 31}, 0u), 0) << "frame " << f;
    };
    // Frame 1: trunc(0 * 30 + 0.5) = 0. Frame 128: trunc(127 * 30 + 0.5) = 3810.
    expectFrame(blitFrame(0), 1);
    expectFrame(blitFrame(3810), 128);
    {
        const RasterBitmap last = blitFrame(3810);
        EXPECT_EQ(last.At(1, 1), 0xFF00807Fu);    // 128 << 8 | 127
        EXPECT_EQ(last.At(30, 30), 0xFF00807Fu);  // strip row 3839, the last
    }
    for (int f = 2; f < 128; ++f) {
        const int srcY = static_cast<int>(std::trunc((f - 1) * 30 + 0.5));
        expectFrame(blitFrame(srcY), f);
    }
}

// --- Lines -------------------------------------------------------------------------

namespace {

RasterBitmap Line(int w, int h, int x1, int y1, int x2, int y2, bool antiAliased, RasterColor colour = kWhite,
                  float alpha = 1.0f, RasterRect clip = kEverywhere) {
    RasterBitmap dest(w, h);
    RasterDrawLine(dest, x1, y1, x2, y2, colour, alpha, antiAliased, clip);
    return dest;
}

// The pixels that are not 0, row by row, with their values.
using PixelList = std::vector<std::pair<std::pair<int, int>, std::uint32_t>>;

PixelList Pixels(const RasterBitmap& b) {
    PixelList out;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            if (b.At(x, y) != 0) out.push_back({{x, y}, b.At(x, y)});
        }
    }
    return out;
}

}  // namespace

TEST(RasterLine, BresenhamPicksTheNearestPixelInEachColumn) {
    // y = 2x / 5 at x = 0..5: 0, 0.4, 0.8, 1.2, 1.6, 2 -> 0, 0, 1, 1, 2, 2.
    const Points shallow{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}};
    EXPECT_EQ(Drawn(Line(8, 4, 0, 0, 5, 2, false)), shallow);
    EXPECT_EQ(Drawn(Line(8, 4, 5, 2, 0, 0, false)), shallow) << "drawn backwards";
    // Steep: x = 2y / 5.
    const Points steep{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
    EXPECT_EQ(Drawn(Line(4, 8, 0, 0, 2, 5, false)), steep);
    EXPECT_EQ(Drawn(Line(4, 8, 2, 5, 0, 0, false)), steep);
    // y = x / 2 at x = 1 is 0.5: a half goes to the larger y, either way round.
    EXPECT_EQ(Drawn(Line(4, 4, 0, 0, 2, 1, false)), (Points{{0, 0}, {1, 1}, {2, 1}}));
    EXPECT_EQ(Drawn(Line(4, 4, 2, 1, 0, 0, false)), (Points{{0, 0}, {1, 1}, {2, 1}}));
    // y = 2 - x / 2: 2, 1.5, 1, 0.5, 0 -> 2, 2, 1, 1, 0.
    EXPECT_EQ(Drawn(Line(6, 4, 0, 2, 4, 0, false)), (Points{{0, 2}, {1, 2}, {2, 1}, {3, 1}, {4, 0}}));
    // Every pixel is opaque white.
    const RasterBitmap line = Line(8, 4, 0, 0, 5, 2, false);
    for (const auto& [x, y] : shallow) EXPECT_EQ(line.At(x, y), 0xFFFFFFFFu);
}

TEST(RasterLine, StraightDiagonalAndSinglePointLines) {
    for (bool aa : {false, true}) {
        EXPECT_EQ(Drawn(Line(6, 4, 1, 1, 4, 1, aa)), (Points{{1, 1}, {2, 1}, {3, 1}, {4, 1}})) << aa;
        EXPECT_EQ(Drawn(Line(6, 4, 2, 3, 2, 0, aa)), (Points{{2, 0}, {2, 1}, {2, 2}, {2, 3}})) << aa;
        EXPECT_EQ(Drawn(Line(6, 4, 0, 0, 3, 3, aa)), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}})) << aa;
        EXPECT_EQ(Drawn(Line(6, 4, 3, 0, 0, 3, aa)), (Points{{3, 0}, {2, 1}, {1, 2}, {0, 3}})) << aa;
        EXPECT_EQ(Drawn(Line(6, 4, 3, 2, 3, 2, aa)), (Points{{3, 2}})) << aa;
        // All of them at full coverage.
        const RasterBitmap diagonal = Line(6, 4, 0, 0, 3, 3, aa);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(diagonal.At(i, i), 0xFFFFFFFFu) << aa;
    }
}

TEST(RasterLine, EndPointsAreAlwaysDrawnAtFullCoverage) {
    const int lines[][4] = {{0, 0, 9, 4}, {9, 4, 0, 0}, {1, 7, 8, 2}, {3, 0, 5, 7}, {6, 6, 0, 1}, {2, 5, 9, 6}};
    for (bool aa : {false, true}) {
        for (const auto& l : lines) {
            const RasterBitmap line = Line(10, 8, l[0], l[1], l[2], l[3], aa);
            EXPECT_EQ(line.At(l[0], l[1]), 0xFFFFFFFFu) << aa << " " << l[0] << "," << l[1];
            EXPECT_EQ(line.At(l[2], l[3]), 0xFFFFFFFFu) << aa << " " << l[2] << "," << l[3];
        }
    }
}

TEST(RasterLine, AntiAliasedCoverageSplitsBetweenTheTwoNearestPixels) {
    // (0,0)-(4,1): m = t / 4. Far pixel round(255 * frac), near 255 - that:
    // t 1: 63.75 -> 64 (0x40), near 191 (0xBF); t 2: 127.5 -> 128 (0x80),
    // near 127 (0x7F); t 3: 191.25 -> 191, near 64. White at alpha c is c,c,c,c.
    const PixelList shallow{{{0, 0}, 0xFFFFFFFFu}, {{1, 0}, 0xBFBFBFBFu}, {{2, 0}, 0x7F7F7F7Fu},
                            {{3, 0}, 0x40404040u}, {{1, 1}, 0x40404040u}, {{2, 1}, 0x80808080u},
                            {{3, 1}, 0xBFBFBFBFu}, {{4, 1}, 0xFFFFFFFFu}};
    EXPECT_EQ(Pixels(Line(6, 3, 0, 0, 4, 1, true)), shallow);
    EXPECT_EQ(Pixels(Line(6, 3, 4, 1, 0, 0, true)), shallow) << "drawn backwards";
    // Steep (0,0)-(1,4): the same with x and y swapped.
    const PixelList steep{{{0, 0}, 0xFFFFFFFFu}, {{0, 1}, 0xBFBFBFBFu}, {{1, 1}, 0x40404040u},
                          {{0, 2}, 0x7F7F7F7Fu}, {{1, 2}, 0x80808080u}, {{0, 3}, 0x40404040u},
                          {{1, 3}, 0xBFBFBFBFu}, {{1, 4}, 0xFFFFFFFFu}};
    EXPECT_EQ(Pixels(Line(3, 6, 0, 0, 1, 4, true)), steep);
    // Falling (0,1)-(4,0): m = 1 - t / 4 = 0.75, 0.5, 0.25: row 1 gets
    // 191, 128 (the half goes up to the larger y), 64; row 0 the rest.
    const PixelList falling{{{1, 0}, 0x40404040u}, {{2, 0}, 0x7F7F7F7Fu}, {{3, 0}, 0xBFBFBFBFu},
                            {{4, 0}, 0xFFFFFFFFu}, {{0, 1}, 0xFFFFFFFFu}, {{1, 1}, 0xBFBFBFBFu},
                            {{2, 1}, 0x80808080u}, {{3, 1}, 0x40404040u}};
    EXPECT_EQ(Pixels(Line(6, 3, 0, 1, 4, 0, true)), falling);
}

TEST(RasterLine, AlphaScalesTheLineAndEachPixelIsLaidOverOnce) {
    // Colour alpha 128 at alpha 0.5: a8 = Mul(128, 128) = 64 (64.25); red
    // premultiplied Mul(255, 64) = 64. Over opaque blue: blue Mul(255, 191) = 191.
    RasterBitmap dest(6, 3);
    dest.Fill(0xFF0000FFu);
    RasterDrawLine(dest, 0, 1, 5, 1, {128, 255, 0, 0}, 0.5f, false, kEverywhere);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dest.At(x, 1), 0xFF4000BFu) << x;
    EXPECT_EQ(ChangedOutside(dest, {0, 1, 6, 2}, 0xFF0000FFu), 0);

    // White at 0.5 (a8 128) on clear: every pixel exactly 0x80808080, none
    // blended twice.
    const RasterBitmap sloped = Line(8, 4, 0, 0, 5, 2, false, kWhite, 0.5f);
    EXPECT_EQ(Drawn(sloped).size(), 6u);
    for (const auto& [x, y] : Drawn(sloped)) EXPECT_EQ(sloped.At(x, y), 0x80808080u) << x << "," << y;

    // Anti-aliased at a8 128: t 1 gives Mul(128, 191) = 96 (95.87) near and
    // Mul(128, 64) = 32 (32.1) far; the end points 128.
    const RasterBitmap aa = Line(6, 3, 0, 0, 4, 1, true, kWhite, 0.5f);
    EXPECT_EQ(aa.At(0, 0), 0x80808080u);
    EXPECT_EQ(aa.At(1, 0), 0x60606060u);
    EXPECT_EQ(aa.At(1, 1), 0x20202020u);
    EXPECT_EQ(aa.At(4, 1), 0x80808080u);

    EXPECT_TRUE(Drawn(Line(6, 3, 0, 0, 4, 1, true, kWhite, 0.0f)).empty()) << "alpha 0";
    EXPECT_TRUE(Drawn(Line(6, 3, 0, 0, 4, 1, false, {0, 255, 255, 255})).empty()) << "clear colour";
}

TEST(RasterLine, ClipsToTheClipAndTheDestination) {
    // Diagonal through a 6 x 6 clipped to {1,1,4,4}.
    EXPECT_EQ(Drawn(Line(6, 6, -5, -5, 10, 10, false, kWhite, 1.0f, {1, 1, 4, 4})),
              (Points{{1, 1}, {2, 2}, {3, 3}}));
    // (0,0)-(5,2) clipped to columns 2..3 keeps its own pixels there.
    EXPECT_EQ(Drawn(Line(8, 4, 0, 0, 5, 2, false, kWhite, 1.0f, {2, 0, 4, 4})), (Points{{2, 1}, {3, 1}}));
    // (0,0)-(4,1) anti-aliased, clipped to rows 1..2: row 1 as unclipped.
    const PixelList lower{{{1, 1}, 0x40404040u}, {{2, 1}, 0x80808080u}, {{3, 1}, 0xBFBFBFBFu},
                          {{4, 1}, 0xFFFFFFFFu}};
    EXPECT_EQ(Pixels(Line(6, 3, 0, 0, 4, 1, true, kWhite, 1.0f, {0, 1, 6, 3})), lower);
    // A long line crossing the bitmap only touches the row it lies on.
    EXPECT_EQ(Drawn(Line(6, 4, -1000000, 2, 1000000, 2, false)),
              (Points{{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}));
    // Slope 1/1000 from (-3000, 0): at x = 0..5, y = 3.000 .. 3.005 -> 3.
    EXPECT_EQ(Drawn(Line(6, 5, -3000, 0, 997000, 1000, false)),
              (Points{{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}}));
    // Entirely outside, empty clip, and end points beyond the limit draw nothing.
    EXPECT_TRUE(Drawn(Line(6, 4, 7, 0, 9, 3, true)).empty());
    EXPECT_TRUE(Drawn(Line(6, 4, 0, 0, 5, 3, true, kWhite, 1.0f, {2, 2, 2, 4})).empty());
    EXPECT_TRUE(Drawn(Line(6, 4, -(1 << 25), 1, 5, 1, false)).empty());
    EXPECT_TRUE(Drawn(Line(6, 4, INT_MIN, INT_MIN, INT_MAX, INT_MAX, true)).empty());
    RasterBitmap none;
    RasterDrawLine(none, 0, 0, 5, 5, kWhite, 1.0f, true, kEverywhere);
    EXPECT_TRUE(none.IsEmpty());
}

// --- Filled rectangles -----------------------------------------------------------

TEST(RasterFill, FillsWithTheColourAtAlphaInsideTheClip) {
    RasterBitmap dest(6, 4);
    RasterFillRect(dest, {1, 1, 4, 3}, {255, 255, 0, 0}, 1.0f, kEverywhere);
    for (int y = 1; y < 3; ++y) {
        for (int x = 1; x < 4; ++x) EXPECT_EQ(dest.At(x, y), 0xFFFF0000u);
    }
    EXPECT_EQ(ChangedOutside(dest, {1, 1, 4, 3}, 0u), 0);

    // Opaque blue at 0.25: Mul(255, 64) = 64 -> 0x40000040; over white
    // 64 + 191 = 255 for alpha and blue, 0 + 191 for red and green.
    dest.Fill(0xFFFFFFFFu);
    RasterFillRect(dest, {0, 0, 6, 4}, {255, 0, 0, 255}, 0.25f, kEverywhere);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) EXPECT_EQ(dest.At(x, y), 0xFFBFBFFFu);
    }

    // Opaque red at 0.5: 0x80800000 over opaque blue keeps 127 of it.
    dest.Fill(0xFF0000FFu);
    RasterFillRect(dest, {0, 0, 6, 4}, {255, 255, 0, 0}, 0.5f, kEverywhere);
    EXPECT_EQ(dest.At(0, 0), 0xFF80007Fu);
    EXPECT_EQ(dest.At(5, 3), 0xFF80007Fu);

    // Colour alpha 128 at 0.5: a8 64 (64.25); white premultiplied 64 each.
    dest.Fill(0);
    RasterFillRect(dest, {-3, -3, 100, 100}, {128, 255, 255, 255}, 0.5f, {2, 1, 5, 3});
    for (int y = 1; y < 3; ++y) {
        for (int x = 2; x < 5; ++x) EXPECT_EQ(dest.At(x, y), 0x40404040u);
    }
    EXPECT_EQ(ChangedOutside(dest, {2, 1, 5, 3}, 0u), 0);

    // Extreme edges fill the whole clip; alpha 0 and empty rectangles nothing.
    dest.Fill(0);
    RasterFillRect(dest, kEverywhere, kWhite, 1.0f, {4, 2, 9, 9});
    EXPECT_EQ(Drawn(dest), (Points{{4, 2}, {5, 2}, {4, 3}, {5, 3}}));
    dest.Fill(0);
    RasterFillRect(dest, {0, 0, 6, 4}, kWhite, 0.0f, kEverywhere);
    RasterFillRect(dest, {3, 0, 3, 4}, kWhite, 1.0f, kEverywhere);
    RasterFillRect(dest, {0, 0, 6, 4}, kWhite, 1.0f, {});
    EXPECT_TRUE(Drawn(dest).empty());
}

// --- Coverage masks --------------------------------------------------------------

TEST(RasterCoverage, LaysTheColourOverThroughTheMask) {
    // 3 x 2 mask in rows of 4 bytes; the fourth byte of each row (200) is padding.
    const std::uint8_t mask[] = {0, 128, 255, 200, 64, 255, 0, 200};
    RasterBitmap dest(6, 4);
    // Opaque white: the alpha is the coverage, white premultiplied c,c,c,c.
    RasterBlendCoverage(dest, 1, 1, mask, 3, 2, 4, kWhite, 1.0f, kEverywhere);
    const PixelList white{{{2, 1}, 0x80808080u}, {{3, 1}, 0xFFFFFFFFu}, {{1, 2}, 0x40404040u},
                          {{2, 2}, 0xFFFFFFFFu}};
    EXPECT_EQ(Pixels(dest), white);

    // Colour alpha 128, coverage 128 over opaque black: alpha
    // Mul(Mul(128, 255), 128) = Mul(128, 128) = 64; red Mul(255, 64) = 64;
    // over black: alpha 64 + 191.
    RasterBitmap black(3, 1);
    black.Fill(0xFF000000u);
    const std::uint8_t half[] = {128, 128, 128};
    RasterBlendCoverage(black, 0, 0, half, 3, 1, 3, {128, 255, 0, 0}, 1.0f, kEverywhere);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(black.At(x, 0), 0xFF400000u);

    // Opaque red at alpha 0.5, full coverage: Mul(Mul(255, 128), 255) = 128.
    RasterBitmap clear(3, 1);
    const std::uint8_t full[] = {255, 255, 255};
    RasterBlendCoverage(clear, 0, 0, full, 3, 1, 3, {255, 255, 0, 0}, 0.5f, kEverywhere);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(clear.At(x, 0), 0x80800000u);
}

TEST(RasterCoverage, ClipsAndRefusesBadMasks) {
    const std::uint8_t mask[] = {0, 128, 255, 200, 64, 255, 0, 200};
    // At (-1, -1): mask (i, j) lands on (i - 1, j - 1); only row 1, columns
    // 1 and 2 land inside: (0, 0) <- 255, (1, 0) <- 0.
    RasterBitmap dest(6, 4);
    RasterBlendCoverage(dest, -1, -1, mask, 3, 2, 4, kWhite, 1.0f, kEverywhere);
    EXPECT_EQ(Pixels(dest), (PixelList{{{0, 0}, 0xFFFFFFFFu}}));
    // At (4, 3): only mask (0, 0) (0) and (1, 0) (128) land inside.
    dest.Fill(0);
    RasterBlendCoverage(dest, 4, 3, mask, 3, 2, 4, kWhite, 1.0f, kEverywhere);
    EXPECT_EQ(Pixels(dest), (PixelList{{{5, 3}, 0x80808080u}}));
    // At (1, 1) clipped to {2, 1, 6, 2}: the first row's last two pixels.
    dest.Fill(0);
    RasterBlendCoverage(dest, 1, 1, mask, 3, 2, 4, kWhite, 1.0f, {2, 1, 6, 2});
    EXPECT_EQ(Pixels(dest), (PixelList{{{2, 1}, 0x80808080u}, {{3, 1}, 0xFFFFFFFFu}}));

    dest.Fill(0);
    RasterBlendCoverage(dest, 0, 0, nullptr, 3, 2, 4, kWhite, 1.0f, kEverywhere);
    RasterBlendCoverage(dest, 0, 0, mask, 0, 2, 4, kWhite, 1.0f, kEverywhere);
    RasterBlendCoverage(dest, 0, 0, mask, 3, -2, 4, kWhite, 1.0f, kEverywhere);
    RasterBlendCoverage(dest, 0, 0, mask, 3, 2, 2, kWhite, 1.0f, kEverywhere);  // rows shorter than the mask
    RasterBlendCoverage(dest, INT_MAX, INT_MAX, mask, 3, 2, 4, kWhite, 1.0f, kEverywhere);
    RasterBlendCoverage(dest, INT_MIN, INT_MIN, mask, 3, 2, 4, kWhite, 1.0f, kEverywhere);
    RasterBlendCoverage(dest, 0, 0, mask, 3, 2, 4, kWhite, 0.0f, kEverywhere);
    EXPECT_TRUE(Drawn(dest).empty());
}
