// Parameters and dispatcher calls as a strict validator sends them: random
// values while notes play, the ends of the range and values beyond it,
// indices up to INT_MAX, opcodes the plug-in does not know, and texts of
// every length. The output stays finite and bounded; nothing that is refused
// changes the instance.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "hosts/validation/validation_support.h"
#include "instrument/parameter_table.h"
#include "shell/plugin_vst.h"

using namespace vst2;
using namespace validation;

namespace {

// Everything a host can read back: every value and every program with its name.
struct Snapshot {
    std::vector<float> values;
    std::vector<unsigned char> bank;
    intptr_t program = 0;

    static Snapshot Of(VstTestHost& host) {
        Snapshot snapshot;
        for (int index = 0; index < kParameters; ++index) snapshot.values.push_back(host.GetParameter(index));
        snapshot.program = host.Dispatch(effGetProgram);
        snapshot.bank = host.GetChunk(false);
        return snapshot;
    }
    bool operator==(const Snapshot&) const = default;
};

std::vector<float> SpecialValues() {
    return {0.0f,
            1.0f,
            -1.0f,
            10.0f,
            -0.0f,
            std::numeric_limits<float>::quiet_NaN(),
            -std::numeric_limits<float>::quiet_NaN(),
            std::numeric_limits<float>::infinity(),
            -std::numeric_limits<float>::infinity(),
            std::numeric_limits<float>::denorm_min(),
            1e-40f,
            -1e-40f,
            FLT_MIN,
            FLT_MAX,
            -FLT_MAX,
            0.99999994f,
            1.00000012f};
}

}  // namespace

class HostParameters : public ::testing::Test {
protected:
    void SetUp() override { host.Start(44100.0, 256); }

    VstTestHost host;
};

TEST_F(HostParameters, RandomValuesWhileNotesPlay) {
    std::mt19937 random(911u);
    NoteStream notes(912u);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    const int rounds = Scaled(24);
    for (int round = 0; round < rounds; ++round) {
        RandomiseParameters(host, random);
        OutputSummary summary;
        for (int block = 0; block < 40; ++block) {
            notes.SendBlock(host, 256, 3);
            // A few parameters move in every block, as automation does.
            for (int i = 0; i < 8; ++i) host.SetParameter(static_cast<int>(random() % kParameters), value(random));
            const bool limited = host.GetParameter(param::LimitOutput) > 0.0f;
            OutputSummary single;
            single.Add(host.ProcessFloat(256));
            ASSERT_TRUE(single.Clean()) << "round " << round << ", block " << block << ": " << single;
            if (limited) {
                ASSERT_LE(single.peak, kLimitedCeiling) << "round " << round << ", block " << block;
            }
            summary.Add(host.ProcessDouble(64));
        }
        ASSERT_TRUE(summary.Clean()) << "round " << round << ": " << summary;
        for (int index = 0; index < kParameters; ++index) {
            const float read = host.GetParameter(index);
            ASSERT_TRUE(read >= 0.0f && read <= 1.0f) << index << " reads " << read;
        }
    }
}

TEST_F(HostParameters, EndsOfTheRangeAndValuesBeyondIt) {
    NoteStream notes(5u);
    for (float special : SpecialValues()) {
        for (int index = 0; index < kParameters; ++index) {
            const float before = host.GetParameter(index);
            host.SetParameter(index, special);
            const float read = host.GetParameter(index);
            ASSERT_TRUE(std::isfinite(read) && read >= 0.0f && read <= 1.0f) << index << " set to " << special << " reads " << read;
            if (!std::isfinite(special)) {
                EXPECT_EQ(read, before) << index << ": " << special << " is no value and changes nothing";
            } else if (special >= 1.0f) {
                EXPECT_EQ(read, 1.0f) << index << " set to " << special;
            } else if (special <= 0.0f) {
                EXPECT_EQ(read, 0.0f) << index << " set to " << special;
            }
            if (index % 8 != 0) continue;
            {
                notes.SendBlock(host, 64, 2);
                OutputSummary summary;
                summary.Add(host.ProcessFloat(64));
                ASSERT_TRUE(summary.Clean()) << index << " set to " << special << ": " << summary;
            }
        }
        // Every parameter at the same value at once, for a while.
        OutputSummary summary;
        for (int block = 0; block < 20; ++block) {
            notes.SendBlock(host, 256, 3);
            summary.Add(host.ProcessFloat(256));
            summary.Add(host.ProcessDouble(256));
        }
        ASSERT_TRUE(summary.Clean()) << "all at " << special << ": " << summary;
    }
}

