// A host for the editor's X11 window, as a Linux host runs it: the module is
// loaded through its entry point, its editor opened in a top-level window of
// the host's own, and effEditIdle called from the host's GUI thread every
// 20 ms. A separate "user" drives the pointer and keyboard with XTest on a
// connection of its own (on its own thread where the editor may hold the
// GUI thread in a menu) and reads pixels back with XGetImage. Everything
// runs on a private Xvfb server.
#pragma once

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "png_rgb.h"
#include "shell/vst2/vst2_interface.h"

// Xlib last: its macros (None, Bool, Status...) would rename names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

extern char** environ;

namespace x11_test {

using namespace std::chrono_literals;

// The editor's size, and how often the host calls effEditIdle.
inline constexpr int kEditorWidth = 1030;
inline constexpr int kEditorHeight = 800;
inline constexpr auto kIdlePeriod = 20ms;
// Long enough for anything the editor does; waits end as soon as it is done.
inline constexpr auto kPatience = 10s;

// ---- the X server

// An Xvfb server: its display name (":N") when it runs, the reason when not.
struct XServer {
    bool ready = false;
    std::string problem = "the X server was not started";
    pid_t pid = -1;
    std::string display;
};

// The Xvfb started for this test program.
inline XServer& TestServer() {
    static XServer server;
    return server;
}

#define REQUIRE_X_SERVER()                                                              \
    do {                                                                                \
        if (!::x11_test::TestServer().ready) GTEST_SKIP() << ::x11_test::TestServer().problem; \
    } while (false)

// An executable named `program` in a folder of PATH; empty when none.
inline std::string FindProgram(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

// Starts Xvfb with one screen of `geometry` ("1280x1024x24") on a display
// number it picks itself, so that several test programs can run at once.
inline XServer StartXvfb(const std::string& geometry) {
    XServer server;
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) {
        server.problem = "no Xvfb on PATH: install the xvfb package to run the X11 window tests";
        return server;
    }
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0) {
        server.problem = "no pipe for Xvfb's display number";
        return server;
    }
    // Xvfb writes the display number it chose to descriptor 3; the pipe's
    // end is moved above it so that dup2 really copies it there.
    const int writeEnd = fcntl(fds[1], F_DUPFD_CLOEXEC, 10);
    close(fds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd, 3);
    // -noreset: the server would start over whenever its last client
    // leaves, refusing connections meanwhile.
    std::vector<std::string> strings = {xvfb, "-displayfd", "3", "-screen", "0", geometry, "-nolisten", "tcp", "-noreset"};
    std::vector<char*> argv;
    for (std::string& text : strings) argv.push_back(text.data());
    argv.push_back(nullptr);
    const int failed = posix_spawn(&server.pid, xvfb.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(writeEnd);
    if (failed != 0) {
        close(fds[0]);
        server.pid = -1;
        server.problem = "Xvfb did not start";
        return server;
    }
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&wait, 1, 30000) > 0) {
        char buffer[32];
        const ssize_t count = read(fds[0], buffer, sizeof buffer);
        if (count <= 0) break;
        number.append(buffer, static_cast<std::size_t>(count));
    }
    close(fds[0]);
    number = number.substr(0, number.find('\n'));
    if (number.empty()) {
        server.problem = "Xvfb named no display";
        return server;
    }
    server.display = ":" + number;
    Display* display = XOpenDisplay(server.display.c_str());
    int event = 0, error = 0, major = 0, minor = 0;
    const bool xtest = display != nullptr && XTestQueryExtension(display, &event, &error, &major, &minor);
    if (display != nullptr) XCloseDisplay(display);
    if (!xtest) {
        server.problem = "the Xvfb server offers no XTEST extension";
        return server;
    }
    server.ready = true;
    return server;
}

inline void StopXvfb(XServer& server) {
    if (server.pid <= 0) return;
    kill(server.pid, SIGTERM);
    int status = 0;
    while (waitpid(server.pid, &status, 0) < 0 && errno == EINTR) {
    }
    server.pid = -1;
    server.ready = false;
}

