#include "editor/controls/text_control.h"

#include "editor/graphics/graphics.h"
#include "shell/plugin_vst.h"

ITextControl::ITextControl(IPluginVst* plugin, const RasterRect& rect, const IText& style, std::string_view text,
                           int paramIndex)
    : IControl(plugin, rect, paramIndex), string_(text) {
    text_ = style;
}

bool ITextControl::Draw(IGraphics& graphics) {
    if (string_.empty()) return true;
    RasterRect rect = rect_;
    return graphics.DrawTextInRect(text_, string_, rect);
}

void ITextControl::SetTextFromPlugin(std::string_view text) {
    if (string_ == text) return;
    string_ = text;
    MarkDirty(false);
}

ICaptionControl::ICaptionControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex, const IText& style,
                                 bool showLabel)
    : ITextControl(plugin, rect, style, {}, paramIndex), showLabel_(showLabel) {}

std::string ICaptionControl::ParameterText(double value, bool withLabel) const {
    const PluginParam* parameter = plugin_ != nullptr ? plugin_->GetParam(paramIndex_) : nullptr;
    if (parameter == nullptr) return {};
    // Formatted from the control's own value (the plug-in keeps it current),
    // so drawing never reads a parameter the audio thread may be writing.
    char text[PluginParam::kTextSize * 2] = {};
    parameter->FormatValue(value, true, text);
    std::string caption = text;
    if (withLabel) {
        const std::string_view label =
            parameter->DisplayTextFor(parameter->NormalizedToReal(value)).empty() ? parameter->Label() : "";
        if (!label.empty()) caption.append(" ").append(label);
    }
    return caption;
}

bool ICaptionControl::Draw(IGraphics& graphics) {
    string_ = ParameterText(value_, showLabel_);
    return ITextControl::Draw(graphics);
}

void ICaptionControl::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) { RequestTextEntry(); }

void ICaptionControl::OnDoubleClick(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) { RequestTextEntry(); }
