// A font at one size that measures and draws lines of UTF-8 text into
// raster surfaces. Made by the platform: FreeType with fontconfig on Linux,
// GDI on Windows. Fonts are shared between threads and editor instances, so
// every operation is const and safe to call from several threads at once.
#pragma once

#include <memory>
#include <string_view>

#include "editor/raster/raster_bitmap.h"
#include "editor/raster/raster_types.h"
#include "editor/text/text_style.h"

// Cell heights (ascent + descent, in pixels) fonts can be made at.
constexpr int kMinFontCellHeight = 1;
constexpr int kMaxFontCellHeight = 512;

class RasterFont {
public:
    RasterFont() = default;
    virtual ~RasterFont() = default;
    RasterFont(const RasterFont&) = delete;
    RasterFont& operator=(const RasterFont&) = delete;

    // Pixels from the top of one line to the top of the next (ascent + descent).
    virtual int LineHeight() const = 0;
    // Pixels from the top of a line to its baseline.
    virtual int Ascent() const = 0;
    // The advance of a line of text in pixels: whole-pixel glyph advances
    // added up, without kerning.
    virtual int MeasureLine(std::string_view utf8) const = 0;
    // Draws one line with its top left corner at (x, top), in `colour` whose
    // alpha is scaled by `alpha`, touching only pixels inside `clip` and dest.
    // Malformed UTF-8 is drawn as replacement characters.
    virtual void DrawLine(RasterBitmap& dest, std::string_view utf8, int x, int top, RasterColor colour,
                          float alpha, const RasterRect& clip) const = 0;
};

// The system's font of that family name and style whose cell is
// `cellHeight` pixels tall; a stand-in face when the family is not
// installed; null when no font can be had or the size is out of range.
std::shared_ptr<const RasterFont> CreateSystemFont(std::string_view familyName, int cellHeight, FontStyle style);

// The first face of the font file at `path` (UTF-8), in its own style, at
// `cellHeight` pixels; null for a missing or damaged file.
std::shared_ptr<const RasterFont> OpenFontFile(std::string_view path, int cellHeight);
