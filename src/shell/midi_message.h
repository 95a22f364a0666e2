// A short MIDI message as the instrument queues it: the frame of the block
// it belongs to, and its status and two data bytes.
#pragma once

#include <cstdint>

struct MidiMessage {
    static constexpr uint8_t kNoteOff = 0x8;
    static constexpr uint8_t kNoteOn = 0x9;

    int32_t frameOffset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;  // note number for note messages
    uint8_t data2 = 0;  // velocity for note messages

    uint8_t StatusNibble() const { return static_cast<uint8_t>(status >> 4); }
    bool IsNoteOn() const { return StatusNibble() == kNoteOn; }
    bool IsNoteOff() const { return StatusNibble() == kNoteOff; }
};

static_assert(sizeof(MidiMessage) == 8);
