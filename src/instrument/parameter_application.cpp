// How each parameter value reaches the engine: the store into the current
// program, then the conversions into voice, envelope and unit settings.
#include <algorithm>

#include "engine/laws.h"
#include "instrument/dunerow.h"

namespace {

// The oscillator (0..2) a per-oscillator parameter belongs to, or -1.
int OscillatorOf(int index, int first1, int first2, int first3) {
    if (index == first1) return 0;
    if (index == first2) return 1;
    if (index == first3) return 2;
    return -1;
}

}  // namespace

void Dunerow::ApplyParameter(int index) {
    auto lock = ScopedLock();
    const PluginParam* parameter = GetParam(index);
    if (parameter == nullptr) return;
    const double value = parameter->Value();
    const auto at = static_cast<std::size_t>(index);
    // Hosts re-send values they sent before, some before every block: a
    // value the engine already has would only restart fades and glides, so
    // it goes no further than the editor.
    if (!engineHolds_[at] || currentProgram_[at] != value) {
        engineHolds_[at] = true;
        currentProgram_[at] = value;
        if (index <= param::FmAmount) {
            ApplyVoiceParameter(index, value);
        } else {
            ApplyEffectParameter(index, value);
        }
        // Which shape section the editor draws bright: the one changed last.
        switch (index) {
        case param::DistortionOnOff:
        case param::Distortion:
        case param::DistortionType:
        case param::DistortionInterpMode:
            shapeDisplayOrder_.store(0, std::memory_order_release);
            break;
        case param::DynShaper:
        case param::DynShaperInvert:
        case param::DynShaperType:
        case param::DynShaperMode:
            shapeDisplayOrder_.store(1, std::memory_order_release);
            break;
        default:
            break;
        }
    }
    // Setting the limit, even to the ceiling in force, restarts the displayed maximum.
    if (index == param::LimitOutput) peakMeter_.RequestReset();
    if (HasEditor()) {
        RefreshDisplaysOf(index);
        TellEditor(index, parameter->GetNormalizedValue());
    }
}

void Dunerow::SyncRingFrequency(double multiplier) {
    auto lock = ScopedLock();
    const double maximum = Korvane::RingModulator::kMaximumFrequencyHz;
    const double normalised = std::min(lastNoteFrequency_ * multiplier, maximum) / maximum;
    ringModulator_.SetFrequency(normalised);
    currentProgram_[param::RingModulationFrequency] = normalised;
    if (HasEditor()) TellEditor(param::RingModulationFrequency, normalised);
    GetParam(param::RingModulationFrequency)->SetFromNormalized(normalised);
}

void Dunerow::ApplyEffectParameter(int index, double value) {
    auto bothFilters = [this](auto&& apply) {
        apply(globalFilter_);
        apply(bassLayerFilter_);
    };
    switch (index) {
    case param::FilterOnOff:
        bothFilters([&](Korvane::FilterUnit& filter) { filter.SetBypassed(value == 0.0); });
        break;
    case param::FilterInputDrive:
        bothFilters([&](Korvane::FilterUnit& filter) { filter.SetDrive(value); });
        break;
    case param::FilterType:
        bothFilters([&](Korvane::FilterUnit& filter) { filter.SetBlend(value); });
        break;
    case param::FilterMode1:
        bothFilters([&](Korvane::FilterUnit& filter) { filter.SetMode1(value); });
        break;
    case param::FilterMode2:
        bothFilters([&](Korvane::FilterUnit& filter) { filter.SetMode2(value); });
        break;
    case param::FilterCutoff:
        bothFilters([&](Korvane::FilterUnit& filter) { filter.SetCutoff(value); });
        break;
    case param::FilterResonance:
        bothFilters([&](Korvane::FilterUnit& filter) { filter.SetResonance(value); });
        break;
    case param::FilterTransition:
        bothFilters([&](Korvane::FilterUnit& filter) { filter.SetTransitionLength(value); });
        break;
    case param::BassAmount:
        equalizer_.SetBass(value);
        break;
    case param::MidAmount:
        equalizer_.SetMid(value);
        break;
    case param::HighAmount:
        equalizer_.SetHigh(value);
        break;
    case param::DumpExpand:
        dumpExpand_.SetPosition(value);
        bassLayerDumpExpand_.SetPosition(value);
        break;
    case param::DistortionOnOff:
        distortion_.SetBypassed(value == 0.0);
        dynShaper_.SetBypassed(value == 0.0);
        bitCrusher_.SetBypassed(value == 0.0);
        break;
    case param::Distortion:
        distortion_.SetDrive(value);
        break;
    case param::DistortionType:
        distortion_.SetType(value);
        break;
    case param::DistortionLoudness:
        distortion_.SetLoudness(value != 0.0);
        break;
    case param::DistortionInterpMode:
        distortion_.SetInterpolation(Korvane::SelectorPosition(value, 5));
        break;
    case param::DynShaper:
        dynShaper_.SetAmount(value * value);
        break;
    case param::DynShaperInvert:
        dynShaper_.SetInvert(value != 0.0);
        break;
    case param::DynShaperType:
        dynShaper_.SetShape(Korvane::SelectorPosition(value, 3));
        break;
    case param::DynShaperMode:
        dynShaper_.SetMode(Korvane::SelectorPosition(value, 4));
        break;
    case param::Quantization:
        bitCrusher_.SetAmount(value);
        break;
    case param::SampleRate:
        distortion_.SetReduction(value);
        break;
    case param::Gate:
        distortion_.SetGate(value);
        break;
    case param::ModulationOnOff:
        ringModulator_.SetBypassed(value == 0.0);
        phaser_.SetBypassed(value == 0.0);
        break;
    case param::RingModulationAmount:
        ringModulator_.SetAmount(value);
        break;
    case param::RingModulationFrequency:
        ringModulator_.SetFrequency(value);
        break;
    case param::RingModulationWaveForm:
        ringModulator_.SetWaveform(Korvane::SelectorPosition(value, 5));
        break;
    case param::PhaserDepth:
        phaser_.SetDepth(value);
        break;
    case param::PhaserFeedback:
        phaser_.SetFeedback(value);
        break;
    case param::PhaserRate:
        phaser_.SetRate(value);
        break;
    default:
        break;  // the output stage reads its values from the program
    }
}

