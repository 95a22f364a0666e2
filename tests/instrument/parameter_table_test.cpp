#include "instrument/parameter_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <string_view>

#include "shell/plugin_base.h"

namespace {

struct ExpectedRow {
    int index;
    std::string_view identifier;
    std::string_view hostName;
    double defaultValue;
    double step;
    std::string_view label;
};

// The published parameter list, written out independently of the table the
// plug-in declares from, so a slip in either one shows up here.
constexpr std::array<ExpectedRow, 109> kExpected = {{
    {0, "Osc1OnOff", "Oscillator 1 On/Off", 1.0, 1.0, ""},
    {1, "OscWaveform1", "Osc1 waveform", 0.0, 0.001, ""},
    {2, "OscFreq1", "Osc1 Tune", 0.5, 0.001, ""},
    {3, "OscVolume1", "Osc1 volume", 1.0, 0.001, ""},
    {4, "OscSat1", "Osc1 saturation", 0.0, 0.001, ""},
    {5, "OscPan1", "Osc1 pan", 0.5, 0.001, ""},
    {6, "OscPitch1", "Osc1 Pitch", 0.5, 0.001, ""},
    {7, "OscFilterType1", "Osc1 filter type", 0.0, 0.001, ""},
    {8, "OscFilterCutoff1", "Osc1 filter cutoff", 1.0, 0.001, ""},
    {9, "OscFilterResonance1", "Osc1 filter rezo", 0.0, 0.001, ""},
    {10, "OscInvertWaveform1", "Osc1 invert waveform", 0.0, 1.0, ""},
    {11, "OscModFrequency1", "Osc1 LFO freq.", 0.0, 0.001, "Hz"},
    {12, "OscRingModAmount1", "Osc1 LFO ring", 0.0, 0.001, ""},
    {13, "OscFreqModAmount1", "Osc1 LFO tune", 0.0, 0.001, ""},
    {14, "OscFiltModAmount1", "Osc1 LFO filter", 0.0, 0.001, ""},
    {15, "Osc2OnOff", "Oscillator 2 On/Off", 1.0, 1.0, ""},
    {16, "OscWaveform2", "Osc2 waveform", 0.0, 0.001, ""},
    {17, "OscFreq2", "Osc2 Tune", 0.5, 0.001, ""},
    {18, "OscVolume2", "Osc2 volume", 1.0, 0.001, ""},
    {19, "OscSat2", "Osc2 saturation", 0.0, 0.001, ""},
    {20, "OscPan2", "Osc2 pan", 0.5, 0.001, ""},
    {21, "OscPitch2", "Osc2 Pitch", 0.5, 0.001, ""},
    {22, "OscFilterType2", "Osc2 filter type", 0.0, 0.001, ""},
    {23, "OscFilterCutoff2", "Osc2 filter cutoff", 1.0, 0.001, ""},
    {24, "OscFilterResonance2", "Osc2 filter rezo", 0.0, 0.001, ""},
    {25, "OscInvertWaveform2", "Osc2 invert waveform", 0.0, 1.0, ""},
    {26, "OscModFrequency2", "Osc2 LFO freq.", 0.0, 0.001, ""},
    {27, "OscRingModAmount2", "Osc2 LFO ring", 0.0, 0.001, ""},
    {28, "OscFreqModAmount2", "Osc2 LFO tune", 0.0, 0.001, ""},
    {29, "OscFiltModAmount2", "Osc2 LFO filter", 0.0, 0.001, ""},
    {30, "Osc3OnOff", "Oscillator 3 On/Off", 1.0, 1.0, ""},
    {31, "OscWaveform3", "Osc3 waveform", 0.0, 0.001, ""},
    {32, "OscFreq3", "Osc3 Tune", 0.5, 0.001, ""},
    {33, "OscVolume3", "Osc3 volume", 1.0, 0.001, ""},
    {34, "OscSat3", "Osc3 saturation", 0.0, 0.001, ""},
    {35, "OscPan3", "Osc3 pan", 0.5, 0.001, ""},
    {36, "OscPitch3", "Osc3 Pitch", 0.5, 0.001, ""},
    {37, "OscFilterType3", "Osc3 filter type", 0.0, 0.001, ""},
    {38, "OscFilterCutoff3", "Osc3 filter cutoff", 1.0, 0.001, ""},
    {39, "OscFilterResonance3", "Osc3 filter rezo", 0.0, 0.001, ""},
    {40, "OscInvertWaveform3", "Osc3 invert waveform", 0.0, 1.0, ""},
    {41, "OscModFrequency3", "Osc3 LFO freq.", 0.0, 0.001, "Hz"},
    {42, "OscRingModAmount3", "Osc3 LFO ring", 0.0, 0.001, ""},
    {43, "OscFreqModAmount3", "Osc3 LFO tune", 0.0, 0.001, ""},
    {44, "OscFiltModAmount3", "Osc3 LFO filter", 0.0, 0.001, ""},
    {45, "EnvAttack", "Volume Env. Attack", 0.05, 0.001, "s"},
    {46, "EnvDecay", "Volume Env. Decay", 0.5, 0.001, "s"},
    {47, "EnvSustain", "Volume Env. Sustain", 0.25, 0.001, "%"},
    {48, "EnvRelease", "Volume Env. Release", 0.1, 0.001, "s"},
    {49, "EnvDuration", "Volume Env. Duration", 0.2, 0.001, "s"},
    {50, "FilterAttack", "Filter Env. Attack", 0.05, 0.001, "s"},
    {51, "FilterDecay", "Filter Env. Decay", 0.5, 0.001, "s"},
    {52, "FilterSustain", "Filter Env. Sustain", 0.25, 0.001, "%"},
    {53, "FilterRelease", "Filter Env. Release", 0.1, 0.001, "s"},
    {54, "FilterDuration", "Filter Env. Duration", 0.2, 0.001, "s"},
    {55, "Osc1InvertFilEnv", "Osc1 invert filter env.", 0.0, 1.0, ""},
    {56, "Osc2InvertFilEnv", "Osc2 invert filter env.", 0.0, 1.0, ""},
    {57, "Osc3InvertFilEnv", "Osc3 invert filter env.", 0.0, 1.0, ""},
    {58, "BassLayerAmount", "Bass-Layer Amount", 0.0, 0.001, ""},
    {59, "BassLayerSolo", "Bass-Layer solo", 0.0, 1.0, ""},
    {60, "BassLayerToFilter", "Bass-Layer to filter", 0.0, 1.0, ""},
    {61, "BassLayerClick", "Bass-Layer click", 0.0, 0.001, ""},
    {62, "GlobalTranspose", "Global transpose", 0.5, 0.001, ""},
    {63, "KickTransposeMode", "Kick/drum transpose mode", 0.0, 0.25, ""},
    {64, "PitchOnOff", "Pitch env. On/Off", 1.0, 1.0, ""},
    {65, "PitchAmount", "Pitch Amount", 0.35, 0.001, ""},
    {66, "PitchDuration", "Pitch Duration", 0.45, 0.001, ""},
    {67, "PitchPower", "Pitch Power", 0.75, 0.001, ""},
    {68, "PitchDown", "Pitch Down", 0.0, 0.001, ""},
    {69, "UnisonVoices", "Unison Voices", 0.0, 0.001, ""},
    {70, "UnisonDetune", "Unison Detune", 0.125, 0.001, ""},
    {71, "FmAmount", "FM 1.00 carrier amount", 0.0, 0.001, ""},
    {72, "BassAmount", "Bass", 0.5, 0.001, ""},
    {73, "MidAmount", "Mid", 0.5, 0.001, ""},
    {74, "HighAmount", "High", 0.5, 0.001, ""},
    {75, "DumpExpand", "Dump/Expand", 0.5, 0.001, ""},
    {76, "DistortionOnOff", "Disto On/Off", 1.0, 1.0, ""},
    {77, "Distortion", "Distortion", 0.0, 0.001, ""},
    {78, "DistortionType", "Disto-Type", 0.0, 0.001, ""},
    {79, "DistortionLoudness", "Disto-Loudness", 0.0, 1.0, ""},
    {80, "DistortionInterpMode", "Disto Interpolation", 0.0, 0.001, ""},
    {81, "DynShaper", "Dynamic Shaper Amount", 0.0, 0.001, ""},
    {82, "DynShaperInvert", "Invert Shape", 0.0, 1.0, ""},
    {83, "DynShaperType", "Shaper Type", 0.0, 0.3333333333333333, ""},
    {84, "DynShaperMode", "Shaper Mode", 0.0, 0.001, ""},
    {85, "Quantization", "Bit-Crash Quantize", 1.0, 0.001, ""},
    {86, "SampleRate", "Sample-Rate Reduction", 1.0, 0.001, ""},
    {87, "Gate", "Gate-Crack", 0.0, 0.001, ""},
    {88, "FilterOnOff", "Filter On/Off", 1.0, 1.0, ""},
    {89, "FilterInputDrive", "Filter Input Drive", 0.0, 0.001, ""},
    {90, "FilterType", "Filter Type", 0.0, 0.001, ""},
    {91, "FilterCutoff", "Cutoff", 0.0, 0.001, "Hz"},
    {92, "FilterResonance", "Resonance", 0.0, 0.001, ""},
    {93, "FilterMode1", "Filter Mode 1", 0.0, 0.001, ""},
    {94, "FilterMode2", "Filter Mode 1", 0.0, 0.001, ""},
    {95, "FilterTransition", "Filter Transition", 0.0, 0.3333333333333333, ""},
    {96, "ModulationOnOff", "Mod Fx On/Off", 1.0, 1.0, ""},
    {97, "RingModulationAmount", "Ring Amount", 0.0, 0.001, ""},
    {98, "RingModulationFrequency", "Ring Freq", 0.0, 0.1, "Hz"},
    {99, "RingModulationWaveForm", "Ring Waveform", 0.0, 0.2, ""},
    {100, "PhaserDepth", "Phaser Amount", 0.0, 0.001, ""},
    {101, "PhaserFeedback", "Phaser Feedback", 0.5, 0.001, ""},
    {102, "PhaserRate", "Phaser Rate", 0.2, 0.001, "Hz"},
    {103, "BypassFX", "Bypass all effects", 0.0, 1.0, ""},
    {104, "LimitOutput", "Limit output", 0.0, 1.0, ""},
    {105, "Pan", "Output pan", 0.5, 0.001, ""},
    {106, "Saturation", "Output saturation", 0.0, 0.001, ""},
    {107, "DryWet", "Dry/Wet", 1.0, 0.001, ""},
    {108, "Volume", "Output volume", 0.5, 0.001, ""},}};

class ParameterTable : public ::testing::Test {
protected:
    void SetUp() override { DeclareAllParameters(plugin); }

