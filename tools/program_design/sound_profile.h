// A few numbers that describe one rendered note, used to design the factory
// programs and to check them: level, spectral balance, envelope timing and
// pitch.
//
// - The spectrum is a Welch average: 4096-point Hann frames with a hop of
//   2048 over the whole render, power summed, so loud parts weigh more.
//   The centroid is the power-weighted mean frequency; the shares are the
//   parts of the power below 150 Hz and above 5 kHz.
// - The envelope is the largest magnitude in each 5 ms window. Attack is the
//   time its first window reaches 70 % of its maximum; decay is the end of
//   the last window still within 40 dB of the maximum.
// - Sustain compares the RMS of the second half of the held note with the
//   first half.
// - Pitch is a YIN estimate (cumulative mean normalised difference, 0.15
//   threshold) on one 2048-frame window.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <numbers>
#include <vector>

namespace sound_profile {

// The bank's sections, each starting at its header program.
enum class Section { BasicKick, HardcoreKick, DrumFx, Bass, String, Brass, Pad, Synth };

inline Section SectionOf(int program) {
    constexpr int kHeaders[] = {19, 72, 81, 89, 93, 96, 102};
    int section = 0;
    for (int header : kHeaders) section += program >= header ? 1 : 0;
    return static_cast<Section>(section);
}

inline const char* SectionName(Section section) {
    constexpr const char* kNames[] = {"basic kick", "hardcore", "drum/fx", "bass", "string", "brass", "pad", "synth"};
    return kNames[static_cast<int>(section)];
}

// Drums are struck: a short note. Everything else is held.
inline bool IsDrum(Section s) { return s == Section::BasicKick || s == Section::HardcoreKick || s == Section::DrumFx; }
inline int NoteOf(Section s) { return IsDrum(s) || s == Section::Bass ? 48 : 60; }

struct Profile {
    bool finite = true;
    double peak = 0.0;            // largest magnitude of either channel
    double rms = 0.0;             // RMS of the held part
    double centroidHz = 0.0;
    double lowShare = 0.0;        // power below 150 Hz
    double highShare = 0.0;       // power above 5 kHz
    double attackSeconds = 0.0;   // first reach of 70 % of the envelope maximum
    double decaySeconds = 0.0;    // end of the last window within -40 dB of the maximum
    double releaseSeconds = 0.0;  // decaySeconds after the note-off
    double sustainRatio = 0.0;    // RMS of the held part's second half over its first half
    double pitchHz = 0.0;         // 0 when not measured or no clear period is found
};

inline void Fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi / static_cast<double>(length));
        for (std::size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < length / 2; ++k, w *= step) {
                const std::complex<double> odd = w * a[start + k + length / 2];
                a[start + k + length / 2] = a[start + k] - odd;
                a[start + k] += odd;
            }
        }
    }
}

// Period of the signal in [start, start + 2048), in Hz, between 25 Hz and 4 kHz.
inline double EstimatePitch(const std::vector<double>& x, std::size_t start, double rate) {
    constexpr std::size_t kWindow = 2048;
    const auto shortest = static_cast<std::size_t>(rate / 4000.0);
    const auto longest = static_cast<std::size_t>(rate / 25.0);
    if (start + kWindow + longest > x.size()) return 0.0;
    std::vector<double> d(longest + 1, 0.0);
    double running = 0.0;
    for (std::size_t lag = 1; lag <= longest; ++lag) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + kWindow; ++i) sum += (x[i] - x[i + lag]) * (x[i] - x[i + lag]);
        running += sum;
        d[lag] = running > 0.0 ? sum * static_cast<double>(lag) / running : 1.0;
    }
    std::size_t best = 0;
    for (std::size_t lag = shortest; lag <= longest; ++lag) {
        if (d[lag] < 0.15) {
            while (lag + 1 <= longest && d[lag + 1] < d[lag]) ++lag;
            best = lag;
            break;
        }
    }
    return best == 0 ? 0.0 : rate / static_cast<double>(best);
}

// `left` and `right` hold a note that started at frame 0 and was held for
// `heldFrames`; the pitch is taken from `pitchSeconds` on, or not at all when
// that is negative.
inline Profile Measure(const std::vector<double>& left, const std::vector<double>& right, std::size_t heldFrames,
                       double pitchSeconds, double rate = 44100.0) {
    Profile p;
    const std::size_t n = std::min(left.size(), right.size());
    std::vector<double> mid(n);
    for (std::size_t i = 0; i < n; ++i) {
        p.finite = p.finite && std::isfinite(left[i]) && std::isfinite(right[i]);
        p.peak = std::max({p.peak, std::abs(left[i]), std::abs(right[i])});
        mid[i] = std::isfinite(left[i] + right[i]) ? 0.5 * (left[i] + right[i]) : 0.0;
    }
    heldFrames = std::min(heldFrames, n);

    auto rmsOf = [&](std::size_t from, std::size_t to) {
        double sum = 0.0;
        for (std::size_t i = from; i < to; ++i) sum += mid[i] * mid[i];
        return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
    };
    p.rms = rmsOf(0, heldFrames);
    const double firstHalf = rmsOf(0, heldFrames / 2);
    p.sustainRatio = firstHalf > 0.0 ? rmsOf(heldFrames / 2, heldFrames) / firstHalf : 0.0;

    constexpr std::size_t kFrame = 4096;
    std::vector<double> power(kFrame / 2, 0.0);
    std::vector<std::complex<double>> bins(kFrame);
    for (std::size_t start = 0; start + kFrame <= n; start += kFrame / 2) {
        for (std::size_t i = 0; i < kFrame; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / kFrame);
            bins[i] = mid[start + i] * hann;
        }
        Fft(bins);
        for (std::size_t k = 1; k < kFrame / 2; ++k) power[k] += std::norm(bins[k]);
    }
    double total = 0.0, weighted = 0.0, low = 0.0, high = 0.0;
    for (std::size_t k = 1; k < kFrame / 2; ++k) {
        const double hz = static_cast<double>(k) * rate / kFrame;
        total += power[k];
        weighted += hz * power[k];
        if (hz < 150.0) low += power[k];
        if (hz > 5000.0) high += power[k];
    }
    if (total > 0.0) {
        p.centroidHz = weighted / total;
        p.lowShare = low / total;
        p.highShare = high / total;
    }

    const auto window = static_cast<std::size_t>(0.005 * rate);
    std::vector<double> envelope;
    for (std::size_t start = 0; start < n; start += window) {
        double m = 0.0;
        for (std::size_t i = start; i < std::min(n, start + window); ++i) m = std::max(m, std::abs(mid[i]));
        envelope.push_back(m);
    }
    const double top = envelope.empty() ? 0.0 : *std::max_element(envelope.begin(), envelope.end());
    for (std::size_t w = 0; w < envelope.size(); ++w) {
        if (envelope[w] >= 0.7 * top) {
            p.attackSeconds = static_cast<double>(w * window) / rate;
            break;
        }
    }
    for (std::size_t w = envelope.size(); w-- > 0;) {
        if (envelope[w] >= 0.01 * top) {
            p.decaySeconds = static_cast<double>((w + 1) * window) / rate;
            break;
        }
    }
    p.releaseSeconds = std::max(0.0, p.decaySeconds - static_cast<double>(heldFrames) / rate);
    if (pitchSeconds >= 0.0) p.pitchHz = EstimatePitch(mid, static_cast<std::size_t>(pitchSeconds * rate), rate);
    return p;
}

}  // namespace sound_profile
