// The factory bank: its slots, the published programs' values, the form of
// every value, and one note of every program through the built module,
// measured against what its section should sound like.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "programs/factory_programs.h"
#include "sound_profile.h"
#include "support/vst_test_host.h"

namespace {

using Changes = std::vector<std::pair<param::Id, double>>;

// "KV Bassdrum" in parameter order.
constexpr std::array<double, kParameterCount> kKvBassdrum = {
    1, 0, 0.5, 1, 0, 0.5, 0.5, 0, 1, 0, 0, 0, 0, 0, 0,  // oscillator 1
    0, 0, 0.5, 0, 0, 0.5, 0.5, 0, 1, 0, 0, 0, 0, 0, 0,  // oscillator 2
    0, 0, 0.5, 0, 0, 0.5, 0.5, 0, 1, 0, 0, 0, 0, 0, 0,  // oscillator 3
    0.01, 0.25, 0, 0.05, 0.2, 0.01, 0.25, 0, 0.05, 0.2,  // volume and filter envelopes
    0, 0, 0, 0, 0, 0, 0,                                 // filter envelope inversion, bass layer
    0.5, 1, 1, 0.125, 0.3, 0.6, 0, 0, 0.125, 0,          // transpose, pitch envelope, unison, FM
    0.5, 0.5, 0.5, 0.5,                                  // equaliser, dump/expand
    1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0,                  // distortion and shaper
    1, 0, 0, 1, 0, 0, 0, 1,                              // global filter
    0, 0, 0, 0, 0, 0.25, 0.5,                            // ring modulator, phaser
    0, 0, 0.5, 0, 1, 0.5,                                // output
};

std::array<double, kParameterCount> KvBassdrumWith(const Changes& changes) {
    std::array<double, kParameterCount> values = kKvBassdrum;
    for (const auto& [parameter, value] : changes) values[static_cast<std::size_t>(parameter)] = value;
    return values;
}

const FactoryProgram& Program(int k) { return FactoryPrograms()[static_cast<std::size_t>(k)]; }

}  // namespace

TEST(FactoryPrograms, FillAllSlotsWithTheSectionHeadersInPlace) {
    ASSERT_EQ(FactoryPrograms().size(), 128u);
    EXPECT_EQ(Program(0).name, "#BASIC BASSDRUMS#");
    EXPECT_EQ(Program(1).name, "KV Bassdrum");
    EXPECT_EQ(Program(20).name, "Mainstream Bassdrum 1");
    EXPECT_EQ(Program(127).name, "Basic Sine wave");
    for (int k = 0; k < 128; ++k) {
        const bool header = k == 0 || sound_profile::SectionOf(k) != sound_profile::SectionOf(k - 1);
        EXPECT_EQ(Program(k).name.front() == '#' && Program(k).name.back() == '#', header) << k;
        EXPECT_LE(Program(k).name.size(), 27u) << k;
    }
}

