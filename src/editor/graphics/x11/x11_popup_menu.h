// Popup menus: override-redirect windows at screen coordinates, drawn in
// the editor's own text style, with check marks, greyed disabled items,
// separators and sub-menus opening to the side. A menu too tall for the
// screen is split into columns. While the menu is open it grabs the
// pointer and keyboard and runs its own event loop; a click outside or
// Escape closes it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "editor/graphics/x11/x11_surface_copy.h"

// What the editor window does while a menu or dialog holds the editor's
// event loop: it is handed the events meant for it (its exposures) and
// says when it has gone.
class X11ModalOwner {
public:
    virtual ~X11ModalOwner() = default;
    virtual void OnModalEvent(XEvent& event) = 0;
    virtual bool EditorGone() const = 0;
};

class X11PopupMenu {
public:
    // Sizes of the drawn menu, in pixels.
    static constexpr int kFontSize = 13;
    static constexpr int kBorder = 1;
    static constexpr int kItemPadding = 6;     // added to the font's line height
    static constexpr int kSeparatorHeight = 7;
    static constexpr int kCheckColumn = 20;    // left of the text, holding check marks
    static constexpr int kTextPadding = 12;    // right of the text
    static constexpr int kArrowColumn = 14;    // for sub-menu arrows, when there are sub-menus

    // A menu on `screen` of `display`.
    X11PopupMenu(Display* display, int screen, X11ModalOwner& owner);
    ~X11PopupMenu();
    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    // Shows `menu` with its top left corner at (rootX, rootY), moved to fit
    // the screen, and waits for the user: the item picked (in the menu or a
    // sub-menu), or no choice.
    IPopupChoice Track(IPopupMenu& menu, int rootX, int rootY);

private:
    struct Level {
        IPopupMenu* menu = nullptr;
        Window window = 0;
        GC gc = nullptr;
        RasterRect screen;               // where it lies, in root coordinates
        std::vector<RasterRect> items;   // each item's box in the window
        std::vector<int> columnRules;    // x of the lines between columns
        RasterBitmap pixels;
        int hover = -1;
        int openedItem = -1;             // the item whose sub-menu is the next level
    };

    // Makes and maps the window of `menu` at (x, y), or to the left of
    // `flipRight` when it does not fit right of x.
    bool OpenLevel(IPopupMenu& menu, int x, int y, int flipRight);
    void CloseLevelsFrom(std::size_t level);
    // Draws the whole level into its pixels.
    void Draw(Level& level);
    // Copies `rect` of the level's pixels to its window.
    void Show(Level& level, const RasterRect& rect);
    // The level and item at a root position; level -1 when outside all.
    std::pair<int, int> HitTest(int rootX, int rootY) const;
    void OnMotion(int rootX, int rootY);
    void OpenSubmenu(std::size_t level, int item);
    void MoveHover(int step);
    bool Selectable(const Level& level, int item) const;
    void WaitForMap(Window window);
    void Grab();

    Display* display_;
    X11ModalOwner& owner_;
    int screen_;
    Visual* visual_;
    int depth_;
    std::shared_ptr<const RasterFont> font_;
    std::unique_ptr<X11SurfaceCopy> copy_;
    std::vector<Level> levels_;
    bool grabbedPointer_ = false;
    bool grabbedKeyboard_ = false;
    bool done_ = false;
    IPopupChoice choice_;
};
