// What an instance sends once every note has ended: a tail that fades below
// -77.6 dB within 20 seconds with the effects on, exact zeros with them
// bypassed, no offset that stays, and never a subnormal number.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "hosts/validation/validation_support.h"
#include "instrument/parameter_table.h"

using namespace vst2;
using namespace validation;

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
// The level the tail must fall below, 20 s after the last note ended.
constexpr double kSilenceThreshold = 1.32e-4;
constexpr long kTailFrames = static_cast<long>(20.0 * kRate);
constexpr long kLastSecond = static_cast<long>(kRate);

// Plays a short phrase of low and high notes and ends every one of them.
void PlayAndRelease(VstTestHost& host, OutputSummary& sounding) {
    host.SendMidi({{0, 0x90, 36, 127}, {100, 0x90, 48, 100}, {300, 0x90, 72, 64}});
    sounding = RenderDouble(host, static_cast<long>(0.4 * kRate), kBlock);
    host.SendMidi({{0, 0x80, 36, 0}, {0, 0x80, 48, 0}, {0, 0x80, 72, 0}});
}

struct Tail {
    OutputSummary sounding;  // while the notes play
    OutputSummary early;     // the 20 s after the notes ended, but the last second
    OutputSummary last;      // the last of those 20 s
};

// Renders the tail through the 64-bit callback so that the instrument's own
// numbers are judged, before any rounding to 32 bits.
Tail RenderTail(VstTestHost& host) {
    Tail tail;
    PlayAndRelease(host, tail.sounding);
    tail.early = RenderDouble(host, kTailFrames - kLastSecond, kBlock);
    tail.last = RenderDouble(host, kLastSecond, kBlock);
    return tail;
}

// Each check renders 20 s of audio per round: a quarter of the factory
// programs in optimised builds, a few in slow ones, spread over the bank.
std::vector<int> ProgramsToCheck() {
    std::vector<int> programs;
    const int stride = kSlowBuild ? 37 : 4;
    for (int program = kSlowBuild ? 5 : 0; program < kPrograms; program += stride) programs.push_back(program);
    return programs;
}

// Rounds of random settings per check.
int Rounds(int optimised) { return kSlowBuild ? 2 : optimised; }

// Even rounds play a random factory program, odd rounds random settings.
void ChooseProgramOrRandomSettings(VstTestHost& host, std::mt19937& random, int round) {
    if (round % 2 == 0) {
        host.Dispatch(effSetProgram, 0, static_cast<intptr_t>(random() % kPrograms));
    } else {
        RandomiseParameters(host, random);
    }
}

}  // namespace

TEST(HostSilence, EffectsTailFadesWithinTwentySeconds) {
    for (int program : ProgramsToCheck()) {
        VstTestHost host;
        host.Start(kRate, kBlock);
        host.Dispatch(effSetProgram, 0, program);
        host.SetParameter(param::BypassFX, 0.0f);
        const Tail tail = RenderTail(host);
        const std::string name = std::to_string(program) + " " + host.Text(effGetProgramName);
        EXPECT_GT(tail.sounding.peak, 0.0) << name << " makes no sound";
        EXPECT_TRUE(tail.sounding.Clean()) << name << ": " << tail.sounding;
        EXPECT_TRUE(tail.early.Clean()) << name << ": " << tail.early;
        EXPECT_LT(tail.last.peak, kSilenceThreshold) << name << ": " << tail.last;
        EXPECT_EQ(tail.last.subnormal, 0) << name;
        EXPECT_LT(std::abs(tail.last.Mean()), 1e-6) << name << " settles on an offset";
    }
}

