#include "editor/graphics/x11/x11_popup_menu.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "editor/graphics/x11/x11_keys.h"

namespace {

constexpr RasterColor kBackground{255, 0xF2, 0xF2, 0xF2};
constexpr RasterColor kFrame{255, 0x7A, 0x7A, 0x7A};
constexpr RasterColor kRule{255, 0xD0, 0xD0, 0xD0};
constexpr RasterColor kHighlight{255, 0x2F, 0x64, 0xB4};
constexpr RasterColor kText{255, 0x00, 0x00, 0x00};
constexpr RasterColor kHighlightText{255, 0xFF, 0xFF, 0xFF};
constexpr RasterColor kDisabledText{255, 0x98, 0x98, 0x98};
// A release this far from where the menu opened picks an item even
// without a press inside the menu (press, drag to the item, release).
constexpr int kDragDistance = 4;
// How long to wait for the window to be mapped, and for a grab.
constexpr auto kMapTimeout = std::chrono::seconds(2);
constexpr int kGrabAttempts = 20;
constexpr auto kGrabRetry = std::chrono::milliseconds(10);

bool PointerButton(unsigned button) { return button >= Button1 && button <= Button3; }

}  // namespace

X11PopupMenu::X11PopupMenu(Display* display, int screen, X11ModalOwner& owner)
    : display_(display),
      owner_(owner),
      screen_(screen),
      visual_(DefaultVisual(display, screen_)),
      depth_(DefaultDepth(display, screen_)),
      font_(FontCache::Shared().Get("Arial", kFontSize, FontStyle::Normal)) {
    copy_ = std::make_unique<X11SurfaceCopy>(display_, visual_, depth_, 0, 0, false);
}

X11PopupMenu::~X11PopupMenu() {
    CloseLevelsFrom(0);
    if (grabbedPointer_) XUngrabPointer(display_, CurrentTime);
    if (grabbedKeyboard_) XUngrabKeyboard(display_, CurrentTime);
    XFlush(display_);
}

bool X11PopupMenu::OpenLevel(IPopupMenu& menu, int x, int y, int flipRight) {
    if (font_ == nullptr || menu.ItemCount() == 0) return false;
    const int screenWidth = DisplayWidth(display_, screen_);
    const int screenHeight = DisplayHeight(display_, screen_);
    Level level;
    level.menu = &menu;

    // Items fill columns from the top; a column ends where the next item
    // would leave the screen.
    const int itemHeight = font_->LineHeight() + kItemPadding;
    int textWidth = 0;
    bool submenus = false;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        textWidth = std::max(textWidth, font_->MeasureLine(menu.ItemLabel(i)));
        submenus = submenus || menu.GetItem(i).submenu != nullptr;
    }
    const int columnWidth = kCheckColumn + textWidth + kTextPadding + (submenus ? kArrowColumn : 0);
    int column = 0;
    int top = kBorder;
    int bottom = kBorder;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        const int height = menu.GetItem(i).separator ? kSeparatorHeight : itemHeight;
        if (top + height + kBorder > screenHeight && top > kBorder) {
            ++column;
            top = kBorder;
        }
        const int left = kBorder + column * (columnWidth + 1);
        level.items.push_back({left, top, left + columnWidth, top + height});
        top += height;
        bottom = std::max(bottom, top);
    }
    for (int c = 1; c <= column; ++c) level.columnRules.push_back(kBorder + c * (columnWidth + 1) - 1);
    const int width = 2 * kBorder + (column + 1) * columnWidth + column;
    const int height = bottom + kBorder;
    if (!level.pixels.Resize(width, height)) return false;

    if (x + width > screenWidth && flipRight >= 0) x = flipRight - width;
    x = std::clamp(x, 0, std::max(screenWidth - width, 0));
    y = std::clamp(y, 0, std::max(screenHeight - height, 0));
    level.screen = {x, y, x + width, y + height};

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | KeyPressMask;
    level.window = XCreateWindow(display_, RootWindow(display_, screen_), x, y, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, depth_, InputOutput, visual_,
                                 CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWEventMask, &attributes);
    if (level.window == 0) return false;
    // Compositors and tools know it as a popup menu.
    const Atom type = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
    const Atom popup = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
    XChangeProperty(display_, level.window, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&popup), 1);
    XStoreName(display_, level.window, "Dunerow menu");
    level.gc = XCreateGC(display_, level.window, 0, nullptr);
    Draw(level);
    XMapRaised(display_, level.window);
    levels_.push_back(std::move(level));
    return true;
}

