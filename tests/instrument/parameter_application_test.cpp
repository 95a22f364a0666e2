// Every conversion of a parameter value into engine settings, through ApplyParameter.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "instrument/dunerow.h"
#include "instrument/readout_texts.h"

namespace {

class ParameterApplication : public ::testing::Test {
protected:
    void Set(int index, double value) {
        synth.GetParam(index)->SetFromNormalized(value);
        synth.ApplyParameter(index);
    }
    const Korvane::Note& Voice(int index = 0) { return synth.Voices().Voice(index); }

    Dunerow synth;
};

}  // namespace

TEST_F(ParameterApplication, StoresEveryValueInTheCurrentProgram) {
    for (int index = 0; index < kParameterCount; ++index) {
        Set(index, 0.25);
        const double expected = index == param::Quantization ? 0.25 * 0.25 * 0.25 * 0.25 : 0.25;
        EXPECT_EQ(synth.ProgramValues()[static_cast<std::size_t>(index)], expected) << index;
    }
}

TEST_F(ParameterApplication, TransposeAndOscillatorPitchFollowTheOctaveLaw) {
    for (const auto& [value, factor] : {std::pair{0.5, 1.0}, {0.0, 0.5}, {1.0, 2.0}, {0.25, 0.75}}) {
        Set(param::GlobalTranspose, value);
        EXPECT_EQ(synth.TransposeFactor(), factor) << value;
        Set(param::OscPitch2, value);
        EXPECT_EQ(Voice(63).PitchFactor(1), factor) << value;
    }
}

TEST_F(ParameterApplication, FineTuneSpansASemitoneEachWay) {
    Set(param::OscFreq1, 0.5);
    EXPECT_EQ(Voice().FineFactor(0), 1.0);
    Set(param::OscFreq1, 1.0);
    EXPECT_DOUBLE_EQ(Voice().FineFactor(0), 1.059463094359);
    Set(param::OscFreq1, 0.0);
    EXPECT_DOUBLE_EQ(Voice().FineFactor(0), 1.0 / 1.059463094359);
    Set(param::OscFreq3, 0.75);
    EXPECT_DOUBLE_EQ(Voice(10).FineFactor(2), 1.0 + 0.5 * 0.059463094359);
}

TEST_F(ParameterApplication, UnisonVoicesSwitchAtHalfway) {
    Set(param::UnisonVoices, 0.499);
    EXPECT_EQ(Voice().UnisonCount(), 1);
    Set(param::UnisonVoices, 0.5);
    EXPECT_EQ(Voice().UnisonCount(), 2);
}

TEST_F(ParameterApplication, EnvelopeSettingsHaveTheirFloors) {
    Set(param::EnvAttack, 0.0);
    EXPECT_EQ(synth.VolumeEnvelopeDisplay().Attack(), 1e-06);
    EXPECT_EQ(synth.Voices().Voice(5).VolumeEnvelope().Attack(), 1e-06);
    Set(param::FilterDecay, 0.0);
    EXPECT_EQ(synth.FilterEnvelopeDisplay().Decay(), 2e-05);
    Set(param::EnvSustain, 0.0);
    EXPECT_EQ(synth.VolumeEnvelopeDisplay().Sustain(), 1e-05);
    Set(param::FilterRelease, 0.0);
    EXPECT_EQ(synth.FilterEnvelopeDisplay().ReleaseTime(), 1e-05);
    Set(param::EnvDuration, 0.3);
    EXPECT_DOUBLE_EQ(synth.VolumeEnvelopeDisplay().TimeScale(), 1.5);
    Set(param::FilterDuration, 0.0);
    EXPECT_EQ(synth.FilterEnvelopeDisplay().TimeScale(), 0.001);

    char text[32];
    readout::Seconds(text, synth.VolumeEnvelopeDisplay().Attack() * synth.VolumeEnvelopeDisplay().TimeScale());
    EXPECT_STREQ(text, "0.000 s");
}

TEST_F(ParameterApplication, PitchEnvelopeSettings) {
    Set(param::PitchOnOff, 0.0);
    EXPECT_TRUE(synth.GetPitchEnvelope().IsDisabled());
    Set(param::PitchOnOff, 0.001);
    EXPECT_FALSE(synth.GetPitchEnvelope().IsDisabled());
    Set(param::PitchDuration, 0.4);
    EXPECT_EQ(synth.GetPitchEnvelope().DurationSeconds(), 0.8);
    Set(param::PitchPower, 0.001);
    EXPECT_EQ(synth.GetPitchEnvelope().Power(), 0.002);
    Set(param::PitchPower, 0.7);
    EXPECT_EQ(synth.GetPitchEnvelope().Power(), 0.7);
}

