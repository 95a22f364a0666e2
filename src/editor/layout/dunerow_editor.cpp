#include "editor/layout/dunerow_editor.h"

#include <memory>
#include <string>
#include <utility>

#include "editor/controls/bitmap_control.h"
#include "editor/controls/fader_control.h"
#include "editor/controls/knob_control.h"
#include "editor/controls/switch_control.h"
#include "editor/controls/text_control.h"
#include "editor/custom/kv_buttons.h"
#include "editor/custom/kv_caption_control.h"
#include "editor/custom/kv_curve.h"
#include "editor/custom/kv_file_selector.h"
#include "editor/custom/kv_live_texts.h"
#include "editor/custom/kv_mode_switch.h"
#include "editor/custom/kv_preset_menu.h"
#include "editor/custom/kv_tab_button.h"
#include "editor/layout/editor_bitmaps.h"
#include "instrument/dunerow.h"

namespace {

using namespace editor_bitmaps;
using Direction = IKvModeSwitch::Direction;

// Where the controls background sits: centred in the window.
constexpr int kControlsLeft = (dunerow_editor::kWidth - 920) / 2;
constexpr int kControlsTop = 35;
// Oscillators 2 and 3 repeat oscillator 1's panel this far down, with
// parameters this far on.
constexpr int kOscillatorStepPixels = 145;
constexpr int kOscillatorParamStep = param::Osc2OnOff - param::Osc1OnOff;
// The widths of the slider tracks, and so the sliders' lengths.
constexpr int kOscSliderLength = 82;
constexpr int kFilterSliderLength = 104;
// The filter envelope panel repeats the volume envelope's this far right.
constexpr int kFilterEnvelopeOffset = 205;

// Places controls, binds them to parameters and read-outs, and files them
// into the page lists.
class LayoutBuilder {
public:
    LayoutBuilder(Dunerow& synth, IGraphics& graphics, DunerowEditorState& state)
        : synth_(synth), graphics_(graphics), state_(state) {}

    IBitmap Bitmap(int id) {
        const Entry* entry = Find(id);
        return graphics_.LoadBitmap(id, entry != nullptr ? entry->file : std::string_view{},
                                    entry != nullptr ? entry->frames : 1);
    }

    // Adds a control of the synth page, of the about page (hidden) or of neither.
    template <class Control>
    Control* Synth(std::unique_ptr<Control> control) {
        Control* raw = control.get();
        state_.Pages().Add(EditorPages::kSynth, graphics_.AddControl(std::move(control)));
        return raw;
    }
    template <class Control>
    Control* About(std::unique_ptr<Control> control) {
        Control* raw = control.get();
        state_.Pages().Add(EditorPages::kAbout, graphics_.AddControl(std::move(control)));
        raw->Hide(true);
        return raw;
    }
    template <class Control>
    Control* Neither(std::unique_ptr<Control> control) {
        Control* raw = control.get();
        graphics_.AddControl(std::move(control));
        return raw;
    }

    IBitmapControl* Picture(int x, int y, int id) {
        return Synth(std::make_unique<IBitmapControl>(&synth_, x, y, -1, Bitmap(id)));
    }
    ISwitchControl* Switch(int param, int x, int y, int id) {
        return Synth(std::make_unique<ISwitchControl>(&synth_, x, y, param, Bitmap(id)));
    }
    IKnobMultiControl* Knob(int param, int x, int y, int id) {
        return Synth(std::make_unique<IKnobMultiControl>(&synth_, x, y, param, Bitmap(id)));
    }
    ITextControl* Label(std::string_view text, const RasterRect& rect, int style = 1) {
        return Synth(std::make_unique<ITextControl>(&synth_, rect, state_.Style(style), text));
    }
    ITextControl* Readout(::Readout readout, std::string_view initial, const RasterRect& rect, int style = 1) {
        ITextControl* text = Label(initial, rect, style);
        state_.BindReadout(readout, text);
        return text;
    }
    ICaptionControl* Caption(int param, const RasterRect& rect, bool withUnit = false) {
        return Synth(std::make_unique<ICaptionControl>(&synth_, rect, param, state_.Style(1), withUnit));
    }
    IKvCaptionControl* KvCaption(int param, const RasterRect& rect, int mode, double scale = 1.0, double offset = 0.0,
                                 std::string_view suffix = {}) {
        return Synth(std::make_unique<IKvCaptionControl>(&synth_, rect, param, state_.Style(1), mode, scale, offset,
                                                         suffix));
    }
    IKvModeSwitch* Stepper(int target, int x, int y, int id, int positions, Direction direction, bool wrap) {
        return Synth(std::make_unique<IKvModeSwitch>(&synth_, x, y, Bitmap(id), target, positions, direction, wrap));
    }
    // A horizontal slider over its track, as long as the track is wide.
    IFaderControl* Slider(int param, int x, int y, int trackId, int length) {
        Picture(x, y, trackId);
        return Synth(std::make_unique<IFaderControl>(&synth_, x, y, length, param, Bitmap(kSliderHandle)));
    }
    IKvCurve* Curve(PreviewCurve& source, int points, const RasterRect& rect) {
        auto* curve = Synth(std::make_unique<IKvCurve>(&synth_, rect, &source, points));
        curve->SetSineShading(true);
        return curve;
    }
    IKvCurve2* CurvePair(PreviewCurve& distortion, PreviewCurve& shaper, int points, const RasterRect& rect) {
        auto* curves = Synth(std::make_unique<IKvCurve2>(&synth_, rect, &distortion, &shaper, points,
                                                         IKvCurve2::kFirstBright));
        Dunerow* synth = &synth_;
        curves->SetOrderSource([synth] { return synth->ShapeDisplayOrder(); });
        return curves;
    }

