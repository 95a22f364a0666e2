#include "engine/note.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/click_waveforms.h"
#include "engine/laws.h"
#include "instrument/parameter_table.h"

namespace Korvane {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kLfoDepth = 0.5;
constexpr double kLfoMaximumRateHz = 20.0;
constexpr double kFmIndex = 0.7135571323079999;
constexpr double kRingTrim = 0.99777;
constexpr double kClickSampleRate = 44100.0;
constexpr double kKickFrequencyHz = 44.0;

// Parameter indices of one oscillator's roles.
struct OscillatorParameters {
    int on, shape, volume, saturation, pan, filterType, cutoff, resonance, invert, ring, vibrato, filterMod, envInvert;
};

constexpr std::array<OscillatorParameters, Note::kOscillators> kOscillatorParameters = {{
    {param::Osc1OnOff, param::OscWaveform1, param::OscVolume1, param::OscSat1, param::OscPan1, param::OscFilterType1,
     param::OscFilterCutoff1, param::OscFilterResonance1, param::OscInvertWaveform1, param::OscRingModAmount1,
     param::OscFreqModAmount1, param::OscFiltModAmount1, param::Osc1InvertFilEnv},
    {param::Osc2OnOff, param::OscWaveform2, param::OscVolume2, param::OscSat2, param::OscPan2, param::OscFilterType2,
     param::OscFilterCutoff2, param::OscFilterResonance2, param::OscInvertWaveform2, param::OscRingModAmount2,
     param::OscFreqModAmount2, param::OscFiltModAmount2, param::Osc2InvertFilEnv},
    {param::Osc3OnOff, param::OscWaveform3, param::OscVolume3, param::OscSat3, param::OscPan3, param::OscFilterType3,
     param::OscFilterCutoff3, param::OscFilterResonance3, param::OscInvertWaveform3, param::OscRingModAmount3,
     param::OscFreqModAmount3, param::OscFiltModAmount3, param::Osc3InvertFilEnv},
}};

const OscillatorParameters& ParametersOf(int oscillator) { return kOscillatorParameters[static_cast<std::size_t>(oscillator)]; }

}  // namespace

Note::Note()
    : filterLfos_{Modulator(kLfoDepth, kLfoMaximumRateHz), Modulator(kLfoDepth, kLfoMaximumRateHz),
                  Modulator(kLfoDepth, kLfoMaximumRateHz)},
      tuneLfos_{Modulator(kLfoDepth, kLfoMaximumRateHz), Modulator(kLfoDepth, kLfoMaximumRateHz),
                Modulator(kLfoDepth, kLfoMaximumRateHz)} {}

void Note::SetSampleRate(double rate) {
    AudioProcessingUnit::SetSampleRate(rate);
    volumeEnvelope_.SetSampleRate(rate);
    filterEnvelope_.SetSampleRate(rate);
    for (Modulator& lfo : filterLfos_) lfo.SetSampleRate(rate);
    for (Modulator& lfo : tuneLfos_) lfo.SetSampleRate(rate);
    fm_.SetSampleRate(rate);
    for (Oscillator& oscillator : oscillators_) oscillator.highPass.SetSampleRate(rate);
    clickStartFrames_ = static_cast<int64_t>(rate * kClickStartSeconds);
    clickLengthFrames_ = static_cast<int64_t>(rate * kClickLengthSeconds);
    ClearFilters();
}

void Note::EnsureCapacity(int frames) {
    if (frames <= capacity_) return;
    capacity_ = frames;
    const auto size = static_cast<std::size_t>(frames);
    for (Oscillator& oscillator : oscillators_) oscillator.buffer.assign(size, 0.0);
    bassBuffer_.assign(size, 0.0);
    clickBuffer_.assign(size, 0.0);
}

void Note::ClearFilters() {
    for (Oscillator& oscillator : oscillators_) {
        oscillator.lowPass.Reset();
        oscillator.highPass.Reset();
    }
}

