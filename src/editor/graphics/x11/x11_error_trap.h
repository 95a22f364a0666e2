// Keeps X protocol errors on the editor's own display connection from
// reaching Xlib's default handler, which ends the process (the host's).
// While any trap lives, errors of trapped displays are counted; errors of
// other connections (the host's) go on to the handler that was installed
// before. Every call into Xlib on the editor's connection happens inside a
// trap, so errors that arrive late are caught by the next one.
#pragma once

#include "editor/graphics/x11/x11_xlib.h"

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has handled every request sent so far; true
    // when none of them, since the trap was set or last synced, failed.
    bool Sync();

private:
    Display* display_;
    unsigned long errorsSeen_;
};
