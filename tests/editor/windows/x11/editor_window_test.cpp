// The editor in a real X11 window on Xvfb, driven as a user drives it:
// what it shows, knobs, buttons, pages, the program menu, the rename entry,
// keys for the host, and file dialogs.
#include "instrument/parameter_table.h"

#include "x11_test_host.h"

namespace {

using namespace x11_test;

constexpr int kProgram = 20;
constexpr int kProgramCount = 128;

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_X_SERVER();
        host = std::make_unique<ModuleHost>();
        host->Start();
        host->SetProgram(kProgram);
        window = std::make_unique<HostWindow>();
        session = std::make_unique<EditorSession>(*host, *window);
        ASSERT_TRUE(session->Open());
        // 40 idle calls of 20 ms: 20 redraw ticks, enough for every read-out.
        session->Pump(40);
        editor = session->EditorWindow();
        ASSERT_NE(editor, 0u);
        host->ClearCalls();
    }
    void TearDown() override {
        if (session != nullptr) session->Close();
        session.reset();
        window.reset();
        host.reset();
    }

    RgbImage CaptureEditor() { return Capture(window->GetDisplay(), editor); }

    std::unique_ptr<ModuleHost> host;
    std::unique_ptr<HostWindow> window;
    std::unique_ptr<EditorSession> session;
    Window editor = 0;
};

TEST_F(EditorWindow, IsAChildOfTheHostWindowAtItsTopLeftCornerShowingTheSnapshotOfTheProgram) {
    XWindowAttributes attributes{};
    ASSERT_NE(XGetWindowAttributes(window->GetDisplay(), editor, &attributes), 0);
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    EXPECT_EQ(attributes.width, 1030);
    EXPECT_EQ(attributes.height, 800);
    EXPECT_EQ(attributes.map_state, IsViewable);
    const RgbImage& snapshot = EditorSnapshot("synth");
    ASSERT_FALSE(snapshot.Empty()) << "dunerow-render wrote no snapshot";
    EXPECT_TRUE(SameRgb(CaptureEditor(), snapshot));
}

TEST_F(EditorWindow, DraggingTheVolumeKnobUpAutomatesVolumeBetweenBeginAndEndOfTheEdit) {
    const float before = host->GetParameter(param::Volume);
    // The knob lies at (900, 640), 50 x 50: pressed in its middle, dragged up.
    session->WhileUser([&] {
        XUser user;
        user.Drag(925, 665, 925, 605, 12);
        session->WaitIdles(5);
    });
    const auto calls = host->Calls();
    const auto isVolume = [](int32_t opcode) {
        return [opcode](const ModuleHost::Call& call) { return call.opcode == opcode && call.index == param::Volume; };
    };
    const auto begin = std::find_if(calls.begin(), calls.end(), isVolume(vst2::audioMasterBeginEdit));
    const auto end = std::find_if(calls.rbegin(), calls.rend(), isVolume(vst2::audioMasterEndEdit));
    ASSERT_NE(begin, calls.end()) << "no begin-edit for Volume";
    ASSERT_NE(end, calls.rend()) << "no end-edit for Volume";
    const auto endPosition = end.base() - 1;
    ASSERT_LT(begin, endPosition);
    int automations = 0;
    float last = before;
    for (auto call = calls.begin(); call != calls.end(); ++call) {
        if (!isVolume(vst2::audioMasterAutomate)(*call)) continue;
        EXPECT_GT(call, begin) << "automation before the begin-edit";
        EXPECT_LT(call, endPosition) << "automation after the end-edit";
        ++automations;
        last = call->value;
    }
    EXPECT_GE(automations, 1);
    EXPECT_GT(last, before) << "dragging up turns the knob up";
    EXPECT_FLOAT_EQ(host->GetParameter(param::Volume), last);
    // A picture of the editor after the drag, to look at.
    session->Pump(10);
    WritePngRgb("/tmp/x11_host_synth.png", CaptureEditor());
}

TEST_F(EditorWindow, ClickingTheNextProgramArrowSelectsTheNextProgram) {
    // The arrow lies at (682, 488), 20 x 20.
    session->WhileUser([&] {
        XUser user;
        user.Click(692, 498);
        session->WaitIdles(5);
    });
    EXPECT_EQ(host->Program(), kProgram + 1);
}

TEST_F(EditorWindow, TheAboutTabShowsTheAboutPage) {
    const RgbImage& synth = EditorSnapshot("synth");
    const RgbImage& about = EditorSnapshot("about");
    ASSERT_FALSE(about.Empty());
    ASSERT_FALSE(SameRgb(synth, about)) << "the two pages must differ for this test to mean anything";
    // The tab lies at (515, 762), 85 x 25.
    session->WhileUser([&] {
        XUser user;
        user.Click(557, 774);
        session->WaitIdles(40);
    });
    EXPECT_TRUE(SameRgb(CaptureEditor(), about));
}

