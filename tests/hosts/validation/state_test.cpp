// State as a host keeps it: chunks saved from one instance and restored into
// another, chunks taken back after edits, program changes while notes play,
// and chunks arriving from another thread while audio runs.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "hosts/validation/validation_support.h"
#include "instrument/parameter_table.h"

using namespace vst2;
using namespace validation;

namespace {

std::vector<float> Values(VstTestHost& host) {
    std::vector<float> values;
    for (int index = 0; index < kParameters; ++index) values.push_back(host.GetParameter(index));
    return values;
}

// The same notes through two instances, block by block; the first differing block, or -1.
int FirstDifferingBlock(VstTestHost& a, VstTestHost& b, uint32_t seed, int blocks = 120) {
    NoteStream notesA(seed);
    NoteStream notesB(seed);
    for (int block = 0; block < blocks; ++block) {
        if (block % 10 == 0) {
            notesA.SendBlock(a, 256, 3);
            notesB.SendBlock(b, 256, 3);
        }
        if (a.ProcessFloat(256) != b.ProcessFloat(256)) return block;
    }
    return -1;
}

}  // namespace

TEST(HostState, SavedStateRestoredInANewInstanceSoundsTheSame) {
    std::mt19937 random(41u);
    for (int round = 0; round < Scaled(8); ++round) {
        const int program = static_cast<int>(random() % kPrograms);
        VstTestHost original;
        original.Start(44100.0, 256);
        original.Dispatch(effSetProgram, 0, program);
        RandomiseParameters(original, random);
        const std::vector<unsigned char> bank = original.GetChunk(false);
        const std::vector<unsigned char> current = original.GetChunk(true);
        ASSERT_FALSE(bank.empty());
        ASSERT_FALSE(current.empty());

        // A host restores the bank, then selects the program that was current.
        VstTestHost fromBank;
        fromBank.Start(44100.0, 256);
        ASSERT_EQ(fromBank.SetChunk(bank, false), 1);
        fromBank.Dispatch(effSetProgram, 0, program);
        EXPECT_EQ(Values(fromBank), Values(original)) << "round " << round;
        EXPECT_EQ(fromBank.GetChunk(false), bank) << "round " << round;

        VstTestHost fromProgram;
        fromProgram.Start(44100.0, 256);
        ASSERT_EQ(fromProgram.SetChunk(current, true), 1);
        EXPECT_EQ(Values(fromProgram), Values(original)) << "round " << round;

        // The first block of each is the same, and so is every block after it.
        VstTestHost again;
        again.Start(44100.0, 256);
        ASSERT_EQ(again.SetChunk(current, true), 1);
        EXPECT_EQ(FirstDifferingBlock(fromProgram, again, 100u + static_cast<uint32_t>(round)), -1) << "round " << round;
        EXPECT_EQ(FirstDifferingBlock(original, fromBank, 200u + static_cast<uint32_t>(round)), -1) << "round " << round;
    }
}

TEST(HostState, ChunkTakenBackAfterEditsRestoresValuesAndBytes) {
    std::mt19937 random(42u);
    VstTestHost host;
    host.Start(44100.0, 256);
    NoteStream notes(43u);
    for (int round = 0; round < Scaled(12); ++round) {
        const bool program = round % 2 == 1;
        const std::vector<float> values = Values(host);
        const std::vector<unsigned char> chunk = host.GetChunk(program);
        const intptr_t current = host.Dispatch(effGetProgram);

        RandomiseParameters(host, random);
        char name[] = "edited name";
        host.Dispatch(effSetProgramName, 0, 0, name);
        if (!program) {
            // Edits to other programs too, then back to the one that was current.
            for (int i = 0; i < 3; ++i) {
                host.Dispatch(effSetProgram, 0, static_cast<intptr_t>(random() % kPrograms));
                RandomiseParameters(host, random);
            }
            host.Dispatch(effSetProgram, 0, current);
        }
        notes.SendBlock(host, 256);
        host.ProcessFloat(256);

        ASSERT_EQ(host.SetChunk(chunk, program), 1) << "round " << round;
        EXPECT_EQ(Values(host), values) << "round " << round;
        EXPECT_EQ(host.GetChunk(program), chunk) << "round " << round << ": the same bytes come back";
        // Something to differ from in the next round.
        RandomiseParameters(host, random);
    }
}

TEST(HostState, ProgramChangesWhileNotesPlay) {
    VstTestHost reference;
    VstTestHost host;
    host.Start(44100.0, 128);
    std::vector<int> order(kPrograms);
    for (int i = 0; i < kPrograms; ++i) order[static_cast<std::size_t>(i)] = i;
    std::mt19937 random(44u);
    std::shuffle(order.begin(), order.end(), random);
    NoteStream notes(45u);
    const int blocksPerProgram = kSlowBuild ? 4 : 16;
    for (int program : order) {
        host.Dispatch(effSetProgram, 0, program);
        ASSERT_EQ(host.Dispatch(effGetProgram), program);
        OutputSummary summary;
        for (int block = 0; block < blocksPerProgram; ++block) {
            notes.SendBlock(host, 128, 2);
            summary.Add(host.ProcessFloat(128));
        }
        ASSERT_TRUE(summary.Clean()) << "program " << program << ": " << summary;
        // Playing changed nothing in the program: it reads as in an untouched instance.
        reference.Dispatch(effSetProgram, 0, program);
        ASSERT_EQ(Values(host), Values(reference)) << "program " << program;
        ASSERT_EQ(host.Text(effGetProgramName), reference.Text(effGetProgramName)) << "program " << program;
    }
}

TEST(HostState, ChunksFromAnotherThreadWhileAudioRuns) {
    VstTestHost host;
    host.Start(44100.0, 128);
    std::mt19937 random(46u);
    std::vector<std::vector<unsigned char>> banks;
    std::vector<std::vector<unsigned char>> programs;
    for (int i = 0; i < 3; ++i) {
        host.Dispatch(effSetProgram, 0, static_cast<intptr_t>(random() % kPrograms));
        RandomiseParameters(host, random);
        banks.push_back(host.GetChunk(false));
        programs.push_back(host.GetChunk(true));
    }
    host.Dispatch(effSetProgram, 0, 0);

    std::atomic<bool> stop{false};
    OutputSummary summary;
    long blocks = 0;
    std::thread audio([&] {
        NoteStream notes(47u);
        while (!stop.load()) {
            notes.SendBlock(host, 128, 2);
            summary.Add(host.ProcessFloat(128));
            ++blocks;
        }
    });
    int accepted = 0;
    const int changes = Scaled(120);
    for (int i = 0; i < changes; ++i) {
        const bool program = i % 3 == 2;
        const auto& chunk = program ? programs[static_cast<std::size_t>(i) % programs.size()] : banks[static_cast<std::size_t>(i) % banks.size()];
        accepted += static_cast<int>(host.SetChunk(chunk, program));
        std::this_thread::yield();
    }
    // The last chunk decides the values, whatever the audio thread did meanwhile.
    host.SetChunk(programs[1], true);
    const std::vector<float> settled = Values(host);
    stop.store(true);
    audio.join();

    EXPECT_EQ(accepted, changes);
    EXPECT_TRUE(summary.Clean()) << summary;
    EXPECT_GT(blocks, 0);
    VstTestHost check;
    check.SetChunk(programs[1], true);
    EXPECT_EQ(settled, Values(check));
}
