#include "engine/note.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/block_kernels.h"
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

// Frames of the longest stored click, at its 44100 Hz rate.
std::size_t LongestStoredClick() {
    std::size_t longest = 0;
    for (const auto& table : kClickWaveforms) longest = std::max(longest, table.size());
    return longest;
}

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
    clickStartFrames_ = static_cast<int64_t>(rate * kClickStartSeconds);
    clickLengthFrames_ = static_cast<int64_t>(rate * kClickLengthSeconds);
    clickEnded_ = false;
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

void Note::ClearFilters() { filters_.Reset(); }

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
    clickEnded_ = false;
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

void Note::RenderOscillator(int oscillator, const Chunk& phase, const Chunk& twinPhase, Chunk& out, int count) const {
    const OscillatorParameters& roles = ParametersOf(oscillator);
    const double shape = Parameter(roles.shape);
    const bool invert = Parameter(roles.invert) > 0.5;
    context_.waveforms->GetSamples(shape, phase.data(), out.data(), count, octaveIndex_);
    if (invert) kernels::FoldInverted(out.data(), count);
    if (unisonCount_ < 2) return;
    Chunk twin;
    context_.waveforms->GetSamples(shape, twinPhase.data(), twin.data(), count, octaveIndex_);
    if (invert) kernels::FoldInverted(twin.data(), count);
    kernels::MeanOfTwo(out.data(), twin.data(), out.data(), count);
}

bool Note::DrawsSharedNoise() const {
    if (!context_.IsComplete()) return false;
    for (int k = 0; k < kOscillators; ++k) {
        const OscillatorParameters& roles = ParametersOf(k);
        if (Parameter(roles.volume) > 0.0 && Parameter(roles.on) > 0.5 &&
            WaveformProvider::IndexOf(Parameter(roles.shape)) == WaveformProvider::kWhiteNoise) {
            return true;
        }
    }
    return false;
}

std::array<double, Note::kOscillators> Note::VibratoAmounts() const {
    std::array<double, kOscillators> amounts{};
    for (int k = 0; k < kOscillators; ++k) amounts[static_cast<std::size_t>(k)] = Parameter(ParametersOf(k).vibrato);
    return amounts;
}

void Note::AdvancePhases(double pitch) {
    AdvanceMainPhases(pitch, VibratoAmounts());
    const double twinRatio = TwinRatio();
    for (Oscillator& oscillator : oscillators_) oscillator.twinPhase = oscillator.phase / twinRatio;
}

void Note::AdvanceMainPhases(double pitch, const std::array<double, kOscillators>& vibratoAmounts) {
    std::array<double, kOscillators> vibrato{};
    for (std::size_t k = 0; k < kOscillators; ++k) {
        // Without vibrato the ratio is exactly 1; the sine of the LFO is not needed.
        const double amount = vibratoAmounts[k];
        vibrato[k] = amount == 0.0 ? 1.0 : SemitoneRatio(tuneLfos_[k].Value() * amount, kVoiceSemitoneStep);
    }
    const double base = (1.0 + kFmIndex * fm_.Value()) * normalisedFrequency_ * *context_.transposeFactor;
    bassPhase_ += normalisedFrequency_ * pitch;
    for (std::size_t k = 0; k < kOscillators; ++k) {
        oscillators_[k].phase += base * pitchFactor_[k] * fineFactor_[k] * vibrato[k] * pitch;
    }
    for (Modulator& lfo : tuneLfos_) lfo.Advance();
    fm_.Advance();
}

