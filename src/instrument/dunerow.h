// The instrument: its parameters and current program, MIDI dispatch to 64
// voices, the block loop with the output stage, and the engine's reaction
// to parameter changes.
#pragma once

#include <array>
#include <atomic>
#include <limits>
#include <vector>

#include "dunerow_version.h"
#include "effects/distortion.h"
#include "effects/dump_expand.h"
#include "effects/dyn_shaper.h"
#include "effects/equalizer.h"
#include "effects/phaser.h"
#include "effects/ring_modulator.h"
#include "engine/adsr.h"
#include "engine/filter_unit.h"
#include "engine/param_smoother.h"
#include "engine/pitch_envelope.h"
#include "engine/waveform_provider.h"
#include "shell/midi_message.h"
#include "instrument/editor_readouts.h"
#include "instrument/note_receiver.h"
#include "instrument/parameter_table.h"
#include "instrument/peak_meter.h"
#include "instrument/preview_curve.h"
#include "instrument/preview_note.h"
#include "instrument/voice_pool.h"
#include "programs/vst_x_synth_program.h"
#include "shell/plugin_vst.h"

class Dunerow : public IPluginVst {
public:
    // Frames the engine renders per pass, whatever the host's block size:
    // the per-voice buffers hold one pass, so memory does not grow with it.
    static constexpr int kPassFrames = 512;
    static constexpr double kLimitedCeiling = 0.99;
    static constexpr double kOpenCeiling = 3.16227;  // +10 dB
    // Output samples smaller than this are 0: the smallest normal 32-bit float.
    static constexpr double kSmallestOutput = static_cast<double>(std::numeric_limits<float>::min());


    // The version comes from the CMake project version (cmake/Version.cmake).
    static constexpr PluginIdentity kIdentity = {"Dunerow " DUNEROW_VERSION_SHORT " FREE",
                                                 "Dunerow " DUNEROW_VERSION_SHORT " FREE VST", "Korvane",
                                                 kDunerowPackedVersion, 0x646E7270, true};

    static constexpr std::string_view kChannelIo = "0-1 0-2";  // no input with one or two outputs

    explicit Dunerow(vst2::HostCallback host = nullptr);
    // The editor goes first: its controls point at this object's units and curves.
    ~Dunerow() override { DestroyEditor(); }

    // Accepts a note message from the host for the coming blocks.
    void QueueMidiMessage(const MidiMessage& message) override;
    // Renders `frames` frames into outputs[0] (left) and outputs[1] (right), overwriting them.
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    // Adapts every buffer and unit to the current sample rate and block size.
    void OnReset() override;
    // Suspending stops every voice and forgets every held key and pending message.
    void OnActivate(bool active) override;
    // Pushes the current value of parameter `index` into the engine.
    void ApplyParameter(int index) override;
    // Saves the current values under the current program's name in the program text form.
    bool SaveProgramText(const std::filesystem::path& path);
    // Loads a program text file into the current program; a file that fails to read changes nothing.
    bool LoadProgramText(const std::filesystem::path& path);
    // Tunes the ring modulator to the last note's frequency times `multiplier` (at most 4000 Hz).
    void SyncRingFrequency(double multiplier);

    const Korvane::VstXSynthProgram& ProgramValues() const { return currentProgram_; }
    double TransposeFactor() const { return transposeFactor_; }
    double LastNoteFrequency() const { return lastNoteFrequency_; }
    const VoicePool& Voices() const { return voicePool_; }
    const NoteReceiver& Receiver() const { return noteReceiver_; }
    Korvane::WaveformProvider& Waveforms() { return waveforms_; }
    const Korvane::PitchEnvelope& GetPitchEnvelope() const { return pitchEnvelope_; }
    const Korvane::ADSR& VolumeEnvelopeDisplay() const { return volumeEnvelopeDisplay_; }
    const Korvane::ADSR& FilterEnvelopeDisplay() const { return filterEnvelopeDisplay_; }
    const Korvane::FilterUnit& GlobalFilter() const { return globalFilter_; }
    const Korvane::FilterUnit& BassLayerFilter() const { return bassLayerFilter_; }
    const Korvane::Distortion& GetDistortion() const { return distortion_; }
    const Korvane::BitCrusher& GetBitCrusher() const { return bitCrusher_; }
    const Korvane::DynShaper& GetDynShaper() const { return dynShaper_; }
    const Korvane::Equalizer& GetEqualizer() const { return equalizer_; }
    const Korvane::DumpExpand& GetDumpExpand() const { return dumpExpand_; }
    const Korvane::RingModulator& GetRingModulator() const { return ringModulator_; }
    const Korvane::Phaser& GetPhaser() const { return phaser_; }
    PeakMeter& Meter() { return peakMeter_; }
    PreviewNote& Preview() { return previewNote_; }
    int Capacity() const { return capacity_; }

