#include "canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

namespace artwork {

Colour Mix(const Colour& from, const Colour& to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Colour WithAlpha(const Colour& colour, double alpha) { return {colour.r, colour.g, colour.b, alpha}; }

Canvas::Canvas(int width, int height, bool opaque)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, width, height)),
      context_(cairo_create(surface_)) {
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS || cairo_status(context_) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(context_);
        cairo_surface_destroy(surface_);
        throw std::runtime_error("cannot create a " + std::to_string(width) + " x " + std::to_string(height) +
                                 " image");
    }
    if (opaque) {  // RGB24 leaves the padding byte undefined until painted
        cairo_set_source_rgb(context_, 0.0, 0.0, 0.0);
        cairo_paint(context_);
    }
}

Canvas::~Canvas() {
    cairo_destroy(context_);
    cairo_surface_destroy(surface_);
}

void Canvas::WritePng(const std::filesystem::path& path) const {
    if (cairo_status(context_) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error(path.string() + ": drawing failed: " + cairo_status_to_string(cairo_status(context_)));
    }
    cairo_surface_flush(surface_);
    const cairo_status_t status = cairo_surface_write_to_png(surface_, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error(path.string() + ": " + cairo_status_to_string(status));
    }
}

void DrawFrames(Canvas& strip, int frameWidth, int frameHeight, int frames,
                const std::function<void(cairo_t*, int index)>& draw) {
    if (strip.Width() != frameWidth || strip.Height() != frameHeight * frames) {
        throw std::runtime_error("frame strip of the wrong size");
    }
    cairo_t* cr = strip.Context();
    for (int index = 0; index < frames; ++index) {
        cairo_save(cr);
        cairo_translate(cr, 0.0, static_cast<double>(index * frameHeight));
        cairo_rectangle(cr, 0.0, 0.0, frameWidth, frameHeight);
        cairo_clip(cr);
        draw(cr, index);
        cairo_restore(cr);
    }
}

void SetColour(cairo_t* cr, const Colour& colour) { cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, colour.a); }

void RoundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius) {
    const double r = std::min({radius, width / 2.0, height / 2.0});
    constexpr double kQuarter = kPi / 2.0;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - r, y + r, r, -kQuarter, 0.0);
    cairo_arc(cr, x + width - r, y + height - r, r, 0.0, kQuarter);
    cairo_arc(cr, x + r, y + height - r, r, kQuarter, 2.0 * kQuarter);
    cairo_arc(cr, x + r, y + r, r, 2.0 * kQuarter, 3.0 * kQuarter);
    cairo_close_path(cr);
}

void FillRoundedRect(cairo_t* cr, double x, double y, double width, double height, double radius,
                     const Colour& colour) {
    RoundedRectPath(cr, x, y, width, height, radius);
    SetColour(cr, colour);
    cairo_fill(cr);
}

cairo_pattern_t* VerticalGradient(double top, double bottom, const Colour& upper, const Colour& lower) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0.0, top, 0.0, bottom);
    cairo_pattern_add_color_stop_rgba(pattern, 0.0, upper.r, upper.g, upper.b, upper.a);
    cairo_pattern_add_color_stop_rgba(pattern, 1.0, lower.r, lower.g, lower.b, lower.a);
    return pattern;
}

