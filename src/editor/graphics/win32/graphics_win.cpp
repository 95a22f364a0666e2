#include "editor/graphics/win32/graphics_win.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "editor/graphics/win32/win32_popup_menu.h"
#include "editor/graphics/win32/win32_text.h"

// After the editor's headers: <windows.h> turns names such as LoadBitmap into macros.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>
#include <windowsx.h>

namespace {

// The longest path the file dialogs hand back, in characters.
constexpr DWORD kMaxDialogPath = 255;
// The system's arrow cursor (IDC_ARROW, spelled for the wide call).
constexpr WORD kArrowCursor = 32512;
// ShellExecute's results above this mean success.
constexpr INT_PTR kShellExecuteSucceeded = 32;

// The module holding this code: the plug-in DLL inside a host, or a test
// program linking the editor, never the host's executable.
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    const auto flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&ThisModule), &module)) return nullptr;
    return module;
}

COLORREF ColourOf(const RasterColor& colour) { return RGB(colour.r, colour.g, colour.b); }

IMouseMod ModifiersOf(WPARAM wParam) {
    IMouseMod mod;
    mod.left = (wParam & MK_LBUTTON) != 0;
    mod.right = (wParam & MK_RBUTTON) != 0;
    mod.shift = (wParam & MK_SHIFT) != 0;
    mod.control = (wParam & MK_CONTROL) != 0;
    mod.alt = GetKeyState(VK_MENU) < 0;
    return mod;
}

// The editor's name for a virtual key; Kind::Other for keys it has none for.
IKeyPress KeyPressOf(WPARAM key) {
    IKeyPress press;
    switch (key) {
    case VK_UP: press.kind = IKeyPress::Kind::Up; return press;
    case VK_DOWN: press.kind = IKeyPress::Kind::Down; return press;
    case VK_LEFT: press.kind = IKeyPress::Kind::Left; return press;
    case VK_RIGHT: press.kind = IKeyPress::Kind::Right; return press;
    default: break;
    }
    const bool letter = key >= 'A' && key <= 'Z';
    const bool digit = key >= '0' && key <= '9';
    if (key == VK_SPACE || letter || digit) {
        press.kind = IKeyPress::Kind::Character;
        press.character = static_cast<char32_t>(key);
    }
    return press;
}

// The window class, registered while any editor window of this module is open.
class WindowClassCount {
public:
    // Registers the class for the first holder; false when it cannot be registered.
    bool Acquire(HINSTANCE module, WNDPROC procedure) {
        std::lock_guard lock(mutex_);
        if (count_ == 0) {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.style = CS_DBLCLKS;
            windowClass.lpfnWndProc = procedure;
            windowClass.hInstance = module;
            windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(kArrowCursor));
            windowClass.hbrBackground = nullptr;  // the editor paints every pixel itself
            windowClass.lpszClassName = IGraphicsWin::kWindowClass;
            if (RegisterClassExW(&windowClass) == 0) return false;
        }
        ++count_;
        return true;
    }

    // Unregisters the class when the last holder lets go.
    void Release(HINSTANCE module) {
        std::lock_guard lock(mutex_);
        if (count_ == 0) return;
        if (--count_ == 0) UnregisterClassW(IGraphicsWin::kWindowClass, module);
    }

private:
    std::mutex mutex_;
    int count_ = 0;
};

WindowClassCount& WindowClass() {
    static WindowClassCount count;
    return count;
}

}  // namespace

// The window procedures of the editor window and its text entry.
struct IGraphicsWinProcedures {
    static LRESULT CALLBACK Window(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            auto* graphics = static_cast<IGraphicsWin*>(creation->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(graphics));
            graphics->window_ = window;
        }
        auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (graphics == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            graphics->window_ = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        return graphics->OnWindowMessage(window, message, wParam, lParam);
    }

    static LRESULT CALLBACK Entry(HWND entry, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(entry, GWLP_USERDATA));
        if (graphics == nullptr) return DefWindowProcW(entry, message, wParam, lParam);
        const auto previous = reinterpret_cast<WNDPROC>(graphics->entryPreviousProc_);
        if (graphics->OnEntryMessage(message, wParam)) return 0;
        return CallWindowProcW(previous, entry, message, wParam, lParam);
    }
};

