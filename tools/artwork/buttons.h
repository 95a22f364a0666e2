// Switches and buttons, two frames each (off or released above, on or
// pressed below), the tabs, and the parts of the horizontal slider.
#pragma once

#include <string_view>
#include <vector>

#include "canvas.h"

namespace artwork {

enum class Arrow { Up, Down, Left, Right };

// The round lamp switch that turns a panel on: dark lens off, lit lens on.
void DrawLampSwitch(Canvas& strip, int size);
// A key with its caption ('\n' breaks lines); on, its face and caption light
// up. Keys 60 pixels wide and more carry a lamp left of the caption.
void DrawCaptionButton(Canvas& strip, std::string_view caption, int frameWidth, int frameHeight);
// A key that steps through states, one frame and caption per state; the
// lamps above the caption count the state.
void DrawStateButton(Canvas& strip, const std::vector<std::string_view>& captions, int frameWidth, int frameHeight);
// A small key with an arrow head; pressed, the arrow lights up.
void DrawArrowButton(Canvas& strip, Arrow arrow, int size);
// A page tab hanging below the panel: released above, pressed below.
void DrawTab(Canvas& strip, std::string_view caption, int frameWidth, int frameHeight);
void DrawSliderHandle(Canvas& image);
void DrawSliderTrack(Canvas& image);

}  // namespace artwork