TEST_F(EditorWindow, TheProgramMenuListsEveryProgramInColumnsAndAClickPicksOne) {
    constexpr int kPick = 77;
    bool overrideRedirect = false;
    int columns = 0;
    std::vector<Box> items;
    session->WhileUser([&] {
        XUser user;
        user.Click(590, 500);
        Window menu = 0;
        ASSERT_TRUE(WaitUntil([&] { return (menu = user.FindMenu()) != 0; })) << "no menu window";
        const XWindowAttributes attributes = user.Attributes(menu);
        overrideRedirect = attributes.override_redirect != 0;
        // The pointer off the menu: no item is lit. The menu's pixels then
        // stay the same.
        const int right = attributes.x + attributes.width;
        user.MoveTo(right + 20 < 1280 ? right + 20 : attributes.x - 20, attributes.y + 10);
        RgbImage plain;
        ASSERT_TRUE(WaitUntil([&] {
            plain = user.CaptureWindow(menu);
            std::this_thread::sleep_for(50ms);
            return SameRgb(user.CaptureWindow(menu), plain);
        }));
        // Each item is found by the highlight the pointer puts on it: down
        // each column, then on to the next column.
        int x = 10;
        while (x < attributes.width) {
            int y = 2;
            bool columnFound = false;
            while (y < attributes.height - 1) {
                user.MoveTo(attributes.x + x, attributes.y + y);
                Box lit;
                const int top = std::max(y - 40, 0);
                const bool found = WaitUntil(
                    [&] {
                        lit = DifferenceBox(user.CaptureRows(menu, top, 80), plain, top);
                        return !lit.Empty() && lit.top <= y && y <= lit.bottom && lit.left <= x && x <= lit.right;
                    },
                    1000ms);
                if (!found) break;
                items.push_back(lit);
                columnFound = true;
                y = lit.bottom + 3;
            }
            if (!columnFound) break;
            ++columns;
            x = items.back().right + 10;
        }
        if (static_cast<int>(items.size()) > kPick) {
            const Box& item = items[kPick];
            user.Click(attributes.x + item.CentreX(), attributes.y + item.CentreY());
        } else {
            user.Key(XK_Escape);
        }
        EXPECT_TRUE(WaitUntil([&] { return user.FindMenu() == 0; })) << "the menu stayed open";
    });
    EXPECT_TRUE(overrideRedirect);
    EXPECT_EQ(static_cast<int>(items.size()), kProgramCount);
    // 128 items of the menu font do not fit 1024 pixels in one column.
    EXPECT_GT(columns, 1);
    EXPECT_EQ(host->Program(), kPick);
}

TEST_F(EditorWindow, RightClickOnTheProgramNameOpensAnEntryThatRenamesTheProgram) {
    XWindowAttributes entry{};
    Window focusWhileOpen = 0;
    Window focusAfter = 0;
    session->WhileUser([&] {
        XUser user;
        user.Click(590, 500, Button3);
        Window entryWindow = 0;
        ASSERT_TRUE(WaitUntil([&] {
            const auto children = user.Children(editor);
            entryWindow = children.empty() ? 0 : children.front();
            return entryWindow != 0;
        })) << "no text entry";
        entry = user.Attributes(entryWindow);
        // The focus moves when the server has handled the request: wait for it.
        WaitUntil([&] {
            focusWhileOpen = user.Focus();
            return focusWhileOpen == editor;
        });
        // The whole name is selected: typing replaces it.
        user.Type("My Kick");
        user.Key(XK_Return);
        EXPECT_TRUE(WaitUntil([&] { return user.Children(editor).empty(); })) << "the entry stayed open";
        session->WaitIdles(3);
        WaitUntil([&] {
            focusAfter = user.Focus();
            return focusAfter == window->GetWindow();
        });
    });
    // The name field (500, 492)-(682, 508), one pixel larger on each side.
    EXPECT_EQ(entry.x, 499);
    EXPECT_EQ(entry.y, 491);
    EXPECT_EQ(entry.width, 184);
    EXPECT_EQ(entry.height, 18);
    EXPECT_EQ(focusWhileOpen, editor) << "the entry takes the keyboard";
    EXPECT_EQ(host->ProgramName(), "My Kick");
    EXPECT_EQ(focusAfter, window->GetWindow()) << "the keyboard goes back to the host";
}

TEST_F(EditorWindow, EscapeInTheEntryKeepsTheProgramName) {
    const std::string name = host->ProgramName();
    session->WhileUser([&] {
        XUser user;
        user.Click(590, 500, Button3);
        ASSERT_TRUE(WaitUntil([&] { return !user.Children(editor).empty(); }));
        user.Type("Gone");
        user.Key(XK_Escape);
        EXPECT_TRUE(WaitUntil([&] { return user.Children(editor).empty(); }));
        session->WaitIdles(3);
    });
    EXPECT_EQ(host->ProgramName(), name);
}

