// The colours of the editor: a dark instrument panel, one accent per family
// of controls, and amber for anything that lights up.
#pragma once

#include "canvas.h"

namespace artwork::palette {

// Surfaces, darkest first.
inline constexpr Colour kVoid = Hex(0x0B0C0E);
inline constexpr Colour kWindowTop = Hex(0x1B1D21);
inline constexpr Colour kWindowBottom = Hex(0x111214);
inline constexpr Colour kPlateTop = Hex(0x24272C);
inline constexpr Colour kPlateBottom = Hex(0x1D1F23);
inline constexpr Colour kCardTop = Hex(0x2C3036);
inline constexpr Colour kCardBottom = Hex(0x25282D);
inline constexpr Colour kCardEdge = Hex(0x3A3F47);
inline constexpr Colour kGlass = Hex(0x0A0D10);
inline constexpr Colour kKeyTop = Hex(0x3B4048);
inline constexpr Colour kKeyBottom = Hex(0x2A2E34);

// Text and marks.
inline constexpr Colour kEngraving = Hex(0x8C95A3);
inline constexpr Colour kDimText = Hex(0x6B7380);
inline constexpr Colour kBrightText = Hex(0xEEF1F5);

// What is on: lamps, pressed keys, the active tab.
inline constexpr Colour kLamp = Hex(0xFFB23C);

// Accents of the families of controls.
inline constexpr Colour kPitch = Hex(0xFFA23A);
inline constexpr Colour kOscillator = Hex(0x5CC6FF);
inline constexpr Colour kLfo = Hex(0xB592FF);
inline constexpr Colour kFilter = Hex(0x35DDB0);
inline constexpr Colour kVolumeEnvelope = Hex(0x8EE05C);
inline constexpr Colour kFilterEnvelope = Hex(0x35DDB0);
inline constexpr Colour kUnison = Hex(0xFF6FB0);
inline constexpr Colour kModulation = Hex(0xA98CFF);
inline constexpr Colour kDistortion = Hex(0xFF5A45);
inline constexpr Colour kShaper = Hex(0xFF8A45);
inline constexpr Colour kEqualiser = Hex(0xFFD24D);
inline constexpr Colour kOutput = Hex(0xDCE6F2);
inline constexpr Colour kBassLayer = Hex(0xFF9A4D);

// The oscillators' own colours, those of their waveform names.
inline constexpr Colour kOscillator1 = Hex(0xA0E1FF);
inline constexpr Colour kOscillator2 = Hex(0xA0FFFF);
inline constexpr Colour kOscillator3 = Hex(0xA0FFE1);

}  // namespace artwork::palette
