// A popup menu as the window system shows it: items with flags, separators
// and sub-menus, their texts optionally numbered.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class IPopupMenu {
public:
    // How item texts are numbered (1-based): none, "%1d: ", "%02d: ", "%03d: ".
    enum class Prefix { None = 0, OneDigit = 1, TwoDigits = 2, ThreeDigits = 3 };

    struct Item {
        std::string text;
        bool enabled = true;
        bool checked = false;
        bool separator = false;
        std::unique_ptr<IPopupMenu> submenu;
    };

    void AddItem(std::string_view text, bool enabled = true, bool checked = false);
    void AddSeparator();
    // Adds an item opening `submenu`; returns it.
    IPopupMenu* AddSubmenu(std::string_view text, std::unique_ptr<IPopupMenu> submenu);

    int ItemCount() const { return static_cast<int>(items_.size()); }
    const Item& GetItem(int index) const { return items_[static_cast<std::size_t>(index)]; }
    Item& GetItem(int index) { return items_[static_cast<std::size_t>(index)]; }
    void SetChecked(int index, bool checked);

    void SetPrefix(Prefix prefix) { prefix_ = prefix; }
    Prefix GetPrefix() const { return prefix_; }
    // The text shown for item `index`, with its number when the menu numbers them.
    std::string ItemLabel(int index) const;

    // The item chosen in this menu, -1 for none.
    int ChosenItem() const { return chosen_; }
    void SetChosenItem(int index) { chosen_ = index; }

private:
    std::vector<Item> items_;
    Prefix prefix_ = Prefix::None;
    int chosen_ = -1;
};

// What the user picked: the menu (the top one or a sub-menu) and its item.
struct IPopupChoice {
    IPopupMenu* menu = nullptr;
    int item = -1;
};
