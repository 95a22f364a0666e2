// The texts of the editor's live read-outs. The instrument writes them
// (holding the plug-in mutex, on whichever thread applies a parameter or
// renders); the editor polls them on its own thread without any lock and
// redraws a read-out whose text changed. Writing never allocates or waits.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string_view>

enum class Readout : int {
    WaveformName1,
    WaveformName2,
    WaveformName3,
    AttackTime,  // volume envelope
    DecayTime,
    ReleaseTime,
    FilterAttackTime,
    FilterDecayTime,
    FilterReleaseTime,
    UnisonVoices,
    NoteFrequency,
    FilterCutoff,
    FilterTransition,
    FilterMode1,
    FilterMode2,
    FilterType,
    RingWaveform,
    DistortionType,
    Interpolation,
    Bits,
    ReducedRate,
    Gate,
    ShaperShape,
    ShaperMode,
    BassGain,
    MidGain,
    HighGain,
    DumpExpand,
    Count
};

class EditorReadouts {
public:
    // Longest text kept, in bytes (a longer one is cut at a character boundary).
    static constexpr std::size_t kTextSize = 64;

    EditorReadouts() = default;
    EditorReadouts(const EditorReadouts&) = delete;
    EditorReadouts& operator=(const EditorReadouts&) = delete;

    // Replaces a read-out's text; its version moves on only when the text differs.
    void Set(Readout readout, std::string_view text);
    // Copies the read-out's latest complete text into `out` (NUL-terminated,
    // at least kTextSize + 1 bytes) and returns its version; 0 when it was
    // never written, or when a write was under way (try again later).
    std::uint32_t Get(Readout readout, std::span<char> out) const;
    // The version of a read-out's text: it changes each time the text does.
    std::uint32_t Version(Readout readout) const;

private:
    struct Slot {
        // Odd while a write is under way; 0 before the first.
        std::atomic<std::uint32_t> sequence{0};
        std::array<std::atomic<char>, kTextSize> text{};
        std::atomic<std::uint32_t> length{0};
    };
    std::array<Slot, static_cast<std::size_t>(Readout::Count)> slots_;
};
