#include "editor/graphics/bitmap_cache.h"

#include <algorithm>

BitmapCache& BitmapCache::Shared() {
    static BitmapCache cache;
    return cache;
}

BitmapCache::Pixels BitmapCache::GetOrLoad(int id, const std::function<Pixels()>& load) {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(entries_.begin(), entries_.end(), [id](const auto& entry) { return entry.first == id; });
    if (found != entries_.end()) return found->second;
    Pixels pixels = load();
    entries_.emplace_back(id, pixels);
    return pixels;
}

BitmapCache::Pixels BitmapCache::Find(int id) const {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(entries_.begin(), entries_.end(), [id](const auto& entry) { return entry.first == id; });
    return found != entries_.end() ? found->second : nullptr;
}
