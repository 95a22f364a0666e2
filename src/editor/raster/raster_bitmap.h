// Raster surfaces: 32-bit pixels in rows from top to bottom.
//
// Pixel format: one std::uint32_t a pixel, 0xAARRGGBB, colour channels
// premultiplied by alpha (r, g, b <= a). In memory on x86 the bytes are
// B, G, R, A: the layout of a 32-bit top-down Windows DIB section and of an
// X11 ZPixmap of depth 24/32, so the window layers copy rows as they are.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/raster/raster_types.h"

// Larger surfaces are refused: a side longer than this, or more pixels in
// all (256 MiB of pixels).
inline constexpr int kRasterMaxSide = 1 << 15;
inline constexpr std::int64_t kRasterMaxPixels = std::int64_t{1} << 26;

class RasterBitmap {
public:
    RasterBitmap() = default;
    // A bitmap of the given size, every pixel transparent black (0).
    RasterBitmap(int width, int height);
    virtual ~RasterBitmap() = default;

    RasterBitmap(const RasterBitmap&) = delete;
    RasterBitmap& operator=(const RasterBitmap&) = delete;
    // Moving takes the pixels and leaves the source empty. A system
    // surface's pixels stay with it: moving one out of it gives an empty bitmap.
    RasterBitmap(RasterBitmap&& other) noexcept;
    RasterBitmap& operator=(RasterBitmap&& other) noexcept;

    // Changes the size; the contents become transparent black. False (and
    // an empty bitmap) when the memory cannot be had, a size is negative or
    // beyond the limits above. A zero side gives an empty bitmap (true).
    virtual bool Resize(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Pixels from the start of one row to the start of the next.
    int RowPixels() const { return rowPixels_; }
    bool IsEmpty() const { return width_ <= 0 || height_ <= 0 || bits_ == nullptr; }
    RasterRect Bounds() const { return {0, 0, width_, height_}; }

    std::uint32_t* Row(int y) { return bits_ + static_cast<std::ptrdiff_t>(y) * rowPixels_; }
    const std::uint32_t* Row(int y) const { return bits_ + static_cast<std::ptrdiff_t>(y) * rowPixels_; }
    // One pixel; (x, y) must lie inside the bitmap.
    std::uint32_t At(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, std::uint32_t pixel) { Row(y)[x] = pixel; }
    // Every pixel set to one value.
    void Fill(std::uint32_t pixel);

protected:
    // Points the bitmap at memory it does not own (a system surface), or at
    // nothing with a null `bits`; its own memory is released.
    void Adopt(std::uint32_t* bits, int width, int height, int rowPixels);
    // Whether width x height lies within the limits above.
    static bool SizeAllowed(int width, int height);

private:
    std::vector<std::uint32_t> storage_;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int rowPixels_ = 0;
};

// The surface a window copies to the screen. On Windows its pixels are a
// DIB section selected into a memory device context, so GDI can draw into
// it and BitBlt can copy from it; elsewhere it is plain memory.
class RasterSysBitmap : public RasterBitmap {
public:
    RasterSysBitmap() = default;
    RasterSysBitmap(int width, int height);
    ~RasterSysBitmap() override;

    // It owns a system surface, so it stays where it was made.
    RasterSysBitmap(RasterSysBitmap&&) = delete;
    RasterSysBitmap& operator=(RasterSysBitmap&&) = delete;

    bool Resize(int width, int height) override;

    // Lets drawing that GDI has queued on the device context reach the
    // pixels; call it before reading them after GDI drew (nothing elsewhere).
    void FlushSystemDrawing();

#if defined(_WIN32)
    // The memory device context holding the DIB section (an HDC); null while
    // the bitmap is empty. GDI's brush fills write B, G, R and leave the
    // alpha byte 0.
    void* DeviceContext() const { return deviceContext_; }
#endif

private:
#if defined(_WIN32)
    void Release();
    void* deviceContext_ = nullptr;  // HDC
    void* section_ = nullptr;        // HBITMAP
    void* previous_ = nullptr;       // the HGDIOBJ the DC held before
#endif
};
