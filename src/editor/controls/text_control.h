// Text controls: a fixed or changing string in a text style, and the
// caption that shows its parameter's value as the host would.
#pragma once

#include <string>
#include <string_view>

#include "editor/controls/control.h"

class ITextControl : public IControl {
public:
    ITextControl(IPluginVst* plugin, const RasterRect& rect, const IText& style, std::string_view text = {},
                 int paramIndex = -1);

    bool Draw(IGraphics& graphics) override;
    // Replaces the string; redraws only when it changed.
    void SetTextFromPlugin(std::string_view text);
    const std::string& GetString() const { return string_; }

protected:
    std::string string_;
};

class ICaptionControl : public ITextControl {
public:
    ICaptionControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex, const IText& style,
                    bool showLabel = false);

    // Shows the parameter's display text (with its unit when asked) for the control's value.
    bool Draw(IGraphics& graphics) override;
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnDoubleClick(int x, int y, const IMouseMod& mod) override;
    bool ShowsLabel() const { return showLabel_; }

protected:
    // The parameter's display text of a normalised value.
    std::string ParameterText(double value, bool withLabel) const;

    bool showLabel_;
};