TEST_F(EditorWindow, KeysNoControlTakesGoOnToTheHostWindow) {
    session->WhileUser([&] {
        XUser user;
        user.MoveTo(20, 20);
        user.Key(XK_F5);
        user.Key(XK_q);
        session->WaitIdles(5);
    });
    Display* display = window->GetDisplay();
    const KeyCode f5 = XKeysymToKeycode(display, XK_F5);
    const KeyCode q = XKeysymToKeycode(display, XK_q);
    std::vector<std::pair<int, unsigned>> received;  // (event type, key code)
    XSync(display, False);
    XEvent event;
    while (XCheckWindowEvent(display, window->GetWindow(), KeyPressMask | KeyReleaseMask, &event)) {
        EXPECT_TRUE(event.xkey.send_event) << "only the editor's copies reach the host window";
        received.emplace_back(event.type, event.xkey.keycode);
    }
    const std::vector<std::pair<int, unsigned>> expected = {
        {KeyPress, f5}, {KeyRelease, f5}, {KeyPress, q}, {KeyRelease, q}};
    EXPECT_EQ(received, expected);
}

// The module finds dialog programs on PATH; this points PATH at one folder.
class PathForTheTest {
public:
    explicit PathForTheTest(const std::filesystem::path& folder) {
        const char* path = std::getenv("PATH");
        saved_ = path != nullptr ? path : "";
        std::filesystem::create_directories(folder);
        setenv("PATH", folder.c_str(), 1);
    }
    ~PathForTheTest() { setenv("PATH", saved_.c_str(), 1); }

private:
    std::string saved_;
};

TEST_F(EditorWindow, WithoutDialogProgramsSavingAsksForThePathInTheEditor) {
    const PathForTheTest noPrograms(ScratchFolder() / "empty-bin");
    const auto target = ScratchFolder() / "saved by prompt.kv";
    XWindowAttributes prompt{};
    session->WhileUser([&] {
        XUser user;
        // The save button lies at (755, 488), 48 x 20.
        user.Click(775, 498);
        Window promptWindow = 0;
        ASSERT_TRUE(WaitUntil([&] {
            const auto children = user.Children(editor);
            promptWindow = children.empty() ? 0 : children.front();
            return promptWindow != 0;
        })) << "no path prompt";
        prompt = user.Attributes(promptWindow);
        user.KeyWith(XK_Control_L, XK_a);
        user.Type(target.string());
        user.Key(XK_Return);
        EXPECT_TRUE(WaitUntil([&] { return user.Children(editor).empty(); })) << "the prompt stayed open";
        session->WaitIdles(3);
    });
    // A bar across the editor, 20 pixels in from each side.
    EXPECT_EQ(prompt.x, 20);
    EXPECT_EQ(prompt.width, 1030 - 40);
    ASSERT_TRUE(std::filesystem::exists(target));
    EXPECT_GT(std::filesystem::file_size(target), 0u);
}

TEST_F(EditorWindow, SavingRunsZenityAndWritesTheFileItNames) {
    const auto bin = ScratchFolder() / "zenity-bin";
    const PathForTheTest onlyZenity(bin);
    const auto arguments = ScratchFolder() / "zenity-arguments.txt";
    const auto target = ScratchFolder() / "saved by zenity.kv";
    {
        // Answers as zenity does: the path on standard output, status 0.
        std::ofstream script(bin / "zenity");
        script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << arguments.string() << "'\necho '" << target.string()
               << "'\n";
    }
    std::filesystem::permissions(bin / "zenity", std::filesystem::perms::owner_all);
    session->WhileUser([&] {
        XUser user;
        user.Click(775, 498);
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(target); })) << "nothing saved";
        session->WaitIdles(3);
    });
    ASSERT_TRUE(std::filesystem::exists(arguments));
    std::ifstream lines(arguments);
    std::vector<std::string> given;
    for (std::string line; std::getline(lines, line);) given.push_back(line);
    const auto has = [&](const std::string& argument) {
        return std::find(given.begin(), given.end(), argument) != given.end();
    };
    EXPECT_TRUE(has("--file-selection"));
    EXPECT_TRUE(has("--save"));
    EXPECT_TRUE(has("--confirm-overwrite"));
    EXPECT_TRUE(has("--file-filter=*.kv;*.bgp;*.fxp | *.kv *.bgp *.fxp"));
    EXPECT_TRUE(std::any_of(given.begin(), given.end(), [](const std::string& a) { return a.rfind("--filename=/", 0) == 0; }));
    EXPECT_GT(std::filesystem::file_size(target), 0u);
}

TEST_F(EditorWindow, TheWebSiteButtonOpensItsAddressWithXdgOpen) {
    const auto bin = ScratchFolder() / "xdg-bin";
    const PathForTheTest onlyXdgOpen(bin);
    const auto opened = ScratchFolder() / "xdg-open-arguments.txt";
    {
        std::ofstream script(bin / "xdg-open");
        script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << opened.string() << ".part'\n/bin/mv '" << opened.string()
               << ".part' '" << opened.string() << "'\n";
    }
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    session->WhileUser([&] {
        XUser user;
        user.Click(557, 774);  // the about tab
        session->WaitIdles(5);
        // The web site's icon lies at (760, 650), 100 x 100, its caption over the top.
        user.Click(810, 700);
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(opened); })) << "xdg-open never ran";
    });
    std::ifstream lines(opened);
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first, "https://korvane.example/");
}

}  // namespace
