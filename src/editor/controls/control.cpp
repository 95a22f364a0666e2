#include "editor/controls/control.h"

#include <algorithm>
#include <cmath>

#include "editor/graphics/graphics.h"
#include "shell/plugin_vst.h"

namespace {

// The edit box over a control whose parameter has no display texts.
constexpr int kPromptWidth = 30;
constexpr int kPromptHeight = 16;

}  // namespace

IControl::IControl(IPluginVst* plugin, const RasterRect& rect, int paramIndex)
    : plugin_(plugin), rect_(rect), targetRect_(rect), paramIndex_(paramIndex) {}

void IControl::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& mod) {
    if (mod.right) RequestTextEntry();
}

void IControl::OnDoubleClick(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    if (defaultValue_ < 0.0) return;
    value_ = defaultValue_;
    MarkDirty(true);
}

void IControl::OnMouseWheel(int /*x*/, int /*y*/, const IMouseMod& mod, int delta) {
    const double step = mod.shift || mod.control ? 0.001 : 0.01;
    value_ += delta * step;
    MarkDirty(true);
}

void IControl::SetValueFromPlugin(double value) {
    if (defaultValue_ < 0.0) defaultValue_ = value;
    if (value_ == value) return;
    value_ = value;
    MarkDirty(false);
    redrawPending_ = true;
}

void IControl::Hide(bool hide) {
    hidden_ = hide;
    redrawPending_ = true;
    MarkDirty(false);
}

void IControl::SetGrayed(bool grayed) {
    grayed_ = grayed;
    blend_.weight = grayed ? kGrayedWeight : 1.0f;
    MarkDirty(false);
}

bool IControl::HitTest(int x, int y) const {
    if (targetRect_ == RasterRect{}) return false;
    return targetRect_.Contains(x, y);
}

void IControl::MarkDirty(bool push) {
    // NaN (from a broken value) clamps to the low end rather than spreading.
    value_ = std::isnan(value_) ? clampLow_ : std::clamp(value_, clampLow_, clampHigh_);
    dirty_ = true;
    if (push && plugin_ != nullptr && paramIndex_ >= 0) plugin_->SetParameterFromEditor(paramIndex_, value_);
}

void IControl::MarkClean() {
    dirty_ = redrawPending_;
    redrawPending_ = false;
}

void IControl::RequestTextEntry() {
    if (paramIndex_ < 0 || promptDisabled_ || graphics_ == nullptr || plugin_ == nullptr) return;
    const PluginParam* parameter = plugin_->GetParam(paramIndex_);
    if (parameter == nullptr) return;
    if (parameter->HasDisplayTexts()) {
        graphics_->PromptForParameter(this, paramIndex_, rect_);
        return;
    }
    const int centreX = rect_.left + rect_.Width() / 2;
    const int centreY = rect_.top + rect_.Height() / 2;
    const RasterRect box{centreX - kPromptWidth / 2, centreY - kPromptHeight / 2, centreX + kPromptWidth / 2,
                         centreY + kPromptHeight / 2};
    graphics_->PromptForParameter(this, paramIndex_, box);
}

void IControl::AddAuxParam(int paramIndex) {
    if (!FollowsAuxParam(paramIndex)) auxParams_.push_back({paramIndex, -1.0});
}

IControl::AuxParam* IControl::FindAuxParam(int paramIndex) {
    for (AuxParam& aux : auxParams_) {
        if (aux.index == paramIndex) return &aux;
    }
    return nullptr;
}

bool IControl::FollowsAuxParam(int paramIndex) const {
    return std::any_of(auxParams_.begin(), auxParams_.end(), [&](const AuxParam& aux) { return aux.index == paramIndex; });
}

double IControl::AuxValue(int paramIndex) const {
    for (const AuxParam& aux : auxParams_) {
        if (aux.index == paramIndex) return aux.value;
    }
    return -1.0;
}

void IControl::SetSecondaryValueFromPlugin(int paramIndex, double value) {
    AuxParam* aux = FindAuxParam(paramIndex);
    if (aux == nullptr || aux->value == value) return;
    aux->value = value;
    MarkDirty(false);
    redrawPending_ = true;
}
