// A Win32 popup menu made from an editor menu: items, separators, ticks,
// greyed items and sub-menus, each item with a command id that leads back
// to its menu and position.
#pragma once

#include <vector>

#include "editor/graphics/popup_menu.h"

struct HMENU__;

class Win32PopupMenu {
public:
    // Builds the menu tree of `menu`, which must outlive this object.
    explicit Win32PopupMenu(IPopupMenu& menu);
    ~Win32PopupMenu();

    Win32PopupMenu(const Win32PopupMenu&) = delete;
    Win32PopupMenu& operator=(const Win32PopupMenu&) = delete;

    // The top menu; null when Windows could not make it.
    HMENU__* Handle() const { return handle_; }
    // The menu and item a command id names; no choice for 0 (nothing
    // picked) or an id the menu never gave out.
    IPopupChoice ChoiceOf(unsigned commandId) const;

private:
    HMENU__* Build(IPopupMenu& menu);

    HMENU__* handle_ = nullptr;
    // Command id n is entry n - 1.
    std::vector<IPopupChoice> commands_;
};
