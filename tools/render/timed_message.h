// A short MIDI message and the time it is due, in seconds from the start of
// the render. Inline notes and MIDI files both turn into lists of these.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace render {

struct TimedMessage {
    double seconds = 0.0;
    std::array<std::uint8_t, 3> bytes{};  // status, data 1, data 2

    bool IsNoteOn() const { return (bytes[0] & 0xF0) == 0x90 && bytes[2] != 0; }
};

using MessageList = std::vector<TimedMessage>;

}  // namespace render
