// The 64 voices and their allocation: a note takes the first idle voice;
// with all 64 sounding, further notes are dropped (no stealing).
#pragma once

#include <array>

#include "engine/note.h"

class VoicePool {
public:
    static constexpr int kVoices = 64;

    void Connect(const Korvane::NoteContext& context) {
        for (Korvane::Note& voice : voices_) voice.Connect(context);
    }

    // Starts `note` on the first idle voice at `frame` of the current block.
    // Returns the voice, or nullptr when every voice is busy.
    Korvane::Note* OnNoteOn(int note, int velocity, int frame);
    // Releases every sounding voice playing `note`, from `frame` of the current block on.
    void OnNoteOff(int note, int velocity, int frame);
    // Stops every voice at once, without a release: each is free for the next note.
    void SilenceAll();

    Korvane::Note& Voice(int index) { return voices_[static_cast<std::size_t>(index)]; }
    const Korvane::Note& Voice(int index) const { return voices_[static_cast<std::size_t>(index)]; }
    std::array<Korvane::Note, kVoices>& Voices() { return voices_; }
    int SoundingVoices() const;

private:
    std::array<Korvane::Note, kVoices> voices_;
};
