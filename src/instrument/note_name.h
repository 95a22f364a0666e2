// Display name of a MIDI note: pitch class and octave, note 48 is "C4".
#pragma once

#include <array>
#include <cstdio>
#include <span>

// Writes the name of `note` (0..127); any other number gives an empty text.
inline void FormatNoteName(int note, std::span<char> buffer) {
    if (buffer.empty()) return;
    static constexpr std::array<const char*, 12> kPitchClasses = {"C", "C#", "D", "D#", "E", "F",
                                                                  "F#", "G", "G#", "A", "A#", "B"};
    if (note < 0 || note > 127) {
        buffer[0] = '\0';
        return;
    }
    std::snprintf(buffer.data(), buffer.size(), "%s%d", kPitchClasses[static_cast<std::size_t>(note % 12)], note / 12);
}
