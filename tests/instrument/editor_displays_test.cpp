// What the instrument hands an attached editor: parameter values, read-out
// texts and curves, refreshed by parameter changes, notes and waveform loads.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/instrument_rig.h"

namespace {

// Records the values the instrument tells its editor; has no window.
class RecordingEditor : public IPluginEditor {
public:
    struct Change {
        int index;
        double value;
        bool normalised;
    };

    RecordingEditor() : IPluginEditor(200, 100) {}
    bool OpenWindow(void* /*parent*/) override { return false; }
    void CloseWindow() override {}
    bool WindowIsOpen() const override { return false; }
    void OnParameterChanged(int index, double value, bool normalised) override { changes.push_back({index, value, normalised}); }

    std::vector<Change> changes;
};

using TextBuffer = std::array<char, EditorReadouts::kTextSize + 1>;

template <std::size_t N>
std::array<double, N> ReadCurve(PreviewCurve& curve) {
    std::array<double, N> out{};
    EXPECT_TRUE(curve.Read(out));
    return out;
}

constexpr std::size_t kWaveformPoints = 78;
constexpr std::size_t kEnvelopePoints = 116;
constexpr std::size_t kPitchPoints = 146;
constexpr std::size_t kWavePoints = 98;
constexpr std::size_t kCurvePoints = 108;

class EditorDisplays : public ::testing::Test {
protected:
    void AttachEditor() {
        auto owned = std::make_unique<RecordingEditor>();
        editor = owned.get();
        Synth().AttachEditor(std::move(owned));
    }
    Dunerow& Synth() { return rig.Synth(); }
    void Set(int index, double normalised) { rig.Set(index, normalised); }
    std::string Text(Readout readout) {
        TextBuffer out{};
        if (Synth().Readouts().Get(readout, out) == 0) return "<none>";
        return out.data();
    }
    void RenderNote(int note) { rig.Render(64, 64, {On(0, note)}); }

    // Every curve the instrument publishes.
    std::vector<PreviewCurve*> Curves() {
        Dunerow& synth = Synth();
        return {&synth.WaveformPreview(0),      &synth.WaveformPreview(1),      &synth.WaveformPreview(2),
                &synth.PitchEnvelopePreview(),  &synth.VolumeEnvelopePreview(), &synth.FilterEnvelopePreview(),
                &synth.DistortionWavePreview(), &synth.ShaperWavePreview(),     &synth.DistortionCurvePreview(),
                &synth.ShaperCurvePreview()};
    }
    void ClearChangedFlags() {
        for (PreviewCurve* curve : Curves()) curve->TakeChanged();
    }

    InstrumentRig rig{44100.0, 64};
    RecordingEditor* editor = nullptr;
};

}  // namespace

TEST_F(EditorDisplays, CurvesHaveTheirDisplaysPointCounts) {
    EXPECT_EQ(Synth().WaveformPreview(0).Points(), 78);
    EXPECT_EQ(Synth().WaveformPreview(2).Points(), 78);
    EXPECT_EQ(Synth().PitchEnvelopePreview().Points(), 146);
    EXPECT_EQ(Synth().VolumeEnvelopePreview().Points(), 116);
    EXPECT_EQ(Synth().FilterEnvelopePreview().Points(), 116);
    EXPECT_EQ(Synth().DistortionWavePreview().Points(), 98);
    EXPECT_EQ(Synth().ShaperWavePreview().Points(), 98);
    EXPECT_EQ(Synth().DistortionCurvePreview().Points(), 108);
    EXPECT_EQ(Synth().ShaperCurvePreview().Points(), 108);
    // An oscillator number out of range falls on the nearest one.
    EXPECT_EQ(&Synth().WaveformPreview(7), &Synth().WaveformPreview(2));
    EXPECT_EQ(&Synth().WaveformPreview(-1), &Synth().WaveformPreview(0));
}

