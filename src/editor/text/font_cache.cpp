#include "editor/text/font_cache.h"

#include <utility>

FontCache::FontCache(Factory factory) : factory_(std::move(factory)) {}

FontCache& FontCache::Shared() {
    static FontCache cache;
    return cache;
}

std::shared_ptr<const RasterFont> FontCache::Get(std::string_view familyName, int cellHeight, FontStyle style) {
    if (familyName.empty() || cellHeight < kMinFontCellHeight || cellHeight > kMaxFontCellHeight) return nullptr;
    try {
        // Fonts are made while the lock is held, so two threads asking for
        // the same new font cannot both make it.
        const std::lock_guard lock(mutex_);
        Key key{std::string(familyName), cellHeight, style};
        if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
        std::shared_ptr<const RasterFont> font = factory_ ? factory_(familyName, cellHeight, style) : nullptr;
        fonts_.emplace(std::move(key), font);
        return font;
    } catch (...) {
        return nullptr;
    }
}
