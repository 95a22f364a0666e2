// Opening and closing the editor's window as hosts do: over and over,
// while open, without a usable parent or display, with the parent taken
// away first, from two instances at once, and on a screen of 16-bit colour.
#include <cmath>

#include "x11_test_host.h"

namespace {

using namespace x11_test;

constexpr int kProgram = 20;

// Descriptors open in this process: display connections and pipes show here.
int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

TEST(EditorWindowLifecycle, ClosingAndReopeningAHundredTimesLeavesOneWindowAndNoDescriptors) {
    REQUIRE_X_SERVER();
    ModuleHost host;
    host.Start();
    HostWindow window;
    EditorSession session(host, window);
    ASSERT_TRUE(session.Open());
    session.Pump(3);
    session.Close();
    const int descriptors = OpenDescriptors();
    int leftOver = 0;
    for (int round = 0; round < 100; ++round) {
        ASSERT_TRUE(session.Open()) << "round " << round;
        session.Pump(2);
        session.Close();
        leftOver += static_cast<int>(window.Children().size());
    }
    EXPECT_EQ(leftOver, 0) << "windows left after closing";
    EXPECT_EQ(OpenDescriptors(), descriptors);
    ASSERT_TRUE(session.Open());
    session.Pump(3);
    EXPECT_EQ(window.Children().size(), 1u);
    session.Close();
    EXPECT_TRUE(window.Children().empty());
}

TEST(EditorWindowLifecycle, OpeningWhileOpenReopensWhereTheWindowWas) {
    REQUIRE_X_SERVER();
    ModuleHost host;
    host.Start();
    HostWindow window;
    EditorSession session(host, window);
    ASSERT_TRUE(session.Open());
    session.Pump(3);
    XMoveWindow(window.GetDisplay(), session.EditorWindow(), 10, 20);
    XSync(window.GetDisplay(), False);
    ASSERT_TRUE(session.Open());
    session.Pump(3);
    const auto children = window.Children();
    ASSERT_EQ(children.size(), 1u);
    XWindowAttributes attributes{};
    XGetWindowAttributes(window.GetDisplay(), children.front(), &attributes);
    EXPECT_EQ(attributes.x, 10);
    EXPECT_EQ(attributes.y, 20);
    session.Close();
    // Closed and opened again, it starts at the corner.
    ASSERT_TRUE(session.Open());
    session.Pump(2);
    XGetWindowAttributes(window.GetDisplay(), session.EditorWindow(), &attributes);
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    session.Close();
}

TEST(EditorWindowLifecycle, NoParentAWindowThatIsNoneOrNoDisplayMeansNoWindow) {
    REQUIRE_X_SERVER();
    ModuleHost host;
    host.Start();
    EXPECT_EQ(host.Dispatch(vst2::effEditOpen, 0, 0, nullptr), 0);
    // An id no window has.
    EXPECT_EQ(host.Dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t{0x1FFFFFFF})), 0);
    HostWindow window;
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(host.Dispatch(vst2::effEditOpen, 0, 0, window.Parent()), 0);
    setenv("DISPLAY", display.c_str(), 1);
    // Idle and close without a window do nothing.
    host.Dispatch(vst2::effEditIdle);
    host.Dispatch(vst2::effEditClose);
    EXPECT_TRUE(window.Children().empty());
    // And the host can still open it properly afterwards.
    EditorSession session(host, window);
    ASSERT_TRUE(session.Open());
    session.Pump(2);
    EXPECT_EQ(window.Children().size(), 1u);
    session.Close();
}

TEST(EditorWindowLifecycle, AParentDestroyedFirstClosesTheEditor) {
    REQUIRE_X_SERVER();
    ModuleHost host;
    host.Start();
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1030, 800, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    ASSERT_EQ(host.Dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent))), 1);
    for (int i = 0; i < 3; ++i) host.Dispatch(vst2::effEditIdle);
    XDestroyWindow(display, parent);
    XSync(display, False);
    XCloseDisplay(display);
    for (int i = 0; i < 5; ++i) {
        host.Dispatch(vst2::effEditIdle);
        std::this_thread::sleep_for(kIdlePeriod);
    }
    EXPECT_EQ(host.Dispatch(vst2::effEditClose), 1);
    // A new parent gets a new window.
    HostWindow window;
    EditorSession session(host, window);
    ASSERT_TRUE(session.Open());
    session.Pump(2);
    EXPECT_EQ(window.Children().size(), 1u);
    session.Close();
}

