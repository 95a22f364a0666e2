// The editor's images: PNG files the plug-in module carries under numeric
// ids (resources/images.txt), decoded into raster bitmaps.
#pragma once

#include <cstdint>
#include <span>

#include "editor/raster/raster_bitmap.h"

// The largest image decoded: pixels a side, and pixels in all.
inline constexpr int kPngMaxSide = 16384;
inline constexpr std::int64_t kPngMaxPixels = std::int64_t{64} * 1024 * 1024;

// Decodes a whole PNG file held in memory into premultiplied pixels. An empty
// bitmap for bytes that are no valid PNG and for images above the bounds,
// which are refused from the header, before memory is taken for the pixels.
RasterBitmap DecodePngBitmap(std::span<const std::uint8_t> bytes);

// The bytes of image `id` of the module this code is linked into (never the
// host's executable): on Windows its "PNG" resource, elsewhere the copy
// compiled into the binary. Empty when there is no such image.
std::span<const std::uint8_t> PngResourceBytes(int id);

// Fetches and decodes image `id`; an empty bitmap when there is none or it
// does not decode.
RasterBitmap LoadPngBitmap(int id);
