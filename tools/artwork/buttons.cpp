#include "buttons.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "palette.h"

namespace artwork {

namespace {

constexpr int kFramesOffOn = 2;
// Dark print on a lit key.
constexpr Colour kLitText = Hex(0x24190A);

// A lamp: a dark lens when off; lit, a hot centre with a halo around it.
void DrawLamp(cairo_t* cr, double x, double y, double radius, bool on) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, radius + 1.0, 0.0, 2.0 * kPi);
    SetColour(cr, Hex(0x000000, 0.7));
    cairo_fill(cr);
    if (on) {
        cairo_pattern_t* halo = cairo_pattern_create_radial(x, y, radius * 0.5, x, y, radius * 1.7);
        cairo_pattern_add_color_stop_rgba(halo, 0.0, palette::kLamp.r, palette::kLamp.g, palette::kLamp.b, 0.55);
        cairo_pattern_add_color_stop_rgba(halo, 1.0, palette::kLamp.r, palette::kLamp.g, palette::kLamp.b, 0.0);
        cairo_new_path(cr);
        cairo_arc(cr, x, y, radius * 1.7, 0.0, 2.0 * kPi);
        FillWith(cr, halo);
        cairo_pattern_t* lens = cairo_pattern_create_radial(x - radius * 0.3, y - radius * 0.35, 0.0, x, y, radius);
        cairo_pattern_add_color_stop_rgb(lens, 0.0, 1.0, 0.97, 0.86);
        cairo_pattern_add_color_stop_rgb(lens, 0.45, 1.0, 0.80, 0.40);
        cairo_pattern_add_color_stop_rgb(lens, 1.0, palette::kLamp.r * 0.85, palette::kLamp.g * 0.6,
                                         palette::kLamp.b * 0.4);
        cairo_new_path(cr);
        cairo_arc(cr, x, y, radius, 0.0, 2.0 * kPi);
        FillWith(cr, lens);
    } else {
        cairo_pattern_t* lens = cairo_pattern_create_radial(x - radius * 0.3, y - radius * 0.4, 0.0, x, y, radius);
        cairo_pattern_add_color_stop_rgb(lens, 0.0, 0.30, 0.24, 0.19);
        cairo_pattern_add_color_stop_rgb(lens, 1.0, 0.11, 0.09, 0.08);
        cairo_new_path(cr);
        cairo_arc(cr, x, y, radius, 0.0, 2.0 * kPi);
        FillWith(cr, lens);
        // The glint of an unlit lens.
        cairo_new_path(cr);
        cairo_arc(cr, x - radius * 0.3, y - radius * 0.35, radius * 0.28, 0.0, 2.0 * kPi);
        SetColour(cr, Hex(0xFFFFFF, 0.16));
        cairo_fill(cr);
    }
}

// The body of a key: raised when released, sunk and lit from inside when on.
void DrawKey(cairo_t* cr, double width, double height, bool on) {
    const double radius = std::min(3.5, height / 4.0);
    RoundedRectPath(cr, 0.5, 0.5, width - 1.0, height - 1.0, radius);
    SetColour(cr, Hex(0x000000, 0.75));
    cairo_fill(cr);
    if (on) {
        // Lit from behind: an amber face, brightest at the top.
        RoundedRectPath(cr, 1.5, 1.5, width - 3.0, height - 3.0, radius - 1.0);
        FillWith(cr, VerticalGradient(1.5, height - 1.5, Mix(Hex(0x2A2D32), palette::kLamp, 0.80),
                                      Mix(Hex(0x2A2D32), palette::kLamp, 0.55)));
        RoundedRectPath(cr, 2.0, 2.0, width - 4.0, height - 4.0, radius - 1.5);
        cairo_set_line_width(cr, 1.0);
        SetColour(cr, Hex(0xFFF1D6, 0.35));
        cairo_stroke(cr);
    } else {
        RoundedRectPath(cr, 1.5, 1.5, width - 3.0, height - 3.0, radius - 1.0);
        FillWith(cr, VerticalGradient(1.5, height - 1.5, palette::kKeyTop, palette::kKeyBottom));
        // Light on the top edge, shade on the bottom one.
        cairo_new_path(cr);
        cairo_move_to(cr, 1.5 + radius, 2.0);
        cairo_line_to(cr, width - 1.5 - radius, 2.0);
        cairo_set_line_width(cr, 1.0);
        SetColour(cr, Hex(0xFFFFFF, 0.14));
        cairo_stroke(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, 1.5 + radius, height - 2.0);
        cairo_line_to(cr, width - 1.5 - radius, height - 2.0);
        SetColour(cr, Hex(0x000000, 0.25));
        cairo_stroke(cr);
    }
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

// Centres the lines of a caption inside (left, top, width, height).
void DrawCaption(cairo_t* cr, std::string_view caption, double left, double top, double width, double height,
                 double size, bool on) {
    const std::vector<std::string_view> lines = Lines(caption);
    TextStyle style{Font::SansBold, size, 0.5};
    for (std::string_view line : lines) style = FitWidth(cr, style, line, width);
    const double cap = CapHeight(cr, style);
    const double gap = std::round(cap * 0.6);
    const double block = cap * static_cast<double>(lines.size()) + gap * static_cast<double>(lines.size() - 1);
    double centreY = top + (height - block) / 2.0 + cap / 2.0;
    for (std::string_view line : lines) {
        if (on) {
            SetColour(cr, Hex(0xFFFFFF, 0.25));
            DrawTextCentred(cr, style, line, left + width / 2.0, centreY + 1.0);
            SetColour(cr, kLitText);
        } else {
            SetColour(cr, Hex(0x000000, 0.6));
            DrawTextCentred(cr, style, line, left + width / 2.0, centreY + 1.0);
            SetColour(cr, palette::kEngraving);
        }
        DrawTextCentred(cr, style, line, left + width / 2.0, centreY);
        centreY += cap + gap;
    }
}

double CaptionSize(int frameHeight) { return frameHeight >= 30 ? 10.0 : 8.5; }

}  // namespace

