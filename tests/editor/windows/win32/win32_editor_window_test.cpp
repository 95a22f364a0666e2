// Dunerow.dll's editor in a real Win32 window: a test host loads the module,
// opens the editor in its own top-level window on an X display (Wine on
// Xvfb), drives it with input the system delivers and reads the window back.
//
// Text is the one thing GDI (Windows) and FreeType (Linux) draw differently,
// so the window is compared with the Linux build's picture everywhere text
// drew on neither platform. Where that is comes from the editor itself,
// built in this process without a window: drawn once with its text controls
// and once with them hidden, the pixels that differ are the ones Windows'
// text touched; the Linux picture against the one without text gives the
// ones Linux' text touched.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "editor/controls/control.h"
#include "editor/controls/text_control.h"
#include "editor/custom/kv_preset_menu.h"
#include "editor/graphics/graphics_headless.h"
#include "editor/graphics/png_resource.h"
#include "editor/graphics/win32/graphics_win.h"
#include "editor/layout/dunerow_editor.h"
#include "instrument/dunerow.h"
#include "instrument/parameter_table.h"

#include "editor_window_host.h"

using namespace editor_window_host;

namespace {

using Pixels = std::vector<std::uint32_t>;

constexpr int kWidth = dunerow_editor::kWidth;
constexpr int kHeight = dunerow_editor::kHeight;
// The program the Linux pictures show.
constexpr int kReferenceProgram = 20;
// Where the second host window sits, right of the first.
constexpr int kSecondWindowX = 1040;
// How far from its text control's rectangle text may reach: multi-line
// labels run a line below it, and long texts overhang its sides (the host
// line, 260 pixels wide, ends some 55 pixels past its right on Linux).
constexpr int kTextReachDown = 20;
constexpr int kTextOverhang = 80;

// Points of the layout, in editor pixels.
constexpr int kVolumeKnobX = 900 + 25;  // the 50 x 50 knob at (900, 640), its centre
constexpr int kVolumeKnobY = 640 + 25;
constexpr int kNextProgramX = 682 + 10;  // the 20 x 20 arrow at (682, 488)
constexpr int kNextProgramY = 488 + 10;
constexpr int kAboutTabX = 515 + 42;  // the 85 x 25 tab at (515, 762)
constexpr int kAboutTabY = 762 + 12;
constexpr int kProgramNameX = 590;  // inside the name field (500, 492)-(682, 508)
constexpr int kProgramNameY = 500;
constexpr int kBackgroundX = 20;  // window background, no control above it
constexpr int kBackgroundY = 20;

enum class Page { Synth, About };

const char* PageName(Page page) { return page == Page::Synth ? "synth" : "about"; }

intptr_t InProcessHostCallback(vst2::AEffect* /*effect*/, int32_t opcode, int32_t /*index*/, intptr_t /*value*/,
                               void* ptr, float /*opt*/) {
    if (opcode == vst2::audioMasterVersion) return 2400;
    if (opcode == vst2::audioMasterGetProductString) {
        std::strncpy(static_cast<char*>(ptr), "Dunerow Window Test Host", 63);
        return 1;
    }
    return 0;
}

Pixels SurfacePixels(const RasterBitmap& surface) {
    Pixels pixels;
    pixels.reserve(static_cast<std::size_t>(surface.Width()) * static_cast<std::size_t>(surface.Height()));
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) pixels.push_back(surface.At(x, y) & 0x00FFFFFFu);
    }
    return pixels;
}

bool DrawsText(const IControl& control) {
    return dynamic_cast<const ITextControl*>(&control) != nullptr ||
           dynamic_cast<const IKvPresetMenu*>(&control) != nullptr;
}

// The editor drawn in this process without a window, as the module's editor
// draws it on program 20: with its texts, without them, and where they are.
struct InProcessPictures {
    Pixels withText;
    Pixels withoutText;
    std::vector<RasterRect> textRects;
};

