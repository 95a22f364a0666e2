// The built plug-in module, loaded and driven through its entry point as a host does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "instrument/parameter_table.h"
#include "shell/plugin_vst.h"
#include "support/vst_test_host.h"

using namespace vst2;

namespace {

class VstModule : public ::testing::Test {
protected:
    VstTestHost host;
};

double Peak(const std::vector<float>& samples, std::size_t from = 0) {
    double peak = 0.0;
    for (std::size_t i = from; i < samples.size(); ++i) peak = std::max(peak, static_cast<double>(std::abs(samples[i])));
    return peak;
}

}  // namespace

TEST_F(VstModule, PresentsItselfAsAStereoInstrument) {
    AEffect& effect = host.Effect();
    EXPECT_EQ(effect.magic, kEffectMagic);
    EXPECT_EQ(effect.numInputs, 0);
    EXPECT_EQ(effect.numOutputs, 2);
    EXPECT_EQ(effect.numParams, 109);
    EXPECT_EQ(effect.numPrograms, 128);
    EXPECT_EQ(effect.flags, 0x1111) << "editor, replacing, double replacing and synth";
    EXPECT_EQ(effect.uniqueID, 0x646E7270);
    EXPECT_EQ(effect.version, 10600);
    EXPECT_EQ(effect.initialDelay, 0);
    EXPECT_EQ(effect.ioRatio, 1.0f);
    EXPECT_EQ(host.Dispatch(effGetPlugCategory), 2);
    EXPECT_EQ(host.Dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.Dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(host.Text(effGetEffectName), "Dunerow 1.6 FREE");
    EXPECT_EQ(host.Text(effGetProductString), "Dunerow 1.6 FREE VST");
    EXPECT_EQ(host.Text(effGetVendorString), "Korvane");
    EXPECT_EQ(host.Dispatch(12345), 0) << "unknown opcodes answer 0";
}

TEST_F(VstModule, HandsOutItsEditorRectangleAndRefusesAWindowWithoutAParent) {
    ERect* rect = nullptr;
    ASSERT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 800);
    EXPECT_EQ(rect->right, 1030);
    EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, nullptr), 0) << "no parent window to open in";
    EXPECT_EQ(host.Dispatch(effEditIdle), 0);
    EXPECT_EQ(host.Dispatch(effEditClose), 1) << "an editor exists";
    EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, nullptr), 0) << "asked again: still none, and no crash";
}

TEST_F(VstModule, StartsOnItsFirstProgramAndKeepsIt) {
    EXPECT_EQ(host.Text(effGetProgramName), "#BASIC BASSDRUMS#");
    EXPECT_EQ(host.GetParameter(param::FilterCutoff), 1.0f) << "the program's values, not the declared defaults";
    std::vector<float> before;
    for (int i = 0; i < 109; ++i) before.push_back(host.GetParameter(i));
    host.Dispatch(effSetProgram, 0, 0);
    for (int i = 0; i < 109; ++i) EXPECT_EQ(host.GetParameter(i), before[static_cast<std::size_t>(i)]) << i;
}

TEST_F(VstModule, AnswersCanDoQuestions) {
    auto canDo = [&](const char* text) { return host.Dispatch(effCanDo, 0, 0, const_cast<char*>(text)); };
    EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(canDo("sendVstEvents"), 1);
    EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(canDo("hasCockosExtensions"), static_cast<intptr_t>(0xBEEF0000));
    EXPECT_EQ(canDo("hasCockosViewAsConfig"), static_cast<intptr_t>(0xBEEF0000));
    EXPECT_EQ(canDo("offline"), 0);
    EXPECT_EQ(canDo(""), 0);
    EXPECT_EQ(canDo("receiveVstTimeInfo "), 0) << "compared exactly";
    EXPECT_EQ(host.Dispatch(effCanDo), 0) << "no text at all";
}

