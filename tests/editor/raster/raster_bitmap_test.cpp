// Raster surfaces: sizes, refusals, pixel access, and on Windows the DIB
// section GDI draws into.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "editor/raster/raster_bitmap.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

// Every pixel of `bitmap` equals `pixel`.
bool AllPixelsAre(const RasterBitmap& bitmap, std::uint32_t pixel) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (bitmap.At(x, y) != pixel) return false;
        }
    }
    return true;
}

void ExpectEmpty(const RasterBitmap& bitmap) {
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_EQ(bitmap.RowPixels(), 0);
}

}  // namespace

TEST(RasterBitmap, NewBitmapIsTransparentBlack) {
    const RasterBitmap bitmap(3, 2);
    EXPECT_FALSE(bitmap.IsEmpty());
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.RowPixels(), 3);
    EXPECT_EQ(bitmap.Bounds(), (RasterRect{0, 0, 3, 2}));
    EXPECT_TRUE(AllPixelsAre(bitmap, 0u));

    const RasterBitmap none;
    ExpectEmpty(none);
}

TEST(RasterBitmap, FillSetAndRowsReachEveryPixel) {
    RasterBitmap bitmap(4, 3);
    bitmap.Fill(0xFF102030u);
    EXPECT_TRUE(AllPixelsAre(bitmap, 0xFF102030u));
    bitmap.Set(3, 2, 0x80402010u);
    bitmap.Set(0, 1, 0x01020304u);
    EXPECT_EQ(bitmap.At(3, 2), 0x80402010u);
    EXPECT_EQ(bitmap.Row(2)[3], 0x80402010u);
    // Row 1 starts 4 pixels after row 0.
    EXPECT_EQ(bitmap.Row(0)[4], 0x01020304u);
    EXPECT_EQ(bitmap.At(2, 2), 0xFF102030u);
}

TEST(RasterBitmap, ResizeClearsTheContents) {
    RasterBitmap bitmap(2, 2);
    bitmap.Fill(0xFFFFFFFFu);
    ASSERT_TRUE(bitmap.Resize(5, 3));
    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(bitmap.RowPixels(), 5);
    EXPECT_TRUE(AllPixelsAre(bitmap, 0u));
    // Same size again still clears.
    bitmap.Fill(0x12345678u);
    ASSERT_TRUE(bitmap.Resize(5, 3));
    EXPECT_TRUE(AllPixelsAre(bitmap, 0u));
}

TEST(RasterBitmap, RefusesBadSizesAndIsLeftEmpty) {
    RasterBitmap bitmap(2, 2);
    EXPECT_FALSE(bitmap.Resize(-1, 5));
    ExpectEmpty(bitmap);
    ASSERT_TRUE(bitmap.Resize(2, 2));
    EXPECT_FALSE(bitmap.Resize(4, -7));
    ExpectEmpty(bitmap);
    EXPECT_FALSE(bitmap.Resize(kRasterMaxSide + 1, 1));
    ExpectEmpty(bitmap);
    // 8192 * 8193 = 67117056 pixels, over the 2^26 = 67108864 allowed.
    EXPECT_FALSE(bitmap.Resize(8192, 8193));
    ExpectEmpty(bitmap);
    EXPECT_FALSE(bitmap.Resize(-2147483647 - 1, -2147483647 - 1));
    ExpectEmpty(bitmap);

    EXPECT_TRUE(bitmap.Resize(0, 7)) << "a zero side is an empty bitmap, not an error";
    ExpectEmpty(bitmap);
    EXPECT_TRUE(bitmap.Resize(kRasterMaxSide, 1)) << "the longest side allowed";
    EXPECT_EQ(bitmap.Width(), 32768);

    const RasterBitmap refused(-3, 3);
    ExpectEmpty(refused);
}

TEST(RasterBitmap, MovingTakesThePixelsAndEmptiesTheSource) {
    RasterBitmap first(2, 2);
    first.Set(1, 1, 0x80402010u);
    RasterBitmap second(std::move(first));
    ExpectEmpty(first);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    ASSERT_EQ(second.Width(), 2);
    EXPECT_EQ(second.At(1, 1), 0x80402010u);

    RasterBitmap third(7, 7);
    third = std::move(second);
    ExpectEmpty(second);  // NOLINT(bugprone-use-after-move)
    ASSERT_EQ(third.Width(), 2);
    EXPECT_EQ(third.At(1, 1), 0x80402010u);
    EXPECT_EQ(third.At(0, 0), 0u);
}