void Note::SetLfoRate(int oscillator, double normalisedRate) {
    filterLfos_[static_cast<std::size_t>(oscillator)].SetNormalisedRate(normalisedRate);
    tuneLfos_[static_cast<std::size_t>(oscillator)].SetNormalisedRate(normalisedRate);
}

void Note::SetUnisonCount(int count) { unisonCount_ = std::clamp(count, 1, 2); }

void Note::UpdateTranspose() {
    if (!context_.transposeFactor) return;
    const double transposed = noteFrequency_ * *context_.transposeFactor;
    fm_.SetNormalisedRate(transposed / FmModulator::kMaximumRateHz);
    fm_.SetIncrement(kTwoPi * transposed / SampleRate());  // exactly the note's rate at the voice's sample rate
}

void Note::SetNoteNumber(int note) {
    if (!IsIdle() || !context_.IsComplete()) return;
    noteNumber_ = note;
    const double kickMode = Parameter(param::KickTransposeMode);
    if (kickMode == 0.0) {
        noteFrequency_ = 880.0 * std::pow(2.0, (note - 69) / 12.0);
        octaveIndex_ = note < 24 ? 0 : std::min(note / 12 - 1, 7);
    } else {
        noteFrequency_ = kKickFrequencyHz;
        octaveIndex_ = kickMode >= 0.5 ? WaveformProvider::kUnfiltered : 0;
    }
    normalisedFrequency_ = noteFrequency_ / SampleRate();
    UpdateTranspose();
}

void Note::Start(int velocity) {
    volumeEnvelope_.Restart();
    filterEnvelope_.Restart();
    volumeEnvelopeValue_ = 0.0;
    framesSinceStart_ = 0;
    writeIndex_ = 0;
    frameOffset_ = 0;
    pendingReleaseFrame_ = kNoPendingRelease;
    for (Oscillator& oscillator : oscillators_) {
        oscillator.phase = 0.0;
        oscillator.twinPhase = 0.0;
        std::ranges::fill(oscillator.buffer, 0.0);
    }
    bassPhase_ = 0.0;
    clickPhase_ = 0.0;
    std::ranges::fill(bassBuffer_, 0.0);
    std::ranges::fill(clickBuffer_, 0.0);
    if (context_.IsComplete()) AdvancePhases(1.0);
    for (Modulator& lfo : filterLfos_) lfo.SetPhase(0.0);
    for (Modulator& lfo : tuneLfos_) lfo.SetPhase(0.0);
    fm_.SetPhase(0.0);
    ClearFilters();
    velocity_ = velocity;
    velocityGain_ = velocity / 127.0;
}

void Note::ReleaseAt(int frame) {
    if (pendingReleaseFrame_ == kNoPendingRelease || frame < pendingReleaseFrame_) pendingReleaseFrame_ = frame;
}

double Note::RenderOscillator(int oscillator, double shape, bool invert) const {
    const Oscillator& state = oscillators_[static_cast<std::size_t>(oscillator)];
    double sum = 0.0;
    for (int voice = 0; voice < unisonCount_; ++voice) {
        const double phase = voice == 0 ? state.phase : state.twinPhase;
        double sample = context_.waveforms->GetSample(shape, phase, octaveIndex_);
        if (invert) sample = FoldInverted(sample);
        sum += sample;
    }
    return sum / unisonCount_;
}