InProcessPictures DrawInProcess(Page page) {
    auto synth = std::make_unique<Dunerow>(&InProcessHostCallback);
    auto owned = std::make_unique<IGraphicsHeadless>(synth.get(), kWidth, kHeight, dunerow_editor::kFramesPerSecond);
    IGraphicsHeadless& graphics = *owned;
    BuildDunerowEditor(*synth, graphics);
    synth->AttachEditor(std::move(owned));
    synth->RefreshEditorDisplays();
    vst2::AEffect* effect = synth->Effect();
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst2::effSetProgram, 0, kReferenceProgram, nullptr, 0.0f);
    effect->dispatcher(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, vst2::effSetBlockSize, 0, 512, nullptr, 0.0f);
    effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
    graphics.Tick(12);
    if (page == Page::About) {
        graphics.Click(kAboutTabX, kAboutTabY);
        graphics.Tick(12);
    }
    const RasterRect all{0, 0, kWidth, kHeight};
    InProcessPictures pictures;
    graphics.Paint(all);
    pictures.withText = SurfacePixels(graphics.Surface());
    for (int index = 0; index < graphics.ControlCount(); ++index) {
        IControl& control = *graphics.GetControl(index);
        if (control.IsHidden() || !DrawsText(control)) continue;
        pictures.textRects.push_back(control.GetRect());
        control.Hide(true);
    }
    graphics.Paint(all);
    pictures.withoutText = SurfacePixels(graphics.Surface());
    return pictures;
}

std::filesystem::path ReferencePath(Page page) {
    return std::filesystem::path(DUNEROW_REFERENCE_DIR) / (std::string("program20_") + PageName(page) + ".png");
}

// The Linux build's picture of `page`; empty when it has not been written.
Pixels LinuxPicture(Page page) {
    std::ifstream file(ReferencePath(page), std::ios::binary);
    if (!file) return {};
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const RasterBitmap picture = DecodePngBitmap(bytes);
    if (picture.Width() != kWidth || picture.Height() != kHeight) return {};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Opaque, so the decoder's premultiplied colours are the file's.
            if ((picture.At(x, y) >> 24) != 0xFF) return {};
        }
    }
    return SurfacePixels(picture);
}

struct Difference {
    int count = 0;
    int x = -1;
    int y = -1;
    std::uint32_t got = 0;
    std::uint32_t expected = 0;
};

std::ostream& operator<<(std::ostream& out, const Difference& difference) {
    out << difference.count << " pixels differ";
    if (difference.count > 0) {
        out << ", the first at (" << difference.x << ", " << difference.y << "): 0x" << std::hex << difference.got
            << " instead of 0x" << difference.expected << std::dec;
    }
    return out;
}

// Pixels where `got` and `expected` differ, leaving out those `skip` marks.
Difference Compare(const Pixels& got, const Pixels& expected, const std::vector<bool>* skip = nullptr) {
    Difference difference;
    for (std::size_t i = 0; i < got.size() && i < expected.size(); ++i) {
        if ((skip != nullptr && (*skip)[i]) || got[i] == expected[i]) continue;
        if (difference.count++ == 0) {
            difference.x = static_cast<int>(i % kWidth);
            difference.y = static_cast<int>(i / kWidth);
            difference.got = got[i];
            difference.expected = expected[i];
        }
    }
    return difference;
}

// The pixels text touched on either platform, and how many of them lie
// farther from every text control than text reaches (0 when the two
// platforms differ in text alone).
struct TextMask {
    std::vector<bool> text;
    int pixels = 0;
    Difference awayFromText;
    RasterRect awayBounds;
};

TextMask MaskOfText(const InProcessPictures& windows, const Pixels& linux) {
    TextMask mask;
    mask.text.assign(windows.withText.size(), false);
    for (std::size_t i = 0; i < mask.text.size(); ++i) {
        const bool touched = windows.withText[i] != windows.withoutText[i] || linux[i] != windows.withoutText[i];
        if (!touched) continue;
        mask.text[i] = true;
        ++mask.pixels;
        const int x = static_cast<int>(i % kWidth);
        const int y = static_cast<int>(i / kWidth);
        bool nearText = false;
        for (const RasterRect& rect : windows.textRects) {
            const RasterRect reach{rect.left - kTextOverhang, rect.top, rect.right + kTextOverhang,
                                   rect.bottom + kTextReachDown};
            nearText = nearText || reach.Contains(x, y);
        }
        if (!nearText) mask.awayBounds = mask.awayBounds.Union({x, y, x + 1, y + 1});
        if (!nearText && mask.awayFromText.count++ == 0) {
            mask.awayFromText.x = x;
            mask.awayFromText.y = y;
            mask.awayFromText.got = linux[i];
            mask.awayFromText.expected = windows.withoutText[i];
        }
    }
    return mask;
}