    std::string Display(int index) {
        std::array<char, 64> buffer{};
        plugin.GetParam(index)->GetDisplayText(buffer);
        return buffer.data();
    }

    IPluginBase plugin{kParameterCount};
};

}  // namespace

TEST_F(ParameterTable, DeclaresEveryRowAsPublished) {
    ASSERT_EQ(kParameterCount, 109);
    for (const ExpectedRow& row : kExpected) {
        SCOPED_TRACE(std::string(row.identifier));
        const PluginParam* parameter = plugin.GetParam(row.index);
        ASSERT_NE(parameter, nullptr);
        EXPECT_EQ(parameter->GetKind(), PluginParam::Kind::Double);
        EXPECT_EQ(parameter->Name(), row.hostName);
        EXPECT_EQ(parameter->Default(), row.defaultValue);
        EXPECT_EQ(parameter->Value(), row.defaultValue);
        EXPECT_EQ(parameter->Step(), row.step);
        EXPECT_EQ(parameter->Label(), row.label);
        EXPECT_EQ(parameter->Min(), 0.0);
        EXPECT_EQ(parameter->Max(), 1.0);
        EXPECT_TRUE(parameter->Group().empty());
        EXPECT_EQ(parameter->Shape(), row.identifier == "Quantization" ? 4.0 : 1.0);

        const ParameterInfo& info = kParameterTable[static_cast<std::size_t>(row.index)];
        EXPECT_EQ(info.index, row.index);
        EXPECT_EQ(info.identifier, row.identifier);
        EXPECT_EQ(ParameterIndexOf(row.identifier), row.index);
    }
}

