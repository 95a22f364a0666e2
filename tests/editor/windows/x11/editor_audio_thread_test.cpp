// The editor open and redrawing while another thread renders audio and
// automates parameters at random, as a host's audio thread does: clean
// under the thread sanitizer. It reports how long the audio thread waited
// for the plug-in (its lock) at worst; that is printed, not judged.
#include <random>

#include "x11_test_host.h"

namespace {

using namespace x11_test;

TEST(EditorWindowWithAudio, RedrawsEveryTickWhileAnotherThreadRendersAndAutomates) {
    REQUIRE_X_SERVER();
    constexpr int kBlock = 256;
    constexpr int kIdleCalls = 150;  // three seconds of the host's GUI thread
    ModuleHost host;
    host.Start(44100.0, kBlock);
    HostWindow window;
    EditorSession session(host, window);
    ASSERT_TRUE(session.Open());
    session.Pump(10);
    const RgbImage before = Capture(window.GetDisplay(), session.EditorWindow());

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::chrono::nanoseconds longestSetParameter{0};
    std::chrono::nanoseconds longestBlock{0};
    std::thread audio([&] {
        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> parameter(0, host.ParameterCount() - 1);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        std::vector<float> left(kBlock);
        std::vector<float> right(kBlock);
        long count = 0;
        while (!stop.load()) {
            if (count % 40 == 0) host.SendNote(0x90, 36 + static_cast<int>(count / 40 % 24), 100);
            for (int i = 0; i < 4; ++i) {
                const int index = parameter(random);
                const float normalised = value(random);
                const auto start = std::chrono::steady_clock::now();
                host.SetParameter(index, normalised);
                longestSetParameter = std::max(longestSetParameter, std::chrono::steady_clock::now() - start);
            }
            const auto start = std::chrono::steady_clock::now();
            host.Process(left.data(), right.data(), kBlock);
            longestBlock = std::max(longestBlock, std::chrono::steady_clock::now() - start);
            blocks.store(++count);
            // Roughly the pace of a real-time stream of 256-frame blocks.
            std::this_thread::sleep_for(std::chrono::microseconds(5800));
        }
    });
    session.Pump(kIdleCalls);
    stop.store(true);
    audio.join();
    session.Pump(5);
    const RgbImage after = Capture(window.GetDisplay(), session.EditorWindow());
    session.Close();

    EXPECT_GT(blocks.load(), 0);
    EXPECT_FALSE(DifferenceBox(after, before).Empty()) << "the automation shows in the editor";
    const auto micro = [](std::chrono::nanoseconds t) {
        return std::chrono::duration_cast<std::chrono::microseconds>(t).count();
    };
    std::printf("[ audio    ] %ld blocks of %d frames beside %d editor idle calls\n", blocks.load(), kBlock,
                kIdleCalls);
    std::printf("[ audio    ] longest wait in setParameter (the plug-in's lock): %lld us\n",
                static_cast<long long>(micro(longestSetParameter)));
    std::printf("[ audio    ] longest processReplacing call: %lld us\n", static_cast<long long>(micro(longestBlock)));
}

}  // namespace
