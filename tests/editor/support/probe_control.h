// A control that records the events it receives and draws itself as a solid
// rectangle, for tests of the graphics object's dispatch and redraw.
#pragma once

#include <string>
#include <vector>

#include "editor/controls/control.h"
#include "editor/graphics/graphics.h"

class ProbeControl : public IControl {
public:
    ProbeControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex = -1, RasterColor colour = {255, 200, 0, 0},
                 std::vector<std::string>* drawLog = nullptr, std::string name = {})
        : IControl(plugin, rect, paramIndex), colour_(colour), drawLog_(drawLog), name_(std::move(name)) {}

    void OnMouseDown(int x, int y, const IMouseMod& mod) override {
        events.push_back("down " + Point(x, y) + Buttons(mod));
        IControl::OnMouseDown(x, y, mod);
    }
    void OnMouseUp(int x, int y, const IMouseMod& mod) override { events.push_back("up " + Point(x, y) + Buttons(mod)); }
    void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMod& /*mod*/) override {
        events.push_back("drag " + Point(x, y) + " by " + Point(dX, dY));
        value_ += dY * 0.01;
        MarkDirty(true);
    }
    void OnDoubleClick(int x, int y, const IMouseMod& mod) override {
        events.push_back("double " + Point(x, y));
        IControl::OnDoubleClick(x, y, mod);
    }
    void OnMouseWheel(int x, int y, const IMouseMod& mod, int delta) override {
        events.push_back("wheel " + std::to_string(delta));
        IControl::OnMouseWheel(x, y, mod, delta);
    }
    bool OnKeyDown(int /*x*/, int /*y*/, int key) override {
        events.push_back("key " + std::to_string(key));
        return takesKeys;
    }
    void OnMouseOut() override { events.push_back("out"); }
    void OnEditorIdle() override { ++idleCalls; }
    void SetValueFromTextEntry(double value) override {
        events.push_back("entry value");
        enteredValue = value;
    }
    void TextFromTextEntry(std::string_view text) override {
        events.push_back("entry text");
        enteredText = text;
    }
    bool Draw(IGraphics& graphics) override {
        if (drawLog_ != nullptr) drawLog_->push_back(name_);
        return graphics.FillRectangle(colour_, rect_, 1.0f);
    }

    // Lets tests request text entry as a control with prompts enabled would.
    void AskForValue() { RequestTextEntry(); }

    std::vector<std::string> events;
    int idleCalls = 0;
    bool takesKeys = true;
    double enteredValue = -1.0;
    std::string enteredText;

private:
    static std::string Point(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    static std::string Buttons(const IMouseMod& mod) {
        return std::string(mod.left ? " L" : "") + (mod.right ? " R" : "") + (mod.shift ? " S" : "") +
               (mod.control ? " C" : "");
    }

    RasterColor colour_;
    std::vector<std::string>* drawLog_;
    std::string name_;
};
