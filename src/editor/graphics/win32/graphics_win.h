// The editor in a Win32 window: a child of the host's editor window, with
// the 40 ms redraw timer, mouse and keys in, the surface copied out, an edit
// box for text entry, popup menus, file dialogs, message boxes and links.
// Everything runs on the host's GUI thread.
#pragma once

#include <cstdint>
#include <string>

#include "editor/graphics/graphics.h"

struct HWND__;
struct HINSTANCE__;
struct HDC__;
struct HFONT__;
struct HBRUSH__;

class IGraphicsWin : public IGraphics {
public:
    // The window class every editor window of this module belongs to.
    static constexpr const wchar_t* kWindowClass = L"DunerowWndClass";
    static constexpr const wchar_t* kWindowTitle = L"Dunerow";
    // The redraw timer's id and the text entry's child id.
    static constexpr unsigned kTimerId = 2;
    static constexpr int kTextEntryId = 99;

    IGraphicsWin(IPluginVst* plugin, int width, int height, int framesPerSecond = 25);
    ~IGraphicsWin() override;

    // Opens the window in `parent` (an HWND); opened again while open, it
    // keeps its place in the parent.
    bool OpenWindow(void* parent) override;
    void CloseWindow() override;
    // The editor window (an HWND), null while closed.
    void* WindowHandle() const { return window_; }

protected:
    bool OpenPlatformWindow(void* parent) override;
    void ClosePlatformWindow() override;
    bool PlatformWindowIsOpen() const override { return window_ != nullptr; }
    void InvalidateAndUpdate(const RasterRect& rect) override;
    void PaintDirtyControls(const RasterRect& rect) override;
    void SetMouseCapture(bool capture) override;
    bool ShowTextEntry(const RasterRect& rect, const IText& style, std::string_view text, int maxLength) override;
    std::string TextEntryText() const override;
    void DestroyTextEntry() override;
    IPopupChoice TrackPopupMenu(IPopupMenu& menu, int x, int y) override;
    bool ShowFileDialog(FileAction action, std::string_view initialName, std::string_view directory,
                        std::string_view filter, std::string& chosen) override;
    MessageBoxAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxType type) override;
    bool IsConnectedToInternet() override;
    bool ShellOpen(std::string_view url) override;
    std::string DesktopFolder() override;

private:
    friend struct IGraphicsWinProcedures;

    std::intptr_t OnWindowMessage(HWND__* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    // Messages of the text entry's edit box; true when handled here.
    bool OnEntryMessage(unsigned message, std::uintptr_t wParam);
    // The host's top-level window: owner of message boxes, receiver of the keys the editor leaves.
    HWND__* HostWindow() const;
    // Gives back the module's hold on the window class, if this editor has one.
    void ReleaseWindowClass();

    HINSTANCE__* module_ = nullptr;
    HWND__* window_ = nullptr;
    HWND__* parent_ = nullptr;
    bool holdsWindowClass_ = false;
    // Where a window opened again goes, in its parent's client coordinates.
    int openX_ = 0;
    int openY_ = 0;
    // The window's device context while WM_PAINT draws.
    HDC__* paintContext_ = nullptr;
    bool tracksMouseLeave_ = false;

    HWND__* entry_ = nullptr;
    std::intptr_t entryPreviousProc_ = 0;
    HFONT__* entryFont_ = nullptr;
    HBRUSH__* entryBrush_ = nullptr;
    std::uint32_t entryTextColour_ = 0;        // COLORREF
    std::uint32_t entryBackgroundColour_ = 0;  // COLORREF
};
