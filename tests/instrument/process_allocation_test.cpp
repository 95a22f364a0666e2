// Counts heap allocations around the audio path. This program replaces the
// global allocation functions, so it is a test executable of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "support/instrument_rig.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

TEST(ProcessAllocation, RenderingNotesAllocatesNothing) {
    InstrumentRig rig(44100.0, 256);
    rig.Set(param::UnisonVoices, 1.0);
    rig.Set(param::BassLayerAmount, 0.5);
    rig.Set(param::BassLayerClick, 0.7);
    rig.Set(param::Saturation, 0.3);
    rig.Synth().Preview().Request(50, PreviewNote::kRestart);

    std::vector<TimedMidi> events;
    for (int i = 0; i < 40; ++i) {
        events.push_back(On(17 * i, 30 + i));
        events.push_back(Off(17 * i + 900, 30 + i));
    }
    StereoBuffer out{std::vector<double>(4096), std::vector<double>(4096)};

    const long before = allocations.load();
    for (int start = 0; start < 4096; start += 256) {
        for (const TimedMidi& event : events) {
            if (event.frame >= start && event.frame < start + 256) {
                rig.Synth().QueueMidiMessage({event.frame - start, event.status, event.note, event.velocity});
            }
        }
        double* outputs[2] = {out.left.data() + start, out.right.data() + start};
        rig.Synth().ProcessBlock(nullptr, outputs, 256);
    }
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_GT(rig.Synth().Voices().SoundingVoices(), 0);
}

TEST(ProcessAllocation, AFloodOfEventsInOneBlockAllocatesNothing) {
    InstrumentRig rig(44100.0, 256);
    StereoBuffer out{std::vector<double>(256), std::vector<double>(256)};
    double* outputs[2] = {out.left.data(), out.right.data()};

    const long before = allocations.load();
    // Far more than the queue starts with; messages beyond its largest size are dropped.
    for (int i = 0; i < 70000; ++i) {
        const auto note = static_cast<uint8_t>(20 + i % 90);
        rig.Synth().QueueMidiMessage({i / 274, static_cast<uint8_t>(i % 2 ? 0x80 : 0x90), note, 100});
    }
    rig.Synth().ProcessBlock(nullptr, outputs, 256);
    EXPECT_EQ(allocations.load() - before, 0);
}
