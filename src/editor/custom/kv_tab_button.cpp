#include "editor/custom/kv_tab_button.h"

IKvTabButton::IKvTabButton(IPluginVst* plugin, int x, int y, int width, int height, const IBitmap& bitmap,
                           EditorPages* pages, EditorPages::Page page)
    : ISwitchControl(plugin, RasterRect{x, y, x + width, y + height}, bitmap), pages_(pages), page_(page) {}

void IKvTabButton::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    value_ = 1.0;
    if (pages_ != nullptr) pages_->Show(page_);
    MarkDirty(true);
}
