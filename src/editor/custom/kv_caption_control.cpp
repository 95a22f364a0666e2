#include "editor/custom/kv_caption_control.h"

#include <cmath>
#include <cstdio>

IKvCaptionControl::IKvCaptionControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex, const IText& style,
                                     int mode, double scale, double offset, std::string_view suffix,
                                     bool showUnitLabel)
    : ICaptionControl(plugin, rect, paramIndex, style, showUnitLabel),
      mode_(mode),
      scale_(scale),
      offset_(offset),
      suffix_(suffix) {}

std::string IKvCaptionControl::TextFor(double v) const {
    char text[96] = {};
    switch (mode_) {
    case kDecibels:
        if (v > 0.0) {
            std::snprintf(text, sizeof text, "%3.1fdB", 20.0 * std::log10(v));
        } else {
            return "-oodB";
        }
        break;
    case kPercent: std::snprintf(text, sizeof text, "%3.1f%%", v * 100.0); break;
    case kSemitones: std::snprintf(text, sizeof text, "%4.3f", v * 24.0 - 12.0); break;
    case kBipolar: std::snprintf(text, sizeof text, "%4.3f", v * 2.0 - 1.0); break;
    case kCentred: std::snprintf(text, sizeof text, "%4.3f", v - 0.5); break;
    case kScaled: std::snprintf(text, sizeof text, "%4.3f%s", v * scale_ + offset_, suffix_.c_str()); break;
    case kScaledCoarse: std::snprintf(text, sizeof text, "%4.1f%s", v * scale_ + offset_, suffix_.c_str()); break;
    default: return ParameterText(v, showLabel_);
    }
    return text;
}

bool IKvCaptionControl::Draw(IGraphics& graphics) {
    // The control's own value is the parameter's, kept current by the
    // plug-in: reading it never races with the audio thread.
    string_ = TextFor(value_);
    return ITextControl::Draw(graphics);
}
