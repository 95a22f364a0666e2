// A tab that shows its page of the editor.
#pragma once

#include "editor/controls/switch_control.h"
#include "editor/custom/editor_pages.h"

class IKvTabButton : public ISwitchControl {
public:
    // A tab of `width` x `height` at (x, y): the frame's size need not be the hit area's.
    IKvTabButton(IPluginVst* plugin, int x, int y, int width, int height, const IBitmap& bitmap, EditorPages* pages,
                 EditorPages::Page page);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    EditorPages::Page GetPage() const { return page_; }

private:
    EditorPages* pages_;
    EditorPages::Page page_;
};
