#include "editor/custom/kv_preset_menu.h"

#include "editor/graphics/graphics.h"
#include "editor/graphics/popup_menu.h"
#include "editor/text/utf8_decoder.h"
#include "instrument/dunerow.h"

namespace {

IText DefaultStyle() {
    IText style;
    style.font = "Arial";
    style.size = 14;
    style.colour = {255, 0, 0, 0};
    return style;
}

// The longest name a program keeps, cut at a character boundary.
std::string_view FitProgramName(std::string_view name) {
    return CutUtf8(name, Korvane::VstXSynthProgram::kNameLength - 1);
}

}  // namespace

IKvPresetMenu::IKvPresetMenu(IPluginVst* plugin, const RasterRect& rect, RasterColor background, const IText* style)
    : IControl(plugin, rect), synth_(dynamic_cast<Dunerow*>(plugin)), background_(background) {
    text_ = style != nullptr ? *style : DefaultStyle();
    textEntryLength_ = kEntryLength;
}

std::string IKvPresetMenu::CurrentName() const {
    if (synth_ == nullptr) return {};
    auto lock = synth_->ScopedLock();
    return std::string(synth_->GetProgramName(synth_->CurrentProgram()));
}

bool IKvPresetMenu::Draw(IGraphics& graphics) {
    graphics.FillRectangle(background_, rect_, background_.a / 255.0f);
    shownName_ = CurrentName();
    RasterRect rect = rect_;
    return graphics.DrawTextInRect(text_, shownName_, rect);
}

void IKvPresetMenu::OnEditorIdle() {
    if (CurrentName() != shownName_) MarkDirty(false);
}

void IKvPresetMenu::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& mod) {
    if (synth_ == nullptr || graphics_ == nullptr) return;
    if (mod.right) {
        graphics_->CreateTextEntry(this, text_, rect_, CurrentName());
        return;
    }
    IPopupMenu menu;
    menu.SetPrefix(IPopupMenu::Prefix::TwoDigits);
    {
        auto lock = synth_->ScopedLock();
        for (int program = 0; program < synth_->ProgramCount(); ++program) {
            menu.AddItem(synth_->GetProgramName(program), true, program == synth_->CurrentProgram());
        }
    }
    const IPopupChoice choice = graphics_->ShowPopupMenu(menu, rect_);
    if (choice.menu != &menu || choice.item < 0) return;
    if (!synth_->RestoreProgram(choice.item)) return;
    synth_->InformHostOfAllParameters();
    synth_->UpdateHostDisplay();
    MarkDirty(false);
}

void IKvPresetMenu::TextFromTextEntry(std::string_view text) {
    if (synth_ == nullptr) return;
    synth_->SetCurrentProgramName(FitProgramName(text));
    synth_->UpdateHostDisplay();
    MarkDirty(false);
}
