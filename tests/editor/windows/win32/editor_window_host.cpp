#include "editor/graphics/png_writer.h"
#include "editor/raster/raster_bitmap.h"

#include "editor_window_host.h"

#include <winternl.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace editor_window_host {

namespace {

using Entry = vst2::AEffect* (*)(vst2::HostCallback);

constexpr const wchar_t* kHostWindowClass = L"DunerowTestHostWindow";
// Host idle calls come this often, as hosts make them (20 to 60 a second).
constexpr ULONGLONG kIdleMilliseconds = 20;

// Instances with an open editor, for the idle calls.
std::vector<Instance*>& OpenEditors() {
    static std::vector<Instance*> instances;
    return instances;
}

void SendInputs(std::vector<INPUT>& inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD virtualKey, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

// Wine's GDI handle table, which its PEB points to as Windows' did: 65536
// entries of 24 bytes, the object's type in byte 14 (0 for a free entry).
constexpr std::size_t kWineGdiPebOffset = 0xF8;  // PEB.GdiSharedHandleTable, x86-64
constexpr std::size_t kWineGdiEntries = 0x10000;
constexpr std::size_t kWineGdiEntryBytes = 24;
constexpr std::size_t kWineGdiTypeByte = 14;

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

DWORD WineGdiObjectCount() {
    using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        basic.PebBaseAddress == nullptr) {
        return 0;
    }
    const auto* peb = reinterpret_cast<const std::uint8_t*>(basic.PebBaseAddress);
    const std::uint8_t* table = nullptr;
    std::memcpy(&table, peb + kWineGdiPebOffset, sizeof table);
    if (table == nullptr) return 0;
    DWORD count = 0;
    for (std::size_t entry = 0; entry < kWineGdiEntries; ++entry) {
        count += table[entry * kWineGdiEntryBytes + kWineGdiTypeByte] != 0 ? 1 : 0;
    }
    return count;
}

}  // namespace

DWORD GdiObjectCount() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0 || !RunningUnderWine()) return counted;
    return WineGdiObjectCount();
}

// ---- the instance

Instance::Instance(HMODULE module) {
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
    if (entry == nullptr) return;
    effect_ = entry(&Instance::Callback);
    if (effect_ == nullptr) return;
    effect_->user = this;
    Dispatch(vst2::effOpen);
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(vst2::effSetBlockSize, 0, 512);
    Dispatch(vst2::effMainsChanged, 0, 1);
}

Instance::~Instance() {
    if (effect_ == nullptr) return;
    CloseEditor();
    Dispatch(vst2::effMainsChanged, 0, 0);
    Dispatch(vst2::effClose);
}

intptr_t Instance::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    if (effect_ == nullptr) return 0;
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

float Instance::GetParameter(int index) {
    return effect_ != nullptr ? effect_->getParameter(effect_, index) : 0.0f;
}

int Instance::Program() { return static_cast<int>(Dispatch(vst2::effGetProgram)); }

std::string Instance::ProgramName() {
    std::array<char, 256> name{};
    Dispatch(vst2::effGetProgramName, 0, 0, name.data());
    return name.data();
}

std::string Instance::ProgramNameAt(int program) {
    std::array<char, 256> name{};
    Dispatch(vst2::effGetProgramNameIndexed, program, 0, name.data());
    return name.data();
}

bool Instance::OpenEditor(HWND parent) {
    const bool opened = Dispatch(vst2::effEditOpen, 0, 0, parent) == 1;
    if (opened && !editorOpen_) OpenEditors().push_back(this);
    editorOpen_ = editorOpen_ || opened;
    return opened;
}

void Instance::CloseEditor() {
    Dispatch(vst2::effEditClose);
    auto& open = OpenEditors();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
    editorOpen_ = false;
}

intptr_t Instance::Callback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t /*value*/, void* ptr,
                            float opt) {
    if (opcode == vst2::audioMasterVersion) return 2400;
    auto* instance = effect != nullptr ? static_cast<Instance*>(effect->user) : nullptr;
    switch (opcode) {
    case vst2::audioMasterAutomate:
    case vst2::audioMasterBeginEdit:
    case vst2::audioMasterEndEdit:
        if (instance != nullptr) instance->calls.push_back({opcode, index, opt});
        return opcode == vst2::audioMasterAutomate ? 0 : 1;
    case vst2::audioMasterGetProductString:
        std::strncpy(static_cast<char*>(ptr), "Dunerow Window Test Host", 63);
        return 1;
    default:
        return 0;
    }
}

// ---- the host's window

