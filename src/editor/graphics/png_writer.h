// Writes a raster surface to a PNG file (8-bit RGBA, alpha not premultiplied).
#pragma once

#include <filesystem>

#include "editor/raster/raster_bitmap.h"

// False when the bitmap is empty or the file cannot be written; a file that
// could not be finished is removed.
bool WritePngFile(const RasterBitmap& bitmap, const std::filesystem::path& path);