void Note::AdvancePhases(double pitch) {
    std::array<double, kOscillators> vibrato{};
    for (int k = 0; k < kOscillators; ++k) {
        // Without vibrato the ratio is exactly 1; the sine of the LFO is not needed.
        const double amount = Parameter(ParametersOf(k).vibrato);
        if (amount == 0.0) {
            vibrato[static_cast<std::size_t>(k)] = 1.0;
            continue;
        }
        const double depth = tuneLfos_[static_cast<std::size_t>(k)].Value() * amount;
        vibrato[static_cast<std::size_t>(k)] = SemitoneRatio(depth, kVoiceSemitoneStep);
    }
    const double base = (1.0 + kFmIndex * fm_.Value()) * normalisedFrequency_ * *context_.transposeFactor;
    bassPhase_ += normalisedFrequency_ * pitch;
    const double twinRatio = 1.0 + unisonDetune_ * kVoiceSemitoneStep;
    for (int k = 0; k < kOscillators; ++k) {
        const auto at = static_cast<std::size_t>(k);
        Oscillator& oscillator = oscillators_[at];
        oscillator.phase += base * pitchFactor_[at] * fineFactor_[at] * vibrato[at] * pitch;
        oscillator.twinPhase = oscillator.phase / twinRatio;
    }
    for (Modulator& lfo : tuneLfos_) lfo.Advance();
    fm_.Advance();
}

double Note::RenderClick() {
    const double amount = Parameter(param::BassLayerClick);
    const auto frame = static_cast<int64_t>(framesSinceStart_);

    double synthetic = 0.0;
    std::array<double, 4> stored{};
    if (amount <= 0.2) {
        synthetic = 5.0 * amount;
    } else if (amount <= 0.4) {
        stored[0] = 5.0 * (amount - 0.2);
        synthetic = 1.0 - stored[0];
    } else if (amount <= 0.6) {
        stored[1] = 5.0 * (amount - 0.4);
        stored[0] = 1.0 - stored[1];
    } else if (amount <= 0.8) {
        stored[2] = 5.0 * (amount - 0.6);
        stored[1] = 1.0 - stored[2];
    } else {
        stored[3] = 5.0 * (amount - 0.8);
        stored[2] = 1.0 - stored[3];
        synthetic = stored[3] * stored[3];
    }

    double sample = 0.0;
    if (frame > clickStartFrames_ && frame < clickStartFrames_ + clickLengthFrames_) {
        const double progress = static_cast<double>(frame - clickStartFrames_) / static_cast<double>(clickLengthFrames_);
        const double envelope = std::pow(1.0 - progress, 20.0);
        sample = std::sin(clickPhase_) * envelope * synthetic * amount;
        clickPhase_ += std::pow(envelope, 20.0);
    }

    // The stored clicks are sampled at 44100 Hz; a click that has ended contributes nothing.
    const double position = std::floor(kClickSampleRate / SampleRate() * static_cast<double>(framesSinceStart_));
    double storedSum = 0.0;
    for (std::size_t click = 0; click < kClickWaveforms.size(); ++click) {
        const auto& table = kClickWaveforms[click];
        if (stored[click] != 0.0 && position < static_cast<double>(table.size())) {
            storedSum += stored[click] * table[static_cast<std::size_t>(position)] * kStoredSampleScale;
        }
    }
    return sample - amount * storedSum;
}

void Note::GenerateSample() {
    if (IsBypassed() || !context_.IsComplete()) return;
    const int write = writeIndex_ + frameOffset_;
    if (write >= 0 && write < capacity_) {
        const auto at = static_cast<std::size_t>(write);
        for (int k = 0; k < kOscillators; ++k) {
            const OscillatorParameters& roles = ParametersOf(k);
            if (Parameter(roles.volume) > 0.0 && Parameter(roles.on) > 0.5) {
                oscillators_[static_cast<std::size_t>(k)].buffer[at] =
                    RenderOscillator(k, Parameter(roles.shape), Parameter(roles.invert) > 0.5);
            }
        }
        if (Parameter(param::BassLayerAmount) > 0.0) bassBuffer_[at] = std::sin(kTwoPi * bassPhase_);
        if (Parameter(param::BassLayerClick) > 0.0) clickBuffer_[at] = RenderClick();
    }
    if (++writeIndex_ >= capacity_) writeIndex_ = 0;
    ++framesSinceStart_;
    const double seconds = static_cast<double>(framesSinceStart_) / SampleRate();
    AdvancePhases(context_.pitchEnvelope->Value(seconds));
}