void DrawLampSwitch(Canvas& strip, int size) {
    DrawFrames(strip, size, size, kFramesOffOn, [&](cairo_t* cr, int index) {
        const double c = size / 2.0;
        const double bezel = size / 2.0 - 1.0;
        // A round bezel lit from the upper left, a recess, the lens.
        cairo_new_path(cr);
        cairo_arc(cr, c, c + 0.5, bezel + 0.5, 0.0, 2.0 * kPi);
        SetColour(cr, Hex(0x000000, 0.6));
        cairo_fill(cr);
        cairo_new_path(cr);
        cairo_arc(cr, c, c, bezel, 0.0, 2.0 * kPi);
        FillWith(cr, VerticalGradient(c - bezel, c + bezel, Hex(0x5A606A), Hex(0x1E2125)));
        cairo_new_path(cr);
        cairo_arc(cr, c, c, bezel - 1.6, 0.0, 2.0 * kPi);
        SetColour(cr, Hex(0x0C0D0F));
        cairo_fill(cr);
        DrawLamp(cr, c, c, bezel - 3.2, index == 1);
    });
}

void DrawCaptionButton(Canvas& strip, std::string_view caption, int frameWidth, int frameHeight) {
    DrawFrames(strip, frameWidth, frameHeight, kFramesOffOn, [&](cairo_t* cr, int index) {
        const bool on = index == 1;
        DrawKey(cr, frameWidth, frameHeight, on);
        const double sink = on ? 0.5 : 0.0;
        if (frameWidth >= 60) {
            const double lampX = 10.0;
            DrawLamp(cr, lampX, frameHeight / 2.0 + sink, 2.6, on);
            DrawCaption(cr, caption, 16.0, sink, frameWidth - 20.0, frameHeight, CaptionSize(frameHeight), on);
        } else {
            DrawCaption(cr, caption, 3.0, sink, frameWidth - 6.0, frameHeight, CaptionSize(frameHeight), on);
        }
    });
}

void DrawStateButton(Canvas& strip, const std::vector<std::string_view>& captions, int frameWidth, int frameHeight) {
    const int states = static_cast<int>(captions.size());
    DrawFrames(strip, frameWidth, frameHeight, states, [&](cairo_t* cr, int index) {
        const bool on = index > 0;
        DrawKey(cr, frameWidth, frameHeight, on);
        // One small lamp per state after the first, lit up to the current one.
        const double spacing = 7.0;
        const double first = frameWidth / 2.0 - spacing * (states - 2) / 2.0;
        for (int lamp = 1; lamp < states; ++lamp) {
            const double x = first + spacing * (lamp - 1);
            cairo_new_path(cr);
            cairo_arc(cr, x, 7.0, 1.6, 0.0, 2.0 * kPi);
            if (on) {
                SetColour(cr, lamp <= index ? kLitText : WithAlpha(kLitText, 0.25));
            } else {
                SetColour(cr, Hex(0x4A4038));
            }
            cairo_fill(cr);
        }
        DrawCaption(cr, captions[static_cast<std::size_t>(index)], 3.0, 5.0, frameWidth - 6.0, frameHeight - 5.0,
                    CaptionSize(frameHeight), on);
    });
}

void DrawArrowButton(Canvas& strip, Arrow arrow, int size) {
    DrawFrames(strip, size, size, kFramesOffOn, [&](cairo_t* cr, int index) {
        const bool on = index == 1;
        DrawKey(cr, size, size, on);
        const double c = size / 2.0 + (on ? 0.5 : 0.0);
        const double half = size * 0.2;
        // The arrow head pointing up, turned to its direction.
        double turn = 0.0;
        switch (arrow) {
            case Arrow::Up: turn = 0.0; break;
            case Arrow::Right: turn = 0.5 * kPi; break;
            case Arrow::Down: turn = kPi; break;
            case Arrow::Left: turn = 1.5 * kPi; break;
        }
        cairo_save(cr);
        cairo_translate(cr, size / 2.0, c);
        cairo_rotate(cr, turn);
        cairo_new_path(cr);
        cairo_move_to(cr, 0.0, -half * 0.85);
        cairo_line_to(cr, half, half * 0.6);
        cairo_line_to(cr, -half, half * 0.6);
        cairo_close_path(cr);
        cairo_restore(cr);
        if (on) {
            SetColour(cr, kLitText);
        } else {
            SetColour(cr, palette::kEngraving);
        }
        cairo_fill(cr);
    });
}