void Dunerow::ApplyVoiceParameter(int index, double value) {
    auto& voices = voicePool_.Voices();
    auto forEachVoice = [&voices](auto&& apply) {
        for (Korvane::Note& voice : voices) apply(voice);
    };
    auto forEachEnvelope = [&](bool volume, auto&& apply) {
        for (Korvane::Note& voice : voices) apply(volume ? voice.VolumeEnvelope() : voice.FilterEnvelope());
        apply(volume ? volumeEnvelopeDisplay_ : filterEnvelopeDisplay_);
    };

    if (const int k = OscillatorOf(index, param::OscFreq1, param::OscFreq2, param::OscFreq3); k >= 0) {
        const double factor = Korvane::FineTuneFactor(value);
        forEachVoice([&](Korvane::Note& voice) { voice.SetFineFactor(k, factor); });
        return;
    }
    if (const int k = OscillatorOf(index, param::OscPitch1, param::OscPitch2, param::OscPitch3); k >= 0) {
        const double factor = Korvane::OctaveFactor(value);
        forEachVoice([&](Korvane::Note& voice) { voice.SetPitchFactor(k, factor); });
        return;
    }
    if (const int k = OscillatorOf(index, param::OscModFrequency1, param::OscModFrequency2, param::OscModFrequency3); k >= 0) {
        forEachVoice([&](Korvane::Note& voice) { voice.SetLfoRate(k, value); });
        return;
    }

    switch (index) {
    case param::EnvAttack:
    case param::FilterAttack:
        forEachEnvelope(index == param::EnvAttack, [&](Korvane::ADSR& envelope) { envelope.SetAttack(value); });
        break;
    case param::EnvDecay:
    case param::FilterDecay:
        forEachEnvelope(index == param::EnvDecay, [&](Korvane::ADSR& envelope) { envelope.SetDecay(value); });
        break;
    case param::EnvSustain:
    case param::FilterSustain:
        forEachEnvelope(index == param::EnvSustain, [&](Korvane::ADSR& envelope) { envelope.SetSustain(value); });
        break;
    case param::EnvRelease:
    case param::FilterRelease:
        forEachEnvelope(index == param::EnvRelease, [&](Korvane::ADSR& envelope) { envelope.SetRelease(value); });
        break;
    case param::EnvDuration:
    case param::FilterDuration:
        forEachEnvelope(index == param::EnvDuration, [&](Korvane::ADSR& envelope) { envelope.SetTimeScale(5.0 * value); });
        break;
    case param::GlobalTranspose:
        transposeFactor_ = Korvane::OctaveFactor(value);
        forEachVoice([](Korvane::Note& voice) { voice.UpdateTranspose(); });
        break;
    case param::PitchOnOff:
        pitchEnvelope_.SetDisabled(value == 0.0);
        break;
    case param::PitchAmount:
        pitchEnvelope_.SetAmount(value);
        break;
    case param::PitchDuration:
        pitchEnvelope_.SetDurationSeconds(2.0 * value);
        break;
    case param::PitchPower:
        pitchEnvelope_.SetPower(value <= 0.002 ? 0.002 : value);
        break;
    case param::PitchDown:
        pitchEnvelope_.SetDown(value);
        break;
    case param::UnisonVoices: {
        const int count = value >= 0.5 ? 2 : 1;  // floor(v + 0.5) + 1 over the parameter's range
        forEachVoice([&](Korvane::Note& voice) { voice.SetUnisonCount(count); });
        break;
    }
    case param::UnisonDetune:
        forEachVoice([&](Korvane::Note& voice) { voice.SetUnisonDetune(value); });
        break;
    case param::FmAmount:
        forEachVoice([&](Korvane::Note& voice) { voice.SetFmDepth(value); });
        break;
    default:
        break;  // read directly from the program by the voices
    }
}