TEST_F(EditorDisplays, WithoutAnEditorNothingIsFormattedOrDrawn) {
    for (int index = 0; index < kParameterCount; ++index) Set(index, 0.7);
    Synth().RefreshEditorDisplays();
    std::array<double, Korvane::WaveformTable::kSize> samples{};
    ASSERT_TRUE(Synth().Waveforms().SubmitUserWaveform(0.6, samples));
    rig.BypassEffects();
    RenderNote(48);
    Synth().SyncRingFrequency(2.0);

    for (int readout = 0; readout < static_cast<int>(Readout::Count); ++readout) {
        EXPECT_EQ(Synth().Readouts().Version(static_cast<Readout>(readout)), 0u) << readout;
    }
    for (PreviewCurve* curve : Curves()) {
        EXPECT_FALSE(curve->HasData());
        EXPECT_FALSE(curve->TakeChanged());
    }
}

TEST_F(EditorDisplays, EveryAppliedValueReachesTheEditorOnce) {
    AttachEditor();
    for (int index = 0; index < kParameterCount; ++index) {
        editor->changes.clear();
        Set(index, 0.25);
        ASSERT_EQ(editor->changes.size(), 1u) << index;
        EXPECT_EQ(editor->changes[0].index, index);
        EXPECT_DOUBLE_EQ(editor->changes[0].value, 0.25) << index;
        EXPECT_TRUE(editor->changes[0].normalised);
    }

    // The host's own path does not tell it a second time.
    editor->changes.clear();
    Synth().SetParameterFromHost(param::Gate, 0.5f);
    ASSERT_EQ(editor->changes.size(), 1u);
    EXPECT_EQ(editor->changes[0].index, param::Gate);
    EXPECT_EQ(editor->changes[0].value, 0.5);
}

TEST_F(EditorDisplays, RefreshingAfterAttachingFillsEveryReadoutButTheNote) {
    AttachEditor();
    editor->changes.clear();
    Synth().RefreshEditorDisplays();
    for (int readout = 0; readout < static_cast<int>(Readout::Count); ++readout) {
        if (static_cast<Readout>(readout) == Readout::NoteFrequency) continue;
        EXPECT_NE(Synth().Readouts().Version(static_cast<Readout>(readout)), 0u) << readout;
    }
    EXPECT_EQ(Synth().Readouts().Version(Readout::NoteFrequency), 0u);
    for (PreviewCurve* curve : Curves()) {
        EXPECT_TRUE(curve->HasData());
        EXPECT_TRUE(curve->TakeChanged());
    }
    // Every parameter's value goes to the editor, so its controls start right.
    ASSERT_EQ(editor->changes.size(), static_cast<std::size_t>(kParameterCount));
    EXPECT_EQ(editor->changes[param::Volume].index, param::Volume);
    EXPECT_EQ(editor->changes[param::Volume].value, 0.5);

    // At the declared defaults (envelope durations 0.2, so 1 s per unit of stage setting).
    EXPECT_EQ(Text(Readout::WaveformName1), "01: Sine");
    EXPECT_EQ(Text(Readout::AttackTime), "0.050 s");
    EXPECT_EQ(Text(Readout::DecayTime), "0.500 s");
    EXPECT_EQ(Text(Readout::ReleaseTime), "0.100 s");
    EXPECT_EQ(Text(Readout::FilterAttackTime), "0.050 s");
    EXPECT_EQ(Text(Readout::UnisonVoices), "1");
    EXPECT_EQ(Text(Readout::FilterTransition), "Slow");
    EXPECT_EQ(Text(Readout::FilterMode1), "RBJ-LP");
    EXPECT_EQ(Text(Readout::FilterMode2), "HP 12dB");
    EXPECT_EQ(Text(Readout::FilterType), "100.0% / 0.0%");
    EXPECT_EQ(Text(Readout::RingWaveform), "Sine");
    EXPECT_EQ(Text(Readout::DistortionType), "1: Linear");
    EXPECT_EQ(Text(Readout::Interpolation), "no interp.");
    EXPECT_EQ(Text(Readout::Bits), "64.0bit");
    EXPECT_EQ(Text(Readout::ReducedRate), "44100Hz");
    EXPECT_EQ(Text(Readout::Gate), "-oodB");
    EXPECT_EQ(Text(Readout::ShaperShape), "Sine");
    EXPECT_EQ(Text(Readout::ShaperMode), "Shaper");
    EXPECT_EQ(Text(Readout::BassGain), "0.0dB");  // -24 + 0.5 * 48
    EXPECT_EQ(Text(Readout::DumpExpand), "0.0% HP");
}

