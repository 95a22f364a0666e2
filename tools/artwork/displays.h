// The displays: dark glass in a bezel, a faint grid where the editor draws
// its curves, and dividers where several read-outs share one strip.
#pragma once

#include <vector>

#include "canvas.h"

namespace artwork {

struct DisplayLook {
    Colour tint;                   // of the grid and the glass
    // The curve area in image pixels (left, top, right, bottom); no grid when empty.
    double gridLeft = 0.0;
    double gridTop = 0.0;
    double gridRight = 0.0;
    double gridBottom = 0.0;
    int columns = 8;               // grid cells across
    int rows = 4;                  // grid cells down; the middle line is brighter when even
    std::vector<double> dividers;  // x of vertical dividers across the whole glass
};

void DrawDisplay(Canvas& image, const DisplayLook& look);

}  // namespace artwork