HostWindow::HostWindow(int x, int y, int width, int height) {
    HINSTANCE program = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &HostWindow::Procedure;
    windowClass.hInstance = program;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kHostWindowClass;
    RegisterClassExW(&windowClass);  // fails harmlessly for the second window
    window_ = CreateWindowExW(0, kHostWindowClass, L"Dunerow test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                              width, height, nullptr, nullptr, program, this);
    if (window_ == nullptr) return;
    SetForegroundWindow(window_);
    Pump(50);
}

HostWindow::~HostWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

HWND HostWindow::Editor() const {
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        std::array<wchar_t, 64> name{};
        GetClassNameW(child, name.data(), static_cast<int>(name.size()));
        if (std::wstring(name.data()) == L"DunerowWndClass") return child;
    }
    return nullptr;
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* host = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host != nullptr && message == WM_KEYDOWN) {
        host->keysDown.push_back(wParam);
        return 0;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---- the loop

bool HasDisplay() {
    std::array<wchar_t, 64> display{};
    return GetEnvironmentVariableW(L"DISPLAY", display.data(), static_cast<DWORD>(display.size())) > 0;
}

void Pump(int milliseconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    ULONGLONG nextIdle = 0;
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= nextIdle) {
            // A copy: an idle call may close an editor.
            const std::vector<Instance*> open = OpenEditors();
            for (Instance* instance : open) instance->Dispatch(vst2::effEditIdle);
            nextIdle = now + kIdleMilliseconds;
        }
        if (now >= end) return;
        const auto wait = static_cast<DWORD>(std::min(end - now, kIdleMilliseconds));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

// ---- pixels

std::vector<std::uint32_t> Capture(HWND window, int width, int height, bool fromScreen) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    POINT origin{0, 0};
    if (fromScreen) ClientToScreen(window, &origin);
    HDC source = GetDC(fromScreen ? nullptr : window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section != nullptr && bits != nullptr) {
        HGDIOBJ previous = SelectObject(memory, section);
        BitBlt(memory, 0, 0, width, height, source, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        std::memcpy(pixels.data(), bits, pixels.size() * sizeof(std::uint32_t));
        SelectObject(memory, previous);
    }
    if (section != nullptr) DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(fromScreen ? nullptr : window, source);
    for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFFu;
    return pixels;
}

std::vector<std::uint32_t> SettledCapture(HWND window, int width, int height, bool fromScreen) {
    Pump(300);
    std::vector<std::uint32_t> last = Capture(window, width, height, fromScreen);
    for (int attempt = 0; attempt < 20; ++attempt) {
        Pump(200);
        std::vector<std::uint32_t> now = Capture(window, width, height, fromScreen);
        if (now == last) return now;
        last = std::move(now);
    }
    return last;
}

bool WritePng(const std::vector<std::uint32_t>& pixels, int width, int height, const std::string& path) {
    RasterBitmap bitmap(width, height);
    if (bitmap.IsEmpty() || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.Set(x, y, 0xFF000000u | pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                                  static_cast<std::size_t>(x)]);
        }
    }
    return WritePngFile(bitmap, path);
}

// ---- input

void MoveMouse(int x, int y) {
    SetCursorPos(x, y);
    Pump(30);
}

void MouseButton(bool down, bool right) {
    std::vector<INPUT> inputs(1);
    inputs[0].type = INPUT_MOUSE;
    if (right) {
        inputs[0].mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    } else {
        inputs[0].mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    SendInputs(inputs);
    Pump(30);
}

void Click(int x, int y, bool right) {
    MoveMouse(x, y);
    MouseButton(true, right);
    MouseButton(false, right);
}

void Drag(int x1, int y1, int x2, int y2, int steps) {
    MoveMouse(x1, y1);
    MouseButton(true);
    for (int step = 1; step <= steps; ++step) {
        MoveMouse(x1 + (x2 - x1) * step / steps, y1 + (y2 - y1) * step / steps);
    }
    MouseButton(false);
}

void Wheel(int x, int y, int delta) {
    MoveMouse(x, y);
    std::vector<INPUT> inputs(1);
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_WHEEL;
    inputs[0].mi.mouseData = static_cast<DWORD>(delta);
    SendInputs(inputs);
    Pump(30);
}

void PressKey(WORD virtualKey) {
    std::vector<INPUT> inputs{KeyInput(virtualKey, 0, 0), KeyInput(virtualKey, 0, KEYEVENTF_KEYUP)};
    SendInputs(inputs);
    Pump(30);
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : text) {
        inputs.push_back(KeyInput(0, static_cast<WORD>(c), KEYEVENTF_UNICODE));
        inputs.push_back(KeyInput(0, static_cast<WORD>(c), KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    SendInputs(inputs);
    Pump(50);
}

}  // namespace editor_window_host