std::wstring Widened(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    const int read = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(read, 0)));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The rectangle of `child` in `parent`'s client coordinates.
RECT RectIn(HWND child, HWND parent) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The popup menu window while one is shown, else null.
HWND ShownMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu) ? menu : nullptr;
}

std::wstring MenuItemText(HMENU menu, int position) {
    wchar_t text[300] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 300, MF_BYPOSITION);
    return text;
}

// Keys sent from another thread while the main one is inside a modal loop.
void SendKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(down);
        inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The editor's text entry, null while none is open.
HWND EntryOf(HWND editor) { return GetDlgItem(editor, IGraphicsWin::kTextEntryId); }

bool ClassRegistered(HMODULE module) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    return GetClassInfoExW(module, IGraphicsWin::kWindowClass, &info) != FALSE;
}

class Win32EditorWindow : public ::testing::Test {
protected:
    // One open editor of a new instance on program 20, in a host window at (x, 0).
    struct OpenEditor {
        std::unique_ptr<HostWindow> host;
        std::unique_ptr<Instance> instance;
        HWND editor = nullptr;
    };

    static void SetUpTestSuite() { module_ = LoadLibraryW(Widened(DUNEROW_MODULE_PATH).c_str()); }
    static void TearDownTestSuite() {
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
    }

    void SetUp() override {
        if (!HasDisplay()) {
            GTEST_SKIP() << "no X display for Wine: these tests need Xvfb (run through CTest, which starts one)";
        }
        ASSERT_NE(module_, nullptr) << "cannot load " << DUNEROW_MODULE_PATH;
    }

    static OpenEditor Open(int x = 0) {
        OpenEditor open;
        open.host = std::make_unique<HostWindow>(x, 0, kWidth, kHeight);
        open.instance = std::make_unique<Instance>(module_);
        open.instance->Dispatch(vst2::effSetProgram, 0, kReferenceProgram);
        if (open.host->Handle() != nullptr && open.instance->OpenEditor(open.host->Handle())) {
            open.editor = open.host->Editor();
        }
        Pump(100);
        return open;
    }

    // The window matches the Linux picture of `page` outside text, and
    // matches this process's own drawing (Windows text included) everywhere.
    static void ExpectShows(const Pixels& captured, Page page) {
        const InProcessPictures windows = DrawInProcess(page);
        EXPECT_EQ(Compare(captured, windows.withText).count, 0)
            << "the " << PageName(page) << " page against the editor drawn in this process: "
            << Compare(captured, windows.withText);
        const Pixels linux = LinuxPicture(page);
        if (linux.empty()) {
            GTEST_SKIP() << "no Linux picture at " << ReferencePath(page).string()
                         << ": set DUNEROW_LINUX_RENDER_TOOL to a Linux build's dunerow-render";
        }
        const TextMask mask = MaskOfText(windows, linux);
        EXPECT_EQ(mask.awayFromText.count, 0)
            << "Linux and Windows differ away from any text: " << mask.awayFromText << " within ("
            << mask.awayBounds.left << ", " << mask.awayBounds.top << ")-(" << mask.awayBounds.right << ", "
            << mask.awayBounds.bottom << ")";
        EXPECT_GT(mask.pixels, 0) << "the texts drew nothing";
        const Difference outsideText = Compare(captured, linux, &mask.text);
        EXPECT_EQ(outsideText.count, 0) << "the " << PageName(page) << " page against Linux outside "
                                        << mask.pixels << " text pixels: " << outsideText;
    }

    static HMODULE module_;
};

HMODULE Win32EditorWindow::module_ = nullptr;

