// Xlib's headers come first through x11_xlib.h (see there).
#include "editor/graphics/x11/x11_xlib.h"

#include "editor/graphics/x11/graphics_x11.h"

#include <poll.h>

#include <bitset>
#include <cstdint>
#include <cstdlib>

#include "editor/graphics/x11/x11_dialogs.h"
#include "editor/graphics/x11/x11_error_trap.h"
#include "editor/graphics/x11/x11_keys.h"
#include "editor/graphics/x11/x11_popup_menu.h"
#include "editor/graphics/x11/x11_surface_copy.h"
#include "editor/graphics/x11/x11_text_entry.h"

namespace {

constexpr int kWheelNotch = 120;
// The path prompt shown when no dialog program is installed.
constexpr int kPromptHeight = 36;
constexpr int kPromptMargin = 20;
constexpr int kPromptFontSize = 13;
constexpr int kLongestPath = 4096;

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | LeaveWindowMask | StructureNotifyMask | FocusChangeMask;

IMouseMod ModifiersOf(unsigned state) {
    IMouseMod mod;
    mod.left = (state & Button1Mask) != 0;
    mod.right = (state & Button3Mask) != 0;
    mod.shift = (state & ShiftMask) != 0;
    mod.control = (state & ControlMask) != 0;
    mod.alt = (state & Mod1Mask) != 0;
    return mod;
}

}  // namespace

struct IGraphicsX11::XState {
    Display* display = nullptr;
    ::Window window = 0;
    ::Window parent = 0;
    ::Window root = 0;
    int screen = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    std::unique_ptr<X11SurfaceCopy> copy;
    std::unique_ptr<X11TextEntry> entry;
    // The whole surface has been copied since the window opened.
    bool painted = false;
    // The window was destroyed under the editor (with its parent).
    bool gone = false;
    // Keyboard focus the editor took, whom it had before, and whether the
    // window has had it since.
    bool focusTaken = false;
    bool focusArrived = false;
    ::Window focusBefore = 0;
    // The last left press, for double clicks.
    bool pressRecorded = false;
    Time pressTime = 0;
    int pressX = 0;
    int pressY = 0;
    // Keys whose press went on to the host: their release follows it.
    std::bitset<256> forwardedKeys;
    RasterRect exposed;
};

class IGraphicsX11::ModalOwner : public X11ModalOwner {
public:
    explicit ModalOwner(IGraphicsX11& graphics) : graphics_(graphics) {}
    void OnModalEvent(XEvent& event) override { graphics_.HandleModalEvent(event); }
    bool EditorGone() const override { return graphics_.window_ == nullptr || graphics_.window_->gone; }

private:
    IGraphicsX11& graphics_;
};

IGraphicsX11::IGraphicsX11(IPluginVst* plugin, int width, int height, int framesPerSecond)
    : IGraphics(plugin, width, height, framesPerSecond) {}

IGraphicsX11::~IGraphicsX11() { CloseWindow(); }

// ---- the window

bool IGraphicsX11::OpenWindow(void* parent) {
    reopening_ = false;
    if (window_ != nullptr && !window_->gone) {
        X11ErrorTrap trap(window_->display);
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(window_->display, window_->window, &attributes) != 0) {
            reopenX_ = attributes.x;
            reopenY_ = attributes.y;
            reopening_ = true;
        }
    }
    const bool opened = IGraphics::OpenWindow(parent);
    reopening_ = false;
    return opened;
}

