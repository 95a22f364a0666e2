#include "editor/graphics/png_writer.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

bool WritePngFile(const RasterBitmap& bitmap, const std::filesystem::path& path) {
    if (bitmap.IsEmpty()) return false;
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    std::size_t at = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = bitmap.At(x, y);
            const std::uint32_t a = pixel >> 24;
            // Undo the premultiplication, rounding to nearest.
            const auto straight = [a](std::uint32_t c) -> std::uint8_t {
                return a == 0 ? 0 : static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
            };
            rgba[at++] = straight((pixel >> 16) & 0xFF);
            rgba[at++] = straight((pixel >> 8) & 0xFF);
            rgba[at++] = straight(pixel & 0xFF);
            rgba[at++] = static_cast<std::uint8_t>(a);
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
#if defined(_WIN32)
    std::FILE* file = _wfopen(path.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(path.c_str(), "wb");
#endif
    if (file == nullptr) return false;
    const bool written = png_image_write_to_stdio(&image, file, 0, rgba.data(), 0, nullptr) != 0;
    const bool closed = std::fclose(file) == 0;
    png_image_free(&image);
    if (written && closed) return true;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
}