TEST_F(Win32EditorWindow, OpensAChildWindowOfItsClassInTheHostsWindow) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    EXPECT_EQ(ClassName(open.editor), L"DunerowWndClass");
    EXPECT_EQ(WindowText(open.editor), L"Dunerow");
    EXPECT_EQ(GetParent(open.editor), open.host->Handle());
    EXPECT_NE(GetWindowLongPtrW(open.editor, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_TRUE(IsWindowVisible(open.editor));
    const RECT place = RectIn(open.editor, open.host->Handle());
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 0);
    EXPECT_EQ(place.right, 1030);
    EXPECT_EQ(place.bottom, 800);
    EXPECT_EQ(GetClassLongPtrW(open.editor, GCL_STYLE) & CS_DBLCLKS, static_cast<ULONG_PTR>(CS_DBLCLKS));
    EXPECT_EQ(GetClassLongPtrW(open.editor, GCLP_HBRBACKGROUND), 0u) << "no background brush";
    const HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(open.editor, GCLP_HCURSOR)), arrow);
    EXPECT_EQ(reinterpret_cast<HMODULE>(GetWindowLongPtrW(open.editor, GWLP_HINSTANCE)), module_)
        << "the class and window belong to the DLL, not the host's program";
    EXPECT_TRUE(ClassRegistered(module_));
    EXPECT_EQ(GetFocus(), open.editor);
    open.instance->CloseEditor();
    EXPECT_EQ(open.host->Editor(), nullptr);
    EXPECT_FALSE(ClassRegistered(module_));
}

TEST_F(Win32EditorWindow, ShowsTheEditorAsLinuxDrawsItApartFromText) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    // Read from the screen, as the user sees it, not from the window's own DC.
    const Pixels captured = SettledCapture(open.editor, kWidth, kHeight, true);
    std::filesystem::create_directories(DUNEROW_CAPTURE_DIR);
    WritePng(captured, kWidth, kHeight, std::string(DUNEROW_CAPTURE_DIR) + "/win32_host_synth.png");
    EXPECT_EQ(Compare(captured, Capture(open.editor, kWidth, kHeight)).count, 0) << "screen and window DC agree";
    ExpectShows(captured, Page::Synth);
}

TEST_F(Win32EditorWindow, DraggingTheVolumeKnobAutomatesVolumeBetweenBeginAndEndEdit) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    Pump(200);
    const float before = open.instance->GetParameter(param::Volume);
    open.instance->calls.clear();
    // 30 pixels over a 50-pixel knob at gearing 4 turn it by 30 / 50 / 4 = 0.15,
    // up when there is room above, else down.
    const bool up = before <= 0.8f;
    const double expected = static_cast<double>(before) + (up ? 0.15 : -0.15);
    Drag(kVolumeKnobX, kVolumeKnobY, kVolumeKnobX, kVolumeKnobY + (up ? -30 : 30), 6);
    Pump(100);

    const auto& calls = open.instance->calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, vst2::audioMasterBeginEdit);
    EXPECT_EQ(calls.front().index, param::Volume);
    EXPECT_EQ(calls.back().opcode, vst2::audioMasterEndEdit);
    EXPECT_EQ(calls.back().index, param::Volume);
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) {
        EXPECT_EQ(calls[i].opcode, vst2::audioMasterAutomate) << i;
        EXPECT_EQ(calls[i].index, param::Volume) << i;
    }
    EXPECT_NEAR(calls[calls.size() - 2].value, expected, 1e-6);
    EXPECT_NEAR(open.instance->GetParameter(param::Volume), expected, 1e-6);

    // A double click sets the knob back to its default: one more automation,
    // which a single click (no drag) never gives. The clicks wait out the
    // double-click time after the drag's press at the same place.
    Pump(static_cast<int>(GetDoubleClickTime()) + 100);
    open.instance->calls.clear();
    Click(kVolumeKnobX, kVolumeKnobY);
    Pump(100);
    for (const HostCall& call : open.instance->calls) EXPECT_NE(call.opcode, vst2::audioMasterAutomate);
    Pump(static_cast<int>(GetDoubleClickTime()) + 100);
    open.instance->calls.clear();
    Click(kVolumeKnobX, kVolumeKnobY);
    Click(kVolumeKnobX, kVolumeKnobY);
    Pump(100);
    int automations = 0;
    for (const HostCall& call : open.instance->calls) automations += call.opcode == vst2::audioMasterAutomate;
    EXPECT_EQ(automations, 1) << "the second click of two is a double click";
    EXPECT_NE(open.instance->GetParameter(param::Volume), static_cast<float>(expected));
}

TEST_F(Win32EditorWindow, TheNextProgramArrowMovesToTheNextProgram) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    Pump(200);
    ASSERT_EQ(open.instance->Program(), 20);
    Click(kNextProgramX, kNextProgramY);
    Pump(100);
    EXPECT_EQ(open.instance->Program(), 21);
    EXPECT_EQ(open.instance->ProgramName(), open.instance->ProgramNameAt(21));
}

