#include "backgrounds.h"

#include <cmath>

#include "about_page.h"
#include "palette.h"

namespace artwork {

namespace {

constexpr int kWindowWidth = 1030;
constexpr int kWindowHeight = 800;
constexpr int kControlsWidth = 920;
constexpr int kControlsHeight = 730;
constexpr double kPlateInset = 3.0;  // the plate's edge inside the controls background
constexpr double kCardRadius = 5.0;
constexpr int kRuleGap = 6;          // between a heading's text and its rule

const TextStyle kHeadingStyle{Font::SansBold, 10.5, 1.2};

Rect RoundOut(const Box& box) {
    return {static_cast<int>(std::floor(box.left)), static_cast<int>(std::floor(box.top)),
            static_cast<int>(std::ceil(box.right)), static_cast<int>(std::ceil(box.bottom))};
}

// Draws (or only measures) the heading at window coordinates through `cr`,
// whose origin is the window's; returns its ink, rule included.
Box DrawHeading(cairo_t* cr, const Section& section, bool measureOnly) {
    const double baseline = section.headingTop + CapHeight(cr, kHeadingStyle);
    if (!measureOnly) {
        SetColour(cr, Hex(0x000000, 0.55));
        DrawText(cr, kHeadingStyle, section.heading, section.headingLeft, baseline + 1.0);
        SetColour(cr, section.accent);
    }
    Box ink = DrawText(cr, kHeadingStyle, section.heading, section.headingLeft, baseline, measureOnly);
    const int ruleTo = section.ruleEnd;
    const double ruleFrom = std::ceil(ink.right) + kRuleGap;
    if (ruleTo > ruleFrom) {
        const double y = std::floor(section.headingTop + CapHeight(cr, kHeadingStyle) / 2.0) + 0.5;
        if (!measureOnly) {
            cairo_new_path(cr);
            cairo_move_to(cr, ruleFrom, y);
            cairo_line_to(cr, ruleTo, y);
            cairo_set_line_width(cr, 1.0);
            cairo_pattern_t* fade = cairo_pattern_create_linear(ruleFrom, 0.0, ruleTo, 0.0);
            cairo_pattern_add_color_stop_rgba(fade, 0.0, section.accent.r, section.accent.g, section.accent.b, 0.45);
            cairo_pattern_add_color_stop_rgba(fade, 1.0, section.accent.r, section.accent.g, section.accent.b, 0.08);
            cairo_set_source(cr, fade);
            cairo_stroke(cr);
            cairo_pattern_destroy(fade);
        }
        ink.right = ruleTo;
        ink.top = std::min(ink.top, y - 0.5);
        ink.bottom = std::max(ink.bottom, y + 0.5);
    }
    return ink;
}

void DrawScrew(cairo_t* cr, double x, double y) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y + 0.8, 6.5, 0.0, 2.0 * kPi);
    SetColour(cr, Hex(0x000000, 0.5));
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_arc(cr, x, y, 6.0, 0.0, 2.0 * kPi);
    FillWith(cr, VerticalGradient(y - 6.0, y + 6.0, Hex(0x5B616B), Hex(0x24272C)));
    cairo_new_path(cr);
    cairo_arc(cr, x, y, 4.6, 0.0, 2.0 * kPi);
    FillWith(cr, VerticalGradient(y - 4.6, y + 4.6, Hex(0x33373E), Hex(0x4C525B)));
    // A cross slot, turned a little.
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, 0.35);
    cairo_new_path(cr);
    cairo_move_to(cr, -3.4, 0.0);
    cairo_line_to(cr, 3.4, 0.0);
    cairo_move_to(cr, 0.0, -3.4);
    cairo_line_to(cr, 0.0, 3.4);
    cairo_restore(cr);
    cairo_set_line_width(cr, 1.4);
    SetColour(cr, Hex(0x121316));
    cairo_stroke(cr);
}

