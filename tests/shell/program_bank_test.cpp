#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "instrument/dunerow.h"
#include "support/temporary_folder.h"

namespace {

std::vector<uint8_t> ChunkBytes(const StateChunk& chunk) { return {chunk.Data(), chunk.Data() + chunk.Size()}; }

void SetValue(IPluginBase& plugin, int index, double value) {
    plugin.GetParam(index)->SetFromNormalized(value);
    plugin.ApplyParameter(index);
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t BigEndianAt(const std::vector<uint8_t>& bytes, std::size_t at) {
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

// A small plug-in without a factory bank: its slots start empty.
class SmallPlugin : public IPluginBase {
public:
    SmallPlugin() : IPluginBase(3, 4, {"Small", "Small", "Us", 0x00010203, 0x11223344, true}) {
        for (int i = 0; i < 3; ++i) GetParam(i)->DefineDouble("p", 0.25, 0.0, 1.0, 0.001, "");
    }
};

}  // namespace

TEST(ProgramBank, ProgramChunkIsTheHeaderAnd109Doubles) {
    Dunerow synth;
    SetValue(synth, param::Volume, 0.75);
    StateChunk chunk;
    ASSERT_EQ(synth.GetChunk(chunk, true), 880);
    const std::vector<uint8_t> bytes = ChunkBytes(chunk);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
    double volume = 0.0;
    chunk.GetDouble(8 + 8 * param::Volume, volume);
    EXPECT_EQ(volume, 0.75);
    double firstOscillatorOn = 0.0;
    chunk.GetDouble(8, firstOscillatorOn);
    EXPECT_EQ(firstOscillatorOn, 1.0);
}

TEST(ProgramBank, BankChunkHoldsEveryNamedSlot) {
    Dunerow synth;
    StateChunk chunk;
    const int size = synth.GetChunk(chunk, false);
    int expected = 8;
    for (int i = 0; i < synth.ProgramCount(); ++i) expected += 4 + static_cast<int>(synth.GetProgramName(i).size()) + 1 + 872;
    EXPECT_EQ(size, expected);
    EXPECT_EQ(synth.GetProgramName(0), "#BASIC BASSDRUMS#");
    EXPECT_EQ(synth.GetProgramName(127), "Basic Sine wave");
}

TEST(ProgramBank, ChunksRoundTripIntoAFreshInstance) {
    Dunerow source;
    SetValue(source, param::FilterCutoff, 0.625);
    SetValue(source, param::OscWaveform2, 0.3);
    source.ModifyCurrentProgram("Thump");
    StateChunk bank;
    source.GetChunk(bank, false);

    Dunerow target;
    ASSERT_TRUE(target.SetChunk(bank.Bytes(), false));
    EXPECT_EQ(target.GetProgramName(0), "Thump");
    EXPECT_EQ(target.GetParam(param::FilterCutoff)->Value(), 0.625);
    EXPECT_EQ(target.ProgramValues()[param::OscWaveform2], 0.3) << "applied to the engine too";

    StateChunk program;
    source.GetChunk(program, true);
    Dunerow third;
    ASSERT_TRUE(third.SetChunk(program.Bytes(), true));
    for (int i = 0; i < kParameterCount; ++i) EXPECT_EQ(third.GetParam(i)->Value(), source.GetParam(i)->Value()) << i;
}

TEST(ProgramBank, ChunkWithoutHeaderIsReadFromItsFirstByte) {
    Dunerow source;
    SetValue(source, param::Pan, 0.125);
    StateChunk values;
    source.WriteState(values);
    ASSERT_EQ(values.Size(), 872);
    for (bool asProgram : {true, false}) {
        Dunerow target;
        ASSERT_TRUE(target.SetChunk(values.Bytes(), asProgram));
        EXPECT_EQ(target.GetParam(param::Pan)->Value(), 0.125) << asProgram;
    }
}

TEST(ProgramBank, TruncatedOrCorruptChunksChangeNothing) {
    Dunerow source;
    SetValue(source, param::Pan, 0.125);
    StateChunk program;
    source.GetChunk(program, true);
    StateChunk bank;
    source.GetChunk(bank, false);

    auto rejected = [](std::vector<uint8_t> bytes, bool asProgram) {
        Dunerow target;
        StateChunk before;
        target.GetChunk(before, false);
        const bool accepted = target.SetChunk(bytes, asProgram);
        StateChunk after;
        target.GetChunk(after, false);
        return !accepted && ChunkBytes(before) == ChunkBytes(after);
    };
    std::vector<uint8_t> shortProgram = ChunkBytes(program);
    shortProgram.resize(400);
    EXPECT_TRUE(rejected(shortProgram, true));
    std::vector<uint8_t> shortBank = ChunkBytes(bank);
    shortBank.resize(shortBank.size() - 1);
    EXPECT_TRUE(rejected(shortBank, false));
    std::vector<uint8_t> notANumber = ChunkBytes(program);
    const auto nan = std::bit_cast<uint64_t>(std::numeric_limits<double>::quiet_NaN());
    for (int i = 0; i < 8; ++i) notANumber[8 + 8 * 5 + static_cast<std::size_t>(i)] = static_cast<uint8_t>(nan >> (8 * i));
    EXPECT_TRUE(rejected(notANumber, true));
    EXPECT_TRUE(rejected({0x74, 0x66, 0x66, 0x70, 0x00}, true)) << "a header cut short";
    EXPECT_TRUE(rejected({}, true));
    std::vector<uint8_t> hugeName = ChunkBytes(bank);
    hugeName[8] = hugeName[9] = hugeName[10] = 0xFF;
    hugeName[11] = 0x7F;  // a name length far beyond the chunk
    EXPECT_TRUE(rejected(hugeName, false));
}

TEST(ProgramBank, ValuesOutsideTheRangeAreClampedOnLoad) {
    Dunerow synth;
    StateChunk values;
    synth.WriteState(values);
    StateChunk edited;
    for (int i = 0; i < kParameterCount; ++i) edited.PutDouble(i == param::Volume ? 7.5 : -2.0);
    ASSERT_TRUE(synth.SetChunk(edited.Bytes(), true));
    EXPECT_EQ(synth.GetParam(param::Volume)->Value(), 1.0);
    EXPECT_EQ(synth.GetParam(param::Pan)->Value(), 0.0);
}

TEST(ProgramBank, EmptySlotsRestoreAsNumberedUserPresets) {
    SmallPlugin plugin;
    EXPECT_EQ(plugin.GetProgramName(1), "empty");
    EXPECT_TRUE(plugin.RestoreProgram(1));
    EXPECT_EQ(plugin.GetProgramName(1), "user preset 1");
    EXPECT_EQ(plugin.CurrentProgram(), 1);
    plugin.ModifyCurrentProgram("my user preset");  // any name containing the words counts
    EXPECT_TRUE(plugin.RestoreProgram(3));
    EXPECT_EQ(plugin.GetProgramName(3), "user preset 2");
    EXPECT_FALSE(plugin.RestoreProgram(4));
    EXPECT_FALSE(plugin.RestoreProgram(-1));
    EXPECT_EQ(plugin.GetProgramName(4), "");
}

TEST(ProgramBank, MakeAndFillTakeTheFirstEmptySlots) {
    SmallPlugin plugin;
    const double values[] = {0.1, 0.2, 0.3};
    plugin.MakeProgram("Made", values);
    plugin.FillEmptyPrograms("", 2);
    EXPECT_EQ(plugin.GetProgramName(0), "Made");
    EXPECT_EQ(plugin.GetProgramName(1), "Empty");
    EXPECT_EQ(plugin.GetProgramName(2), "Empty");
    EXPECT_FALSE(plugin.GetProgram(3)->initialised);
    EXPECT_TRUE(plugin.RestoreProgram(0));
    EXPECT_EQ(plugin.GetParam(2)->Value(), 0.3);
    plugin.FillEmptyPrograms("x", 10);
    EXPECT_EQ(plugin.GetProgramName(3), "x");
    plugin.MakeProgram("No room", values);
    EXPECT_EQ(plugin.GetProgramName(3), "x");
}

TEST(ProgramFile, SavesTheCurrentProgramAndLoadsItBack) {
    TemporaryFolder folder;
    const auto path = folder.Path() / "kick.fxp";
    Dunerow source;
    source.ModifyCurrentProgram("A name longer than twenty-eight characters");
    SetValue(source, param::Distortion, 0.5);  // live value differs from the stored slot
    ASSERT_TRUE(source.SaveProgramFile(path));

    const std::vector<uint8_t> bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 56u + 4u * 109u);
    EXPECT_EQ(BigEndianAt(bytes, 0), 0x43636E4Bu);   // CcnK
    EXPECT_EQ(BigEndianAt(bytes, 8), 0x4678436Bu);   // FxCk
    EXPECT_EQ(BigEndianAt(bytes, 12), 1u);
    EXPECT_EQ(BigEndianAt(bytes, 16), 0x646E7270u);
    EXPECT_EQ(BigEndianAt(bytes, 20), 10600u);
    EXPECT_EQ(BigEndianAt(bytes, 24), 109u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 28)), "A name longer than twenty-e");
    EXPECT_EQ(std::bit_cast<float>(BigEndianAt(bytes, 56 + 4 * param::Distortion)), 0.5f);

    Dunerow target;
    ASSERT_TRUE(target.LoadProgramFile(path));
    EXPECT_EQ(target.GetProgramName(0), "A name longer than twenty-e");
    EXPECT_EQ(target.GetParam(param::Distortion)->Value(), 0.5);
    EXPECT_EQ(target.ProgramValues()[param::Distortion], 0.5);
}

