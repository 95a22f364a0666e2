// Laying out text of one or more lines inside a rectangle.
#pragma once

#include <string_view>

#include "editor/raster/raster_bitmap.h"
#include "editor/raster/raster_types.h"
#include "editor/text/raster_font.h"
#include "editor/text/text_style.h"

// Draws `utf8`, whose lines are separated by '\n' ("\r\n" too), with `font`:
// the lines stack from rect.top one line height apart, each placed
// horizontally inside `rect` by `align` (centred lines start at
// rect.left + (rect width - line width) / 2, rounded toward zero). Only
// `clip` and the bitmap bound the drawing, not `rect`. With `measure` set
// nothing is drawn.
//
// Returns the text's extent: from rect.top, as tall as its lines, as wide as
// its widest line and placed like it (left edge at rect.left when near,
// right edge at rect.right when far, centred like the lines when centred).
// With no font or no text nothing is drawn and the extent is empty at
// rect's top left corner.
RasterRect DrawTextInRect(RasterBitmap& dest, const RasterFont* font, std::string_view utf8, RasterRect rect,
                          TextAlign align, RasterColor colour, float alpha, const RasterRect& clip, bool measure);
