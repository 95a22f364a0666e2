// Linux: finding the font file fontconfig chooses for a family and style.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/text/text_style.h"

struct FontFileRef {
    std::string path;
    int faceIndex = 0;  // the face inside the file, as FT_New_Face takes it
};

// The file of the installed face fontconfig matches best to the family and
// style, after its substitutions (so "Arial" finds a metric-compatible face
// such as Liberation Sans); nothing when fontconfig finds no file.
std::optional<FontFileRef> MatchFontFile(std::string_view familyName, FontStyle style);