void X11PopupMenu::CloseLevelsFrom(std::size_t first) {
    while (levels_.size() > first) {
        Level& level = levels_.back();
        if (level.gc != nullptr) XFreeGC(display_, level.gc);
        XDestroyWindow(display_, level.window);
        levels_.pop_back();
    }
    if (!levels_.empty() && levels_.back().openedItem >= 0) {
        levels_.back().openedItem = -1;
        Draw(levels_.back());
        Show(levels_.back(), levels_.back().pixels.Bounds());
    }
}

bool X11PopupMenu::Selectable(const Level& level, int item) const {
    if (item < 0 || item >= level.menu->ItemCount()) return false;
    const IPopupMenu::Item& entry = level.menu->GetItem(item);
    return !entry.separator && entry.enabled;
}

void X11PopupMenu::Draw(Level& level) {
    RasterBitmap& pixels = level.pixels;
    const RasterRect all = pixels.Bounds();
    RasterFillRect(pixels, all, kBackground, 1.0f, all);
    const RasterRect frame[] = {{0, 0, all.right, 1}, {0, all.bottom - 1, all.right, all.bottom},
                                {0, 0, 1, all.bottom}, {all.right - 1, 0, all.right, all.bottom}};
    for (const RasterRect& edge : frame) RasterFillRect(pixels, edge, kFrame, 1.0f, all);
    for (const int x : level.columnRules) RasterFillRect(pixels, {x, kBorder, x + 1, all.bottom - kBorder}, kRule, 1.0f, all);
    const int lineHeight = font_->LineHeight();
    for (int i = 0; i < level.menu->ItemCount(); ++i) {
        const RasterRect& box = level.items[static_cast<std::size_t>(i)];
        const IPopupMenu::Item& item = level.menu->GetItem(i);
        if (item.separator) {
            const int middle = box.top + box.Height() / 2;
            RasterFillRect(pixels, {box.left + 4, middle, box.right - 4, middle + 1}, kRule, 1.0f, all);
            continue;
        }
        const bool lit = item.enabled && (i == level.hover || i == level.openedItem);
        if (lit) RasterFillRect(pixels, box, kHighlight, 1.0f, all);
        const RasterColor ink = !item.enabled ? kDisabledText : lit ? kHighlightText : kText;
        const int textTop = box.top + (box.Height() - lineHeight) / 2;
        DrawTextInRect(pixels, font_.get(), level.menu->ItemLabel(i),
                       {box.left + kCheckColumn, textTop, box.right - kTextPadding, textTop + lineHeight},
                       TextAlign::Near, ink, 1.0f, box, false);
        const int middle = box.top + box.Height() / 2;
        if (item.checked) {
            // A tick, two pixels thick.
            const int x = box.left + 6;
            for (int dy = 0; dy < 2; ++dy) {
                RasterDrawLine(pixels, x, middle + dy, x + 3, middle + 3 + dy, ink, 1.0f, true, box);
                RasterDrawLine(pixels, x + 3, middle + 3 + dy, x + 9, middle - 3 + dy, ink, 1.0f, true, box);
            }
        }
        if (item.submenu != nullptr) {
            // A small triangle pointing right.
            const int x = box.right - kArrowColumn + 4;
            for (int i2 = 0; i2 < 4; ++i2) {
                RasterFillRect(pixels, {x + i2, middle - 3 + i2, x + i2 + 1, middle + 4 - i2}, ink, 1.0f, box);
            }
        }
    }
}

void X11PopupMenu::Show(Level& level, const RasterRect& rect) {
    copy_->Put(level.window, level.gc, level.pixels, rect, rect.left, rect.top);
}

