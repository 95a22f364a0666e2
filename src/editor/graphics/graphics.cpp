#include "editor/graphics/graphics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "editor/controls/bitmap_control.h"
#include "editor/controls/control.h"
#include "editor/graphics/bitmap_cache.h"
#include "editor/graphics/png_resource.h"
#include "editor/raster/raster_ops.h"
#include "editor/text/font_cache.h"
#include "editor/text/text_layout.h"
#include "editor/text/utf8_decoder.h"
#include "shell/plugin_vst.h"

namespace {

// Host kind whose own parameter menu takes a right click on a bound control.
constexpr int kHostWithParameterMenu = 1;
constexpr int kWheelUnitsPerNotch = 120;

bool EndsWithPng(std::string_view fileName) {
    if (fileName.size() < 4) return false;
    const std::string_view extension = fileName.substr(fileName.size() - 4);
    const char expected[] = ".png";
    for (std::size_t i = 0; i < 4; ++i) {
        if (std::tolower(static_cast<unsigned char>(extension[i])) != expected[i]) return false;
    }
    return true;
}

RasterBlend BlendMode(const IChannelBlend* blend) {
    if (blend == nullptr) return RasterBlend::SourceOver;
    switch (blend->method) {
    case IChannelBlend::Method::Add: return RasterBlend::Add;
    case IChannelBlend::Method::Copy: return RasterBlend::Copy;
    case IChannelBlend::Method::Multiply: return RasterBlend::Multiply;
    case IChannelBlend::Method::None: break;
    }
    return RasterBlend::SourceOver;
}

}  // namespace

IGraphics::IGraphics(IPluginVst* plugin, int width, int height, int framesPerSecond)
    : IPluginEditor(width, height),
      plugin_(plugin),
      framesPerSecond_(std::max(framesPerSecond, 1)),
      surface_(width, height) {
    parameterCount_ = plugin_ != nullptr ? plugin_->ParameterCount() : 0;
    postedValues_ = std::make_unique<std::atomic<double>[]>(static_cast<std::size_t>(parameterCount_));
    posted_ = std::make_unique<std::atomic<bool>[]>(static_cast<std::size_t>(parameterCount_));
    for (int i = 0; i < parameterCount_; ++i) {
        postedValues_[static_cast<std::size_t>(i)].store(0.0, std::memory_order_relaxed);
        posted_[static_cast<std::size_t>(i)].store(false, std::memory_order_relaxed);
    }
}

IGraphics::~IGraphics() = default;

// ---- controls

int IGraphics::AddControl(std::unique_ptr<IControl> control) {
    control->SetGraphics(this);
    controls_.push_back(std::move(control));
    return ControlCount() - 1;
}

IControl* IGraphics::GetControl(int index) const {
    if (index < 0 || index >= ControlCount()) return nullptr;
    return controls_[static_cast<std::size_t>(index)].get();
}

IBitmap IGraphics::LoadBitmap(int id, std::string_view fileName, int frames) {
    IBitmap bitmap;
    bitmap.id = id;
    bitmap.frames = std::max(frames, 1);
    bitmap.pixels = BitmapCache::Shared().GetOrLoad(id, [&]() -> BitmapCache::Pixels {
        if (!EndsWithPng(fileName)) return nullptr;
        RasterBitmap decoded = LoadPngBitmap(id);
        if (decoded.IsEmpty()) return nullptr;
        return std::make_shared<const RasterBitmap>(std::move(decoded));
    });
    if (bitmap.pixels != nullptr) {
        bitmap.width = bitmap.pixels->Width();
        bitmap.height = bitmap.pixels->Height();
    }
    return bitmap;
}

void IGraphics::SetBackgroundBitmap(int id, std::string_view fileName) {
    const IBitmap bitmap = LoadBitmap(id, fileName);
    auto background = std::make_unique<IBitmapControl>(plugin_, RasterRect{0, 0, Width(), Height()}, bitmap);
    background->SetGraphics(this);
    // Appended, then rotated to the front: the background is drawn first.
    controls_.push_back(std::move(background));
    std::rotate(controls_.rbegin(), controls_.rbegin() + 1, controls_.rend());
}

