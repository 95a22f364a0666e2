#include "preview.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "palette.h"

namespace artwork {

namespace {

constexpr int kWindowWidth = 1030;
constexpr int kWindowHeight = 800;

// The frame a preview shows: knobs spread over their range by position,
// lamps on, a few keys pressed and the tab of the page showing.
int FrameFor(const PlacedBitmap& bitmap, int frames, bool aboutShowing) {
    if (frames >= 100) return (bitmap.x * 7 + bitmap.y * 3) % frames;
    if (bitmap.id == 1313) return aboutShowing ? 1 : 0;
    if (bitmap.id == 1314) return aboutShowing ? 0 : 1;
    if (bitmap.id == 201 || bitmap.id == 1309 || bitmap.id == 1302) return 1;
    if (bitmap.id == 1203 || bitmap.id == 1301 || bitmap.id == 1201 || bitmap.id == 1305) return 0;
    if (frames > 2) return (bitmap.x / 10) % frames;
    return 0;
}

// The editor's text: Arial (here Liberation Sans) in 13-pixel cells, lines
// stacked from the rectangle's top.
void DrawEditorText(cairo_t* cr, const PlacedText& text) {
    const TextStyle style{Font::Sans, 13.0 / 1.117, 0.0};  // cell = (ascent 0.905 + descent 0.212) em
    double top = text.rect.top;
    std::size_t start = 0;
    SetColour(cr, palette::kBrightText);
    while (start <= text.text.size()) {
        const std::size_t end = text.text.find('\n', start);
        const std::string_view line =
            text.text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        const double width = TextAdvance(cr, style, line);
        double x = text.rect.left;
        if (text.align == Align::Centre) x = std::trunc(text.rect.left + (text.rect.right - text.rect.left - width) / 2.0);
        if (text.align == Align::Right) x = text.rect.right - width;
        DrawText(cr, style, line, x, top + 11.0);
        top += 13.0;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

void DrawSampleCurve(cairo_t* cr, const Rect& rect, int which) {
    const double w = rect.right - rect.left;
    const double h = rect.bottom - rect.top;
    cairo_new_path(cr);
    for (int step = 0; step <= 200; ++step) {
        const double t = step / 200.0;
        double v = 0.0;  // -1..1
        switch (which % 3) {
            case 0: v = std::sin(2.0 * kPi * t) * 0.9; break;
            case 1: v = 1.8 * std::exp(-t * 4.0) - 0.9; break;
            default: v = std::tanh((t * 2.0 - 1.0) * 3.0) * 0.9; break;
        }
        const double x = rect.left + t * w;
        const double y = rect.top + h / 2.0 - v * h / 2.0;
        if (step == 0) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_set_line_width(cr, 1.5);
    SetColour(cr, Hex(0xE8F4FF, 0.9));
    cairo_stroke(cr);
}

}  // namespace

void WritePreview(const Page& page, const std::map<int, std::shared_ptr<Canvas>>& images,
                  const std::filesystem::path& path) {
    Canvas sheet(kWindowWidth, kWindowHeight, true);
    cairo_t* cr = sheet.Context();
    const bool aboutShowing = std::any_of(page.bitmaps.begin(), page.bitmaps.end(),
                                          [](const PlacedBitmap& bitmap) { return bitmap.id == 2001; });
    for (const PlacedBitmap& bitmap : page.bitmaps) {
        const auto found = images.find(bitmap.id);
        if (found == images.end()) throw std::runtime_error("preview: no image " + std::to_string(bitmap.id));
        const ImageSize size = SizeOf(bitmap.id);
        const int frame = FrameFor(bitmap, size.frames, aboutShowing);
        double x = bitmap.x;
        if (bitmap.id == 1401) x += 30.0;  // a fader handle part way along its track
        cairo_save(cr);
        cairo_rectangle(cr, x, bitmap.y, size.width, size.frameHeight);
        cairo_clip(cr);
        cairo_set_source_surface(cr, found->second->Surface(), x, bitmap.y - frame * size.frameHeight);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    int which = 0;
    for (const Rect& curve : page.curves) DrawSampleCurve(cr, curve, which++);
    for (const PlacedText& text : page.texts) DrawEditorText(cr, text);
    sheet.WritePng(path);
}

}  // namespace artwork
