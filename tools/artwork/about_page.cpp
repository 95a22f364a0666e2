#include "about_page.h"

#include <cmath>

#include "palette.h"

namespace artwork {

namespace {

const Colour kMetalLight = Hex(0xF2F4F7);
const Colour kMetalDark = Hex(0x8E97A4);
const Colour kIcon = Hex(0xC9D0DA);

// Fills the current path with a brushed-metal gradient over [top, bottom].
void FillMetal(cairo_t* cr, double top, double bottom) {
    FillWith(cr, VerticalGradient(top, bottom, kMetalLight, kMetalDark));
}

// Text centred on `centreX` at `baseline`, filled with the metal gradient.
void MetalTextCentred(cairo_t* cr, const TextStyle& style, const char* text, double centreX, double baseline) {
    const double width = TextAdvance(cr, style, text);
    const double cap = CapHeight(cr, style);
    cairo_new_path(cr);
    TextPath(cr, style, text, centreX - width / 2.0, baseline + 1.5);
    SetColour(cr, Hex(0x000000, 0.5));
    cairo_fill(cr);
    TextPath(cr, style, text, centreX - width / 2.0, baseline);
    FillMetal(cr, baseline - cap, baseline);
}

void Disc(cairo_t* cr, double x, double y, double radius) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, radius, 0.0, 2.0 * kPi);
}

// The round backing the link icons share.
void IconBacking(cairo_t* cr, double x, double y, double radius) {
    Disc(cr, x, y + 1.0, radius + 1.0);
    SetColour(cr, Hex(0x000000, 0.45));
    cairo_fill(cr);
    Disc(cr, x, y, radius);
    FillWith(cr, VerticalGradient(y - radius, y + radius, Hex(0x30343A), Hex(0x1C1E22)), true);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, Hex(0xFFFFFF, 0.10));
    cairo_stroke(cr);
}

}  // namespace

void DrawEmblem(cairo_t* cr, double x, double y, double radius, bool engraved) {
    const double unit = radius / 108.0;  // drawn for a ring of 108 pixels, scaled
    const Colour arc = engraved ? Hex(0x4A5059) : palette::kLamp;
    if (!engraved) {
        Disc(cr, x, y, radius + 16.0 * unit);
        cairo_pattern_t* shade = cairo_pattern_create_radial(x, y - 30.0 * unit, 10.0 * unit, x, y, radius + 16.0 * unit);
        cairo_pattern_add_color_stop_rgba(shade, 0.0, 0.20, 0.21, 0.24, 1.0);
        cairo_pattern_add_color_stop_rgba(shade, 1.0, 0.08, 0.085, 0.10, 1.0);
        FillWith(cr, shade);
        Disc(cr, x, y, radius + 16.0 * unit);
        cairo_set_line_width(cr, 1.5 * unit);
        SetColour(cr, Hex(0xFFFFFF, 0.08));
        cairo_stroke(cr);
    }

    const double start = (-135.0 - 90.0) * kPi / 180.0;
    const double end = (135.0 - 90.0) * kPi / 180.0;
    const double lit = (70.0 - 90.0) * kPi / 180.0;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_new_path(cr);
    cairo_arc(cr, x, y, radius, start, end);
    cairo_set_line_width(cr, 9.0 * unit);
    SetColour(cr, engraved ? Hex(0x000000, 0.35) : Hex(0x050607));
    cairo_stroke(cr);
    if (!engraved) {
        cairo_new_path(cr);
        cairo_arc(cr, x, y, radius, start, lit);
        StrokeGlow(cr, arc, 7.0 * unit, 6.0 * unit);
    }
    cairo_new_path(cr);
    cairo_arc(cr, x, y, radius, start, lit);
    cairo_set_line_width(cr, 7.0 * unit);
    SetColour(cr, arc);
    cairo_stroke(cr);

    // The K: its stem, and two arms meeting it a little below the middle.
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_new_path(cr);
    cairo_move_to(cr, x - 37.0 * unit, y - 58.0 * unit);
    cairo_line_to(cr, x - 37.0 * unit, y + 58.0 * unit);
    cairo_move_to(cr, x + 35.0 * unit, y - 58.0 * unit);
    cairo_line_to(cr, x - 23.0 * unit, y + 4.0 * unit);
    cairo_line_to(cr, x + 37.0 * unit, y + 58.0 * unit);
    cairo_set_line_width(cr, 17.0 * unit);
    cairo_save(cr);
    cairo_translate(cr, 0.0, engraved ? 1.0 : 2.0 * unit);
    SetColour(cr, Hex(0x000000, 0.55));
    cairo_stroke_preserve(cr);
    cairo_restore(cr);
    if (engraved) {
        SetColour(cr, Hex(0x3C424A));
        cairo_stroke(cr);
    } else {
        cairo_pattern_t* metal = VerticalGradient(y - 66.0 * unit, y + 66.0 * unit, kMetalLight, kMetalDark);
        cairo_set_source(cr, metal);
        cairo_stroke(cr);
        cairo_pattern_destroy(metal);
    }
}

