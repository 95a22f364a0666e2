// The base of every editor control: a rectangle, an optional parameter it
// shows and sets, a value in 0..1 and the dirty tracking that tells the
// graphics object what to redraw. Controls live on the editor's thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/graphics/mouse_mod.h"
#include "editor/graphics/itext.h"
#include "editor/raster/raster_types.h"

class IGraphics;
class IPluginVst;

// How a control's bitmap meets the surface, and with what weight.
struct IChannelBlend {
    enum class Method { None, Add, Copy, Multiply };
    Method method = Method::None;  // None lays the bitmap over with its alpha
    float weight = 1.0f;
};

class IControl {
public:
    // Weight of a grayed control's drawing.
    static constexpr float kGrayedWeight = 0.25f;
    // Characters a text entry accepts for a control unless it says otherwise.
    static constexpr int kDefaultTextEntryLength = 7;

    IControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex = -1);
    virtual ~IControl() = default;

    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // With the right button, asks for a value by text entry.
    virtual void OnMouseDown(int x, int y, const IMouseMod& mod);
    virtual void OnMouseUp(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {}
    virtual void OnMouseDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, const IMouseMod& /*mod*/) {}
    // Restores the first value the plug-in pushed, once there is one.
    virtual void OnDoubleClick(int x, int y, const IMouseMod& mod);
    // Moves the value 0.01 a notch, 0.001 with shift or control held.
    virtual void OnMouseWheel(int x, int y, const IMouseMod& mod, int delta);
    // True when the control used the key.
    virtual bool OnKeyDown(int /*x*/, int /*y*/, int /*key*/) { return false; }
    virtual void OnMouseOver(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {}
    virtual void OnMouseOut() {}
    // Draws the control into the graphics object's surface.
    virtual bool Draw(IGraphics& graphics) = 0;
    // A value from the plug-in (normalised); the first one is the default.
    virtual void SetValueFromPlugin(double value);
    // A committed text entry: a parameter value, or plain text.
    virtual void SetValueFromTextEntry(double /*value*/) {}
    virtual void TextFromTextEntry(std::string_view /*text*/) {}
    virtual void Hide(bool hide);
    virtual void SetGrayed(bool grayed);
    virtual bool HitTest(int x, int y) const;
    // Clamps the value and marks the control for redrawing; with `push` the
    // value goes to the plug-in as an edit made in the editor.
    virtual void MarkDirty(bool push);
    virtual void MarkClean();
    virtual bool IsDirty() const { return dirty_; }
    // Called when the editor has had nothing to redraw for a while.
    virtual void OnEditorIdle() {}
    // The value of a further parameter the control follows (see AddAuxParam).
    virtual void SetSecondaryValueFromPlugin(int paramIndex, double value);

    IPluginVst* GetPlugin() const { return plugin_; }
    const RasterRect& GetRect() const { return rect_; }
    const RasterRect& GetTargetRect() const { return targetRect_; }
    int ParamIndex() const { return paramIndex_; }
    double GetValue() const { return value_; }
    void SetValue(double value) { value_ = value; }
    double GetDefaultValue() const { return defaultValue_; }
    bool IsHidden() const { return hidden_; }
    bool IsGrayed() const { return grayed_; }
    const IChannelBlend& GetBlend() const { return blend_; }
    void SetBlend(const IChannelBlend& blend) { blend_ = blend; }
    const IText& GetText() const { return text_; }
    void SetTextStyle(const IText& text) { text_ = text; }
    int TextEntryLength() const { return textEntryLength_; }
    void SetTextEntryLength(int length) { textEntryLength_ = length; }
    bool DoubleClickAsSingleClick() const { return doubleClickAsSingle_; }
    void SetDoubleClickAsSingleClick(bool single) { doubleClickAsSingle_ = single; }
    void SetPromptDisabled(bool disabled) { promptDisabled_ = disabled; }
    void SetClampRange(double low, double high) {
        clampLow_ = low;
        clampHigh_ = high;
    }

    // Makes the control follow a further parameter's value (normalised).
    void AddAuxParam(int paramIndex);
    bool FollowsAuxParam(int paramIndex) const;
    // The followed value, or -1 before the plug-in pushed one.
    double AuxValue(int paramIndex) const;

    // Where the control sits in the graphics object (set when it is added).
    void SetGraphics(IGraphics* graphics) { graphics_ = graphics; }
    IGraphics* GetGraphics() const { return graphics_; }

protected:
    // Asks the graphics object to prompt for this control's parameter.
    void RequestTextEntry();

    void SetRect(const RasterRect& rect) {
        rect_ = rect;
        targetRect_ = rect;
    }
    void SetTargetRect(const RasterRect& rect) { targetRect_ = rect; }

    IPluginVst* plugin_ = nullptr;
    IGraphics* graphics_ = nullptr;
    RasterRect rect_;
    RasterRect targetRect_;
    int paramIndex_ = -1;
    IText text_;
    double value_ = 0.0;
    double defaultValue_ = -1.0;  // below 0: not yet known
    double clampLow_ = 0.0;
    double clampHigh_ = 1.0;
    int textEntryLength_ = kDefaultTextEntryLength;
    bool dirty_ = true;
    bool hidden_ = false;
    bool grayed_ = false;
    bool redrawPending_ = false;
    bool promptDisabled_ = true;
    bool doubleClickAsSingle_ = false;
    IChannelBlend blend_;

    struct AuxParam {
        int index;
        double value;
    };
    std::vector<AuxParam> auxParams_;
    AuxParam* FindAuxParam(int paramIndex);
};
