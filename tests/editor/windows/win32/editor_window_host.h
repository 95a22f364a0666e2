// A small Windows host for the editor window tests: it loads Dunerow.dll,
// makes instances through its entry point, gives each editor a top-level
// window to live in, runs the message loop with the host's idle calls, and
// drives the editor with input the system delivers (SendInput, the cursor)
// and reads its window back as pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/vst2/vst2_interface.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace editor_window_host {

// What an instance told its host, in order.
struct HostCall {
    int32_t opcode;  // audioMasterAutomate, audioMasterBeginEdit or audioMasterEndEdit
    int32_t index;
    float value;     // for audioMasterAutomate
};

// One instance of the module, made as a host makes it and started at 44.1 kHz.
class Instance {
public:
    explicit Instance(HMODULE module);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    float GetParameter(int index);
    int Program();
    std::string ProgramName();
    std::string ProgramNameAt(int program);
    // Opens the editor in `parent`; true when the plug-in says it did.
    bool OpenEditor(HWND parent);
    void CloseEditor();

    std::vector<HostCall> calls;

private:
    static intptr_t Callback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                             float opt);

    vst2::AEffect* effect_ = nullptr;
    bool editorOpen_ = false;
};

// The host's window for an editor: top-level, borderless, client area at (x, y).
class HostWindow {
public:
    HostWindow(int x, int y, int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return window_; }
    // The editor window inside it, null when there is none.
    HWND Editor() const;
    // Virtual keys that reached this window as WM_KEYDOWN.
    std::vector<WPARAM> keysDown;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

// Whether Wine has an X display to show windows on.
bool HasDisplay();

// Runs the message loop for `milliseconds`, giving every instance with an
// open editor its idle call as a host does.
void Pump(int milliseconds);
// Runs it until `done` or `limitMilliseconds` have passed; returns `done()`.
template <class Done>
bool PumpUntil(Done done, int limitMilliseconds = 10000) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(limitMilliseconds);
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        Pump(20);
    }
    return true;
}

// Pixels of a window's client area, 0x00RRGGBB, rows from the top; `fromScreen`
// reads the screen (the X server's pixels) instead of the window's DC.
std::vector<std::uint32_t> Capture(HWND window, int width, int height, bool fromScreen = false);
// Captures until two captures a few redraw ticks apart agree.
std::vector<std::uint32_t> SettledCapture(HWND window, int width, int height, bool fromScreen = false);
// Writes pixels as a PNG; false when it cannot.
bool WritePng(const std::vector<std::uint32_t>& pixels, int width, int height, const std::string& path);

// GDI objects this process holds; 0 when they cannot be counted here.
// Windows counts them in GetGuiResources. Wine answers 0 there, but keeps
// its handle table in the process, where the used entries are counted.
DWORD GdiObjectCount();

// ---- input, as the system delivers it, in screen coordinates
void MoveMouse(int x, int y);
void MouseButton(bool down, bool right = false);
void Click(int x, int y, bool right = false);
// Presses at the start, moves in `steps` steps, releases at the end.
void Drag(int x1, int y1, int x2, int y2, int steps);
void Wheel(int x, int y, int delta);
void PressKey(WORD virtualKey);
void TypeText(const std::wstring& text);

}  // namespace editor_window_host
