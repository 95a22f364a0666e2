#include "knobs.h"

#include <algorithm>
#include <cmath>

#include "palette.h"

namespace artwork {

namespace {

constexpr double kSweepDegrees = 270.0;

// Proportions of a knob of a given size: the value ring outside, the cap inside.
struct KnobGeometry {
    double centre;
    double ringWidth;
    double ringRadius;
    double capRadius;
    double pointerWidth;
};

KnobGeometry GeometryFor(int size) {
    const double s = size;
    KnobGeometry g{};
    g.centre = s / 2.0;
    g.ringWidth = std::clamp(s * 0.075, 2.2, 3.6);
    g.ringRadius = s / 2.0 - g.ringWidth / 2.0 - 1.0;
    g.capRadius = g.ringRadius - g.ringWidth / 2.0 - std::max(1.6, s * 0.05);
    g.pointerWidth = std::max(1.7, s * 0.058);
    return g;
}

// Cairo's angle for `degrees` clockwise from straight up.
double Radians(double degrees) { return (degrees - 90.0) * kPi / 180.0; }

void RingPath(cairo_t* cr, const KnobGeometry& g, double fromDegrees, double toDegrees) {
    cairo_new_path(cr);
    cairo_arc(cr, g.centre, g.centre, g.ringRadius, Radians(fromDegrees), Radians(toDegrees));
}

void DrawRingTrack(cairo_t* cr, const KnobGeometry& g, double fromDegrees, double toDegrees) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    RingPath(cr, g, fromDegrees, toDegrees);
    cairo_set_line_width(cr, g.ringWidth + 1.0);
    SetColour(cr, WithAlpha(palette::kVoid, 0.55));
    cairo_stroke(cr);
    RingPath(cr, g, fromDegrees, toDegrees);
    cairo_set_line_width(cr, g.ringWidth);
    SetColour(cr, Hex(0x07080A, 0.95));
    cairo_stroke(cr);
}

void DrawLitArc(cairo_t* cr, const KnobGeometry& g, double fromDegrees, double toDegrees, const Colour& accent) {
    if (toDegrees < fromDegrees) std::swap(fromDegrees, toDegrees);
    if (toDegrees - fromDegrees < 0.01) return;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    RingPath(cr, g, fromDegrees, toDegrees);
    StrokeGlow(cr, accent, g.ringWidth, g.ringWidth * 0.6);
    RingPath(cr, g, fromDegrees, toDegrees);
    cairo_set_line_width(cr, g.ringWidth * 0.8);
    SetColour(cr, accent);
    cairo_stroke(cr);
    // A hot core along the middle of the arc.
    RingPath(cr, g, fromDegrees, toDegrees);
    cairo_set_line_width(cr, std::max(0.6, g.ringWidth * 0.25));
    SetColour(cr, WithAlpha(Mix(accent, palette::kBrightText, 0.6), 0.55));
    cairo_stroke(cr);
}

// The knob's body, the same in every frame: a shadow, a dark skirt and a
// brushed face lit from above.
void DrawCap(cairo_t* cr, const KnobGeometry& g) {
    const double c = g.centre;
    const double r = g.capRadius;

    cairo_pattern_t* shadow = cairo_pattern_create_radial(c, c + 1.2, r * 0.7, c, c + 1.2, r + 2.2);
    cairo_pattern_add_color_stop_rgba(shadow, 0.0, 0.0, 0.0, 0.0, 0.7);
    cairo_pattern_add_color_stop_rgba(shadow, 1.0, 0.0, 0.0, 0.0, 0.0);
    cairo_new_path(cr);
    cairo_arc(cr, c, c + 1.2, r + 2.2, 0.0, 2.0 * kPi);
    FillWith(cr, shadow);

    cairo_new_path(cr);
    cairo_arc(cr, c, c, r, 0.0, 2.0 * kPi);
    FillWith(cr, VerticalGradient(c - r, c + r, Hex(0x464B54), Hex(0x141619)), true);
    cairo_set_line_width(cr, 0.8);
    SetColour(cr, Hex(0x000000, 0.65));
    cairo_stroke(cr);

    const double face = r * 0.78;
    cairo_pattern_t* faceShade = cairo_pattern_create_radial(c - face * 0.35, c - face * 0.55, 0.0, c, c, face * 1.25);
    cairo_pattern_add_color_stop_rgb(faceShade, 0.0, 0.36, 0.38, 0.42);
    cairo_pattern_add_color_stop_rgb(faceShade, 0.55, 0.20, 0.215, 0.24);
    cairo_pattern_add_color_stop_rgb(faceShade, 1.0, 0.13, 0.14, 0.16);
    cairo_new_path(cr);
    cairo_arc(cr, c, c, face, 0.0, 2.0 * kPi);
    FillWith(cr, faceShade);

    // The face's rim catches the light at the top and falls dark below.
    cairo_pattern_t* rim = VerticalGradient(c - face, c + face, Hex(0xFFFFFF, 0.28), Hex(0x000000, 0.45));
    cairo_new_path(cr);
    cairo_arc(cr, c, c, face - 0.35, 0.0, 2.0 * kPi);
    cairo_set_line_width(cr, 0.7);
    cairo_set_source(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

void DrawPointer(cairo_t* cr, const KnobGeometry& g, double degrees) {
    const double angle = Radians(degrees);
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    const double inner = g.capRadius * 0.30;
    const double outer = g.capRadius * 0.93;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_new_path(cr);
    cairo_move_to(cr, g.centre + dx * inner, g.centre + dy * inner);
    cairo_line_to(cr, g.centre + dx * outer, g.centre + dy * outer);
    cairo_set_line_width(cr, g.pointerWidth + 1.2);
    SetColour(cr, Hex(0x000000, 0.55));
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, g.pointerWidth);
    SetColour(cr, palette::kBrightText);
    cairo_stroke(cr);
}

void DrawDot(cairo_t* cr, double x, double y, double radius, const Colour& colour) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, radius, 0.0, 2.0 * kPi);
    SetColour(cr, colour);
    cairo_fill(cr);
}

}  // namespace