std::pair<int, int> X11PopupMenu::HitTest(int rootX, int rootY) const {
    // The deepest level first: sub-menus may lie over their parents.
    for (int l = static_cast<int>(levels_.size()) - 1; l >= 0; --l) {
        const Level& level = levels_[static_cast<std::size_t>(l)];
        if (!level.screen.Contains(rootX, rootY)) continue;
        const int x = rootX - level.screen.left;
        const int y = rootY - level.screen.top;
        for (int i = 0; i < static_cast<int>(level.items.size()); ++i) {
            if (level.items[static_cast<std::size_t>(i)].Contains(x, y)) return {l, i};
        }
        return {l, -1};
    }
    return {-1, -1};
}

void X11PopupMenu::OpenSubmenu(std::size_t index, int item) {
    Level& level = levels_[index];
    IPopupMenu* submenu = level.menu->GetItem(item).submenu.get();
    if (submenu == nullptr || !Selectable(level, item) || level.openedItem == item) return;
    CloseLevelsFrom(index + 1);
    const RasterRect& box = level.items[static_cast<std::size_t>(item)];
    level.openedItem = item;
    Draw(level);
    Show(level, box);
    // levels_ may grow (and move) from here on.
    const RasterRect parent = level.screen;
    OpenLevel(*submenu, parent.left + box.right + kBorder, parent.top + box.top - kBorder,
              parent.left + box.left - kBorder);
}

void X11PopupMenu::OnMotion(int rootX, int rootY) {
    const auto [l, item] = HitTest(rootX, rootY);
    if (l < 0) {
        // Outside every menu: the deepest loses its highlight.
        Level& deepest = levels_.back();
        if (deepest.hover >= 0) {
            const RasterRect box = deepest.items[static_cast<std::size_t>(deepest.hover)];
            deepest.hover = -1;
            Draw(deepest);
            Show(deepest, box);
        }
        return;
    }
    const auto index = static_cast<std::size_t>(l);
    if (item >= 0 && levels_[index].openedItem != item) CloseLevelsFrom(index + 1);
    Level& level = levels_[index];
    const int newHover = Selectable(level, item) ? item : -1;
    if (newHover != level.hover) {
        RasterRect changed;
        if (level.hover >= 0) changed = level.items[static_cast<std::size_t>(level.hover)];
        if (newHover >= 0) changed = changed.Union(level.items[static_cast<std::size_t>(newHover)]);
        level.hover = newHover;
        Draw(level);
        Show(level, changed);
    }
    if (newHover >= 0 && level.menu->GetItem(newHover).submenu != nullptr) OpenSubmenu(index, newHover);
}

void X11PopupMenu::MoveHover(int step) {
    Level& level = levels_.back();
    const int count = level.menu->ItemCount();
    int item = level.hover;
    for (int tries = 0; tries < count; ++tries) {
        item = item < 0 ? (step > 0 ? 0 : count - 1) : (item + step + count) % count;
        if (Selectable(level, item)) break;
    }
    if (!Selectable(level, item) || item == level.hover) return;
    level.hover = item;
    Draw(level);
    Show(level, level.pixels.Bounds());
}

void X11PopupMenu::WaitForMap(Window window) {
    const auto deadline = std::chrono::steady_clock::now() + kMapTimeout;
    while (std::chrono::steady_clock::now() < deadline && !owner_.EditorGone()) {
        XEvent event;
        if (XCheckTypedWindowEvent(display_, window, MapNotify, &event)) return;
        XFlush(display_);
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, 10);
    }
}