void DrawCard(cairo_t* cr, const Rect& card) {
    const double x = card.left;
    const double y = card.top;
    const double w = card.right - card.left;
    const double h = card.bottom - card.top;
    RoundedRectPath(cr, x, y, w, h, kCardRadius);
    SetColour(cr, Hex(0x000000, 0.45));
    cairo_fill(cr);
    RoundedRectPath(cr, x + 1.0, y + 1.0, w - 2.0, h - 2.0, kCardRadius - 1.0);
    FillWith(cr, VerticalGradient(y, y + h, palette::kCardTop, palette::kCardBottom));
    // The top edge catches the light.
    RoundedRectPath(cr, x + 1.5, y + 1.5, w - 3.0, h - 3.0, kCardRadius - 1.5);
    cairo_set_line_width(cr, 1.0);
    cairo_pattern_t* edge = VerticalGradient(y, y + h, Hex(0xFFFFFF, 0.075), Hex(0xFFFFFF, 0.015));
    cairo_set_source(cr, edge);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);
}

// The empty corner beside the pitch envelope: a kick's waveform, a sine
// falling in pitch as it dies away, engraved in the panel.
void DrawKickEngraving(cairo_t* cr, const Rect& card) {
    const double left = card.left + 18.0;
    const double right = card.right - 18.0;
    const double middle = (card.top + card.bottom) / 2.0 - 6.0;
    const double height = (card.bottom - card.top) * 0.34;
    cairo_new_path(cr);
    constexpr int kSteps = 600;
    double phase = 0.0;
    for (int step = 0; step <= kSteps; ++step) {
        const double t = static_cast<double>(step) / kSteps;
        const double frequency = 1.2 + 16.0 * std::exp(-t * 9.0);  // cycles per unit of t, falling
        phase += 2.0 * kPi * frequency / kSteps * 3.0;
        const double amplitude = std::exp(-t * 2.6) * (1.0 - std::exp(-t * 140.0));
        const double x = left + (right - left) * t;
        const double y = middle - height * amplitude * std::sin(phase);
        if (step == 0) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_pattern_t* fade = cairo_pattern_create_linear(left, 0.0, right, 0.0);
    cairo_pattern_add_color_stop_rgba(fade, 0.0, palette::kLamp.r, palette::kLamp.g, palette::kLamp.b, 0.75);
    cairo_pattern_add_color_stop_rgba(fade, 1.0, palette::kLamp.r, palette::kLamp.g, palette::kLamp.b, 0.10);
    cairo_set_source(cr, fade);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 4.0);
    cairo_pattern_t* glow = cairo_pattern_create_linear(left, 0.0, right, 0.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, palette::kLamp.r, palette::kLamp.g, palette::kLamp.b, 0.12);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, palette::kLamp.r, palette::kLamp.g, palette::kLamp.b, 0.0);
    cairo_set_source(cr, glow);
    cairo_stroke(cr);
    cairo_pattern_destroy(fade);
    cairo_pattern_destroy(glow);

    const TextStyle tagline{Font::SansBold, 9.0, 3.5};
    SetColour(cr, palette::kDimText);
    DrawTextCentred(cr, tagline, "KICK  &  BASS  SYNTHESIZER", (card.left + card.right) / 2.0, card.bottom - 20.0);
}

}  // namespace

const std::vector<Section>& Sections() {
    using namespace palette;
    static const std::vector<Section> kSections = {
        {"OSC 1", {64, 44, 483, 196}, 107, 58, 334, kOscillator1},
        {"OSC 2", {64, 198, 483, 341}, 107, 203, 334, kOscillator2},
        {"OSC 3", {64, 343, 483, 486}, 107, 348, 334, kOscillator3},
        {"PITCH ENVELOPE", {485, 44, 697, 196}, 517, 58, 688, kPitch},
        {"", {699, 44, 966, 196}, 0, 0, 0, kLamp},
        {"FILTER", {485, 198, 716, 335}, 517, 203, 707, kFilter},
        {"MODULATION FX", {718, 198, 966, 341}, 754, 203, 957, kModulation},
        {"DISTORTION", {485, 343, 800, 484}, 517, 349, 660, kDistortion},
        {"SHAPER", {801, 343, 966, 482}, 808, 349, 957, kShaper},
        {"VOLUME ENVELOPE", {64, 488, 276, 633}, 76, 492, 267, kVolumeEnvelope},
        {"FILTER ENVELOPE", {278, 488, 481, 633}, 286, 492, 472, kFilterEnvelope},
        {"GLOBAL", {483, 512, 577, 700}, 490, 515, 0, kPitch},
        {"FM", {579, 510, 629, 612}, 584, 514, 0, kUnison},
        {"UNISON", {631, 510, 736, 612}, 637, 514, 727, kUnison},
        {"EQ", {738, 514, 966, 613}, 746, 516, 957, kEqualiser},
        {"BASS LAYER", {579, 614, 741, 700}, 584, 617, 732, kBassLayer},
        {"OUTPUT", {743, 615, 966, 709}, 750, 619, 886, kOutput},
    };
    return kSections;
}

