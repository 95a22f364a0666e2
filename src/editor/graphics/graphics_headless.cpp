#include "editor/graphics/graphics_headless.h"

#include <algorithm>

#include "editor/graphics/png_writer.h"
#include "editor/text/utf8_decoder.h"

namespace {

void RemoveLastCharacter(std::string& text) {
    while (!text.empty()) {
        const bool lead = !IsUtf8Continuation(text.back());
        text.pop_back();
        if (lead) break;
    }
}

}  // namespace

IGraphicsHeadless::IGraphicsHeadless(IPluginVst* plugin, int width, int height, int framesPerSecond)
    : IGraphics(plugin, width, height, framesPerSecond) {}

IGraphicsHeadless::~IGraphicsHeadless() { CloseWindow(); }

void IGraphicsHeadless::Tick(int count) {
    for (int i = 0; i < count; ++i) OnTimerTick();
}

void IGraphicsHeadless::Click(int x, int y, const IMouseMod& mod) {
    OnMouseDown(x, y, mod);
    OnMouseUp(x, y, mod);
}

void IGraphicsHeadless::Drag(int x1, int y1, int x2, int y2, const IMouseMod& mod, int steps) {
    steps = std::max(steps, 1);
    OnMouseDown(x1, y1, mod);
    for (int step = 1; step <= steps; ++step) {
        OnMouseMove(x1 + (x2 - x1) * step / steps, y1 + (y2 - y1) * step / steps, mod);
    }
    OnMouseUp(x2, y2, mod);
}

bool IGraphicsHeadless::OpenPlatformWindow(void* /*parent*/) {
    open_ = windowSystem_;
    return open_;
}

bool IGraphicsHeadless::ShowTextEntry(const RasterRect& /*rect*/, const IText& style, std::string_view text,
                                      int maxLength) {
    entryShown_ = true;
    entryStyle_ = style;
    entryMaxLength_ = maxLength;
    entryText_.assign(text.substr(0, static_cast<std::size_t>(std::max(maxLength, 0))));
    OnTextEntryFocus();
    return true;
}

void IGraphicsHeadless::DestroyTextEntry() {
    entryShown_ = false;
    entryText_.clear();
}

void IGraphicsHeadless::Type(std::u32string_view characters) {
    if (!entryShown_) return;
    for (const char32_t c : characters) {
        if (!TextEntryAccepts(c)) continue;
        if (c == U'\b') {
            RemoveLastCharacter(entryText_);
        } else if (Utf8CharacterCount(entryText_) < entryMaxLength_) {
            AppendUtf8(entryText_, c);
        }
    }
}

IPopupChoice IGraphicsHeadless::TrackPopupMenu(IPopupMenu& menu, int x, int y) {
    MenuShown shown;
    shown.x = x;
    shown.y = y;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        shown.labels.push_back(menu.ItemLabel(i));
        shown.checked.push_back(menu.GetItem(i).checked);
        shown.enabled.push_back(menu.GetItem(i).enabled);
    }
    menus_.push_back(std::move(shown));
    if (popupAnswers_.empty()) return {};
    const PopupAnswer answer = popupAnswers_.front();
    popupAnswers_.pop_front();
    if (answer.item < 0 || answer.item >= menu.ItemCount()) return {};
    IPopupMenu::Item& item = menu.GetItem(answer.item);
    if (item.separator || !item.enabled) return {};
    if (item.submenu == nullptr) return {&menu, answer.item};
    IPopupMenu& submenu = *item.submenu;
    if (answer.subItem < 0 || answer.subItem >= submenu.ItemCount()) return {};
    if (submenu.GetItem(answer.subItem).separator || !submenu.GetItem(answer.subItem).enabled) return {};
    return {&submenu, answer.subItem};
}

bool IGraphicsHeadless::ShowFileDialog(FileAction action, std::string_view initialName, std::string_view directory,
                                       std::string_view filter, std::string& chosen) {
    fileDialogs_.push_back({action, std::string(initialName), std::string(directory), std::string(filter)});
    if (fileAnswers_.empty()) return false;
    chosen = fileAnswers_.front();
    fileAnswers_.pop_front();
    return !chosen.empty();
}

MessageBoxAnswer IGraphicsHeadless::ShowMessageBox(std::string_view text, std::string_view caption,
                                                   MessageBoxType type) {
    messageBoxes_.push_back({std::string(text), std::string(caption), type});
    if (messageAnswers_.empty()) return type == MessageBoxType::YesNo ? MessageBoxAnswer::No : MessageBoxAnswer::Ok;
    const MessageBoxAnswer answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
}

bool IGraphicsHeadless::ShellOpen(std::string_view url) {
    if (!shellOpenSucceeds_) return false;
    urls_.emplace_back(url);
    return true;
}

bool IGraphicsHeadless::WriteSurfacePng(const std::filesystem::path& path) const {
    return WritePngFile(Surface(), path);
}