// Runs a program to its end with its output on /dev/null; its exit status.
inline int RunProgram(const std::vector<std::string>& arguments) {
    std::vector<std::string> strings = arguments;
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    const int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits until `condition` holds, polling; false when it never did.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds patience = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// A folder for this program's files.
inline std::filesystem::path ScratchFolder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("dunerow_x11_" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// ---- the module, as a host loads it

class ModuleHost {
public:
    struct Call {
        int32_t opcode;
        int32_t index;
        float value;
    };

    explicit ModuleHost(const char* path = DUNEROW_MODULE_PATH) {
        module_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (module_ == nullptr) throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
        using Entry = vst2::AEffect* (*)(vst2::HostCallback);
        auto entry = reinterpret_cast<Entry>(dlsym(module_, "VSTPluginMain"));
        if (entry == nullptr) throw std::runtime_error("no entry point");
        effect_ = entry(&ModuleHost::Callback);
        if (effect_ == nullptr) throw std::runtime_error("no instance");
        effect_->user = this;
        time_.sampleRate = 44100.0;
        time_.tempo = 120.0;
        time_.timeSigNumerator = 4;
        time_.timeSigDenominator = 4;
        time_.flags = vst2::kVstTempoValid | vst2::kVstTimeSigValid;
    }
    ~ModuleHost() {
        if (effect_ != nullptr) Dispatch(vst2::effClose);
        if (module_ != nullptr) dlclose(module_);
    }
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }
    void Start(double sampleRate = 44100.0, int blockSize = 512) {
        Dispatch(vst2::effOpen);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
        Dispatch(vst2::effSetBlockSize, 0, blockSize);
        Dispatch(vst2::effMainsChanged, 0, 1);
    }
    int Program() { return static_cast<int>(Dispatch(vst2::effGetProgram)); }
    void SetProgram(int program) { Dispatch(vst2::effSetProgram, 0, program); }
    std::string ProgramName() {
        std::array<char, 256> name{};
        Dispatch(vst2::effGetProgramName, 0, 0, name.data());
        return name.data();
    }
    float GetParameter(int index) { return effect_->getParameter(effect_, index); }
    void SetParameter(int index, float value) { effect_->setParameter(effect_, index, value); }
    int ParameterCount() const { return effect_->numParams; }
    void Process(float* left, float* right, int frames) {
        float* outputs[2] = {left, right};
        effect_->processReplacing(effect_, nullptr, outputs, frames);
    }
    void SendNote(int status, int note, int velocity) {
        vst2::VstMidiEvent event{};
        event.type = vst2::kVstMidiType;
        event.byteSize = sizeof event;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(note);
        event.midiData[2] = static_cast<char>(velocity);
        std::array<unsigned char, sizeof(vst2::VstEvents) + sizeof(void*)> storage{};
        auto* list = reinterpret_cast<vst2::VstEvents*>(storage.data());
        list->numEvents = 1;
        list->events[0] = reinterpret_cast<vst2::VstEvent*>(&event);
        Dispatch(vst2::effProcessEvents, 0, 0, list);
    }

    // What the instance told its host: automation, edit gestures, display updates.
    std::vector<Call> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void ClearCalls() {
        std::lock_guard lock(mutex_);
        calls_.clear();
    }

private:
    static intptr_t Callback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t /*value*/, void* ptr,
                             float opt) {
        if (opcode == vst2::audioMasterVersion) return 2400;
        auto* host = effect != nullptr ? static_cast<ModuleHost*>(effect->user) : nullptr;
        if (host == nullptr) return 0;
        switch (opcode) {
        case vst2::audioMasterAutomate:
        case vst2::audioMasterBeginEdit:
        case vst2::audioMasterEndEdit:
        case vst2::audioMasterUpdateDisplay: {
            std::lock_guard lock(host->mutex_);
            host->calls_.push_back({opcode, index, opt});
            return opcode == vst2::audioMasterUpdateDisplay ? 1 : 0;
        }
        case vst2::audioMasterWantMidi: return 1;
        case vst2::audioMasterGetTime: return reinterpret_cast<intptr_t>(&host->time_);
        case vst2::audioMasterGetProductString:
            if (ptr != nullptr) std::strncpy(static_cast<char*>(ptr), "Dunerow X11 Test Host", 63);
            return 1;
        default: return 0;
        }
    }

    void* module_ = nullptr;
    vst2::AEffect* effect_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    vst2::VstTimeInfo time_{};
};

// ---- pixels

// A window's pixels as RGB (rows `top` on, `height` of them, or all of
// them); empty when they cannot be read.
inline RgbImage Capture(Display* display, Window window, int top = 0, int height = -1) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0) return {};
    top = std::clamp(top, 0, attributes.height);
    height = height < 0 ? attributes.height - top : std::min(height, attributes.height - top);
    if (height <= 0 || attributes.width <= 0) return {};
    XImage* image = XGetImage(display, window, 0, top, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    RgbImage rgb;
    rgb.width = attributes.width;
    rgb.height = height;
    rgb.pixels.resize(static_cast<std::size_t>(rgb.width) * static_cast<std::size_t>(rgb.height));
    for (int y = 0; y < rgb.height; ++y) {
        for (int x = 0; x < rgb.width; ++x) {
            rgb.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(rgb.width) + static_cast<std::size_t>(x)] =
                static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
        }
    }
    XDestroyImage(image);
    return rgb;
}

