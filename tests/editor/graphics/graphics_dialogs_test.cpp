// Popup menus, file dialogs and web links as the graphics object prepares
// them for the window system and reads the answers back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/graphics/graphics_headless.h"
#include "editor/support/editor_test_plugin.h"

namespace {

class Dialogs : public ::testing::Test {
protected:
    Dialogs() : graphics(&plugin, 200, 100) { graphics.OpenWindow(nullptr); }

    EditorTestPlugin plugin;
    IGraphicsHeadless graphics;
};

IPopupMenu Programs(int count) {
    IPopupMenu menu;
    for (int i = 0; i < count; ++i) menu.AddItem("Program " + std::to_string(i + 1), true, i == 19);
    return menu;
}

}  // namespace

TEST(PopupMenu, TwoDigitNumberingOf128Items) {
    IPopupMenu menu = Programs(128);
    menu.SetPrefix(IPopupMenu::Prefix::TwoDigits);
    EXPECT_EQ(menu.ItemLabel(0), "01: Program 1");
    EXPECT_EQ(menu.ItemLabel(8), "09: Program 9");
    EXPECT_EQ(menu.ItemLabel(98), "99: Program 99");
    EXPECT_EQ(menu.ItemLabel(99), "100: Program 100");
    EXPECT_EQ(menu.ItemLabel(127), "128: Program 128");
    EXPECT_EQ(menu.ItemLabel(128), "") << "past the end";
}

TEST(PopupMenu, OtherPrefixModes) {
    IPopupMenu menu = Programs(12);
    EXPECT_EQ(menu.ItemLabel(11), "Program 12");
    menu.SetPrefix(IPopupMenu::Prefix::OneDigit);
    EXPECT_EQ(menu.ItemLabel(2), "3: Program 3");
    EXPECT_EQ(menu.ItemLabel(11), "12: Program 12");
    menu.SetPrefix(IPopupMenu::Prefix::ThreeDigits);
    EXPECT_EQ(menu.ItemLabel(2), "003: Program 3");
}

TEST_F(Dialogs, AMenuIsShownAtTheRectanglesLeftBottomWithItsFlags) {
    IPopupMenu menu = Programs(128);
    menu.SetPrefix(IPopupMenu::Prefix::TwoDigits);
    menu.GetItem(3).enabled = false;
    graphics.AnswerNextPopup(41);
    const IPopupChoice choice = graphics.ShowPopupMenu(menu, {30, 5, 130, 25});
    ASSERT_EQ(graphics.MenusShown().size(), 1u);
    const auto& shown = graphics.MenusShown()[0];
    EXPECT_EQ(shown.x, 30);
    EXPECT_EQ(shown.y, 25);
    ASSERT_EQ(shown.labels.size(), 128u);
    EXPECT_EQ(shown.labels[19], "20: Program 20");
    EXPECT_TRUE(shown.checked[19]);
    EXPECT_FALSE(shown.checked[18]);
    EXPECT_FALSE(shown.enabled[3]);
    EXPECT_EQ(choice.menu, &menu);
    EXPECT_EQ(choice.item, 41);
    EXPECT_EQ(menu.ChosenItem(), 41);
}

TEST_F(Dialogs, APickInASubmenuNamesTheSubmenu) {
    IPopupMenu menu;
    menu.AddItem("Load");
    menu.AddSeparator();
    auto bank = std::make_unique<IPopupMenu>();
    bank->AddItem("Kicks");
    bank->AddItem("Basses");
    IPopupMenu* submenu = menu.AddSubmenu("Bank", std::move(bank));
    graphics.AnswerNextPopup(2, 1);
    const IPopupChoice choice = graphics.ShowPopupMenu(menu, {0, 0, 10, 10});
    EXPECT_EQ(choice.menu, submenu);
    EXPECT_EQ(choice.item, 1);
    EXPECT_TRUE(menu.GetItem(1).separator);
}

TEST_F(Dialogs, AClosedMenuOrAClosedWindowPicksNothing) {
    IPopupMenu menu = Programs(4);
    graphics.AnswerNextPopup(-1);
    EXPECT_EQ(graphics.ShowPopupMenu(menu, {}).menu, nullptr);
    graphics.CloseWindow();
    graphics.AnswerNextPopup(1);
    EXPECT_EQ(graphics.ShowPopupMenu(menu, {}).menu, nullptr);
    EXPECT_EQ(graphics.MenusShown().size(), 1u) << "no menu without a window";
}

TEST(FileFilter, ExtensionListsBecomePatterns) {
    EXPECT_EQ(IGraphics::FileFilter("kv bgp fxp"), "*.kv;*.bgp;*.fxp");
    EXPECT_EQ(IGraphics::FileFilter("fxp"), "*.fxp");
    EXPECT_EQ(IGraphics::FileFilter("  kv   fxp "), "*.kv;*.fxp");
    EXPECT_EQ(IGraphics::FileFilter(""), "");
}

