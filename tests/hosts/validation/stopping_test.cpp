// What hosts send when the transport stops or a track is muted: controller
// 123 (all notes off), controller 120 (all sound off) and a suspend. Each
// must leave no key believed held and every one of the 64 voices free; with
// no voice stealing, a voice left sounding would be lost for good. Also the
// note-on and note-off of one key at one frame, in either order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "hosts/validation/validation_support.h"
#include "instrument/parameter_table.h"

using namespace vst2;
using namespace validation;

namespace {

constexpr int kBlock = 512;
constexpr int kVoices = 64;
constexpr int kFirstKey = 30;  // the 64 keys 30..93
// Blocks of held notes, then of waiting after the stop (the release lasts 50 ms).
constexpr int kHoldBlocks = 10;
constexpr int kWaitBlocks = 20;
constexpr std::size_t kRestart = static_cast<std::size_t>(kWaitBlocks) * kBlock;

using Stereo = std::array<std::vector<double>, 2>;

// An instance whose notes sound for as long as they are held, quietly
// enough that 64 of them never reach the clip ceiling, with the effects
// bypassed so that only the voices are heard.
void StartSustaining(VstTestHost& host) {
    host.Start(44100.0, kBlock);
    host.SetParameter(param::EnvSustain, 1.0f);
    host.SetParameter(param::FilterSustain, 1.0f);
    host.SetParameter(param::EnvRelease, 0.05f);
    host.SetParameter(param::FilterRelease, 0.05f);
    host.SetParameter(param::BypassFX, 1.0f);
    host.SetParameter(param::Volume, 0.02f);
}

std::vector<std::array<int, 4>> EveryKey(int frame, int status, int velocity) {
    std::vector<std::array<int, 4>> messages;
    for (int key = kFirstKey; key < kFirstKey + kVoices; ++key) messages.push_back({frame, status, key, velocity});
    return messages;
}

void Append(Stereo& into, const Stereo& block) {
    for (std::size_t c = 0; c < 2; ++c) into[c].insert(into[c].end(), block[c].begin(), block[c].end());
}

Stereo Render(VstTestHost& host, int blocks) {
    Stereo out;
    for (int block = 0; block < blocks; ++block) Append(out, host.ProcessDouble(kBlock));
    return out;
}

double Peak(const Stereo& out, std::size_t from = 0) {
    double peak = 0.0;
    for (const auto& channel : out) {
        for (std::size_t i = from; i < channel.size(); ++i) peak = std::max(peak, std::abs(channel[i]));
    }
    return peak;
}

double LargestDifference(const Stereo& a, const Stereo& b) {
    double largest = 0.0;
    for (std::size_t c = 0; c < 2; ++c) {
        EXPECT_EQ(a[c].size(), b[c].size());
        for (std::size_t i = 0; i < std::min(a[c].size(), b[c].size()); ++i) {
            largest = std::max(largest, std::abs(a[c][i] - b[c][i]));
        }
    }
    return largest;
}

// How the transport stop reaches the instance.
enum class Stop { NoteOffs, AllNotesOff, Suspend, AllNotesOffThenSuspend, AllSoundOff };

std::string Name(Stop stop) {
    switch (stop) {
    case Stop::NoteOffs: return "note-offs";
    case Stop::AllNotesOff: return "controller 123";
    case Stop::Suspend: return "suspend and resume";
    case Stop::AllNotesOffThenSuspend: return "controller 123, then suspend and resume";
    case Stop::AllSoundOff: return "controller 120";
    }
    return {};
}

// All 64 keys held, stopped at frame 100 of a block, time for every
// release to end, then all 64 keys again: what sounds after the stop.
Stereo PlayStopAndPlayAgain(Stop stop) {
    VstTestHost host;
    StartSustaining(host);
    host.SendMidi(EveryKey(0, 0x90, 100));
    Render(host, kHoldBlocks);
    switch (stop) {
    case Stop::NoteOffs: host.SendMidi(EveryKey(100, 0x80, 0)); break;
    case Stop::AllNotesOff: host.SendMidi({{100, 0xB0, 123, 0}}); break;
    case Stop::AllSoundOff: host.SendMidi({{100, 0xB3, 120, 0}}); break;
    case Stop::Suspend: host.Reconfigure(44100.0, kBlock); break;
    case Stop::AllNotesOffThenSuspend:
        host.SendMidi({{0, 0xB0, 123, 0}});
        host.Reconfigure(44100.0, kBlock);
        break;
    }
    Stereo out = Render(host, kWaitBlocks);
    host.SendMidi(EveryKey(7, 0x90, 100));
    Append(out, Render(host, 10));
    return out;
}

}  // namespace

TEST(HostStop, AllNotesOffReleasesEveryKeyAsItsNoteOffWould) {
    const Stereo byNoteOffs = PlayStopAndPlayAgain(Stop::NoteOffs);
    ASSERT_GT(Peak(byNoteOffs, kRestart), 0.05) << "the 64 notes after the stop sound";
    const Stereo byController = PlayStopAndPlayAgain(Stop::AllNotesOff);
    EXPECT_LE(LargestDifference(byController, byNoteOffs), 1e-12);
}

