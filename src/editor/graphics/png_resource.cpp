#include "editor/graphics/png_resource.h"

#include <png.h>

#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#endif

std::optional<PngImage> DecodePng(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    // libpng's simplified interface reports errors by return value, so no
    // longjmp crosses this C++ frame.
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    PngImage decoded;
    decoded.width = static_cast<int>(image.width);
    decoded.height = static_cast<int>(image.height);
    decoded.rgba.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, decoded.rgba.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return std::nullopt;
    }
    return decoded;
}

std::span<const std::uint8_t> PngResourceBytes(int id) {
#if defined(_WIN32)
    // The module holding this function, whether it is the plug-in DLL inside
    // a host or a test program.
    HMODULE module = nullptr;
    const auto flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&PngResourceBytes), &module)) return {};
    if (id <= 0 || id > 0xFFFF) return {};  // resource ids are 16-bit
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (info == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, info);
    const DWORD size = SizeofResource(module, info);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) return {};
    return {static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
#else
    (void)id;
    return {};
#endif
}

std::optional<PngImage> LoadPngResource(int id) { return DecodePng(PngResourceBytes(id)); }