TEST(HostSilence, RandomSettingsComeToRestWithinTwentySeconds) {
    // Several waveshaper curves do not pass through 0 by design: with drive
    // on, a silent input leaves the shaper as a constant, and only the
    // Dump/Expand high pass (at or above its centre) takes it away. Every
    // setting must come to rest; with the drive off it must also end at 0.
    std::mt19937 random(1208u);
    for (int round = 0; round < Rounds(12); ++round) {
        VstTestHost host;
        host.Start(kRate, kBlock);
        RandomiseParameters(host, random);
        host.SetParameter(param::BypassFX, 0.0f);
        const bool driveOff = round % 2 == 0;
        if (driveOff) host.SetParameter(param::Distortion, 0.0f);
        const Tail tail = RenderTail(host);
        EXPECT_TRUE(tail.sounding.Clean()) << "round " << round << ": " << tail.sounding;
        EXPECT_TRUE(tail.early.Clean()) << "round " << round << ": " << tail.early;
        EXPECT_LT(tail.last.Swing(), kSilenceThreshold) << "round " << round << " still moves: " << tail.last;
        EXPECT_EQ(tail.last.subnormal, 0) << "round " << round;
        if (driveOff) {
            EXPECT_LT(tail.last.peak, kSilenceThreshold) << "round " << round << ": " << tail.last;
            EXPECT_LT(std::abs(tail.last.Mean()), 1e-6) << "round " << round << " settles on an offset";
        }
    }
}

TEST(HostSilence, BypassedEffectsEndInExactZeros) {
    std::mt19937 random(1209u);
    for (int round = 0; round < Rounds(12); ++round) {
        VstTestHost host;
        host.Start(kRate, kBlock);
        ChooseProgramOrRandomSettings(host, random, round);
        host.SetParameter(param::BypassFX, 1.0f);
        // The bass layer's own filters run even with the effects bypassed.
        host.SetParameter(param::BassLayerToFilter, 0.0f);
        const Tail tail = RenderTail(host);
        EXPECT_TRUE(tail.early.Clean()) << "round " << round << ": " << tail.early;
        EXPECT_EQ(tail.last.peak, 0.0) << "round " << round << ": " << tail.last;
        // The 32-bit callback gives the same zeros.
        OutputSummary single = RenderFloat(host, kBlock * 4, kBlock);
        EXPECT_EQ(single.peak, 0.0) << "round " << round;
    }
}

TEST(HostSilence, BassLayerFiltersLeaveOnlyTheirDenormalGuard) {
    // Routed through its filters, the bass layer never ends in exact zeros:
    // each filter adds a constant of 1e-8 with alternating sign so that its
    // state never decays into subnormal numbers. A resonant or high-pass
    // setting lifts that tone at the Nyquist frequency, but never to the
    // silence threshold, and it carries no offset.
    std::mt19937 random(1211u);
    for (int round = 0; round < Rounds(6); ++round) {
        VstTestHost host;
        host.Start(kRate, kBlock);
        ChooseProgramOrRandomSettings(host, random, round);
        host.SetParameter(param::BypassFX, 1.0f);
        host.SetParameter(param::BassLayerToFilter, 1.0f);
        const Tail tail = RenderTail(host);
        EXPECT_TRUE(tail.early.Clean()) << "round " << round << ": " << tail.early;
        EXPECT_LT(tail.last.peak, kSilenceThreshold) << "round " << round << ": " << tail.last;
        EXPECT_LT(std::abs(tail.last.Mean()), 1e-12) << "round " << round << ": " << tail.last;
        EXPECT_EQ(tail.last.subnormal, 0) << "round " << round;
    }
}

TEST(HostSilence, NoSubnormalNumbersReachTheHost) {
    // Tails through the 32-bit callback: a tiny 64-bit value becomes a
    // subnormal 32-bit one unless the instrument ends its tails first.
    std::mt19937 random(1210u);
    for (int round = 0; round < Rounds(8); ++round) {
        VstTestHost host;
        host.Start(kRate, kBlock);
        host.Dispatch(effSetProgram, 0, static_cast<intptr_t>(random() % kPrograms));
        if (round % 2 == 1) RandomiseParameters(host, random);
        host.SendMidi({{0, 0x90, 40, 127}, {7, 0x90, 64, 90}});
        OutputSummary summary = RenderFloat(host, static_cast<long>(0.3 * kRate), kBlock);
        host.SendMidi({{0, 0x80, 40, 0}, {0, 0x80, 64, 0}});
        summary.Merge(RenderFloat(host, static_cast<long>(kSlowBuild ? 8.0 * kRate : 25.0 * kRate), kBlock));
        EXPECT_EQ(summary.subnormal, 0) << "round " << round << ": " << summary;
        EXPECT_EQ(summary.nonFinite, 0) << "round " << round;
    }
}
