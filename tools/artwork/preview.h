// A picture of a page as the editor shows it, to judge the artwork by:
// every image at its place (knobs at assorted values, some keys lit), the
// sample texts in the editor's own text style and a few curves.
#pragma once

#include <filesystem>
#include <map>
#include <memory>

#include "canvas.h"
#include "layout.h"

namespace artwork {

void WritePreview(const Page& page, const std::map<int, std::shared_ptr<Canvas>>& images,
                  const std::filesystem::path& path);

}  // namespace artwork
