#include "editor/graphics/popup_menu.h"

#include <cstdio>

void IPopupMenu::AddItem(std::string_view text, bool enabled, bool checked) {
    Item item;
    item.text = text;
    item.enabled = enabled;
    item.checked = checked;
    items_.push_back(std::move(item));
}

void IPopupMenu::AddSeparator() {
    Item item;
    item.separator = true;
    items_.push_back(std::move(item));
}

IPopupMenu* IPopupMenu::AddSubmenu(std::string_view text, std::unique_ptr<IPopupMenu> submenu) {
    Item item;
    item.text = text;
    item.submenu = std::move(submenu);
    items_.push_back(std::move(item));
    return items_.back().submenu.get();
}

void IPopupMenu::SetChecked(int index, bool checked) {
    if (index >= 0 && index < ItemCount()) GetItem(index).checked = checked;
}

std::string IPopupMenu::ItemLabel(int index) const {
    if (index < 0 || index >= ItemCount()) return {};
    const Item& item = GetItem(index);
    char number[16] = {};
    const int n = index + 1;
    switch (prefix_) {
    case Prefix::OneDigit: std::snprintf(number, sizeof number, "%1d: ", n); break;
    case Prefix::TwoDigits: std::snprintf(number, sizeof number, "%02d: ", n); break;
    case Prefix::ThreeDigits: std::snprintf(number, sizeof number, "%03d: ", n); break;
    case Prefix::None: return item.text;
    }
    return number + item.text;
}