// Equal sizes and every pixel equal; otherwise how many differ and where.
inline ::testing::AssertionResult SameRgb(const RgbImage& actual, const RgbImage& expected) {
    if (actual.width != expected.width || actual.height != expected.height) {
        return ::testing::AssertionFailure() << "sizes differ: " << actual.width << "x" << actual.height << " against "
                                             << expected.width << "x" << expected.height;
    }
    int differing = 0;
    int left = actual.width, top = actual.height, right = -1, bottom = -1;
    std::ostringstream first;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (actual.At(x, y) == expected.At(x, y)) continue;
            if (differing++ < 5) {
                first << " (" << x << "," << y << "): " << std::hex << actual.At(x, y) << " not " << expected.At(x, y)
                      << std::dec;
            }
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, within (" << left << "," << top << ")-("
                                         << right << "," << bottom << "):" << first.str();
}

// The bounding box (inclusive) of the pixels where two images differ; empty
// (right < left) when they are equal.
struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;
    bool Empty() const { return right < left; }
    int CentreX() const { return (left + right) / 2; }
    int CentreY() const { return (top + bottom) / 2; }
};
// `rows` holds the rows of `whole` from `top` on.
inline Box DifferenceBox(const RgbImage& rows, const RgbImage& whole, int top = 0) {
    Box box{rows.width, whole.height, -1, -1};
    if (rows.width != whole.width || top < 0 || top + rows.height > whole.height) return {0, 0, -1, -1};
    for (int y = 0; y < rows.height; ++y) {
        for (int x = 0; x < rows.width; ++x) {
            if (rows.At(x, y) == whole.At(x, top + y)) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, top + y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, top + y);
        }
    }
    if (box.right < 0) return {0, 0, -1, -1};
    return box;
}

// The editor drawn without a window by the command-line renderer, program
// 20, on page "synth" or "about": what the window must show.
inline const RgbImage& EditorSnapshot(const std::string& page) {
    static std::map<std::string, RgbImage> snapshots;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    RgbImage& snapshot = snapshots[page];
    if (snapshot.Empty()) {
        const std::string path = (ScratchFolder() / ("snapshot_" + page + ".png")).string();
        if (RunProgram({DUNEROW_RENDER_PATH, "--program", "20", "--editor-snapshot", path, "--page", page}) == 0) {
            snapshot = ReadPngRgb(path);
        }
    }
    return snapshot;
}

// ---- the host's window

class HostWindow {
public:
    explicit HostWindow(int x = 0, int y = 0, int width = kEditorWidth, int height = kEditorHeight) {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) throw std::runtime_error("cannot connect to the X server");
        const int screen = DefaultScreen(display_);
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), x, y, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 0, BlackPixel(display_, screen),
                                      BlackPixel(display_, screen));
        XStoreName(display_, window_, "Dunerow X11 test host");
        // The keys the editor hands on arrive here.
        XSelectInput(display_, window_, StructureNotifyMask | KeyPressMask | KeyReleaseMask);
        XMapWindow(display_, window_);
        XEvent event;
        do {
            XWindowEvent(display_, window_, StructureNotifyMask, &event);
        } while (event.type != MapNotify);
        Focus();
    }
    ~HostWindow() {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    Display* GetDisplay() const { return display_; }
    Window GetWindow() const { return window_; }
    // The parent a host hands effEditOpen.
    void* Parent() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }
    // The keyboard focus, as a window manager gives it to an active window.
    void Focus() {
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
    }
    void Raise() {
        XRaiseWindow(display_, window_);
        XSync(display_, False);
    }
    std::vector<Window> Children() const {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::vector<Window> list;
        if (XQueryTree(display_, window_, &root, &parent, &children, &count) != 0) list.assign(children, children + count);
        if (children != nullptr) XFree(children);
        return list;
    }

private:
    Display* display_ = nullptr;
    Window window_ = 0;
};

// ---- the user

