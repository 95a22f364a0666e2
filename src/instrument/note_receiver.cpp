#include "instrument/note_receiver.h"

void NoteReceiver::Queue(const MidiMessage& message) {
    if (!message.IsNoteOn() && !message.IsNoteOff()) return;
    if (message.data1 >= kKeys || message.data2 >= kKeys) return;  // not valid MIDI data bytes
    queue_.Add(message);
}

void NoteReceiver::AdvanceFrame() {
    while (!queue_.Empty() && queue_.Front().frameOffset <= framePosition_) {
        const MidiMessage message = queue_.Front();
        queue_.PopFront();
        const int note = message.data1;
        auto& down = keyDown_[static_cast<std::size_t>(note)];
        // The frame the message is handled at; it equals the message's own
        // offset except for offsets before the block, which land on frame 0.
        if (message.IsNoteOn() && message.data2 != 0) {
            if (!down) {
                down = true;
                ++keysDown_;
                noteOn.Emit(note, message.data2, framePosition_);
            }
        } else if (down) {
            down = false;
            --keysDown_;
            noteOff.Emit(note, message.data2, framePosition_);
        }
    }
    ++framePosition_;
}

void NoteReceiver::Flush(int frames) {
    queue_.Flush(frames);
    framePosition_ = 0;
}
