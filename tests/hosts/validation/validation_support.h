// Shared pieces of the host-validation suite: what every rendered block must
// satisfy, random parameter values and note streams, and how long renders
// last in this build.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <random>
#include <vector>

#include "support/vst_test_host.h"

namespace validation {

// Sanitizer builds run many times slower: they render shorter passages.
#if defined(DUNEROW_VALIDATION_QUICK)
inline constexpr bool kQuick = true;
#else
inline constexpr bool kQuick = false;
#endif
// Sanitizer and unoptimised builds repeat each check fewer times.
#if defined(DUNEROW_VALIDATION_QUICK) || !defined(__OPTIMIZE__)
inline constexpr bool kSlowBuild = true;
#else
inline constexpr bool kSlowBuild = false;
#endif

// `full` repetitions, or a quarter of them (at least one) in a slow build.
inline int Scaled(int full) { return kSlowBuild ? std::max(1, full / 4) : full; }

inline constexpr int kParameters = 109;
inline constexpr int kPrograms = 128;
// No output sample ever exceeds the open clip ceiling (+10 dB), nor 0.99 with
// the output limit on; the margin allows for rounding to 32-bit floats.
inline constexpr double kOpenCeiling = 3.16227 * (1.0 + 1e-6);
inline constexpr double kLimitedCeiling = 0.99 * (1.0 + 1e-6);

// What a stretch of output holds.
struct OutputSummary {
    long frames = 0;
    long nonFinite = 0;
    long subnormal = 0;
    double peak = 0.0;
    double sum = 0.0;  // of both channels, for the mean
    // Per channel: the range the finite samples span.
    std::array<double, 2> lowest{HUGE_VAL, HUGE_VAL};
    std::array<double, 2> highest{-HUGE_VAL, -HUGE_VAL};

    template <typename Sample>
    void Add(const std::array<std::vector<Sample>, 2>& block) {
        for (std::size_t c = 0; c < 2; ++c) {
            for (Sample sample : block[c]) {
                if (!std::isfinite(sample)) {
                    ++nonFinite;
                    continue;
                }
                // A subnormal 32-bit sample is judged as such, before widening.
                if (std::fpclassify(sample) == FP_SUBNORMAL) ++subnormal;
                const auto value = static_cast<double>(sample);
                peak = std::max(peak, std::abs(value));
                sum += value;
                lowest[c] = std::min(lowest[c], value);
                highest[c] = std::max(highest[c], value);
            }
        }
        frames += static_cast<long>(block[0].size());
    }

    void Merge(const OutputSummary& other) {
        frames += other.frames;
        nonFinite += other.nonFinite;
        subnormal += other.subnormal;
        peak = std::max(peak, other.peak);
        sum += other.sum;
        for (std::size_t c = 0; c < 2; ++c) {
            lowest[c] = std::min(lowest[c], other.lowest[c]);
            highest[c] = std::max(highest[c], other.highest[c]);
        }
    }

    double Mean() const { return frames > 0 ? sum / (2.0 * static_cast<double>(frames)) : 0.0; }
    // How far the signal moves: the larger channel's span from lowest to highest sample.
    double Swing() const { return frames > 0 ? std::max(highest[0] - lowest[0], highest[1] - lowest[1]) : 0.0; }
    bool Clean() const { return nonFinite == 0 && subnormal == 0 && peak <= kOpenCeiling; }
};

inline std::ostream& operator<<(std::ostream& stream, const OutputSummary& s) {
    return stream << "frames " << s.frames << ", non-finite " << s.nonFinite << ", subnormal " << s.subnormal
                  << ", peak " << s.peak << ", mean " << s.Mean()
                  << ", swing " << s.Swing();
}

// Renders `frames` frames in blocks of `blockSize` through the 32-bit callback.
inline OutputSummary RenderFloat(VstTestHost& host, long frames, int blockSize) {
    OutputSummary summary;
    for (long done = 0; done < frames; done += blockSize) {
        summary.Add(host.ProcessFloat(static_cast<int>(std::min<long>(blockSize, frames - done))));
    }
    return summary;
}

inline OutputSummary RenderDouble(VstTestHost& host, long frames, int blockSize) {
    OutputSummary summary;
    for (long done = 0; done < frames; done += blockSize) {
        summary.Add(host.ProcessDouble(static_cast<int>(std::min<long>(blockSize, frames - done))));
    }
    return summary;
}

// Sets every parameter to a uniformly random normalised value.
inline void RandomiseParameters(VstTestHost& host, std::mt19937& random) {
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int index = 0; index < kParameters; ++index) host.SetParameter(index, value(random));
}

// A dense, random note stream for one block: note ons with random velocities
// and note offs for keys started earlier, at random frame offsets.
class NoteStream {
public:
    explicit NoteStream(uint32_t seed) : random_(seed) {}

    void SendBlock(VstTestHost& host, int frames, int eventsPerBlock = 6) {
        std::vector<std::array<int, 4>> messages;
        std::uniform_int_distribution<int> offset(0, std::max(0, frames - 1));
        std::uniform_int_distribution<int> key(24, 96);
        std::uniform_int_distribution<int> velocity(1, 127);
        for (int i = 0; i < eventsPerBlock; ++i) {
            if (!held_.empty() && random_() % 2 == 0) {
                const std::size_t which = random_() % held_.size();
                messages.push_back({offset(random_), 0x80, held_[which], 0});
                held_.erase(held_.begin() + static_cast<std::ptrdiff_t>(which));
            } else {
                const int note = key(random_);
                messages.push_back({offset(random_), 0x90, note, velocity(random_)});
                held_.push_back(note);
            }
        }
        // Events reach the host sorted by offset, as a host delivers them.
        std::stable_sort(messages.begin(), messages.end(), [](const auto& a, const auto& b) { return a[0] < b[0]; });
        host.SendMidi(messages);
    }

    // Note offs for every key still held, at the start of the next block.
    void ReleaseAll(VstTestHost& host) {
        std::vector<std::array<int, 4>> messages;
        for (int note : held_) messages.push_back({0, 0x80, note, 0});
        held_.clear();
        if (!messages.empty()) host.SendMidi(messages);
    }

private:
    std::mt19937 random_;
    std::vector<int> held_;
};

}  // namespace validation
