// The editor's window on Linux: a child window of the host's X11 window,
// on a display connection of its own (one per open editor, so editors
// never share Xlib state and each closes everything it opened). The host's
// editor-idle calls drive it: each pumps the pending X events and runs the
// 40 ms redraw tick when it is due; nothing runs between them. Without a
// display to connect to, opening fails and the editor stays without window.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "editor/graphics/graphics.h"

class IGraphicsX11 : public IGraphics {
public:
    // Two presses this close in time (ms) and place (px) make a double click.
    static constexpr unsigned long kDoubleClickMilliseconds = 400;
    static constexpr int kDoubleClickDistance = 4;

    IGraphicsX11(IPluginVst* plugin, int width, int height, int framesPerSecond = 25);
    ~IGraphicsX11() override;

    // Opening while open closes the window and opens it again where it was.
    bool OpenWindow(void* parent) override;
    void OnHostIdle() override;
    void Resize(int width, int height) override;

protected:
    bool OpenPlatformWindow(void* parent) override;
    void ClosePlatformWindow() override;
    bool PlatformWindowIsOpen() const override;
    void InvalidateAndUpdate(const RasterRect& rect) override { Paint(rect); }
    void PaintDirtyControls(const RasterRect& rect) override;
    bool ShowTextEntry(const RasterRect& rect, const IText& style, std::string_view text, int maxLength) override;
    std::string TextEntryText() const override;
    void DestroyTextEntry() override;
    IPopupChoice TrackPopupMenu(IPopupMenu& menu, int x, int y) override;
    bool ShowFileDialog(FileAction action, std::string_view initialName, std::string_view directory,
                        std::string_view filter, std::string& chosen) override;
    MessageBoxAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxType type) override;
    bool IsConnectedToInternet() override { return true; }
    bool ShellOpen(std::string_view url) override;
    std::string DesktopFolder() override;

private:
    struct XState;  // the connection and everything made on it
    class ModalOwner;

    void PumpEvents();
    void HandleEvent(union _XEvent& event);
    // Events that come while a menu or dialog runs: only exposures and the
    // window's end are acted on.
    void HandleModalEvent(union _XEvent& event);
    void HandleButton(union _XEvent& event, bool press);
    void HandleKey(union _XEvent& event, bool press);
    void HandleExpose(union _XEvent& event, bool mayDraw);
    void ForwardKey(union _XEvent& event, long mask);
    bool ButtonHeld(unsigned button) const;
    // Pumps the events that came while a dialog runs.
    void PumpModal();
    // Asks for a path in a prompt bar over the editor; false when cancelled.
    bool AskForPathInEditor(FileAction action, const std::string& start, std::string& chosen);
    // Takes the keyboard focus for the editor; gives it back.
    void TakeFocus();
    void ReturnFocus();
    void CloseEverything();

    std::unique_ptr<XState> window_;
    std::chrono::steady_clock::time_point nextTick_;
    // Set when a reopened window goes where the last one was.
    bool reopening_ = false;
    int reopenX_ = 0;
    int reopenY_ = 0;
    // Menus and dialogs run so far: a press that ran one lost its release.
    int modalRuns_ = 0;
};
