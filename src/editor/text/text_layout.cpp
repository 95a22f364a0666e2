#include "editor/text/text_layout.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// The left edge of a line `width` pixels wide placed inside `rect`.
std::int64_t AlignedLeft(const RasterRect& rect, int width, TextAlign align) {
    switch (align) {
        case TextAlign::Centre:
            return rect.left + (std::int64_t{rect.right} - rect.left - width) / 2;
        case TextAlign::Far:
            return std::int64_t{rect.right} - width;
        case TextAlign::Near:
            break;
    }
    return rect.left;
}

// Calls visit(line, index) for each line of `text`, without its line break.
template <typename Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
    std::int64_t index = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        visit(line, index++);
        if (end == std::string_view::npos) return;
        start = end + 1;
    }
}

}  // namespace

RasterRect DrawTextInRect(RasterBitmap& dest, const RasterFont* font, std::string_view utf8, RasterRect rect,
                          TextAlign align, RasterColor colour, float alpha, const RasterRect& clip, bool measure) {
    const RasterRect nothing{rect.left, rect.top, rect.left, rect.top};
    if (font == nullptr || utf8.empty()) return nothing;

    const int lineHeight = font->LineHeight();
    int widest = 0;
    std::int64_t lines = 0;
    ForEachLine(utf8, [&](std::string_view line, std::int64_t index) {
        const int width = font->MeasureLine(line);
        widest = std::max(widest, width);
        lines = index + 1;
        if (measure) return;
        const std::int64_t top = rect.top + index * lineHeight;
        // Lines wholly above or below the clip cannot touch a pixel.
        if (top >= clip.bottom || top + lineHeight <= clip.top) return;
        font->DrawLine(dest, line, ClampToInt(AlignedLeft(rect, width, align)), ClampToInt(top), colour, alpha, clip);
    });

    const std::int64_t left = AlignedLeft(rect, widest, align);
    return {ClampToInt(left), rect.top, ClampToInt(left + widest), ClampToInt(rect.top + lines * lineHeight)};
}