TEST_F(ParameterTable, IdentifiersAreUniqueAndUnknownOnesAreNotFound) {
    std::set<std::string_view> identifiers;
    for (const ParameterInfo& info : kParameterTable) identifiers.insert(info.identifier);
    EXPECT_EQ(identifiers.size(), 109u);
    EXPECT_EQ(ParameterIndexOf("NoSuchParameter"), -1);
    EXPECT_EQ(ParameterIndexOf(""), -1);
    EXPECT_EQ(ParameterIndexOf("volume"), -1) << "identifiers are case-sensitive";
}

TEST_F(ParameterTable, EnumNamesTheSameIndicesAsTheTable) {
    EXPECT_EQ(param::Osc1OnOff, 0);
    EXPECT_EQ(param::EnvAttack, 45);
    EXPECT_EQ(param::Quantization, 85);
    EXPECT_EQ(param::FilterMode2, 94);
    EXPECT_EQ(param::Volume, 108);
}

TEST_F(ParameterTable, DeclarationOrderDoesNotChangeIndices) {
    IPluginBase reversed(kParameterCount);
    for (int panel = kPanelCount - 1; panel >= 0; --panel) {
        DeclarePanelParameters(reversed, static_cast<Panel>(panel));
    }
    for (int i = 0; i < kParameterCount; ++i) {
        EXPECT_EQ(reversed.GetParam(i)->Name(), plugin.GetParam(i)->Name()) << i;
        EXPECT_EQ(reversed.GetParam(i)->Default(), plugin.GetParam(i)->Default()) << i;
    }
}

