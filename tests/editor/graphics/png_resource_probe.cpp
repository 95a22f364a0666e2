// A test DLL carrying the editor's images: reports the size of a PNG resource
// as the loader finds it from inside this module.
#include "editor/graphics/png_resource.h"

extern "C" __declspec(dllexport) int ProbePngResource(int id, int* width, int* height) {
    const auto image = LoadPngResource(id);
    if (!image) return 0;
    *width = image->width;
    *height = image->height;
    return 1;
}
