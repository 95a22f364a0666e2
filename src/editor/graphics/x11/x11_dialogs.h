// Dialogs on Linux without a GUI toolkit in the module: file choosers and
// message boxes are zenity or kdialog run as separate programs (their
// answer read from their standard output and exit status), web links go to
// xdg-open. Only the pieces that build command lines and run programs live
// here; the window decides what to do while it waits.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/graphics/graphics.h"

namespace x11_dialogs {

enum class DialogTool { Absent, Zenity, KDialog };

struct ToolChoice {
    DialogTool tool = DialogTool::Absent;
    std::string path;
};

// The path of an executable file named `program` in a folder of PATH
// (or `program` itself when it holds a slash); empty when there is none.
std::string FindOnPath(std::string_view program);

// The dialog program to run: kdialog first on KDE desktops, zenity first
// elsewhere; none when neither is installed.
ToolChoice ChooseTool();

// The path a file dialog starts at: `initialName` when it is a path
// already, else `directory` joined with it.
std::string StartPath(std::string_view initialName, std::string_view directory);

// Arguments (after the program) asking for a file to open or save; `filter`
// is "*.kv;*.bgp", empty for every file.
std::vector<std::string> FileDialogArguments(DialogTool tool, FileAction action, std::string_view initialName,
                                             std::string_view directory, std::string_view filter);

// Arguments (after the program) showing a message with OK, or asking Yes or No.
std::vector<std::string> MessageBoxArguments(DialogTool tool, std::string_view text, std::string_view caption,
                                             MessageBoxType type);

struct ProgramResult {
    bool ran = false;      // it started and ended
    int exitStatus = -1;   // its exit status, -1 when unknown or killed by a signal
    std::string output;    // its standard output, the last line break removed
};

// Runs `path` with `arguments`, standard input and error on /dev/null,
// standard output captured. While it runs, `pump` is called whenever
// `watchFd` (when >= 0) becomes readable and every 50 ms, so the caller's
// window stays drawn.
ProgramResult RunProgram(const std::string& path, const std::vector<std::string>& arguments, int watchFd,
                         const std::function<void()>& pump);

// Starts `path` with `arguments` without waiting for it to end (it is
// handed to init, so nothing is left to reap); false when it cannot start.
bool LaunchDetached(const std::string& path, const std::vector<std::string>& arguments);

// The user's desktop folder with a final slash: what `xdg-user-dir DESKTOP`
// names, else $HOME/Desktop when it exists, else $HOME.
std::string DesktopFolder();

}  // namespace x11_dialogs