TEST_F(Win32EditorWindow, TheAboutTabShowsTheAboutPage) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    const Pixels synth = SettledCapture(open.editor, kWidth, kHeight);
    Click(kAboutTabX, kAboutTabY);
    const Pixels about = SettledCapture(open.editor, kWidth, kHeight);
    EXPECT_GT(Compare(about, synth).count, 100000) << "the page changed";
    std::filesystem::create_directories(DUNEROW_CAPTURE_DIR);
    WritePng(about, kWidth, kHeight, std::string(DUNEROW_CAPTURE_DIR) + "/win32_host_about.png");
    ExpectShows(about, Page::About);
}

TEST_F(Win32EditorWindow, TheProgramMenuListsEveryProgramAndPicksOne) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    Pump(200);
    constexpr int kPick = 5;
    const std::string firstName = open.instance->ProgramNameAt(0);
    const std::string currentName = open.instance->ProgramNameAt(20);

    // The menu is modal: a second thread looks at it and picks with the keys,
    // the first press of Down selecting the first item.
    std::atomic<bool> picked{false};
    int items = -1;
    bool currentChecked = false;
    bool otherChecked = true;
    std::wstring firstLabel;
    std::wstring currentLabel;
    RECT menuPlace{};
    std::thread user([&] {
        for (int attempt = 0; attempt < 500; ++attempt) {
            if (HWND menu = ShownMenu()) {
                HMENU handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                items = GetMenuItemCount(handle);
                currentChecked = (GetMenuState(handle, 20, MF_BYPOSITION) & MF_CHECKED) != 0;
                otherChecked = (GetMenuState(handle, 0, MF_BYPOSITION) & MF_CHECKED) != 0;
                firstLabel = MenuItemText(handle, 0);
                currentLabel = MenuItemText(handle, 20);
                GetWindowRect(menu, &menuPlace);
                std::vector<WORD> keys(kPick + 1, VK_DOWN);
                keys.push_back(VK_RETURN);
                SendKeys(keys);
                picked = true;
                return;
            }
            Sleep(20);
        }
    });
    Click(kProgramNameX, kProgramNameY);
    PumpUntil([&] { return picked.load(); });
    user.join();
    ASSERT_TRUE(picked) << "no menu appeared";
    EXPECT_TRUE(PumpUntil([&] { return open.instance->Program() == kPick; }, 5000));

    EXPECT_EQ(items, 128);
    EXPECT_EQ(firstLabel, L"01: " + Widened(firstName.c_str()));
    EXPECT_EQ(currentLabel, L"21: " + Widened(currentName.c_str()));
    EXPECT_TRUE(currentChecked);
    EXPECT_FALSE(otherChecked);
    // At the name field's left, x = 500; 128 items are taller than the
    // screen, so the menu is moved up to fit.
    EXPECT_EQ(menuPlace.left, 500);
    EXPECT_EQ(open.instance->Program(), kPick);
    EXPECT_EQ(open.instance->ProgramName(), open.instance->ProgramNameAt(kPick));
}

TEST_F(Win32EditorWindow, TheProgramNameIsRenamedThroughTheTextEntry) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    Pump(200);
    const std::string original = open.instance->ProgramName();
    Click(kProgramNameX, kProgramNameY, true);
    HWND entry = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (entry = EntryOf(open.editor)) != nullptr; }));
    EXPECT_EQ(ClassName(entry), L"Edit");
    // Over the name field (500, 492)-(682, 508), one pixel larger each way.
    const RECT place = RectIn(entry, open.editor);
    EXPECT_EQ(place.left, 499);
    EXPECT_EQ(place.top, 491);
    EXPECT_EQ(place.right, 683);
    EXPECT_EQ(place.bottom, 509);
    const LONG_PTR style = GetWindowLongPtrW(entry, GWL_STYLE);
    EXPECT_NE(style & ES_MULTILINE, 0);
    EXPECT_NE(style & ES_CENTER, 0) << "the name is centred";
    EXPECT_EQ(WindowText(entry), Widened(original.c_str()));
    DWORD start = 1;
    DWORD end = 0;
    SendMessageW(entry, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, original.size()) << "all of it selected";
    EXPECT_EQ(SendMessageW(entry, EM_GETLIMITTEXT, 0, 0), 253);
    EXPECT_EQ(GetFocus(), entry);

    TypeText(L"My Kick");
    EXPECT_EQ(WindowText(entry), L"My Kick");
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return EntryOf(open.editor) == nullptr; }));
    EXPECT_EQ(open.instance->ProgramName(), "My Kick");
    EXPECT_EQ(GetFocus(), open.editor);

    // Clicking elsewhere instead of Return keeps the name.
    Click(kProgramNameX, kProgramNameY, true);
    ASSERT_TRUE(PumpUntil([&] { return EntryOf(open.editor) != nullptr; }));
    TypeText(L"Other");
    Click(kBackgroundX, kBackgroundY);
    EXPECT_TRUE(PumpUntil([&] { return EntryOf(open.editor) == nullptr; }));
    EXPECT_EQ(open.instance->ProgramName(), "My Kick");
}