bool IGraphicsX11::OpenPlatformWindow(void* parent) {
    const auto parentWindow = static_cast<::Window>(reinterpret_cast<std::uintptr_t>(parent));
    if (parentWindow == 0 || Width() <= 0 || Height() <= 0) return false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    auto state = std::make_unique<XState>();
    state->display = display;
    state->parent = parentWindow;
    bool made = false;
    {
        X11ErrorTrap trap(display);
        XWindowAttributes parentAttributes{};
        if (XGetWindowAttributes(display, parentWindow, &parentAttributes) != 0 && trap.Sync()) {
            // The parent's visual where it is 24/32-bit TrueColor, else
            // whatever the parent has.
            const bool direct = parentAttributes.visual->c_class == TrueColor &&
                                (parentAttributes.depth == 24 || parentAttributes.depth == 32);
            XSetWindowAttributes attributes{};
            attributes.background_pixmap = None;  // every pixel comes from the surface
            attributes.event_mask = kEventMask;
            const int x = reopening_ ? reopenX_ : 0;
            const int y = reopening_ ? reopenY_ : 0;
            state->window = XCreateWindow(display, parentWindow, x, y, static_cast<unsigned>(Width()),
                                          static_cast<unsigned>(Height()), 0,
                                          direct ? parentAttributes.depth : CopyFromParent, InputOutput,
                                          direct ? parentAttributes.visual : CopyFromParent,
                                          CWBackPixmap | CWEventMask, &attributes);
            state->visual = parentAttributes.visual;
            state->depth = parentAttributes.depth;
            state->root = parentAttributes.root;
            state->screen = XScreenNumberOfScreen(parentAttributes.screen);
            if (state->window != 0) {
                XStoreName(display, state->window, "Dunerow");
                state->gc = XCreateGC(display, state->window, 0, nullptr);
                XMapWindow(display, state->window);
            }
            made = trap.Sync() && state->window != 0 && state->gc != nullptr;
            if (made) {
                state->copy = std::make_unique<X11SurfaceCopy>(display, state->visual, state->depth, Width(),
                                                               Height(), true);
            } else {
                if (state->gc != nullptr) XFreeGC(display, state->gc);
                if (state->window != 0) XDestroyWindow(display, state->window);
                trap.Sync();
            }
        }
        if (!made) XCloseDisplay(display);
    }
    if (!made) return false;
    window_ = std::move(state);
    nextTick_ = std::chrono::steady_clock::now();
    return true;
}

void IGraphicsX11::ClosePlatformWindow() { CloseEverything(); }

void IGraphicsX11::CloseEverything() {
    if (window_ == nullptr) return;
    XState& state = *window_;
    {
        X11ErrorTrap trap(state.display);
        state.entry.reset();
        ReturnFocus();
        state.copy.reset();
        if (state.gc != nullptr) XFreeGC(state.display, state.gc);
        if (!state.gone) XDestroyWindow(state.display, state.window);
        trap.Sync();
        XCloseDisplay(state.display);
    }
    window_.reset();
}

bool IGraphicsX11::PlatformWindowIsOpen() const { return window_ != nullptr; }

void IGraphicsX11::Resize(int width, int height) {
    IGraphics::Resize(width, height);
    if (window_ == nullptr || window_->gone) return;
    XState& state = *window_;
    X11ErrorTrap trap(state.display);
    XResizeWindow(state.display, state.window, static_cast<unsigned>(Width()), static_cast<unsigned>(Height()));
    state.copy.reset();
    state.copy = std::make_unique<X11SurfaceCopy>(state.display, state.visual, state.depth, Width(), Height(), true);
    state.painted = false;
}

// ---- the host's idle calls

void IGraphicsX11::OnHostIdle() {
    if (window_ == nullptr) return;
    {
        X11ErrorTrap trap(window_->display);
        PumpEvents();
        if (window_ != nullptr && !window_->gone) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= nextTick_) {
                OnTimerTick();
                // Ticks keep to their period on average; a late one is not
                // made up for with a burst.
                nextTick_ += std::chrono::milliseconds(TimerMilliseconds());
                if (nextTick_ <= now) nextTick_ = now + std::chrono::milliseconds(TimerMilliseconds());
            }
            if (window_ != nullptr) XFlush(window_->display);
        }
    }
    // The parent took the window with it: the editor closes as if asked.
    if (window_ != nullptr && window_->gone) CloseWindow();
}

