// What the instrument hands its editor: read-out texts and curves, computed
// from the engine's settings whenever a value they show changes. The note
// read-out and the waveform previews are refreshed on the audio thread, so
// everything is computed in fixed buffers of the instrument.
#include <algorithm>
#include <string_view>

#include "engine/laws.h"
#include "instrument/dunerow.h"
#include "instrument/note_name.h"
#include "instrument/readout_texts.h"

namespace {

constexpr std::array<int, 3> kWaveformParameters = {param::OscWaveform1, param::OscWaveform2, param::OscWaveform3};
constexpr std::array<int, 3> kInvertParameters = {param::OscInvertWaveform1, param::OscInvertWaveform2,
                                                  param::OscInvertWaveform3};
constexpr std::array<Readout, 3> kWaveformNames = {Readout::WaveformName1, Readout::WaveformName2, Readout::WaveformName3};

static_assert(Korvane::DynShaper::kWaveDisplayPoints == Korvane::Distortion::kWaveDisplayPoints);
static_assert(Korvane::DynShaper::kCurveDisplayPoints == Korvane::Distortion::kCurveDisplayPoints);

// A read-out's text as a formatter writes it.
class ReadoutText {
public:
    std::span<char> Buffer() { return text_; }
    std::string_view View() const { return text_.data(); }

private:
    std::array<char, EditorReadouts::kTextSize + 1> text_{};
};

bool IsInRange(int index, int first, int last) { return index >= first && index <= last; }

}  // namespace

PreviewCurve& Dunerow::WaveformPreview(int oscillator) {
    return waveformPreviews_[static_cast<std::size_t>(std::clamp(oscillator, 0, 2))];
}

void Dunerow::TellEditor(int index, double normalised) {
    if (IPluginEditor* editor = Editor()) editor->OnParameterChanged(index, normalised, true);
}

void Dunerow::RefreshEditorDisplays() {
    auto lock = ScopedLock();
    if (!HasEditor()) return;
    for (int oscillator = 0; oscillator < 3; ++oscillator) RefreshOscillatorDisplay(oscillator);
    RefreshEnvelopeDisplay(true);
    RefreshEnvelopeDisplay(false);
    RefreshPitchDisplay();
    RefreshDistortionDisplays();
    RefreshShaperDisplays();
    for (int index = 0; index < kParameterCount; ++index) {
        RefreshReadoutOf(index);
        TellEditor(index, GetParam(index)->GetNormalizedValue());
    }
}

void Dunerow::RefreshDisplaysOf(int index) {
    for (int oscillator = 0; oscillator < 3; ++oscillator) {
        const auto at = static_cast<std::size_t>(oscillator);
        if (index == kWaveformParameters[at] || index == kInvertParameters[at]) {
            RefreshOscillatorDisplay(oscillator);
            return;
        }
    }
    if (IsInRange(index, param::EnvAttack, param::EnvDuration)) {
        RefreshEnvelopeDisplay(true);
    } else if (IsInRange(index, param::FilterAttack, param::FilterDuration)) {
        RefreshEnvelopeDisplay(false);
    } else if (IsInRange(index, param::PitchOnOff, param::PitchDown)) {
        RefreshPitchDisplay();
    }
    switch (index) {
    case param::DistortionOnOff:
    case param::Distortion:
    case param::DistortionType:
    case param::DistortionInterpMode:
        RefreshDistortionDisplays();
        break;
    case param::DynShaper:
    case param::DynShaperInvert:
    case param::DynShaperType:
    case param::DynShaperMode:
        RefreshShaperDisplays();
        break;
    default:
        break;
    }
    RefreshReadoutOf(index);
}

