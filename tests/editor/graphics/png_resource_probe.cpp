// A test DLL carrying the editor's images: reports what the loader finds
// when it runs inside this module.
#include <cstddef>
#include <cstdint>

#include "editor/graphics/png_resource.h"

// The bytes of image `id`; 1 when there are any.
extern "C" __declspec(dllexport) int ProbePngBytes(int id, const std::uint8_t** data, std::size_t* size) {
    const auto bytes = PngResourceBytes(id);
    *data = bytes.data();
    *size = bytes.size();
    return bytes.empty() ? 0 : 1;
}

// The size of image `id` decoded, and its pixel (x, y); 1 when it decoded.
extern "C" __declspec(dllexport) int ProbePngBitmap(int id, int x, int y, int* width, int* height,
                                                    std::uint32_t* pixel) {
    const RasterBitmap bitmap = LoadPngBitmap(id);
    if (bitmap.IsEmpty()) return 0;
    *width = bitmap.Width();
    *height = bitmap.Height();
    *pixel = bitmap.Bounds().Contains(x, y) ? bitmap.At(x, y) : 0;
    return 1;
}
