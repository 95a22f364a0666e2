// One sounding voice: three oscillators (each with unison twin, saturation,
// ring modulation, low-pass/high-pass blend, volume and pan), a sine bass
// layer and a click, under a volume and a filter envelope and the shared
// pitch sweep.
//
// A voice works in two passes per block: GenerateFrames() renders the raw
// oscillator, bass and click samples of the runs of frames between MIDI
// events, then MixBlock() shapes them and adds them to the mix. Both work in
// chunks of up to kChunk frames: per-chunk decisions are taken once, the
// recursive parts (phases, envelopes, smoothers, filters) run frame by
// frame, and everything else runs over the chunk in SIMD lanes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/adsr.h"
#include "engine/audio_processing_unit.h"
#include "engine/laws.h"
#include "engine/modulator.h"
#include "engine/oscillator_filters.h"
#include "engine/param_smoother.h"
#include "engine/pitch_envelope.h"
#include "engine/waveform_provider.h"

namespace Korvane {

// What a voice reads from its instrument. A voice missing any of it stays silent.
struct NoteContext {
    const double* program = nullptr;  // the current program's parameter values, by index
    const double* transposeFactor = nullptr;
    const PitchEnvelope* pitchEnvelope = nullptr;
    const WaveformProvider* waveforms = nullptr;

    bool IsComplete() const { return program && transposeFactor && pitchEnvelope && waveforms; }
};

class Note : public AudioProcessingUnit {
public:
    static constexpr int kOscillators = 3;
    static constexpr int kNoPendingRelease = -1;
    static constexpr int kChunk = 64;
    // Click window after note start, in seconds.
    static constexpr double kClickStartSeconds = 0.001;
    static constexpr double kClickLengthSeconds = 0.2;

    Note();

    void Connect(const NoteContext& context) { context_ = context; }

    // Passes the rate to the envelopes, modulators and filters and clears the filters.
    void SetSampleRate(double rate) override;
    // Grows the sample buffers to hold `frames` frames; they never shrink.
    void EnsureCapacity(int frames);
    int Capacity() const { return capacity_; }

    // True when both envelopes have finished.
    bool IsIdle() const { return volumeEnvelope_.GetState() == ADSR::kOff && filterEnvelope_.GetState() == ADSR::kOff; }
    // Tunes an idle voice to MIDI note `note`; ignored while the voice sounds.
    void SetNoteNumber(int note);
    // Starts the note from the beginning of its envelopes.
    void Start(int velocity);
    // The frame of the current block at which the note starts.
    void SetFrameOffset(int frame) { frameOffset_ = frame; }
    // Releases both envelopes just before frame `frame` of the current block is mixed.
    void ReleaseAt(int frame);

    // Renders the raw samples of the next `count` frames and moves the phases on.
    void GenerateFrames(int count);
    // Renders the raw samples of one frame and moves the phases on.
    void GenerateSample() { GenerateFrames(1); }
    // True when a sounding oscillator draws white noise: the voices must then
    // render frame by frame, in turn, so that they draw the shared noise in
    // the same order whatever the block's MIDI.
    bool DrawsSharedNoise() const;
    // Shapes the block's raw samples and adds them to the stereo mix and the bass-layer buffer.
    void MixBlock(double* mixLeft, double* mixRight, double* bassLayer, int frames);

    // Settings written by parameter application.
    void SetPitchFactor(int oscillator, double factor) { pitchFactor_[static_cast<std::size_t>(oscillator)] = factor; }
    void SetFineFactor(int oscillator, double factor) { fineFactor_[static_cast<std::size_t>(oscillator)] = factor; }
    // Sets both LFOs of an oscillator to a rate in 0..1 of 20 Hz.
    void SetLfoRate(int oscillator, double normalisedRate);
    void SetUnisonCount(int count);
    void SetUnisonDetune(double detune) { unisonDetune_ = detune; }
    void SetFmDepth(double depth) { fm_.SetDepth(depth); }
    // Follows a change of the global transpose.
    void UpdateTranspose();
    ADSR& VolumeEnvelope() { return volumeEnvelope_; }
    ADSR& FilterEnvelope() { return filterEnvelope_; }

