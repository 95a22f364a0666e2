#include "instrument/voice_pool.h"

#include <algorithm>

Korvane::Note* VoicePool::OnNoteOn(int note, int velocity, int frame) {
    for (Korvane::Note& voice : voices_) {
        if (!voice.IsIdle()) continue;
        voice.SetNoteNumber(note);
        voice.Start(velocity);
        voice.SetFrameOffset(frame);
        return &voice;
    }
    return nullptr;
}

void VoicePool::OnNoteOff(int note, int /*velocity*/, int frame) {
    for (Korvane::Note& voice : voices_) {
        if (!voice.IsIdle() && voice.NoteNumber() == note) voice.ReleaseAt(frame);
    }
}

void VoicePool::SilenceAll() {
    for (Korvane::Note& voice : voices_) {
        voice.VolumeEnvelope().SetState(Korvane::ADSR::kOff);
        voice.FilterEnvelope().SetState(Korvane::ADSR::kOff);
    }
}

int VoicePool::SoundingVoices() const {
    return static_cast<int>(std::ranges::count_if(voices_, [](const Korvane::Note& voice) { return !voice.IsIdle(); }));
}