TEST(HostStop, EveryWayOfStoppingLeavesAll64VoicesFree) {
    // After the stop, every voice has ended and the 64 new notes each find
    // one; they sound as after note-offs, whichever way the stop came.
    const Stereo byNoteOffs = PlayStopAndPlayAgain(Stop::NoteOffs);
    const Stereo expected{std::vector<double>(byNoteOffs[0].begin() + static_cast<std::ptrdiff_t>(kRestart), byNoteOffs[0].end()),
                          std::vector<double>(byNoteOffs[1].begin() + static_cast<std::ptrdiff_t>(kRestart), byNoteOffs[1].end())};
    for (Stop stop : {Stop::AllNotesOff, Stop::Suspend, Stop::AllNotesOffThenSuspend, Stop::AllSoundOff}) {
        const Stereo out = PlayStopAndPlayAgain(stop);
        // Silence just before the new notes: nothing still sounds.
        EXPECT_EQ(Peak(Stereo{std::vector<double>(out[0].begin() + static_cast<std::ptrdiff_t>(kRestart - kBlock),
                                                  out[0].begin() + static_cast<std::ptrdiff_t>(kRestart)),
                              std::vector<double>(out[1].begin() + static_cast<std::ptrdiff_t>(kRestart - kBlock),
                                                  out[1].begin() + static_cast<std::ptrdiff_t>(kRestart))}),
                  0.0)
            << Name(stop);
        const Stereo again{std::vector<double>(out[0].begin() + static_cast<std::ptrdiff_t>(kRestart), out[0].end()),
                           std::vector<double>(out[1].begin() + static_cast<std::ptrdiff_t>(kRestart), out[1].end())};
        EXPECT_LE(LargestDifference(again, expected), 1e-9) << Name(stop);
    }
}

TEST(HostStop, AllSoundOffSilencesAtItsFrame) {
    VstTestHost plain;
    VstTestHost stopped;
    for (VstTestHost* host : {&plain, &stopped}) {
        StartSustaining(*host);
        host->SendMidi(EveryKey(0, 0x90, 100));
        Render(*host, 10);
    }
    stopped.SendMidi({{300, 0xB0, 120, 0}});
    const Stereo heard = plain.ProcessDouble(kBlock);
    const Stereo cut = stopped.ProcessDouble(kBlock);
    ASSERT_GT(Peak(heard, 300), 0.05);
    for (std::size_t c = 0; c < 2; ++c) {
        for (std::size_t i = 0; i < 300; ++i) ASSERT_EQ(cut[c][i], heard[c][i]) << "frame " << i;
        for (std::size_t i = 300; i < kBlock; ++i) ASSERT_EQ(cut[c][i], 0.0) << "frame " << i;
    }
    EXPECT_EQ(Peak(Render(stopped, 4)), 0.0);
}

TEST(HostStop, ControllersOtherThanTheStopsLeaveNotesSounding) {
    VstTestHost plain;
    VstTestHost controlled;
    for (VstTestHost* host : {&plain, &controlled}) {
        StartSustaining(*host);
        host->SendMidi(EveryKey(0, 0x90, 100));
    }
    // Modulation, sustain pedal, reset-all-controllers, and a 123 whose value byte is no MIDI data.
    controlled.SendMidi({{10, 0xB0, 1, 64}, {20, 0xB0, 64, 0}, {30, 0xB0, 121, 0}, {40, 0xB0, 123, 200}});
    EXPECT_EQ(LargestDifference(Render(controlled, 20), Render(plain, 20)), 0.0);
}

// A note-off and a note-on of a held key at one frame are that note ending
// where the next one begins, in either order: the new note sounds and is
// held until its own note-off. A note-on and note-off of a key not held, at
// one frame, are a note of no length: nothing stays held.
TEST(HostStop, NoteOffAndNoteOnOfOneKeyAtOneFrameRestartTheKeyInEitherOrder) {
    VstTestHost offFirst;
    VstTestHost onFirst;
    for (VstTestHost* host : {&offFirst, &onFirst}) {
        StartSustaining(*host);
        host->SendMidi({{0, 0x90, 48, 100}});
        Render(*host, 10);
    }
    offFirst.SendMidi({{200, 0x80, 48, 0}, {200, 0x90, 48, 90}});
    onFirst.SendMidi({{200, 0x90, 48, 90}, {200, 0x80, 48, 0}});
    const Stereo a = Render(offFirst, 100);
    const Stereo b = Render(onFirst, 100);
    EXPECT_EQ(LargestDifference(a, b), 0.0);
    EXPECT_GT(Peak(b, 99u * kBlock), 0.002) << "the new note is still held a second later";

    // Its own note-off ends it.
    onFirst.SendMidi({{0, 0x80, 48, 0}});
    Render(onFirst, 100);
    EXPECT_EQ(Peak(Render(onFirst, 2)), 0.0);
}

TEST(HostStop, NoteOnAndNoteOffOfAnIdleKeyAtOneFrameLeaveNothingHeld) {
    for (bool onFirst : {true, false}) {
        VstTestHost host;
        StartSustaining(host);
        if (onFirst) {
            host.SendMidi({{50, 0x90, 48, 100}, {50, 0x80, 48, 0}});
        } else {
            // An unmatched note-off first: it ends nothing, and the note-on starts a held note.
            host.SendMidi({{50, 0x80, 48, 0}, {50, 0x90, 48, 100}});
        }
        Render(host, 100);
        const double peakLater = Peak(Render(host, 2));
        if (onFirst) {
            EXPECT_EQ(peakLater, 0.0) << "a note of no length does not stay held";
        } else {
            EXPECT_GT(peakLater, 0.002) << "the note-on after the unmatched note-off is held";
        }
    }
}
