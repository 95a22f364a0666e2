#include "editor/custom/editor_pages.h"

#include "editor/controls/control.h"
#include "editor/graphics/graphics.h"

void EditorPages::Add(Page page, int index) { (page == kSynth ? synth_ : about_).push_back(index); }

void EditorPages::SetTab(Page page, IControl* tab) { (page == kSynth ? synthTab_ : aboutTab_) = tab; }

void EditorPages::Show(Page page) {
    const Page other = page == kSynth ? kAbout : kSynth;
    for (const int index : Controls(other)) {
        if (IControl* control = graphics_.GetControl(index)) control->Hide(true);
    }
    for (const int index : Controls(page)) {
        if (IControl* control = graphics_.GetControl(index)) control->Hide(false);
    }
    if (IControl* otherTab = other == kSynth ? synthTab_ : aboutTab_) {
        otherTab->SetValue(0.0);
        otherTab->MarkDirty(false);
    }
    current_ = page;
}