TEST_F(EditorDisplays, ValuesSetBeforeAttachingShowAfterTheRefresh) {
    Set(param::DistortionType, 1.0);
    Set(param::OscWaveform3, 1.0);
    Set(param::EnvAttack, 0.0);
    AttachEditor();
    EXPECT_EQ(Synth().Readouts().Version(Readout::DistortionType), 0u);
    Synth().RefreshEditorDisplays();
    EXPECT_EQ(Text(Readout::DistortionType), "36: Noise-Gate 1");  // type 35, the last
    EXPECT_EQ(Text(Readout::WaveformName3), "36: User15");
    EXPECT_EQ(Text(Readout::AttackTime), "0.000 s");
}

TEST_F(EditorDisplays, ReadoutsShowEachParametersText) {
    AttachEditor();
    struct Case {
        int index;
        double value;
        Readout readout;
        const char* text;
    };
    const Case cases[] = {
        {param::OscWaveform1, 0.029, Readout::WaveformName1, "02: Sawtooth"},  // floor(35 * 0.029 + 0.5) = 1
        {param::OscWaveform2, 0.143, Readout::WaveformName2, "06: Triangle"},  // floor(5.005 + 0.5) = 5
        {param::OscWaveform3, 0.6, Readout::WaveformName3, "22: User1"},       // floor(21 + 0.5) = 21
        {param::EnvAttack, 0.0, Readout::AttackTime, "0.000 s"},               // the 1e-06 floor
        {param::EnvDuration, 0.4, Readout::DecayTime, "1.000 s"},              // 0.5 * 5 * 0.4
        {param::EnvRelease, 0.3, Readout::ReleaseTime, "0.600 s"},             // 0.3 * 2
        {param::FilterAttack, 0.25, Readout::FilterAttackTime, "0.250 s"},     // 0.25 * 5 * 0.2
        {param::FilterDecay, 0.125, Readout::FilterDecayTime, "0.125 s"},
        {param::FilterDuration, 1.0, Readout::FilterReleaseTime, "0.500 s"},   // 0.1 * 5
        {param::UnisonVoices, 0.499, Readout::UnisonVoices, "1"},
        {param::UnisonVoices, 0.5, Readout::UnisonVoices, "2"},
        {param::BassAmount, 0.75, Readout::BassGain, "12.0dB"},                // -24 + 0.75 * 48
        {param::MidAmount, 0.1, Readout::MidGain, "-19.2dB"},                  // -24 + 4.8
        {param::HighAmount, 1.0, Readout::HighGain, "24.0dB"},
        {param::DumpExpand, 0.25, Readout::DumpExpand, "50.0% LP"},            // (1 - 0.5) * 100
        {param::DumpExpand, 0.75, Readout::DumpExpand, "50.0% HP"},            // 0.25 * 200
        {param::DistortionType, 1.0, Readout::DistortionType, "36: Noise-Gate 1"},
        {param::DistortionType, 0.0, Readout::DistortionType, "1: Linear"},
        {param::DistortionType, 2.0 / 35.0, Readout::DistortionType, "3: Soft-Knie Compressor"},
        {param::DistortionInterpMode, 0.5, Readout::Interpolation, "cosine"},  // floor(2 + 0.5) = 2
        {param::DistortionInterpMode, 1.0, Readout::Interpolation, "hermite"},
        {param::DynShaperType, 1.0 / 3.0, Readout::ShaperShape, "Triangle"},   // floor(0.667 + 0.5) = 1
        {param::DynShaperType, 2.0 / 3.0, Readout::ShaperShape, "Triangle"},   // floor(1.333 + 0.5) = 1
        {param::DynShaperType, 1.0, Readout::ShaperShape, "Pulse"},
        {param::DynShaperMode, 0.34, Readout::ShaperMode, "Sat.Shaper"},       // floor(1.02 + 0.5) = 1
        {param::DynShaperMode, 1.0, Readout::ShaperMode, "Boost+Sat.Shaper"},
        {param::Quantization, 0.5, Readout::Bits, "6.3bit"},                   // 61.5 * 0.5^4 + 2.5 = 6.34375
        {param::Quantization, 0.0, Readout::Bits, "2.5bit"},
        {param::SampleRate, 0.5, Readout::ReducedRate, "700Hz"},               // 44100 / trunc(63.5)
        {param::SampleRate, 1.0, Readout::ReducedRate, "44100Hz"},
        {param::Gate, 0.0, Readout::Gate, "-oodB"},
        {param::Gate, 0.5, Readout::Gate, "-24.1dB"},                          // 20 log10(0.0625) = -24.08
        {param::FilterType, 0.25, Readout::FilterType, "75.0% / 25.0%"},
        {param::FilterCutoff, 0.5, Readout::FilterCutoff, "469Hz"},            // sqrt(10 * 22040) = 469.47
        {param::FilterCutoff, 0.25, Readout::FilterCutoff, "68Hz"},            // 10 * 2204^0.25 = 68.52
        {param::FilterMode1, 1.0, Readout::FilterMode1, "RBJ-BS"},
        {param::FilterMode1, 0.4, Readout::FilterMode1, "RBJ-HP"},             // floor(1.2 + 0.5) = 1
        {param::FilterMode2, 0.7, Readout::FilterMode2, "LP 12dB"},            // floor(2.1 + 0.5) = 2
        {param::FilterTransition, 1.0 / 3.0, Readout::FilterTransition, "Medium"},
        {param::FilterTransition, 1.0, Readout::FilterTransition, "Fast"},
        {param::RingModulationWaveForm, 0.4, Readout::RingWaveform, "Saw"},    // floor(1.6 + 0.5) = 2
        {param::RingModulationWaveForm, 0.6, Readout::RingWaveform, "Saw"},    // floor(2.4 + 0.5) = 2
        {param::RingModulationWaveForm, 1.0, Readout::RingWaveform, "Sine3"},
    };
    for (const Case& c : cases) {
        Set(c.index, c.value);
        EXPECT_EQ(Text(c.readout), c.text) << "parameter " << c.index << " at " << c.value;
    }
}

