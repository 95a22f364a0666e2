// Standard MIDI Files (types 0 and 1) read into timed note messages.
//
// Our own reader: every length and offset is checked against the bytes
// actually present, so a damaged file ends in an error message, never in
// a read outside the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "timed_message.h"

namespace render {

// Files larger than this are not taken for MIDI files.
inline constexpr std::uintmax_t kMaximumMidiFileSize = 16u << 20;

// The note-on and note-off messages of every track and channel in time
// order, timed after the file's tempo map (or its SMPTE division). A note-on
// with velocity 0 comes back as a note-off. Throws RenderError for a file
// that is not a type 0 or 1 MIDI file or is damaged.
MessageList ReadMidiFile(const std::filesystem::path& path);

// The same for a file already in memory; `name` appears in error messages.
MessageList ParseMidiFile(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace render
