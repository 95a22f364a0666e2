#include "editor/graphics/x11/x11_text_entry.h"

#include <algorithm>
#include <cstdlib>

#include "editor/graphics/x11/x11_keys.h"
#include "editor/text/utf8_decoder.h"

namespace {

// The prompt bar's label: the menus' face, in black on light grey.
constexpr int kLabelFontSize = 13;
constexpr RasterColor kLabelColour{255, 0, 0, 0};
constexpr RasterColor kPanelColour{255, 0xE4, 0xE4, 0xE4};
constexpr RasterColor kPanelEdge{255, 0x80, 0x80, 0x80};
constexpr int kLabelMargin = 8;


// The first `characters` characters of `text`.
std::string_view FirstCharacters(std::string_view text, int characters) {
    std::size_t end = 0;
    for (int count = 0; end < text.size(); ++end) {
        if (!IsUtf8Continuation(text[end]) && count++ == characters) break;
    }
    return text.substr(0, end);
}

RasterColor Opaque(RasterColor colour) { return {255, colour.r, colour.g, colour.b}; }

}  // namespace

// ---- the edit line

TextEditLine::TextEditLine(std::string_view text, int maxLength, std::function<bool(char32_t)> accepts)
    : text_(FirstCharacters(text, std::max(maxLength, 0))),
      caret_(text_.size()),
      maxLength_(std::max(maxLength, 0)),
      accepts_(std::move(accepts)) {}

void TextEditLine::DeleteSelection() {
    text_.clear();
    caret_ = 0;
    allSelected_ = false;
}

void TextEditLine::Type(char32_t character) {
    if (character < 0x20 || (character >= 0x7F && character < 0xA0) || character > 0x10FFFF) return;
    if (character >= 0xD800 && character <= 0xDFFF) return;
    if (accepts_ && !accepts_(character)) return;
    if (AllSelected()) DeleteSelection();
    allSelected_ = false;
    if (Utf8CharacterCount(text_) >= maxLength_) return;
    std::string encoded;
    AppendUtf8(encoded, character);
    text_.insert(caret_, encoded);
    caret_ += encoded.size();
}

void TextEditLine::Backspace() {
    if (AllSelected()) {
        DeleteSelection();
        return;
    }
    allSelected_ = false;
    if (caret_ == 0) return;
    std::size_t start = caret_ - 1;
    while (start > 0 && IsUtf8Continuation(text_[start])) --start;
    text_.erase(start, caret_ - start);
    caret_ = start;
}

void TextEditLine::Delete() {
    if (AllSelected()) {
        DeleteSelection();
        return;
    }
    allSelected_ = false;
    if (caret_ >= text_.size()) return;
    std::size_t end = caret_ + 1;
    while (end < text_.size() && IsUtf8Continuation(text_[end])) ++end;
    text_.erase(caret_, end - caret_);
}

void TextEditLine::Left() {
    if (AllSelected()) {
        allSelected_ = false;
        caret_ = 0;
        return;
    }
    allSelected_ = false;
    if (caret_ == 0) return;
    --caret_;
    while (caret_ > 0 && IsUtf8Continuation(text_[caret_])) --caret_;
}

void TextEditLine::Right() {
    if (AllSelected()) {
        allSelected_ = false;
        caret_ = text_.size();
        return;
    }
    allSelected_ = false;
    if (caret_ >= text_.size()) return;
    ++caret_;
    while (caret_ < text_.size() && IsUtf8Continuation(text_[caret_])) ++caret_;
}

void TextEditLine::Home() {
    allSelected_ = false;
    caret_ = 0;
}

void TextEditLine::End() {
    allSelected_ = false;
    caret_ = text_.size();
}

void TextEditLine::PlaceCaret(std::size_t caret) {
    allSelected_ = false;
    caret_ = std::min(caret, text_.size());
    while (caret_ > 0 && caret_ < text_.size() && IsUtf8Continuation(text_[caret_])) --caret_;
}

// ---- the entry window

