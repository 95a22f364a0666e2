// Notes written on the command line: NOTE[@START][:LENGTH][/VELOCITY].
//
// NOTE is a MIDI note number 0..127 or a name: a letter A..G, an optional
// '#' or 'b', and an octave from -1 to 9, where C-1 is note 0, C4 (middle C)
// is note 60 and G9 is note 127. START and LENGTH are seconds, VELOCITY is
// 1..127. Examples: "36", "C2", "F#1@0.25:0.1/100", "Bb0:2".
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "timed_message.h"

namespace render {

struct PlayedNote {
    int note = 36;
    double start = 0.0;
    double length = 0.5;
    int velocity = 127;
};

inline constexpr PlayedNote kDefaultNote{};

// The note number of a name such as "C2", "F#3" or "Bb1", or nothing.
std::optional<int> NoteNumberOfName(std::string_view name);

// Reads one note; throws RenderError naming the text and what is wrong with it.
PlayedNote ParseNote(std::string_view text);

// Note-on and note-off messages on channel 1, in time order; at equal times
// a note-off comes before a note-on, so that repeated notes retrigger.
MessageList MessagesOfNotes(const std::vector<PlayedNote>& notes);

}  // namespace render
