// Instances as hosts treat them: loaded and closed over and over, created on
// several threads at once, reconfigured between blocks, driven before they
// are resumed, and given sample rates far outside the usual ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "hosts/validation/validation_support.h"
#include "instrument/parameter_table.h"

using namespace vst2;
using namespace validation;

namespace {

// A short phrase rendered from a fresh instance: the left and right samples.
std::vector<float> RenderPhrase(VstTestHost& host, int blockSize = 256, int blocks = 24) {
    host.Start(44100.0, blockSize);
    std::vector<float> samples;
    for (int block = 0; block < blocks; ++block) {
        if (block == 0) host.SendMidi({{3, 0x90, 36, 120}, {40, 0x90, 43, 90}});
        if (block == blocks / 2) host.SendMidi({{0, 0x80, 36, 0}, {9, 0x80, 43, 0}});
        const auto out = host.ProcessFloat(blockSize);
        samples.insert(samples.end(), out[0].begin(), out[0].end());
        samples.insert(samples.end(), out[1].begin(), out[1].end());
    }
    return samples;
}

double Peak(const std::vector<float>& samples) {
    double peak = 0.0;
    for (float sample : samples) peak = std::max(peak, static_cast<double>(std::abs(sample)));
    return peak;
}

double Rms(const std::vector<float>& samples) {
    double sum = 0.0;
    for (float sample : samples) sum += static_cast<double>(sample) * static_cast<double>(sample);
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

}  // namespace

TEST(HostLifecycle, OpensAndClosesManyTimes) {
    const std::vector<float> reference = [] {
        VstTestHost host;
        return RenderPhrase(host);
    }();
    ASSERT_GT(Peak(reference), 0.01) << "the phrase sounds";

    for (int round = 0; round < Scaled(40); ++round) {
        // Every third instance is closed straight after creation, never opened.
        VstTestHost host;
        if (round % 3 == 2) continue;
        const std::vector<float> samples = RenderPhrase(host);
        ASSERT_EQ(samples, reference) << "round " << round << ": a reloaded module sounds the same";
    }
}

TEST(HostLifecycle, InstancesComeAndGoOnSeveralThreads) {
    const std::vector<float> reference = [] {
        VstTestHost host;
        return RenderPhrase(host, 128, 30);
    }();

    constexpr int kThreads = 4;
    const int instancesPerThread = Scaled(8);
    std::vector<int> mismatches(kThreads, 0);
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < instancesPerThread; ++i) {
                try {
                    VstTestHost host;
                    if (RenderPhrase(host, 128, 30) != reference) ++mismatches[static_cast<std::size_t>(t)];
                } catch (...) {
                    ++failures[static_cast<std::size_t>(t)];
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(failures[static_cast<std::size_t>(t)], 0) << "thread " << t << " could not create an instance";
        EXPECT_EQ(mismatches[static_cast<std::size_t>(t)], 0) << "thread " << t << ": concurrent instances share state";
    }
}

TEST(HostLifecycle, ProcessingBeforeResumeAndWithZeroFrames) {
    {
        // Straight from the entry point: no open, rate, block size or resume.
        VstTestHost host;
        host.SendMidi({{0, 0x90, 48, 127}});
        OutputSummary summary;
        for (int block = 0; block < 8; ++block) summary.Add(host.ProcessFloat(300));
        for (int block = 0; block < 8; ++block) summary.Add(host.ProcessDouble(300));
        EXPECT_TRUE(summary.Clean()) << summary;
        EXPECT_GT(summary.peak, 0.0) << "a note sounds even before the host set anything up";
    }
    {
        // Opened and configured, but suspended.
        VstTestHost host;
        host.Dispatch(effOpen);
        host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        host.Dispatch(effSetBlockSize, 0, 64);
        host.SendMidi({{0, 0x90, 48, 127}});
        const OutputSummary summary = RenderFloat(host, 64 * 40, 64);
        EXPECT_TRUE(summary.Clean()) << summary;
    }
    {
        // A call of 0 frames writes nothing and consumes no event: a note due at
        // frame 10 still starts at frame 10 of the next real block.
        VstTestHost host;
        host.Start(44100.0, 128);
        host.SetParameter(param::BypassFX, 1.0f);
        host.SendMidi({{10, 0x90, 60, 127}});
        for (int i = 0; i < 3; ++i) {
            const auto empty = host.ProcessFloat(0);
            EXPECT_TRUE(empty[0].empty());
            const auto emptyDouble = host.ProcessDouble(0);
            EXPECT_TRUE(emptyDouble[0].empty());
        }
        float sentinel = 7.0f;
        float* outputs[2] = {&sentinel, &sentinel};
        host.Effect().processReplacing(&host.Effect(), nullptr, outputs, 0);
        host.Effect().process(&host.Effect(), nullptr, outputs, 0);
        EXPECT_EQ(sentinel, 7.0f) << "0 frames: the host's buffer is left alone";
        host.Effect().processReplacing(&host.Effect(), nullptr, outputs, -5);
        EXPECT_EQ(sentinel, 7.0f) << "a negative frame count is no block";

        const auto out = host.ProcessFloat(128);
        for (int i = 0; i <= 10; ++i) EXPECT_EQ(out[0][static_cast<std::size_t>(i)], 0.0f) << i;
        double after = 0.0;
        for (std::size_t i = 11; i < 128; ++i) after = std::max(after, static_cast<double>(std::abs(out[0][i])));
        EXPECT_GT(after, 0.0) << "the queued note starts at its own frame";
    }
}

TEST(HostLifecycle, SampleRatesAndBlockSizesInRandomOrder) {
    std::vector<double> rates = {22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0};
    std::vector<int> sizes = {1, 2, 3, 7, 16, 31, 64, 100, 128, 257, 512, 1000, 1024, 2048, 4096};
    std::mt19937 random(20261208u);
    VstTestHost host;
    host.Start(44100.0, 512);
    NoteStream notes(7u);
    const int rounds = Scaled(40);
    for (int round = 0; round < rounds; ++round) {
        const double rate = rates[random() % rates.size()];
        const int size = sizes[random() % sizes.size()];
        host.Reconfigure(rate, size);
        // About a fifth of a second of audio per set-up, with notes starting and ending.
        const int blocks = std::max(2, static_cast<int>(rate / 5.0) / size);
        OutputSummary summary;
        for (int block = 0; block < std::min(blocks, kSlowBuild ? 200 : 2000); ++block) {
            if (block % std::max(1, 2048 / size) == 0) notes.SendBlock(host, size, 4);
            if (block % 2 == 0) {
                summary.Add(host.ProcessFloat(size));
            } else {
                summary.Add(host.ProcessDouble(size));
            }
        }
        ASSERT_TRUE(summary.Clean()) << rate << " Hz, " << size << " frames: " << summary;
        ASSERT_GT(summary.peak, 0.0) << rate << " Hz, " << size << " frames: the notes sound";
    }
}

TEST(HostLifecycle, SampleRatesFromOneHertzToBeyondAMegahertz) {
    VstTestHost reference;
    const std::vector<float> expected = RenderPhrase(reference, 256, 40);

    VstTestHost host;
    host.Start(44100.0, 256);
    std::vector<double> rates;
    for (double rate = 1.0; rate < 1.41e6; rate *= 1.6) rates.push_back(rate);
    rates.push_back(1.41e6);
    // Rates no host should send; they are refused or clamped all the same.
    for (double odd : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       1e-30, 3.4e38}) {
        rates.push_back(odd);
    }
    for (double rate : rates) {
        host.Reconfigure(rate, 256);
        host.SendMidi({{0, 0x90, 40, 127}, {100, 0x90, 52, 60}});
        OutputSummary summary = RenderFloat(host, 256 * 8, 256);
        host.SendMidi({{0, 0x80, 40, 0}, {0, 0x80, 52, 0}});
        OutputSummary released = RenderDouble(host, 256 * 4, 256);
        EXPECT_TRUE(summary.Clean()) << rate << " Hz: " << summary;
        EXPECT_TRUE(released.Clean()) << rate << " Hz after release: " << released;
    }

    // Back at an ordinary rate, with every voice long ended, it sounds as new.
    host.Reconfigure(44100.0, 256);
    RenderFloat(host, 44100 * 12, 4096);
    const std::vector<float> after = RenderPhrase(host, 256, 40);
    EXPECT_NEAR(Rms(after), Rms(expected), 0.02 * Rms(expected)) << "the extreme rates left no trace in the sound";
    EXPECT_NEAR(Peak(after), Peak(expected), 0.05 * Peak(expected));
}
