// Readings of the system fonts' metrics taken straight from the platform's
// own font interface (FreeType on the file fontconfig picks on Linux, GDI on
// Windows), to check RasterFont's numbers against.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/text/text_style.h"

// The whole-pixel advance of each character of `ascii` in the system font
// `family` at a cell height of `cellHeight` pixels, without kerning.
std::vector<int> ReferenceAdvances(std::string_view family, FontStyle style, int cellHeight, std::string_view ascii);

// The advances above added up.
int ReferenceAdvanceSum(std::string_view family, FontStyle style, int cellHeight, std::string_view ascii);

#if defined(_WIN32)
struct GdiLineMetrics {
    int height = 0;  // tmHeight
    int ascent = 0;  // tmAscent
};
// What GDI reports for the font CreateFontW makes with those parameters.
GdiLineMetrics ReferenceLineMetrics(std::string_view family, FontStyle style, int cellHeight);
#else
struct FreeTypeFaceNames {
    std::string family;
    bool bold = false;
    bool italic = false;
};
// The family name and style flags FreeType reads from a font file.
FreeTypeFaceNames ReadFaceNames(const std::string& path, int faceIndex);

struct DesignAdvances {
    int unitsPerEm = 0;
    std::vector<int> advances;  // in font units, unscaled and unhinted
};
// The advance of each character of `ascii` straight from the font's metrics table.
DesignAdvances ReadDesignAdvances(const std::string& path, std::string_view ascii);
#endif
