// Every image of the editor: its id, its file (relative to the folder the
// images live in), its pixel size and frame count, and how it is drawn.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "canvas.h"

namespace artwork {

struct ImageEntry {
    int id = 0;
    std::string_view path;
    int width = 0;
    int height = 0;  // all frames together
    int frames = 1;
    bool opaque = false;
    std::function<void(Canvas&)> draw;
};

// In id order. Two ids may share a file; they then draw the same image.
const std::vector<ImageEntry>& Catalogue();

}  // namespace artwork
