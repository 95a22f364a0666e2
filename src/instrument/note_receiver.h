// Turns the queued MIDI of a block into note-on and note-off events at the
// frames they are due, tracking which keys are down so that a key already
// down is not started twice. The channel-mode controllers hosts send when
// the transport stops end the held notes.
#pragma once

#include <algorithm>
#include <array>
#include <limits>

#include "instrument/midi_queue.h"
#include "instrument/signal.h"

class NoteReceiver {
public:
    static constexpr int kKeys = 128;
    // NextSoundOffFrame's answer when no all-sound-off is pending.
    static constexpr int kNoSoundOff = -1;

    // Queues a note message or an all-notes-off or all-sound-off controller;
    // other messages and malformed ones are ignored.
    void Queue(const MidiMessage& message);
    // Emits the messages due at the current frame, then moves to the next frame.
    //
    // Messages due at one frame are handled in the order they came, with one
    // exception: a note-on of a held key together with a note-off of that key
    // at the same frame is the held note ending where the next one begins,
    // in either order, so the note-off goes first and the new note is held.
    void AdvanceFrame();
    // The frame at which the next queued message is due (INT_MAX when none is).
    int NextMessageFrame() const { return queue_.Empty() ? std::numeric_limits<int>::max() : queue_.Front().frameOffset; }
    // Moves on to `frame` without emitting; no message may be due before it.
    void SkipTo(int frame) { framePosition_ = std::max(framePosition_, frame); }
    // Ends the block: later messages become relative to the next block.
    void Flush(int frames);
    // Forgets every pending message and every held key (the host suspended us).
    void Reset();
    // The frame, counted from the current one, of the first pending
    // all-sound-off after it, or kNoSoundOff.
    int NextSoundOffFrame() const;

    int KeysDown() const { return keysDown_; }
    bool IsKeyDown(int note) const { return note >= 0 && note < kKeys && keyDown_[static_cast<std::size_t>(note)]; }
    int FramePosition() const { return framePosition_; }
    const MidiQueue& Queue() const { return queue_; }

    // (note, velocity, frame of the block)
    Signal<int, int, int> noteOn;
    Signal<int, int, int> noteOff;
    // (frame of the block) every voice must stop at once.
    Signal<int> allSoundOff;

private:
    void ReleaseKey(int note, int velocity);
    void ReleaseAllKeys();
    // Takes out a note-off of `note` due at the current frame, if one is pending.
    bool TakeNoteOffDueNow(int note);

    MidiQueue queue_;
    int keysDown_ = 0;
    std::array<bool, kKeys> keyDown_{};
    int framePosition_ = 0;
};
