// The fonts of every editor in the process, each made once and shared.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "editor/text/raster_font.h"
#include "editor/text/text_style.h"

class FontCache {
public:
    using Factory = std::function<std::shared_ptr<const RasterFont>(std::string_view familyName, int cellHeight,
                                                                    FontStyle style)>;

    // A cache that makes its fonts with `factory` (the system's fonts unless
    // a test gives another).
    explicit FontCache(Factory factory = CreateSystemFont);

    // The cache every editor instance in the process shares.
    static FontCache& Shared();

    // The font of that family, cell height and style, made on first request
    // and the same object from then on, from any thread; null when none can
    // be had (a name or size that cannot make a font is not asked for again).
    std::shared_ptr<const RasterFont> Get(std::string_view familyName, int cellHeight, FontStyle style);

private:
    struct Key {
        std::string familyName;
        int cellHeight = 0;
        FontStyle style = FontStyle::Normal;
        auto operator<=>(const Key&) const = default;
    };

    std::mutex mutex_;
    std::map<Key, std::shared_ptr<const RasterFont>> fonts_;
    Factory factory_;
};
