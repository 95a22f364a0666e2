// The texts of the editor's read-outs, formed from engine values. Each
// function writes into a caller's buffer and never overflows it.
#pragma once

#include <span>
#include <string_view>

namespace readout {

// "%2.2d: %s": the waveform's number (index + 1) and name.
void WaveformCaption(std::span<char> text, int index, std::string_view name);
// "%3.3f s": a stage's length in seconds.
void Seconds(std::span<char> text, double seconds);
// "%d": the unison voice count.
void Count(std::span<char> text, int count);
// "%3.1fdB": an equaliser band's gain.
void Decibels(std::span<char> text, double decibels);
// "%1.1f%% LP" below the centre position, "%1.1f%% HP" from it on.
void DumpExpand(std::span<char> text, double position);
// "%d: %s": the distortion type's number (index + 1) and name.
void DistortionType(std::span<char> text, int index, std::string_view name);
// "no interp.", "linear", "cosine", "cubic", "hermite"; "unknown" otherwise.
std::string_view Interpolation(int mode);
// "Sine", "Triangle", "Pulse"; any other value reads "Sine".
std::string_view ShaperType(int shape);
// "Shaper", "Sat.Shaper", "Boost Shaper", "Boost+Sat.Shaper"; any other value reads "Shaper".
std::string_view ShaperMode(int mode);
// "%2.1fbit": the quantiser's bits.
void Bits(std::span<char> text, double bits);
// "%dHz": the held rate, the sample rate divided by the hold length.
void ReducedRate(std::span<char> text, double sampleRate, int holdLength, double setting);
// "-oodB" for no gate, else "%3.1fdB" of the threshold.
void GateThreshold(std::span<char> text, double setting, double threshold);
// "%3.1f%% / %3.1f%%": the share of each filter path.
void FilterBlend(std::span<char> text, double blend);
// "%dHz": a cutoff frequency.
void Hertz(std::span<char> text, double hertz);
// "Slow", "Medium", "Fast" for transition settings 0, 1 and anything else.
std::string_view Transition(int setting);
// "Sine", "Pulse", "Saw", "Sine2", "Sine3"; any other index reads "Sine".
std::string_view RingWaveform(int waveform);
// "MAX LEVEL: %3.1f dB" (worked out in single precision), or "MAX LEVEL: -oo dB" for silence.
void MaxLevel(std::span<char> text, double peak);
// "%3.1fHz [%s]": the last note's frequency and name.
void NoteFrequency(std::span<char> text, double hertz, std::string_view noteName);
// "HOST SAMPLE RATE: %6.1f Hz   TEMPO: %6.2f BPM".
void HostInfo(std::span<char> text, double sampleRate, double tempo);

}  // namespace readout
