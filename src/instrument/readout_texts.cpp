#include "instrument/readout_texts.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cmath>
#include <cstdio>

#include "shell/bounded_text.h"

namespace readout {

namespace {

[[gnu::format(printf, 2, 3)]] void Print(std::span<char> text, const char* format, ...) {
    if (text.empty()) return;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
}

// The length of a name for "%.*s": names are printed in place, never copied,
// since read-outs are written on the audio thread.
int Length(std::string_view name) { return static_cast<int>(std::min<std::size_t>(name.size(), 1024)); }

std::string_view Pick(std::span<const std::string_view> names, int index, std::string_view otherwise) {
    if (index < 0 || index >= static_cast<int>(names.size())) return otherwise;
    return names[static_cast<std::size_t>(index)];
}

}  // namespace

void WaveformCaption(std::span<char> text, int index, std::string_view name) {
    Print(text, "%2.2d: %.*s", index + 1, Length(name), name.data());
}

void Seconds(std::span<char> text, double seconds) { Print(text, "%3.3f s", seconds); }

void Count(std::span<char> text, int count) { Print(text, "%d", count); }

void Decibels(std::span<char> text, double decibels) { Print(text, "%3.1fdB", decibels); }

void DumpExpand(std::span<char> text, double position) {
    if (position < 0.5) {
        Print(text, "%1.1f%% LP", (1.0 - 2.0 * position) * 100.0);
    } else {
        Print(text, "%1.1f%% HP", (position - 0.5) * 200.0);
    }
}

void DistortionType(std::span<char> text, int index, std::string_view name) {
    Print(text, "%d: %.*s", index + 1, Length(name), name.data());
}

std::string_view Interpolation(int mode) {
    static constexpr std::array<std::string_view, 5> kNames = {"no interp.", "linear", "cosine", "cubic", "hermite"};
    return Pick(kNames, mode, "unknown");
}

std::string_view ShaperType(int shape) {
    static constexpr std::array<std::string_view, 3> kNames = {"Sine", "Triangle", "Pulse"};
    return Pick(kNames, shape, "Sine");
}

std::string_view ShaperMode(int mode) {
    static constexpr std::array<std::string_view, 4> kNames = {"Shaper", "Sat.Shaper", "Boost Shaper", "Boost+Sat.Shaper"};
    return Pick(kNames, mode, "Shaper");
}

void Bits(std::span<char> text, double bits) { Print(text, "%2.1fbit", bits); }

void ReducedRate(std::span<char> text, double sampleRate, int holdLength, double setting) {
    const int rate = static_cast<int>(sampleRate);
    Print(text, "%dHz", (holdLength == 0 || setting == 1.0) ? rate : rate / holdLength);
}

void GateThreshold(std::span<char> text, double setting, double threshold) {
    if (setting <= 0.0) {
        Print(text, "%s", "-oodB");
    } else {
        Print(text, "%3.1fdB", 20.0 * std::log10(threshold));
    }
}

void FilterBlend(std::span<char> text, double blend) { Print(text, "%3.1f%% / %3.1f%%", (1.0 - blend) * 100.0, blend * 100.0); }

void Hertz(std::span<char> text, double hertz) { Print(text, "%dHz", static_cast<int>(hertz)); }

std::string_view Transition(int setting) {
    if (setting == 0) return "Slow";
    if (setting == 1) return "Medium";
    return "Fast";
}

std::string_view RingWaveform(int waveform) {
    static constexpr std::array<std::string_view, 5> kNames = {"Sine", "Pulse", "Saw", "Sine2", "Sine3"};
    return Pick(kNames, waveform, "Sine");
}

void MaxLevel(std::span<char> text, double peak) {
    if (!(peak > 0.0)) {
        Print(text, "%s", "MAX LEVEL: -oo dB");
    } else {
        // In single precision, as the level has always been shown.
        const float decibels = 20.0f * std::log10(static_cast<float>(peak));
        Print(text, "MAX LEVEL: %3.1f dB", static_cast<double>(decibels));
    }
}

void NoteFrequency(std::span<char> text, double hertz, std::string_view noteName) {
    Print(text, "%3.1fHz [%.*s]", hertz, Length(noteName), noteName.data());
}

void HostInfo(std::span<char> text, double sampleRate, double tempo) {
    Print(text, "HOST SAMPLE RATE: %6.1f Hz   TEMPO: %6.2f BPM", sampleRate, tempo);
}

}  // namespace readout
