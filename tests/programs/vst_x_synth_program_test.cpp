#include "programs/vst_x_synth_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "instrument/dunerow.h"
#include "support/temporary_folder.h"

using Korvane::VstXSynthProgram;

namespace {

class ProgramText : public ::testing::Test {
protected:
    std::filesystem::path Write(const std::string& contents) {
        const auto path = folder.Path() / ("program" + std::to_string(++files) + ".txt");
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }
    static std::vector<std::string> Lines(const std::filesystem::path& path) {
        std::ifstream file(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    // A complete file of `program`, with line `drop` (0 = name) left out.
    std::filesystem::path WithoutLine(const VstXSynthProgram& program, std::size_t drop) {
        const auto full = folder.Path() / "full.txt";
        program.WriteText(full);
        std::string contents;
        const auto lines = Lines(full);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i != drop) contents += lines[i] + "\n";
        }
        return Write(contents);
    }

    TemporaryFolder folder;
    int files = 0;
};

}  // namespace

TEST(VstXSynthProgram, StartsAsBasicBassdrum) {
    const VstXSynthProgram program;
    EXPECT_EQ(program.Name(), "Basic Bassdrum");
    EXPECT_EQ(program.GetValue(param::OscVolume2), 0.3);
    EXPECT_EQ(program.GetValue(param::OscFreq2), 0.55);
    EXPECT_EQ(program.GetValue(param::OscModFrequency3), 0.05);
    EXPECT_EQ(program.GetValue(param::PitchDuration), 0.15);
    EXPECT_EQ(program.GetValue(param::Quantization), 0.0);
    EXPECT_EQ(program.GetValue(param::FilterCutoff), 1.0);
    EXPECT_EQ(program.GetValue(param::PhaserRate), 0.5);
    EXPECT_EQ(program.GetValue(param::EnvDecay), 0.5) << "others keep their defaults";
    EXPECT_EQ(program.GetValue(param::Volume), 0.5);
}

TEST(VstXSynthProgram, ReportsDisplayUnitsAndLimitsStoredValues) {
    VstXSynthProgram program;
    program.SetValue(param::OscPitch1, 1.0);
    EXPECT_EQ(program.GetValue(param::OscPitch1, false), 12.0);
    program.SetValue(param::RingModulationFrequency, 0.5);
    EXPECT_EQ(program.GetValue(param::RingModulationFrequency, false), 2000.0);
    EXPECT_EQ(program.GetValue(param::Pan, false), 0.0);
    EXPECT_EQ(program.GetValue(param::EnvDuration, false), 1.0);
    program.SetValue(param::Volume, 3.0);
    EXPECT_EQ(program.GetValue(param::Volume), 1.0);
    program.SetValue(param::Volume, -3.0);
    EXPECT_EQ(program.GetValue(param::Volume), 0.0);
    EXPECT_EQ(program.GetValue(500), program.GetValue(0));
    EXPECT_EQ(VstXSynthProgram::Identifier(108), "Volume");
}

TEST_F(ProgramText, RoundTripKeepsValuesInSinglePrecisionAndSelectorsExactly) {
    VstXSynthProgram written;
    written.SetName("Deep kick with spaces");
    for (int index = 0; index < kParameterCount; ++index) written.SetValue(index, (index * 37 % 101) / 100.0 + 0.001234);
    written.SetValue(param::OscWaveform2, 17.0 / 35.0);
    written.SetValue(param::DistortionType, 20.0 / 35.0);
    written.SetValue(param::FilterMode1, 2.0 / 3.0);
    const auto path = folder.Path() / "kick.txt";
    ASSERT_TRUE(written.WriteText(path));
    EXPECT_EQ(Lines(path).size(), 110u);
    EXPECT_EQ(Lines(path)[0], "Name = Deep kick with spaces;");
    EXPECT_EQ(Lines(path)[1 + param::DistortionType], "DistortionType = Industrial-Fuzz1;");
    EXPECT_EQ(Lines(path)[1 + param::FilterMode1], "FilterMode1 = RBJ-BP1;");

    VstXSynthProgram read;
    ASSERT_TRUE(read.ReadText(path));
    EXPECT_EQ(read.Name(), "Deep kick with spaces");
    const std::vector<int> named = {param::OscWaveform1, param::OscWaveform2, param::OscWaveform3, param::DistortionType,
                                    param::FilterMode1, param::FilterMode2};
    for (int index = 0; index < kParameterCount; ++index) {
        if (std::find(named.begin(), named.end(), index) != named.end()) continue;  // stored by name: a position
        EXPECT_EQ(read.GetValue(index), static_cast<double>(static_cast<float>(written.GetValue(index))))
            << VstXSynthProgram::Identifier(index);
    }
    EXPECT_EQ(read.GetValue(param::OscWaveform1), 13.0 / 35.0) << "0.371234 lies nearest waveform 13";
    EXPECT_EQ(read.GetValue(param::OscWaveform2), 17.0 / 35.0);
    EXPECT_EQ(read.GetValue(param::DistortionType), 20.0 / 35.0);
    EXPECT_EQ(read.GetValue(param::FilterMode1), static_cast<double>(2.0f / 3.0f));
}