Rect HeadingBox(const Section& section) {
    Canvas scratch(1, 1);
    return RoundOut(DrawHeading(scratch.Context(), section, true));
}

std::vector<std::string> LayoutProblems() {
    std::vector<std::string> problems;
    const std::vector<Rect> occupied = OccupiedRects();
    const Rect controls{kControlsLeft, kControlsTop, kControlsLeft + kControlsWidth, kControlsTop + kControlsHeight};
    auto describe = [](const Rect& r) {
        return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
               std::to_string(r.bottom) + ")";
    };
    const std::vector<Section>& sections = Sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section& section = sections[i];
        const Rect& card = section.card;
        if (card.left < controls.left || card.top < controls.top || card.right > controls.right ||
            card.bottom > controls.bottom) {
            problems.push_back("panel " + describe(card) + " leaves the controls background");
        }
        for (std::size_t j = i + 1; j < sections.size(); ++j) {
            if (Intersects(card, sections[j].card)) {
                problems.push_back("panels " + describe(card) + " and " + describe(sections[j].card) + " overlap");
            }
        }
        if (section.heading.empty()) continue;
        const Rect ink = HeadingBox(section);
        // One pixel of air around the ink.
        const Rect box{ink.left - 1, ink.top - 1, ink.right + 1, ink.bottom + 1};
        const std::string name(section.heading);
        if (box.left < card.left || box.top < card.top || box.right > card.right || box.bottom > card.bottom) {
            problems.push_back("heading " + name + " " + describe(box) + " leaves its panel " + describe(card));
        }
        for (const Rect& rect : occupied) {
            if (Intersects(box, rect)) {
                problems.push_back("heading " + name + " " + describe(box) + " covers the control at " +
                                   describe(rect));
            }
        }
    }
    return problems;
}

void DrawWindowBackground(Canvas& image) {
    cairo_t* cr = image.Context();
    const double w = image.Width();
    const double h = image.Height();
    cairo_rectangle(cr, 0.0, 0.0, w, h);
    FillWith(cr, VerticalGradient(0.0, h, palette::kWindowTop, palette::kWindowBottom));
    // A soft light falling on the middle of the panel.
    cairo_pattern_t* light = cairo_pattern_create_radial(w / 2.0, h * 0.35, 0.0, w / 2.0, h * 0.35, w * 0.65);
    cairo_pattern_add_color_stop_rgba(light, 0.0, 1.0, 1.0, 1.0, 0.035);
    cairo_pattern_add_color_stop_rgba(light, 1.0, 1.0, 1.0, 1.0, 0.0);
    cairo_rectangle(cr, 0.0, 0.0, w, h);
    FillWith(cr, light);

    // The header: the product on the left, the maker on the right.
    cairo_rectangle(cr, 0.0, 33.0, w, 1.0);
    SetColour(cr, Hex(0x000000, 0.5));
    cairo_fill(cr);
    cairo_rectangle(cr, 0.0, 34.0, w, 1.0);
    SetColour(cr, Hex(0xFFFFFF, 0.05));
    cairo_fill(cr);
    // The maker, quietly, in the header.
    const TextStyle maker{Font::SansBold, 10.5, 4.0};
    SetColour(cr, palette::kLamp);
    cairo_rectangle(cr, 64.0, 12.0, 2.0, 12.0);
    cairo_fill(cr);
    SetColour(cr, palette::kEngraving);
    DrawText(cr, maker, "KORVANE", 74.0, 22.0);

    for (double x : {27.0, w - 27.0}) {
        for (double y : {62.0, h - 62.0}) DrawScrew(cr, x, y);
    }
}