TEST(RasterSysBitmap, ResizesAndHoldsWritablePixels) {
    RasterSysBitmap surface(5, 4);
    ASSERT_FALSE(surface.IsEmpty());
    EXPECT_EQ(surface.Width(), 5);
    EXPECT_EQ(surface.Height(), 4);
    EXPECT_EQ(surface.RowPixels(), 5);
    EXPECT_TRUE(AllPixelsAre(surface, 0u));
    surface.Set(4, 3, 0xFF336699u);
    surface.Set(0, 0, 0x80402010u);
    EXPECT_EQ(surface.At(4, 3), 0xFF336699u);
    EXPECT_EQ(surface.At(0, 0), 0x80402010u);
    surface.Fill(0x11223344u);
    EXPECT_TRUE(AllPixelsAre(surface, 0x11223344u));

    ASSERT_TRUE(surface.Resize(7, 3));
    EXPECT_EQ(surface.Width(), 7);
    EXPECT_EQ(surface.Height(), 3);
    EXPECT_TRUE(AllPixelsAre(surface, 0u));
    surface.Set(6, 2, 0xFFFFFFFFu);
    EXPECT_EQ(surface.At(6, 2), 0xFFFFFFFFu);

    EXPECT_FALSE(surface.Resize(-1, 3));
    ExpectEmpty(surface);
    EXPECT_FALSE(surface.Resize(kRasterMaxSide, kRasterMaxSide));
    ExpectEmpty(surface);
    EXPECT_TRUE(surface.Resize(0, 0));
    ExpectEmpty(surface);
#if defined(_WIN32)
    EXPECT_EQ(surface.DeviceContext(), nullptr);
#endif
    ASSERT_TRUE(surface.Resize(2, 2));
    EXPECT_TRUE(AllPixelsAre(surface, 0u));
#if defined(_WIN32)
    EXPECT_NE(surface.DeviceContext(), nullptr);
#endif
    surface.FlushSystemDrawing();
    EXPECT_TRUE(AllPixelsAre(surface, 0u)) << "flushing with nothing drawn changes nothing";
}

#if defined(_WIN32)
TEST(RasterSysBitmap, GdiDrawsIntoItsPixelsInOurFormat) {
    RasterSysBitmap surface(4, 3);
    auto* context = static_cast<HDC>(surface.DeviceContext());
    ASSERT_NE(context, nullptr);
    surface.Fill(0xFFFFFFFFu);

    // GDI fills write B, G, R and leave the alpha byte 0.
    HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    ASSERT_NE(brush, nullptr);
    const RECT box{1, 1, 3, 2};
    ASSERT_NE(FillRect(context, &box, brush), 0);
    DeleteObject(brush);
    HBRUSH other = CreateSolidBrush(RGB(0xAB, 0xCD, 0xEF));
    ASSERT_NE(other, nullptr);
    HGDIOBJ before = SelectObject(context, other);
    ASSERT_NE(PatBlt(context, 0, 2, 4, 1, PATCOPY), 0);
    SelectObject(context, before);
    DeleteObject(other);
    surface.FlushSystemDrawing();

    EXPECT_EQ(surface.At(1, 1), 0x00123456u);
    EXPECT_EQ(surface.At(2, 1), 0x00123456u);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(surface.At(x, 2), 0x00ABCDEFu) << "x " << x;
    EXPECT_EQ(surface.At(0, 1), 0xFFFFFFFFu) << "outside the box";
    EXPECT_EQ(surface.At(3, 1), 0xFFFFFFFFu);
    EXPECT_EQ(surface.At(1, 0), 0xFFFFFFFFu);

    // Our pixels read back through GDI as a COLORREF, 0x00BBGGRR.
    surface.Set(0, 0, 0xFF102030u);
    EXPECT_EQ(GetPixel(context, 0, 0), static_cast<COLORREF>(0x00302010u));
    EXPECT_EQ(GetPixel(context, 3, 0), static_cast<COLORREF>(0x00FFFFFFu));

    // A resized surface has a fresh context that GDI can still draw into.
    ASSERT_TRUE(surface.Resize(2, 2));
    context = static_cast<HDC>(surface.DeviceContext());
    ASSERT_NE(context, nullptr);
    HBRUSH third = CreateSolidBrush(RGB(0x01, 0x02, 0x03));
    ASSERT_NE(third, nullptr);
    const RECT whole{0, 0, 2, 2};
    ASSERT_NE(FillRect(context, &whole, third), 0);
    DeleteObject(third);
    surface.FlushSystemDrawing();
    EXPECT_EQ(surface.At(0, 0), 0x00010203u);
    EXPECT_EQ(surface.At(1, 1), 0x00010203u);
}
#endif

#if defined(_WIN32)
TEST(RasterSysBitmap, ReleasesItsGdiObjectsOnResizeAndDestruction) {
    // A deleted handle has no object type any more.
    HDC context = nullptr;
    HGDIOBJ section = nullptr;
    {
        RasterSysBitmap surface(8, 8);
        context = static_cast<HDC>(surface.DeviceContext());
        ASSERT_NE(context, nullptr);
        section = GetCurrentObject(context, OBJ_BITMAP);
        EXPECT_EQ(GetObjectType(context), static_cast<DWORD>(OBJ_MEMDC));
        EXPECT_EQ(GetObjectType(section), static_cast<DWORD>(OBJ_BITMAP));
        DIBSECTION dib{};
        ASSERT_EQ(GetObject(section, sizeof dib, &dib), static_cast<int>(sizeof dib)) << "a DIB section";
        EXPECT_EQ(dib.dsBm.bmBits, static_cast<void*>(surface.Row(0)));
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
        EXPECT_EQ(dib.dsBm.bmWidth, 8);
        EXPECT_EQ(dib.dsBm.bmHeight, 8);  // reported positive even top-down; the GDI test shows the order

        ASSERT_TRUE(surface.Resize(0, 0));
        EXPECT_EQ(GetObjectType(context), 0u);
        EXPECT_EQ(GetObjectType(section), 0u);

        ASSERT_TRUE(surface.Resize(4, 4));
        context = static_cast<HDC>(surface.DeviceContext());
        section = GetCurrentObject(context, OBJ_BITMAP);
        EXPECT_EQ(GetObjectType(section), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(context), 0u);
    EXPECT_EQ(GetObjectType(section), 0u);
}
#endif
