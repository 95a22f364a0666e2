#include "instrument/note_receiver.h"

void NoteReceiver::Queue(const MidiMessage& message) {
    if (message.data1 >= kKeys || message.data2 >= kKeys) return;  // not valid MIDI data bytes
    if (!message.IsNoteOn() && !message.IsNoteOff() && !message.IsAllSoundOff() && !message.IsAllNotesOff()) return;
    queue_.Add(message);
}

void NoteReceiver::AdvanceFrame() {
    while (!queue_.Empty() && queue_.Front().frameOffset <= framePosition_) {
        const MidiMessage message = queue_.Front();
        queue_.PopFront();
        // The frame the message is handled at; it equals the message's own
        // offset except for offsets before the block, which land on frame 0.
        if (message.IsAllSoundOff()) {
            // The voices stop at once; their keys are no longer held.
            keyDown_.fill(false);
            keysDown_ = 0;
            allSoundOff.Emit(framePosition_);
            continue;
        }
        if (message.IsAllNotesOff()) {
            ReleaseAllKeys();
            continue;
        }
        const int note = message.data1;
        if (!message.EndsNote()) {
            if (IsKeyDown(note)) {
                if (!TakeNoteOffDueNow(note)) continue;  // a key already down is not started twice
                ReleaseKey(note, 0);
            }
            keyDown_[static_cast<std::size_t>(note)] = true;
            ++keysDown_;
            noteOn.Emit(note, message.data2, framePosition_);
        } else if (IsKeyDown(note)) {
            ReleaseKey(note, message.data2);
        }
    }
    ++framePosition_;
}

void NoteReceiver::ReleaseKey(int note, int velocity) {
    keyDown_[static_cast<std::size_t>(note)] = false;
    --keysDown_;
    noteOff.Emit(note, velocity, framePosition_);
}

void NoteReceiver::ReleaseAllKeys() {
    for (int note = 0; note < kKeys; ++note) {
        if (keyDown_[static_cast<std::size_t>(note)]) ReleaseKey(note, 0);
    }
}

bool NoteReceiver::TakeNoteOffDueNow(int note) {
    for (std::size_t i = 0; i < queue_.Size() && queue_.At(i).frameOffset <= framePosition_; ++i) {
        const MidiMessage& pending = queue_.At(i);
        if (pending.EndsNote() && pending.data1 == note) {
            queue_.Remove(i);
            return true;
        }
    }
    return false;
}

int NoteReceiver::NextSoundOffFrame() const {
    for (std::size_t i = 0; i < queue_.Size(); ++i) {
        const MidiMessage& pending = queue_.At(i);
        if (pending.IsAllSoundOff() && pending.frameOffset > framePosition_) return pending.frameOffset - framePosition_;
    }
    return kNoSoundOff;
}

void NoteReceiver::Flush(int frames) {
    queue_.Flush(frames);
    framePosition_ = 0;
}

void NoteReceiver::Reset() {
    queue_.Clear();
    keyDown_.fill(false);
    keysDown_ = 0;
    framePosition_ = 0;
}