TEST_F(EditorDisplays, ShaperTypeAlsoRefreshesTheModeReadout) {
    AttachEditor();
    Set(param::DynShaperMode, 2.0 / 3.0);  // floor(2 + 0.5) = 2
    EXPECT_EQ(Text(Readout::ShaperMode), "Boost Shaper");
    const std::uint32_t version = Synth().Readouts().Version(Readout::ShaperMode);
    Set(param::DynShaperType, 1.0);
    EXPECT_EQ(Text(Readout::ShaperMode), "Boost Shaper");
    EXPECT_EQ(Synth().Readouts().Version(Readout::ShaperMode), version);  // same text, no redraw
    EXPECT_EQ(Text(Readout::ShaperShape), "Pulse");
}

TEST_F(EditorDisplays, TheWaveformPreviewIsTheInvertedCycleAtOctaveZero) {
    AttachEditor();
    Set(param::OscWaveform2, 0.143);  // the triangle
    Set(param::OscInvertWaveform2, 1.0);
    const auto preview = ReadCurve<kWaveformPoints>(Synth().WaveformPreview(1));
    // Point i is phase i / 78. The triangle is 4p up to a quarter cycle and
    // 2 - 4p to three quarters; inverted, a positive sample s becomes 1 - s.
    EXPECT_EQ(preview[0], 0.0);                           // zero stays zero
    EXPECT_NEAR(preview[13], 1.0 - 4.0 / 6.0, 1e-12);     // phase 1/6: 2/3, folded to 1/3
    EXPECT_NEAR(preview[26], 1.0 - 2.0 / 3.0, 1e-12);     // phase 1/3: 2 - 4/3 = 2/3, folded to 1/3
    EXPECT_NEAR(preview[52], -1.0 + 2.0 / 3.0, 1e-12);    // phase 2/3: -2/3, folded to -1/3

    std::array<double, kWaveformPoints> direct{};
    Synth().Waveforms().RenderPreview(0.143, true, direct);
    EXPECT_EQ(preview, direct);

    Set(param::OscInvertWaveform2, 0.0);
    Synth().Waveforms().RenderPreview(0.143, false, direct);
    EXPECT_EQ(ReadCurve<kWaveformPoints>(Synth().WaveformPreview(1)), direct);
    EXPECT_NEAR(direct[13], 4.0 / 6.0, 1e-12);
}