TEST_F(ParameterApplication, SelectorsRoundToTheirPositions) {
    Set(param::RingModulationWaveForm, 0.4);
    EXPECT_EQ(synth.GetRingModulator().GetWaveform(), 2);
    EXPECT_EQ(readout::RingWaveform(2), "Saw");
    Set(param::RingModulationWaveForm, 0.6);
    EXPECT_EQ(synth.GetRingModulator().GetWaveform(), 2);
    Set(param::DynShaperType, 1.0 / 3.0);
    EXPECT_EQ(synth.GetDynShaper().GetShape(), 1);
    Set(param::DynShaperType, 2.0 / 3.0);
    EXPECT_EQ(synth.GetDynShaper().GetShape(), 1);
    EXPECT_EQ(readout::ShaperType(1), "Triangle");
    Set(param::DynShaperMode, 1.0);
    EXPECT_EQ(synth.GetDynShaper().GetMode(), 3);
    Set(param::DistortionType, 1.0);
    EXPECT_EQ(synth.GetDistortion().Type(), 35);
    char text[48];
    readout::DistortionType(text, synth.GetDistortion().Type(), Korvane::Distortion::NameOfIndex(35));
    EXPECT_STREQ(text, "36: Noise-Gate 1");
    Set(param::DistortionInterpMode, 0.75);
    EXPECT_EQ(synth.GetDistortion().Interpolation(), 3);
}

TEST_F(ParameterApplication, DistortionSectionSettings) {
    Set(param::DynShaper, 0.5);
    EXPECT_EQ(synth.GetDynShaper().Amount(), 0.25);
    Set(param::SampleRate, 0.5);
    EXPECT_EQ(synth.GetDistortion().HoldLength(), 63);
    Set(param::Gate, 0.5);
    EXPECT_EQ(synth.GetDistortion().GateThreshold(), 0.0625);
    Set(param::Quantization, 0.5);  // the fourth-power curve: amount 0.0625
    EXPECT_DOUBLE_EQ(synth.GetBitCrusher().Bits(), 61.5 * 0.0625 + 2.5);
    Set(param::Quantization, 1.0);
    EXPECT_EQ(synth.GetBitCrusher().Bits(), 64.0);
    Set(param::DistortionOnOff, 0.0);
    EXPECT_TRUE(synth.GetDistortion().IsBypassed());
    EXPECT_TRUE(synth.GetDynShaper().IsBypassed());
}

TEST_F(ParameterApplication, ModulationEffectSettings) {
    synth.SetSampleRate(48000.0);
    synth.OnReset();
    Set(param::RingModulationFrequency, 0.3);
    EXPECT_DOUBLE_EQ(synth.GetRingModulator().PhaseIncrement(), 0.3 / 48000.0 * 4000.0 * 2.0 * std::numbers::pi);
    Set(param::PhaserRate, 0.5);
    EXPECT_DOUBLE_EQ(synth.GetPhaser().LfoIncrement(), 0.5 / 48000.0 * 2.0 * std::numbers::pi * 10.0);
    Set(param::PhaserFeedback, 1.0);
    EXPECT_DOUBLE_EQ(synth.GetPhaser().Feedback(), 0.999);
    Set(param::ModulationOnOff, 0.0);
    EXPECT_TRUE(synth.GetRingModulator().IsBypassed());
}

TEST_F(ParameterApplication, FilterAndToneSettings) {
    Set(param::FilterTransition, 1.0);
    EXPECT_EQ(synth.GlobalFilter().TransitionFrames(), 256);
    EXPECT_EQ(synth.BassLayerFilter().TransitionFrames(), 256);
    Set(param::FilterCutoff, 0.5);
    EXPECT_EQ(synth.BassLayerFilter().Cutoff(), 0.5);
    Set(param::BassAmount, 0.75);
    EXPECT_DOUBLE_EQ(synth.GetEqualizer().BassGainDb(), 12.0);
    Set(param::DumpExpand, 0.25);
    EXPECT_EQ(synth.GetDumpExpand().Position(), 0.25);
    Set(param::FilterOnOff, 0.0);
    EXPECT_TRUE(synth.GlobalFilter().IsBypassed());
}