TEST_F(VstModule, NamesItsOutputPins) {
    VstPinProperties pin{};
    ASSERT_EQ(host.Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Output 1");
    EXPECT_EQ(pin.flags, 3);
    ASSERT_EQ(host.Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Output 2");
    EXPECT_EQ(pin.flags, 1);
    EXPECT_EQ(host.Dispatch(effGetOutputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(host.Dispatch(effGetInputProperties, 0, 0, &pin), 0);
}

TEST_F(VstModule, ShowsParameterNamesLabelsAndDisplays) {
    EXPECT_EQ(host.Text(effGetParamName, param::Osc1OnOff), "Oscillator 1 On/Off");
    EXPECT_EQ(host.Text(effGetParamName, param::FilterMode2), "Filter Mode 1");
    EXPECT_EQ(host.Text(effGetParamLabel, param::OscModFrequency1), "Hz");
    EXPECT_EQ(host.Text(effGetParamLabel, param::OscModFrequency2), "");
    EXPECT_EQ(host.Text(effGetParamDisplay, param::Osc1OnOff), "1");
    EXPECT_EQ(host.Text(effGetParamDisplay, param::Volume), "0.500");
    host.SetParameter(param::DynShaperType, 1.0f / 3.0f);
    EXPECT_EQ(host.Text(effGetParamDisplay, param::DynShaperType).substr(0, 6), "0.3333");
    EXPECT_EQ(host.Text(effGetParamName, 109), "");
    EXPECT_EQ(host.Text(effGetParamName, -1), "");
    EXPECT_EQ(host.Dispatch(effCanBeAutomated, 5), 1);
}

TEST_F(VstModule, SetsAndGetsNormalisedValues) {
    host.SetParameter(param::Pan, 0.25f);
    EXPECT_FLOAT_EQ(host.GetParameter(param::Pan), 0.25f);
    host.SetParameter(param::Quantization, 0.5f);
    EXPECT_FLOAT_EQ(host.GetParameter(param::Quantization), 0.5f) << "the fourth-power curve reports back";
    const float before = host.GetParameter(param::Volume);
    host.SetParameter(109, 0.9f);
    host.SetParameter(-1, 0.9f);
    host.SetParameter(param::Volume, std::nanf(""));
    EXPECT_EQ(host.GetParameter(param::Volume), before);
    EXPECT_EQ(host.GetParameter(109), 0.0f);
    EXPECT_EQ(host.GetParameter(std::numeric_limits<int32_t>::max()), 0.0f);
}

TEST_F(VstModule, ReadsParameterValuesFromText) {
    char text[] = "0.75";
    EXPECT_EQ(host.Dispatch(effString2Parameter, param::Volume, 0, text), 1);
    EXPECT_FLOAT_EQ(host.GetParameter(param::Volume), 0.75f);
    char tooLarge[] = "12";
    EXPECT_EQ(host.Dispatch(effString2Parameter, param::Volume, 0, tooLarge), 1);
    EXPECT_FLOAT_EQ(host.GetParameter(param::Volume), 1.0f) << "clamped to the range";
    char junk[] = "loud";
    EXPECT_EQ(host.Dispatch(effString2Parameter, param::Volume, 0, junk), 0);
    EXPECT_FLOAT_EQ(host.GetParameter(param::Volume), 1.0f);
    EXPECT_EQ(host.Dispatch(effString2Parameter, param::Volume), 1) << "no text: nothing to do";
    EXPECT_EQ(host.Dispatch(effString2Parameter, 200, 0, text), 0);
}

TEST_F(VstModule, HandsOutProgramAndBankChunks) {
    void* data = nullptr;
    const intptr_t programSize = host.Dispatch(effGetChunk, 1, 0, &data);
    ASSERT_EQ(programSize, 880);
    const auto* bytes = static_cast<const unsigned char*>(data);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 8), (std::vector<unsigned char>{0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0}));

    const intptr_t bankSize = host.Dispatch(effGetChunk, 0, 0, &data);
    intptr_t expected = 8;
    for (int i = 0; i < 128; ++i) {
        std::array<char, 256> name{};
        host.Dispatch(effGetProgramNameIndexed, i, 0, name.data());
        expected += 4 + static_cast<intptr_t>(std::strlen(name.data())) + 1 + 872;
    }
    EXPECT_EQ(bankSize, expected);
}

TEST_F(VstModule, ChunksRoundTripBetweenInstances) {
    host.SetParameter(param::FilterCutoff, 0.375f);
    host.SetParameter(param::Distortion, 0.5f);
    char name[] = "Round trip";
    host.Dispatch(effSetProgramName, 0, 0, name);
    void* data = nullptr;
    const intptr_t size = host.Dispatch(effGetChunk, 0, 0, &data);
    const std::vector<unsigned char> bank(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size);

    VstTestHost other;
    EXPECT_EQ(other.Dispatch(effSetChunk, 0, static_cast<intptr_t>(bank.size()), const_cast<unsigned char*>(bank.data())), 1);
    EXPECT_FLOAT_EQ(other.GetParameter(param::FilterCutoff), 0.375f);
    EXPECT_FLOAT_EQ(other.GetParameter(param::Distortion), 0.5f);
    EXPECT_EQ(other.Text(effGetProgramName), "Round trip");
    std::vector<unsigned char> cut(bank.begin(), bank.begin() + 100);
    EXPECT_EQ(other.Dispatch(effSetChunk, 0, static_cast<intptr_t>(cut.size()), cut.data()), 0);
    EXPECT_EQ(other.Dispatch(effSetChunk, 0, -5, cut.data()), 0);
    EXPECT_EQ(other.Dispatch(effSetChunk, 0, 10), 0);
}

TEST_F(VstModule, SwitchesPrograms) {
    EXPECT_EQ(host.Dispatch(effGetProgram), 0);
    host.SetParameter(param::Pan, 0.1f);
    host.Dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(host.Dispatch(effGetProgram), 3);
    host.Dispatch(effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(host.GetParameter(param::Pan), 0.1f) << "leaving a program stored its edits";
    host.Dispatch(effSetProgram, 0, 500);
    EXPECT_EQ(host.Dispatch(effGetProgram), 0);
    std::array<char, 256> name{};
    EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 400, 0, name.data()), 0);
}

TEST_F(VstModule, MidiDeltaFramesPlaceTheNote) {
    host.Start(44100.0, 256);
    host.SetParameter(param::BypassFX, 1.0f);
    host.SendMidi({{17, 0x90, 60, 127}});
    const auto out = host.ProcessFloat(256);
    for (int i = 0; i <= 17; ++i) EXPECT_EQ(out[0][static_cast<std::size_t>(i)], 0.0f) << i;
    EXPECT_GT(Peak(out[0], 18), 0.0);
    EXPECT_GT(host.wantMidiCalls, 0);
}

TEST_F(VstModule, EveryEventOfAListLongerThanTwoIsPlayed) {
    host.Start(44100.0, 256);
    host.SetParameter(param::BypassFX, 1.0f);
    // Only the last of four events sounds, and VstEvents declares room for two.
    host.SendMidi({{0, 0x80, 60, 0}, {0, 0x80, 61, 0}, {0, 0x80, 62, 0}, {40, 0x90, 60, 127}});
    const auto out = host.ProcessFloat(256);
    for (int i = 0; i <= 40; ++i) EXPECT_EQ(out[0][static_cast<std::size_t>(i)], 0.0f) << i;
    EXPECT_GT(Peak(out[0], 41), 0.0);
}

TEST_F(VstModule, FloatAndDoubleProcessingGiveTheSameAudio) {
    VstTestHost other;
    for (VstTestHost* h : {&host, &other}) {
        h->Start(48000.0, 128);
        h->SetParameter(param::BypassFX, 1.0f);
        h->SendMidi({{5, 0x90, 48, 100}, {90, 0x90, 55, 80}});
    }
    for (int block = 0; block < 20; ++block) {
        const auto single = host.ProcessFloat(128);
        const auto twice = other.ProcessDouble(128);
        for (std::size_t i = 0; i < 128; ++i) {
            ASSERT_NEAR(single[0][i], twice[0][i], 1e-6) << block << " " << i;
            ASSERT_NEAR(single[1][i], twice[1][i], 1e-6);
        }
    }
}

TEST_F(VstModule, CallsLongerThanTheBlockSizeAreSafe) {
    host.Start(44100.0, 64);
    host.SetParameter(param::BypassFX, 1.0f);
    host.SendMidi({{0, 0x90, 60, 127}});
    const auto out = host.ProcessFloat(5000);
    EXPECT_GT(Peak(out[0]), 0.0);
    for (float sample : out[0]) ASSERT_TRUE(std::isfinite(sample));
}

TEST_F(VstModule, AccumulatingProcessAddsToTheBuffer) {
    host.Start(44100.0, 256);
    host.SetParameter(param::BypassFX, 1.0f);
    host.SendMidi({{0, 0x90, 60, 127}});
    std::vector<float> left(256, 0.5f), right(256, 0.5f);
    float* outputs[2] = {left.data(), right.data()};
    host.Effect().process(&host.Effect(), nullptr, outputs, 256);
    EXPECT_EQ(left[0], 0.5f) << "the note's first frame is silent";
    EXPECT_NE(left[100], 0.5f);
}

TEST_F(VstModule, ExportsTheOlderEntryPointToo) {
    VstTestHost legacy(DUNEROW_MODULE_PATH, "main");
    EXPECT_EQ(legacy.Effect().numParams, 109);
}

TEST(HostIdentification, FirstMatchingEntryOfTheTableWins) {
    EXPECT_EQ(IPluginVst::HostCodeOf("REAPER"), 1);
    EXPECT_EQ(IPluginVst::HostCodeOf("Steinberg Cubase 12"), 3);
    EXPECT_EQ(IPluginVst::HostCodeOf("Live Logic"), 9) << "\"live\" comes before \"logic\"";
    EXPECT_EQ(IPluginVst::HostCodeOf("Ardour"), 28);
    EXPECT_EQ(IPluginVst::HostCodeOf("Some Standalone"), 24);
    EXPECT_EQ(IPluginVst::HostCodeOf("unknown"), 0);
    EXPECT_EQ(IPluginVst::PackHostVersion(70203), (7 << 16) | (2 << 8) | 3);
    EXPECT_EQ(IPluginVst::PackHostVersion(0), 0);
}

TEST(HostIdentification, HappensAtTheFirstOpen) {
    VstTestHost host;
    host.productString = "REAPER v7";
    host.vendorVersion = 70105;
    host.Dispatch(effOpen);
    auto* plugin = IPluginVst::FromEffect(&host.Effect());
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->HostCode(), 1);
    EXPECT_EQ(plugin->HostVersionNumber(), (7 << 16) | (1 << 8) | 5);
    host.productString = "Cubase";
    host.Dispatch(effOpen);
    EXPECT_EQ(plugin->HostCode(), 1) << "later opens keep the first identification";
}