X11TextEntry::X11TextEntry(Display* display, Window parent, Visual* visual, int depth, const RasterRect& rect,
                           const IText& style, std::string_view text, int maxLength,
                           std::function<bool(char32_t)> accepts, std::string_view label)
    : display_(display), rect_(rect), style_(style), label_(label), line_(text, maxLength, std::move(accepts)) {
    if (rect_.Empty() || !pixels_.Resize(rect_.Width(), rect_.Height())) return;
    if (style_.cachedFont == nullptr) style_.cachedFont = FontCache::Shared().Get(style_.font, style_.size, style_.style);
    font_ = style_.cachedFont;
    if (!label_.empty()) labelFont_ = FontCache::Shared().Get("Arial", kLabelFontSize, FontStyle::Normal);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    // Its clicks, both halves, are its own: none reaches the editor below.
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask;
    window_ = XCreateWindow(display_, parent, rect_.left, rect_.top, static_cast<unsigned>(rect_.Width()),
                            static_cast<unsigned>(rect_.Height()), 0, depth, InputOutput, visual,
                            CWBackPixmap | CWEventMask, &attributes);
    if (window_ == 0) return;
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    copy_ = std::make_unique<X11SurfaceCopy>(display_, visual, depth, rect_.Width(), rect_.Height(), false);
    XMapRaised(display_, window_);
    Draw();
}

X11TextEntry::~X11TextEntry() {
    if (gc_ != nullptr) XFreeGC(display_, gc_);
    if (window_ != 0) XDestroyWindow(display_, window_);
}

RasterRect X11TextEntry::FieldRect() const {
    const RasterRect all{0, 0, rect_.Width(), rect_.Height()};
    if (label_.empty() || labelFont_ == nullptr) return all;
    const int fieldHeight = (font_ != nullptr ? font_->LineHeight() : 0) + 4;
    const int left = labelFont_->MeasureLine(label_) + 2 * kLabelMargin;
    const int top = std::max((all.Height() - fieldHeight) / 2, 0);
    return {std::min(left, all.right), top, std::max(all.right - kLabelMargin, left), top + fieldHeight};
}

int X11TextEntry::TextLeft(const RasterFont& font, const RasterRect& inner) {
    const int width = font.MeasureLine(line_.Text());
    if (width <= inner.Width()) {
        scroll_ = 0;
        switch (style_.align) {
        case TextAlign::Near: return inner.left;
        case TextAlign::Centre: return inner.left + (inner.Width() - width) / 2;
        case TextAlign::Far: return inner.right - width;
        }
        return inner.left;
    }
    // Too long to show whole: scrolled so that the caret stays in view.
    const int caretX = font.MeasureLine(std::string_view(line_.Text()).substr(0, line_.Caret()));
    if (caretX - scroll_ > inner.Width() - 1) scroll_ = caretX - inner.Width() + 1;
    if (caretX < scroll_) scroll_ = caretX;
    scroll_ = std::clamp(scroll_, 0, width - inner.Width() + 1);
    return inner.left - scroll_;
}

