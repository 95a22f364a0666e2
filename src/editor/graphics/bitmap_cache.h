// The images every editor of the process shares: each id is loaded once and
// kept for the life of the module, whichever instance asked first.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "editor/raster/raster_bitmap.h"

class BitmapCache {
public:
    using Pixels = std::shared_ptr<const RasterBitmap>;

    // The process-wide cache.
    static BitmapCache& Shared();

    // The pixels of `id`, calling `load` (under the cache's lock, so no id is
    // ever loaded twice) when the id is not cached yet. A failed load is
    // remembered as null.
    Pixels GetOrLoad(int id, const std::function<Pixels()>& load);
    // The cached pixels of `id`; null when absent.
    Pixels Find(int id) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<int, Pixels>> entries_;
};