IGraphicsWin::IGraphicsWin(IPluginVst* plugin, int width, int height, int framesPerSecond)
    : IGraphics(plugin, width, height, framesPerSecond), module_(ThisModule()) {}

IGraphicsWin::~IGraphicsWin() { IGraphicsWin::CloseWindow(); }

// ---- opening and closing

bool IGraphicsWin::OpenWindow(void* parent) {
    openX_ = 0;
    openY_ = 0;
    if (window_ != nullptr && parent_ != nullptr) {
        RECT place{};
        GetWindowRect(window_, &place);
        MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&place), 2);
        openX_ = place.left;
        openY_ = place.top;
    }
    const bool opened = IGraphics::OpenWindow(parent);
    openX_ = 0;
    openY_ = 0;
    return opened;
}

void IGraphicsWin::CloseWindow() {
    IGraphics::CloseWindow();
    // A window its parent took down with it leaves the class held.
    ReleaseWindowClass();
}

bool IGraphicsWin::OpenPlatformWindow(void* parent) {
    ReleaseWindowClass();
    auto* parentWindow = static_cast<HWND>(parent);
    if (parentWindow == nullptr || !IsWindow(parentWindow) || module_ == nullptr) return false;
    if (!WindowClass().Acquire(module_, &IGraphicsWinProcedures::Window)) return false;
    holdsWindowClass_ = true;
    parent_ = parentWindow;
    tracksMouseLeave_ = false;
    // WM_NCCREATE stores the window; WM_CREATE starts the timer and takes focus.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    const HWND window = CreateWindowExW(0, kWindowClass, kWindowTitle, style, openX_, openY_, Width(), Height(),
                                        parentWindow, nullptr, module_, this);
    if (window == nullptr) {
        window_ = nullptr;
        parent_ = nullptr;
        ReleaseWindowClass();
        return false;
    }
    return true;
}

void IGraphicsWin::ClosePlatformWindow() {
    if (window_ != nullptr) DestroyWindow(window_);  // WM_NCDESTROY forgets it
    window_ = nullptr;
    parent_ = nullptr;
    ReleaseWindowClass();
}

void IGraphicsWin::ReleaseWindowClass() {
    if (!holdsWindowClass_ || window_ != nullptr) return;
    holdsWindowClass_ = false;
    WindowClass().Release(module_);
}

HWND IGraphicsWin::HostWindow() const {
    if (parent_ == nullptr) return nullptr;
    return GetAncestor(parent_, GA_ROOT);
}

// ---- drawing

void IGraphicsWin::InvalidateAndUpdate(const RasterRect& rect) {
    if (window_ == nullptr) return;
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(window_, &area, FALSE);
    UpdateWindow(window_);
}

void IGraphicsWin::PaintDirtyControls(const RasterRect& rect) {
    HDC source = static_cast<HDC>(Surface().DeviceContext());
    if (paintContext_ == nullptr || source == nullptr || rect.Empty()) return;
    Surface().FlushSystemDrawing();
    BitBlt(paintContext_, rect.left, rect.top, rect.Width(), rect.Height(), source, rect.left, rect.top, SRCCOPY);
}

// ---- messages