TEST_F(Win32EditorWindow, AHostDestroyingItsWindowFirstStillLeavesNoClassBehind) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    Click(kProgramNameX, kProgramNameY, true);  // with a text entry open too
    ASSERT_TRUE(PumpUntil([&] { return EntryOf(open.editor) != nullptr; }));
    open.host.reset();  // takes the editor window down with it
    EXPECT_FALSE(IsWindow(open.editor));
    EXPECT_TRUE(ClassRegistered(module_)) << "the editor has not been told yet";
    Pump(200);  // timer ticks must find no window
    open.instance->CloseEditor();
    EXPECT_FALSE(ClassRegistered(module_));
    // And it opens again in a new window.
    HostWindow again(0, 0, kWidth, kHeight);
    EXPECT_TRUE(open.instance->OpenEditor(again.Handle()));
    EXPECT_NE(again.Editor(), nullptr);
    open.instance->CloseEditor();
}

TEST_F(Win32EditorWindow, KeysTheEditorLeavesGoToTheHostsWindow) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    Click(kBackgroundX, kBackgroundY);  // focus in the editor
    ASSERT_EQ(GetFocus(), open.editor);
    open.host->keysDown.clear();
    PressKey(VK_F5);
    PressKey('Q');  // a letter over the background: no control takes it
    Pump(100);
    EXPECT_EQ(open.host->keysDown, (std::vector<WPARAM>{VK_F5, 'Q'}));
}

TEST_F(Win32EditorWindow, OpeningAgainWhileOpenKeepsItsPlaceInTheParent) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    SetWindowPos(open.editor, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(open.instance->OpenEditor(open.host->Handle()));
    HWND again = open.host->Editor();
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(IsWindow(open.editor)) << "the first window was closed";
    const RECT place = RectIn(again, open.host->Handle());
    EXPECT_EQ(place.left, 7);
    EXPECT_EQ(place.top, 9);
    EXPECT_EQ(place.right, 7 + 1030);
    EXPECT_EQ(place.bottom, 9 + 800);
    open.instance->CloseEditor();
    EXPECT_FALSE(ClassRegistered(module_));
}

TEST_F(Win32EditorWindow, OpeningAndClosingAHundredTimesLeavesNoClassAndNoGdiObjects) {
    OpenEditor open = Open();
    ASSERT_NE(open.editor, nullptr);
    Pump(300);
    // The counter counts: five brushes more are five objects more.
    const DWORD empty = GdiObjectCount();
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 5; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    const DWORD withBrushes = GdiObjectCount();
    for (HBRUSH brush : brushes) DeleteObject(brush);
    ASSERT_EQ(withBrushes, empty + 5) << "GDI objects cannot be counted here";

    // Counted after a first round: the system fills caches of its own then
    // (Wine three objects), once; a leak grows with every round.
    open.instance->CloseEditor();
    ASSERT_TRUE(open.instance->OpenEditor(open.host->Handle()));
    Click(kProgramNameX, kProgramNameY, true);
    ASSERT_TRUE(PumpUntil([&] { return EntryOf(open.host->Editor()) != nullptr; }));
    open.instance->CloseEditor();
    ASSERT_TRUE(open.instance->OpenEditor(open.host->Handle()));
    Pump(300);
    const DWORD gdiBefore = GdiObjectCount();
    for (int round = 0; round < 100; ++round) {
        open.instance->CloseEditor();
        ASSERT_FALSE(ClassRegistered(module_)) << round;
        ASSERT_EQ(GetWindow(open.host->Handle(), GW_CHILD), nullptr) << round;
        ASSERT_TRUE(open.instance->OpenEditor(open.host->Handle())) << round;
        ASSERT_TRUE(ClassRegistered(module_)) << round;
        Pump(50);  // a tick and a paint
        // Every other round closes with the text entry open, its font and brush with it.
        if (round % 2 == 0) {
            Click(kProgramNameX, kProgramNameY, true);
            ASSERT_TRUE(PumpUntil([&] { return EntryOf(open.host->Editor()) != nullptr; })) << round;
        }
    }
    Pump(300);
    EXPECT_LE(GdiObjectCount(), gdiBefore);
    HWND only = GetWindow(open.host->Handle(), GW_CHILD);
    EXPECT_EQ(only, open.host->Editor());
    EXPECT_EQ(GetWindow(only, GW_HWNDNEXT), nullptr) << "one editor window, no other left behind";
    open.instance->CloseEditor();
    EXPECT_FALSE(ClassRegistered(module_)) << "unregistered with the last editor";
}

