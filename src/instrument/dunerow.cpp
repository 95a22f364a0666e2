#include "instrument/dunerow.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/block_kernels.h"
#include "engine/laws.h"
#include "programs/factory_programs.h"
#include "shell/module_path.h"

Dunerow::Dunerow(vst2::HostCallback host) : IPluginVst(host, kParameterCount, kProgramCount, kChannelIo, kIdentity) {
    EnsureCapacity(kPassFrames);
    voicePool_.Connect({currentProgram_.Values(), &transposeFactor_, &pitchEnvelope_, &waveforms_});

    waveforms_.SetBaseDirectory(ModuleDirectory());
    waveforms_.BuildTables();

    DeclareAllParameters(*this);
    for (int index = 0; index < kParameterCount; ++index) ApplyParameter(index);
    // The units were built with placeholder settings; the first block starts
    // from the applied ones instead of sweeping the filters toward them.
    CompleteFilterGlides();

    BuildFactoryPrograms(*this);
    // Every slot the factory bank leaves empty holds the default sound.
    FillEmptyPrograms("-", kProgramCount);
    // Start on the current program. Left at the declared defaults (a filter
    // shut at 10 Hz), the instrument would be nearly silent, and the host's
    // first program change would store those defaults over program 0.
    RestoreProgram(IPluginBase::CurrentProgram());
    CompleteFilterGlides();

    noteReceiver_.noteOn.Connect(this, &Dunerow::OnNoteOn);
    noteReceiver_.noteOff.Connect(this, &Dunerow::OnNoteOff);
    noteReceiver_.allSoundOff.Connect(this, &Dunerow::OnAllSoundOff);
}

void Dunerow::EnsureCapacity(int frames) {
    if (frames <= capacity_) return;
    const auto size = static_cast<std::size_t>(frames);
    voiceSumLeft_.resize(size, 0.0);
    voiceSumRight_.resize(size, 0.0);
    bassLayerBuffer_.resize(size, 0.0);
    bassLayerCopy_.resize(size, 0.0);
    for (Korvane::Note& voice : voicePool_.Voices()) voice.EnsureCapacity(frames);
    globalFilter_.EnsureCapacity(frames);
    bassLayerFilter_.EnsureCapacity(frames);
    equalizer_.Prepare(frames);
    dumpExpand_.Prepare(frames);
    bassLayerDumpExpand_.Prepare(frames);
    // Recorded only once every buffer holds it: should an allocation fail,
    // the passes stay within the buffers they have.
    capacity_ = frames;
}

void Dunerow::OnReset() {
    auto lock = ScopedLock();
    // A rate that is not a positive number would stall or poison every unit; keep the last good one.
    const double rate = GetSampleRate();
    if (std::isfinite(rate) && rate > 0.0) engineSampleRate_ = rate;

    for (Korvane::Note& voice : voicePool_.Voices()) voice.SetSampleRate(engineSampleRate_);
    pitchEnvelope_.SetSampleRate(engineSampleRate_);
    ringModulator_.SetSampleRate(engineSampleRate_);
    phaser_.SetSampleRate(engineSampleRate_);
    distortion_.SetSampleRate(engineSampleRate_);
    dynShaper_.SetSampleRate(engineSampleRate_);
    for (Korvane::FilterUnit* filter : {&globalFilter_, &bassLayerFilter_}) {
        filter->SetSampleRate(engineSampleRate_);
        filter->ResetFilters();
    }
    equalizer_.SetSampleRate(engineSampleRate_);
    equalizer_.Prepare(capacity_);
    for (Korvane::DumpExpand* dumpExpand : {&dumpExpand_, &bassLayerDumpExpand_}) {
        dumpExpand->SetSampleRate(engineSampleRate_);
        dumpExpand->Prepare(capacity_);
    }
    // Settings the units turned into per-frame steps or cutoffs at the old rate.
    for (int index : {param::PhaserRate, param::SampleRate, param::DumpExpand}) {
        engineHolds_[static_cast<std::size_t>(index)] = false;
        ApplyParameter(index);
    }
    // The filter states start afresh; gliding from coefficients of the old rate would only colour the start.
    CompleteFilterGlides();
    // The held rate's read-out is in hertz of the new rate.
    if (HasEditor()) RefreshReadoutOf(param::SampleRate);
}

void Dunerow::CompleteFilterGlides() {
    globalFilter_.CompleteGlides();
    bassLayerFilter_.CompleteGlides();
    equalizer_.CompleteGlides();
    dumpExpand_.CompleteGlides();
    bassLayerDumpExpand_.CompleteGlides();
}

void Dunerow::QueueMidiMessage(const MidiMessage& message) {
    auto lock = ScopedLock();
    noteReceiver_.Queue(message);
}

