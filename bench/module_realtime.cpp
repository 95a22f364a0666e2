// module_realtime MODULE [SECONDS]: realtime factors of the module loaded as a host
// loads it, for the workload of bench/peers.sh (program "Mainstream
// Bassdrum 1" with KickTransposeMode 0; 1, 16 and 64 notes held (10 s) at
// 44.1 kHz in blocks of 512) and one note of the program as programmed.
// Built for Linux and for Windows, where it runs under Wine, so that the
// DLL and the shared object are measured the same way. Wine counts thread
// time in 10 ms ticks: give it a minute of audio for two-digit precision.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#if !defined(_WIN32)
#include <time.h>
#endif

#include "instrument/parameter_table.h"
#include "support/vst_test_host.h"  // also <windows.h> on Windows, for GetThreadTimes

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kMainstreamBassdrum1 = 20;

// Processor time of the calling thread, in seconds.
double ThreadSeconds() {
#if defined(_WIN32)
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
#else
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#endif
}

// Audio seconds per processor second spent in processReplacing.
double RealtimeFactor(const char* module, int notes, bool heavy, int seconds) {
    VstTestHost host(module);
    host.Dispatch(vst2::effSetProgram, 0, kMainstreamBassdrum1);
    if (heavy) host.SetParameter(param::KickTransposeMode, 0.0f);
    host.Start(kRate, kBlock);
    std::vector<std::array<int, 4>> noteOns;
    for (int i = 0; i < notes; ++i) noteOns.push_back({0, 0x90, 36 + i, 100});
    host.SendMidi(noteOns);
    std::vector<float> left(kBlock), right(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    const int blocks = static_cast<int>(seconds * kRate) / kBlock;
    // Timed as a whole: the loop does nothing but call the module, and Wine
    // counts a thread's time in ticks far longer than one block.
    const double start = ThreadSeconds();
    for (int block = 0; block < blocks; ++block) host.Effect().processReplacing(&host.Effect(), nullptr, outputs, kBlock);
    const double spent = ThreadSeconds() - start;
    return spent > 0.0 ? blocks * kBlock / kRate / spent : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc == 3 ? std::atoi(argv[2]) : 10;
    if (argc < 2 || argc > 3 || seconds < 1 || seconds > 3600) {
        std::fprintf(stderr, "usage: module_realtime MODULE [SECONDS 1..3600]\n");
        return 2;
    }
    try {
        for (int notes : {1, 16, 64}) std::printf("%-6d %8.1fx\n", notes, RealtimeFactor(argv[1], notes, true, seconds));
        std::printf("kick   %8.1fx   (one note of \"Mainstream Bassdrum 1\" as programmed)\n", RealtimeFactor(argv[1], 1, false, seconds));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "module_realtime: %s\n", error.what());
        return 1;
    }
    return 0;
}
