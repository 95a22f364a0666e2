#include "editor/custom/kv_buttons.h"

#include "editor/graphics/graphics.h"
#include "instrument/dunerow.h"

namespace {

// The right button moves this many programs.
constexpr int kProgramBigStep = 10;

}  // namespace

IKvPresetSwitch::IKvPresetSwitch(Dunerow* synth, int x, int y, const IBitmap& bitmap, Direction direction)
    : IContactControl(synth, x, y, -1, bitmap), synth_(synth), direction_(direction) {}

void IKvPresetSwitch::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& mod) {
    value_ = 1.0;
    MarkDirty(false);
    if (synth_ == nullptr) return;
    const int step = mod.right ? kProgramBigStep : 1;
    bool restored = false;
    {
        auto lock = synth_->ScopedLock();
        const int target = synth_->CurrentProgram() + (direction_ == Direction::Forward ? step : -step);
        restored = synth_->RestoreProgram(target);  // a number outside the bank changes nothing
    }
    if (!restored) return;
    synth_->InformHostOfAllParameters();
    synth_->UpdateHostDisplay();
}

IKvSyncButton::IKvSyncButton(Dunerow* synth, int x, int y, const IBitmap& bitmap)
    : IContactControl(synth, x, y, -1, bitmap), synth_(synth) {}

void IKvSyncButton::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    value_ = 1.0;
    multiplier_ *= 2.0;
    if (multiplier_ > kLargestMultiplier) multiplier_ = 1.0;
    if (synth_ != nullptr) synth_->SyncRingFrequency(multiplier_);
    MarkDirty(false);
}

IKvPlayButton::IKvPlayButton(Dunerow* synth, int x, int y, const IBitmap& bitmap)
    : IContactControl(synth, x, y, -1, bitmap), synth_(synth) {}

void IKvPlayButton::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& mod) {
    value_ = 1.0;
    if (synth_ != nullptr) synth_->Preview().Request(kPreviewNote, mod.right ? PreviewNote::kStop : PreviewNote::kRestart);
    MarkDirty(false);
}

IKvResetButton::IKvResetButton(Dunerow* synth, int x, int y, const IBitmap& bitmap)
    : IContactControl(synth, x, y, -1, bitmap), synth_(synth) {}

void IKvResetButton::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    value_ = 1.0;
    if (synth_ != nullptr) synth_->Meter().RequestReset();
    MarkDirty(false);
}

IKvUrlButton::IKvUrlButton(IPluginVst* plugin, int x, int y, const IBitmap& bitmap, std::string_view url,
                           std::string_view fallbackUrl)
    : IContactControl(plugin, x, y, -1, bitmap), url_(url), fallbackUrl_(fallbackUrl) {}

void IKvUrlButton::OnMouseDown(int /*x*/, int /*y*/, const IMouseMod& /*mod*/) {
    value_ = 1.0;
    if (graphics_ != nullptr && !url_.empty() && !graphics_->OpenURL(url_) && !fallbackUrl_.empty()) {
        graphics_->OpenURL(fallbackUrl_);
    }
    MarkDirty(false);
}