void IGraphicsX11::PumpEvents() {
    while (window_ != nullptr && !window_->gone && XPending(window_->display) > 0) {
        XEvent event;
        XNextEvent(window_->display, &event);
        HandleEvent(event);
    }
}

void IGraphicsX11::PumpModal() {
    if (window_ == nullptr) return;
    X11ErrorTrap trap(window_->display);
    while (window_ != nullptr && !window_->gone && XPending(window_->display) > 0) {
        XEvent event;
        XNextEvent(window_->display, &event);
        HandleModalEvent(event);
    }
    if (window_ != nullptr) XFlush(window_->display);
}

void IGraphicsX11::HandleEvent(XEvent& event) {
    XState& state = *window_;
    const ::Window target = event.xany.window;
    if (state.entry != nullptr && target == state.entry->GetWindow()) {
        if (event.type == Expose && event.xexpose.count == 0) state.entry->Draw();
        if (event.type == ButtonPress && event.xbutton.button == Button1) state.entry->OnButtonPress(event.xbutton.x);
        return;
    }
    if (target != state.window) return;
    switch (event.type) {
    case Expose: HandleExpose(event, true); break;
    case ButtonPress: HandleButton(event, true); break;
    case ButtonRelease: HandleButton(event, false); break;
    case MotionNotify: {
        // Only the latest of a run of movements counts.
        while (XEventsQueued(state.display, QueuedAfterReading) > 0) {
            XEvent next;
            XPeekEvent(state.display, &next);
            if (next.type != MotionNotify || next.xmotion.window != state.window) break;
            XNextEvent(state.display, &event);
        }
        OnMouseMove(event.xmotion.x, event.xmotion.y, ModifiersOf(event.xmotion.state));
        break;
    }
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal) OnMouseOut();
        break;
    case KeyPress: HandleKey(event, true); break;
    case KeyRelease: HandleKey(event, false); break;
    case FocusIn:
        if (state.focusTaken) state.focusArrived = true;
        break;
    case FocusOut:
        // Focus gone elsewhere (not to a window inside ours, not for a
        // grab) ends an open entry, as a click outside does.
        if (state.entry != nullptr && state.focusArrived && event.xfocus.mode == NotifyNormal &&
            event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer) {
            state.focusTaken = false;
            OnTextEntryFocusLost();
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == state.window) state.gone = true;
        break;
    default: break;
    }
}

void IGraphicsX11::HandleModalEvent(XEvent& event) {
    if (window_ == nullptr) return;
    XState& state = *window_;
    const ::Window target = event.xany.window;
    if (state.entry != nullptr && target == state.entry->GetWindow()) {
        if (event.type == Expose && event.xexpose.count == 0) state.entry->Draw();
        return;
    }
    if (target != state.window) return;
    if (event.type == Expose) HandleExpose(event, false);
    if (event.type == DestroyNotify && event.xdestroywindow.window == state.window) state.gone = true;
}

void IGraphicsX11::HandleExpose(XEvent& event, bool mayDraw) {
    XState& state = *window_;
    const XExposeEvent& expose = event.xexpose;
    state.exposed = state.exposed.Union({expose.x, expose.y, expose.x + expose.width, expose.y + expose.height});
    if (expose.count > 0) return;
    const RasterRect area = state.exposed;
    state.exposed = {};
    if (!state.painted && mayDraw) {
        // Nothing drawn yet since the window opened: draw it all now.
        Paint(Surface().Bounds());
        return;
    }
    if (state.copy != nullptr) state.copy->Put(state.window, state.gc, Surface(), area, area.left, area.top);
}

bool IGraphicsX11::ButtonHeld(unsigned button) const {
    if (window_ == nullptr || window_->gone) return false;
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned mask = 0;
    if (XQueryPointer(window_->display, window_->window, &root, &child, &rootX, &rootY, &x, &y, &mask) == 0) {
        return false;
    }
    return (mask & (Button1Mask << (button - Button1))) != 0;
}