TEST(EditorWindowLifecycle, TwoInstancesShareTheImagesAndBothDrawTheSnapshot) {
    REQUIRE_X_SERVER();
    const RgbImage& snapshot = EditorSnapshot("synth");
    ASSERT_FALSE(snapshot.Empty());
    ModuleHost first;
    ModuleHost second;
    for (ModuleHost* host : {&first, &second}) {
        host->Start();
        host->SetProgram(kProgram);
    }
    // The windows overlap on the 1280 x 1024 screen; each is raised to be read.
    HostWindow firstWindow;
    HostWindow secondWindow(100, 100);
    EditorSession firstSession(first, firstWindow);
    EditorSession secondSession(second, secondWindow);
    ASSERT_TRUE(firstSession.Open());
    ASSERT_TRUE(secondSession.Open());
    const auto pumpBoth = [&](int count) {
        for (int i = 0; i < count; ++i) {
            firstSession.Idle();
            secondSession.Idle();
            std::this_thread::sleep_for(kIdlePeriod);
        }
    };
    pumpBoth(40);
    // Raised, the first window is exposed again and drawn from its surface.
    firstWindow.Raise();
    pumpBoth(5);
    EXPECT_TRUE(SameRgb(Capture(firstWindow.GetDisplay(), firstSession.EditorWindow()), snapshot)) << "first";
    secondWindow.Raise();
    pumpBoth(5);
    EXPECT_TRUE(SameRgb(Capture(secondWindow.GetDisplay(), secondSession.EditorWindow()), snapshot)) << "second";
    firstSession.Close();
    secondSession.Close();
}

TEST(EditorWindowVisuals, OnASixteenBitScreenEveryPixelIsTheNearestColourOfTheVisual) {
    REQUIRE_X_SERVER();
    const RgbImage& snapshot = EditorSnapshot("synth");
    ASSERT_FALSE(snapshot.Empty());
    XServer server = StartXvfb("1280x1024x16");
    if (!server.ready) GTEST_SKIP() << server.problem;
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", server.display.c_str(), 1);
    RgbImage captured;
    Visual visual{};
    {
        ModuleHost host;
        host.Start();
        host.SetProgram(kProgram);
        HostWindow window;
        EditorSession session(host, window);
        if (session.Open()) {
            session.Pump(40);
            XWindowAttributes attributes{};
            XGetWindowAttributes(window.GetDisplay(), session.EditorWindow(), &attributes);
            visual = *attributes.visual;
            captured = Capture(window.GetDisplay(), session.EditorWindow());
            session.Close();
        }
    }
    setenv("DISPLAY", display.c_str(), 1);
    StopXvfb(server);
    ASSERT_FALSE(captured.Empty()) << "no window on the 16-bit screen";
    ASSERT_EQ(visual.red_mask, 0xF800u);
    ASSERT_EQ(visual.green_mask, 0x07E0u);
    ASSERT_EQ(visual.blue_mask, 0x001Fu);
    // Each channel to the nearest of the 32 (green: 64) levels, packed 5-6-5.
    RgbImage expected = snapshot;
    for (std::uint32_t& pixel : expected.pixels) {
        const auto level = [](std::uint32_t value, double top) {
            return static_cast<std::uint32_t>(std::lround(static_cast<double>(value) * top / 255.0));
        };
        pixel = level(pixel >> 16 & 0xFF, 31.0) << 11 | level(pixel >> 8 & 0xFF, 63.0) << 5 | level(pixel & 0xFF, 31.0);
    }
    EXPECT_TRUE(SameRgb(captured, expected));
}

}  // namespace
