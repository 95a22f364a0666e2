// Turns the queued MIDI of a block into note-on and note-off events at the
// frames they are due, tracking which keys are down so that a key already
// down is not started twice.
#pragma once

#include <algorithm>
#include <array>
#include <limits>

#include "instrument/midi_queue.h"
#include "instrument/signal.h"

class NoteReceiver {
public:
    static constexpr int kKeys = 128;

    // Queues a note message; other messages and malformed notes are ignored.
    void Queue(const MidiMessage& message);
    // Emits the messages due at the current frame, then moves to the next frame.
    void AdvanceFrame();
    // The frame at which the next queued message is due (INT_MAX when none is).
    int NextMessageFrame() const { return queue_.Empty() ? std::numeric_limits<int>::max() : queue_.Front().frameOffset; }
    // Moves on to `frame` without emitting; no message may be due before it.
    void SkipTo(int frame) { framePosition_ = std::max(framePosition_, frame); }
    // Ends the block: later messages become relative to the next block.
    void Flush(int frames);

    int KeysDown() const { return keysDown_; }
    bool IsKeyDown(int note) const { return note >= 0 && note < kKeys && keyDown_[static_cast<std::size_t>(note)]; }
    int FramePosition() const { return framePosition_; }
    const MidiQueue& Queue() const { return queue_; }

    // (note, velocity, frame of the block)
    Signal<int, int, int> noteOn;
    Signal<int, int, int> noteOff;

private:
    MidiQueue queue_;
    int keysDown_ = 0;
    std::array<bool, kKeys> keyDown_{};
    int framePosition_ = 0;
};