void IGraphicsX11::HandleButton(XEvent& event, bool press) {
    XState& state = *window_;
    const XButtonEvent& button = event.xbutton;
    IMouseMod mod = ModifiersOf(button.state);
    const int x = button.x;
    const int y = button.y;
    switch (button.button) {
    case Button4:
    case Button5:
        if (press) OnMouseWheel(x, y, mod, button.button == Button4 ? kWheelNotch : -kWheelNotch);
        return;
    case Button1: mod.left = true; break;
    case Button3: mod.right = true; break;
    case Button2: break;
    default: return;
    }
    if (!press) {
        OnMouseUp(x, y, mod);
        return;
    }
    const int modalRunsBefore = modalRuns_;
    const bool doubleClick = button.button == Button1 && state.pressRecorded &&
                             ((button.time - state.pressTime) & 0xFFFFFFFFUL) <= kDoubleClickMilliseconds &&
                             std::abs(x - state.pressX) <= kDoubleClickDistance &&
                             std::abs(y - state.pressY) <= kDoubleClickDistance;
    // A third press starts again: it is no second half of a double click.
    state.pressRecorded = button.button == Button1 && !doubleClick;
    state.pressTime = button.time;
    state.pressX = x;
    state.pressY = y;
    if (doubleClick) {
        OnMouseDoubleClick(x, y, mod);
    } else {
        OnMouseDown(x, y, mod);
    }
    // A menu or dialog that ran from the press took its release: the
    // editor gets it now, once the button is up.
    if (modalRuns_ != modalRunsBefore && window_ != nullptr && !ButtonHeld(button.button)) OnMouseUp(x, y, mod);
}

void IGraphicsX11::HandleKey(XEvent& event, bool press) {
    XState& state = *window_;
    XKeyEvent& key = event.xkey;
    const std::size_t code = key.keycode & 0xFF;
    if (!press) {
        // The host had the press, so it gets the release.
        if (state.forwardedKeys.test(code)) {
            state.forwardedKeys.reset(code);
            ForwardKey(event, KeyReleaseMask);
        }
        return;
    }
    if (state.entry != nullptr) {
        // An open entry takes every key; none reaches the host.
        switch (state.entry->OnKey(key)) {
        case X11TextEntry::KeyResult::Return: OnTextEntryReturn(); break;
        case X11TextEntry::KeyResult::Escape: OnTextEntryFocusLost(); break;
        case X11TextEntry::KeyResult::Edited:
        case X11TextEntry::KeyResult::Unchanged: break;
        }
        return;
    }
    const KeySym keysym = LookUpKeysym(key);
    if (OnKeyDown(key.x, key.y, KeyPressOf(keysym))) {
        state.forwardedKeys.reset(code);
        return;
    }
    // No control took it: the host's shortcuts get it.
    if (window_ == nullptr) return;
    window_->forwardedKeys.set(code);
    ForwardKey(event, KeyPressMask);
}

void IGraphicsX11::ForwardKey(XEvent& event, long mask) {
    XState& state = *window_;
    if (state.gone) return;
    XEvent copy = event;
    ::Window child = 0;
    XTranslateCoordinates(state.display, state.window, state.parent, event.xkey.x, event.xkey.y, &copy.xkey.x,
                          &copy.xkey.y, &child);
    copy.xkey.window = state.parent;
    copy.xkey.subwindow = None;
    XSendEvent(state.display, state.parent, True, mask, &copy);
    XFlush(state.display);
}

// ---- drawing

void IGraphicsX11::PaintDirtyControls(const RasterRect& rect) {
    if (window_ == nullptr || window_->gone || window_->copy == nullptr) return;
    XState& state = *window_;
    X11ErrorTrap trap(state.display);
    state.copy->Put(state.window, state.gc, Surface(), rect, rect.left, rect.top);
    if (rect.Intersection(Surface().Bounds()) == Surface().Bounds()) state.painted = true;
    XFlush(state.display);
}

// ---- keyboard focus