TEST_F(HostParameters, TextEntryWithNumbersOfEveryKind) {
    NoteStream notes(77u);
    for (const char* text : {"10", "-1", "1e300", "-1e300", "nan", "-nan", "inf", "-inf", "1e-310", "-1e-310", "0x1p-1060",
                             "", " ", "0.5junk", "1e", "--1"}) {
        for (int index = 0; index < kParameters; ++index) {
            std::string copy = text;
            host.Dispatch(effString2Parameter, index, 0, copy.data());
            const float read = host.GetParameter(index);
            ASSERT_TRUE(std::isfinite(read) && read >= 0.0f && read <= 1.0f) << index << " from \"" << text << "\" reads " << read;
        }
        notes.SendBlock(host, 256, 4);
        OutputSummary summary = RenderDouble(host, 256 * 8, 256);
        ASSERT_TRUE(summary.Clean()) << "\"" << text << "\": " << summary;
    }
    // The display of a value no parameter can hold is still a text.
    for (float special : SpecialValues()) {
        for (int index : {0, int{param::FilterCutoff}, int{param::DistortionType}, int{param::Volume}}) {
            std::array<char, 256> buffer{};
            host.Dispatch(effVendorSpecific, 7, index, buffer.data(), special);
            EXPECT_LT(std::string(buffer.data()).size(), IPluginVst::kHostTextSize) << index << " at " << special;
        }
    }
}

TEST_F(HostParameters, IndicesFarOutsideTheTableChangeNothing) {
    host.SetParameter(param::Pan, 0.3f);
    const Snapshot before = Snapshot::Of(host);
    for (int index : {kParameters, kParameters + 1, 1000, 1 << 20, INT_MAX - 1, INT_MAX, -1, -2, INT_MIN}) {
        for (float special : SpecialValues()) host.SetParameter(index, special);
        EXPECT_EQ(host.GetParameter(index), 0.0f) << index;
        for (int32_t opcode : {effGetParamLabel, effGetParamDisplay, effGetParamName, effGetProgramNameIndexed,
                               effGetInputProperties, effGetOutputProperties}) {
            if (opcode == effGetProgramNameIndexed && index >= 0 && index < kPrograms) continue;  // a program's name
            std::array<char, 512> buffer{};
            host.Dispatch(opcode, index, 0, buffer.data());
            EXPECT_EQ(buffer[0], '\0') << "opcode " << opcode << ", index " << index << " wrote a text";
        }
        char number[] = "0.9";
        EXPECT_EQ(host.Dispatch(effString2Parameter, index, 0, number), 0) << index;
        std::array<char, 256> buffer{};
        for (intptr_t value : {static_cast<intptr_t>(index), static_cast<intptr_t>(1) << 40, -(static_cast<intptr_t>(1) << 40)}) {
            EXPECT_EQ(host.Dispatch(effVendorSpecific, 7, value, buffer.data(), 0.5f), 0) << value;
            EXPECT_EQ(host.Dispatch(effVendorSpecific, 8, value, nullptr, 0.5f), 0) << value;
        }
        if (index < 0 || index >= kPrograms) {
            host.Dispatch(effSetProgram, 0, index);
            host.Dispatch(effSetProgram, index, index);
        }
    }
    // Program numbers beyond 32 bits are not their lower bits.
    for (intptr_t program : {(static_cast<intptr_t>(1) << 32) + 3, (static_cast<intptr_t>(1) << 40) + 7, INTPTR_MIN + 2}) {
        host.Dispatch(effSetProgram, 0, program);
    }
    EXPECT_TRUE(Snapshot::Of(host) == before) << "no out-of-table index changed a value, a program or a name";
}

