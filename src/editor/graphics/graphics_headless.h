// A graphics object without a window, for tests and tools: the caller plays
// the window system — it sends timer ticks, mouse and key events, types into
// text entries and answers menus, dialogs and message boxes — and reads the
// surface back or writes it to a PNG file.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/graphics/graphics.h"

class IGraphicsHeadless : public IGraphics {
public:
    // What the last popup menu showed, as the user would have seen it.
    struct MenuShown {
        std::vector<std::string> labels;
        std::vector<bool> checked;
        std::vector<bool> enabled;
        int x = 0;
        int y = 0;
    };
    struct FileDialogShown {
        FileAction action = FileAction::Open;
        std::string initialName;
        std::string directory;
        std::string filter;
    };
    struct MessageBoxShown {
        std::string text;
        std::string caption;
        MessageBoxType type = MessageBoxType::Ok;
    };

    IGraphicsHeadless(IPluginVst* plugin, int width, int height, int framesPerSecond = 25);
    ~IGraphicsHeadless() override;

    // ---- events, as a window would deliver them
    void Tick(int count = 1);
    void Click(int x, int y, const IMouseMod& mod = LeftButton());
    // Presses at the start, moves in `steps` equal steps, releases at the end.
    void Drag(int x1, int y1, int x2, int y2, const IMouseMod& mod = LeftButton(), int steps = 8);
    static IMouseMod LeftButton() { return {.left = true}; }
    static IMouseMod RightButton() { return {.right = true}; }

    // ---- the text entry
    bool TextEntryShown() const { return entryShown_; }
    const std::string& EntryText() const { return entryText_; }
    int EntryMaxLength() const { return entryMaxLength_; }
    const IText& EntryStyle() const { return entryStyle_; }
    // Types characters as a user would: filtered, limited, backspace deletes.
    void Type(std::u32string_view characters);
    void PressReturn() { OnTextEntryReturn(); }
    void LoseFocus() { OnTextEntryFocusLost(); }

    // ---- answers for what the window system would ask the user
    // The next popup picks item `item` of the top menu, or of the sub-menu
    // at `item` when `subItem` is given; -1 closes it without a pick.
    void AnswerNextPopup(int item, int subItem = -1) { popupAnswers_.push_back({item, subItem}); }
    // The next file dialog returns `path`; an empty path cancels it.
    void AnswerNextFileDialog(const std::string& path) { fileAnswers_.push_back(path); }
    void AnswerNextMessageBox(MessageBoxAnswer answer) { messageAnswers_.push_back(answer); }
    void SetConnected(bool connected) { connected_ = connected; }
    void SetShellOpenSucceeds(bool succeeds) { shellOpenSucceeds_ = succeeds; }
    void SetDesktopFolder(const std::string& folder) { desktop_ = folder; }
    // Without a window system, asking for the window fails as it would on a machine without a display.
    void SetWindowSystemAvailable(bool available) { windowSystem_ = available; }

    // ---- what was shown
    const std::vector<MenuShown>& MenusShown() const { return menus_; }
    const std::vector<FileDialogShown>& FileDialogsShown() const { return fileDialogs_; }
    const std::vector<MessageBoxShown>& MessageBoxesShown() const { return messageBoxes_; }
    const std::vector<std::string>& UrlsOpened() const { return urls_; }
    // Rectangles copied to the "screen", in order.
    const std::vector<RasterRect>& PaintedRects() const { return painted_; }
    void ClearPaintedRects() { painted_.clear(); }
    bool MouseCaptured() const { return captured_; }

    // Writes the surface as an RGBA PNG; false when it cannot.
    bool WriteSurfacePng(const std::filesystem::path& path) const;

protected:
    bool OpenPlatformWindow(void* parent) override;
    void ClosePlatformWindow() override { open_ = false; }
    bool PlatformWindowIsOpen() const override { return open_; }
    void InvalidateAndUpdate(const RasterRect& rect) override { Paint(rect); }
    void PaintDirtyControls(const RasterRect& rect) override { painted_.push_back(rect); }
    void SetMouseCapture(bool capture) override { captured_ = capture; }
    bool ShowTextEntry(const RasterRect& rect, const IText& style, std::string_view text, int maxLength) override;
    std::string TextEntryText() const override { return entryText_; }
    void DestroyTextEntry() override;
    IPopupChoice TrackPopupMenu(IPopupMenu& menu, int x, int y) override;
    bool ShowFileDialog(FileAction action, std::string_view initialName, std::string_view directory,
                        std::string_view filter, std::string& chosen) override;
    MessageBoxAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxType type) override;
    bool IsConnectedToInternet() override { return connected_; }
    bool ShellOpen(std::string_view url) override;
    std::string DesktopFolder() override { return desktop_; }

private:
    struct PopupAnswer {
        int item;
        int subItem;
    };

    bool open_ = false;
    bool windowSystem_ = true;
    bool captured_ = false;
    bool entryShown_ = false;
    std::string entryText_;
    int entryMaxLength_ = 0;
    IText entryStyle_;
    std::deque<PopupAnswer> popupAnswers_;
    std::deque<std::string> fileAnswers_;
    std::deque<MessageBoxAnswer> messageAnswers_;
    bool connected_ = true;
    bool shellOpenSucceeds_ = true;
    std::string desktop_ = "/home/user/Desktop/";
    std::vector<MenuShown> menus_;
    std::vector<FileDialogShown> fileDialogs_;
    std::vector<MessageBoxShown> messageBoxes_;
    std::vector<std::string> urls_;
    std::vector<RasterRect> painted_;
};