void X11TextEntry::Draw() {
    if (window_ == 0 || pixels_.IsEmpty()) return;
    const RasterRect all = pixels_.Bounds();
    if (!label_.empty() && labelFont_ != nullptr) {
        RasterFillRect(pixels_, all, kPanelColour, 1.0f, all);
        const RasterRect edges[] = {{0, 0, all.right, 1}, {0, all.bottom - 1, all.right, all.bottom},
                                    {0, 0, 1, all.bottom}, {all.right - 1, 0, all.right, all.bottom}};
        for (const RasterRect& edge : edges) RasterFillRect(pixels_, edge, kPanelEdge, 1.0f, all);
        const int top = (all.Height() - labelFont_->LineHeight()) / 2;
        DrawTextInRect(pixels_, labelFont_.get(), label_, {kLabelMargin, top, all.right, all.bottom}, TextAlign::Near,
                       kLabelColour, 1.0f, all, false);
    }
    const RasterRect field = FieldRect();
    const RasterColor background = Opaque(style_.entryBackground);
    const RasterColor ink = Opaque(style_.entryText);
    RasterFillRect(pixels_, field, background, 1.0f, all);
    // A thin frame in the text's colour marks the field.
    const RasterRect frame[] = {{field.left, field.top, field.right, field.top + 1},
                                {field.left, field.bottom - 1, field.right, field.bottom},
                                {field.left, field.top, field.left + 1, field.bottom},
                                {field.right - 1, field.top, field.right, field.bottom}};
    for (const RasterRect& edge : frame) RasterFillRect(pixels_, edge, ink, 0.5f, all);
    const RasterRect inner{field.left + 1, field.top + 1, field.right - 1, field.bottom - 1};
    if (font_ != nullptr && !inner.Empty()) {
        const int left = TextLeft(*font_, inner);
        const int width = font_->MeasureLine(line_.Text());
        const int lineHeight = font_->LineHeight();
        RasterColor textColour = ink;
        if (line_.AllSelected()) {
            // The selection: the colours swapped.
            RasterFillRect(pixels_, {left, inner.top, left + width, inner.top + lineHeight}, ink, 1.0f, inner);
            textColour = background;
        }
        DrawTextInRect(pixels_, font_.get(), line_.Text(), {left, inner.top, left + std::max(width, 1), inner.bottom},
                       TextAlign::Near, textColour, 1.0f, inner, false);
        if (!line_.AllSelected()) {
            const int caretX =
                left + font_->MeasureLine(std::string_view(line_.Text()).substr(0, line_.Caret()));
            RasterFillRect(pixels_, {caretX, inner.top, caretX + 1, inner.top + lineHeight}, ink, 1.0f, inner);
        }
    }
    copy_->Put(window_, gc_, pixels_, all, 0, 0);
}

void X11TextEntry::CaretToEnd() {
    line_.End();
    Draw();
}

X11TextEntry::KeyResult X11TextEntry::OnKey(XKeyEvent& event) {
    const KeySym keysym = LookUpKeysym(event);
    const bool control = (event.state & ControlMask) != 0;
    switch (keysym) {
    case XK_Return:
    case XK_KP_Enter: return KeyResult::Return;
    case XK_Escape: return KeyResult::Escape;
    case XK_BackSpace: line_.Backspace(); break;
    case XK_Delete:
    case XK_KP_Delete: line_.Delete(); break;
    case XK_Left:
    case XK_KP_Left: line_.Left(); break;
    case XK_Right:
    case XK_KP_Right: line_.Right(); break;
    case XK_Home:
    case XK_KP_Home: line_.Home(); break;
    case XK_End:
    case XK_KP_End: line_.End(); break;
    default: {
        if (control || (event.state & Mod1Mask) != 0) {
            if (control && (keysym == XK_a || keysym == XK_A)) {
                line_.SelectAll();
                break;
            }
            return KeyResult::Unchanged;
        }
        const char32_t character = KeysymCharacter(keysym);
        if (character == 0) return KeyResult::Unchanged;
        line_.Type(character);
        break;
    }
    }
    Draw();
    return KeyResult::Edited;
}

void X11TextEntry::OnButtonPress(int x) {
    if (font_ == nullptr) return;
    const RasterRect field = FieldRect();
    const RasterRect inner{field.left + 1, field.top + 1, field.right - 1, field.bottom - 1};
    const int left = TextLeft(*font_, inner);
    // The character boundary nearest the click.
    const std::string& text = line_.Text();
    std::size_t best = 0;
    int bestDistance = std::abs(left - x);
    for (std::size_t end = 1; end <= text.size(); ++end) {
        if (end < text.size() && IsUtf8Continuation(text[end])) continue;
        const int distance = std::abs(left + font_->MeasureLine(std::string_view(text).substr(0, end)) - x);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = end;
        }
    }
    line_.PlaceCaret(best);
    Draw();
}