void DrawMakerLogo(Canvas& image) {
    cairo_t* cr = image.Context();
    const double cx = image.Width() / 2.0;
    DrawEmblem(cr, cx, 170.0, 108.0, false);

    // The word mark and what the maker makes.
    MetalTextCentred(cr, {Font::SansBold, 56.0, 16.0}, "KORVANE", cx + 8.0, 368.0);
    const TextStyle tagline{Font::Sans, 13.0, 7.0};
    const double width = TextAdvance(cr, tagline, "AUDIO INSTRUMENTS");
    SetColour(cr, palette::kEngraving);
    DrawText(cr, tagline, "AUDIO INSTRUMENTS", cx - width / 2.0, 404.0);
    SetColour(cr, palette::kLamp);
    cairo_rectangle(cr, cx - width / 2.0 - 44.0, 398.0, 30.0, 2.0);
    cairo_rectangle(cr, cx + width / 2.0 + 14.0, 398.0, 30.0, 2.0);
    cairo_fill(cr);
}

void DrawEditionText(Canvas& image) {
    cairo_t* cr = image.Context();
    const double cx = image.Width() / 2.0;
    MetalTextCentred(cr, {Font::SansBold, 44.0, 12.0}, "DUNEROW", cx + 6.0, 52.0);

    const TextStyle edition{Font::SansBold, 14.0, 4.0};
    const TextStyle kind{Font::Sans, 14.0, 4.0};
    const char* first = "FREE EDITION";
    const char* second = "KICK & BASS SYNTHESIZER";
    const double gap = 36.0;
    const double firstWidth = TextAdvance(cr, edition, first);
    const double total = firstWidth + gap + TextAdvance(cr, kind, second);
    const double left = cx - total / 2.0;
    SetColour(cr, palette::kLamp);
    DrawText(cr, edition, first, left, 88.0);
    cairo_new_path(cr);
    cairo_arc(cr, left + firstWidth + gap / 2.0, 83.0, 2.0, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    SetColour(cr, palette::kEngraving);
    DrawText(cr, kind, second, left + firstWidth + gap, 88.0);
}

void DrawTeamText(Canvas& image) {
    cairo_t* cr = image.Context();
    const double cx = image.Width() / 2.0;
    SetColour(cr, palette::kDimText);
    DrawTextCentred(cr, {Font::Sans, 9.0, 3.0}, "DESIGNED AND BUILT BY", cx, 11.0);
    MetalTextCentred(cr, {Font::SansBold, 21.0, 1.0}, "the Korvane team", cx, 43.0);
}

void DrawBitBadge(Canvas& image) {
    cairo_t* cr = image.Context();
    const double w = image.Width();
    const double h = image.Height();
    RoundedRectPath(cr, 4.5, 4.5, w - 9.0, h - 9.0, (h - 9.0) / 2.0);
    FillWith(cr, VerticalGradient(4.0, h - 4.0, Hex(0x2A2D33), Hex(0x16181B)), true);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, WithAlpha(palette::kEngraving, 0.55));
    cairo_stroke(cr);
    const TextStyle style{Font::SansBold, 10.0, 1.8};
    const double width = TextAdvance(cr, style, "64-BIT");
    const double cap = CapHeight(cr, style);
    const double left = w / 2.0 - width / 2.0;
    const double baseline = std::round(h / 2.0 + cap / 2.0);
    SetColour(cr, palette::kLamp);
    DrawText(cr, style, "64", left, baseline);
    SetColour(cr, kIcon);
    DrawText(cr, style, "-BIT", left + TextAdvance(cr, style, "64") + style.tracking, baseline);
}

