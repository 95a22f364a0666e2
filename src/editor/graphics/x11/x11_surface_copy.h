// Copies rectangles of raster bitmaps (0xAARRGGBB, opaque here) to X
// drawables of one visual. Where the server is local and offers MIT-SHM,
// pixels go through a shared-memory image; otherwise through XPutImage,
// straight from the bitmap's rows when the visual stores pixels as the
// bitmap does (24/32-bit TrueColor, 8 bits a channel), converted otherwise.
#pragma once

#include "editor/graphics/x11/x11_xlib.h"

#include <X11/extensions/XShm.h>

class X11SurfaceCopy {
public:
    // For drawables of `visual` and `depth` on `display`, bitmaps of up to
    // width x height pixels; with `sharedMemory` it tries MIT-SHM first.
    X11SurfaceCopy(Display* display, Visual* visual, int depth, int width, int height, bool sharedMemory);
    ~X11SurfaceCopy();
    X11SurfaceCopy(const X11SurfaceCopy&) = delete;
    X11SurfaceCopy& operator=(const X11SurfaceCopy&) = delete;

    // Copies `rect` of `source` (clipped to it) to (destX, destY) of `drawable`.
    void Put(Drawable drawable, GC gc, const RasterBitmap& source, const RasterRect& rect, int destX, int destY);
    bool UsesSharedMemory() const { return sharedImage_ != nullptr; }
    // Whether the visual stores pixels as raster bitmaps do.
    bool FormatMatches() const { return formatMatches_; }

private:
    void AttachSharedImage(int width, int height);
    void DetachSharedImage();
    void PutRows(Drawable drawable, GC gc, const RasterBitmap& source, const RasterRect& rect, int destX, int destY);
    void PutConverted(Drawable drawable, GC gc, const RasterBitmap& source, const RasterRect& rect, int destX,
                      int destY);

    Display* display_;
    Visual* visual_;
    int depth_;
    bool formatMatches_ = false;
    bool trueColour_ = false;
    XImage* sharedImage_ = nullptr;
    XShmSegmentInfo segment_{};
};
