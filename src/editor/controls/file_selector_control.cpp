#include "editor/controls/file_selector_control.h"

IFileSelectorControl::IFileSelectorControl(IPluginVst* plugin, int x, int y, int paramIndex, const IBitmap& bitmap,
                                           FileAction action, std::string_view directory, std::string_view extensions)
    : IControl(plugin, {x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()}, paramIndex),
      bitmap_(bitmap),
      directory_(directory),
      extensions_(extensions),
      action_(action) {}

void IFileSelectorControl::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    state_ = State::Selecting;
    MarkDirty(false);
    chosen_ = graphics_ != nullptr && graphics_->AskForFile(file_, action_, directory_, extensions_);
    value_ = value_ < 0.5 ? 1.0 : 0.0;
    state_ = State::Done;
    MarkDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics& graphics) {
    if (state_ != State::Selecting) return true;
    return graphics.DrawBitmap(bitmap_, rect_, 1, &blend_);
}

bool IFileSelectorControl::IsDirty() const {
    if (state_ == State::Done) {
        state_ = State::None;
        return true;
    }
    return IControl::IsDirty();
}