void IGraphics::SetParameterFromPlugin(int index, double value, bool normalised) {
    if (!normalised) {
        const PluginParam* parameter = plugin_ != nullptr ? plugin_->GetParam(index) : nullptr;
        if (parameter == nullptr) return;
        value = parameter->RealToNormalized(std::clamp(value, parameter->Min(), parameter->Max()));
    }
    for (const auto& control : controls_) {
        if (control->ParamIndex() == index) control->SetValueFromPlugin(value);
        if (control->FollowsAuxParam(index)) control->SetSecondaryValueFromPlugin(index, value);
    }
}

void IGraphics::SetAllControlsDirty() {
    for (const auto& control : controls_) control->MarkDirty(false);
}

void IGraphics::OnParameterChanged(int index, double value, bool normalised) {
    if (index < 0 || index >= parameterCount_) return;
    if (!normalised) {
        // The parameter's range never changes after construction, so reading
        // it here, on whatever thread posts, races with nothing.
        const PluginParam* parameter = plugin_->GetParam(index);
        value = parameter->RealToNormalized(std::clamp(value, parameter->Min(), parameter->Max()));
    }
    if (std::isnan(value)) return;
    postedValues_[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    posted_[static_cast<std::size_t>(index)].store(true, std::memory_order_release);
    anyPosted_.store(true, std::memory_order_release);
}

void IGraphics::ApplyPostedParameters() {
    if (!anyPosted_.exchange(false, std::memory_order_acquire)) return;
    for (int index = 0; index < parameterCount_; ++index) {
        if (!posted_[static_cast<std::size_t>(index)].exchange(false, std::memory_order_acquire)) continue;
        SetParameterFromPlugin(index, postedValues_[static_cast<std::size_t>(index)].load(std::memory_order_relaxed),
                               true);
    }
}

// ---- drawing

bool IGraphics::DrawBitmap(const IBitmap& bitmap, const RasterRect& dest, int srcX, int srcY,
                           const IChannelBlend* blend) {
    if (bitmap.IsNull()) return false;
    const float weight = blend != nullptr ? blend->weight : 1.0f;
    RasterBlit(surface_, dest, *bitmap.pixels, srcX, srcY, drawRect_, weight, BlendMode(blend));
    return true;
}

bool IGraphics::DrawBitmap(const IBitmap& bitmap, const RasterRect& dest, int frame, const IChannelBlend* blend) {
    int srcX = 0;
    int srcY = 0;
    if (frame > 1 && bitmap.frames > 1) {
        const double frameSize = bitmap.framesAreHorizontal ? static_cast<double>(bitmap.width) / bitmap.frames
                                                            : static_cast<double>(bitmap.height) / bitmap.frames;
        const int offset = static_cast<int>(std::trunc((frame - 1) * frameSize + 0.5));
        (bitmap.framesAreHorizontal ? srcX : srcY) = offset;
    }
    return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::DrawTextInRect(const IText& style, std::string_view text, RasterRect& rect, bool measure) {
    if (style.cachedFont == nullptr) style.cachedFont = FontCache::Shared().Get(style.font, style.size, style.style);
    if (style.cachedFont == nullptr) return false;
    const RasterRect extent = ::DrawTextInRect(surface_, style.cachedFont.get(), text, rect, style.align, style.colour,
                                               1.0f, drawRect_, measure);
    if (measure) rect = extent;
    return true;
}

bool IGraphics::DrawLine(int x1, int y1, int x2, int y2, RasterColor colour, float alpha, bool antiAliased) {
    RasterDrawLine(surface_, x1, y1, x2, y2, colour, alpha, antiAliased, drawRect_);
    return true;
}

bool IGraphics::FillRectangle(RasterColor colour, const RasterRect& rect, float alpha) {
    RasterFillRect(surface_, rect, colour, alpha, drawRect_);
    return true;
}

// ---- the redraw cycle

void IGraphics::AddTickListener(std::unique_ptr<IGraphicsTickListener> listener) {
    if (listener != nullptr) tickListeners_.push_back(std::move(listener));
}

void IGraphics::OnTimerTick() {
    ApplyPostedParameters();
    for (const auto& listener : tickListeners_) listener->OnTick(*this);
    if (TextEntryIsOpen()) {
        if (textEntryState_ == kEntryCancel || textEntryState_ == kEntryCommit) {
            FinishTextEntry(textEntryState_ == kEntryCommit);
            return;
        }
        if (textEntryState_ == kEntryActive || textEntryState_ == kEntryPaintedAround) {
            textEntryState_ = kEntryNone;
            return;
        }
    }
    RasterRect dirty;
    for (const auto& control : controls_) {
        if (control->IsDirty()) dirty = dirty.Union(control->GetRect());
    }
    if (!dirty.Empty()) {
        idleCounter_ = 0;
        InvalidateAndUpdate(dirty);
        if (TextEntryIsOpen()) textEntryState_ = kEntryPaintedAround;
        return;
    }
    if (++idleCounter_ > kIdleTicks) {
        for (const auto& control : controls_) control->OnEditorIdle();
        idleCounter_ = 0;
    }
}

void IGraphics::Paint(const RasterRect& rect) {
    drawRect_ = rect.Intersection(surface_.Bounds());
    if (strictDrawing_) {
        for (const auto& control : controls_) {
            if (!control->IsHidden() && control->GetRect().Intersects(drawRect_)) control->Draw(*this);
        }
    }
    for (const auto& control : controls_) control->MarkClean();
    PaintDirtyControls(drawRect_);
}

void IGraphics::Resize(int width, int height) {
    if (width <= 0 || height <= 0 || !surface_.Resize(width, height)) return;
    SetSize(width, height);
    if (plugin_ != nullptr) plugin_->OnEditorResized();
    SetAllControlsDirty();
}

// ---- events

int IGraphics::TopmostControlAt(int x, int y) const {
    for (int index = ControlCount() - 1; index >= 0; --index) {
        const IControl& control = *controls_[static_cast<std::size_t>(index)];
        if (!control.IsHidden() && !control.IsGrayed() && control.HitTest(x, y)) return index;
    }
    return -1;
}

void IGraphics::ReportEditBegin(const IControl& control) {
    const int param = control.ParamIndex();
    if (param < 0 || plugin_ == nullptr) return;
    plugin_->BeginParameterEdit(param);
    editingParam_ = param;
}

void IGraphics::ReportEditEnd() {
    // Only a gesture the host was told began is ended.
    if (editingParam_ < 0) return;
    plugin_->EndParameterEdit(editingParam_);
    editingParam_ = -1;
}

void IGraphics::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (TextEntryIsOpen()) CancelTextEntry();
    mouseX_ = x;
    mouseY_ = y;
    const int index = TopmostControlAt(x, y);
    if (index < 0) return;
    IControl* control = GetControl(index);
    if (control == nullptr) return;
    if (plugin_ != nullptr && plugin_->HostCode() == kHostWithParameterMenu && mod.right && control->ParamIndex() >= 0) {
        plugin_->PopupHostMenuForParameter(control->ParamIndex(), x, y);
        return;
    }
    SetMouseCapture(true);
    captureIndex_ = index;
    ReportEditEnd();  // a gesture whose button-up never came
    control->OnMouseDown(x, y, mod);
    ReportEditBegin(*control);
}

void IGraphics::OnMouseMove(int x, int y, const IMouseMod& mod) {
    if ((mod.left || mod.right) && captureIndex_ >= 0) {
        if (TextEntryIsOpen()) return;
        const int dX = x - mouseX_;
        const int dY = y - mouseY_;
        if (dX == 0 && dY == 0) return;
        mouseX_ = x;
        mouseY_ = y;
        if (IControl* control = GetControl(captureIndex_)) control->OnMouseDrag(x, y, dX, dY, mod);
        return;
    }
    if (!handleMouseOver_) return;
    mouseOverIndex_ = TopmostControlAt(x, y);
    if (IControl* control = GetControl(mouseOverIndex_)) control->OnMouseOver(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, const IMouseMod& mod) {
    SetMouseCapture(false);
    const int index = captureIndex_ >= 0 ? captureIndex_ : TopmostControlAt(x, y);
    captureIndex_ = -1;
    if (IControl* control = GetControl(index)) control->OnMouseUp(x, y, mod);
    ReportEditEnd();
}

void IGraphics::OnMouseDoubleClick(int x, int y, const IMouseMod& mod) {
    const int index = TopmostControlAt(x, y);
    IControl* control = GetControl(index);
    if (control == nullptr) return;
    if (control->DoubleClickAsSingleClick()) {
        SetMouseCapture(true);
        captureIndex_ = index;
        mouseX_ = x;
        mouseY_ = y;
        ReportEditEnd();
        control->OnMouseDown(x, y, mod);
        ReportEditBegin(*control);
        return;
    }
    control->OnDoubleClick(x, y, mod);
}

void IGraphics::OnMouseWheel(int x, int y, const IMouseMod& mod, int wheelDelta) {
    if (TextEntryIsOpen()) {
        textEntryState_ = kEntryCancel;
        return;
    }
    const int index = captureIndex_ >= 0 ? captureIndex_ : TopmostControlAt(x, y);
    if (IControl* control = GetControl(index)) control->OnMouseWheel(x, y, mod, wheelDelta / kWheelUnitsPerNotch);
}

void IGraphics::OnMouseOut() {
    for (const auto& control : controls_) control->OnMouseOut();
    mouseOverIndex_ = -1;
}

int IGraphics::KeyCode(const IKeyPress& key) {
    switch (key.kind) {
    case IKeyPress::Kind::Up: return kKeyUp;
    case IKeyPress::Kind::Down: return kKeyDown;
    case IKeyPress::Kind::Left: return kKeyLeft;
    case IKeyPress::Kind::Right: return kKeyRight;
    case IKeyPress::Kind::Other: return kKeyNone;
    case IKeyPress::Kind::Character: break;
    }
    const char32_t c = key.character;
    if (c == U' ') return kKeySpace;
    if (c >= U'0' && c <= U'9') return kKeyDigit0 + static_cast<int>(c - U'0');
    if (c >= U'A' && c <= U'Z') return kKeyLetterA + static_cast<int>(c - U'A');
    if (c >= U'a' && c <= U'z') return kKeyLetterA + static_cast<int>(c - U'a');
    return kKeyNone;
}

bool IGraphics::OnKeyDown(int x, int y, const IKeyPress& key) {
    const int code = KeyCode(key);
    if (code == kKeyNone) return false;
    const int index = captureIndex_ >= 0 ? captureIndex_ : TopmostControlAt(x, y);
    IControl* control = index > 0 ? GetControl(index) : keyCatcher_.get();
    return control != nullptr && control->OnKeyDown(x, y, code);
}

void IGraphics::SetKeyCatcher(std::unique_ptr<IControl> control) {
    if (control != nullptr) control->SetGraphics(this);
    keyCatcher_ = std::move(control);
}

// ---- text entry

bool IGraphics::CreateTextEntry(IControl* control, const IText& style, const RasterRect& rect, std::string_view text,
                                int paramIndex) {
    if (control == nullptr || TextEntryIsOpen() || !PlatformWindowIsOpen()) return false;
    textEntryControl_ = control;
    textEntryParam_ = paramIndex;
    textEntryRect_ = {rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
    textEntryState_ = kEntryNone;
    // The window system reports the entry's focus (state 1) as it opens it.
    if (ShowTextEntry(textEntryRect_, style, text, control->TextEntryLength())) return true;
    ForgetTextEntry();
    return false;
}

void IGraphics::EndTextEntry() {
    if (TextEntryIsOpen()) textEntryState_ = kEntryCancel;
}

bool IGraphics::TextEntryAccepts(char32_t character) const {
    if (character == U'\b') return true;
    const PluginParam* parameter =
        textEntryParam_ >= 0 && plugin_ != nullptr ? plugin_->GetParam(textEntryParam_) : nullptr;
    if (parameter == nullptr) return true;
    const bool digit = character >= U'0' && character <= U'9';
    if (parameter->GetKind() == PluginParam::Kind::Double) {
        return digit || character == U'+' || character == U'-' || character == U'.';
    }
    return digit || character == U'-' || character == U'+';
}

RasterRect IGraphics::ForgetTextEntry() {
    const RasterRect area = textEntryRect_;
    textEntryControl_ = nullptr;
    textEntryParam_ = -1;
    textEntryState_ = kEntryNone;
    textEntryRect_ = {};
    return area;
}

void IGraphics::FinishTextEntry(bool commit) {
    IControl* control = textEntryControl_;
    const int paramIndex = textEntryParam_;
    const std::string entered = commit ? std::string(CutUtf8(TextEntryText(), kTextEntryReadLength)) : std::string();
    DestroyTextEntry();
    const RasterRect area = ForgetTextEntry();
    if (commit) CommitTextEntry(*control, paramIndex, entered);
    InvalidateAndUpdate(area);
}

void IGraphics::CommitTextEntry(IControl& control, int paramIndex, const std::string& entered) {
    const PluginParam* parameter = paramIndex >= 0 && plugin_ != nullptr ? plugin_->GetParam(paramIndex) : nullptr;
    if (parameter == nullptr) {
        control.TextFromTextEntry(entered);
        return;
    }
    double value = 0.0;
    const auto kind = parameter->GetKind();
    if (kind == PluginParam::Kind::TwoState || kind == PluginParam::Kind::List) {
        // A text that names no entry gives 0.
        for (const auto& entry : parameter->DisplayTexts()) {
            if (entry.text.View() == entered) {
                value = entry.value;
                break;
            }
        }
    } else {
        value = std::strtod(entered.c_str(), nullptr);
        if (!std::isfinite(value)) value = 0.0;
        if (parameter->NegateDisplay()) value = -value;
    }
    control.SetValueFromTextEntry(parameter->RealToNormalized(std::clamp(value, parameter->Min(), parameter->Max())));
}

void IGraphics::CancelTextEntry() {
    DestroyTextEntry();
    InvalidateAndUpdate(ForgetTextEntry());
}

void IGraphics::PromptForParameter(IControl* control, int paramIndex, const RasterRect& rect) {
    const PluginParam* parameter = plugin_ != nullptr ? plugin_->GetParam(paramIndex) : nullptr;
    if (control == nullptr || parameter == nullptr) return;
    if (!parameter->HasDisplayTexts()) {
        char current[PluginParam::kTextSize * 2] = {};
        parameter->GetDisplayText(current);
        CreateTextEntry(control, control->GetText(), rect, current, paramIndex);
        return;
    }
    IPopupMenu menu;
    const double current = parameter->Value();
    for (const auto& entry : parameter->DisplayTexts()) {
        menu.AddItem(entry.text.View(), true, entry.value == static_cast<int>(current));
    }
    const IPopupChoice choice = ShowPopupMenu(menu, rect);
    if (choice.menu != &menu || choice.item < 0) return;
    const double value = parameter->DisplayTexts()[static_cast<std::size_t>(choice.item)].value;
    control->SetValueFromTextEntry(parameter->RealToNormalized(std::clamp(value, parameter->Min(), parameter->Max())));
}

// ---- dialogs and links

IPopupChoice IGraphics::ShowPopupMenu(IPopupMenu& menu, const RasterRect& rect) {
    if (!PlatformWindowIsOpen()) return {};
    IPopupChoice choice = TrackPopupMenu(menu, rect.left, rect.bottom);
    if (choice.menu != nullptr) choice.menu->SetChosenItem(choice.item);
    return choice;
}

std::string IGraphics::FileFilter(std::string_view extensions) {
    std::string filter;
    std::size_t position = 0;
    while (position < extensions.size()) {
        const std::size_t start = extensions.find_first_not_of(' ', position);
        if (start == std::string_view::npos) break;
        std::size_t end = extensions.find(' ', start);
        if (end == std::string_view::npos) end = extensions.size();
        if (!filter.empty()) filter += ';';
        filter += "*.";
        filter += extensions.substr(start, end - start);
        position = end;
    }
    return filter;
}

bool IGraphics::AskForFile(std::string& file, FileAction action, std::string& directory, std::string_view extensions) {
    if (!PlatformWindowIsOpen()) {
        file.clear();
        return false;
    }
    const std::string start = directory.empty() ? DesktopFolder() : directory;
    std::string chosen;
    if (!ShowFileDialog(action, file, start, FileFilter(extensions), chosen) || chosen.empty()) return false;
    const std::size_t slash = chosen.find_last_of("/\\");
    directory = slash == std::string::npos ? std::string() : chosen.substr(0, slash + 1);
    file = chosen;
    return true;
}

bool IGraphics::OpenURL(std::string_view url, std::string_view caption, std::string_view confirmText,
                        std::string_view errorText) {
    if (!confirmText.empty() && ShowMessageBox(confirmText, caption, MessageBoxType::YesNo) != MessageBoxAnswer::Yes) {
        return false;
    }
    if (IsConnectedToInternet() && ShellOpen(url)) return true;
    if (!errorText.empty()) ShowMessageBox(errorText, caption, MessageBoxType::Ok);
    return false;
}

// ---- window

bool IGraphics::OpenWindow(void* parent) {
    if (PlatformWindowIsOpen()) CloseWindow();
    if (!OpenPlatformWindow(parent)) return false;
    ApplyPostedParameters();
    SetAllControlsDirty();
    return true;
}

void IGraphics::CloseWindow() {
    if (TextEntryIsOpen()) {
        DestroyTextEntry();
        ForgetTextEntry();
    }
    ReportEditEnd();
    captureIndex_ = -1;
    if (PlatformWindowIsOpen()) ClosePlatformWindow();
}
