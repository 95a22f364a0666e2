#include "displays.h"

#include <cmath>

#include "palette.h"

namespace artwork {

namespace {

// A line on whole-pixel centres so a 1-pixel line stays crisp.
double Crisp(double at) { return std::floor(at) + 0.5; }

void DrawGrid(cairo_t* cr, const DisplayLook& look) {
    if (look.gridRight <= look.gridLeft || look.gridBottom <= look.gridTop) return;
    cairo_set_line_width(cr, 1.0);
    for (int column = 0; column <= look.columns; ++column) {
        const double x = Crisp(look.gridLeft + (look.gridRight - look.gridLeft) * column / look.columns);
        cairo_new_path(cr);
        cairo_move_to(cr, x, look.gridTop);
        cairo_line_to(cr, x, look.gridBottom);
        SetColour(cr, WithAlpha(look.tint, column == 0 || column == look.columns ? 0.10 : 0.07));
        cairo_stroke(cr);
    }
    for (int row = 0; row <= look.rows; ++row) {
        const double y = Crisp(look.gridTop + (look.gridBottom - look.gridTop) * row / look.rows);
        const bool middle = look.rows % 2 == 0 && row == look.rows / 2;
        cairo_new_path(cr);
        cairo_move_to(cr, look.gridLeft, y);
        cairo_line_to(cr, look.gridRight, y);
        SetColour(cr, WithAlpha(look.tint, middle ? 0.16 : (row == 0 || row == look.rows ? 0.10 : 0.07)));
        cairo_stroke(cr);
    }
}

}  // namespace

void DrawDisplay(Canvas& image, const DisplayLook& look) {
    cairo_t* cr = image.Context();
    const double w = image.Width();
    const double h = image.Height();
    const double radius = std::min(4.0, h / 4.0);

    // Bezel: shade above, a catch of light along the lower edge.
    RoundedRectPath(cr, 0.0, 0.0, w, h, radius + 1.0);
    FillWith(cr, VerticalGradient(0.0, h, Hex(0x050607), Hex(0x3A3E45)));
    RoundedRectPath(cr, 1.0, 1.0, w - 2.0, h - 2.0, radius);
    SetColour(cr, Hex(0x000000));
    cairo_fill(cr);

    // Glass.
    RoundedRectPath(cr, 1.5, 1.5, w - 3.0, h - 3.0, radius - 0.5);
    cairo_pattern_t* glass = VerticalGradient(1.5, h - 1.5, Mix(palette::kGlass, look.tint, 0.03),
                                              Mix(Hex(0x0F1317), look.tint, 0.06));
    FillWith(cr, glass);

    cairo_save(cr);
    RoundedRectPath(cr, 1.5, 1.5, w - 3.0, h - 3.0, radius - 0.5);
    cairo_clip(cr);
    DrawGrid(cr, look);
    for (double x : look.dividers) {
        cairo_new_path(cr);
        cairo_move_to(cr, Crisp(x), 4.0);
        cairo_line_to(cr, Crisp(x), h - 4.0);
        cairo_set_line_width(cr, 1.0);
        SetColour(cr, WithAlpha(look.tint, 0.14));
        cairo_stroke(cr);
    }
    // The shadow the bezel throws on the glass, and a faint sheen on its upper half.
    cairo_rectangle(cr, 0.0, 0.0, w, 5.0);
    FillWith(cr, VerticalGradient(1.5, 5.0, Hex(0x000000, 0.55), Hex(0x000000, 0.0)));
    RoundedRectPath(cr, 2.0, 2.0, w - 4.0, (h - 4.0) * 0.45, radius - 1.0);
    FillWith(cr, VerticalGradient(2.0, 2.0 + (h - 4.0) * 0.45, Hex(0xFFFFFF, 0.045), Hex(0xFFFFFF, 0.0)));
    cairo_restore(cr);
}

}  // namespace artwork