TEST_F(EditorDisplays, CurvesAreTheEngineRenderersOutput) {
    // The envelope curves glide their decay, sustain and release from one
    // drawing to the next (as a sounding envelope would), so the settings go
    // in before the editor comes and the refresh draws each curve once, as
    // fresh records with these settings draw it.
    Set(param::EnvAttack, 0.2);
    Set(param::EnvDecay, 0.3);
    Set(param::EnvSustain, 0.6);
    Set(param::EnvRelease, 0.4);
    Set(param::EnvDuration, 0.1);
    Set(param::FilterSustain, 0.9);
    AttachEditor();
    Synth().RefreshEditorDisplays();

    Korvane::ADSR volume("expected");
    volume.SetAttack(0.2);
    volume.SetDecay(0.3);
    volume.SetSustain(0.6);
    volume.SetRelease(0.4);
    volume.SetTimeScale(0.5);
    std::array<double, kEnvelopePoints> envelope{};
    volume.RenderPreview(envelope);
    EXPECT_EQ(ReadCurve<kEnvelopePoints>(Synth().VolumeEnvelopePreview()), envelope);

    Korvane::ADSR filter("expected");  // the other settings at their defaults
    filter.SetAttack(0.05);
    filter.SetDecay(0.5);
    filter.SetSustain(0.9);
    filter.SetRelease(0.1);
    filter.SetTimeScale(1.0);
    filter.RenderPreview(envelope);
    EXPECT_EQ(ReadCurve<kEnvelopePoints>(Synth().FilterEnvelopePreview()), envelope);

    Set(param::PitchAmount, 0.8);
    Set(param::PitchPower, 0.3);
    std::array<double, kPitchPoints> pitch{};
    Synth().GetPitchEnvelope().RenderPreview(pitch);
    EXPECT_EQ(ReadCurve<kPitchPoints>(Synth().PitchEnvelopePreview()), pitch);
    EXPECT_NE(pitch[10], 0.0);

    Set(param::DistortionType, 10.0 / 35.0);
    Set(param::Distortion, 0.6);
    std::array<double, kWavePoints> wave{};
    std::array<double, kCurvePoints> curve{};
    Synth().GetDistortion().FillCurveDisplay(wave, curve);
    EXPECT_EQ(ReadCurve<kWavePoints>(Synth().DistortionWavePreview()), wave);
    EXPECT_EQ(ReadCurve<kCurvePoints>(Synth().DistortionCurvePreview()), curve);

    Set(param::DynShaper, 0.7);
    Set(param::DynShaperType, 1.0);
    Synth().GetDynShaper().FillShaperDisplay(curve, wave);
    EXPECT_EQ(ReadCurve<kWavePoints>(Synth().ShaperWavePreview()), wave);
    EXPECT_EQ(ReadCurve<kCurvePoints>(Synth().ShaperCurvePreview()), curve);
}

