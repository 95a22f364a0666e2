// Linux fonts: FreeType faces found through fontconfig, drawn as
// anti-aliased grey glyphs.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "editor/raster/raster_ops.h"
#include "editor/text/fontconfig_match.h"
#include "editor/text/raster_font.h"
#include "editor/text/utf8_decoder.h"

namespace {

// A glyph as drawn: its whole-pixel advance and its coverage mask, placed
// relative to the pen position on the baseline.
struct FreeTypeGlyph {
    int advance = 0;
    int left = 0;  // mask's left edge right of the pen
    int top = 0;   // mask's top edge above the baseline
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width bytes a row
};

// Glyph masks kept per font before the cache starts over.
constexpr std::size_t kMaxCachedGlyphs = 2048;

int RoundedPixels(FT_Pos value26Dot6) {
    return static_cast<int>(value26Dot6 >= 0 ? (value26Dot6 + 32) / 64 : -((-value26Dot6 + 32) / 64));
}

class FreeTypeFont final : public RasterFont {
public:
    FreeTypeFont(FT_Library library, FT_Face face) : library_(library), face_(face) {
        // GDI's line metrics: the face's Windows ascent and descent (hhea's
        // when it has none), scaled to the size and each rounded to whole
        // pixels. TrueType faces that ask for it are scaled at a whole
        // number of pixels per em, as their glyphs are hinted.
        FT_Long ascentUnits = face_->ascender;
        FT_Long descentUnits = -face_->descender;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFFu && os2->usWinAscent + os2->usWinDescent > 0) {
            ascentUnits = os2->usWinAscent;
            descentUnits = os2->usWinDescent;
        }
        FT_Fixed scale = face_->size->metrics.y_scale;
        const auto* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HEAD));
        if (head != nullptr && (head->Flags & 8) != 0 && face_->units_per_EM > 0) {
            scale = FT_DivFix(static_cast<FT_Long>(face_->size->metrics.y_ppem) * 64, face_->units_per_EM);
        }
        ascent_ = RoundedPixels(FT_MulFix(ascentUnits, scale));
        descent_ = RoundedPixels(FT_MulFix(descentUnits, scale));
    }

    ~FreeTypeFont() override {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }

    int LineHeight() const override { return ascent_ + descent_; }
    int Ascent() const override { return ascent_; }

    int MeasureLine(std::string_view utf8) const override {
        try {
            const std::lock_guard lock(mutex_);
            std::int64_t width = 0;
            for (std::size_t pos = 0; pos < utf8.size();) width += GlyphFor(NextCodePoint(utf8, pos)).advance;
            return static_cast<int>(std::min<std::int64_t>(width, INT_MAX));
        } catch (...) {
            return 0;
        }
    }

    void DrawLine(RasterBitmap& dest, std::string_view utf8, int x, int top, RasterColor colour, float alpha,
                  const RasterRect& clip) const override {
        const RasterRect area = clip.Intersection(dest.Bounds());
        if (area.Empty()) return;
        try {
            const std::lock_guard lock(mutex_);
            const std::int64_t baseline = std::int64_t{top} + ascent_;
            std::int64_t pen = x;
            for (std::size_t pos = 0; pos < utf8.size() && pen < area.right + LineHeight();) {
                const FreeTypeGlyph& glyph = GlyphFor(NextCodePoint(utf8, pos));
                const std::int64_t left = pen + glyph.left;
                const std::int64_t glyphTop = baseline - glyph.top;
                const bool visible = glyph.width > 0 && left < area.right && left + glyph.width > area.left &&
                                     glyphTop < area.bottom && glyphTop + glyph.height > area.top;
                if (visible) {
                    RasterBlendCoverage(dest, static_cast<int>(left), static_cast<int>(glyphTop), glyph.coverage.data(),
                                        glyph.width, glyph.height, glyph.width, colour, alpha, clip);
                }
                pen += glyph.advance;
            }
        } catch (...) {
            // Out of memory for a glyph: the rest of the line stays undrawn.
        }
    }

