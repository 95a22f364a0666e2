#include "font_reference.h"

#include <numeric>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include "editor/text/fontconfig_match.h"
#endif

#if defined(_WIN32)

namespace {

// A memory DC with the font CreateFontW makes for the parameters selected.
class GdiFontContext {
public:
    GdiFontContext(std::string_view family, FontStyle style, int cellHeight) {
        const std::wstring face(family.begin(), family.end());
        font_ = CreateFontW(cellHeight, 0, 0, 0, style == FontStyle::Bold ? FW_BOLD : FW_NORMAL,
                            style == FontStyle::Italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            face.c_str());
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, font_);
    }
    ~GdiFontContext() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(font_);
    }
    GdiFontContext(const GdiFontContext&) = delete;
    GdiFontContext& operator=(const GdiFontContext&) = delete;
    HDC Dc() const { return dc_; }

private:
    HFONT font_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace

std::vector<int> ReferenceAdvances(std::string_view family, FontStyle style, int cellHeight, std::string_view ascii) {
    const GdiFontContext context(family, style, cellHeight);
    std::vector<int> advances;
    for (const char c : ascii) {
        INT width = 0;
        const auto code = static_cast<UINT>(static_cast<unsigned char>(c));
        advances.push_back(GetCharWidth32W(context.Dc(), code, code, &width) ? width : -1);
    }
    return advances;
}

GdiLineMetrics ReferenceLineMetrics(std::string_view family, FontStyle style, int cellHeight) {
    const GdiFontContext context(family, style, cellHeight);
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(context.Dc(), &metrics)) return {};
    return {static_cast<int>(metrics.tmHeight), static_cast<int>(metrics.tmAscent)};
}

#else

namespace {

// A FreeType library and one face of a file, released together.
class FreeTypeFace {
public:
    FreeTypeFace(const std::string& path, int faceIndex) {
        if (FT_Init_FreeType(&library_) != 0) return;
        if (FT_New_Face(library_, path.c_str(), faceIndex, &face_) != 0) face_ = nullptr;
    }
    ~FreeTypeFace() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;
    FT_Face Face() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

}  // namespace

std::vector<int> ReferenceAdvances(std::string_view family, FontStyle style, int cellHeight, std::string_view ascii) {
    const auto file = MatchFontFile(family, style);
    if (!file) return {};
    const FreeTypeFace face(file->path, file->faceIndex);
    if (face.Face() == nullptr) return {};
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = cellHeight * 64;
    if (FT_Request_Size(face.Face(), &request) != 0) return {};
    std::vector<int> advances;
    for (const char c : ascii) {
        const bool loaded = FT_Load_Char(face.Face(), static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0;
        advances.push_back(loaded ? static_cast<int>((face.Face()->glyph->advance.x + 32) / 64) : -1);
    }
    return advances;
}

FreeTypeFaceNames ReadFaceNames(const std::string& path, int faceIndex) {
    const FreeTypeFace face(path, faceIndex);
    if (face.Face() == nullptr || face.Face()->family_name == nullptr) return {};
    return {face.Face()->family_name, (face.Face()->style_flags & FT_STYLE_FLAG_BOLD) != 0,
            (face.Face()->style_flags & FT_STYLE_FLAG_ITALIC) != 0};
}

DesignAdvances ReadDesignAdvances(const std::string& path, std::string_view ascii) {
    const FreeTypeFace face(path, 0);
    if (face.Face() == nullptr) return {};
    DesignAdvances design;
    design.unitsPerEm = face.Face()->units_per_EM;
    for (const char c : ascii) {
        const FT_UInt glyph = FT_Get_Char_Index(face.Face(), static_cast<unsigned char>(c));
        FT_Fixed advance = 0;
        design.advances.push_back(FT_Get_Advance(face.Face(), glyph, FT_LOAD_NO_SCALE, &advance) == 0
                                      ? static_cast<int>(advance)
                                      : -1);
    }
    return design;
}

#endif

int ReferenceAdvanceSum(std::string_view family, FontStyle style, int cellHeight, std::string_view ascii) {
    const std::vector<int> advances = ReferenceAdvances(family, style, cellHeight, ascii);
    return std::accumulate(advances.begin(), advances.end(), 0);
}
