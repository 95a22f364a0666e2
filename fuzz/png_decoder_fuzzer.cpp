// PNG files as the editor decodes its images. Whatever the bytes, the
// decoder gives an empty bitmap or one within the size bounds whose pixels
// are premultiplied (no colour channel above its alpha).
#include <cstddef>
#include <cstdint>
#include <span>

#include "editor/graphics/png_resource.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const RasterBitmap bitmap = DecodePngBitmap(std::span(data, size));
    if (bitmap.IsEmpty()) {
        fuzz::Check(bitmap.Width() <= 0 || bitmap.Height() <= 0, "a refused image kept a size");
        return 0;
    }
    fuzz::Check(bitmap.Width() <= kPngMaxSide && bitmap.Height() <= kPngMaxSide, "an image above the side bound");
    fuzz::Check(static_cast<std::int64_t>(bitmap.Width()) * bitmap.Height() <= kPngMaxPixels,
                "an image above the pixel bound");
    fuzz::Check(bitmap.RowPixels() >= bitmap.Width(), "rows shorter than the image");
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint32_t* row = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint32_t a = row[x] >> 24;
            const bool premultiplied = ((row[x] >> 16) & 0xFF) <= a && ((row[x] >> 8) & 0xFF) <= a && (row[x] & 0xFF) <= a;
            fuzz::Check(premultiplied, "a colour channel above its alpha");
        }
    }
    return 0;
}
