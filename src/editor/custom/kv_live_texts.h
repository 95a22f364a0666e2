// Texts that refresh themselves while the editor idles: the held output
// level, and the host's sample rate and tempo.
#pragma once

#include <string>

#include "editor/controls/text_control.h"

class Dunerow;

// "MAX LEVEL: -3.2 dB", red above 0 dBFS.
class IKvMaxLevelText : public ITextControl {
public:
    static constexpr RasterColor kNormalColour{255, 128, 255, 0};
    static constexpr RasterColor kOverColour{255, 255, 0, 0};

    IKvMaxLevelText(Dunerow* synth, const RasterRect& rect, const IText& style);
    void OnEditorIdle() override;

    // The text and colour of a held peak (linear, 1.0 is full scale).
    static std::string TextFor(double peak);
    static RasterColor ColourFor(double peak) { return peak > 1.0 ? kOverColour : kNormalColour; }

private:
    Dunerow* synth_;
};

// "HOST SAMPLE RATE: 44100.0 Hz   TEMPO: 120.00 BPM".
class IKvHostInfoText : public ITextControl {
public:
    IKvHostInfoText(Dunerow* synth, const RasterRect& rect, const IText& style);
    void OnEditorIdle() override;

private:
    Dunerow* synth_;
};