TEST(FactoryPrograms, PublishedProgramsHaveTheirDesignedValues) {
    const auto kv = KvBassdrumWith({});
    EXPECT_EQ(ValuesOf(Program(0)), kv);
    EXPECT_EQ(ValuesOf(Program(1)), kv);
    EXPECT_EQ(KvBassdrumValues(), kv);
    const Changes mainstream = {
        {param::OscWaveform1, 0.1429}, {param::OscSat1, 0.25}, {param::OscFilterCutoff1, 0.5},
        {param::OscFilterResonance1, 0.5}, {param::OscModFrequency1, 0.25}, {param::Osc2OnOff, 1},
        {param::OscWaveform2, 0.0857}, {param::OscFreq2, 0.475}, {param::OscVolume2, 1}, {param::OscSat2, 0.25},
        {param::OscPan2, 0.4}, {param::OscFilterCutoff2, 0.5}, {param::OscFilterResonance2, 0.5},
        {param::OscModFrequency2, 0.25}, {param::Osc3OnOff, 1}, {param::OscWaveform3, 0.0286}, {param::OscFreq3, 0.45},
        {param::OscVolume3, 1}, {param::OscSat3, 0.25}, {param::OscPan3, 0.6}, {param::OscFilterCutoff3, 0.5},
        {param::OscFilterResonance3, 0.5}, {param::OscModFrequency3, 0.25}, {param::EnvDecay, 1},
        {param::EnvRelease, 0.001}, {param::FilterDecay, 1}, {param::FilterRelease, 0.001},
        {param::BassLayerAmount, 0.777}, {param::BassLayerToFilter, 1}, {param::BassLayerClick, 1},
        {param::PitchAmount, 0.3}, {param::PitchDuration, 0.35}, {param::PitchPower, 1}, {param::UnisonVoices, 1},
        {param::UnisonDetune, 0.1}, {param::Distortion, 1}, {param::DistortionType, 0.5714},
        {param::DistortionInterpMode, 1}, {param::FilterInputDrive, 0.2}, {param::FilterCutoff, 0.3},
        {param::FilterResonance, 0.5}, {param::FilterMode1, 0.6667}, {param::LimitOutput, 1},
    };
    EXPECT_EQ(ValuesOf(Program(20)), KvBassdrumWith(mainstream));
    const Changes sine = {
        {param::EnvAttack, 0.05}, {param::EnvDecay, 0.5}, {param::EnvSustain, 0.5}, {param::EnvRelease, 0.1},
        {param::FilterAttack, 0.05}, {param::FilterDecay, 0.5}, {param::FilterSustain, 0.5},
        {param::FilterRelease, 0.1}, {param::KickTransposeMode, 0}, {param::PitchAmount, 0},
        {param::PitchDuration, 0}, {param::PitchPower, 0}, {param::DistortionOnOff, 0}, {param::FilterOnOff, 0},
        {param::FilterType, 1}, {param::FilterCutoff, 0},
    };
    EXPECT_EQ(ValuesOf(Program(127)), KvBassdrumWith(sine));
}

// In 0..1 with at most four decimals; stepped parameters on their steps and
// selectors on their positions' fractions (rounded to four decimals).
TEST(FactoryPrograms, EveryValueHasTheFormOfItsParameter) {
    auto positions = [](int index) {
        switch (index) {
        case param::OscWaveform1: case param::OscWaveform2: case param::OscWaveform3: case param::DistortionType:
            return 35.0;
        case param::FilterMode1: case param::FilterMode2: case param::DynShaperMode:
            return 3.0;
        case param::DistortionInterpMode:
            return 4.0;
        case param::UnisonVoices:
            return 1.0;
        default: {
            const double step = kParameterTable[static_cast<std::size_t>(index)].step;
            return step >= 0.1 ? 1.0 / step : 0.0;
        }
        }
    };
    for (int k = 0; k < 128; ++k) {
        const auto values = ValuesOf(Program(k));
        for (int i = 0; i < kParameterCount; ++i) {
            const double v = values[static_cast<std::size_t>(i)];
            SCOPED_TRACE(std::string(Program(k).name) + " / " +
                         std::string(kParameterTable[static_cast<std::size_t>(i)].identifier));
            EXPECT_GE(v, 0.0);
            EXPECT_LE(v, 1.0);
            EXPECT_NEAR(v * 10000.0, std::round(v * 10000.0), 1e-6);
            if (const double n = positions(i); n > 0.0) {
                EXPECT_NEAR(v * n, std::round(v * n), 0.002);
            }
        }
    }
}

// What a section promises in its settings: kicks sweep their pitch at the
// kick frequency, hardcore kicks drive a distortion type with interpolation
// into the limiter, everything from the basses on plays the keyboard's notes.
TEST(FactoryPrograms, SectionsKeepTheirCharacterInTheirSettings) {
    using sound_profile::Section;
    for (int k = 0; k < 128; ++k) {
        const auto v = ValuesOf(Program(k));
        const Section section = sound_profile::SectionOf(k);
        SCOPED_TRACE(Program(k).name);
        if (section == Section::BasicKick || section == Section::HardcoreKick) {
            EXPECT_GE(v[param::KickTransposeMode], 0.5);
            EXPECT_EQ(v[param::PitchOnOff], 1.0);
            EXPECT_GT(v[param::PitchAmount], 0.0);
        }
        if (section == Section::HardcoreKick) {
            EXPECT_EQ(v[param::DistortionOnOff], 1.0);
            EXPECT_GE(v[param::Distortion], 0.6);
            EXPECT_GT(v[param::DistortionInterpMode], 0.0);
            EXPECT_EQ(v[param::LimitOutput], 1.0);
        }
        if (k >= 81) {
            EXPECT_EQ(v[param::KickTransposeMode], 0.0);
        }
    }
}

