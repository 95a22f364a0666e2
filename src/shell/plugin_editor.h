// What the plug-in shell knows of an editor: a window it opens and closes
// inside the host's, an idle hook, and news of parameter values. The editor
// lives on the host's GUI thread; `OnParameterChanged` may come from any
// thread and must not wait for drawing.
#pragma once

class IPluginEditor {
public:
    virtual ~IPluginEditor() = default;

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Opens the window inside the host's parent window (an HWND on Windows,
    // an X11 window id on Linux); false when no window can be made.
    virtual bool OpenWindow(void* parent) = 0;
    virtual void CloseWindow() = 0;
    virtual bool WindowIsOpen() const = 0;
    // The host's editor-idle call, on its GUI thread.
    virtual void OnHostIdle() {}
    // A parameter's new value, normalised or real; safe from any thread.
    virtual void OnParameterChanged(int index, double value, bool normalised) = 0;

protected:
    IPluginEditor(int width, int height) : width_(width), height_(height) {}
    void SetSize(int width, int height) {
        width_ = width;
        height_ = height;
    }

private:
    int width_ = 0;
    int height_ = 0;
};
