// How text sits in its rectangle and which face of a font family draws it.
#pragma once

// Horizontal placement of each line inside the layout rectangle.
enum class TextAlign {
    Near,    // against the left edge
    Centre,  // centred, the spare pixel (if any) on the right
    Far,     // against the right edge
};

// The face of a family a font is made from.
enum class FontStyle {
    Normal,
    Bold,
    Italic,
};