    Dunerow& Instrument() { return synth_; }
    DunerowEditorState& State() { return state_; }

private:
    Dunerow& synth_;
    IGraphics& graphics_;
    DunerowEditorState& state_;
};

RasterRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

void BuildFrame(LayoutBuilder& layout, IGraphics& graphics) {
    graphics.SetBackgroundBitmap(kWindowBackground, Find(kWindowBackground)->file);
    layout.Picture(kControlsLeft, kControlsTop, kControlsBackground);
    EditorPages& pages = layout.State().Pages();
    auto* synthTab = layout.Neither(std::make_unique<IKvTabButton>(&layout.Instrument(), 430, 762, 85, 25,
                                                                   layout.Bitmap(kSynthTab), &pages, EditorPages::kSynth));
    auto* aboutTab = layout.Neither(std::make_unique<IKvTabButton>(&layout.Instrument(), 515, 762, 85, 25,
                                                                   layout.Bitmap(kAboutTab), &pages, EditorPages::kAbout));
    synthTab->SetValue(1.0);
    pages.SetTab(EditorPages::kSynth, synthTab);
    pages.SetTab(EditorPages::kAbout, aboutTab);
}

void BuildPitchEnvelope(LayoutBuilder& layout) {
    layout.Switch(param::PitchOnOff, 491, 56, kOnOff);
    layout.Picture(501, 68, kPitchDisplay);
    layout.Curve(layout.Instrument().PitchEnvelopePreview(), 146, Rect(513, 80, 659, 126));
    const int knobs[] = {param::PitchAmount, param::PitchDuration, param::PitchPower, param::PitchDown};
    const char* labels[] = {"Amount", "Duration", "Power", "Down"};
    for (int i = 0; i < 4; ++i) layout.Knob(knobs[i], 491 + 50 * i, 139, kPitchKnob);
    for (int i = 0; i < 4; ++i) layout.Label(labels[i], Rect(481 + 50 * i, 130, 541 + 50 * i, 146));
    for (int i = 0; i < 4; ++i) layout.Caption(knobs[i], Rect(481 + 50 * i, 176, 541 + 50 * i, 192));
}

void BuildOscillator(LayoutBuilder& layout, int oscillator) {
    const int dy = kOscillatorStepPixels * oscillator;
    const int p = kOscillatorParamStep * oscillator;
    auto at = [dy](int left, int top, int right, int bottom) { return Rect(left, top + dy, right, bottom + dy); };
    const int displays[] = {kWaveformDisplay1, kWaveformDisplay2, kWaveformDisplay3};
    const char* names[] = {"waveform1", "waveform2", "waveform3"};
    const ::Readout nameReadouts[] = {Readout::WaveformName1, Readout::WaveformName2, Readout::WaveformName3};

    layout.Switch(param::Osc1OnOff + p, 81, 56 + dy, kOnOff);
    layout.Picture(84, 75 + dy, displays[oscillator]);
    layout.Curve(layout.Instrument().WaveformPreview(oscillator), 78, at(92, 86, 170, 115));
    layout.Readout(nameReadouts[oscillator], names[oscillator], at(91, 119, 191, 135), 4 + oscillator);
    layout.Stepper(param::OscWaveform1 + p, 176, 81 + dy, kPreviousWaveform, 36, Direction::Backward, false);
    layout.Stepper(param::OscWaveform1 + p, 176, 100 + dy, kNextWaveform, 36, Direction::Forward, false);
    layout.Switch(param::OscInvertWaveform1 + p, 196, 81 + dy, kInvertButton);
    layout.Knob(param::OscPitch1 + p, 91, 146 + dy, kOscPitchKnob);
    layout.Knob(param::OscFreq1 + p, 141, 146 + dy, kOscTuneKnob);
    layout.Knob(param::OscModFrequency1 + p, 206, 146 + dy, kLfoKnob);
    layout.Label("Pitch", at(76, 132, 136, 148));
    layout.Label("Tune", at(126, 132, 186, 148));
    layout.Label("LFO freq.", at(191, 132, 251, 148));
    layout.KvCaption(param::OscPitch1 + p, at(76, 176, 136, 192), IKvCaptionControl::kSemitones);
    layout.KvCaption(param::OscFreq1 + p, at(126, 176, 186, 192), IKvCaptionControl::kBipolar);
    layout.KvCaption(param::OscModFrequency1 + p, at(191, 176, 251, 192), IKvCaptionControl::kScaled, 20.0, 0.0, "Hz");
    layout.Knob(param::OscFilterCutoff1 + p, 251, 96 + dy, kFilterKnob);
    layout.Knob(param::OscFilterResonance1 + p, 306, 96 + dy, kResonanceKnob);
    layout.Label("Cutoff", at(241, 81, 301, 97));
    layout.Label("Resonance", at(296, 81, 356, 97));
    layout.Caption(param::OscFilterCutoff1 + p, at(241, 136, 301, 152));
    layout.Caption(param::OscFilterResonance1 + p, at(296, 136, 356, 152));
    layout.Slider(param::OscFilterType1 + p, 256, 151 + dy, kOscSliderTrack, kOscSliderLength);
    layout.Switch(param::Osc1InvertFilEnv + oscillator, 257, 166 + dy, kInvertFilterEnvelopeButton);
    const int amounts[] = {param::OscRingModAmount1 + p, param::OscFreqModAmount1 + p, param::OscFiltModAmount1 + p};
    for (int i = 0; i < 3; ++i) layout.Knob(amounts[i], 356 + 40 * i, 81 + dy, kLfoKnob);
    layout.Label("Ampl.", at(341, 68, 401, 84));
    layout.Label("Freq.", at(381, 68, 441, 84));
    layout.Label("Filter", at(421, 68, 481, 84));
    for (int i = 0; i < 3; ++i) layout.Caption(amounts[i], at(341 + 40 * i, 111, 401 + 40 * i, 127));
    layout.Knob(param::OscPan1 + p, 356, 146 + dy, kOscPanKnob);
    layout.Knob(param::OscSat1 + p, 396, 146 + dy, kOscSaturationKnob);
    layout.Knob(param::OscVolume1 + p, 436, 146 + dy, kOscVolumeKnob);
    layout.Label("Pan", at(341, 133, 401, 149));
    layout.Label("Sat", at(381, 133, 441, 149));
    layout.Label("Vol", at(421, 133, 481, 149));
    layout.KvCaption(param::OscPan1 + p, at(341, 176, 401, 192), IKvCaptionControl::kCentred);
    layout.KvCaption(param::OscSat1 + p, at(381, 176, 441, 192), IKvCaptionControl::kPercent);
    layout.KvCaption(param::OscVolume1 + p, at(421, 176, 481, 192), IKvCaptionControl::kDecibels);
}

void BuildEnvelope(LayoutBuilder& layout, bool filter) {
    const int dx = filter ? kFilterEnvelopeOffset : 0;
    auto at = [dx](int left, int top, int right, int bottom) { return Rect(left + dx, top, right + dx, bottom); };
    const int first = filter ? param::FilterAttack : param::EnvAttack;
    const int knob = filter ? kFilterEnvelopeKnob : kVolumeEnvelopeKnob;
    Dunerow& synth = layout.Instrument();

    layout.Picture(79 + dx, 505, filter ? kFilterEnvelopeDisplay : kVolumeEnvelopeDisplay);
    IKvCurve* curve = layout.Curve(filter ? synth.FilterEnvelopePreview() : synth.VolumeEnvelopePreview(), 116,
                                   at(91, 519, 207, 559));
    curve->SetHalfHeight(40.0);  // 0 on the bottom edge, 1 on the top
    for (int stage = 0; stage < 4; ++stage) layout.Knob(first + stage, 90 + 46 * stage + dx, 583, knob);
    layout.Knob(first + 4, 228 + dx, 519, knob);
    const char* labels[] = {"Attack", "Decay", "Sustain", "Release"};
    for (int stage = 0; stage < 4; ++stage) {
        layout.Label(labels[stage], at(75 + 46 * stage, 570, 135 + 46 * stage, 586));
    }
    layout.Label("Duration", at(213, 506, 273, 522));
    layout.Readout(filter ? Readout::FilterAttackTime : Readout::AttackTime, "0.0 s", at(75, 613, 135, 629));
    layout.Readout(filter ? Readout::FilterDecayTime : Readout::DecayTime, "0.0 s", at(121, 613, 181, 629));
    layout.Readout(filter ? Readout::FilterReleaseTime : Readout::ReleaseTime, "0.0 s", at(213, 613, 273, 629));
    layout.KvCaption(first + 2, at(167, 613, 227, 629), IKvCaptionControl::kPercent);
    layout.KvCaption(first + 4, at(213, 549, 273, 565), IKvCaptionControl::kScaled, 5.0, 0.0, "s");
}

void BuildUnisonFmTransposeAndBassLayer(LayoutBuilder& layout) {
    // Unison.
    layout.Knob(param::UnisonVoices, 633, 554, kUnisonVoicesKnob);
    layout.Knob(param::UnisonDetune, 683, 554, kUnisonKnob);
    layout.Label("Unison\nVoices", Rect(623, 524, 683, 540));
    layout.Label("Unison\nDetune", Rect(673, 524, 733, 540));
    layout.Readout(Readout::UnisonVoices, "voices", Rect(623, 594, 683, 610));
    layout.Caption(param::UnisonDetune, Rect(673, 594, 733, 610), true);
    // FM.
    layout.Knob(param::FmAmount, 586, 554, kFmKnob);
    layout.Label("FM\ncarrier", Rect(576, 524, 636, 540));
    layout.Caption(param::FmAmount, Rect(576, 594, 636, 610), true);
    // Transpose.
    layout.Knob(param::GlobalTranspose, 506, 618, kGlobalTuneKnob);
    layout.Label("Global Transpose", Rect(486, 601, 576, 617));
    layout.Label("Note Base Freq.", Rect(486, 668, 576, 684));
    layout.Readout(Readout::NoteFrequency, "0.0 Hz (-)", Rect(486, 683, 576, 699));
    // Bass layer.
    layout.Knob(param::BassLayerClick, 586, 643, kClickKnob);
    layout.Knob(param::BassLayerAmount, 636, 643, kBassLayerKnob);
    layout.Label("Click", Rect(576, 628, 636, 644));
    layout.Label("Bass-Layer", Rect(626, 628, 686, 644));
    layout.Caption(param::BassLayerClick, Rect(576, 683, 636, 699), true);
    layout.KvCaption(param::BassLayerAmount, Rect(626, 683, 686, 699), IKvCaptionControl::kDecibels);
    layout.Switch(param::BassLayerToFilter, 691, 654, kFilterButton);
    layout.Switch(param::BassLayerSolo, 691, 675, kSoloButton);
}

void BuildGlobalFilter(LayoutBuilder& layout) {
    layout.Switch(param::FilterOnOff, 491, 201, kOnOff);
    layout.Knob(param::FilterInputDrive, 504, 243, kFilterDriveKnob);
    layout.Knob(param::FilterCutoff, 554, 233, kFilterKnob);
    layout.Knob(param::FilterResonance, 609, 233, kResonanceKnob);
    layout.Knob(param::FilterTransition, 669, 243, kFilterTransitionKnob);
    layout.Label("In-Drive", Rect(489, 228, 549, 244));
    layout.Label("Cutoff", Rect(544, 220, 604, 236));
    layout.Label("Resonance", Rect(599, 220, 659, 236));
    layout.Label("Transition", Rect(654, 228, 714, 244));
    layout.Caption(param::FilterInputDrive, Rect(489, 273, 549, 289), true);
    layout.Readout(Readout::FilterCutoff, "cutoff", Rect(544, 273, 604, 289));
    layout.Caption(param::FilterResonance, Rect(599, 273, 659, 289), true);
    layout.Readout(Readout::FilterTransition, "transition", Rect(654, 273, 714, 289));
    layout.Stepper(param::FilterMode1, 494, 289, kModeButton, 4, Direction::Forward, true);
    layout.Stepper(param::FilterMode2, 659, 289, kModeButton, 4, Direction::Forward, true);
    layout.Readout(Readout::FilterMode1, "fmode1", Rect(488, 313, 548, 329));
    layout.Readout(Readout::FilterMode2, "fmode2", Rect(653, 313, 713, 329));
    layout.Slider(param::FilterType, 549, 292, kFilterSliderTrack, kFilterSliderLength);
    layout.Readout(Readout::FilterType, "type fader", Rect(549, 313, 653, 329));
}

void BuildModulationEffects(LayoutBuilder& layout) {
    layout.Switch(param::ModulationOnOff, 728, 201, kOnOff);
    layout.Knob(param::RingModulationFrequency, 733, 233, kModFxKnob);
    layout.Knob(param::RingModulationWaveForm, 783, 233, kModFxWaveformKnob);
    layout.Knob(param::RingModulationAmount, 753, 291, kModFxAmountKnob);
    layout.Synth(std::make_unique<IKvSyncButton>(&layout.Instrument(), 813, 301, layout.Bitmap(kSyncButton)));
    layout.Label("Rate", Rect(718, 220, 778, 236));
    layout.Label("Waveform", Rect(768, 220, 828, 236));
    layout.Label("Amount", Rect(738, 278, 798, 294));
    layout.KvCaption(param::RingModulationFrequency, Rect(718, 263, 778, 279), IKvCaptionControl::kScaledCoarse, 4000.0,
                     0.0, "Hz");
    layout.Readout(Readout::RingWaveform, "ring form", Rect(768, 263, 828, 279));
    layout.Caption(param::RingModulationAmount, Rect(738, 321, 798, 337), true);
    layout.Knob(param::PhaserRate, 868, 233, kModFxKnob);
    layout.Knob(param::PhaserFeedback, 918, 233, kModFxKnob);
    layout.Knob(param::PhaserDepth, 888, 291, kModFxAmountKnob);
    layout.Label("Rate", Rect(853, 220, 913, 236));
    layout.Label("Feedb.", Rect(903, 220, 963, 236));
    layout.Label("Amount", Rect(873, 278, 933, 294));
    layout.KvCaption(param::PhaserRate, Rect(853, 263, 913, 279), IKvCaptionControl::kScaled, 10.0, 0.0, "Hz");
    layout.Caption(param::PhaserFeedback, Rect(903, 263, 963, 279), true);
    layout.Caption(param::PhaserDepth, Rect(873, 321, 933, 337), true);
}

void BuildDistortionAndShaper(LayoutBuilder& layout) {
    Dunerow& synth = layout.Instrument();
    layout.Switch(param::DistortionOnOff, 491, 347, kOnOff);
    layout.Picture(484, 364, kDistortionDisplay);
    layout.CurvePair(synth.DistortionWavePreview(), synth.ShaperWavePreview(), 98, Rect(490, 371, 588, 396));
    layout.Readout(Readout::DistortionType, "distortion", Rect(489, 401, 589, 417), 2);
    layout.Stepper(param::DistortionType, 592, 365, kPreviousUp, 36, Direction::Backward, false);
    layout.Stepper(param::DistortionType, 592, 382, kNextDown, 36, Direction::Forward, false);
    layout.Bitmap(kAntiAliasButton);  // loaded with the panel, placed nowhere
    layout.Stepper(param::DistortionInterpMode, 621, 365, kDistortionModeButton, 5, Direction::Forward, true);
    layout.Switch(param::DistortionLoudness, 621, 386, kLoudButton);
    layout.Picture(672, 361, kDistortionCurveDisplay);
    layout.CurvePair(synth.DistortionCurvePreview(), synth.ShaperCurvePreview(), 108, Rect(681, 371, 789, 460));
    layout.Label("Distortion Curve", Rect(681, 465, 789, 481));
    layout.Label("Amount", Rect(615, 409, 675, 425));
    layout.Label("BitCrash", Rect(478, 420, 538, 436));
    layout.Label("SmpRate", Rect(522, 420, 582, 436));
    layout.Label("Gate", Rect(566, 420, 626, 436));
    layout.Readout(Readout::Interpolation, "interpolation", Rect(686, 369, 786, 385), 2);
    layout.Knob(param::Distortion, 625, 424, kDistortionKnob);
    layout.Caption(param::Distortion, Rect(615, 464, 675, 480), true);
    layout.Knob(param::Quantization, 493, 434, kBitCrushKnob);
    layout.Knob(param::SampleRate, 537, 434, kSampleRateKnob);
    layout.Knob(param::Gate, 581, 434, kGateKnob);
    layout.Readout(Readout::Bits, "64 bit", Rect(478, 464, 538, 480));
    layout.Readout(Readout::ReducedRate, "44100 Hz", Rect(522, 464, 582, 480));
    layout.Readout(Readout::Gate, "-oo dB", Rect(566, 464, 626, 480));
    layout.Stepper(param::DynShaperMode, 802, 365, kDistortionModeButton, 4, Direction::Forward, true);
    layout.Readout(Readout::ShaperMode, "shaper mode", Rect(686, 448, 786, 464), 3);
    layout.Switch(param::DynShaperInvert, 802, 386, kInvertShapeButton);
    layout.Knob(param::DynShaper, 806, 424, kShaperWidthKnob);
    layout.Label("Amount", Rect(796, 409, 856, 425));
    layout.Caption(param::DynShaper, Rect(796, 464, 856, 480), true);
    layout.Knob(param::DynShaperType, 864, 424, kShaperTypeKnob);
    layout.Label("Shape", Rect(854, 409, 914, 425));
    layout.Readout(Readout::ShaperShape, "shape", Rect(854, 464, 914, 480));
}

void BuildEqualiser(LayoutBuilder& layout) {
    layout.Bitmap(kDumpExpandDisplay);  // loaded with the panel, placed nowhere
    layout.Picture(740, 591, kEqDisplay);
    layout.Knob(param::BassAmount, 751, 558, kEqLowKnob);
    layout.Knob(param::MidAmount, 801, 558, kEqMidKnob);
    layout.Knob(param::HighAmount, 851, 558, kEqHighKnob);
    layout.Knob(param::DumpExpand, 908, 558, kDumpExpandKnob);
    layout.Label("Bass", Rect(738, 544, 798, 560));
    layout.Label("Mid", Rect(788, 544, 848, 560));
    layout.Label("High", Rect(838, 544, 898, 560));
    layout.Label("Dump/Exp.", Rect(895, 544, 955, 560));
    layout.Readout(Readout::BassGain, "0.0 dB", Rect(738, 594, 798, 610));
    layout.Readout(Readout::MidGain, "0.0 dB", Rect(788, 594, 848, 610));
    layout.Readout(Readout::HighGain, "0.0 dB", Rect(838, 594, 898, 610));
    layout.Readout(Readout::DumpExpand, "freq.", Rect(895, 594, 955, 610));
}

void BuildOutput(LayoutBuilder& layout) {
    layout.Switch(param::BypassFX, 873, 483, kBypassButton);
    layout.Knob(param::Pan, 750, 648, kPanKnob);
    layout.Knob(param::Saturation, 800, 648, kSaturationKnob);
    layout.Knob(param::DryWet, 850, 648, kDryWetKnob);
    layout.Knob(param::Volume, 900, 640, kVolumeKnob);
    layout.Label("Pan", Rect(737, 634, 797, 650));
    layout.Label("Sat", Rect(787, 634, 847, 650));
    layout.Label("Dry/Wet", Rect(837, 634, 897, 650));
    layout.Label("Volume", Rect(895, 623, 955, 639));
    layout.KvCaption(param::Pan, Rect(737, 683, 797, 699), IKvCaptionControl::kCentred);
    layout.KvCaption(param::Saturation, Rect(787, 683, 847, 699), IKvCaptionControl::kPercent);
    layout.KvCaption(param::DryWet, Rect(837, 683, 897, 699), IKvCaptionControl::kPercent);
    layout.KvCaption(param::Volume, Rect(895, 690, 955, 706), IKvCaptionControl::kDecibels);
}

void BuildProgramBar(LayoutBuilder& layout) {
    Dunerow& synth = layout.Instrument();
    layout.Picture(500, 488, kProgramDisplay);
    layout.Synth(std::make_unique<IKvPresetSwitch>(&synth, 483, 488, layout.Bitmap(kPreviousProgram),
                                                   IKvPresetSwitch::Direction::Backward));
    const IText& nameStyle = layout.State().Style(1);
    // The name sits on the display frame drawn below it: no fill of its own.
    layout.Synth(std::make_unique<IKvPresetMenu>(&synth, Rect(500, 492, 682, 508), RasterColor{0, 0, 0, 0}, &nameStyle));
    layout.Synth(std::make_unique<IKvPresetSwitch>(&synth, 682, 488, layout.Bitmap(kNextProgram),
                                                   IKvPresetSwitch::Direction::Forward));
    layout.Synth(std::make_unique<IKvFileSelector>(&synth, 707, 488, layout.Bitmap(kLoadButton), FileAction::Open));
    layout.Synth(std::make_unique<IKvFileSelector>(&synth, 755, 488, layout.Bitmap(kSaveButton), FileAction::Save));
    layout.Synth(std::make_unique<IKvPlayButton>(&synth, 803, 488, layout.Bitmap(kPlayButton)));
}

void BuildInfoBar(LayoutBuilder& layout) {
    Dunerow& synth = layout.Instrument();
    layout.Picture(515 - 700 / 2, 700, kInfoDisplay);
    layout.Synth(std::make_unique<IKvHostInfoText>(&synth, Rect(185, 717, 445, 733), layout.State().Style(10)));
    layout.Synth(std::make_unique<IKvMaxLevelText>(&synth, Rect(696, 717, 816, 733), layout.State().Style(11)));
    layout.Switch(param::KickTransposeMode, 501, 709, kKickModeButton);
    layout.Switch(param::LimitOutput, 566, 709, kLimitButton);
    layout.Synth(std::make_unique<IKvResetButton>(&synth, 631, 714, layout.Bitmap(kResetButton)));
}

void BuildAboutPage(LayoutBuilder& layout) {
    Dunerow& synth = layout.Instrument();
    auto picture = [&](int x, int y, int id) {
        layout.About(std::make_unique<IBitmapControl>(&synth, x, y, -1, layout.Bitmap(id)));
    };
    picture(145, 35, kMakerLogo);
    picture(110, 490, kEditionText);
    picture(365, 600, kTeamText);
    picture(453, 660, kPluginBadge);
    layout.About(std::make_unique<IKvUrlButton>(&synth, 760, 650, layout.Bitmap(kWebSiteIcon),
                                                dunerow_editor::kWebSiteUrl, dunerow_editor::kWebSiteFallbackUrl));
    layout.About(std::make_unique<IKvUrlButton>(&synth, 850, 643, layout.Bitmap(kSocialIcon),
                                                dunerow_editor::kSocialUrl, dunerow_editor::kSocialFallbackUrl));
    layout.About(std::make_unique<ITextControl>(&synth, Rect(760, 645, 860, 661), layout.State().Style(1),
                                                dunerow_editor::kWebSiteCaption));
    layout.About(std::make_unique<ITextControl>(&synth, Rect(850, 645, 950, 661), layout.State().Style(1),
                                                dunerow_editor::kSocialCaption));
}

}  // namespace

DunerowEditorState& BuildDunerowEditor(Dunerow& synth, IGraphics& graphics) {
    auto owned = std::make_unique<DunerowEditorState>(synth, graphics);
    DunerowEditorState& state = *owned;
    LayoutBuilder layout(synth, graphics, state);

    BuildFrame(layout, graphics);
    BuildPitchEnvelope(layout);
    for (int oscillator = 0; oscillator < 3; ++oscillator) BuildOscillator(layout, oscillator);
    BuildEnvelope(layout, false);
    BuildEnvelope(layout, true);
    BuildUnisonFmTransposeAndBassLayer(layout);
    BuildGlobalFilter(layout);
    BuildModulationEffects(layout);
    BuildDistortionAndShaper(layout);
    BuildEqualiser(layout);
    BuildOutput(layout);
    BuildProgramBar(layout);
    BuildInfoBar(layout);
    layout.Picture(80, 627, kTitle);
    layout.Neither(std::make_unique<IBitmapControl>(&synth, 70, 757, -1, layout.Bitmap(kBadge64)));
    BuildAboutPage(layout);

    graphics.AddTickListener(std::move(owned));
    return state;
}
