// Where the editor places its controls, in window pixels, as the artwork
// needs it: the panels of the controls background must frame the controls,
// and their headings must stay clear of every label, read-out and bitmap.
#pragma once

#include <string_view>
#include <vector>

namespace artwork {

// left/top inclusive, right/bottom exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

inline bool Intersects(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The controls background's top left corner in the window.
inline constexpr int kControlsLeft = 55;
inline constexpr int kControlsTop = 35;

// A bitmap control: image `id` with its top left corner at (x, y).
struct PlacedBitmap {
    int id = 0;
    int x = 0;
    int y = 0;
};

enum class Align { Centre, Left, Right };

// A text control (label, caption or read-out) with the text it shows first.
struct PlacedText {
    Rect rect;
    std::string_view text;
    Align align = Align::Centre;
};

struct Page {
    std::vector<PlacedBitmap> bitmaps;  // in drawing order, backgrounds first
    std::vector<PlacedText> texts;
    std::vector<Rect> curves;           // the plug-in's curve displays
};

Page SynthPage();
Page AboutPage();

// Pixel size of one frame of image `id`, and its frame count.
struct ImageSize {
    int width = 0;
    int frameHeight = 0;
    int frames = 1;
};
ImageSize SizeOf(int id);

// Every rectangle of the synth page a heading may not cover: each bitmap
// control but the two backgrounds, each text control (a text of n lines
// taken as n lines of 13 pixels from its top, when that is taller) and each
// curve display.
std::vector<Rect> OccupiedRects();

}  // namespace artwork