void IGraphicsX11::TakeFocus() {
    XState& state = *window_;
    if (state.gone) return;
    int revert = 0;
    XGetInputFocus(state.display, &state.focusBefore, &revert);
    XSetInputFocus(state.display, state.window, RevertToParent, CurrentTime);
    state.focusTaken = true;
    state.focusArrived = false;
}

void IGraphicsX11::ReturnFocus() {
    if (window_ == nullptr) return;
    XState& state = *window_;
    if (!state.focusTaken || state.gone) return;
    state.focusTaken = false;
    ::Window now = 0;
    int revert = 0;
    XGetInputFocus(state.display, &now, &revert);
    if (now != state.window) return;  // someone has taken it already
    // Back to the window that had it, else the parent.
    X11ErrorTrap trap(state.display);
    const bool before = state.focusBefore != None && state.focusBefore != PointerRoot && state.focusBefore != state.window;
    XSetInputFocus(state.display, before ? state.focusBefore : state.parent, RevertToParent, CurrentTime);
    if (!trap.Sync() && before) {
        XSetInputFocus(state.display, state.parent, RevertToParent, CurrentTime);
        trap.Sync();
    }
}

// ---- text entry

bool IGraphicsX11::ShowTextEntry(const RasterRect& rect, const IText& style, std::string_view text, int maxLength) {
    if (window_ == nullptr || window_->gone) return false;
    XState& state = *window_;
    X11ErrorTrap trap(state.display);
    state.entry = std::make_unique<X11TextEntry>(state.display, state.window, state.visual, state.depth, rect, style,
                                                 text, maxLength,
                                                 [this](char32_t character) { return TextEntryAccepts(character); });
    if (!state.entry->IsValid() || !trap.Sync()) {
        state.entry.reset();
        return false;
    }
    // Many hosts never give a plug-in's window the keyboard.
    TakeFocus();
    OnTextEntryFocus();
    return true;
}

std::string IGraphicsX11::TextEntryText() const {
    return window_ != nullptr && window_->entry != nullptr ? window_->entry->Text() : std::string();
}

void IGraphicsX11::DestroyTextEntry() {
    if (window_ == nullptr || window_->entry == nullptr) return;
    X11ErrorTrap trap(window_->display);
    window_->entry.reset();
    ReturnFocus();
    XFlush(window_->display);
}

// ---- menus and dialogs

IPopupChoice IGraphicsX11::TrackPopupMenu(IPopupMenu& menu, int x, int y) {
    if (window_ == nullptr || window_->gone) return {};
    XState& state = *window_;
    X11ErrorTrap trap(state.display);
    int rootX = x;
    int rootY = y;
    ::Window child = 0;
    XTranslateCoordinates(state.display, state.window, state.root, x, y, &rootX, &rootY, &child);
    ++modalRuns_;
    ModalOwner owner(*this);
    X11PopupMenu popup(state.display, state.screen, owner);
    return popup.Track(menu, rootX, rootY);
}

bool IGraphicsX11::ShowFileDialog(FileAction action, std::string_view initialName, std::string_view directory,
                                  std::string_view filter, std::string& chosen) {
    if (window_ == nullptr || window_->gone) return false;
    ++modalRuns_;
    const x11_dialogs::ToolChoice tool = x11_dialogs::ChooseTool();
    const std::string start = x11_dialogs::StartPath(initialName, directory);
    if (tool.tool == x11_dialogs::DialogTool::Absent) return AskForPathInEditor(action, start, chosen);
    const auto result =
        x11_dialogs::RunProgram(tool.path, x11_dialogs::FileDialogArguments(tool.tool, action, initialName, directory, filter),
                                ConnectionNumber(window_->display), [this] { PumpModal(); });
    if (!result.ran) return AskForPathInEditor(action, start, chosen);
    // A host that reaps every child leaves no exit status: the answer tells.
    const bool picked = result.exitStatus == 0 || (result.exitStatus == -1 && !result.output.empty());
    if (!picked || result.output.empty()) return false;
    chosen = result.output.substr(0, result.output.find('\n'));
    return true;
}

