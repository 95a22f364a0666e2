// A short MIDI message as the instrument queues it: the frame of the block
// it belongs to, and its status and two data bytes.
#pragma once

#include <cstdint>

struct MidiMessage {
    static constexpr uint8_t kNoteOff = 0x8;
    static constexpr uint8_t kNoteOn = 0x9;
    static constexpr uint8_t kControlChange = 0xB;
    // Channel-mode controllers: 120 silences every note at once; 123 (and
    // 124..127, which change the mode) release every held note.
    static constexpr uint8_t kAllSoundOff = 120;
    static constexpr uint8_t kAllNotesOff = 123;

    int32_t frameOffset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;  // note number for note messages
    uint8_t data2 = 0;  // velocity for note messages

    uint8_t StatusNibble() const { return static_cast<uint8_t>(status >> 4); }
    bool IsNoteOn() const { return StatusNibble() == kNoteOn; }
    bool IsNoteOff() const { return StatusNibble() == kNoteOff; }
    // A note-off, or a note-on of velocity 0, which means the same.
    bool EndsNote() const { return IsNoteOff() || (IsNoteOn() && data2 == 0); }
    bool IsAllSoundOff() const { return StatusNibble() == kControlChange && data1 == kAllSoundOff; }
    bool IsAllNotesOff() const { return StatusNibble() == kControlChange && data1 >= kAllNotesOff && data1 <= 127; }
};

static_assert(sizeof(MidiMessage) == 8);