TEST_F(EditorDisplays, AParameterRaisesOnlyTheCurvesThatShowIt) {
    AttachEditor();
    Synth().RefreshEditorDisplays();
    ClearChangedFlags();
    auto raised = [this] {
        std::vector<PreviewCurve*> flagged;
        for (PreviewCurve* curve : Curves()) {
            if (curve->TakeChanged()) flagged.push_back(curve);
        }
        return flagged;
    };
    Dunerow& synth = Synth();
    using Flagged = std::vector<PreviewCurve*>;

    Set(param::EnvSustain, 0.4);
    EXPECT_EQ(raised(), Flagged{&synth.VolumeEnvelopePreview()});
    Set(param::FilterRelease, 0.4);
    EXPECT_EQ(raised(), Flagged{&synth.FilterEnvelopePreview()});
    Set(param::PitchDown, 0.2);
    EXPECT_EQ(raised(), Flagged{&synth.PitchEnvelopePreview()});
    Set(param::OscInvertWaveform3, 1.0);
    EXPECT_EQ(raised(), Flagged{&synth.WaveformPreview(2)});
    Set(param::DistortionInterpMode, 0.25);
    EXPECT_EQ(raised(), (Flagged{&synth.DistortionWavePreview(), &synth.DistortionCurvePreview()}));
    Set(param::DynShaperInvert, 1.0);
    EXPECT_EQ(raised(), (Flagged{&synth.ShaperWavePreview(), &synth.ShaperCurvePreview()}));
    Set(param::Gate, 0.3);
    Set(param::OscVolume1, 0.3);
    EXPECT_EQ(raised(), Flagged{});
}

TEST_F(EditorDisplays, ShapeDisplayOrderFollowsTheSectionChangedLast) {
    AttachEditor();
    Set(param::Distortion, 0.3);
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 0);
    Set(param::DynShaperInvert, 1.0);
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 1);
    Set(param::Gate, 0.2);  // not a shape parameter
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 1);
    Set(param::DistortionOnOff, 0.0);
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 0);
    Set(param::DistortionLoudness, 1.0);  // not a shape parameter either
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 0);
    Set(param::DynShaperType, 1.0 / 3.0);
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 1);
    Set(param::DistortionType, 0.5);
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 0);
    Set(param::DynShaperMode, 0.5);
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 1);
    Set(param::DistortionInterpMode, 0.5);
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 0);
    Set(param::DynShaper, 0.5);
    EXPECT_EQ(Synth().ShapeDisplayOrder(), 1);
}

TEST_F(EditorDisplays, ANoteShowsItsFrequencyAndName) {
    AttachEditor();
    rig.BypassEffects();
    RenderNote(48);
    EXPECT_EQ(Text(Readout::NoteFrequency), "261.6Hz [C4]");  // 880 * 2^(-21/12) = 261.63
    RenderNote(69);
    EXPECT_EQ(Text(Readout::NoteFrequency), "880.0Hz [A5]");
    Set(param::GlobalTranspose, 1.0);  // an octave up
    RenderNote(57);
    EXPECT_EQ(Text(Readout::NoteFrequency), "880.0Hz [A4]");  // 440 * 2
}

TEST_F(EditorDisplays, ALoadedWaveformRedrawsTheOscillatorPreviewsAtTheNextBlock) {
    AttachEditor();
    Set(param::OscWaveform1, 0.6);  // User1
    Synth().RefreshEditorDisplays();
    ClearChangedFlags();

    rig.Render(64, 64);
    for (int oscillator = 0; oscillator < 3; ++oscillator) EXPECT_FALSE(Synth().WaveformPreview(oscillator).TakeChanged());

    std::array<double, Korvane::WaveformTable::kSize> samples{};
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = i < samples.size() / 2 ? 0.5 : -0.5;
    ASSERT_TRUE(Synth().Waveforms().SubmitUserWaveform(0.6, samples));
    EXPECT_FALSE(Synth().WaveformPreview(0).TakeChanged());  // not before the block
    rig.Render(64, 64);
    for (int oscillator = 0; oscillator < 3; ++oscillator) EXPECT_TRUE(Synth().WaveformPreview(oscillator).TakeChanged());
    std::array<double, kWaveformPoints> direct{};
    Synth().Waveforms().RenderPreview(0.6, false, direct);
    EXPECT_EQ(ReadCurve<kWaveformPoints>(Synth().WaveformPreview(0)), direct);
}