class XUser {
public:
    XUser() {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) throw std::runtime_error("cannot connect to the X server");
    }
    ~XUser() { XCloseDisplay(display_); }
    XUser(const XUser&) = delete;
    XUser& operator=(const XUser&) = delete;

    Display* GetDisplay() const { return display_; }

    void MoveTo(int x, int y) {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XSync(display_, False);
    }
    void Press(unsigned button) {
        XTestFakeButtonEvent(display_, button, True, CurrentTime);
        XSync(display_, False);
    }
    void Release(unsigned button) {
        XTestFakeButtonEvent(display_, button, False, CurrentTime);
        XSync(display_, False);
    }
    void Click(int x, int y, unsigned button = Button1) {
        MoveTo(x, y);
        Press(button);
        Release(button);
    }
    // Presses at the start, moves there in `steps` steps, releases.
    void Drag(int x1, int y1, int x2, int y2, int steps = 10) {
        MoveTo(x1, y1);
        Press(Button1);
        for (int step = 1; step <= steps; ++step) {
            MoveTo(x1 + (x2 - x1) * step / steps, y1 + (y2 - y1) * step / steps);
            std::this_thread::sleep_for(10ms);
        }
        Release(Button1);
    }
    void Key(KeySym keysym) {
        const KeyCode code = XKeysymToKeycode(display_, keysym);
        // Keys that need Shift on this keyboard get it.
        const bool shift = XkbKeycodeToKeysymFallback(code, 0) != keysym;
        const KeyCode shiftCode = XKeysymToKeycode(display_, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(display_, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(display_, shiftCode, False, CurrentTime);
        XSync(display_, False);
    }
    // A key pressed while `modifier` (a modifier key) is held.
    void KeyWith(KeySym modifier, KeySym keysym) {
        const KeyCode held = XKeysymToKeycode(display_, modifier);
        XTestFakeKeyEvent(display_, held, True, CurrentTime);
        Key(keysym);
        XTestFakeKeyEvent(display_, held, False, CurrentTime);
        XSync(display_, False);
    }
    // Types printable ASCII text.
    void Type(std::string_view text) {
        for (const char c : text) Key(static_cast<KeySym>(static_cast<unsigned char>(c)));
    }

    RgbImage CaptureWindow(Window window) { return Capture(display_, window); }
    // Rows top .. top + height - 1 of a window (clipped to it), full width.
    RgbImage CaptureRows(Window window, int top, int height) { return Capture(display_, window, top, height); }

    std::vector<Window> Children(Window window) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::vector<Window> list;
        if (XQueryTree(display_, window, &root, &parent, &children, &count) != 0) list.assign(children, children + count);
        if (children != nullptr) XFree(children);
        return list;
    }
    // A mapped override-redirect window on the root: an open popup menu; 0 for none.
    Window FindMenu() {
        for (const Window window : Children(DefaultRootWindow(display_))) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.override_redirect &&
                attributes.map_state == IsViewable) {
                return window;
            }
        }
        return 0;
    }
    XWindowAttributes Attributes(Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window, &attributes);
        return attributes;
    }
    Window Focus() {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        return focus;
    }

private:
    KeySym XkbKeycodeToKeysymFallback(KeyCode code, int index) {
        int perCode = 0;
        KeySym* symbols = XGetKeyboardMapping(display_, code, 1, &perCode);
        const KeySym symbol = symbols != nullptr && index < perCode ? symbols[index] : NoSymbol;
        if (symbols != nullptr) XFree(symbols);
        return symbol;
    }

    Display* display_ = nullptr;
};

// ---- one editor, opened in a host window and kept idle by the host

class EditorSession {
public:
    EditorSession(ModuleHost& host, HostWindow& window) : host_(host), window_(window) {}

    bool Open() { return host_.Dispatch(vst2::effEditOpen, 0, 0, window_.Parent()) == 1; }
    void Close() { host_.Dispatch(vst2::effEditClose); }
    void Idle() {
        host_.Dispatch(vst2::effEditIdle);
        idles_.fetch_add(1);
    }
    // `count` idle calls, kIdlePeriod apart.
    void Pump(int count) {
        for (int i = 0; i < count; ++i) {
            Idle();
            std::this_thread::sleep_for(kIdlePeriod);
        }
    }
    int Idles() const { return idles_.load(); }
    // Waits (on another thread) until the host has called idle `count` more times.
    bool WaitIdles(int count) {
        const int target = Idles() + count;
        return WaitUntil([&] { return Idles() >= target; });
    }
    // The editor's window: the host window's child.
    Window EditorWindow() const {
        const auto children = window_.Children();
        return children.empty() ? 0 : children.front();
    }
    // Runs `user` on a thread of its own while this thread, the host's GUI
    // thread, calls idle every kIdlePeriod; then a few more idle calls.
    void WhileUser(const std::function<void()>& user) {
        std::atomic<bool> finished{false};
        std::thread thread([&] {
            user();
            finished.store(true);
        });
        while (!finished.load()) {
            Idle();
            std::this_thread::sleep_for(kIdlePeriod);
        }
        thread.join();
        Pump(3);
    }

private:
    ModuleHost& host_;
    HostWindow& window_;
    std::atomic<int> idles_{0};
};

}  // namespace x11_test