void FillWith(cairo_t* cr, cairo_pattern_t* pattern, bool preserve) {
    cairo_set_source(cr, pattern);
    if (preserve) {
        cairo_fill_preserve(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_pattern_destroy(pattern);
}

void StrokeGlow(cairo_t* cr, const Colour& colour, double coreWidth, double spread) {
    constexpr int kRings = 4;
    for (int ring = kRings; ring >= 1; --ring) {
        const double t = static_cast<double>(ring) / kRings;
        cairo_set_line_width(cr, coreWidth + spread * t * 2.0);
        SetColour(cr, WithAlpha(colour, colour.a * 0.22 * (1.0 - t * 0.7)));
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
}

namespace {

constexpr std::array<const char*, 4> kFontFiles = {
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

// FreeType's library and the faces; cairo holds each face until the last
// scaled font made from it is gone, then hands it back to FT_Done_Face.
struct FontRegistry {
    FT_Library library = nullptr;
    std::array<cairo_font_face_t*, kFontFiles.size()> faces{};
};

FontRegistry& Registry() {
    static FontRegistry registry;
    return registry;
}

const cairo_user_data_key_t kFaceKey{};

void DoneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

cairo_font_face_t* FaceFor(Font font) {
    FontRegistry& registry = Registry();
    const auto index = static_cast<std::size_t>(font);
    if (registry.faces[index] != nullptr) return registry.faces[index];
    if (registry.library == nullptr && FT_Init_FreeType(&registry.library) != 0) {
        throw std::runtime_error("FreeType cannot start");
    }
    FT_Face face = nullptr;
    if (FT_New_Face(registry.library, kFontFiles[index], 0, &face) != 0) {
        throw std::runtime_error(std::string("cannot open the font file ") + kFontFiles[index] +
                                 " (Debian packages fonts-liberation2 and fonts-dejavu-core)");
    }
    cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, FT_LOAD_NO_HINTING);
    if (cairo_font_face_set_user_data(cairoFace, &kFaceKey, face, DoneFace) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(cairoFace);
        FT_Done_Face(face);
        throw std::runtime_error("cairo cannot take the font face");
    }
    registry.faces[index] = cairoFace;
    return cairoFace;
}

// One UTF-8 character starting at `at`, as its byte length.
std::size_t CharLength(std::string_view utf8, std::size_t at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    std::size_t length = 1;
    if (lead >= 0xF0) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = 3;
    } else if (lead >= 0xC0) {
        length = 2;
    }
    return std::min(length, utf8.size() - at);
}

}  // namespace

void ReleaseFonts() {
    FontRegistry& registry = Registry();
    for (cairo_font_face_t*& face : registry.faces) {
        if (face != nullptr) cairo_font_face_destroy(face);
        face = nullptr;
    }
    // Empties cairo's font caches so the faces (and their FreeType faces) go now.
    cairo_debug_reset_static_data();
    if (registry.library != nullptr) FT_Done_FreeType(registry.library);
    registry.library = nullptr;
}

void UseFont(cairo_t* cr, const TextStyle& style) {
    cairo_set_font_face(cr, FaceFor(style.font));
    cairo_set_font_size(cr, style.size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double TextAdvance(cairo_t* cr, const TextStyle& style, std::string_view utf8) {
    UseFont(cr, style);
    double advance = 0.0;
    std::size_t count = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = CharLength(utf8, at);
        const std::string one(utf8.substr(at, length));
        cairo_text_extents_t extents;
        cairo_text_extents(cr, one.c_str(), &extents);
        advance += extents.x_advance;
        at += length;
        ++count;
    }
    if (count > 1) advance += style.tracking * static_cast<double>(count - 1);
    return advance;
}

double CapHeight(cairo_t* cr, const TextStyle& style) {
    UseFont(cr, style);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, "H", &extents);
    return extents.height;
}

Box DrawText(cairo_t* cr, const TextStyle& style, std::string_view utf8, double x, double baseline,
             bool measureOnly) {
    UseFont(cr, style);
    Box ink{x, baseline, x, baseline};
    bool first = true;
    double pen = x;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = CharLength(utf8, at);
        const std::string one(utf8.substr(at, length));
        cairo_text_extents_t extents;
        cairo_text_extents(cr, one.c_str(), &extents);
        if (extents.width > 0.0 && extents.height > 0.0) {
            const Box glyph{pen + extents.x_bearing, baseline + extents.y_bearing,
                            pen + extents.x_bearing + extents.width, baseline + extents.y_bearing + extents.height};
            ink = first ? glyph
                        : Box{std::min(ink.left, glyph.left), std::min(ink.top, glyph.top),
                              std::max(ink.right, glyph.right), std::max(ink.bottom, glyph.bottom)};
            first = false;
        }
        if (!measureOnly) {
            // As outlines, so every glyph lands where its advance puts it:
            // glyphs shown as bitmaps snap to whole pixels and space unevenly.
            cairo_new_path(cr);
            cairo_move_to(cr, pen, baseline);
            cairo_text_path(cr, one.c_str());
            cairo_fill(cr);
        }
        pen += extents.x_advance + style.tracking;
        at += length;
    }
    return ink;
}

Box DrawTextCentred(cairo_t* cr, const TextStyle& style, std::string_view utf8, double centreX, double centreY,
                    bool measureOnly) {
    const double width = TextAdvance(cr, style, utf8);
    const double baseline = centreY + CapHeight(cr, style) / 2.0;
    return DrawText(cr, style, utf8, centreX - width / 2.0, baseline, measureOnly);
}

TextStyle FitWidth(cairo_t* cr, TextStyle style, std::string_view utf8, double width) {
    while (style.size > 5.0 && TextAdvance(cr, style, utf8) > width) style.size -= 0.25;
    return style;
}

void TextPath(cairo_t* cr, const TextStyle& style, std::string_view utf8, double x, double baseline) {
    UseFont(cr, style);
    double pen = x;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = CharLength(utf8, at);
        const std::string one(utf8.substr(at, length));
        cairo_text_extents_t extents;
        cairo_text_extents(cr, one.c_str(), &extents);
        cairo_move_to(cr, pen, baseline);
        cairo_text_path(cr, one.c_str());
        pen += extents.x_advance + style.tracking;
        at += length;
    }
}

}  // namespace artwork
