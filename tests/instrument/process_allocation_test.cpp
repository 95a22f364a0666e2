// Counts heap allocations around the audio path. This program replaces the
// global allocation functions, so it is a test executable of its own.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <memory>
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

namespace {

// An editor without a window: the instrument refreshes its read-outs and curves.
class SilentEditor : public IPluginEditor {
public:
    SilentEditor() : IPluginEditor(200, 100) {}
    bool OpenWindow(void* /*parent*/) override { return false; }
    void CloseWindow() override {}
    bool WindowIsOpen() const override { return false; }
    void OnParameterChanged(int /*index*/, double /*value*/, bool /*normalised*/) override {}
};

}  // namespace

TEST(ProcessAllocation, RefreshingTheEditorsDisplaysWhileRenderingAllocatesNothing) {
    InstrumentRig rig(44100.0, 256);
    rig.Synth().AttachEditor(std::make_unique<SilentEditor>());
    rig.Synth().RefreshEditorDisplays();
    rig.Set(param::OscWaveform2, 0.6);  // a user waveform
    std::array<double, Korvane::WaveformTable::kSize> samples{};
    samples.fill(0.25);
    ASSERT_TRUE(rig.Synth().Waveforms().SubmitUserWaveform(0.6, samples));
    StereoBuffer out{std::vector<double>(256), std::vector<double>(256)};
    double* outputs[2] = {out.left.data(), out.right.data()};
    const std::uint32_t noteVersion = rig.Synth().Readouts().Version(Readout::NoteFrequency);
    rig.Synth().WaveformPreview(1).TakeChanged();

    const long before = allocations.load();
    for (int block = 0; block < 8; ++block) {
        // Every note on writes the note read-out; the first block redraws the waveform previews.
        rig.Synth().QueueMidiMessage({block * 16, 0x90, static_cast<uint8_t>(40 + block), 100});
        rig.Synth().ProcessBlock(nullptr, outputs, 256);
    }
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_NE(rig.Synth().Readouts().Version(Readout::NoteFrequency), noteVersion);
    EXPECT_TRUE(rig.Synth().WaveformPreview(1).TakeChanged());
}