TEST_F(ParameterApplication, LimitOutputRestartsTheMeter) {
    Set(param::LimitOutput, 0.0);
    EXPECT_TRUE(synth.Meter().IsResetRequested()) << "even when the ceiling does not change";
}

TEST_F(ParameterApplication, RingSyncFollowsTheLastNote) {
    synth.SetBlockSize(64);
    synth.OnReset();
    Set(param::KickTransposeMode, 0.0);  // notes at their own pitch
    synth.SyncRingFrequency(2.0);
    EXPECT_EQ(synth.GetRingModulator().Frequency(), 0.0) << "no note played yet";
    synth.QueueMidiMessage({0, 0x90, 57, 100});  // 440 Hz
    std::vector<double> left(64), right(64);
    double* outputs[2] = {left.data(), right.data()};
    synth.ProcessBlock(nullptr, outputs, 64);
    synth.SyncRingFrequency(4.0);
    EXPECT_DOUBLE_EQ(synth.GetRingModulator().Frequency(), 1760.0 / 4000.0);
    EXPECT_DOUBLE_EQ(synth.GetParam(param::RingModulationFrequency)->Value(), 0.44);
    synth.SyncRingFrequency(32.0);
    EXPECT_EQ(synth.ProgramValues()[param::RingModulationFrequency], 1.0) << "limited to 4000 Hz";
}

TEST(ReadoutTexts, FormatLikeTheEditorShowsThem) {
    char text[64];
    readout::WaveformCaption(text, 0, "Sine");
    EXPECT_STREQ(text, "01: Sine");
    readout::Decibels(text, -6.0);
    EXPECT_STREQ(text, "-6.0dB");
    readout::DumpExpand(text, 0.25);
    EXPECT_STREQ(text, "50.0% LP");
    readout::DumpExpand(text, 0.75);
    EXPECT_STREQ(text, "50.0% HP");
    readout::Bits(text, 2.5);
    EXPECT_STREQ(text, "2.5bit");
    readout::ReducedRate(text, 44100.0, 63, 0.5);
    EXPECT_STREQ(text, "700Hz");
    readout::ReducedRate(text, 44100.0, 0, 1.0);
    EXPECT_STREQ(text, "44100Hz");
    readout::GateThreshold(text, 0.0, 0.0);
    EXPECT_STREQ(text, "-oodB");
    readout::GateThreshold(text, 0.5, 0.0625);
    EXPECT_STREQ(text, "-24.1dB");
    readout::FilterBlend(text, 0.25);
    EXPECT_STREQ(text, "75.0% / 25.0%");
    readout::Hertz(text, 2000.9);
    EXPECT_STREQ(text, "2000Hz");
    readout::MaxLevel(text, 0.0);
    EXPECT_STREQ(text, "MAX LEVEL: -oo dB");
    readout::MaxLevel(text, 0.5);
    EXPECT_STREQ(text, "MAX LEVEL: -6.0 dB");
    readout::NoteFrequency(text, 880.0, "A5");
    EXPECT_STREQ(text, "880.0Hz [A5]");
    readout::HostInfo(text, 44100.0, 120.0);
    EXPECT_STREQ(text, "HOST SAMPLE RATE: 44100.0 Hz   TEMPO: 120.00 BPM");
    readout::Count(text, 2);
    EXPECT_STREQ(text, "2");
    EXPECT_EQ(readout::Interpolation(0), "no interp.");
    EXPECT_EQ(readout::Interpolation(4), "hermite");
    EXPECT_EQ(readout::Interpolation(5), "unknown");
    EXPECT_EQ(readout::ShaperMode(3), "Boost+Sat.Shaper");
    EXPECT_EQ(readout::ShaperMode(9), "Shaper");
    EXPECT_EQ(readout::Transition(0), "Slow");
    EXPECT_EQ(readout::Transition(1), "Medium");
    EXPECT_EQ(readout::Transition(2), "Fast");
    EXPECT_EQ(readout::RingWaveform(7), "Sine");

    char tiny[4];
    readout::HostInfo(tiny, 44100.0, 120.0);
    EXPECT_STREQ(tiny, "HOS") << "never more than the buffer holds";
}
