// Every oscillator shape of the instrument: 36 waveforms chosen by one 0..1
// value, from formulas, single-cycle tables, band-limited table sets and
// 15 user waveforms that files in a "waveforms" folder can replace.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <span>
#include <string_view>

#include "engine/laws.h"
#include "engine/lcg_random.h"
#include "engine/waveform_table.h"

namespace Korvane {

// Folds a sample toward the opposite peak, keeping zero at zero: how an
// inverted oscillator reads its waveform.
inline double FoldInverted(double sample) {
    if (sample > 0.0) return 1.0 - sample;
    if (sample < 0.0) return -1.0 - sample;
    return sample;
}

class WaveformProvider {
public:
    static constexpr int kWaveformCount = 36;
    static constexpr int kFirstUserWaveform = 21;
    static constexpr int kUserTableCount = 15;
    static constexpr int kPreviewPoints = 78;
    static constexpr int kUnfiltered = -1;  // octave index asking for the raw shape
    static constexpr std::string_view kFolderName = "waveforms";

    enum Waveform : int {
        kSine = 0,
        kSawtooth = 1,
        kPulse = 2,
        kQuadPulse = 3,
        kOctPulse = 4,
        kTriangle = 5,
        kWhiteNoise = 6,
        kWavescape = 18,
    };

    WaveformProvider();
    ~WaveformProvider();
    WaveformProvider(const WaveformProvider&) = delete;
    WaveformProvider& operator=(const WaveformProvider&) = delete;

    // Fills the single-cycle tables, reads the user files and smooths and
    // normalises the tables. Run once after construction.
    void BuildTables();

    // Where the "waveforms" folder is looked for; empty means no user files.
    void SetBaseDirectory(std::filesystem::path directory) { baseDirectory_ = std::move(directory); }
    const std::filesystem::path& BaseDirectory() const { return baseDirectory_; }

    // Waveform index 0..35 of a shape value (clamped to 0..1).
    static int IndexOf(double shapeValue) { return SelectorPosition(std::clamp(shapeValue, 0.0, 1.0), kWaveformCount); }
    // Display name of a shape value.
    static std::string_view GetName(double shapeValue) { return NameOfIndex(IndexOf(shapeValue)); }
    static std::string_view NameOfIndex(int index);
    // Waveform index of a display name ("Form1".."Form10" also name 11..20); unknown names give 0.
    static int IndexOfName(std::string_view name);

    // The oscillator sample of a shape at `phase` (cycles) for octave index -1..7.
    double GetSample(double shapeValue, double phase, int octave) const;

    // GetSample over a run of phases, the shape chosen once. White noise is
    // drawn in order, one number a frame, as GetSample does.
    void GetSamples(double shapeValue, const double* phase, double* out, int count, int octave) const;

    // 78 points of one cycle at octave 0 for the editor, folded when inverted.
    void RenderPreview(double shapeValue, bool invert, std::span<double, kPreviewPoints> destination) const;

    // Hands a new user waveform to the audio thread. Returns false while an
    // earlier one is still pending. Called from one non-audio thread.
    bool SubmitUserWaveform(double shapeValue, std::span<const double, WaveformTable::kSize> samples);
    bool IsRefreshRequested() const { return refreshRequested_.load(std::memory_order_acquire); }
    // Copies the pending waveform into its user table (when the shape names
    // a user waveform) and clears the request.
    void ApplyPendingUserWaveform();

    const WaveformTable& UserTable(int user) const { return userTables_[static_cast<std::size_t>(user)]; }
    // The single-cycle table of waveform 0 (sine), 7..17, 19 or 20.
    const WaveformTable& SingleCycleTable(int index) const { return singleCycleTables_[SingleCycleSlot(index)]; }
    // The band-limited set of waveform 1..4 or 21..35.
    const WaveformTableSet& BandLimitedSet(int waveformIndex) const;

private:
    static constexpr std::size_t SingleCycleSlot(int index) {
        return static_cast<std::size_t>(index == kSine ? 0 : index <= 17 ? index - 6 : index - 7);
    }
    WaveformTable& SingleCycle(int index) { return singleCycleTables_[SingleCycleSlot(index)]; }
    void FillSingleCycleTables();
    void LoadUserFiles();

    std::filesystem::path baseDirectory_;
    // Sets for the four band-limited shapes and the 15 user waveforms. They
    // are shared by every instance unless a user file replaced a waveform.
    std::array<const WaveformTableSet*, 4> shapeSets_{};
    std::array<const WaveformTableSet*, kUserTableCount> userSets_{};
    std::array<std::unique_ptr<WaveformTableSet>, kUserTableCount> loadedUserSets_;

    std::array<WaveformTable, 14> singleCycleTables_;
    std::array<WaveformTable, kUserTableCount> userTables_;
    WaveformTable scratch_;
    WaveformTable incoming_;
    double incomingShape_ = 0.0;
    std::atomic<bool> refreshRequested_{false};
    mutable LcgRandom noise_;
};

inline double WaveformProvider::GetSample(double shapeValue, double phase, int octave) const {
    const int index = IndexOf(shapeValue);
    const int table = std::clamp(octave, 0, WaveformTableSet::kOctaves - 1);
    const bool unfiltered = octave < 0;
    auto fraction = [phase] { return phase - std::floor(phase); };
    switch (index) {
    case kSine:
        return std::sin(2.0 * std::numbers::pi * phase);
    case kSawtooth:
        if (unfiltered) {
            const double f = fraction();
            return (f < 0.5 ? f : f - 1.0) * 2.0;
        }
        return shapeSets_[0]->Table(table).Interpolated(phase);
    case kPulse:
        return unfiltered ? (fraction() < 0.5 ? 1.0 : -1.0) : shapeSets_[1]->Table(table).Interpolated(phase);
    case kQuadPulse:
        return unfiltered ? (fraction() < 0.25 ? 1.0 : -1.0) : shapeSets_[2]->Table(table).Interpolated(phase);
    case kOctPulse:
        return unfiltered ? (fraction() < 0.125 ? 1.0 : -1.0) : shapeSets_[3]->Table(table).Interpolated(phase);
    case kTriangle: {
        const double f = fraction();
        if (f < 0.25) return 4.0 * f;
        if (f < 0.75) return 2.0 - 4.0 * f;
        return 4.0 * (f - 1.0);
    }
    case kWhiteNoise:
        return noise_.Next() / 32767.0 * 2.0 - 1.0;
    case kWavescape: {
        const double s = std::sin(std::numbers::pi * phase);
        return -std::sin(4.0 * std::numbers::pi * phase) * s * s;
    }
    default:
        if (index >= kFirstUserWaveform) {
            return userSets_[static_cast<std::size_t>(index - kFirstUserWaveform)]->Table(table).Interpolated(phase);
        }
        return SingleCycleTable(index).Nearest(phase);
    }
}

}  // namespace Korvane