void Dunerow::OnNoteOn(int note, int velocity, int frame) {
    const Korvane::Note* voice = voicePool_.OnNoteOn(note, velocity, frame);
    if (voice == nullptr) return;
    lastNoteFrequency_ = voice->NoteFrequency() * transposeFactor_;
    if (HasEditor()) ShowNoteFrequency(note);
}

void Dunerow::OnNoteOff(int note, int velocity, int frame) { voicePool_.OnNoteOff(note, velocity, frame); }

// ProcessBlock ends a pass where an all-sound-off is due, so it arrives at
// the first frame of a pass, before any voice renders it.
void Dunerow::OnAllSoundOff(int /*frame*/) { voicePool_.SilenceAll(); }

void Dunerow::OnActivate(bool active) {
    auto lock = ScopedLock();
    if (active) return;
    // Nothing held before a suspend may sound, or stay held, after it.
    noteReceiver_.Reset();
    voicePool_.SilenceAll();
}

void Dunerow::ProcessBlock(double** /*inputs*/, double** outputs, int frames) {
    auto lock = ScopedLock();
    if (outputs == nullptr || outputs[0] == nullptr || outputs[1] == nullptr || frames < 0) return;
    if (frames == 0) {
        ProcessPass(outputs[0], outputs[1], 0);
        return;
    }
    // Render in passes the buffers hold, however long the host's block. The
    // voices are sample-accurate, so the split does not change the sound. A pass also ends where an
    // all-sound-off is due, which then silences the voices at its own frame.
    for (int done = 0; done < frames;) {
        int pass = std::min(capacity_, frames - done);
        if (const int soundOff = noteReceiver_.NextSoundOffFrame(); soundOff > 0) pass = std::min(pass, soundOff);
        ProcessPass(outputs[0] + done, outputs[1] + done, pass);
        done += pass;
    }
}

double Dunerow::ClipForHost(double sample, double ceiling) {
    // A NaN never reaches the host: it fails both comparisons of a plain clip.
    if (std::isnan(sample)) return 0.0;
    // A fading tail ends at 0 rather than in numbers too small for a normal
    // 32-bit float, which would reach the host as subnormal ones.
    if (std::abs(sample) < kSmallestOutput) return 0.0;
    return std::clamp(sample, -ceiling, ceiling);
}