void Dunerow::RefreshReadoutOf(int index) {
    ReadoutText text;
    auto show = [this](Readout readout, std::string_view shown) { readouts_.Set(readout, shown); };
    const double value = Value(index);
    switch (index) {
    case param::UnisonVoices:
        readout::Count(text.Buffer(), voicePool_.Voice(0).UnisonCount());
        show(Readout::UnisonVoices, text.View());
        break;
    case param::BassAmount:
        readout::Decibels(text.Buffer(), equalizer_.BassGainDb());
        show(Readout::BassGain, text.View());
        break;
    case param::MidAmount:
        readout::Decibels(text.Buffer(), equalizer_.MidGainDb());
        show(Readout::MidGain, text.View());
        break;
    case param::HighAmount:
        readout::Decibels(text.Buffer(), equalizer_.HighGainDb());
        show(Readout::HighGain, text.View());
        break;
    case param::DumpExpand:
        readout::DumpExpand(text.Buffer(), dumpExpand_.Position());
        show(Readout::DumpExpand, text.View());
        break;
    case param::Distortion:
    case param::DistortionType: {
        const double type = Value(param::DistortionType);
        readout::DistortionType(text.Buffer(), Korvane::Distortion::TypeIndex(type), Korvane::Distortion::TypeName(type));
        show(Readout::DistortionType, text.View());
        break;
    }
    case param::DistortionInterpMode:
        show(Readout::Interpolation, readout::Interpolation(distortion_.Interpolation()));
        break;
    case param::DynShaperType:
        show(Readout::ShaperShape, readout::ShaperType(dynShaper_.GetShape()));
        show(Readout::ShaperMode, readout::ShaperMode(dynShaper_.GetMode()));
        break;
    case param::DynShaperMode:
        show(Readout::ShaperMode, readout::ShaperMode(dynShaper_.GetMode()));
        break;
    case param::Quantization:
        readout::Bits(text.Buffer(), bitCrusher_.Bits());
        show(Readout::Bits, text.View());
        break;
    case param::SampleRate:
        readout::ReducedRate(text.Buffer(), engineSampleRate_, distortion_.HoldLength(), value);
        show(Readout::ReducedRate, text.View());
        break;
    case param::Gate:
        readout::GateThreshold(text.Buffer(), value, distortion_.GateThreshold());
        show(Readout::Gate, text.View());
        break;
    case param::FilterType:
        readout::FilterBlend(text.Buffer(), value);
        show(Readout::FilterType, text.View());
        break;
    case param::FilterCutoff: {
        // The first design of the global filter stands for all of them.
        const Dsp::Filter& design = globalFilter_.Path1Design(0);
        const int frequency = design.FindParamId(Dsp::idFrequency);
        if (frequency < 0) break;
        readout::Hertz(text.Buffer(), design.GetParams()[static_cast<std::size_t>(frequency)]);
        show(Readout::FilterCutoff, text.View());
        break;
    }
    case param::FilterMode1:
        show(Readout::FilterMode1, Korvane::FilterUnit::Mode1Name(value));
        break;
    case param::FilterMode2:
        show(Readout::FilterMode2, Korvane::FilterUnit::Mode2Name(value));
        break;
    case param::FilterTransition:
        show(Readout::FilterTransition, readout::Transition(Korvane::SelectorPosition(std::clamp(value, 0.0, 1.0), 3)));
        break;
    case param::RingModulationWaveForm:
        show(Readout::RingWaveform, readout::RingWaveform(ringModulator_.GetWaveform()));
        break;
    default:
        break;  // no read-out of its own
    }
}

void Dunerow::RefreshOscillatorDisplay(int oscillator) {
    const double shape = Value(kWaveformParameters[static_cast<std::size_t>(oscillator)]);
    ReadoutText text;
    readout::WaveformCaption(text.Buffer(), Korvane::WaveformProvider::IndexOf(shape), Korvane::WaveformProvider::GetName(shape));
    readouts_.Set(kWaveformNames[static_cast<std::size_t>(oscillator)], text.View());
    RefreshWaveformPreview(oscillator);
}

void Dunerow::RefreshWaveformPreview(int oscillator) {
    const auto at = static_cast<std::size_t>(oscillator);
    // The voices fold a waveform from an invert value above one half.
    const bool invert = Value(kInvertParameters[at]) > 0.5;
    waveforms_.RenderPreview(Value(kWaveformParameters[at]), invert, waveformScratch_);
    waveformPreviews_[at].Publish(waveformScratch_);
}

void Dunerow::RefreshEnvelopeDisplay(bool volume) {
    Korvane::ADSR& envelope = volume ? volumeEnvelopeDisplay_ : filterEnvelopeDisplay_;
    const double duration = envelope.TimeScale();
    ReadoutText text;
    readout::Seconds(text.Buffer(), envelope.Attack() * duration);
    readouts_.Set(volume ? Readout::AttackTime : Readout::FilterAttackTime, text.View());
    readout::Seconds(text.Buffer(), envelope.Decay() * duration);
    readouts_.Set(volume ? Readout::DecayTime : Readout::FilterDecayTime, text.View());
    readout::Seconds(text.Buffer(), envelope.ReleaseTime() * duration);
    readouts_.Set(volume ? Readout::ReleaseTime : Readout::FilterReleaseTime, text.View());
    envelope.RenderPreview(envelopeScratch_);
    (volume ? volumeEnvelopePreview_ : filterEnvelopePreview_).Publish(envelopeScratch_);
}

void Dunerow::RefreshPitchDisplay() {
    pitchEnvelope_.RenderPreview(pitchScratch_);
    pitchEnvelopePreview_.Publish(pitchScratch_);
}

void Dunerow::RefreshDistortionDisplays() {
    distortion_.FillCurveDisplay(waveScratch_, curveScratch_);
    distortionWavePreview_.Publish(waveScratch_);
    distortionCurvePreview_.Publish(curveScratch_);
}

void Dunerow::RefreshShaperDisplays() {
    dynShaper_.FillShaperDisplay(curveScratch_, waveScratch_);
    shaperWavePreview_.Publish(waveScratch_);
    shaperCurvePreview_.Publish(curveScratch_);
}

void Dunerow::ShowNoteFrequency(int note) {
    std::array<char, 8> name{};
    FormatNoteName(note, name);
    ReadoutText text;
    readout::NoteFrequency(text.Buffer(), lastNoteFrequency_, name.data());
    readouts_.Set(Readout::NoteFrequency, text.View());
}