void DrawTab(Canvas& strip, std::string_view caption, int frameWidth, int frameHeight) {
    DrawFrames(strip, frameWidth, frameHeight, kFramesOffOn, [&](cairo_t* cr, int index) {
        const bool pressed = index == 1;
        const double w = frameWidth;
        const double h = frameHeight;
        const double r = 6.0;
        // Square at the top where it meets the panel, round below.
        auto shape = [&](double inset) {
            cairo_new_path(cr);
            cairo_move_to(cr, inset, 0.0);
            cairo_line_to(cr, w - inset, 0.0);
            cairo_arc(cr, w - inset - r, h - inset - r, r, 0.0, 0.5 * kPi);
            cairo_arc(cr, inset + r, h - inset - r, r, 0.5 * kPi, kPi);
            cairo_close_path(cr);
        };
        shape(0.5);
        SetColour(cr, Hex(0x000000, 0.8));
        cairo_fill(cr);
        shape(1.5);
        if (pressed) {
            FillWith(cr, VerticalGradient(0.0, h, palette::kPlateBottom, Hex(0x2A2D32)));
        } else {
            FillWith(cr, VerticalGradient(0.0, h, Hex(0x141518), Hex(0x1B1D21)));
        }
        const TextStyle style{Font::SansBold, 10.0, 1.6};
        if (pressed) {
            // The lit bar along the bottom edge.
            RoundedRectPath(cr, 14.0, h - 5.0, w - 28.0, 2.0, 1.0);
            SetColour(cr, palette::kLamp);
            cairo_fill(cr);
            RoundedRectPath(cr, 12.0, h - 6.5, w - 24.0, 5.0, 2.5);
            SetColour(cr, WithAlpha(palette::kLamp, 0.25));
            cairo_fill(cr);
            SetColour(cr, palette::kBrightText);
        } else {
            SetColour(cr, palette::kDimText);
        }
        DrawTextCentred(cr, style, caption, w / 2.0, h / 2.0 - 1.0);
    });
}

void DrawSliderHandle(Canvas& image) {
    cairo_t* cr = image.Context();
    const double size = image.Width();
    RoundedRectPath(cr, 0.5, 0.5, size - 1.0, size - 1.0, 3.0);
    SetColour(cr, Hex(0x000000, 0.8));
    cairo_fill(cr);
    RoundedRectPath(cr, 1.5, 1.5, size - 3.0, size - 3.0, 2.0);
    FillWith(cr, VerticalGradient(1.5, size - 1.5, Hex(0x767D88), Hex(0x3A3F47)));
    cairo_new_path(cr);
    cairo_move_to(cr, 3.0, 2.0);
    cairo_line_to(cr, size - 3.0, 2.0);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, Hex(0xFFFFFF, 0.3));
    cairo_stroke(cr);
    // The index line in the middle.
    cairo_new_path(cr);
    cairo_move_to(cr, size / 2.0, 3.5);
    cairo_line_to(cr, size / 2.0, size - 3.5);
    cairo_set_line_width(cr, 2.0);
    SetColour(cr, palette::kLamp);
    cairo_stroke(cr);
}

void DrawSliderTrack(Canvas& image) {
    cairo_t* cr = image.Context();
    const double w = image.Width();
    const double h = image.Height();
    const double handle = 14.0;  // the handle's centre travels from handle/2 to w - handle/2
    // Marks at both ends and in the middle of the travel.
    for (int mark = 0; mark < 3; ++mark) {
        const double x = std::round(handle / 2.0 + (w - handle) * mark / 2.0) + 0.5;
        cairo_new_path(cr);
        cairo_move_to(cr, x, 0.5);
        cairo_line_to(cr, x, 3.0);
        cairo_move_to(cr, x, h - 3.0);
        cairo_line_to(cr, x, h - 0.5);
        cairo_set_line_width(cr, 1.0);
        SetColour(cr, WithAlpha(palette::kEngraving, 0.6));
        cairo_stroke(cr);
    }
    RoundedRectPath(cr, 2.5, h / 2.0 - 2.5, w - 5.0, 5.0, 2.5);
    SetColour(cr, Hex(0x000000, 0.85));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, Hex(0xFFFFFF, 0.08));
    cairo_stroke(cr);
    RoundedRectPath(cr, 4.0, h / 2.0 - 0.5, w - 8.0, 1.0, 0.5);
    SetColour(cr, WithAlpha(palette::kLamp, 0.35));
    cairo_fill(cr);
}

}  // namespace artwork