std::intptr_t IGraphicsWin::OnWindowMessage(HWND window, unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_CREATE:
        SetTimer(window, kTimerId, static_cast<UINT>(TimerMilliseconds()), nullptr);
        SetFocus(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, kTimerId);
        return 0;
    case WM_TIMER:
        if (wParam == kTimerId) {
            OnTimerTick();
            return 0;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        paintContext_ = BeginPaint(window, &paint);
        if (paintContext_ != nullptr) {
            const RECT& area = paint.rcPaint;
            Paint({area.left, area.top, area.right, area.bottom});
            EndPaint(window, &paint);
        }
        paintContext_ = nullptr;
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        OnMouseDown(x, y, ModifiersOf(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnMouseDoubleClick(x, y, ModifiersOf(wParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        // The button that went up is no longer held.
        IMouseMod mod = ModifiersOf(wParam);
        if (message == WM_LBUTTONUP) mod.left = true;
        if (message == WM_RBUTTONUP) mod.right = true;
        OnMouseUp(x, y, mod);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (!tracksMouseLeave_) {
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = window;
            tracksMouseLeave_ = TrackMouseEvent(&track) != FALSE;
        }
        OnMouseMove(x, y, ModifiersOf(wParam));
        return 0;
    case WM_MOUSELEAVE:
        tracksMouseLeave_ = false;
        OnMouseOut();
        return 0;
    case WM_MOUSEWHEEL: {
        // Wheel positions come in screen coordinates.
        POINT point{x, y};
        ScreenToClient(window, &point);
        OnMouseWheel(point.x, point.y, ModifiersOf(GET_KEYSTATE_WPARAM(wParam)), GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    case WM_CAPTURECHANGED:
        return 0;
    case WM_KEYDOWN: {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(window, &point);
        if (OnKeyDown(point.x, point.y, KeyPressOf(wParam))) return 0;
        // Not the editor's: the host's shortcuts get it.
        if (HWND host = HostWindow(); host != nullptr && host != window) SendMessageW(host, message, wParam, lParam);
        return 0;
    }
    case WM_KEYUP:
        if (HWND host = HostWindow(); host != nullptr && host != window) SendMessageW(host, message, wParam, lParam);
        return 0;
    case WM_CTLCOLOREDIT:
        if (entry_ != nullptr && reinterpret_cast<HWND>(lParam) == entry_) {
            HDC context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context, entryTextColour_);
            SetBkColor(context, entryBackgroundColour_);
            return reinterpret_cast<LRESULT>(entryBrush_);
        }
        break;
    case WM_CLOSE:
        CloseWindow();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void IGraphicsWin::SetMouseCapture(bool capture) {
    if (window_ == nullptr) return;
    if (capture) {
        SetCapture(window_);
        SetFocus(window_);
    } else if (GetCapture() == window_) {
        ReleaseCapture();
    }
}

// ---- text entry

bool IGraphicsWin::ShowTextEntry(const RasterRect& rect, const IText& style, std::string_view text, int maxLength) {
    if (window_ == nullptr || entry_ != nullptr) return false;
    DWORD alignment = ES_CENTER;
    if (style.align == TextAlign::Near) alignment = ES_LEFT;
    if (style.align == TextAlign::Far) alignment = ES_RIGHT;
    // Multi-line, so that Return reaches the box instead of a dialog.
    const DWORD windowStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | alignment;
    const std::wstring initial = Utf8ToUtf16(text);
    HWND entry = CreateWindowExW(0, L"EDIT", initial.c_str(), windowStyle, rect.left, rect.top, rect.Width(),
                                 rect.Height(), window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextEntryId)),
                                 module_, nullptr);
    if (entry == nullptr) return false;

    const std::wstring face = Utf8ToUtf16(style.font);
    entryFont_ = CreateFontW(style.size, 0, 0, 0, style.style == FontStyle::Bold ? FW_BOLD : FW_NORMAL,
                             style.style == FontStyle::Italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             face.c_str());
    entryTextColour_ = ColourOf(style.entryText);
    entryBackgroundColour_ = ColourOf(style.entryBackground);
    entryBrush_ = CreateSolidBrush(entryBackgroundColour_);
    entry_ = entry;
    if (entryFont_ != nullptr) SendMessageW(entry, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), FALSE);
    SendMessageW(entry, EM_LIMITTEXT, static_cast<WPARAM>(std::max(maxLength, 0)), 0);
    SendMessageW(entry, EM_SETSEL, 0, -1);

    SetWindowLongPtrW(entry, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    entryPreviousProc_ =
        SetWindowLongPtrW(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IGraphicsWinProcedures::Entry));
    // Focus reaches the box through its new procedure: the entry becomes active.
    SetFocus(entry);
    return true;
}

bool IGraphicsWin::OnEntryMessage(unsigned message, std::uintptr_t wParam) {
    switch (message) {
    case WM_SETFOCUS:
        OnTextEntryFocus();
        return false;
    case WM_KILLFOCUS:
        OnTextEntryFocusLost();
        return false;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            OnTextEntryReturn();
            return true;
        }
        return false;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == L'\n') {
            OnTextEntryReturn();
            return true;
        }
        // Surrogate halves pass: the filter knows digits and signs only.
        if (wParam >= 0xD800 && wParam <= 0xDFFF) return false;
        return !TextEntryAccepts(static_cast<char32_t>(wParam));
    default:
        return false;
    }
}

std::string IGraphicsWin::TextEntryText() const {
    if (entry_ == nullptr) return {};
    const int length = GetWindowTextLengthW(entry_);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(entry_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(read, 0)));
    return Utf16ToUtf8(text);
}

void IGraphicsWin::DestroyTextEntry() {
    if (entry_ != nullptr) {
        HWND entry = entry_;
        const bool hadFocus = GetFocus() == entry;
        // Back to its own procedure first: its last messages are no news for the editor.
        SetWindowLongPtrW(entry, GWLP_WNDPROC, entryPreviousProc_);
        SetWindowLongPtrW(entry, GWLP_USERDATA, 0);
        entry_ = nullptr;
        entryPreviousProc_ = 0;
        DestroyWindow(entry);
        if (hadFocus && window_ != nullptr) SetFocus(window_);
    }
    if (entryFont_ != nullptr) DeleteObject(entryFont_);
    if (entryBrush_ != nullptr) DeleteObject(entryBrush_);
    entryFont_ = nullptr;
    entryBrush_ = nullptr;
}

// ---- menus, dialogs and links

IPopupChoice IGraphicsWin::TrackPopupMenu(IPopupMenu& menu, int x, int y) {
    if (window_ == nullptr) return {};
    const Win32PopupMenu popup(menu);
    if (popup.Handle() == nullptr) return {};
    POINT point{x, y};
    ClientToScreen(window_, &point);
    // The menu takes the mouse while it is open.
    if (GetCapture() == window_) ReleaseCapture();
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
    const BOOL command = ::TrackPopupMenu(popup.Handle(), flags, point.x, point.y, 0, window_, nullptr);
    return popup.ChoiceOf(static_cast<unsigned>(command));
}

bool IGraphicsWin::ShowFileDialog(FileAction action, std::string_view initialName, std::string_view directory,
                                  std::string_view filter, std::string& chosen) {
    if (window_ == nullptr) return false;
    // The pattern is its own description: "description\0pattern\0\0".
    const std::wstring pattern = Utf8ToUtf16(filter);
    std::wstring filters = pattern;
    filters += L'\0';
    filters += pattern;
    filters += L'\0';
    const std::wstring folder = Utf8ToUtf16(directory);

    std::vector<wchar_t> path(kMaxDialogPath, L'\0');
    const std::wstring name = Utf8ToUtf16(initialName);
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), kMaxDialogPath - 1), path.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filters.c_str();  // the second terminating zero is the string's own
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kMaxDialogPath;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    BOOL picked = FALSE;
    if (action == FileAction::Save) {
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        picked = GetSaveFileNameW(&dialog);
    } else {
        dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        picked = GetOpenFileNameW(&dialog);
    }
    if (!picked) return false;
    chosen = Utf16ToUtf8(path.data());
    return !chosen.empty();
}

MessageBoxAnswer IGraphicsWin::ShowMessageBox(std::string_view text, std::string_view caption, MessageBoxType type) {
    const std::wstring wideText = Utf8ToUtf16(text);
    const std::wstring wideCaption = Utf8ToUtf16(caption);
    const UINT buttons = type == MessageBoxType::YesNo ? MB_YESNO : MB_OK;
    switch (MessageBoxW(HostWindow(), wideText.c_str(), wideCaption.c_str(), buttons)) {
    case IDYES: return MessageBoxAnswer::Yes;
    case IDNO: return MessageBoxAnswer::No;
    case IDOK: return MessageBoxAnswer::Ok;
    default: return MessageBoxAnswer::Cancel;
    }
}

bool IGraphicsWin::IsConnectedToInternet() {
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

bool IGraphicsWin::ShellOpen(std::string_view url) {
    const std::wstring address = Utf8ToUtf16(url);
    if (address.empty()) return false;
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > kShellExecuteSucceeded;
}

std::string IGraphicsWin::DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    std::string folder = Utf16ToUtf8(path);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}
