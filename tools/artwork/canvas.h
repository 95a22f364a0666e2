// Small drawing helpers shared by every family of the editor's artwork: an
// image surface with its cairo context, colours, rounded shapes, the fonts
// (loaded from Debian's font files, never through fontconfig) and text.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <string_view>

namespace artwork {

inline constexpr double kPi = std::numbers::pi;

// A straight (not premultiplied) colour, each channel 0..1.
struct Colour {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 1.0;
};

// 0xRRGGBB with an optional alpha.
constexpr Colour Hex(std::uint32_t rgb, double alpha = 1.0) {
    return {static_cast<double>((rgb >> 16) & 0xFFu) / 255.0, static_cast<double>((rgb >> 8) & 0xFFu) / 255.0,
            static_cast<double>(rgb & 0xFFu) / 255.0, alpha};
}

// The colour `t` of the way from `from` to `to` (alpha included).
Colour Mix(const Colour& from, const Colour& to, double t);
Colour WithAlpha(const Colour& colour, double alpha);

// An ARGB image and its drawing context. Opaque images are written as RGB.
class Canvas {
public:
    Canvas(int width, int height, bool opaque = false);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* Context() const { return context_; }
    cairo_surface_t* Surface() const { return surface_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Writes the image as PNG (cairo's writer: no time stamp, fixed settings).
    void WritePng(const std::filesystem::path& path) const;

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* context_;
};

// Draws `frames` frames of frameWidth x frameHeight stacked top to bottom;
// `draw` gets the context translated and clipped to frame `index` (0-based).
void DrawFrames(Canvas& strip, int frameWidth, int frameHeight, int frames,
                const std::function<void(cairo_t*, int index)>& draw);

void SetColour(cairo_t* cr, const Colour& colour);
void RoundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius);
void FillRoundedRect(cairo_t* cr, double x, double y, double width, double height, double radius,
                     const Colour& colour);
// A vertical two-colour gradient over [top, bottom].
cairo_pattern_t* VerticalGradient(double top, double bottom, const Colour& upper, const Colour& lower);
// Fills the current path with the pattern and releases it.
void FillWith(cairo_t* cr, cairo_pattern_t* pattern, bool preserve = false);
// A soft glow: concentric strokes of the current path fading outwards.
void StrokeGlow(cairo_t* cr, const Colour& colour, double coreWidth, double spread);

// The font files, each read by FreeType and handed to cairo as it is.
enum class Font {
    Sans,         // Liberation Sans (Arial's metrics), as the editor's own text
    SansBold,     // Liberation Sans Bold: headings, captions, word marks
    Display,      // DejaVu Sans Bold: the wider captions of large buttons
    DisplayBook,  // DejaVu Sans
};

// Drops every font (call once, after the last drawing).
void ReleaseFonts();

struct TextStyle {
    Font font = Font::Sans;
    double size = 11.0;     // em size in pixels
    double tracking = 0.0;  // extra pixels after every character
};

// The ink rectangle of a piece of text, in the units of the context.
struct Box {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// Selects the font with fixed options: grey anti-aliasing, no hinting and
// unhinted metrics, so the machine's font settings never change the output.
void UseFont(cairo_t* cr, const TextStyle& style);
// The pen advance of the text, tracking included (none after the last character).
double TextAdvance(cairo_t* cr, const TextStyle& style, std::string_view utf8);
// The height of a capital H: used to centre capitals on a line.
double CapHeight(cairo_t* cr, const TextStyle& style);
// Draws the text with the current source from the pen position (x, baseline)
// and returns its ink rectangle; with `measureOnly` nothing is drawn. Clears
// the current path.
Box DrawText(cairo_t* cr, const TextStyle& style, std::string_view utf8, double x, double baseline,
             bool measureOnly = false);
// Draws the text horizontally centred on `centreX`, its capitals vertically
// centred on `centreY`.
Box DrawTextCentred(cairo_t* cr, const TextStyle& style, std::string_view utf8, double centreX, double centreY,
                    bool measureOnly = false);
// The largest size not above style.size at which the text fits `width`.
TextStyle FitWidth(cairo_t* cr, TextStyle style, std::string_view utf8, double width);
// Adds the outline of the text to the path instead of drawing it.
void TextPath(cairo_t* cr, const TextStyle& style, std::string_view utf8, double x, double baseline);

}  // namespace artwork
