// The editor's drawing surface and control container: it owns the controls
// (index 0 is the window background), the off-screen surface they draw
// into, the images they use, and the dispatch of mouse and key events and
// of the redraw tick. Everything here is plain C++ on the editor's thread;
// the window system lies behind the protected virtual operations at the
// end, which the Windows, X11 and headless graphics implement.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/graphics/bitmap.h"
#include "editor/graphics/mouse_mod.h"
#include "editor/graphics/popup_menu.h"
#include "editor/graphics/itext.h"
#include "editor/raster/raster_bitmap.h"
#include "shell/plugin_editor.h"

class IControl;
class IGraphics;
class IPluginVst;
struct IChannelBlend;

// A key as the window system reports it.
struct IKeyPress {
    enum class Kind { Character, Up, Down, Left, Right, Other };
    Kind kind = Kind::Other;
    char32_t character = 0;  // for Kind::Character
};

// Runs on every redraw tick, before the dirty controls are collected: what
// an editor polls while it runs (read-outs the plug-in rewrites, say).
class IGraphicsTickListener {
public:
    virtual ~IGraphicsTickListener() = default;
    virtual void OnTick(IGraphics& graphics) = 0;
};

enum class FileAction { Open, Save };
enum class MessageBoxType { Ok, YesNo };
enum class MessageBoxAnswer { Ok, Yes, No, Cancel };

class IGraphics : public IPluginEditor {
public:
    // Ticks without a dirty control after which controls get OnEditorIdle.
    static constexpr int kIdleTicks = 3;
    // Characters a committed text entry is read to.
    static constexpr int kTextEntryReadLength = 31;
    // Text-entry states.
    enum TextEntryState { kEntryNone = 0, kEntryActive = 1, kEntryPaintedAround = 2, kEntryCancel = 3, kEntryCommit = 4 };

    IGraphics(IPluginVst* plugin, int width, int height, int framesPerSecond = 25);
    ~IGraphics() override;

    IPluginVst* GetPlugin() const { return plugin_; }
    int FramesPerSecond() const { return framesPerSecond_; }
    // The redraw tick's period.
    int TimerMilliseconds() const { return 1000 / framesPerSecond_; }

    // ---- controls
    // Appends a control (the list owns it); returns its index.
    int AddControl(std::unique_ptr<IControl> control);
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    IControl* GetControl(int index) const;
    // Loads image `id` (through the process-wide cache) cut into `frames`.
    IBitmap LoadBitmap(int id, std::string_view fileName, int frames = 1);
    // The window background: a bitmap control at index 0, drawn first.
    void SetBackgroundBitmap(int id, std::string_view fileName);
    // Moves every control bound to parameter `index` to `value` (a real value
    // is clamped to the parameter's range and normalised first).
    void SetParameterFromPlugin(int index, double value, bool normalised);
    // Marks every control dirty, so the next tick redraws the whole editor.
    void SetAllControlsDirty();

    // ---- drawing, for controls: each touches only the current drawing rectangle
    bool DrawBitmap(const IBitmap& bitmap, const RasterRect& dest, int srcX, int srcY, const IChannelBlend* blend);
    // Draws frame `frame` (1-based) of a strip.
    bool DrawBitmap(const IBitmap& bitmap, const RasterRect& dest, int frame, const IChannelBlend* blend);
    // Draws `text`; with `measure` it draws nothing and moves `rect` to the text's extent.
    bool DrawTextInRect(const IText& style, std::string_view text, RasterRect& rect, bool measure = false);
    bool MeasureText(const IText& style, std::string_view text, RasterRect& rect) {
        return DrawTextInRect(style, text, rect, true);
    }
    bool DrawLine(int x1, int y1, int x2, int y2, RasterColor colour, float alpha, bool antiAliased);
    bool FillRectangle(RasterColor colour, const RasterRect& rect, float alpha);
    const RasterRect& DrawingRect() const { return drawRect_; }
    RasterSysBitmap& Surface() { return surface_; }
    const RasterSysBitmap& Surface() const { return surface_; }

    // ---- the redraw cycle, driven by the window system's timer
    void OnTimerTick();
    // Adds something to run on every tick; the graphics object owns it.
    void AddTickListener(std::unique_ptr<IGraphicsTickListener> listener);
    // Draws the controls meeting `rect` into the surface in list order and
    // marks every control clean, then shows the rectangle.
    void Paint(const RasterRect& rect);
    int IdleCounter() const { return idleCounter_; }
    // Resizes the editor and its surface and tells the plug-in.
    virtual void Resize(int width, int height);

    // ---- events, from the window system (client pixel coordinates)
    void OnMouseDown(int x, int y, const IMouseMod& mod);
    void OnMouseUp(int x, int y, const IMouseMod& mod);
    // The mouse moved: a drag with a button held, else a hover.
    void OnMouseMove(int x, int y, const IMouseMod& mod);
    void OnMouseDoubleClick(int x, int y, const IMouseMod& mod);
    // `wheelDelta` in the window system's units, 120 a notch.
    void OnMouseWheel(int x, int y, const IMouseMod& mod, int wheelDelta);
    void OnMouseOut();
    // True when a control took the key; otherwise the window system hands it to the host.
    bool OnKeyDown(int x, int y, const IKeyPress& key);
    // The control key number of a key press, kKeyNone for keys controls never see.
    static int KeyCode(const IKeyPress& key);
    int CaptureIndex() const { return captureIndex_; }
    int MouseOverIndex() const { return mouseOverIndex_; }
    void SetKeyCatcher(std::unique_ptr<IControl> control);

