// The window background, the controls background with its panels and
// headings, and the product title.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "canvas.h"
#include "layout.h"

namespace artwork {

// A panel of the controls background, in window pixels.
struct Section {
    std::string_view heading;  // empty: a panel without heading
    Rect card;
    int headingLeft = 0;       // where the heading's text starts
    int headingTop = 0;        // the top of its capitals
    int ruleEnd = 0;           // the rule after the heading ends here (0: no rule)
    Colour accent;
};

const std::vector<Section>& Sections();
// The heading's ink in window pixels (its rule included), rounded outwards.
Rect HeadingBox(const Section& section);
// Every way the panels miss the layout: a heading over a control, a label,
// a read-out or a curve; a heading outside its panel; two panels overlapping;
// a panel outside the controls background. Empty when all is well.
std::vector<std::string> LayoutProblems();

void DrawWindowBackground(Canvas& image);
void DrawControlsBackground(Canvas& image);
void DrawTitle(Canvas& image);

}  // namespace artwork
