// Knob strips: 128 frames from the minimum (top) to the maximum (bottom),
// the pointer and the lit value arc swept evenly over 270 degrees; and
// selector knobs that stop at a few positions.
#pragma once

#include "canvas.h"

namespace artwork {

struct KnobLook {
    int size = 40;         // frame width and height in pixels
    Colour accent;         // colour of the value arc
    bool bipolar = false;  // the arc grows from the top centre (for controls centred at 0.5)
};

inline constexpr int kKnobFrames = 128;

// The pointer's angle in degrees clockwise from straight up for frame
// `index` of `frames`: -135 at the first frame, +135 at the last.
double KnobAngle(int index, int frames);

// A continuous knob: kKnobFrames frames.
void DrawKnob(Canvas& strip, const KnobLook& look);
// A selector knob with one frame per position; the positions spread over
// `sweepDegrees` around the top, a dot marking each, the current one lit.
void DrawSelectorKnob(Canvas& strip, const KnobLook& look, int positions, double sweepDegrees);

}  // namespace artwork
