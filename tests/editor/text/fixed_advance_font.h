// A stand-in font for layout and cache tests: every byte advances 7 pixels,
// lines are 10 pixels tall, and drawing only records where each line went.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "editor/text/raster_font.h"

class FixedAdvanceFont final : public RasterFont {
public:
    static constexpr int kAdvance = 7;
    static constexpr int kLineHeight = 10;
    static constexpr int kAscent = 8;

    struct DrawnLine {
        std::string text;
        int x = 0;
        int top = 0;
        bool operator==(const DrawnLine&) const = default;
    };

    int LineHeight() const override { return kLineHeight; }
    int Ascent() const override { return kAscent; }
    int MeasureLine(std::string_view utf8) const override { return kAdvance * static_cast<int>(utf8.size()); }
    void DrawLine(RasterBitmap&, std::string_view utf8, int x, int top, RasterColor, float,
                  const RasterRect&) const override {
        const std::lock_guard lock(mutex_);
        drawn_.push_back({std::string(utf8), x, top});
    }

    std::vector<DrawnLine> Drawn() const {
        const std::lock_guard lock(mutex_);
        return drawn_;
    }

private:
    mutable std::mutex mutex_;
    mutable std::vector<DrawnLine> drawn_;
};
