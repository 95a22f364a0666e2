// The parts of the X11 window that need no X server: the entry's edit
// line, key symbols as characters, and the command lines of the dialog
// programs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "editor/graphics/x11/x11_dialogs.h"
#include "editor/graphics/x11/x11_text_entry.h"
#include "editor/graphics/x11/x11_keys.h"

namespace {

using x11_dialogs::DialogTool;

TextEditLine Line(std::string_view text, int maxLength = 20, std::function<bool(char32_t)> accepts = nullptr) {
    return TextEditLine(text, maxLength, std::move(accepts));
}

TEST(TextEditLine, OpensWithItsTextSelectedSoTypingReplacesIt) {
    TextEditLine line = Line("Mainstream");
    EXPECT_TRUE(line.AllSelected());
    EXPECT_EQ(line.Caret(), 10u);
    line.Type(U'M');
    line.Type(U'y');
    EXPECT_EQ(line.Text(), "My");
    EXPECT_FALSE(line.AllSelected());
    EXPECT_EQ(line.Caret(), 2u);
}

TEST(TextEditLine, KeepsToTheLongestLengthInCharactersNotBytes) {
    // "é" is two bytes; four characters fit.
    TextEditLine line = Line("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 4);
    EXPECT_EQ(line.Text(), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    line.End();
    line.Type(U'x');
    EXPECT_EQ(line.Text(), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9") << "a fifth character does not fit";
    line.Backspace();
    line.Type(U'\u00FC');
    EXPECT_EQ(line.Text(), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xBC");
    EXPECT_EQ(line.Caret(), 8u);
}

TEST(TextEditLine, BackspaceAndDeleteRemoveWholeCharactersAroundTheCaret) {
    TextEditLine line = Line("a\xE2\x82\xAC" "b");  // a, euro sign (3 bytes), b
    line.End();
    line.Left();
    EXPECT_EQ(line.Caret(), 4u);
    line.Backspace();
    EXPECT_EQ(line.Text(), "ab");
    EXPECT_EQ(line.Caret(), 1u);
    line.Home();
    line.Delete();
    EXPECT_EQ(line.Text(), "b");
    line.Backspace();
    EXPECT_EQ(line.Text(), "b") << "nothing before the caret";
}

TEST(TextEditLine, ArrowsEndTheSelectionAtEitherEnd) {
    TextEditLine left = Line("abc");
    left.Left();
    EXPECT_FALSE(left.AllSelected());
    EXPECT_EQ(left.Caret(), 0u);
    TextEditLine right = Line("abc");
    right.Right();
    EXPECT_EQ(right.Caret(), 3u);
    right.SelectAll();
    right.Backspace();
    EXPECT_EQ(right.Text(), "");
}

TEST(TextEditLine, TypedCharactersPassOnlyWhenTheFilterTakesThem) {
    TextEditLine line = Line("1.5", 7, [](char32_t c) { return (c >= U'0' && c <= U'9') || c == U'.'; });
    line.Type(U'a');
    EXPECT_EQ(line.Text(), "1.5") << "a refused character leaves the selection alone";
    line.Type(U'2');
    line.Type(U'.');
    line.Type(U'-');
    EXPECT_EQ(line.Text(), "2.");
    line.Type(U'\n');
    line.Type(U'\x7F');
    EXPECT_EQ(line.Text(), "2.") << "control characters are never text";
}

TEST(TextEditLine, ACaretPlacedInsideACharacterMovesToItsStart) {
    TextEditLine line = Line("a\xE2\x82\xAC" "b");
    line.PlaceCaret(2);
    EXPECT_EQ(line.Caret(), 1u);
    line.PlaceCaret(99);
    EXPECT_EQ(line.Caret(), 5u);
}

TEST(X11Keys, KeySymbolsTypeTheirCharacters) {
    EXPECT_EQ(KeysymCharacter(XK_a), U'a');
    EXPECT_EQ(KeysymCharacter(XK_space), U' ');
    EXPECT_EQ(KeysymCharacter(XK_udiaeresis), U'\u00FC');
    EXPECT_EQ(KeysymCharacter(0x010020AC), U'\u20AC');  // a Unicode key symbol: the euro sign
    EXPECT_EQ(KeysymCharacter(XK_KP_7), U'7');
    EXPECT_EQ(KeysymCharacter(XK_KP_Decimal), U'.');
    EXPECT_EQ(KeysymCharacter(XK_Return), 0u);
    EXPECT_EQ(KeysymCharacter(XK_F5), 0u);
}

TEST(X11Keys, ArrowsAndCharactersBecomeTheEditorsKeys) {
    EXPECT_EQ(KeyPressOf(XK_Up).kind, IKeyPress::Kind::Up);
    EXPECT_EQ(KeyPressOf(XK_KP_Down).kind, IKeyPress::Kind::Down);
    EXPECT_EQ(KeyPressOf(XK_Left).kind, IKeyPress::Kind::Left);
    EXPECT_EQ(KeyPressOf(XK_Right).kind, IKeyPress::Kind::Right);
    const IKeyPress q = KeyPressOf(XK_q);
    EXPECT_EQ(q.kind, IKeyPress::Kind::Character);
    EXPECT_EQ(q.character, U'q');
    EXPECT_EQ(KeyPressOf(XK_F5).kind, IKeyPress::Kind::Other);
}

TEST(X11Dialogs, ZenityIsAskedForAFileWithTheFilterAsNameAndPatterns) {
    const auto open = x11_dialogs::FileDialogArguments(DialogTool::Zenity, FileAction::Open, "kick.kv", "/home/u/Desktop",
                                                       "*.kv;*.bgp;*.fxp");
    const std::vector<std::string> expectedOpen = {"--file-selection", "--title=Open file",
                                                   "--filename=/home/u/Desktop/kick.kv",
                                                   "--file-filter=*.kv;*.bgp;*.fxp | *.kv *.bgp *.fxp"};
    EXPECT_EQ(open, expectedOpen);
    const auto save = x11_dialogs::FileDialogArguments(DialogTool::Zenity, FileAction::Save, "/tmp/a.fxp", "/ignored/",
                                                       "");
    const std::vector<std::string> expectedSave = {"--file-selection", "--title=Save file", "--save",
                                                   "--confirm-overwrite", "--filename=/tmp/a.fxp"};
    EXPECT_EQ(save, expectedSave);
}

TEST(X11Dialogs, KDialogIsAskedWithTheStartPathAndAFilterItUnderstands) {
    const auto save = x11_dialogs::FileDialogArguments(DialogTool::KDialog, FileAction::Save, "", "/home/u", "*.kv;*.fxp");
    const std::vector<std::string> expected = {"--title", "Save file", "--getsavefilename", "/home/u/", "*.kv *.fxp|*.kv;*.fxp"};
    EXPECT_EQ(save, expected);
}

TEST(X11Dialogs, MessageBoxesAskYesOrNoOrJustInform) {
    const std::vector<std::string> zenity = {"--question", "--no-markup", "--title=Dunerow", "--text=Open <site>?"};
    EXPECT_EQ(x11_dialogs::MessageBoxArguments(DialogTool::Zenity, "Open <site>?", "Dunerow", MessageBoxType::YesNo), zenity);
    const std::vector<std::string> kdialog = {"--title", "Dunerow", "--msgbox", "No connection"};
    EXPECT_EQ(x11_dialogs::MessageBoxArguments(DialogTool::KDialog, "No connection", "Dunerow", MessageBoxType::Ok), kdialog);
}

TEST(X11Dialogs, ProgramsAreRunWithTheirOutputCapturedAndFoundOnThePath) {
    const auto folder = std::filesystem::temp_directory_path() / ("dunerow_x11_parts_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    {
        std::ofstream script(folder / "answer");
        script << "#!/bin/sh\necho \"$1 and $2\"\nexit 3\n";
    }
    std::filesystem::permissions(folder / "answer", std::filesystem::perms::owner_all);
    const char* saved = std::getenv("PATH");
    const std::string savedPath = saved != nullptr ? saved : "";
    setenv("PATH", (folder.string() + ":/usr/bin:/bin").c_str(), 1);
    const std::string found = x11_dialogs::FindOnPath("answer");
    const std::string missing = x11_dialogs::FindOnPath("no-such-program-here");
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(found, (folder / "answer").string());
    EXPECT_EQ(missing, "");
    int pumped = 0;
    const auto result = x11_dialogs::RunProgram(found, {"one", "two words"}, -1, [&] { ++pumped; });
    EXPECT_TRUE(result.ran);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.output, "one and two words") << "the last line break is dropped";
    EXPECT_GE(pumped, 1);
    std::filesystem::remove_all(folder);
}

}  // namespace