void X11PopupMenu::Grab() {
    const Window window = levels_.front().window;
    for (int attempt = 0; attempt < kGrabAttempts && !grabbedPointer_; ++attempt) {
        grabbedPointer_ = XGrabPointer(display_, window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                       GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
        if (!grabbedPointer_) std::this_thread::sleep_for(kGrabRetry);
    }
    grabbedKeyboard_ = XGrabKeyboard(display_, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
}

IPopupChoice X11PopupMenu::Track(IPopupMenu& menu, int rootX, int rootY) {
    if (!OpenLevel(menu, rootX, rootY, -1)) return {};
    WaitForMap(levels_.front().window);
    Grab();
    // Where the pointer was as the menu opened: a release there is the
    // end of the click that opened it, not a pick.
    int startX = 0;
    int startY = 0;
    {
        Window root = 0;
        Window child = 0;
        int x = 0;
        int y = 0;
        unsigned mask = 0;
        XQueryPointer(display_, levels_.front().window, &root, &child, &startX, &startY, &x, &y, &mask);
    }
    bool pressed = false;
    bool moved = false;
    const int connection = ConnectionNumber(display_);
    while (!done_ && !owner_.EditorGone()) {
        if (XPending(display_) == 0) {
            pollfd wait{connection, POLLIN, 0};
            poll(&wait, 1, 100);
            continue;
        }
        XEvent event;
        XNextEvent(display_, &event);
        const auto own = std::find_if(levels_.begin(), levels_.end(),
                                      [&](const Level& level) { return level.window == event.xany.window; });
        switch (event.type) {
        case Expose:
            if (own != levels_.end()) {
                const XExposeEvent& e = event.xexpose;
                Show(*own, {e.x, e.y, e.x + e.width, e.y + e.height});
            } else {
                owner_.OnModalEvent(event);
            }
            break;
        case MotionNotify: {
            // Only the latest of a run of movements counts.
            while (XEventsQueued(display_, QueuedAfterReading) > 0) {
                XEvent next;
                XPeekEvent(display_, &next);
                if (next.type != MotionNotify) break;
                XNextEvent(display_, &event);
            }
            const int x = event.xmotion.x_root;
            const int y = event.xmotion.y_root;
            moved = moved || std::abs(x - startX) > kDragDistance || std::abs(y - startY) > kDragDistance;
            OnMotion(x, y);
            break;
        }
        case ButtonPress: {
            if (!PointerButton(event.xbutton.button)) break;
            if (HitTest(event.xbutton.x_root, event.xbutton.y_root).first < 0) {
                done_ = true;  // a click outside
                break;
            }
            pressed = true;
            OnMotion(event.xbutton.x_root, event.xbutton.y_root);
            break;
        }
        case ButtonRelease: {
            if (!PointerButton(event.xbutton.button)) break;
            const auto [l, item] = HitTest(event.xbutton.x_root, event.xbutton.y_root);
            if (l < 0 || !(pressed || moved)) break;
            const Level& level = levels_[static_cast<std::size_t>(l)];
            if (Selectable(level, item) && level.menu->GetItem(item).submenu == nullptr) {
                choice_ = {level.menu, item};
                done_ = true;
            }
            break;
        }
        case KeyPress: {
            const KeySym keysym = LookUpKeysym(event.xkey);
            Level& deepest = levels_.back();
            switch (keysym) {
            case XK_Escape:
                if (levels_.size() > 1) {
                    CloseLevelsFrom(levels_.size() - 1);
                } else {
                    done_ = true;
                }
                break;
            case XK_Up:
            case XK_KP_Up: MoveHover(-1); break;
            case XK_Down:
            case XK_KP_Down: MoveHover(1); break;
            case XK_Left:
            case XK_KP_Left:
                if (levels_.size() > 1) CloseLevelsFrom(levels_.size() - 1);
                break;
            case XK_Right:
            case XK_KP_Right:
            case XK_Return:
            case XK_KP_Enter:
            case XK_space: {
                const int item = deepest.hover;
                if (!Selectable(deepest, item)) break;
                if (deepest.menu->GetItem(item).submenu != nullptr) {
                    OpenSubmenu(levels_.size() - 1, item);
                    levels_.back().hover = -1;
                    MoveHover(1);
                } else if (keysym != XK_Right && keysym != XK_KP_Right) {
                    choice_ = {deepest.menu, item};
                    done_ = true;
                }
                break;
            }
            default: break;
            }
            break;
        }
        default:
            if (own == levels_.end()) owner_.OnModalEvent(event);
            break;
        }
    }
    CloseLevelsFrom(0);
    if (grabbedPointer_) XUngrabPointer(display_, CurrentTime);
    if (grabbedKeyboard_) XUngrabKeyboard(display_, CurrentTime);
    grabbedPointer_ = false;
    grabbedKeyboard_ = false;
    XFlush(display_);
    return choice_;
}
