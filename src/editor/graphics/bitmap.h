// A loaded image as the editor uses it: shared pixels (null when the image
// could not be loaded) cut into frames of equal size.
#pragma once

#include <memory>

#include "editor/raster/raster_bitmap.h"

struct IBitmap {
    std::shared_ptr<const RasterBitmap> pixels;
    int id = 0;      // the image's id, 0 for one made in memory
    int width = 0;   // of the whole image
    int height = 0;
    int frames = 1;
    bool framesAreHorizontal = false;

    bool IsNull() const { return pixels == nullptr || pixels->IsEmpty(); }
    int FrameWidth() const { return framesAreHorizontal && frames > 0 ? width / frames : width; }
    int FrameHeight() const { return !framesAreHorizontal && frames > 0 ? height / frames : height; }
};