TEST_F(ProgramText, ReadsNamesAndValuesAsTheLinesSayThem) {
    VstXSynthProgram program;
    ASSERT_TRUE(program.ReadText(Write("Name = " + std::string(40, 'x') + ";\n"
                                       "Osc1OnOff = 1;\n")));
    EXPECT_EQ(program.Name(), std::string(32, 'x'));

    VstXSynthProgram base;
    base.SetValue(param::DistortionType, 0.0);
    const auto full = folder.Path() / "base.txt";
    base.WriteText(full);
    auto lines = Lines(full);
    lines[1 + param::Distortion] = "Distortion = 1.7;";
    lines[1 + param::DistortionType] = "DistortionType = Fuzz-Drive;";
    lines[1 + param::OscWaveform3] = "OscWaveform3 = Form3;";
    lines[1 + param::FilterMode2] = "FilterMode2 = Bogus;";
    std::string contents;
    for (const std::string& line : lines) contents += line + "\n";
    ASSERT_TRUE(program.ReadText(Write(contents)));
    EXPECT_EQ(program.GetValue(param::Distortion), 1.0);
    EXPECT_EQ(program.GetValue(param::DistortionType), 15.0 / 35.0);
    EXPECT_EQ(program.GetValue(param::OscWaveform3), 13.0 / 35.0);
    EXPECT_EQ(program.GetValue(param::FilterMode2), 0.0);
}

TEST_F(ProgramText, AMissingLineShiftsTheRestByOnePosition) {
    VstXSynthProgram written;
    written.SetValue(param::Distortion, 0.8);
    written.SetValue(param::DistortionType, 20.0 / 35.0);
    written.SetValue(param::Volume, 0.9);
    VstXSynthProgram read;
    ASSERT_TRUE(read.ReadText(WithoutLine(written, 1 + param::Osc1OnOff)));
    // The DistortionType line lands where Distortion is expected: its key contains
    // "Distortion", so it is read, and its type name reads as the number 0.
    EXPECT_EQ(read.GetValue(param::Distortion), 0.0);
    EXPECT_EQ(read.GetValue(param::Volume), 0.5) << "no line holds Volume at its position any more";
}

TEST_F(ProgramText, JunkFilesChangeNothing) {
    VstXSynthProgram program;
    program.SetName("Kept");
    program.SetValue(param::Volume, 0.77);
    const VstXSynthProgram before = program;
    std::string binary;
    for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 131) % 256);
    const std::string nuls("Name = a\0b;\nOsc1OnOff = \0;\n", 27);
    for (const auto& path : {Write(binary), Write(std::string(100000, 'k')), Write(nuls), Write(""),
                             Write("Name = Only a name;\n"), folder.Path() / "missing.txt"}) {
        EXPECT_FALSE(program.ReadText(path)) << path;
        EXPECT_EQ(program.Name(), "Kept");
        for (int index = 0; index < kParameterCount; ++index) ASSERT_EQ(program.GetValue(index), before.GetValue(index));
    }
    VstXSynthProgram numbers;
    ASSERT_TRUE(numbers.ReadText(Write("Name = n;\nOsc1OnOff = nan;\nOscWaveform1 = Sine;\n")));
    EXPECT_EQ(numbers.GetValue(param::Osc1OnOff), 1.0) << "not-a-number leaves the value";
}

TEST_F(ProgramText, FileNamesOutsideAsciiWork) {
    const std::filesystem::path subfolder = folder.Path() / std::filesystem::path(u8"B\u00e4sse \u4f4e\u97f3");
    ASSERT_TRUE(std::filesystem::create_directory(subfolder));
    const std::filesystem::path path = subfolder / std::filesystem::path(u8"Kick \u00f8 \u03c9.txt");
    VstXSynthProgram written;
    written.SetName("Unicode folder");
    written.SetValue(param::Volume, 0.25);
    ASSERT_TRUE(written.WriteText(path));
    EXPECT_TRUE(std::filesystem::exists(path)) << "written under its own name";
    VstXSynthProgram read;
    ASSERT_TRUE(read.ReadText(path));
    EXPECT_EQ(read.Name(), "Unicode folder");
    EXPECT_EQ(read.GetValue(param::Volume), 0.25);
}

TEST_F(ProgramText, PluginSavesAndLoadsItsCurrentProgram) {
    Dunerow source;
    source.GetParam(param::Quantization)->SetFromNormalized(0.5);  // real value 0.0625
    source.ApplyParameter(param::Quantization);
    source.GetParam(param::FilterCutoff)->SetFromNormalized(0.3);
    source.ApplyParameter(param::FilterCutoff);
    source.ModifyCurrentProgram("Saved kick");
    const auto path = folder.Path() / "saved.txt";
    ASSERT_TRUE(source.SaveProgramText(path));

    Dunerow target;
    ASSERT_TRUE(target.LoadProgramText(path));
    EXPECT_EQ(target.GetProgramName(target.IPluginBase::CurrentProgram()), "Saved kick");
    EXPECT_NEAR(target.GetParam(param::FilterCutoff)->Value(), 0.3, 1e-6);
    EXPECT_NEAR(target.GetParam(param::Quantization)->Value(), 0.0625, 1e-6) << "a shaped value survives the trip";
    EXPECT_NEAR(target.ProgramValues()[param::Quantization], 0.0625, 1e-6);
    EXPECT_FALSE(target.LoadProgramText(folder.Path() / "missing.txt"));
}