void Dunerow::ProcessPass(double* left, double* right, int frames) {
    const auto count = static_cast<std::size_t>(frames);
    std::fill_n(voiceSumLeft_.begin(), count, 0.0);
    std::fill_n(voiceSumRight_.begin(), count, 0.0);
    std::fill_n(bassLayerBuffer_.begin(), count, 0.0);
    std::fill_n(bassLayerCopy_.begin(), count, 0.0);

    int previewNote = 0;
    PreviewNote::Mode previewMode = PreviewNote::kNone;
    if (previewNote_.Take(previewNote, previewMode) && previewNote <= 127) {
        const auto note = static_cast<uint8_t>(previewNote);
        if (previewMode == PreviewNote::kStop || previewMode == PreviewNote::kRestart) {
            noteReceiver_.Queue({0, 0x80, note, 0});
        }
        if (previewMode == PreviewNote::kRestart) noteReceiver_.Queue({0, 0x90, note, 127});
    }

    if (waveforms_.IsRefreshRequested()) {
        waveforms_.ApplyPendingUserWaveform();
        if (HasEditor()) {
            for (int oscillator = 0; oscillator < 3; ++oscillator) RefreshWaveformPreview(oscillator);
        }
    }

    auto& voices = voicePool_.Voices();
    // Between two MIDI messages each sounding voice renders its run of frames
    // at once; voices drawing the shared noise take turns frame by frame.
    const bool frameByFrame = voices.front().DrawsSharedNoise();
    for (int frame = 0; frame < frames;) {
        noteReceiver_.AdvanceFrame();
        const int end = frameByFrame ? frame + 1 : std::clamp(noteReceiver_.NextMessageFrame(), frame + 1, frames);
        noteReceiver_.SkipTo(end);
        for (Korvane::Note& voice : voices) {
            if (!voice.IsIdle()) voice.GenerateFrames(end - frame);
        }
        frame = end;
    }
    for (Korvane::Note& voice : voices) {
        if (!voice.IsIdle()) voice.MixBlock(voiceSumLeft_.data(), voiceSumRight_.data(), bassLayerBuffer_.data(), frames);
    }

    std::copy_n(voiceSumLeft_.begin(), count, left);
    std::copy_n(voiceSumRight_.begin(), count, right);

    if (Value(param::BypassFX) != 1.0) {
        globalFilter_.Process(left, right, frames);
        ringModulator_.Process(left, right, frames);
        phaser_.Process(left, right, frames);
        distortion_.ProcessSampleRateReduction(left, right, frames);
        bitCrusher_.Process(left, right, frames);
        distortion_.ProcessGate(left, right, frames);
        distortion_.ProcessDrive(left, right, frames);
        dynShaper_.Process(left, right, frames);
        equalizer_.Process(left, right, frames);
        dumpExpand_.Process(left, right, frames);
    }

    // The output stage in chunks: each smoother's glide first, then the arithmetic over the chunk.
    static constexpr int kChunk = 64;
    std::array<double, kChunk> glide;
    std::array<double, kChunk> second;
    auto inChunks = [frames](auto&& body) {
        for (int at = 0; at < frames; at += kChunk) body(at, std::min(kChunk, frames - at));
    };
    if (Value(param::Saturation) > 0.0) {
        inChunks([&](int at, int run) {
            saturationSmoother_.Run(Value(param::Saturation), glide.data(), run);
            for (int i = 0; i < run; ++i) glide[static_cast<std::size_t>(i)] *= 4.44;
            Korvane::kernels::Saturate(left + at, glide.data(), run);
            Korvane::kernels::Saturate(right + at, glide.data(), run);
        });
    }

    if (Value(param::BassLayerToFilter) == 1.0) {
        std::copy_n(bassLayerBuffer_.begin(), count, bassLayerCopy_.begin());
        bassLayerDumpExpand_.Process(bassLayerBuffer_.data(), bassLayerCopy_.data(), frames);
        bassLayerFilter_.Process(bassLayerBuffer_.data(), bassLayerCopy_.data(), frames);
    }

    const bool bassSolo = Value(param::BassLayerSolo) == 1.0;
    inChunks([&](int at, int run) {
        dryWetSmoother_.Run(Value(param::DryWet), glide.data(), run);
        bassLayerSmoother_.Run(Value(param::BassLayerAmount), second.data(), run);
        for (int i = 0; i < run; ++i) {
            const auto frame = static_cast<std::size_t>(at + i);
            const double wet = glide[static_cast<std::size_t>(i)];
            left[frame] = (1.0 - wet) * voiceSumLeft_[frame] + wet * left[frame];
            right[frame] = (1.0 - wet) * voiceSumRight_[frame] + wet * right[frame];
            const double bass = second[static_cast<std::size_t>(i)] * bassLayerBuffer_[frame];
            left[frame] = bassSolo ? bass : left[frame] + bass;
            right[frame] = bassSolo ? bass : right[frame] + bass;
        }
    });

    inChunks([&](int at, int run) {
        volumeSmoother_.Run(Value(param::Volume), glide.data(), run);
        panSmoother_.Run(Value(param::Pan), second.data(), run);
        for (int i = 0; i < run; ++i) {
            const auto frame = static_cast<std::size_t>(at + i);
            const double volume = glide[static_cast<std::size_t>(i)];
            const double pan = second[static_cast<std::size_t>(i)];
            if (pan >= 0.5) {
                left[frame] *= (1.0 - (pan - 0.5) * 2.0) * volume;
                right[frame] *= volume;
            } else {
                left[frame] *= volume;
                right[frame] *= pan * 2.0 * volume;
            }
        }
    });

    const double ceiling = Value(param::LimitOutput) > 0.0 ? kLimitedCeiling : kOpenCeiling;
    double peakLeft = 0.0;
    double peakRight = 0.0;
    for (int frame = 0; frame < frames; ++frame) {
        left[frame] = ClipForHost(left[frame], ceiling);
        right[frame] = ClipForHost(right[frame], ceiling);
        peakLeft = std::max(peakLeft, std::abs(left[frame]));
        peakRight = std::max(peakRight, std::abs(right[frame]));
    }
    peakMeter_.Update(peakLeft, peakRight);

    noteReceiver_.Flush(frames);
}

bool Dunerow::SaveProgramText(const std::filesystem::path& path) {
    Korvane::VstXSynthProgram record;
    {
        auto lock = ScopedLock();
        record.SetName(GetProgramName(IPluginBase::CurrentProgram()));
        for (int index = 0; index < kParameterCount; ++index) record[static_cast<std::size_t>(index)] = Value(index);
    }
    // The file is written without the lock: the audio thread never waits for a disk.
    return record.WriteText(path);
}

bool Dunerow::LoadProgramText(const std::filesystem::path& path) {
    // Read and parsed before the lock is taken for the change itself.
    Korvane::VstXSynthProgram record;
    if (!record.ReadText(path)) return false;
    auto lock = ScopedLock();
    for (int index = 0; index < kParameterCount; ++index) {
        const double value = record[static_cast<std::size_t>(index)];
        PluginParam* parameter = GetParam(index);
        // The file holds real values: go through their normalised form so that
        // a shaped parameter comes back as saved instead of shaped twice.
        parameter->SetFromNormalized(parameter->RealToNormalized(value));
        ApplyParameter(index);  // also tells the editor
    }
    ModifyCurrentProgram(record.Name());
    return true;
}