TEST_F(Dialogs, AskForFileStartsOnTheDesktopAndKeepsTheChosenFolder) {
    graphics.SetDesktopFolder("/home/producer/Desktop/");
    graphics.AnswerNextFileDialog("/home/producer/kicks/gabber.fxp");
    std::string file;
    std::string directory;
    graphics.AskForFile(file, FileAction::Save, directory, "kv bgp fxp");
    ASSERT_EQ(graphics.FileDialogsShown().size(), 1u);
    const auto& shown = graphics.FileDialogsShown()[0];
    EXPECT_EQ(shown.action, FileAction::Save);
    EXPECT_EQ(shown.directory, "/home/producer/Desktop/");
    EXPECT_EQ(shown.filter, "*.kv;*.bgp;*.fxp");
    EXPECT_EQ(file, "/home/producer/kicks/gabber.fxp");
    EXPECT_EQ(directory, "/home/producer/kicks/");

    graphics.AnswerNextFileDialog("C:\\Presets\\dub.kv");
    graphics.AskForFile(file, FileAction::Open, directory, "kv");
    EXPECT_EQ(graphics.FileDialogsShown()[1].directory, "/home/producer/kicks/") << "the last folder again";
    EXPECT_EQ(graphics.FileDialogsShown()[1].initialName, "/home/producer/kicks/gabber.fxp");
    EXPECT_EQ(file, "C:\\Presets\\dub.kv");
    EXPECT_EQ(directory, "C:\\Presets\\");
}

TEST_F(Dialogs, ACancelledDialogChangesNothing) {
    std::string file = "old.fxp";
    std::string directory = "/presets/";
    graphics.AnswerNextFileDialog("");
    graphics.AskForFile(file, FileAction::Open, directory, "fxp");
    EXPECT_EQ(file, "old.fxp");
    EXPECT_EQ(directory, "/presets/");
}

TEST_F(Dialogs, AskForFileWithTheWindowClosedClearsTheNameAndAsksNothing) {
    graphics.CloseWindow();
    std::string file = "old.fxp";
    std::string directory = "/presets/";
    graphics.AnswerNextFileDialog("/elsewhere/new.fxp");
    graphics.AskForFile(file, FileAction::Open, directory, "fxp");
    EXPECT_EQ(file, "");
    EXPECT_EQ(directory, "/presets/");
    EXPECT_TRUE(graphics.FileDialogsShown().empty());
}

TEST_F(Dialogs, OpenURLAsksFirstWhenItHasAConfirmationText) {
    graphics.AnswerNextMessageBox(MessageBoxAnswer::No);
    EXPECT_FALSE(graphics.OpenURL("https://korvane.example/", "Korvane", "Open the web site?", "No connection"));
    EXPECT_TRUE(graphics.UrlsOpened().empty());
    ASSERT_EQ(graphics.MessageBoxesShown().size(), 1u);
    EXPECT_EQ(graphics.MessageBoxesShown()[0].type, MessageBoxType::YesNo);
    EXPECT_EQ(graphics.MessageBoxesShown()[0].text, "Open the web site?");

    graphics.AnswerNextMessageBox(MessageBoxAnswer::Yes);
    EXPECT_TRUE(graphics.OpenURL("https://korvane.example/", "Korvane", "Open the web site?", "No connection"));
    EXPECT_EQ(graphics.UrlsOpened(), (std::vector<std::string>{"https://korvane.example/"}));
    EXPECT_EQ(graphics.MessageBoxesShown().size(), 2u) << "no error box on success";
}

TEST_F(Dialogs, OpenURLWithoutAConnectionShowsTheErrorText) {
    graphics.SetConnected(false);
    EXPECT_FALSE(graphics.OpenURL("https://korvane.example/", "Korvane", "", "No connection"));
    ASSERT_EQ(graphics.MessageBoxesShown().size(), 1u);
    EXPECT_EQ(graphics.MessageBoxesShown()[0].type, MessageBoxType::Ok);
    EXPECT_EQ(graphics.MessageBoxesShown()[0].text, "No connection");
    EXPECT_TRUE(graphics.UrlsOpened().empty());
}

TEST_F(Dialogs, OpenURLFailsQuietlyWithoutAnErrorText) {
    graphics.SetShellOpenSucceeds(false);
    EXPECT_FALSE(graphics.OpenURL("https://korvane.example/"));
    EXPECT_TRUE(graphics.MessageBoxesShown().empty());
    graphics.SetShellOpenSucceeds(true);
    EXPECT_TRUE(graphics.OpenURL("https://korvane.example/"));
}
