// module_realtime MODULE: realtime factors of the module loaded as a host
// loads it, for the workload of bench/peers.sh (program "Mainstream
// Bassdrum 1" with KickTransposeMode 0; 1, 16 and 64 notes held 10 s at
// 44.1 kHz in blocks of 512) and one note of the program as programmed.
// Built for Linux and for Windows, where it runs under Wine, so that the
// DLL and the shared object are measured the same way.
#include <array>
#include <cstdio>
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
constexpr int kSeconds = 10;
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
double RealtimeFactor(const char* module, int notes, bool heavy) {
    VstTestHost host(module);
    host.Dispatch(vst2::effSetProgram, 0, kMainstreamBassdrum1);
    if (heavy) host.SetParameter(param::KickTransposeMode, 0.0f);
    host.Start(kRate, kBlock);
    std::vector<std::array<int, 4>> noteOns;
    for (int i = 0; i < notes; ++i) noteOns.push_back({0, 0x90, 36 + i, 100});
    host.SendMidi(noteOns);
    std::vector<float> left(kBlock), right(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    const int blocks = static_cast<int>(kSeconds * kRate) / kBlock;
    double spent = 0.0;
    for (int block = 0; block < blocks; ++block) {
        const double start = ThreadSeconds();
        host.Effect().processReplacing(&host.Effect(), nullptr, outputs, kBlock);
        spent += ThreadSeconds() - start;
    }
    return spent > 0.0 ? blocks * kBlock / kRate / spent : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: module_realtime MODULE\n");
        return 2;
    }
    try {
        for (int notes : {1, 16, 64}) std::printf("%-6d %8.1fx\n", notes, RealtimeFactor(argv[1], notes, true));
        std::printf("kick   %8.1fx   (one note of \"Mainstream Bassdrum 1\" as programmed)\n", RealtimeFactor(argv[1], 1, false));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "module_realtime: %s\n", error.what());
        return 1;
    }
    return 0;
}
