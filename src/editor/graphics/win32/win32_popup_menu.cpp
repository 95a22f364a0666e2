#include "editor/graphics/win32/win32_popup_menu.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "editor/graphics/win32/win32_text.h"

namespace {

// Menus take "&" as the mark of a shortcut letter; "&&" shows one.
std::wstring MenuText(const std::string& label) {
    std::wstring text;
    for (const wchar_t c : Utf8ToUtf16(label)) {
        if (c == L'&') text += L'&';
        text += c;
    }
    return text;
}

}  // namespace

Win32PopupMenu::Win32PopupMenu(IPopupMenu& menu) { handle_ = Build(menu); }

Win32PopupMenu::~Win32PopupMenu() {
    // Destroys the sub-menus with it.
    if (handle_ != nullptr) DestroyMenu(handle_);
}

HMENU Win32PopupMenu::Build(IPopupMenu& menu) {
    HMENU handle = CreatePopupMenu();
    if (handle == nullptr) return nullptr;
    for (int index = 0; index < menu.ItemCount(); ++index) {
        IPopupMenu::Item& item = menu.GetItem(index);
        if (item.separator) {
            AppendMenuW(handle, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (!item.enabled) flags |= MF_GRAYED;
        if (item.checked) flags |= MF_CHECKED;
        const std::wstring text = MenuText(menu.ItemLabel(index));
        if (item.submenu != nullptr) {
            HMENU submenu = Build(*item.submenu);
            if (submenu == nullptr) continue;
            if (!AppendMenuW(handle, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text.c_str())) {
                DestroyMenu(submenu);
            }
            continue;
        }
        commands_.push_back({&menu, index});
        AppendMenuW(handle, flags, static_cast<UINT_PTR>(commands_.size()), text.c_str());
    }
    return handle;
}

IPopupChoice Win32PopupMenu::ChoiceOf(unsigned commandId) const {
    if (commandId == 0 || commandId > commands_.size()) return {};
    return commands_[commandId - 1];
}
