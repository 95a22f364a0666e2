// The popup menu's window on its own, with what the instrument's menus do
// not have: separators, a disabled item, a sub-menu, a check mark, and a
// place near the screen's corner.
// GoogleTest before Xlib, whose macros would rename names in it.
#include <gtest/gtest.h>

#include "editor/graphics/x11/x11_popup_menu.h"
#include "x11_test_host.h"

namespace {

using namespace x11_test;

// The editor's side while the menu runs: nothing of its own to draw.
class QuietOwner : public X11ModalOwner {
public:
    void OnModalEvent(XEvent& /*event*/) override {}
    bool EditorGone() const override { return false; }
};

// Alpha, a separator, Beta (disabled), More (One, Two), Omega.
struct TestMenu {
    IPopupMenu menu;
    IPopupMenu* more = nullptr;
    TestMenu() {
        menu.AddItem("Alpha");
        menu.AddSeparator();
        menu.AddItem("Beta", false);
        auto submenu = std::make_unique<IPopupMenu>();
        submenu->AddItem("One");
        submenu->AddItem("Two", true, true);
        more = menu.AddSubmenu("More", std::move(submenu));
        menu.AddItem("Omega");
    }
};

// The menu windows on the screen, first opened first.
std::vector<Window> MenuWindows(XUser& user) {
    std::vector<Window> menus;
    for (const Window window : user.Children(DefaultRootWindow(user.GetDisplay()))) {
        const XWindowAttributes attributes = user.Attributes(window);
        if (attributes.override_redirect && attributes.map_state == IsViewable) menus.push_back(window);
    }
    return menus;
}

// Runs the menu on this thread (as the editor does inside the host's idle
// call) while `user` works it from another.
IPopupChoice TrackWhile(IPopupMenu& menu, int x, int y, const std::function<void(XUser&)>& user) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return {};
    QuietOwner owner;
    IPopupChoice choice;
    std::thread thread([&] {
        XUser xuser;
        user(xuser);
        // Whatever the user did, the menu ends: Escape closes a level a press.
        for (int press = 0; press < 10 && !MenuWindows(xuser).empty(); ++press) {
            xuser.Key(XK_Escape);
            std::this_thread::sleep_for(50ms);
        }
    });
    {
        X11PopupMenu popup(display, DefaultScreen(display), owner);
        choice = popup.Track(menu, x, y);
    }
    thread.join();
    XCloseDisplay(display);
    return choice;
}

// The rows of `menu` that light up under the pointer, top to bottom, found
// by moving down its left side.
std::vector<Box> LitRows(XUser& user, Window menu) {
    const XWindowAttributes at = user.Attributes(menu);
    // Off the menu first: nothing lit.
    user.MoveTo(at.x > 40 ? at.x - 30 : at.x + at.width + 30, at.y);
    RgbImage plain;
    WaitUntil([&] {
        plain = user.CaptureWindow(menu);
        std::this_thread::sleep_for(50ms);
        return SameRgb(user.CaptureWindow(menu), plain);
    });
    std::vector<Box> rows;
    for (int y = 2; y < at.height - 1; y += 2) {
        if (!rows.empty() && y <= rows.back().bottom) continue;
        user.MoveTo(at.x + 8, at.y + y);
        Box lit;
        const bool found = WaitUntil(
            [&] {
                lit = DifferenceBox(user.CaptureWindow(menu), plain);
                return !lit.Empty() && lit.top <= y && y <= lit.bottom;
            },
            300ms);
        if (found) rows.push_back(lit);
    }
    return rows;
}

TEST(X11PopupMenuWindow, NearTheCornerItFitsTheScreenAndItsSubmenuOpensToTheOtherSide) {
    REQUIRE_X_SERVER();
    TestMenu test;
    XWindowAttributes top{};
    XWindowAttributes side{};
    std::size_t litRows = 0;
    std::size_t litSubRows = 0;
    const IPopupChoice choice = TrackWhile(test.menu, 1270, 1010, [&](XUser& user) {
        ASSERT_TRUE(WaitUntil([&] { return MenuWindows(user).size() == 1; }));
        const Window menu = MenuWindows(user).front();
        top = user.Attributes(menu);
        // The separator and the disabled item never light.
        const std::vector<Box> rows = LitRows(user, menu);
        litRows = rows.size();
        ASSERT_EQ(rows.size(), 3u);
        // The lit rows are Alpha, More and Omega: resting on More opens its sub-menu.
        user.MoveTo(top.x + 8, top.y + rows[1].CentreY());
        ASSERT_TRUE(WaitUntil([&] { return MenuWindows(user).size() == 2; })) << "no sub-menu";
        Window submenu = 0;
        for (const Window window : MenuWindows(user)) {
            if (window != menu) submenu = window;
        }
        side = user.Attributes(submenu);
        // Into the sub-menu along the row, then down its items.
        user.MoveTo(side.x + side.width - 8, top.y + rows[1].CentreY());
        const std::vector<Box> subRows = LitRows(user, submenu);
        litSubRows = subRows.size();
        ASSERT_EQ(subRows.size(), 2u);
        user.Click(side.x + subRows[1].CentreX(), side.y + subRows[1].CentreY());
    });
    EXPECT_EQ(litRows, 3u);
    EXPECT_EQ(litSubRows, 2u);
    // Moved in from (1270, 1010) to touch the right and bottom edges.
    EXPECT_EQ(top.x + top.width, 1280);
    EXPECT_EQ(top.y + top.height, 1024);
    // No room on the right: the sub-menu lies to the left.
    EXPECT_LE(side.x + side.width, top.x + 1);
    EXPECT_EQ(choice.menu, test.more);
    EXPECT_EQ(choice.item, 1);
}

TEST(X11PopupMenuWindow, EscapeClosesItWithoutAPick) {
    REQUIRE_X_SERVER();
    TestMenu test;
    const IPopupChoice choice = TrackWhile(test.menu, 100, 100, [&](XUser& user) {
        ASSERT_TRUE(WaitUntil([&] { return !MenuWindows(user).empty(); }));
        user.MoveTo(110, 110);
        user.Key(XK_Escape);
        EXPECT_TRUE(WaitUntil([&] { return MenuWindows(user).empty(); }));
    });
    EXPECT_EQ(choice.menu, nullptr);
    EXPECT_EQ(choice.item, -1);
}

TEST(X11PopupMenuWindow, ClicksOnTheDisabledItemChangeNothingAndAClickOutsideClosesIt) {
    REQUIRE_X_SERVER();
    TestMenu test;
    bool stayedOpen = false;
    const IPopupChoice choice = TrackWhile(test.menu, 100, 100, [&](XUser& user) {
        ASSERT_TRUE(WaitUntil([&] { return MenuWindows(user).size() == 1; }));
        const Window menu = MenuWindows(user).front();
        const XWindowAttributes at = user.Attributes(menu);
        const std::vector<Box> rows = LitRows(user, menu);
        ASSERT_EQ(rows.size(), 3u);
        // Between "Alpha" and "More" lie the separator and "Beta".
        for (int y = rows[0].bottom + 2; y < rows[1].top - 1; y += 3) user.Click(at.x + 20, at.y + y);
        std::this_thread::sleep_for(200ms);
        stayedOpen = MenuWindows(user).size() == 1;
        user.Click(1200, 1000);
        EXPECT_TRUE(WaitUntil([&] { return MenuWindows(user).empty(); }));
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(choice.menu, nullptr);
}

}  // namespace