TEST(ProgramFile, FileNamesOutsideAsciiWork) {
    TemporaryFolder folder;
    const std::filesystem::path path = folder.Path() / std::filesystem::path(u8"B\u00e4sse \u4f4e\u97f3.fxp");
    Dunerow source;
    SetValue(source, param::Distortion, 0.25);
    ASSERT_TRUE(source.SaveProgramFile(path));
    EXPECT_TRUE(std::filesystem::exists(path)) << "written under its own name";
    Dunerow target;
    ASSERT_TRUE(target.LoadProgramFile(path));
    EXPECT_EQ(target.GetParam(param::Distortion)->Value(), 0.25);
}

TEST(ProgramFile, RejectsFilesThatFailTheChecks) {
    TemporaryFolder folder;
    const auto good = folder.Path() / "good.fxp";
    Dunerow source;
    ASSERT_TRUE(source.SaveProgramFile(good));
    const std::vector<uint8_t> bytes = ReadFile(good);

    auto rejected = [&](std::vector<uint8_t> edited) {
        const auto path = folder.Path() / "edited.fxp";
        WriteFile(path, edited);
        Dunerow target;
        SetValue(target, param::Volume, 0.9);
        return !target.LoadProgramFile(path) && target.GetParam(param::Volume)->Value() == 0.9;
    };
    std::vector<uint8_t> params108 = bytes;
    params108[27] = 108;
    EXPECT_TRUE(rejected(params108));
    EXPECT_TRUE(rejected(std::vector<uint8_t>(bytes.begin(), bytes.end() - 4))) << "one float short";
    EXPECT_TRUE(rejected(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20)));
    std::vector<uint8_t> otherPlugin = bytes;
    otherPlugin[19] ^= 1;
    EXPECT_TRUE(rejected(otherPlugin));
    std::vector<uint8_t> chunkKind = bytes;
    chunkKind[9] = 'P';
    chunkKind[10] = 'C';
    chunkKind[11] = 'h';  // "FPCh": opaque program chunk
    EXPECT_TRUE(rejected(chunkKind));
    std::vector<uint8_t> notANumber = bytes;
    notANumber[56] = 0x7F;
    notANumber[57] = 0xC0;
    EXPECT_TRUE(rejected(notANumber));
    Dunerow target;
    EXPECT_FALSE(target.LoadProgramFile(folder.Path() / "missing.fxp"));
}
