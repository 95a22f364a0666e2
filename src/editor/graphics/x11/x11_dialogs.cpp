#include "editor/graphics/x11/x11_dialogs.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace x11_dialogs {

namespace {

constexpr int kPumpMilliseconds = 50;

bool IsExecutableFile(const std::string& path) {
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// "*.kv;*.bgp" as space-separated patterns.
std::string Patterns(std::string_view filter) {
    std::string patterns(filter);
    for (char& c : patterns) {
        if (c == ';') c = ' ';
    }
    return patterns;
}

// Spawns `path` with `arguments`; standard output goes to `outputFd` (or
// /dev/null when -1). Returns the child's id, or -1.
pid_t Spawn(const std::string& path, const std::vector<std::string>& arguments, int outputFd) {
    std::vector<std::string> strings;
    strings.push_back(path);
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The host's blocked or ignored signals are not the child's business.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);
    sigdelset(&signals, SIGKILL);
    sigdelset(&signals, SIGSTOP);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    const int failed = posix_spawn(&child, path.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? child : -1;
}

// Waits for `child`; its exit status, -1 for a signal or when a host that
// ignores SIGCHLD had it reaped already.
int Reap(pid_t child, bool block) {
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, block ? 0 : WNOHANG);
        if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done == 0) return -2;  // still running
        if (errno != EINTR) return -1;
    }
}

}  // namespace

std::string FindOnPath(std::string_view program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string_view::npos) {
        std::string path(program);
        return IsExecutableFile(path) ? path : std::string();
    }
    const char* searchPath = std::getenv("PATH");
    const std::string folders = searchPath != nullptr ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = end > start ? folders.substr(start, end - start) : std::string(".");
        const std::string candidate = WithSlash(folder) + std::string(program);
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

ToolChoice ChooseTool() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const bool kde = desktop != nullptr && std::strstr(desktop, "KDE") != nullptr;
    const DialogTool order[2] = {kde ? DialogTool::KDialog : DialogTool::Zenity,
                                 kde ? DialogTool::Zenity : DialogTool::KDialog};
    for (const DialogTool tool : order) {
        std::string path = FindOnPath(tool == DialogTool::Zenity ? "zenity" : "kdialog");
        if (!path.empty()) return {tool, std::move(path)};
    }
    return {};
}

std::string StartPath(std::string_view initialName, std::string_view directory) {
    if (initialName.find('/') != std::string_view::npos) return std::string(initialName);
    if (directory.empty()) return std::string(initialName);
    return WithSlash(std::string(directory)) + std::string(initialName);
}

std::vector<std::string> FileDialogArguments(DialogTool tool, FileAction action, std::string_view initialName,
                                             std::string_view directory, std::string_view filter) {
    const std::string start = StartPath(initialName, directory);
    const bool save = action == FileAction::Save;
    std::vector<std::string> arguments;
    if (tool == DialogTool::Zenity) {
        arguments = {"--file-selection", save ? "--title=Save file" : "--title=Open file"};
        if (save) {
            arguments.emplace_back("--save");
            arguments.emplace_back("--confirm-overwrite");
        }
        if (!start.empty()) arguments.push_back("--filename=" + start);
        if (!filter.empty()) arguments.push_back("--file-filter=" + std::string(filter) + " | " + Patterns(filter));
    } else if (tool == DialogTool::KDialog) {
        arguments = {"--title", save ? "Save file" : "Open file", save ? "--getsavefilename" : "--getopenfilename",
                     start.empty() ? std::string(".") : start};
        if (!filter.empty()) arguments.push_back(Patterns(filter) + "|" + std::string(filter));
    }
    return arguments;
}

std::vector<std::string> MessageBoxArguments(DialogTool tool, std::string_view text, std::string_view caption,
                                             MessageBoxType type) {
    const bool question = type == MessageBoxType::YesNo;
    if (tool == DialogTool::Zenity) {
        return {question ? "--question" : "--info", "--no-markup", "--title=" + std::string(caption),
                "--text=" + std::string(text)};
    }
    if (tool == DialogTool::KDialog) {
        return {"--title", std::string(caption), question ? "--yesno" : "--msgbox", std::string(text)};
    }
    return {};
}

ProgramResult RunProgram(const std::string& path, const std::vector<std::string>& arguments, int watchFd,
                         const std::function<void()>& pump) {
    ProgramResult result;
    int pipeFds[2] = {-1, -1};
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return result;
    const pid_t child = Spawn(path, arguments, pipeFds[1]);
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        return result;
    }
    fcntl(pipeFds[0], F_SETFL, fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
    bool outputOpen = true;
    int status = -2;
    while (outputOpen || status == -2) {
        pollfd waits[2] = {{outputOpen ? pipeFds[0] : -1, POLLIN, 0}, {watchFd, POLLIN, 0}};
        poll(waits, 2, kPumpMilliseconds);
        if (outputOpen) {
            char buffer[4096];
            for (;;) {
                const ssize_t count = read(pipeFds[0], buffer, sizeof buffer);
                if (count > 0) {
                    result.output.append(buffer, static_cast<std::size_t>(count));
                    continue;
                }
                if (count == 0 || (errno != EAGAIN && errno != EINTR)) outputOpen = false;
                break;
            }
        }
        if (!outputOpen) status = Reap(child, false);
        if (pump) pump();
    }
    close(pipeFds[0]);
    while (!result.output.empty() && (result.output.back() == '\n' || result.output.back() == '\r')) {
        result.output.pop_back();
    }
    result.ran = true;
    result.exitStatus = status;
    return result;
}

bool LaunchDetached(const std::string& path, const std::vector<std::string>& arguments) {
    if (path.empty()) return false;
    // A shell starts the program in the background and ends at once: the
    // program is init's child then, and the shell is reaped right here.
    std::vector<std::string> shellArguments = {"-c", "\"$0\" \"$@\" &", path};
    shellArguments.insert(shellArguments.end(), arguments.begin(), arguments.end());
    const pid_t shell = Spawn("/bin/sh", shellArguments, -1);
    if (shell < 0) return false;
    const int status = Reap(shell, true);
    return status == 0 || status == -1;
}

std::string DesktopFolder() {
    if (const std::string tool = FindOnPath("xdg-user-dir"); !tool.empty()) {
        const ProgramResult named = RunProgram(tool, {"DESKTOP"}, -1, {});
        if (named.exitStatus == 0 && IsFolder(named.output)) return WithSlash(named.output);
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return "/";
    const std::string desktop = WithSlash(home) + "Desktop";
    return IsFolder(desktop) ? WithSlash(desktop) : WithSlash(home);
}

}  // namespace x11_dialogs
