// A value caption with the instrument's own unit formulas: decibels,
// percent, semitones, bipolar and scaled values with a unit suffix, or the
// parameter's display text.
#pragma once

#include <string>
#include <string_view>

#include "editor/controls/text_control.h"

class IKvCaptionControl : public ICaptionControl {
public:
    enum Mode : int {
        kDecibels = 0,  // 20 log10(v) "dB"; "-oodB" at 0
        kPercent = 1,   // v * 100 "%"
        kSemitones = 2,  // v * 24 - 12
        kBipolar = 3,   // v * 2 - 1
        kCentred = 4,   // v - 0.5
        kScaled = 5,    // v * scale + offset, three decimals, then the suffix
        kScaledCoarse = 6,  // the same with one decimal
        kPlain = -1,    // the parameter's display text
    };

    IKvCaptionControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex, const IText& style, int mode,
                      double scale = 1.0, double offset = 0.0, std::string_view suffix = {},
                      bool showUnitLabel = false);

    bool Draw(IGraphics& graphics) override;
    // The caption of a normalised value.
    std::string TextFor(double value) const;
    int Mode() const { return mode_; }
    double Scale() const { return scale_; }
    double Offset() const { return offset_; }
    const std::string& Suffix() const { return suffix_; }

private:
    int mode_;
    double scale_;
    double offset_;
    std::string suffix_;
};