TEST_F(EditorDisplays, RingSyncTellsTheEditorTheNewFrequency) {
    AttachEditor();
    rig.BypassEffects();
    RenderNote(69);  // 880 Hz
    editor->changes.clear();
    Synth().SyncRingFrequency(2.0);
    ASSERT_EQ(editor->changes.size(), 1u);
    EXPECT_EQ(editor->changes[0].index, param::RingModulationFrequency);
    EXPECT_DOUBLE_EQ(editor->changes[0].value, 0.44);  // 1760 Hz of 4000
    EXPECT_TRUE(editor->changes[0].normalised);
}

// One thread renders and applies parameters, another reads what the editor
// would show: every read that succeeds is one of the whole values written.
TEST_F(EditorDisplays, TheEditorsThreadReadsOnlyWholeValues) {
    AttachEditor();
    rig.BypassEffects();
    struct Shown {
        std::array<double, kPitchPoints> pitch;
        std::array<double, kCurvePoints> transfer;
        std::string attack;
        std::string type;
    };
    auto capture = [this](double amount, double attack, double type) {
        Set(param::PitchAmount, amount);
        Set(param::EnvAttack, attack);
        Set(param::DistortionType, type);
        Set(param::Distortion, 0.5);
        return Shown{ReadCurve<kPitchPoints>(Synth().PitchEnvelopePreview()),
                     ReadCurve<kCurvePoints>(Synth().DistortionCurvePreview()), Text(Readout::AttackTime),
                     Text(Readout::DistortionType)};
    };
    const std::array<Shown, 2> shown = {capture(0.8, 0.3, 0.0), capture(0.2, 0.05, 1.0)};
    ASSERT_NE(shown[0].pitch, shown[1].pitch);
    ASSERT_NE(shown[0].transfer, shown[1].transfer);
    const std::array<std::string, 2> notes = {"261.6Hz [C4]", "880.0Hz [A5]"};

    constexpr int kRounds = 300;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int round = 0; round < kRounds; ++round) {
            const int which = round % 2;
            Set(param::PitchAmount, which == 0 ? 0.8 : 0.2);
            Set(param::EnvAttack, which == 0 ? 0.3 : 0.05);
            Set(param::DistortionType, which == 0 ? 0.0 : 1.0);
            rig.Render(32, 32, {On(0, which == 0 ? 48 : 69), Off(31, which == 0 ? 48 : 69)});
        }
        done.store(true);
    });

    long wrong = 0;
    long whole = 0;
    auto isOneOf = [](const auto& value, const auto& first, const auto& second) { return value == first || value == second; };
    while (!done.load()) {
        std::array<double, kPitchPoints> pitch{};
        if (Synth().PitchEnvelopePreview().Read(pitch)) {
            ++whole;
            wrong += isOneOf(pitch, shown[0].pitch, shown[1].pitch) ? 0 : 1;
        }
        std::array<double, kCurvePoints> transfer{};
        if (Synth().DistortionCurvePreview().Read(transfer)) {
            wrong += isOneOf(transfer, shown[0].transfer, shown[1].transfer) ? 0 : 1;
        }
        // A text counts when it was read whole (version not 0).
        auto checkText = [&](Readout readout, const std::string& first, const std::string& second) {
            TextBuffer text{};
            if (Synth().Readouts().Get(readout, text) != 0) wrong += isOneOf(std::string(text.data()), first, second) ? 0 : 1;
        };
        checkText(Readout::AttackTime, shown[0].attack, shown[1].attack);
        checkText(Readout::DistortionType, shown[0].type, shown[1].type);
        checkText(Readout::NoteFrequency, notes[0], notes[1]);
        const int order = Synth().ShapeDisplayOrder();
        wrong += (order == 0 || order == 1) ? 0 : 1;
    }
    audio.join();

    EXPECT_EQ(wrong, 0);
    // The last round wrote the second set of values.
    EXPECT_EQ(ReadCurve<kPitchPoints>(Synth().PitchEnvelopePreview()), shown[1].pitch);
    EXPECT_EQ(Text(Readout::AttackTime), shown[1].attack);
    EXPECT_EQ(Text(Readout::NoteFrequency), notes[1]);
    RecordProperty("whole_pitch_reads", static_cast<int>(whole));
}