bool IGraphicsX11::AskForPathInEditor(FileAction action, const std::string& start, std::string& chosen) {
    XState& state = *window_;
    X11ErrorTrap trap(state.display);
    const int top = (Height() - kPromptHeight) / 2;
    const RasterRect bar{kPromptMargin, top, Width() - kPromptMargin, top + kPromptHeight};
    IText style;
    style.font = "Arial";
    style.size = kPromptFontSize;
    style.align = TextAlign::Near;
    style.entryBackground = {255, 255, 255, 255};
    style.entryText = {255, 0, 0, 0};
    bool accepted = false;
    std::string entered;
    {
        X11TextEntry prompt(state.display, state.window, state.visual, state.depth, bar, style, start, kLongestPath,
                            nullptr, action == FileAction::Save ? "Save as:" : "Open file:");
        if (!prompt.IsValid()) return false;
        prompt.CaretToEnd();
        TakeFocus();
        bool done = false;
        const int connection = ConnectionNumber(state.display);
        while (!done && window_ != nullptr && !window_->gone) {
            if (XPending(state.display) == 0) {
                pollfd wait{connection, POLLIN, 0};
                poll(&wait, 1, 100);
                continue;
            }
            XEvent event;
            XNextEvent(state.display, &event);
            const ::Window target = event.xany.window;
            if (target == prompt.GetWindow()) {
                if (event.type == Expose && event.xexpose.count == 0) prompt.Draw();
                if (event.type == ButtonPress && event.xbutton.button == Button1) prompt.OnButtonPress(event.xbutton.x);
                continue;
            }
            if (target != state.window) {
                HandleModalEvent(event);
                continue;
            }
            switch (event.type) {
            case KeyPress:
                switch (prompt.OnKey(event.xkey)) {
                case X11TextEntry::KeyResult::Return:
                    accepted = true;
                    done = true;
                    break;
                case X11TextEntry::KeyResult::Escape: done = true; break;
                case X11TextEntry::KeyResult::Edited:
                case X11TextEntry::KeyResult::Unchanged: break;
                }
                break;
            case ButtonPress: done = true; break;  // a click beside the prompt cancels it
            case FocusIn: state.focusArrived = true; break;
            case FocusOut:
                if (state.focusArrived && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior &&
                    event.xfocus.detail != NotifyPointer) {
                    done = true;
                }
                break;
            default: HandleModalEvent(event); break;
            }
        }
        entered = prompt.Text();
        ReturnFocus();
    }
    XFlush(state.display);
    if (!accepted || entered.empty()) return false;
    chosen = entered;
    return true;
}

MessageBoxAnswer IGraphicsX11::ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxType type) {
    // With nobody to ask, the answer is the cautious one.
    const MessageBoxAnswer fallback = type == MessageBoxType::YesNo ? MessageBoxAnswer::No : MessageBoxAnswer::Ok;
    const x11_dialogs::ToolChoice tool = x11_dialogs::ChooseTool();
    if (tool.tool == x11_dialogs::DialogTool::Absent) return fallback;
    ++modalRuns_;
    const int watch = window_ != nullptr ? ConnectionNumber(window_->display) : -1;
    const auto result = x11_dialogs::RunProgram(tool.path, x11_dialogs::MessageBoxArguments(tool.tool, text, caption, type),
                                                watch, [this] { PumpModal(); });
    if (!result.ran) return fallback;
    if (type == MessageBoxType::YesNo) return result.exitStatus == 0 ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
    return MessageBoxAnswer::Ok;
}

bool IGraphicsX11::ShellOpen(std::string_view url) {
    if (url.empty()) return false;
    return x11_dialogs::LaunchDetached(x11_dialogs::FindOnPath("xdg-open"), {std::string(url)});
}

std::string IGraphicsX11::DesktopFolder() { return x11_dialogs::DesktopFolder(); }
