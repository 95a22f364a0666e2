// How a text is drawn: size, colour, font, style and alignment, and the
// colours of a text entry opened with this style.
#pragma once

#include <memory>
#include <string>

#include "editor/raster/raster_types.h"
#include "editor/text/raster_font.h"

struct IText {
    enum class Quality { Default, NonAntiAliased, AntiAliased };

    int size = 12;  // cell height in pixels
    RasterColor colour{255, 0, 0, 0};
    std::string font = "Verdana";
    FontStyle style = FontStyle::Normal;
    TextAlign align = TextAlign::Centre;
    int orientation = 0;  // tenths of a degree
    Quality quality = Quality::Default;
    RasterColor entryBackground{255, 255, 255, 255};
    RasterColor entryText{255, 0, 0, 0};
    // Filled on first use from the process-wide font cache.
    mutable std::shared_ptr<const RasterFont> cachedFont;
};