double Note::ProcessOscillatorSample(double x, double saturation, double lfo, int oscillator, double filterEnvelope,
                                     double volume) {
    const OscillatorParameters& roles = ParametersOf(oscillator);
    const double ring = Parameter(roles.ring);
    const double filterMod = Parameter(roles.filterMod);
    const double cutoff = Parameter(roles.cutoff);
    const double type = Parameter(roles.filterType);
    const double resonance = Parameter(roles.resonance);
    const bool invertEnvelope = Parameter(roles.envInvert) > 0.0;

    if (saturation > 0.0) x = Saturate(x, saturation);

    const double base = (invertEnvelope ? (1.0 - filterEnvelope) * cutoff : cutoff * filterEnvelope) * (1.0 - filterMod);
    const double modulatedCutoff = std::clamp(base + base * lfo * filterMod, 0.0, 1.0);

    x *= 1.0 - ring;
    x += x * lfo * ring;
    x *= kRingTrim;

    Oscillator& state = oscillators_[static_cast<std::size_t>(oscillator)];
    const double lowPassed = state.lowPass.Process(x, modulatedCutoff, resonance);
    const double highPassed = state.highPass.Process(x, modulatedCutoff, resonance);
    return ((1.0 - type) * lowPassed + type * highPassed) * volume;
}

void Note::MixBlock(double* mixLeft, double* mixRight, double* bassLayer, int frames) {
    if (!context_.IsComplete()) return;
    frames = std::min(frames, capacity_);
    // A note's first block starts at its frame offset; later blocks at 0.
    const int first = std::clamp(frameOffset_, 0, std::max(frames, 0));
    frameOffset_ = 0;

    for (int j = first; j < frames; ++j) {
        const auto at = static_cast<std::size_t>(j);
        if (pendingReleaseFrame_ != kNoPendingRelease && j >= pendingReleaseFrame_) {
            volumeEnvelope_.Release();
            filterEnvelope_.Release();
            pendingReleaseFrame_ = kNoPendingRelease;
        }
        double left = 0.0;
        double right = 0.0;
        const double filterEnvelope = filterEnvelope_.Output();
        for (int k = 0; k < kOscillators; ++k) {
            const OscillatorParameters& roles = ParametersOf(k);
            if (!(Parameter(roles.on) > 0.5)) continue;
            Oscillator& oscillator = oscillators_[static_cast<std::size_t>(k)];
            const double volume = oscillator.volume.Step(Parameter(roles.volume));
            const double pan = oscillator.pan.Step(Parameter(roles.pan));
            const double saturation = oscillator.saturation.Step(Parameter(roles.saturation));
            // The filter LFO is heard only through filter modulation or ring.
            const bool lfoHeard = Parameter(roles.filterMod) != 0.0 || Parameter(roles.ring) != 0.0;
            const double lfo = lfoHeard ? filterLfos_[static_cast<std::size_t>(k)].Value() : 0.0;
            const double y = ProcessOscillatorSample(oscillator.buffer[at], saturation, lfo, k, filterEnvelope, volume);
            oscillator.buffer[at] = y;
            if (pan < 0.5) {
                right += 2.0 * pan * y;
                left += y;
            } else {
                right += y;
                left += (1.0 - 2.0 * (pan - 0.5)) * y;
            }
        }
        const double gain = velocityGain_ * volumeEnvelopeValue_;
        mixLeft[j] += gain * left + gain * clickBuffer_[at];
        mixRight[j] += gain * right + gain * clickBuffer_[at];
        bassLayer[j] += gain * bassBuffer_[at];

        for (Modulator& lfo : filterLfos_) lfo.Advance();
        volumeEnvelope_.Advance(1);
        filterEnvelope_.Advance(1);
        volumeEnvelopeValue_ = volumeEnvelope_.Output();
        if (IsIdle()) break;  // the note has ended; nothing of it moves further
    }
    writeIndex_ = 0;
    // A release due beyond this block applies from the start of the next one.
    if (pendingReleaseFrame_ != kNoPendingRelease) pendingReleaseFrame_ = 0;
}

}  // namespace Korvane