double Note::RenderClick() {
    const double amount = Parameter(param::BassLayerClick);
    const auto frame = static_cast<int64_t>(framesSinceStart_);
    // Past the synthetic window and the longest stored click nothing sounds.
    if (clickEnded_) return 0.0;
    if (frame >= clickStartFrames_ + clickLengthFrames_ &&
        std::floor(kClickSampleRate / SampleRate() * static_cast<double>(framesSinceStart_)) >= static_cast<double>(LongestStoredClick())) {
        clickEnded_ = true;
        return 0.0;
    }

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

void Note::GenerateFrames(int count) {
    if (IsBypassed() || !context_.IsComplete()) return;
    while (count > 0) {
        const int chunk = std::min(count, kChunk);
        GenerateChunk(chunk);
        count -= chunk;
    }
}

void Note::GenerateChunk(int count) {
    std::array<bool, kOscillators> sounding{};
    for (int k = 0; k < kOscillators; ++k) {
        const OscillatorParameters& roles = ParametersOf(k);
        sounding[static_cast<std::size_t>(k)] = Parameter(roles.volume) > 0.0 && Parameter(roles.on) > 0.5;
    }
    const bool bassOn = Parameter(param::BassLayerAmount) > 0.0;
    const bool clickOn = Parameter(param::BassLayerClick) > 0.0;

    // The recursive part: the phases of every frame, then the step to the next.
    std::array<Chunk, kOscillators> phases;
    std::array<Chunk, kOscillators> twinPhases;
    Chunk bassPhases;
    Chunk clicks;
    // Frames from the chunk's start that land inside the buffers.
    const int firstWrite = writeIndex_ + frameOffset_;
    const int writable = firstWrite >= 0 && firstWrite < capacity_ ? std::min(count, capacity_ - firstWrite) : 0;
    for (std::size_t k = 0; k < kOscillators; ++k) twinPhases[k][0] = oscillators_[k].twinPhase;
    // What a frame renders from: the phases before its step, and its click.
    auto record = [&](int i, const std::array<double, kOscillators>& phase, double bass) {
        if (i >= writable) return;
        const auto at = static_cast<std::size_t>(i);
        for (std::size_t k = 0; k < kOscillators; ++k) phases[k][at] = phase[k];
        bassPhases[at] = bass;
        if (clickOn) clicks[at] = RenderClick();
    };
    const std::array<double, kOscillators> vibratoAmounts = VibratoAmounts();
    const bool steady = fm_.IsSilent() && std::ranges::all_of(vibratoAmounts, [](double amount) { return amount == 0.0; });
    if (steady) {
        // Without vibrato and FM each phase steps by a fixed amount times the
        // pitch sweep; the same products as a frame-by-frame step, in registers.
        const double base = (1.0 + kFmIndex * fm_.Value()) * normalisedFrequency_ * *context_.transposeFactor;
        std::array<double, kOscillators> phase{};
        std::array<double, kOscillators> step{};
        for (std::size_t k = 0; k < kOscillators; ++k) {
            phase[k] = oscillators_[k].phase;
            step[k] = base * pitchFactor_[k] * fineFactor_[k];
        }
        double bass = bassPhase_;
        const double rate = SampleRate();
        // Once the sweep is over the pitch factor holds still for the whole chunk.
        const PitchEnvelope& sweep = *context_.pitchEnvelope;
        const double firstSeconds = static_cast<double>(framesSinceStart_ + 1) / rate;
        const bool pitchSteady = firstSeconds >= sweep.SteadyFromSeconds();
        const double steadyPitch = sweep.Value(firstSeconds);
        for (int i = 0; i < count; ++i) {
            record(i, phase, bass);
            ++framesSinceStart_;
            const double pitch = pitchSteady ? steadyPitch : sweep.Value(static_cast<double>(framesSinceStart_) / rate);
            bass += normalisedFrequency_ * pitch;
            for (std::size_t k = 0; k < kOscillators; ++k) phase[k] += step[k] * pitch;
        }
        for (std::size_t k = 0; k < kOscillators; ++k) oscillators_[k].phase = phase[k];
        bassPhase_ = bass;
        AdvanceTogether(tuneLfos_, {}, count);
        double fmPhase = fm_.Phase();
        for (int i = 0; i < count; ++i) fmPhase += fm_.Increment();
        fm_.SetPhase(fmPhase);
    } else {
        for (int i = 0; i < count; ++i) {
            record(i, {oscillators_[0].phase, oscillators_[1].phase, oscillators_[2].phase}, bassPhase_);
            ++framesSinceStart_;
            const double seconds = static_cast<double>(framesSinceStart_) / SampleRate();
            AdvanceMainPhases(context_.pitchEnvelope->Value(seconds), vibratoAmounts);
        }
    }
    // The write position wraps at the buffers' end.
    writeIndex_ = capacity_ > 0 ? (writeIndex_ + count) % capacity_ : 0;
    // The twin phases follow from the main ones; the first frame's was left by the last step.
    const double twinRatio = TwinRatio();
    for (std::size_t k = 0; k < kOscillators; ++k) {
        if (unisonCount_ > 1 && writable > 1) kernels::Divide(phases[k].data() + 1, twinRatio, twinPhases[k].data() + 1, writable - 1);
        oscillators_[k].twinPhase = oscillators_[k].phase / twinRatio;
    }
    if (writable == 0) return;

    const auto first = static_cast<std::size_t>(firstWrite);
    const auto frames = static_cast<std::size_t>(writable);
    for (std::size_t k = 0; k < kOscillators; ++k) {
        if (!sounding[k]) continue;
        Chunk samples;
        RenderOscillator(static_cast<int>(k), phases[k], twinPhases[k], samples, writable);
        std::copy_n(samples.begin(), frames, oscillators_[k].buffer.begin() + static_cast<std::ptrdiff_t>(first));
    }
    if (bassOn) kernels::SineOfCycles(bassPhases.data(), bassBuffer_.data() + first, writable);
    if (clickOn) std::copy_n(clicks.begin(), frames, clickBuffer_.begin() + static_cast<std::ptrdiff_t>(first));
}

void Note::MixBlock(double* mixLeft, double* mixRight, double* bassLayer, int frames) {
    if (!context_.IsComplete()) return;
    frames = std::min(frames, capacity_);
    // A note's first block starts at its frame offset; later blocks at 0.
    const int first = std::clamp(frameOffset_, 0, std::max(frames, 0));
    frameOffset_ = 0;

    for (int start = first; start < frames;) {
        const int count = std::min(kChunk, frames - start);
        const int mixed = MixChunk(mixLeft, mixRight, bassLayer, start, count);
        if (mixed < count || IsIdle()) break;  // the note has ended; nothing of it moves further
        start += count;
    }
    writeIndex_ = 0;
    // A release due beyond this block applies from the start of the next one.
    if (pendingReleaseFrame_ != kNoPendingRelease) pendingReleaseFrame_ = 0;
}

int Note::MixChunk(double* mixLeft, double* mixRight, double* bassLayer, int start, int count) {
    std::array<bool, kOscillators> on{};
    std::array<bool, kOscillators> lfoHeard{};
    for (std::size_t k = 0; k < kOscillators; ++k) {
        const OscillatorParameters& roles = ParametersOf(static_cast<int>(k));
        on[k] = Parameter(roles.on) > 0.5;
        // The filter LFO is heard only through filter modulation or ring.
        lfoHeard[k] = Parameter(roles.filterMod) != 0.0 || Parameter(roles.ring) != 0.0;
    }

    // The recursive part of the controls: envelopes, smoothers and LFO phases.
    Chunk filterEnvelope;
    Chunk gain;
    int mixed = 0;
    while (mixed < count) {
        const auto at = static_cast<std::size_t>(mixed);
        if (volumeEnvelope_.IsSettledInSustain() && filterEnvelope_.IsSettledInSustain()) {
            // Both envelopes hold still until the next release: their outputs fill the run.
            int run = count - mixed;
            if (pendingReleaseFrame_ != kNoPendingRelease) run = std::min(run, pendingReleaseFrame_ - (start + mixed));
            if (run > 0) {
                std::fill_n(filterEnvelope.begin() + mixed, run, filterEnvelope_.Output());
                gain[at] = velocityGain_ * volumeEnvelopeValue_;
                std::fill_n(gain.begin() + mixed + 1, run - 1, velocityGain_ * volumeEnvelope_.Output());
                volumeEnvelope_.AdvanceSettledSustain(run);
                filterEnvelope_.AdvanceSettledSustain(run);
                volumeEnvelopeValue_ = volumeEnvelope_.Output();
                mixed += run;
                continue;
            }
        }
        if (pendingReleaseFrame_ != kNoPendingRelease && start + mixed >= pendingReleaseFrame_) {
            volumeEnvelope_.Release();
            filterEnvelope_.Release();
            pendingReleaseFrame_ = kNoPendingRelease;
        }
        filterEnvelope[at] = filterEnvelope_.Output();
        gain[at] = velocityGain_ * volumeEnvelopeValue_;
        volumeEnvelope_.Advance(1);
        filterEnvelope_.Advance(1);
        volumeEnvelopeValue_ = volumeEnvelope_.Output();
        ++mixed;
        if (IsIdle()) break;
    }
    std::array<Chunk, kOscillators> volume;
    std::array<Chunk, kOscillators> pan;
    std::array<Chunk, kOscillators> saturation;
    std::array<Chunk, kOscillators> lfo;
    std::array<double*, kOscillators> lfoPhases{};
    for (std::size_t k = 0; k < kOscillators; ++k) {
        if (!on[k]) continue;
        const OscillatorParameters& roles = ParametersOf(static_cast<int>(k));
        Oscillator& oscillator = oscillators_[k];
        oscillator.volume.Run(Parameter(roles.volume), volume[k].data(), mixed);
        oscillator.pan.Run(Parameter(roles.pan), pan[k].data(), mixed);
        oscillator.saturation.Run(Parameter(roles.saturation), saturation[k].data(), mixed);
        if (!lfoHeard[k] || filterLfos_[k].IsSilent()) {
            std::fill_n(lfo[k].begin(), mixed, 0.0);
        } else if (filterLfos_[k].IsAudibleSine()) {
            lfoPhases[k] = lfo[k].data();  // its phases now, its values below for the whole chunk at once
        } else {
            Modulator square = filterLfos_[k];
            for (std::size_t i = 0; i < static_cast<std::size_t>(mixed); ++i) {
                lfo[k][i] = square.Value();
                square.Advance();
            }
        }
    }
    AdvanceTogether(filterLfos_, lfoPhases, mixed);

    // Per oscillator over the chunk: saturation, filter cutoff and ring
    // modulation, then laid out a frame at a time for the filters' lanes.
    constexpr std::size_t kLanes = OscillatorFilters::kLanes;
    std::array<Chunk, kLanes> input;
    std::array<Chunk, kLanes> cutoff;
    OscillatorFilters::Lanes resonance{};
    OscillatorFilters::Lanes type{};
    OscillatorFilters::Lanes active{};
    std::array<double*, kLanes> gains{};
    Chunk silence;
    std::fill_n(silence.begin(), mixed, 0.0);
    for (std::size_t k = 0; k < kLanes; ++k) {
        if (k >= kOscillators || !on[k]) {
            // A lane without an oscillator filters zeros and keeps its state.
            std::fill_n(input[k].begin(), mixed, 0.0);
            std::fill_n(cutoff[k].begin(), mixed, 0.0);
            gains[k] = silence.data();
            continue;
        }
        const OscillatorParameters& roles = ParametersOf(static_cast<int>(k));
        resonance[k] = Parameter(roles.resonance);
        type[k] = Parameter(roles.filterType);
        active[k] = 1.0;
        gains[k] = volume[k].data();
        const Modulator& modulator = filterLfos_[k];
        if (lfoHeard[k] && modulator.IsAudibleSine()) kernels::ScaledSine(lfo[k].data(), modulator.Depth(), lfo[k].data(), mixed);
        Chunk& x = input[k];
        std::copy_n(oscillators_[k].buffer.begin() + start, mixed, x.begin());
        kernels::Saturate(x.data(), saturation[k].data(), mixed);
        const kernels::FilterInputSettings settings{Parameter(roles.cutoff), Parameter(roles.filterMod), Parameter(roles.ring),
                                                    kRingTrim, Parameter(roles.envInvert) > 0.0};
        kernels::ShapeFilterInput(x.data(), cutoff[k].data(), filterEnvelope.data(), lfo[k].data(), settings, mixed);
    }
    std::array<double, kLanes * kChunk> laidOutInput;
    std::array<double, kLanes * kChunk> laidOutCutoff;
    std::array<double, kLanes * kChunk> laidOutGain;
    kernels::Interleave4(input[0].data(), input[1].data(), input[2].data(), input[3].data(), laidOutInput.data(), mixed);
    kernels::Interleave4(cutoff[0].data(), cutoff[1].data(), cutoff[2].data(), cutoff[3].data(), laidOutCutoff.data(), mixed);
    kernels::Interleave4(gains[0], gains[1], gains[2], gains[3], laidOutGain.data(), mixed);
    std::array<double, kLanes * kChunk> filtered;
    kernels::FilterOscillators(filters_, resonance, type, active, laidOutInput.data(), laidOutCutoff.data(), laidOutGain.data(),
                               filtered.data(), mixed);

    // The filtered samples replace the raw ones: an oscillator that is on
    // but silent filters them again in the next block.
    std::array<double*, kLanes> outputs{};
    kernels::MixSources sources;
    for (std::size_t k = 0; k < kLanes; ++k) {
        outputs[k] = k < kOscillators && on[k] ? oscillators_[k].buffer.data() + start : input[k].data();
        if (k < kOscillators && on[k]) {
            sources.samples[sources.count] = outputs[k];
            sources.pans[sources.count] = pan[k].data();
            ++sources.count;
        }
    }
    kernels::Deinterleave4(filtered.data(), outputs[0], outputs[1], outputs[2], outputs[3], mixed);
    kernels::MixOscillators(sources, gain.data(), clickBuffer_.data() + start, bassBuffer_.data() + start, mixLeft + start,
                            mixRight + start, bassLayer + start, mixed);
    return mixed;
}

}  // namespace Korvane