void DrawControlsBackground(Canvas& image) {
    cairo_t* cr = image.Context();
    // The window's background first, so the plate's round corners sit on it seamlessly.
    cairo_save(cr);
    cairo_translate(cr, -kControlsLeft, -kControlsTop);
    Canvas window(kWindowWidth, kWindowHeight, true);
    DrawWindowBackground(window);
    cairo_set_source_surface(cr, window.Surface(), 0.0, 0.0);
    cairo_paint(cr);
    cairo_restore(cr);

    const double w = image.Width();
    const double h = image.Height();
    const double inset = kPlateInset;
    // The plate: a drop shadow, a dark edge, the face, a lit top edge.
    for (int spread = 4; spread >= 1; --spread) {
        RoundedRectPath(cr, inset - spread, inset - spread + 1.0, w - 2.0 * inset + 2.0 * spread,
                        h - 2.0 * inset + 2.0 * spread, 10.0 + spread);
        SetColour(cr, Hex(0x000000, 0.09));
        cairo_fill(cr);
    }
    RoundedRectPath(cr, inset, inset, w - 2.0 * inset, h - 2.0 * inset, 10.0);
    SetColour(cr, Hex(0x000000, 0.8));
    cairo_fill(cr);
    RoundedRectPath(cr, inset + 1.0, inset + 1.0, w - 2.0 * inset - 2.0, h - 2.0 * inset - 2.0, 9.0);
    FillWith(cr, VerticalGradient(inset, h - inset, palette::kPlateTop, palette::kPlateBottom));
    RoundedRectPath(cr, inset + 1.5, inset + 1.5, w - 2.0 * inset - 3.0, h - 2.0 * inset - 3.0, 8.5);
    cairo_set_line_width(cr, 1.0);
    cairo_pattern_t* edge = VerticalGradient(inset, h - inset, Hex(0xFFFFFF, 0.09), Hex(0xFFFFFF, 0.02));
    cairo_set_source(cr, edge);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);

    // Panels and headings are placed in window pixels.
    cairo_translate(cr, -kControlsLeft, -kControlsTop);
    for (const Section& section : Sections()) {
        DrawCard(cr, section.card);
        if (section.heading.empty()) {
            DrawKickEngraving(cr, section.card);
        } else {
            DrawHeading(cr, section, false);
        }
    }
    // The maker's emblem in the free space above the transpose knob.
    DrawEmblem(cr, 530.0, 560.0, 22.0, true);
    // The ring modulator and the phaser share the effects panel.
    cairo_new_path(cr);
    cairo_move_to(cr, 864.5, 226.0);
    cairo_line_to(cr, 864.5, 334.0);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, Hex(0x000000, 0.35));
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, 865.5, 226.0);
    cairo_line_to(cr, 865.5, 334.0);
    SetColour(cr, Hex(0xFFFFFF, 0.05));
    cairo_stroke(cr);
}

void DrawTitle(Canvas& image) {
    cairo_t* cr = image.Context();
    const TextStyle name{Font::SansBold, 25.0, 5.0};
    const TextStyle maker{Font::Sans, 9.5, 2.0};
    const double baseline = 31.0;
    cairo_new_path(cr);
    TextPath(cr, name, "DUNEROW", 6.0, baseline);
    FillWith(cr, VerticalGradient(baseline - 19.0, baseline, Hex(0xF2F4F7), Hex(0x9AA3AF)));
    const double after = 6.0 + TextAdvance(cr, name, "DUNEROW") + 14.0;
    SetColour(cr, palette::kLamp);
    cairo_rectangle(cr, after, baseline - 12.0, 2.0, 12.0);
    cairo_fill(cr);
    SetColour(cr, palette::kDimText);
    DrawText(cr, maker, "BY KORVANE", after + 10.0, baseline);
}

}  // namespace artwork