TEST_F(Win32EditorWindow, TwoInstancesDrawSideBySideAndShareTheClass) {
    OpenEditor first = Open();
    OpenEditor second = Open(kSecondWindowX);
    ASSERT_NE(first.editor, nullptr);
    ASSERT_NE(second.editor, nullptr);
    const Pixels secondPicture = SettledCapture(second.editor, kWidth, kHeight, true);
    const Pixels firstPicture = SettledCapture(first.editor, kWidth, kHeight, true);
    EXPECT_EQ(Compare(firstPicture, secondPicture).count, 0) << "both show program 20";

    // The wheel over the second editor's volume knob turns that knob by one
    // notch (0.01): screen positions become the second window's own.
    Click(kSecondWindowX + kBackgroundX, kBackgroundY);
    const float firstVolume = first.instance->GetParameter(param::Volume);
    const float secondVolume = second.instance->GetParameter(param::Volume);
    Wheel(kSecondWindowX + kVolumeKnobX, kVolumeKnobY, WHEEL_DELTA);
    Pump(100);
    EXPECT_NEAR(second.instance->GetParameter(param::Volume), static_cast<double>(secondVolume) + 0.01, 1e-6);
    EXPECT_EQ(first.instance->GetParameter(param::Volume), firstVolume);

    // Closing one keeps the class for the other, which still draws.
    first.instance->CloseEditor();
    EXPECT_TRUE(ClassRegistered(module_));
    InvalidateRect(second.editor, nullptr, FALSE);
    const Pixels redrawn = SettledCapture(second.editor, kWidth, kHeight, true);
    EXPECT_GT(Compare(redrawn, secondPicture).count, 0) << "the knob turned";
    second.instance->CloseEditor();
    EXPECT_FALSE(ClassRegistered(module_));

    ExpectShows(firstPicture, Page::Synth);
}

// ---- the window object itself, in this process

// Records what a text entry hands back.
class EntryProbe : public IControl {
public:
    explicit EntryProbe(IPluginVst* plugin) : IControl(plugin, {10, 10, 110, 30}) {}
    bool Draw(IGraphics& /*graphics*/) override { return true; }
    void SetValueFromTextEntry(double value) override { committed.push_back(value); }
    std::vector<double> committed;
};

TEST(Win32EditorWindowInProcess, TheTextEntryTakesOnlyWhatANumberParameterAccepts) {
    if (!HasDisplay()) GTEST_SKIP() << "no X display for Wine";
    auto instrument = std::make_unique<Dunerow>(&InProcessHostCallback);
    Dunerow& synth = *instrument;
    IGraphicsWin graphics(&synth, 200, 60);
    auto owned = std::make_unique<EntryProbe>(&synth);
    EntryProbe& probe = *owned;
    graphics.AddControl(std::move(owned));
    HostWindow host(0, 0, 200, 60);
    ASSERT_TRUE(graphics.OpenWindow(host.Handle()));
    auto* window = static_cast<HWND>(graphics.WindowHandle());
    // Volume is a number: digits, signs and the point only.
    ASSERT_EQ(synth.GetParam(param::Volume)->GetKind(), PluginParam::Kind::Double);
    IText style;
    style.align = TextAlign::Near;
    ASSERT_TRUE(graphics.CreateTextEntry(&probe, style, probe.GetRect(), "", param::Volume));
    HWND entry = EntryOf(window);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(SendMessageW(entry, EM_GETLIMITTEXT, 0, 0), 7) << "a control's entries are 7 characters long";
    EXPECT_NE(GetWindowLongPtrW(entry, GWL_STYLE) & ES_MULTILINE, 0);
    EXPECT_EQ(GetWindowLongPtrW(entry, GWL_STYLE) & (ES_CENTER | ES_RIGHT), 0) << "aligned left";
    TypeText(L"a0x.5z");
    EXPECT_EQ(WindowText(entry), L"0.5");
    TypeText(L"\b");
    EXPECT_EQ(WindowText(entry), L"0.") << "backspace passes";
    TypeText(L"25");
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !graphics.TextEntryIsOpen(); }));
    // Volume runs 0 to 1: 0.25 is 0.25 normalised.
    ASSERT_EQ(probe.committed.size(), 1u);
    EXPECT_NEAR(probe.committed[0], 0.25, 1e-12);
    graphics.CloseWindow();
    EXPECT_FALSE(graphics.WindowIsOpen());
}