double KnobAngle(int index, int frames) {
    if (frames < 2) return -kSweepDegrees / 2.0;
    return -kSweepDegrees / 2.0 + kSweepDegrees * static_cast<double>(index) / static_cast<double>(frames - 1);
}

void DrawKnob(Canvas& strip, const KnobLook& look) {
    const KnobGeometry g = GeometryFor(look.size);
    DrawFrames(strip, look.size, look.size, kKnobFrames, [&](cairo_t* cr, int index) {
        const double angle = KnobAngle(index, kKnobFrames);
        DrawRingTrack(cr, g, -kSweepDegrees / 2.0, kSweepDegrees / 2.0);
        if (look.bipolar) {
            // The centre mark, where the arc starts either way.
            const double x = g.centre;
            const double y = g.centre - g.ringRadius;
            DrawDot(cr, x, y, g.ringWidth * 0.28, WithAlpha(look.accent, 0.55));
            DrawLitArc(cr, g, 0.0, angle, look.accent);
        } else {
            DrawLitArc(cr, g, -kSweepDegrees / 2.0, angle, look.accent);
        }
        DrawCap(cr, g);
        DrawPointer(cr, g, angle);
    });
}

void DrawSelectorKnob(Canvas& strip, const KnobLook& look, int positions, double sweepDegrees) {
    const KnobGeometry g = GeometryFor(look.size);
    const double dotRadius = std::max(1.6, g.ringWidth * 0.62);
    DrawFrames(strip, look.size, look.size, positions, [&](cairo_t* cr, int index) {
        auto angleOf = [&](int position) {
            return -sweepDegrees / 2.0 + sweepDegrees * static_cast<double>(position) / (positions - 1);
        };
        // A faint track joins the stops.
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        RingPath(cr, g, angleOf(0), angleOf(positions - 1));
        cairo_set_line_width(cr, g.ringWidth * 0.45);
        SetColour(cr, Hex(0x07080A, 0.9));
        cairo_stroke(cr);
        for (int position = 0; position < positions; ++position) {
            const double angle = Radians(angleOf(position));
            const double x = g.centre + std::cos(angle) * g.ringRadius;
            const double y = g.centre + std::sin(angle) * g.ringRadius;
            DrawDot(cr, x, y, dotRadius + 0.7, Hex(0x000000, 0.7));
            if (position == index) {
                cairo_new_path(cr);
                cairo_arc(cr, x, y, dotRadius * 0.4, 0.0, 2.0 * kPi);
                StrokeGlow(cr, look.accent, dotRadius, dotRadius * 1.2);
                DrawDot(cr, x, y, dotRadius, look.accent);
                DrawDot(cr, x, y, dotRadius * 0.45, WithAlpha(palette::kBrightText, 0.7));
            } else {
                DrawDot(cr, x, y, dotRadius, Hex(0x5A616B));
            }
        }
        DrawCap(cr, g);
        DrawPointer(cr, g, angleOf(index));
    });
}

}  // namespace artwork