TEST(HostDispatcher, UnknownOpcodesAnswerZeroAndChangeNothing) {
    VstTestHost host;
    host.Start(48000.0, 512);
    const std::set<int32_t> known = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10, 11, 12, 13, 14, 15, 19, 22, 23,
                                     24, 25, 26, 27, 29, 33, 34, 35, 42, 45, 47, 48, 50, 51, 53, 58, 66, 69};
    std::vector<int32_t> opcodes;
    for (int32_t opcode = -64; opcode <= 300; ++opcode) {
        if (!known.contains(opcode)) opcodes.push_back(opcode);
    }
    for (int32_t opcode : {1 << 16, INT_MAX - 1, INT_MAX, INT_MIN}) opcodes.push_back(opcode);

    const Snapshot before = Snapshot::Of(host);
    std::mt19937 random(3u);
    for (int32_t opcode : opcodes) {
        std::vector<unsigned char> buffer(1024, 0x5A);
        const auto index = static_cast<int32_t>(random());
        const auto value = static_cast<intptr_t>(random());
        EXPECT_EQ(host.Dispatch(opcode, index, value, buffer.data(), 0.5f), 0) << "opcode " << opcode;
        EXPECT_EQ(host.Dispatch(opcode, 0, 0, nullptr, std::nanf("")), 0) << "opcode " << opcode;
        EXPECT_EQ(buffer, std::vector<unsigned char>(1024, 0x5A)) << "opcode " << opcode << " wrote into the pointer";
    }
    EXPECT_TRUE(Snapshot::Of(host) == before);
    OutputSummary summary;
    host.SendMidi({{0, 0x90, 50, 100}});
    summary.Add(host.ProcessFloat(512));
    EXPECT_TRUE(summary.Clean()) << summary;
    EXPECT_GT(summary.peak, 0.0) << "the instance still plays";
}

TEST(HostDispatcher, KnownOpcodesWithoutTheirPointers) {
    VstTestHost host;
    host.Start(44100.0, 128);
    for (int32_t opcode : {2, 3, 4, 5, 6, 7, 8, 12, 13, 14, 15, 19, 22, 23, 24, 25, 26, 27, 29, 33, 34, 35, 42, 45, 47, 48, 50, 51,
                           53, 58, 66, 69}) {
        for (int32_t index : {0, 1, 7, 8}) host.Dispatch(opcode, index, 0, nullptr, 0.0f);
    }
    host.Dispatch(effMainsChanged, 0, 1);
    host.SendMidi({{0, 0x90, 50, 100}});
    OutputSummary summary = RenderFloat(host, 128 * 10, 128);
    EXPECT_TRUE(summary.Clean()) << summary;
    EXPECT_GT(summary.peak, 0.0);
}

TEST(HostDispatcher, CanDoWithEmptyAndLongTexts) {
    VstTestHost host;
    auto canDo = [&](std::string text) { return host.Dispatch(effCanDo, 0, 0, text.data()); };
    EXPECT_EQ(canDo(""), 0);
    EXPECT_EQ(canDo(std::string(1000, 'x')), 0);
    EXPECT_EQ(canDo("receiveVstMidiEvent" + std::string(981, ' ')), 0) << "a long text that starts like a known one";
    EXPECT_EQ(canDo(std::string("receiveVstMidiEvent\0trailing", 28)), 1) << "the text ends at its terminator";
    EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
    for (std::size_t length : {1u, 63u, 64u, 255u, 256u, 257u, 4096u}) {
        EXPECT_EQ(canDo(std::string(length, 'y')), 0) << length;
        EXPECT_EQ(canDo("sendVstEvents" + std::string(length, 'y')), 0) << length;
    }
    EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, nullptr), 0);
}