    // What the editor shows live. The instrument refreshes them only while an
    // editor is attached; the editor reads them on its own thread without a lock.
    const EditorReadouts& Readouts() const { return readouts_; }
    // One cycle of oscillator 0..2's waveform (78 points).
    PreviewCurve& WaveformPreview(int oscillator);
    PreviewCurve& PitchEnvelopePreview() { return pitchEnvelopePreview_; }
    PreviewCurve& VolumeEnvelopePreview() { return volumeEnvelopePreview_; }
    PreviewCurve& FilterEnvelopePreview() { return filterEnvelopePreview_; }
    // A sine cycle through the distortion (98 points) and its transfer curve (108).
    PreviewCurve& DistortionWavePreview() { return distortionWavePreview_; }
    PreviewCurve& DistortionCurvePreview() { return distortionCurvePreview_; }
    // A sine cycle through the dynamic shaper (98 points) and its transfer curve (108).
    PreviewCurve& ShaperWavePreview() { return shaperWavePreview_; }
    PreviewCurve& ShaperCurvePreview() { return shaperCurvePreview_; }
    // The shape section changed last: 0 distortion, 1 dynamic shaper (the editor draws it bright).
    int ShapeDisplayOrder() const { return shapeDisplayOrder_.load(std::memory_order_acquire); }
    // Recomputes every curve and read-out from the current values and tells
    // the editor every parameter's value; call it after attaching an editor.
    void RefreshEditorDisplays();

protected:
    // ApplyParameter tells the editor each new value once it is stored; the
    // host's earlier notice (before the value is clamped and stored) would
    // only repeat it.
    void OnParameterChangedByHost(int /*index*/, double /*value*/, bool /*normalised*/) override {}

private:
    void ProcessPass(double* left, double* right, int frames);
    // The output stage's last step: clips to the ceiling and keeps NaN and subnormal numbers from the host.
    static double ClipForHost(double sample, double ceiling);
    void OnNoteOn(int note, int velocity, int frame);
    void OnNoteOff(int note, int velocity, int frame);
    void OnAllSoundOff(int frame);
    void EnsureCapacity(int frames);
    void CompleteFilterGlides();
    void ApplyVoiceParameter(int index, double value);
    void ApplyEffectParameter(int index, double value);

    // The editor's side of a parameter change (only with an editor attached).
    void TellEditor(int index, double normalised);
    void RefreshDisplaysOf(int index);
    void RefreshReadoutOf(int index);
    void RefreshOscillatorDisplay(int oscillator);
    void RefreshWaveformPreview(int oscillator);
    void RefreshEnvelopeDisplay(bool volume);
    void RefreshPitchDisplay();
    void RefreshDistortionDisplays();
    void RefreshShaperDisplays();
    void ShowNoteFrequency(int note);

    double Value(int index) const { return currentProgram_[static_cast<std::size_t>(index)]; }

    Korvane::VstXSynthProgram currentProgram_;
    // Whether the engine has been given currentProgram_'s value of each
    // parameter: only then may an equal value be passed over.
    std::array<bool, kParameterCount> engineHolds_{};
    NoteReceiver noteReceiver_;
    VoicePool voicePool_;
    Korvane::WaveformProvider waveforms_;
    Korvane::PitchEnvelope pitchEnvelope_;
    Korvane::ADSR volumeEnvelopeDisplay_{"Volume_Envelope"};
    Korvane::ADSR filterEnvelopeDisplay_{"Filter Envelope"};
    Korvane::FilterUnit globalFilter_;
    Korvane::FilterUnit bassLayerFilter_;  // same settings, on the bass-layer path
    Korvane::RingModulator ringModulator_;
    Korvane::Phaser phaser_;
    Korvane::Distortion distortion_;
    Korvane::BitCrusher bitCrusher_;
    Korvane::DynShaper dynShaper_;
    Korvane::Equalizer equalizer_;
    Korvane::DumpExpand dumpExpand_;
    Korvane::DumpExpand bassLayerDumpExpand_;  // same settings, on the bass-layer path

    Korvane::ParamSmoother bassLayerSmoother_{0.99};
    Korvane::ParamSmoother panSmoother_{0.99};
    Korvane::ParamSmoother saturationSmoother_{0.99};
    Korvane::ParamSmoother volumeSmoother_{0.99};
    Korvane::ParamSmoother dryWetSmoother_{0.99};

    double transposeFactor_ = 1.0;
    double lastNoteFrequency_ = 0.0;
    double engineSampleRate_ = 44100.0;
    int capacity_ = 0;
    std::vector<double> voiceSumLeft_;
    std::vector<double> voiceSumRight_;
    std::vector<double> bassLayerBuffer_;
    std::vector<double> bassLayerCopy_;
    PeakMeter peakMeter_;
    PreviewNote previewNote_;

    EditorReadouts readouts_;
    std::array<PreviewCurve, 3> waveformPreviews_{PreviewCurve(Korvane::WaveformProvider::kPreviewPoints),
                                                  PreviewCurve(Korvane::WaveformProvider::kPreviewPoints),
                                                  PreviewCurve(Korvane::WaveformProvider::kPreviewPoints)};
    PreviewCurve pitchEnvelopePreview_{Korvane::PitchEnvelope::kPreviewPoints};
    PreviewCurve volumeEnvelopePreview_{Korvane::ADSR::kPreviewPoints};
    PreviewCurve filterEnvelopePreview_{Korvane::ADSR::kPreviewPoints};
    PreviewCurve distortionWavePreview_{Korvane::Distortion::kWaveDisplayPoints};
    PreviewCurve distortionCurvePreview_{Korvane::Distortion::kCurveDisplayPoints};
    PreviewCurve shaperWavePreview_{Korvane::DynShaper::kWaveDisplayPoints};
    PreviewCurve shaperCurvePreview_{Korvane::DynShaper::kCurveDisplayPoints};
    std::atomic<int> shapeDisplayOrder_{0};
    // Where the curves are computed before they are published: the audio
    // thread refreshes the waveform previews and must not allocate.
    std::array<double, Korvane::WaveformProvider::kPreviewPoints> waveformScratch_{};
    std::array<double, Korvane::ADSR::kPreviewPoints> envelopeScratch_{};
    std::array<double, Korvane::PitchEnvelope::kPreviewPoints> pitchScratch_{};
    std::array<double, Korvane::Distortion::kWaveDisplayPoints> waveScratch_{};
    std::array<double, Korvane::Distortion::kCurveDisplayPoints> curveScratch_{};
};