    // ---- text entry
    // Opens a one-line text entry over `rect`; false when one is open already.
    bool CreateTextEntry(IControl* control, const IText& style, const RasterRect& rect, std::string_view text,
                         int paramIndex = -1);
    // Asks to end the open text entry without committing it.
    void EndTextEntry();
    // Prompts for a parameter's value: a menu of its display texts, else an edit box.
    void PromptForParameter(IControl* control, int paramIndex, const RasterRect& rect);
    bool TextEntryIsOpen() const { return textEntryControl_ != nullptr; }
    int GetTextEntryState() const { return textEntryState_; }
    const RasterRect& TextEntryRect() const { return textEntryRect_; }
    // Whether the open entry takes a typed character (backspace always passes).
    bool TextEntryAccepts(char32_t character) const;
    // From the window system's edit box.
    void OnTextEntryFocus() { textEntryState_ = kEntryActive; }
    void OnTextEntryFocusLost() { textEntryState_ = kEntryCancel; }
    void OnTextEntryReturn() { textEntryState_ = kEntryCommit; }

    // ---- dialogs and links
    // Shows `menu` below `rect`; the pick, or a choice with no menu.
    IPopupChoice ShowPopupMenu(IPopupMenu& menu, const RasterRect& rect);
    // Asks for a file to open or save. `extensions` is space-separated ("kv
    // bgp fxp"); `file` receives the chosen path (cleared when the window is
    // closed) and `directory` the folder it lies in. True when a file was chosen.
    bool AskForFile(std::string& file, FileAction action, std::string& directory, std::string_view extensions);
    // The dialog filter of an extension list: "kv bgp fxp" gives "*.kv;*.bgp;*.fxp".
    static std::string FileFilter(std::string_view extensions);
    // Opens a web address, after a confirmation when `confirmText` is given;
    // shows `errorText` (when given) and fails when it cannot.
    bool OpenURL(std::string_view url, std::string_view caption = {}, std::string_view confirmText = {},
                 std::string_view errorText = {});

    // ---- the plug-in's editor interface
    bool OpenWindow(void* parent) override;
    void CloseWindow() override;
    bool WindowIsOpen() const override { return PlatformWindowIsOpen(); }
    void OnParameterChanged(int index, double value, bool normalised) override;
    // Hands the controls the values the plug-in posted from other threads.
    void ApplyPostedParameters();

protected:
    // ---- the window system
    virtual bool OpenPlatformWindow(void* parent) = 0;
    virtual void ClosePlatformWindow() = 0;
    virtual bool PlatformWindowIsOpen() const = 0;
    // Repaints `rect` now: the window system calls Paint(rect).
    virtual void InvalidateAndUpdate(const RasterRect& rect) = 0;
    // Copies `rect` of the surface to the window.
    virtual void PaintDirtyControls(const RasterRect& rect) = 0;
    // Mouse capture (and keyboard focus) for the editor window.
    virtual void SetMouseCapture(bool /*capture*/) {}
    virtual bool ShowTextEntry(const RasterRect& rect, const IText& style, std::string_view text, int maxLength) = 0;
    virtual std::string TextEntryText() const = 0;
    virtual void DestroyTextEntry() = 0;
    virtual IPopupChoice TrackPopupMenu(IPopupMenu& menu, int x, int y) = 0;
    // Runs the file dialog; false when cancelled.
    virtual bool ShowFileDialog(FileAction action, std::string_view initialName, std::string_view directory,
                                std::string_view filter, std::string& chosen) = 0;
    virtual MessageBoxAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxType type) = 0;
    virtual bool IsConnectedToInternet() = 0;
    // Opens an address with the desktop's browser; false when it cannot.
    virtual bool ShellOpen(std::string_view url) = 0;
    virtual std::string DesktopFolder() = 0;

private:
    int TopmostControlAt(int x, int y) const;
    void FinishTextEntry(bool commit);
    void CommitTextEntry(IControl& control, int paramIndex, const std::string& entered);
    void CancelTextEntry();
    // Clears the entry's state; returns the area it covered.
    RasterRect ForgetTextEntry();
    void ReportEditBegin(const IControl& control);
    void ReportEditEnd();

    IPluginVst* plugin_;
    std::vector<std::unique_ptr<IControl>> controls_;
    int framesPerSecond_;
    int captureIndex_ = -1;
    int mouseOverIndex_ = -1;
    int mouseX_ = 0;
    int mouseY_ = 0;
    int idleCounter_ = 0;
    RasterRect drawRect_;
    bool handleMouseOver_ = false;
    bool strictDrawing_ = true;
    RasterSysBitmap surface_;
    std::unique_ptr<IControl> keyCatcher_;
    std::vector<std::unique_ptr<IGraphicsTickListener>> tickListeners_;
    // The parameter whose edit the host was told began, -1 for none.
    int editingParam_ = -1;

    IControl* textEntryControl_ = nullptr;
    int textEntryParam_ = -1;
    int textEntryState_ = kEntryNone;
    RasterRect textEntryRect_;

    // Values posted by the plug-in from any thread, taken on the next tick.
    std::unique_ptr<std::atomic<double>[]> postedValues_;
    std::unique_ptr<std::atomic<bool>[]> posted_;
    std::atomic<bool> anyPosted_{false};
    int parameterCount_ = 0;
};