void DrawFormatBadge(Canvas& image) {
    cairo_t* cr = image.Context();
    const double w = image.Width();
    const double h = image.Height();
    RoundedRectPath(cr, 2.5, 2.5, w - 5.0, h - 5.0, 9.0);
    FillWith(cr, VerticalGradient(2.0, h - 2.0, Hex(0x26292E), Hex(0x15171A)), true);
    cairo_set_line_width(cr, 1.5);
    SetColour(cr, WithAlpha(palette::kEngraving, 0.6));
    cairo_stroke(cr);
    MetalTextCentred(cr, {Font::SansBold, 30.0, 3.0}, "VST2", w / 2.0 + 1.5, 42.0);
    SetColour(cr, palette::kEngraving);
    DrawTextCentred(cr, {Font::Sans, 10.5, 3.5}, "PLUG-IN", w / 2.0 + 1.75, 58.0);
}

void DrawWebIcon(Canvas& image) {
    cairo_t* cr = image.Context();
    const double x = 50.0;
    const double y = 60.0;  // the caption above covers the top of the image
    IconBacking(cr, x, y, 36.0);
    const double r = 24.0;
    cairo_set_line_width(cr, 2.2);
    SetColour(cr, kIcon);
    Disc(cr, x, y, r);
    cairo_stroke(cr);
    // Meridians: the middle one straight, two as half ellipses.
    cairo_new_path(cr);
    cairo_move_to(cr, x, y - r);
    cairo_line_to(cr, x, y + r);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, 0.48, 1.0);
    cairo_new_path(cr);
    cairo_arc(cr, 0.0, 0.0, r, 0.0, 2.0 * kPi);
    cairo_restore(cr);
    cairo_stroke(cr);
    // Parallels: the equator and one above and below it.
    for (double offset : {-0.5, 0.0, 0.5}) {
        const double py = y + offset * r;
        const double half = std::sqrt(r * r - (offset * r) * (offset * r));
        cairo_new_path(cr);
        cairo_move_to(cr, x - half, py);
        cairo_line_to(cr, x + half, py);
        cairo_stroke(cr);
    }
}

void DrawSocialIcon(Canvas& image) {
    cairo_t* cr = image.Context();
    const double x = 50.0;
    const double y = 62.0;  // the caption above covers the top of the image
    IconBacking(cr, x, y, 36.0);
    // A speech bubble with its tail at the lower left.
    const double left = x - 22.0;
    const double top = y - 18.0;
    RoundedRectPath(cr, left, top, 44.0, 30.0, 8.0);
    cairo_move_to(cr, left + 9.0, top + 28.0);
    cairo_line_to(cr, left + 6.0, top + 39.0);
    cairo_line_to(cr, left + 19.0, top + 29.0);
    cairo_close_path(cr);
    SetColour(cr, kIcon);
    cairo_fill(cr);
    // Two people inside it, cut out of the bubble.
    const Colour cut = Hex(0x202327);
    auto person = [&](double px, double py, double scale) {
        Disc(cr, px, py - 5.0 * scale, 3.6 * scale);
        SetColour(cr, cut);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_translate(cr, px, py + 6.0 * scale);
        cairo_scale(cr, 1.0, 0.75);
        cairo_new_path(cr);
        cairo_arc(cr, 0.0, 0.0, 7.0 * scale, kPi, 2.0 * kPi);
        cairo_close_path(cr);
        cairo_restore(cr);
        cairo_fill(cr);
    };
    person(x - 6.0, y - 3.0, 0.9);
    person(x + 6.0, y - 4.0, 1.05);
}

}  // namespace artwork
