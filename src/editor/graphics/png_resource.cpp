#include "editor/graphics/png_resource.h"

#include <png.h>

#include <algorithm>
#include <bit>

#include "editor/raster/raster_ops.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "editor/graphics/embedded_images.h"
#endif

namespace {

// The byte order in memory that reads as 0xAARRGGBB words on this machine.
constexpr png_uint_32 kPixelFormat = std::endian::native == std::endian::little ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;

// Deflate stores at most 1032 bytes in one (a 258-byte match in two bits),
// so a file cannot hold more image data than 1032 times its size.
constexpr std::uint64_t kDeflateMaxRatio = 1032;

// Frees what libpng holds for the image however decoding ends.
class PngReadGuard {
public:
    explicit PngReadGuard(png_image& image) : image_(image) {}
    ~PngReadGuard() { png_image_free(&image_); }
    PngReadGuard(const PngReadGuard&) = delete;
    PngReadGuard& operator=(const PngReadGuard&) = delete;

private:
    png_image& image_;
};

// Bits a pixel as the file stores them, from its header: libpng has checked
// that the file starts with the signature and a valid IHDR chunk, whose bit
// depth and colour type are bytes 24 and 25.
std::uint64_t StoredBitsPerPixel(std::span<const std::uint8_t> bytes) {
    const std::uint64_t depth = bytes[24];
    switch (bytes[25]) {
    case 2: return 3 * depth;  // RGB
    case 4: return 2 * depth;  // grey and alpha
    case 6: return 4 * depth;  // RGBA
    default: return depth;     // grey, palette
    }
}

// Whether a header's size is worth memory: within the bounds, and no more
// pixels than the file could hold with its image data (a filter byte a row
// besides the pixels) compressed as tightly as deflate can.
bool SizeAcceptable(png_uint_32 width, png_uint_32 height, std::span<const std::uint8_t> bytes) {
    if (width == 0 || height == 0) return false;
    if (width > static_cast<png_uint_32>(kPngMaxSide) || height > static_cast<png_uint_32>(kPngMaxSide)) return false;
    const std::uint64_t pixels = std::uint64_t{width} * height;
    if (pixels > static_cast<std::uint64_t>(kPngMaxPixels)) return false;
    const std::uint64_t leastImageData = pixels * StoredBitsPerPixel(bytes) / 8 + height;
    return leastImageData <= std::uint64_t{bytes.size()} * kDeflateMaxRatio;
}

// Straight colour to the raster format: channel = round(channel * alpha / 255).
void Premultiply(RasterBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint32_t* row = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint32_t pixel = row[x];
            const std::uint32_t a = pixel >> 24;
            if (a == 255) continue;
            const std::uint32_t r = RasterMul((pixel >> 16) & 0xFF, a);
            const std::uint32_t g = RasterMul((pixel >> 8) & 0xFF, a);
            const std::uint32_t b = RasterMul(pixel & 0xFF, a);
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
}

}  // namespace

RasterBitmap DecodePngBitmap(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    // libpng's simplified interface reports errors by return value, so no
    // longjmp crosses this C++ frame.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const PngReadGuard guard(image);
    // Reads the chunks up to the image data only.
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) return {};
    if (!SizeAcceptable(image.width, image.height, bytes)) return {};

    RasterBitmap bitmap;
    if (!bitmap.Resize(static_cast<int>(image.width), static_cast<int>(image.height))) return {};
    image.format = kPixelFormat;
    // libpng counts the row stride in 8-bit components, four a pixel.
    const auto rowStride = static_cast<png_int_32>(bitmap.RowPixels() * 4);
    if (png_image_finish_read(&image, nullptr, bitmap.Row(0), rowStride, nullptr) == 0) return {};
    Premultiply(bitmap);
    return bitmap;
}

std::span<const std::uint8_t> PngResourceBytes(int id) {
#if defined(_WIN32)
    if (id <= 0 || id > 0xFFFF) return {};  // resource ids are 16-bit
    // The module holding this function, whether it is the plug-in DLL inside
    // a host or a test program.
    HMODULE module = nullptr;
    const auto flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&PngResourceBytes), &module)) return {};
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (info == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, info);
    const DWORD size = SizeofResource(module, info);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) return {};
    return {static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
#else
    const auto images = EmbeddedImages();
    const auto found = std::ranges::find(images, id, &EmbeddedImage::id);
    if (found == images.end()) return {};
    return {found->bytes, found->size};
#endif
}

RasterBitmap LoadPngBitmap(int id) { return DecodePngBitmap(PngResourceBytes(id)); }