    int NoteNumber() const { return noteNumber_; }
    double NoteFrequency() const { return noteFrequency_; }
    double NormalisedFrequency() const { return normalisedFrequency_; }
    int OctaveIndex() const { return octaveIndex_; }
    int Velocity() const { return velocity_; }
    int UnisonCount() const { return unisonCount_; }
    double PitchFactor(int oscillator) const { return pitchFactor_[static_cast<std::size_t>(oscillator)]; }
    double FineFactor(int oscillator) const { return fineFactor_[static_cast<std::size_t>(oscillator)]; }
    const Modulator& FilterLfo(int oscillator) const { return filterLfos_[static_cast<std::size_t>(oscillator)]; }
    const Modulator& TuneLfo(int oscillator) const { return tuneLfos_[static_cast<std::size_t>(oscillator)]; }
    const FmModulator& Fm() const { return fm_; }
    const ADSR& VolumeEnvelope() const { return volumeEnvelope_; }
    const ADSR& FilterEnvelope() const { return filterEnvelope_; }
    uint64_t FramesSinceStart() const { return framesSinceStart_; }

    // The click sample at the current frame; exposed for tests of its weights.
    double RenderClick();

private:
    struct Oscillator {
        double phase = 0.0;
        double twinPhase = 0.0;
        ParamSmoother volume{0.9877};
        ParamSmoother pan{0.9877};
        ParamSmoother saturation{0.9877};
        std::vector<double> buffer;
    };

    using Chunk = std::array<double, kChunk>;

    double Parameter(int index) const { return context_.program[index]; }
    void GenerateChunk(int count);
    // Renders oscillator `oscillator` at the chunk's phases into `out`.
    void RenderOscillator(int oscillator, const Chunk& phase, const Chunk& twinPhase, Chunk& out, int count) const;
    // Moves every phase on by one frame at pitch factor `pitch`.
    void AdvancePhases(double pitch);
    // The same without the unison twins' phases, which follow from the main ones.
    void AdvanceMainPhases(double pitch, const std::array<double, kOscillators>& vibratoAmounts);
    std::array<double, kOscillators> VibratoAmounts() const;
    double TwinRatio() const { return 1.0 + unisonDetune_ * kVoiceSemitoneStep; }
    // Mixes up to `count` frames from `start`; returns how many it mixed (fewer once the note ends).
    int MixChunk(double* mixLeft, double* mixRight, double* bassLayer, int start, int count);
    void ClearFilters();

    NoteContext context_;
    std::array<Oscillator, kOscillators> oscillators_;
    OscillatorFilters filters_;  // one lane an oscillator
    std::array<double, kOscillators> pitchFactor_{1.0, 1.0, 1.0};
    std::array<double, kOscillators> fineFactor_{1.0, 1.0, 1.0};
    std::array<Modulator, kOscillators> filterLfos_;
    std::array<Modulator, kOscillators> tuneLfos_;
    FmModulator fm_;
    ADSR volumeEnvelope_{"Volume Envelope"};
    ADSR filterEnvelope_{"Filter Envelope"};
    double volumeEnvelopeValue_ = 0.0;  // applied to the next mixed frame

    int unisonCount_ = 1;
    double unisonDetune_ = 0.0;
    int noteNumber_ = -1;
    double noteFrequency_ = 0.0;
    double normalisedFrequency_ = 0.0;
    int octaveIndex_ = -1;
    int velocity_ = 127;
    double velocityGain_ = 1.0;

    double bassPhase_ = 0.0;
    double clickPhase_ = 0.0;  // radians
    bool clickEnded_ = false;  // set once nothing of the click can sound again
    uint64_t framesSinceStart_ = 0;
    int writeIndex_ = 0;
    int frameOffset_ = 0;
    int pendingReleaseFrame_ = kNoPendingRelease;
    int capacity_ = 0;
    std::vector<double> bassBuffer_;
    std::vector<double> clickBuffer_;
    int64_t clickStartFrames_ = static_cast<int64_t>(kDefaultSampleRate * kClickStartSeconds);
    int64_t clickLengthFrames_ = static_cast<int64_t>(kDefaultSampleRate * kClickLengthSeconds);
};

}  // namespace Korvane