TEST_F(ParameterTable, EveryPanelDeclaresSomething) {
    for (int panel = 0; panel < kPanelCount; ++panel) {
        const auto inPanel = std::count_if(kParameterTable.begin(), kParameterTable.end(),
                                           [&](const ParameterInfo& info) { return static_cast<int>(info.panel) == panel; });
        EXPECT_GT(inPanel, 0) << "panel " << panel;
    }
    EXPECT_EQ(kParameterTable[param::LimitOutput].panel, Panel::InfoBar);
    EXPECT_EQ(kParameterTable[param::PitchAmount].panel, Panel::PitchEnvelope);
}

TEST_F(ParameterTable, HostDisplaysFollowTheStep) {
    EXPECT_EQ(Display(param::Osc1OnOff), "1");
    EXPECT_EQ(Display(param::BypassFX), "0");
    EXPECT_EQ(Display(param::OscFreq1), "0.500");
    EXPECT_EQ(Display(param::KickTransposeMode), "0.00");
    EXPECT_EQ(Display(param::RingModulationWaveForm), "0.0");

    plugin.GetParam(param::DynShaperType)->SetFromNormalized(1.0 / 3.0);
    EXPECT_EQ(Display(param::DynShaperType), "0.333333");
    plugin.GetParam(param::FilterTransition)->SetFromNormalized(1.0 / 3.0);
    EXPECT_EQ(Display(param::FilterTransition), "0.333333");
}

TEST_F(ParameterTable, StepsGiveThePublishedPositions) {
    auto positions = [&](int index) { return static_cast<int>(1.0 / plugin.GetParam(index)->Step() + 0.5) + 1; };
    EXPECT_EQ(positions(param::KickTransposeMode), 5);
    EXPECT_EQ(positions(param::DynShaperType), 4);
    EXPECT_EQ(positions(param::FilterTransition), 4);
    EXPECT_EQ(positions(param::RingModulationWaveForm), 6);
    EXPECT_EQ(positions(param::RingModulationFrequency), 11);
    EXPECT_EQ(positions(param::Osc1OnOff), 2);
}

TEST_F(ParameterTable, HostValuesBetweenPositionsAreStoredUnchanged) {
    PluginParam* selector = plugin.GetParam(param::KickTransposeMode);
    selector->SetFromNormalized(0.3);
    EXPECT_DOUBLE_EQ(selector->Value(), 0.3);
    PluginParam* aSwitch = plugin.GetParam(param::FilterOnOff);
    aSwitch->SetFromNormalized(0.6);
    EXPECT_DOUBLE_EQ(aSwitch->Value(), 0.6);
}

TEST_F(ParameterTable, QuantizationIsTheHostValueToTheFourthPower) {
    PluginParam* quantization = plugin.GetParam(param::Quantization);
    quantization->SetFromNormalized(0.5);
    EXPECT_DOUBLE_EQ(quantization->Value(), 0.0625);
    EXPECT_DOUBLE_EQ(quantization->GetNormalizedValue(), 0.5);
}

TEST_F(ParameterTable, TheTwoFilterModesShareOneHostName) {
    EXPECT_EQ(plugin.GetParam(param::FilterMode1)->Name(), "Filter Mode 1");
    EXPECT_EQ(plugin.GetParam(param::FilterMode2)->Name(), "Filter Mode 1");
    EXPECT_EQ(kParameterTable[param::FilterMode2].identifier, "FilterMode2");
}
