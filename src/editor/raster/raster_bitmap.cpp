#include "editor/raster/raster_bitmap.h"

#include <algorithm>
#include <new>
#include <utility>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

RasterBitmap::RasterBitmap(int width, int height) { RasterBitmap::Resize(width, height); }

RasterBitmap::RasterBitmap(RasterBitmap&& other) noexcept { *this = std::move(other); }

RasterBitmap& RasterBitmap::operator=(RasterBitmap&& other) noexcept {
    if (this == &other) return *this;
    const bool otherOwnsItsPixels = other.bits_ == nullptr || other.bits_ == other.storage_.data();
    if (!otherOwnsItsPixels) {
        Adopt(nullptr, 0, 0, 0);
        return *this;
    }
    storage_ = std::move(other.storage_);
    bits_ = storage_.empty() ? nullptr : storage_.data();
    width_ = bits_ != nullptr ? other.width_ : 0;
    height_ = bits_ != nullptr ? other.height_ : 0;
    rowPixels_ = bits_ != nullptr ? other.rowPixels_ : 0;
    other.Adopt(nullptr, 0, 0, 0);
    return *this;
}

bool RasterBitmap::SizeAllowed(int width, int height) {
    if (width < 0 || height < 0 || width > kRasterMaxSide || height > kRasterMaxSide) return false;
    return static_cast<std::int64_t>(width) * height <= kRasterMaxPixels;
}

bool RasterBitmap::Resize(int width, int height) {
    // The old pixels go first: the contents are cleared anyway, and a large
    // surface is not held twice.
    Adopt(nullptr, 0, 0, 0);
    if (!SizeAllowed(width, height)) return false;
    if (width == 0 || height == 0) return true;
    try {
        storage_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    } catch (const std::bad_alloc&) {
        storage_ = {};
        return false;
    }
    bits_ = storage_.data();
    width_ = width;
    height_ = height;
    rowPixels_ = width;
    return true;
}

void RasterBitmap::Fill(std::uint32_t pixel) {
    if (IsEmpty()) return;
    for (int y = 0; y < height_; ++y) std::fill_n(Row(y), width_, pixel);
}

void RasterBitmap::Adopt(std::uint32_t* bits, int width, int height, int rowPixels) {
    storage_ = {};
    bits_ = bits;
    const bool some = bits != nullptr;
    width_ = some ? width : 0;
    height_ = some ? height : 0;
    rowPixels_ = some ? rowPixels : 0;
}

RasterSysBitmap::RasterSysBitmap(int width, int height) { RasterSysBitmap::Resize(width, height); }

#if defined(_WIN32)

RasterSysBitmap::~RasterSysBitmap() { Release(); }

void RasterSysBitmap::Release() {
    Adopt(nullptr, 0, 0, 0);
    if (deviceContext_ != nullptr) {
        // The section goes back out of the context before either is deleted.
        if (previous_ != nullptr) SelectObject(static_cast<HDC>(deviceContext_), static_cast<HGDIOBJ>(previous_));
        DeleteDC(static_cast<HDC>(deviceContext_));
    }
    if (section_ != nullptr) DeleteObject(static_cast<HGDIOBJ>(section_));
    deviceContext_ = nullptr;
    section_ = nullptr;
    previous_ = nullptr;
}

bool RasterSysBitmap::Resize(int width, int height) {
    Release();
    if (!SizeAllowed(width, height)) return false;
    if (width == 0 || height == 0) return true;

    HDC context = CreateCompatibleDC(nullptr);
    if (context == nullptr) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows from the top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(context, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        if (section != nullptr) DeleteObject(section);
        DeleteDC(context);
        return false;
    }
    HGDIOBJ previous = SelectObject(context, section);
    if (previous == nullptr || previous == HGDI_ERROR) {
        DeleteObject(section);
        DeleteDC(context);
        return false;
    }
    deviceContext_ = context;
    section_ = section;
    previous_ = previous;
    // 32-bit DIB rows need no padding: a row is `width` pixels.
    Adopt(static_cast<std::uint32_t*>(bits), width, height, width);
    Fill(0);
    return true;
}

void RasterSysBitmap::FlushSystemDrawing() { GdiFlush(); }

#else

RasterSysBitmap::~RasterSysBitmap() = default;

bool RasterSysBitmap::Resize(int width, int height) { return RasterBitmap::Resize(width, height); }

void RasterSysBitmap::FlushSystemDrawing() {}

#endif
