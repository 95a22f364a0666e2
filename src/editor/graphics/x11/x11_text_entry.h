// The editor's one-line text entry: a small child window over the entry's
// rectangle, drawn by the editor itself in the style's font and entry
// colours, with a caret. It opens with its whole text selected, so typing
// replaces it; characters pass only when the filter takes them, up to the
// longest length. The owner hands it the key and button events.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "editor/graphics/x11/x11_surface_copy.h"

// The text, caret and selection of a one-line edit, in UTF-8.
class TextEditLine {
public:
    // Starts with `text` cut to `maxLength` characters, all of it selected.
    TextEditLine(std::string_view text, int maxLength, std::function<bool(char32_t)> accepts);

    const std::string& Text() const { return text_; }
    // Bytes of text before the caret.
    std::size_t Caret() const { return caret_; }
    bool AllSelected() const { return allSelected_ && !text_.empty(); }

    // Types one character: it replaces the selection; refused characters
    // and characters beyond the longest length change nothing.
    void Type(char32_t character);
    void Backspace();
    void Delete();
    void Left();
    void Right();
    void Home();
    // The caret after the text, nothing selected.
    void End();
    void SelectAll() { allSelected_ = true; }
    // Puts the caret at byte `caret` (moved back to a character's start).
    void PlaceCaret(std::size_t caret);

private:
    void DeleteSelection();

    std::string text_;
    std::size_t caret_ = 0;
    bool allSelected_ = true;
    int maxLength_;
    std::function<bool(char32_t)> accepts_;
};

class X11TextEntry {
public:
    enum class KeyResult { Edited, Unchanged, Return, Escape };

    // Opens over `rect` of `parent` (in its coordinates). With a `label` the
    // window is a prompt bar: the label, then the field.
    X11TextEntry(Display* display, Window parent, Visual* visual, int depth, const RasterRect& rect,
                 const IText& style, std::string_view text, int maxLength, std::function<bool(char32_t)> accepts,
                 std::string_view label = {});
    ~X11TextEntry();
    X11TextEntry(const X11TextEntry&) = delete;
    X11TextEntry& operator=(const X11TextEntry&) = delete;

    bool IsValid() const { return window_ != 0; }
    Window GetWindow() const { return window_; }
    const RasterRect& Rect() const { return rect_; }
    const std::string& Text() const { return line_.Text(); }

    // Edits with a key press: characters, BackSpace, Delete, arrows, Home,
    // End, Control+A; Return and Escape are reported, not acted on.
    KeyResult OnKey(XKeyEvent& event);
    // A click at `x` of the entry's window places the caret there.
    void OnButtonPress(int x);
    // Draws the entry and copies it to its window.
    void Draw();
    // Leaves the text unselected, the caret after it.
    void CaretToEnd();

private:
    RasterRect FieldRect() const;
    int TextLeft(const RasterFont& font, const RasterRect& inner);

    Display* display_;
    Window window_ = 0;
    GC gc_ = nullptr;
    RasterRect rect_;
    IText style_;
    std::string label_;
    TextEditLine line_;
    std::shared_ptr<const RasterFont> font_;
    std::shared_ptr<const RasterFont> labelFont_;
    RasterBitmap pixels_;
    std::unique_ptr<X11SurfaceCopy> copy_;
    int scroll_ = 0;  // pixels of a long text scrolled out at the left
};