// One note at velocity 127 of every program through the module, in one
// instance: drums and basses on note 48, the rest on note 60; drums held
// 0.25 s in a 1 s render, the rest held 0.5 s in a 1.5 s render, long
// enough for every release to end before the next program starts.
TEST(FactoryPrograms, EveryProgramSoundsLikeItsSection) {
    using sound_profile::Section;
    VstTestHost host;
    host.Start(44100.0, 512);
    // A new instance plays the declared defaults, and its first program
    // change stores them into the current slot, 0; bring the live values to
    // program 0 first, as a host restoring a session would.
    const auto first = ValuesOf(Program(0));
    for (int i = 0; i < kParameterCount; ++i) {
        host.SetParameter(i, static_cast<float>(std::pow(first[static_cast<std::size_t>(i)], 1.0 / ParameterShape(i))));
    }
    for (int k = 0; k < 128; ++k) {
        const Section section = sound_profile::SectionOf(k);
        const bool drum = sound_profile::IsDrum(section);
        const int note = sound_profile::NoteOf(section);
        const int held = drum ? 11025 : 22050;
        const int length = drum ? 44100 : 66150;
        host.Dispatch(vst2::effSetProgram, 0, k);
        std::vector<double> left, right;
        for (int start = 0; start < length; start += 512) {
            if (start == 0) host.SendMidi({{0, 0x90, note, 127}});
            if (held >= start && held < start + 512) host.SendMidi({{held - start, 0x80, note, 0}});
            const auto block = host.ProcessFloat(512);
            left.insert(left.end(), block[0].begin(), block[0].end());
            right.insert(right.end(), block[1].begin(), block[1].end());
        }
        const bool bass = section == Section::Bass;
        const auto p = sound_profile::Measure(left, right, static_cast<std::size_t>(held), bass ? 0.25 : -1.0);
        const bool limited = ValuesOf(Program(k)).at(param::LimitOutput) > 0.0;
        SCOPED_TRACE(std::to_string(k) + " " + std::string(Program(k).name));

        EXPECT_TRUE(p.finite);
        EXPECT_GT(p.peak, 0.01);
        EXPECT_LT(p.peak, limited ? 0.9901 : 3.16227);
        EXPECT_LT(p.decaySeconds, length / 44100.0 - 0.05) << "still sounding at the end";
        switch (section) {
        case Section::BasicKick:
        case Section::HardcoreKick:
            EXPECT_GT(p.lowShare, 0.3);
            EXPECT_LT(p.decaySeconds, 0.8);
            break;
        case Section::DrumFx:
            if (k <= 75) {  // the header, the hihats and the snare
                EXPECT_GT(p.centroidHz, 2000.0);
                EXPECT_LT(p.decaySeconds, 0.6);
            }
            break;
        case Section::Bass:
            EXPECT_GT(p.sustainRatio, 0.25);
            EXPECT_LT(p.centroidHz, 1500.0);
            EXPECT_GT(p.pitchHz, 25.0);
            EXPECT_LT(p.pitchHz, 150.0);
            break;
        case Section::String:
        case Section::Brass:
            EXPECT_GT(p.attackSeconds, 0.02);
            EXPECT_GT(p.releaseSeconds, 0.1);
            break;
        case Section::Pad:
            EXPECT_GT(p.attackSeconds, 0.15);
            EXPECT_GT(p.releaseSeconds, 0.3);
            break;
        case Section::Synth:
            EXPECT_GT(p.sustainRatio, 0.25);
            if (k == 127) {
                EXPECT_NEAR(p.centroidHz, 523.25, 25.0) << "a plain sine at the note";
            } else {
                EXPECT_GT(p.centroidHz, 800.0);
            }
            break;
        }
    }
}
