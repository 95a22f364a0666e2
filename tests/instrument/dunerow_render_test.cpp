#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "support/instrument_rig.h"

namespace {

double Peak(const std::vector<double>& samples, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    double peak = 0.0;
    for (std::size_t i = from; i < std::min(to, samples.size()); ++i) peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

// A patch whose output is the bass layer's sine times the volume envelope:
// no oscillators, no filters, no pitch sweep, output stage at unity.
void BassLayerOnly(InstrumentRig& rig) {
    rig.Set(param::Osc1OnOff, 0.0);
    rig.Set(param::Osc2OnOff, 0.0);
    rig.Set(param::Osc3OnOff, 0.0);
    rig.Set(param::PitchOnOff, 0.0);
    rig.Set(param::BassLayerAmount, 1.0);
    rig.Set(param::BassLayerSolo, 1.0);
    rig.Set(param::Volume, 1.0);
    rig.Set(param::EnvDuration, 0.2);  // one second per unit of stage setting
    rig.Set(param::EnvAttack, 0.1);
    rig.Set(param::EnvDecay, 0.2);
    rig.Set(param::EnvSustain, 0.5);
    rig.Set(param::EnvRelease, 0.1);
}

// A patch that uses most of the voice: three shapes, unison, FM, LFOs,
// saturation, filters, pitch sweep, click and bass layer.
void BusyPatch(InstrumentRig& rig) {
    rig.Set(param::OscWaveform1, 1.0 / 35.0);   // band-limited saw
    rig.Set(param::OscWaveform2, 11.0 / 35.0);  // a single-cycle table
    rig.Set(param::OscWaveform3, 1.0);          // a user waveform set
    rig.Set(param::OscSat2, 0.4);
    rig.Set(param::OscPan1, 0.2);
    rig.Set(param::OscPan3, 0.9);
    rig.Set(param::OscFilterCutoff1, 0.6);
    rig.Set(param::OscFilterResonance1, 0.3);
    rig.Set(param::OscFilterType2, 0.7);
    rig.Set(param::OscModFrequency1, 0.3);
    rig.Set(param::OscRingModAmount1, 0.5);
    rig.Set(param::OscFiltModAmount1, 0.4);
    rig.Set(param::OscModFrequency3, 0.1);
    rig.Set(param::OscFreqModAmount3, 0.6);
    rig.Set(param::OscFreq2, 0.7);
    rig.Set(param::OscPitch3, 0.3);
    rig.Set(param::Osc2InvertFilEnv, 1.0);
    rig.Set(param::UnisonVoices, 1.0);
    rig.Set(param::UnisonDetune, 0.6);
    rig.Set(param::FmAmount, 0.3);
    rig.Set(param::PitchAmount, 0.5);
    rig.Set(param::PitchDown, 0.2);
    rig.Set(param::BassLayerAmount, 0.5);
    rig.Set(param::BassLayerClick, 0.5);
    rig.Set(param::EnvAttack, 0.01);
    rig.Set(param::EnvRelease, 0.05);
    rig.Set(param::Saturation, 0.2);
    rig.Set(param::Pan, 0.4);
    rig.Set(param::FilterCutoff, 0.7);
    rig.Set(param::FilterResonance, 0.3);
    rig.Set(param::FilterType, 0.4);
    rig.Set(param::FilterMode2, 0.4);
    rig.Set(param::FilterInputDrive, 0.1);
    rig.Set(param::BassLayerToFilter, 1.0);
}

class EnvelopeRender : public ::testing::TestWithParam<double> {};

}  // namespace

// The bass layer's first frame reads the phase one step on, and the volume
// envelope trails the audio by one frame; the stages follow the linear laws.
TEST_P(EnvelopeRender, NoteFollowsTheEnvelopeLawsAtItsPitch) {
    const double rate = GetParam();
    InstrumentRig rig(rate, 256);
    BassLayerOnly(rig);
    rig.Render(4000, 256);  // lets the output-stage smoothers settle at their targets

    const int start = 37;
    const int release = 40000;
    const int frames = 60000;
    const StereoBuffer out = rig.Render(frames, 256, {On(start, 57), Off(release, 57)});

    const double attack = std::trunc(0.1 * rate);
    const double decay = std::trunc(0.2 * rate);
    const double releaseLength = std::trunc(0.1 * rate);
    const double noteFrequency = 440.0 / rate;  // note 57 sounds at 440 Hz
    auto envelope = [&](int k) {                 // gain applied at note frame k
        if (k <= 0) return 0.0;
        if (k <= attack) return k / (0.1 * rate);
        if (k - attack < decay) return 1.0 - (k - attack) / (0.2 * rate) * 0.5;
        const int sinceRelease = k - (release - start);
        if (sinceRelease <= 0) return 0.5;
        return std::max(0.0, 0.5 * (1.0 - sinceRelease / (0.1 * rate)));
    };

    for (int k : {0, 1, 2, 100, static_cast<int>(attack) / 2, static_cast<int>(attack) - 3,
                  static_cast<int>(attack + decay / 2), static_cast<int>(attack + decay) + 50, 30000,
                  release - start - 2, release - start + static_cast<int>(releaseLength / 2)}) {
        for (int i = k; i < k + 16; ++i) {
            const double expected = envelope(i) * std::sin(2.0 * std::numbers::pi * noteFrequency * (i + 1));
            ASSERT_NEAR(out.left[static_cast<std::size_t>(start + i)], expected, 1e-9) << "note frame " << i;
        }
    }
    for (int i = 0; i < start; ++i) ASSERT_EQ(out.left[static_cast<std::size_t>(i)], 0.0);
    const auto silentFrom = static_cast<std::size_t>(release + static_cast<int>(releaseLength) + 2);
    EXPECT_EQ(Peak(out.left, silentFrom), 0.0);
    EXPECT_EQ(rig.Synth().Voices().SoundingVoices(), 0);
}

INSTANTIATE_TEST_SUITE_P(SampleRates, EnvelopeRender, ::testing::Values(44100.0, 96000.0));

TEST(DunerowRender, SineOscillatorPlaysAtTheNotePitch) {
    for (double rate : {44100.0, 96000.0}) {
        InstrumentRig rig(rate, 512);
        rig.BypassEffects();
        rig.Set(param::Osc2OnOff, 0.0);
        rig.Set(param::Osc3OnOff, 0.0);
        rig.Set(param::PitchOnOff, 0.0);
        rig.Set(param::FilterAttack, 0.0);
        rig.Set(param::FilterSustain, 1.0);
        rig.Set(param::EnvSustain, 1.0);
        const StereoBuffer out = rig.Render(static_cast<int>(rate), 512, {On(0, 45)});  // 220 Hz

        std::vector<double> crossings;
        for (std::size_t i = static_cast<std::size_t>(rate / 10); i + 1 < out.left.size(); ++i) {
            const double a = out.left[i];
            const double b = out.left[i + 1];
            if (a < 0.0 && b >= 0.0) crossings.push_back(static_cast<double>(i) + a / (a - b));
        }
        ASSERT_GT(crossings.size(), 100u);
        const double period = (crossings.back() - crossings.front()) / static_cast<double>(crossings.size() - 1);
        EXPECT_NEAR(period, rate / 220.0, rate / 220.0 * 1e-4) << rate;
    }
}

TEST(DunerowRender, OutputDoesNotDependOnTheBlockSize) {
    const std::vector<TimedMidi> events = {On(37, 36, 100),  On(90, 48, 80),  On(1203, 60, 127), Off(1900, 36),
                                           On(2050, 43, 64), Off(2777, 48),   Off(3001, 60),     On(3300, 72, 110),
                                           Off(4567, 43),    Off(4990, 72)};
    auto render = [&](int blockSize) {
        InstrumentRig rig(48000.0, 512);
        BusyPatch(rig);
        return rig.Render(7000, blockSize, events);
    };
    const StereoBuffer reference = render(512);
    ASSERT_GT(Peak(reference.left), 0.05);
    for (int blockSize : {1, 64, 100}) {
        const StereoBuffer out = render(blockSize);
        for (std::size_t i = 0; i < reference.left.size(); ++i) {
            ASSERT_NEAR(out.left[i], reference.left[i], 1e-12) << "block " << blockSize << " frame " << i;
            ASSERT_NEAR(out.right[i], reference.right[i], 1e-12) << "block " << blockSize << " frame " << i;
        }
    }
}

TEST(DunerowRender, CallsLongerThanTheBlockSizeAreRenderedInPasses) {
    const std::vector<TimedMidi> events = {On(10, 50), Off(1500, 50), On(1700, 62)};
    InstrumentRig announced(44100.0, 64);
    BusyPatch(announced);
    const StereoBuffer reference = announced.Render(3000, 64, events);

    InstrumentRig oversized(44100.0, 64);
    BusyPatch(oversized);
    const StereoBuffer whole = oversized.Render(3000, 3000, events);
    for (std::size_t i = 0; i < reference.left.size(); ++i) ASSERT_NEAR(whole.left[i], reference.left[i], 1e-12) << i;
}

TEST(DunerowRender, ProcessingBeforeAnyBlockSizeStillRenders) {
    Dunerow synth;
    EXPECT_EQ(synth.GetBlockSize(), 0);
    synth.GetParam(param::BypassFX)->SetFromNormalized(1.0);
    synth.ApplyParameter(param::BypassFX);
    std::vector<double> left(2000, 1.0), right(2000, 1.0);
    double* outputs[2] = {left.data(), right.data()};
    synth.QueueMidiMessage({5, 0x90, 60, 127});
    synth.ProcessBlock(nullptr, outputs, 2000);
    EXPECT_GT(Peak(left), 0.01);
    EXPECT_EQ(left[0], 0.0);
}

TEST(DunerowRender, NoteStartingInsideABlockIsSilentBeforeItsFrame) {
    InstrumentRig rig(44100.0, 512);
    rig.BypassEffects();
    const int offset = 300;
    const StereoBuffer out = rig.Render(512, 512, {On(offset, 60)});
    for (int i = 0; i <= offset; ++i) ASSERT_EQ(out.left[static_cast<std::size_t>(i)], 0.0) << i;
    EXPECT_GT(Peak(out.left, offset + 1), 0.0);
}

TEST(DunerowRender, SixtyFifthKeyFindsNoVoice) {
    InstrumentRig rig;
    std::vector<TimedMidi> events;
    for (int note = 20; note < 85; ++note) events.push_back(On(0, note));
    rig.Render(64, 64, events);
    EXPECT_EQ(rig.Synth().Voices().SoundingVoices(), 64);
    EXPECT_EQ(rig.Synth().Receiver().KeysDown(), 65);
    for (int voice = 0; voice < VoicePool::kVoices; ++voice) {
        EXPECT_NE(rig.Synth().Voices().Voice(voice).NoteNumber(), 84) << "no voice for the 65th key";
    }
}

TEST(DunerowRender, VelocityZeroNoteOnReleasesTheVoice) {
    InstrumentRig rig;
    rig.Set(param::EnvRelease, 0.01);
    rig.Render(1024, 256, {On(0, 60), On(600, 60, 0)});
    const Korvane::Note& voice = rig.Synth().Voices().Voice(0);
    EXPECT_EQ(voice.VolumeEnvelope().GetState(), Korvane::ADSR::kRelease);
    rig.Render(4096, 256);
    EXPECT_TRUE(voice.IsIdle());
}

TEST(DunerowRender, PanExtremesSilenceOneSide) {
    for (double pan : {0.0, 1.0}) {
        InstrumentRig rig;
        rig.BypassEffects();
        rig.Set(param::Pan, pan);
        const StereoBuffer out = rig.Render(4096, 256, {On(0, 60)});
        const std::vector<double>& silent = pan == 0.0 ? out.right : out.left;
        const std::vector<double>& sounding = pan == 0.0 ? out.left : out.right;
        EXPECT_GT(Peak(sounding, 1000), 0.01) << pan;
        EXPECT_LT(Peak(silent, 1000), 1e-3 * Peak(sounding, 1000)) << "the pan smoother has settled by then";
    }
}

TEST(DunerowRender, ClipCeilingFollowsLimitOutput) {
    for (double limit : {0.0, 1.0}) {
        InstrumentRig rig;
        rig.BypassEffects();
        rig.Set(param::Volume, 1.0);
        rig.Set(param::LimitOutput, limit);
        rig.Set(param::EnvSustain, 1.0);
        const StereoBuffer out = rig.Render(8192, 512, {On(0, 40), On(0, 47), On(0, 52)});
        const double ceiling = limit > 0.0 ? 0.99 : 3.16227;
        EXPECT_EQ(Peak(out.left), ceiling) << "three loud notes reach the ceiling";
        EXPECT_EQ(rig.Synth().Meter().Left(), ceiling);
    }
}

TEST(DunerowRender, SoloedBassLayerWithoutAmountIsSilent) {
    InstrumentRig rig;
    rig.Set(param::BassLayerSolo, 1.0);
    rig.Set(param::BassLayerAmount, 0.0);
    const StereoBuffer out = rig.Render(4096, 256, {On(0, 48)});
    EXPECT_EQ(Peak(out.left), 0.0);
    EXPECT_EQ(Peak(out.right), 0.0);
}

TEST(DunerowRender, MeterResetTakesEffectAfterTheNextBlock) {
    InstrumentRig rig;
    rig.Render(2048, 256, {On(0, 60)});
    ASSERT_GT(rig.Synth().Meter().Peak(), 0.0);
    rig.Synth().Meter().RequestReset();
    rig.Render(256, 256);
    EXPECT_EQ(rig.Synth().Meter().Peak(), 0.0);
    EXPECT_FALSE(rig.Synth().Meter().IsResetRequested());
}

TEST(DunerowRender, PreviewNoteStartsAndStopsANote) {
    InstrumentRig rig;
    rig.Synth().Preview().Request(48, PreviewNote::kRestart);
    rig.Render(256, 256);
    EXPECT_TRUE(rig.Synth().Receiver().IsKeyDown(48));
    EXPECT_EQ(rig.Synth().Voices().Voice(0).NoteNumber(), 48);
    rig.Synth().Preview().Request(48, PreviewNote::kStop);
    rig.Render(256, 256);
    EXPECT_FALSE(rig.Synth().Receiver().IsKeyDown(48));
}

TEST(DunerowRender, AFloodOfEventsIsBoundedAndHarmless) {
    InstrumentRig rig(44100.0, 64);
    for (int i = 0; i < 200000; ++i) {
        rig.Synth().QueueMidiMessage({i / 40, static_cast<uint8_t>(i % 2 ? 0x80 : 0x90), static_cast<uint8_t>(i % 128), 90});
    }
    EXPECT_LE(rig.Synth().Receiver().Queue().Size(), MidiQueue::kMaximumCapacity);
    const StereoBuffer out = rig.Render(6000, 64);
    for (double sample : out.left) ASSERT_TRUE(std::isfinite(sample));
}

TEST(DunerowRender, InvalidSampleRateKeepsTheLastGoodOne) {
    InstrumentRig rig(48000.0, 128);
    rig.Prepare(0.0, 128);
    rig.Prepare(std::numeric_limits<double>::quiet_NaN(), 128);
    rig.Render(128, 128, {On(0, 69)});
    EXPECT_DOUBLE_EQ(rig.Synth().Voices().Voice(0).NormalisedFrequency(), 880.0 / 48000.0);
}

TEST(DunerowRender, GlobalTransposeScalesTheNote) {
    InstrumentRig rig;
    rig.Set(param::GlobalTranspose, 1.0);
    EXPECT_EQ(rig.Synth().TransposeFactor(), 2.0);
    rig.Render(64, 64, {On(0, 69)});
    EXPECT_EQ(rig.Synth().LastNoteFrequency(), 1760.0);
    rig.Set(param::GlobalTranspose, 0.0);
    EXPECT_EQ(rig.Synth().TransposeFactor(), 0.5);
}

TEST(DunerowRender, GlobalFilterShapesTheMixUnlessEffectsAreBypassed) {
    auto peak = [](double bypass) {
        InstrumentRig rig;
        rig.Set(param::BypassFX, bypass);
        rig.Set(param::FilterCutoff, 0.0);  // the RBJ low pass at 10 Hz
        const StereoBuffer out = rig.Render(8192, 512, {On(0, 69)});
        return Peak(out.left, 4096);
    };
    const double open = peak(1.0);
    EXPECT_GT(open, 0.1);
    EXPECT_LT(peak(0.0), 0.01 * open);
}

TEST(DunerowRender, BassLayerPassesItsFilterWhenRoutedEvenWithEffectsBypassed) {
    auto peak = [](double toFilter) {
        InstrumentRig rig;
        BassLayerOnly(rig);
        rig.BypassEffects();
        rig.Set(param::BassLayerToFilter, toFilter);
        rig.Set(param::FilterCutoff, 0.0);
        const StereoBuffer out = rig.Render(16384, 512, {On(0, 69)});
        return Peak(out.left, 8192);
    };
    const double direct = peak(0.0);
    EXPECT_GT(direct, 0.3);
    EXPECT_LT(peak(1.0), 0.01 * direct);
}