private:
    // The glyph of a code point, rendered on first use. Called with the lock held.
    const FreeTypeGlyph& GlyphFor(char32_t codePoint) const {
        if (const auto found = glyphs_.find(codePoint); found != glyphs_.end()) return found->second;
        if (glyphs_.size() >= kMaxCachedGlyphs) glyphs_.clear();

        FreeTypeGlyph glyph;
        const FT_UInt index = FT_Get_Char_Index(face_, codePoint);
        if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
            const FT_GlyphSlot slot = face_->glyph;
            glyph.advance = RoundedPixels(slot->advance.x);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0 && slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY &&
                slot->bitmap.buffer != nullptr && slot->bitmap.width > 0 && slot->bitmap.rows > 0) {
                const FT_Bitmap& bitmap = slot->bitmap;
                glyph.left = slot->bitmap_left;
                glyph.top = slot->bitmap_top;
                glyph.width = static_cast<int>(bitmap.width);
                glyph.height = static_cast<int>(bitmap.rows);
                glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height));
                // A negative pitch stores the rows bottom first.
                const std::ptrdiff_t pitch = bitmap.pitch;
                const std::uint8_t* topRow = pitch >= 0 ? bitmap.buffer : bitmap.buffer - pitch * (glyph.height - 1);
                for (int row = 0; row < glyph.height; ++row) {
                    std::memcpy(glyph.coverage.data() + static_cast<std::ptrdiff_t>(row) * glyph.width,
                                topRow + row * pitch, static_cast<std::size_t>(glyph.width));
                }
            }
        }
        return glyphs_.emplace(codePoint, std::move(glyph)).first->second;
    }

    FT_Library library_;
    FT_Face face_;
    int ascent_ = 0;
    int descent_ = 0;
    // A face is not safe to use from two threads at once.
    mutable std::mutex mutex_;
    mutable std::unordered_map<char32_t, FreeTypeGlyph> glyphs_;
};

// Face `faceIndex` of the file at `path` whose cell (ascent + descent) is
// `cellHeight` pixels; null when FreeType cannot open or size it.
std::shared_ptr<const RasterFont> OpenFreeTypeFont(const std::string& path, int faceIndex, int cellHeight) {
    if (cellHeight < kMinFontCellHeight || cellHeight > kMaxFontCellHeight) return nullptr;
    // Each font has a library of its own, so fonts never share FreeType state.
    // FreeType's default hinting gives the whole-pixel advances Wine's GDI
    // reports for the same face.
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;

    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), faceIndex, &face) != 0) {
        FT_Done_FreeType(library);
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);  // keeps the face's own map when it has no Unicode one
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = static_cast<FT_Long>(cellHeight) * 64;
    if (FT_Request_Size(face, &request) != 0 || face->size->metrics.y_ppem == 0) {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        return nullptr;
    }
    try {
        return std::make_shared<FreeTypeFont>(library, face);
    } catch (...) {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        return nullptr;
    }
}

}  // namespace

std::shared_ptr<const RasterFont> CreateSystemFont(std::string_view familyName, int cellHeight, FontStyle style) {
    if (familyName.empty() || cellHeight < kMinFontCellHeight || cellHeight > kMaxFontCellHeight) return nullptr;
    try {
        const std::optional<FontFileRef> file = MatchFontFile(familyName, style);
        if (!file) return nullptr;
        return OpenFreeTypeFont(file->path, file->faceIndex, cellHeight);
    } catch (...) {
        return nullptr;
    }
}

std::shared_ptr<const RasterFont> OpenFontFile(std::string_view path, int cellHeight) {
    try {
        const std::string file(path);
        // A path with a NUL in it names no file.
        if (file.empty() || file.find('\0') != std::string::npos) return nullptr;
        return OpenFreeTypeFont(file, 0, cellHeight);
    } catch (...) {
        return nullptr;
    }
}
