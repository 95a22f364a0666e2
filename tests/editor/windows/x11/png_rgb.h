// Reading and writing PNG files as opaque RGB pixels (0xRRGGBB), through
// libpng's simplified interface: the references the windows are compared
// with, and screenshots to look at.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // rows from the top, 0xRRGGBB

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
    bool Empty() const { return pixels.empty(); }
};

inline RgbImage ReadPngRgb(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) return {};
    RgbImage rgb;
    rgb.width = static_cast<int>(image.width);
    rgb.height = static_cast<int>(image.height);
    rgb.pixels.resize(static_cast<std::size_t>(rgb.width) * static_cast<std::size_t>(rgb.height));
    for (std::size_t i = 0; i < rgb.pixels.size(); ++i) {
        rgb.pixels[i] = static_cast<std::uint32_t>(bytes[3 * i]) << 16 | static_cast<std::uint32_t>(bytes[3 * i + 1]) << 8 |
                        bytes[3 * i + 2];
    }
    return rgb;
}

inline bool WritePngRgb(const std::string& path, const RgbImage& rgb) {
    std::vector<png_byte> bytes(rgb.pixels.size() * 3);
    for (std::size_t i = 0; i < rgb.pixels.size(); ++i) {
        bytes[3 * i] = static_cast<png_byte>(rgb.pixels[i] >> 16);
        bytes[3 * i + 1] = static_cast<png_byte>(rgb.pixels[i] >> 8);
        bytes[3 * i + 2] = static_cast<png_byte>(rgb.pixels[i]);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(rgb.width);
    image.height = static_cast<png_uint_32>(rgb.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
}