TEST(Win32EditorWindowInProcess, ThePopupMenuShowsItsItemsBelowTheRectangleAndPicksFromASubmenu) {
    if (!HasDisplay()) GTEST_SKIP() << "no X display for Wine";
    auto synth = std::make_unique<Dunerow>(&InProcessHostCallback);
    IGraphicsWin graphics(synth.get(), 200, 60);
    HostWindow host(0, 0, 200, 60);
    ASSERT_TRUE(graphics.OpenWindow(host.Handle()));
    IPopupMenu menu;
    menu.AddItem("Alpha");
    menu.AddItem("Beta", false);
    menu.AddSeparator();
    menu.AddItem("Gamma", true, true);
    auto more = std::make_unique<IPopupMenu>();
    more->AddItem("Deep");
    more->AddItem("Deeper & lower");
    IPopupMenu* submenu = menu.AddSubmenu("More", std::move(more));

    std::atomic<bool> picked{false};
    HMENU shown = nullptr;
    RECT place{};
    int items = -1;
    std::vector<std::wstring> labels;
    std::vector<UINT> states;
    int subItems = -1;
    std::wstring subLabel;
    std::thread user([&] {
        for (int attempt = 0; attempt < 500; ++attempt) {
            if (HWND window = ShownMenu()) {
                shown = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
                GetWindowRect(window, &place);
                items = GetMenuItemCount(shown);
                for (int i = 0; i < items; ++i) {
                    labels.push_back(MenuItemText(shown, i));
                    states.push_back(GetMenuState(shown, static_cast<UINT>(i), MF_BYPOSITION));
                }
                HMENU sub = GetSubMenu(shown, 4);
                subItems = sub != nullptr ? GetMenuItemCount(sub) : -1;
                if (sub != nullptr) subLabel = MenuItemText(sub, 1);
                // Up from nothing selects the last item; Right opens it on its first.
                SendKeys({VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN});
                picked = true;
                return;
            }
            Sleep(20);
        }
    });
    const IPopupChoice choice = graphics.ShowPopupMenu(menu, {10, 10, 110, 30});
    user.join();
    ASSERT_TRUE(picked) << "no menu appeared";

    // At the rectangle's left-bottom corner; the host window is at (0, 0).
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.top, 30);
    ASSERT_EQ(items, 5);
    EXPECT_EQ(labels[0], L"Alpha");
    EXPECT_EQ(labels[1], L"Beta");
    EXPECT_EQ(labels[3], L"Gamma");
    EXPECT_EQ(labels[4], L"More");
    EXPECT_EQ(states[0] & (MF_GRAYED | MF_CHECKED | MF_SEPARATOR), 0u);
    EXPECT_NE(states[1] & MF_GRAYED, 0u);
    EXPECT_NE(states[2] & MF_SEPARATOR, 0u);
    EXPECT_NE(states[3] & MF_CHECKED, 0u);
    EXPECT_NE(states[4] & MF_POPUP, 0u);
    EXPECT_EQ(subItems, 2);
    EXPECT_EQ(subLabel, L"Deeper && lower") << "an ampersand shows as itself";
    EXPECT_EQ(choice.menu, submenu);
    EXPECT_EQ(choice.item, 1);
    EXPECT_EQ(submenu->ChosenItem(), 1);
    EXPECT_FALSE(IsMenu(shown)) << "the menu is destroyed after use";
    graphics.CloseWindow();
}

}  // namespace
