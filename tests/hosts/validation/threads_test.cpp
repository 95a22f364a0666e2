// Hosts call from several threads at once: automation and the dispatcher
// from their own threads while the audio thread renders. Under the thread
// sanitizer this program shows any access the plug-in mutex does not guard.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "hosts/validation/validation_support.h"
#include "instrument/parameter_table.h"

using namespace vst2;
using namespace validation;

TEST(HostThreads, ParameterAndDispatcherCallsWhileAudioRuns) {
    VstTestHost host;
    host.Start(48000.0, 256);
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    OutputSummary summary;

    std::thread audio([&] {
        NoteStream notes(61u);
        for (int block = 0; !stop.load(); ++block) {
            notes.SendBlock(host, 256, 3);
            if (block % 2 == 0) {
                summary.Add(host.ProcessFloat(256));
            } else {
                summary.Add(host.ProcessDouble(256));
            }
            blocks.fetch_add(1);
        }
    });

    // Automation: every parameter moves.
    std::thread automation([&] {
        std::mt19937 random(62u);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        for (int i = 0; i < Scaled(20000); ++i) {
            const int index = static_cast<int>(random() % kParameters);
            host.SetParameter(index, value(random));
            (void)host.GetParameter(index);
        }
    });

    // The host's user interface: reads texts, switches programs, saves state.
    const int calls = Scaled(600);
    std::mt19937 random(63u);
    for (int i = 0; i < calls; ++i) {
        const int index = static_cast<int>(random() % kParameters);
        host.Text(effGetParamDisplay, index);
        host.Text(effGetParamName, index);
        host.Text(effGetParamLabel, index);
        host.Text(effGetProgramName);
        host.Text(effGetProgramNameIndexed, static_cast<int32_t>(random() % kPrograms));
        host.Dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent"));
        if (i % 10 == 0) host.Dispatch(effSetProgram, 0, static_cast<intptr_t>(random() % kPrograms));
        if (i % 25 == 0) {
            const std::vector<unsigned char> chunk = host.GetChunk(i % 50 == 0);
            EXPECT_FALSE(chunk.empty());
        }
        if (i % 40 == 0) {
            char name[] = "renamed";
            host.Dispatch(effSetProgramName, 0, 0, name);
        }
        if (i % 100 == 0) {
            char text[] = "0.25";
            host.Dispatch(effString2Parameter, param::Pan, 0, text);
        }
        host.Dispatch(effIdle);
        host.Dispatch(effEditIdle);
    }
    automation.join();
    // Let the audio thread render a little after the last change.
    const long seen = blocks.load();
    while (blocks.load() < seen + 4) std::this_thread::yield();
    stop.store(true);
    audio.join();

    EXPECT_TRUE(summary.Clean()) << summary;
    EXPECT_GT(summary.frames, 0);
}

TEST(HostThreads, TwoAudioThreadsOnTwoInstances) {
    // Instances share the module's code and tables, never their state.
    VstTestHost first;
    VstTestHost second;
    std::vector<float> firstOut;
    std::vector<float> secondOut;
    auto play = [](VstTestHost& host, std::vector<float>& out) {
        host.Start(44100.0, 128);
        NoteStream notes(64u);
        for (int block = 0; block < Scaled(400); ++block) {
            if (block % 8 == 0) notes.SendBlock(host, 128, 2);
            const auto samples = host.ProcessFloat(128);
            out.insert(out.end(), samples[0].begin(), samples[0].end());
        }
    };
    std::thread a([&] { play(first, firstOut); });
    std::thread b([&] { play(second, secondOut); });
    a.join();
    b.join();
    EXPECT_EQ(firstOut, secondOut) << "the same notes on two threads give the same audio";
}
