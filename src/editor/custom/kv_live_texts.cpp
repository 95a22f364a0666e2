#include "editor/custom/kv_live_texts.h"

#include "instrument/dunerow.h"
#include "instrument/readout_texts.h"

IKvMaxLevelText::IKvMaxLevelText(Dunerow* synth, const RasterRect& rect, const IText& style)
    : ITextControl(synth, rect, style, TextFor(0.0)), synth_(synth) {}

std::string IKvMaxLevelText::TextFor(double peak) {
    char text[48];
    readout::MaxLevel(text, peak);
    return text;
}

void IKvMaxLevelText::OnEditorIdle() {
    if (synth_ == nullptr) return;
    const double peak = synth_->Meter().Peak();
    const RasterColor colour = ColourFor(peak);
    if (!(text_.colour == colour)) {
        text_.colour = colour;
        MarkDirty(false);
    }
    SetTextFromPlugin(TextFor(peak));
}

IKvHostInfoText::IKvHostInfoText(Dunerow* synth, const RasterRect& rect, const IText& style)
    : ITextControl(synth, rect, style), synth_(synth) {}

void IKvHostInfoText::OnEditorIdle() {
    if (synth_ == nullptr) return;
    double sampleRate = 0.0;
    {
        // Only long enough to copy the rate the host set.
        auto lock = synth_->ScopedLock();
        sampleRate = synth_->GetSampleRate();
    }
    const double tempo = synth_->HostTempo();
    char text[96];
    readout::HostInfo(text, sampleRate, tempo);
    SetTextFromPlugin(text);
}
